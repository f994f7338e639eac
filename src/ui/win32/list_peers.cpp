// Peers of the list and range kinds: combo boxes, list boxes, list views, up-downs and
// progress bars.
#include <string>
#include <vector>

#include "ui/win32/control_peers.h"

namespace ov::ui::win32 {

namespace {

void FillStrings(HWND window, UINT reset, UINT add, const std::vector<std::string>& items) {
  SendMessageA(window, reset, 0, 0);
  for (const std::string& item : items) SendMessageA(window, add, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

}  // namespace

// ---- Combo box ----

DWORD ComboBoxPeer::Style() const {
  return PeerFor::Style() | WS_VSCROLL |
         (control_.Style() == ComboStyle::DropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN | CBS_AUTOHSCROLL);
}

void ComboBoxPeer::Push(Aspect aspect, int index) {
  HWND hwnd = Hwnd();
  switch (aspect) {
    case Aspect::Items:
      FillStrings(hwnd, CB_RESETCONTENT, CB_ADDSTRING, control_.Items());
      SendMessageA(hwnd, CB_SETCURSEL, static_cast<WPARAM>(control_.ItemIndex()), 0);
      PushText();
      break;
    case Aspect::ItemIndex:
      SendMessageA(hwnd, CB_SETCURSEL, static_cast<WPARAM>(control_.ItemIndex()), 0);
      break;
    default:
      PeerFor::Push(aspect, index);
      break;
  }
}

void ComboBoxPeer::PushText() {
  // The text of a drop-down list is its chosen item.
  if (control_.Style() != ComboStyle::DropDownList) PeerFor::PushText();
}

void ComboBoxPeer::Command(HWND /*from*/, int code) {
  if (code == CBN_SELCHANGE) {
    control_.SetItemIndex(static_cast<int>(SendMessageA(Hwnd(), CB_GETCURSEL, 0, 0)));
  } else if (code == CBN_EDITCHANGE) {
    control_.NotifyTextEdited(WindowText(Hwnd()));
  }
}

// ---- List box ----

void ListBoxPeer::Push(Aspect aspect, int index) {
  HWND hwnd = Hwnd();
  switch (aspect) {
    case Aspect::Items:
      FillStrings(hwnd, LB_RESETCONTENT, LB_ADDSTRING, control_.Items());
      break;
    case Aspect::ItemIndex:
      SendMessageA(hwnd, LB_SETCURSEL, static_cast<WPARAM>(control_.ItemIndex()), 0);
      break;
    default:
      PeerFor::Push(aspect, index);
      break;
  }
}

void ListBoxPeer::Command(HWND /*from*/, int code) {
  if (code == LBN_SELCHANGE) control_.Choose(static_cast<int>(SendMessageA(Hwnd(), LB_GETCURSEL, 0, 0)));
}

// ---- Up-down ----

void UpDownPeer::Push(Aspect aspect, int index) {
  if (aspect == Aspect::Range) {
    SendMessageA(Hwnd(), UDM_SETRANGE32, static_cast<WPARAM>(control_.Min()), control_.Max());
  } else if (aspect == Aspect::Position) {
    SendMessageA(Hwnd(), UDM_SETPOS32, 0, control_.Position());
  } else {
    PeerFor::Push(aspect, index);
  }
}

bool UpDownPeer::OnNotify(NMHDR* header, LRESULT& result) {
  if (header->code != UDN_DELTAPOS) return false;
  const auto* change = reinterpret_cast<NMUPDOWN*>(header);
  if (!Pushing() && change->iDelta != 0) control_.Step(change->iDelta > 0 ? 1 : -1);
  result = TRUE;  // the position is ours; it was pushed back already
  return true;
}

// ---- Progress bar ----

void ProgressBarPeer::Push(Aspect aspect, int index) {
  if (aspect == Aspect::Range) {
    SendMessageA(Hwnd(), PBM_SETRANGE32, static_cast<WPARAM>(control_.Min()), control_.Max());
  } else if (aspect == Aspect::Position) {
    SendMessageA(Hwnd(), PBM_SETPOS, static_cast<WPARAM>(control_.Position()), 0);
  } else {
    PeerFor::Push(aspect, index);
  }
}

// ---- List view ----

DWORD ListViewPeer::Style() const {
  DWORD style = PeerFor::Style() | LVS_REPORT | LVS_OWNERDATA;
  if (!control_.MultiSelect()) style |= LVS_SINGLESEL;
  if (!control_.HideSelection()) style |= LVS_SHOWSELALWAYS;
  if (!control_.ReadOnly()) style |= LVS_EDITLABELS;
  return style;
}

void ListViewPeer::PushState() {
  SendMessageA(Hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, 0);
  Push(Aspect::Columns, -1);
  Push(Aspect::RowCount, -1);
}

void ListViewPeer::Push(Aspect aspect, int index) {
  HWND hwnd = Hwnd();
  switch (aspect) {
    case Aspect::Font:
      SendMessageA(hwnd, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(Resolve(control_.GetFont().color, COLOR_WINDOWTEXT)));
      PeerFor::Push(aspect, index);
      break;
    case Aspect::Color: {
      const COLORREF back = Resolve(control_.GetColor(), COLOR_WINDOW);
      SendMessageA(hwnd, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
      SendMessageA(hwnd, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(back));
      PeerFor::Push(aspect, index);
      break;
    }
    case Aspect::Columns:
      PushColumns();
      break;
    case Aspect::RowCount:
      SendMessageA(hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(control_.ItemCount()), 0);
      PushSelectionAll();
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case Aspect::Row:
      if (index < 0) {
        InvalidateRect(hwnd, nullptr, TRUE);
      } else {
        SendMessageA(hwnd, LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
      }
      break;
    case Aspect::Selection:
      if (index < 0) {
        PushSelectionAll();
      } else {
        LVITEMA item{};
        const bool selected = control_.Selected(index);
        item.stateMask = selected ? LVIS_SELECTED | LVIS_FOCUSED : LVIS_SELECTED;
        item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
        SendMessageA(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
      }
      break;
    default:
      PeerFor::Push(aspect, index);
      break;
  }
}

void ListViewPeer::PushColumns() {
  HWND hwnd = Hwnd();
  while (SendMessageA(hwnd, LVM_DELETECOLUMN, 0, 0) != FALSE) {
  }
  int column = 0;
  for (const ListColumn& listColumn : control_.Columns()) {
    LVCOLUMNA lvc{};
    lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    lvc.pszText = const_cast<char*>(listColumn.caption.c_str());
    lvc.cx = listColumn.width;
    lvc.iSubItem = column;
    SendMessageA(hwnd, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column++), reinterpret_cast<LPARAM>(&lvc));
  }
}

void ListViewPeer::PushSelectionAll() {
  HWND hwnd = Hwnd();
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  SendMessageA(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  for (int index : control_.SelectedIndices()) {
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  }
}

int ListViewPeer::TopIndex() const { return static_cast<int>(SendMessageA(Hwnd(), LVM_GETTOPINDEX, 0, 0)); }

int ListViewPeer::VisibleRowCount() const {
  return static_cast<int>(SendMessageA(Hwnd(), LVM_GETCOUNTPERPAGE, 0, 0));
}

void ListViewPeer::RedrawRows(int first, int last) {
  SendMessageA(Hwnd(), LVM_REDRAWITEMS, static_cast<WPARAM>(first), last);
  UpdateWindow(Hwnd());
}

void ListViewPeer::ScrollTo(int index) {
  SendMessageA(Hwnd(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

void ListViewPeer::BeginCaptionEdit(int index) {
  SetFocus(Hwnd());
  SendMessageA(Hwnd(), LVM_EDITLABELA, static_cast<WPARAM>(index), 0);
}

bool ListViewPeer::OnNotify(NMHDR* header, LRESULT& result) {
  switch (header->code) {
    case LVN_GETDISPINFOA: {
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
      if ((info->item.mask & LVIF_TEXT) != 0 && info->item.pszText != nullptr && info->item.cchTextMax > 0) {
        const std::string text = control_.CellText(info->item.iItem, info->item.iSubItem);
        lstrcpynA(info->item.pszText, text.c_str(), info->item.cchTextMax);
      }
      result = 0;
      return true;
    }
    case LVN_ITEMCHANGED: {
      const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if (Pushing() || (change->uChanged & LVIF_STATE) == 0 ||
          ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) == 0) {
        return true;
      }
      const bool selected = (change->uNewState & LVIS_SELECTED) != 0;
      if (change->iItem >= 0) {
        control_.SetSelected(change->iItem, selected);
      } else {
        for (int i = 0; i < control_.ItemCount(); ++i) {
          if (control_.Selected(i) != selected) control_.SetSelected(i, selected);
        }
      }
      return true;
    }
    case LVN_ODSTATECHANGED: {
      const auto* change = reinterpret_cast<NMLVODSTATECHANGE*>(header);
      if (Pushing() || ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) == 0) return true;
      for (int i = change->iFrom; i <= change->iTo; ++i) {
        control_.SetSelected(i, (change->uNewState & LVIS_SELECTED) != 0);
      }
      return true;
    }
    case LVN_BEGINLABELEDITA:
      result = control_.ReadOnly() ? TRUE : FALSE;
      return true;
    case LVN_ENDLABELEDITA: {
      const auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
      result = FALSE;
      if (info->item.pszText != nullptr) {
        result = control_.EndCaptionEdit(info->item.iItem, info->item.pszText) ? TRUE : FALSE;
      }
      return true;
    }
    case NM_CUSTOMDRAW:
      CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(header), result);
      return true;
    default:
      return false;
  }
}

void ListViewPeer::CustomDraw(NMLVCUSTOMDRAW& draw, LRESULT& result) {
  const DWORD stage = draw.nmcd.dwDrawStage;
  const int row = static_cast<int>(draw.nmcd.dwItemSpec);
  if (stage == CDDS_PREPAINT) {
    result = CDRF_NOTIFYITEMDRAW;
  } else if (stage == CDDS_ITEMPREPAINT) {
    draw.clrText = Resolve(control_.DrawCell(row, -1), COLOR_WINDOWTEXT);
    result = CDRF_NEWFONT | (control_.OnCustomDrawSubItem ? CDRF_NOTIFYSUBITEMDRAW : 0);
  } else if (stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
    draw.clrText = Resolve(control_.DrawCell(row, draw.iSubItem), COLOR_WINDOWTEXT);
    result = CDRF_NEWFONT;
  } else {
    result = CDRF_DODEFAULT;
  }
}

}  // namespace ov::ui::win32
