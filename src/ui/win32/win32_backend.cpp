// Real windows for forms and controls. Every control window is a direct child of its form
// (a group box is drawn as a frame, not used as a parent), placed at the sum of the
// offsets of its containers, so notifications all reach the form's window procedure.
#include "ui/win32/win32_backend.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace ov::ui::win32 {

namespace {

constexpr char kFormClass[] = "OvUiForm";
constexpr char kPeerProp[] = "OvUiPeer";
constexpr char kItemProp[] = "OvUiItem";
constexpr UINT kMsgModalStarted = WM_APP + 1;

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

COLORREF Resolve(Color color, int fallbackSysColor) {
  if (color == clDefault) return GetSysColor(fallbackSysColor);
  if ((color & kSystemColor) != 0) return GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color & 0xFFFFFF);
}

struct GdiDeleter {
  void operator()(HGDIOBJ object) const {
    if (object != nullptr) DeleteObject(object);
  }
};
using GdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiDeleter>;

struct WindowDeleter {
  void operator()(HWND window) const {
    if (window != nullptr && IsWindow(window)) {
      RemovePropA(window, kPeerProp);
      RemovePropA(window, kItemProp);
      DestroyWindow(window);
    }
  }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

HFONT CreateFontFor(const Font& font) {
  int height = -font.pixels;
  if (font.pixels <= 0) {
    HDC screen = GetDC(nullptr);
    height = -MulDiv(font.points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
  }
  return CreateFontA(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic ? TRUE : FALSE, FALSE, FALSE,
                     static_cast<DWORD>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, font.face.c_str());
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(0, got)));
  return text;
}

// Position of a control in its form's client area.
POINT FormOffset(const Control& control) {
  POINT point{control.Left(), control.Top()};
  for (const Control* c = control.Parent(); c != nullptr && c->Parent() != nullptr; c = c->Parent()) {
    point.x += c->Left();
    point.y += c->Top();
  }
  return point;
}

class Win32FormPeer;

class Win32ControlPeer : public ControlPeer {
 public:
  Win32ControlPeer(Control& control, Win32FormPeer& form);
  ~Win32ControlPeer() override = default;

  void Update(Aspect aspect, int index) override;
  std::uintptr_t Handle() const override { return reinterpret_cast<std::uintptr_t>(window_.get()); }
  bool HasFocus() const override;
  int TopIndex() const override;
  int VisibleRowCount() const override;
  void RedrawRows(int first, int last) override;
  void ScrollTo(int index) override;
  void BeginCaptionEdit(int index) override;

  void OnCommand(HWND from, int code);
  bool OnNotify(NMHDR* header, LRESULT& result);
  HBRUSH OnCtlColor(UINT message, HDC dc, WPARAM wParam, LPARAM lParam);
  void Focus();
  Control& Target() { return control_; }

 private:
  void Create();
  void PushAll();
  void PushBounds();
  void PushText();
  void PushItems();
  void PushSelectionAll();
  DWORD Style() const;
  DWORD ExStyle() const;
  const char* ClassName() const;
  HWND Parent() const;

  Control& control_;
  Win32FormPeer& form_;
  Window window_;
  std::vector<Window> radios_;  // the buttons of a radio group
  GdiObject font_;
  GdiObject brush_;
  COLORREF brushColor_ = 0;
  int id_ = 0;
  bool pushing_ = false;
  bool creating_ = false;
};

class Win32FormPeer : public FormPeer {
 public:
  Win32FormPeer(Win32Backend& backend, Form& form);
  ~Win32FormPeer() override = default;

  void Update(Aspect aspect, int index) override;
  std::uintptr_t Handle() const override { return reinterpret_cast<std::uintptr_t>(window_.get()); }
  bool HasFocus() const override { return GetFocus() == window_.get(); }
  void RunModal() override;
  void EndModal() override;
  void AbortModal() override { EndModal(); }
  void DisableCloseItem() override;
  void Focus(Control* control) override;

  HWND Hwnd() const { return window_.get(); }
  int NextId() { return nextId_++; }
  Form& Target() { return form_; }
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  DWORD Style() const;
  DWORD ExStyle() const;
  void Place(bool center);
  Win32ControlPeer* PeerOf(HWND window) const;

  Win32Backend& backend_;
  Form& form_;
  Window window_;
  GdiObject brush_;
  int nextId_ = 1000;
  bool ended_ = true;
};

Win32ControlPeer* PeerProp(HWND window) {
  return window != nullptr ? static_cast<Win32ControlPeer*>(GetPropA(window, kPeerProp)) : nullptr;
}

// ---- Form ----

Win32FormPeer::Win32FormPeer(Win32Backend& backend, Form& form) : backend_(backend), form_(form) {
  HWND owner = form.OwnerHandle() != 0 ? reinterpret_cast<HWND>(form.OwnerHandle()) : nullptr;
  window_.reset(CreateWindowExA(ExStyle(), kFormClass, form.Caption().c_str(), Style(), CW_USEDEFAULT, CW_USEDEFAULT,
                                100, 100, owner, nullptr, ThisModule(), this));
  if (window_ == nullptr) return;
  SetPropA(window_.get(), kPeerProp, this);
  Place(form.Position() != FormPosition::Designed);
}

DWORD Win32FormPeer::Style() const {
  DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS;
  if (form_.Icons() == BorderIcons::SystemMenu) style |= WS_SYSMENU;
  return style;
}

DWORD Win32FormPeer::ExStyle() const {
  DWORD style = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;
  if (form_.Border() == BorderStyle::Dialog) style |= WS_EX_DLGMODALFRAME;
  return style;
}

void Win32FormPeer::Place(bool center) {
  RECT rect{0, 0, form_.ClientWidth(), form_.ClientHeight()};
  AdjustWindowRectEx(&rect, Style(), FALSE, ExStyle());
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  int left = form_.Left();
  int top = form_.Top();
  if (!center && form_.Position() != FormPosition::Designed) {
    // A centred form that changes size keeps its place.
    RECT current;
    GetWindowRect(window_.get(), &current);
    left = current.left;
    top = current.top;
  }
  if (center) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (form_.Position() == FormPosition::DesktopCenter) SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    left = area.left + (area.right - area.left - width) / 2;
    top = area.top + (area.bottom - area.top - height) / 2;
  }
  SetWindowPos(window_.get(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

Win32ControlPeer* Win32FormPeer::PeerOf(HWND window) const {
  for (HWND w = window; w != nullptr && w != window_.get(); w = GetParent(w)) {
    if (Win32ControlPeer* peer = PeerProp(w)) return peer;
  }
  return nullptr;
}

void Win32FormPeer::Update(Aspect aspect, int /*index*/) {
  HWND hwnd = window_.get();
  if (hwnd == nullptr) return;
  switch (aspect) {
    case Aspect::Text:
      SetWindowTextA(hwnd, form_.Caption().c_str());
      break;
    case Aspect::Bounds:
      Place(false);
      break;
    case Aspect::Enabled:
      EnableWindow(hwnd, form_.Enabled() ? TRUE : FALSE);
      break;
    case Aspect::Visible:
      if (form_.IsModal()) break;
      if (form_.Visible()) {
        ShowWindow(hwnd, form_.State() == WindowState::Maximized ? SW_SHOWMAXIMIZED : SW_SHOW);
        if (Control* active = form_.ActiveControl() != nullptr ? form_.ActiveControl() : form_.FirstFocusable()) {
          Focus(active);
        }
      } else {
        ShowWindow(hwnd, SW_HIDE);
      }
      break;
    case Aspect::WindowState:
      if (IsWindowVisible(hwnd)) ShowWindow(hwnd, form_.State() == WindowState::Maximized ? SW_MAXIMIZE : SW_RESTORE);
      break;
    case Aspect::Owner:
      SetWindowLongPtrA(hwnd, GWLP_HWNDPARENT, static_cast<LONG_PTR>(form_.OwnerHandle()));
      break;
    case Aspect::Color:
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    default:
      break;
  }
}

void Win32FormPeer::DisableCloseItem() {
  EnableMenuItem(GetSystemMenu(window_.get(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
}

void Win32FormPeer::Focus(Control* control) {
  form_.NotifyFocus(control);
  if (control == nullptr) return;
  if (auto* peer = dynamic_cast<Win32ControlPeer*>(control->Peer())) peer->Focus();
}

void Win32FormPeer::RunModal() {
  HWND hwnd = window_.get();
  if (hwnd == nullptr) return;
  HWND owner = form_.OwnerHandle() != 0 ? reinterpret_cast<HWND>(form_.OwnerHandle()) : GetActiveWindow();
  if (owner == hwnd) owner = nullptr;
  SetWindowLongPtrA(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  const bool disableOwner = owner != nullptr && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  ended_ = false;
  ShowWindow(hwnd, form_.State() == WindowState::Maximized ? SW_SHOWMAXIMIZED : SW_SHOW);
  SetForegroundWindow(hwnd);
  SetActiveWindow(hwnd);
  if (form_.ActiveControl() != nullptr) Focus(form_.ActiveControl());
  PostMessageA(hwnd, kMsgModalStarted, 0, 0);
  MSG msg;
  while (!ended_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    Win32Backend::Dispatch(&msg);
  }
  ended_ = true;
  if (disableOwner) EnableWindow(owner, TRUE);
  if (owner != nullptr && GetActiveWindow() == hwnd) SetActiveWindow(owner);
  ShowWindow(hwnd, SW_HIDE);
}

void Win32FormPeer::EndModal() {
  ended_ = true;
  PostMessageA(window_.get(), WM_NULL, 0, 0);
}

LRESULT CALLBACK Win32FormPeer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* peer = static_cast<Win32FormPeer*>(GetPropA(window, kPeerProp));
  if (peer == nullptr || peer->window_.get() != window) return DefWindowProcA(window, message, wParam, lParam);
  try {
    return peer->Handle(message, wParam, lParam);
  } catch (...) {
    // No exception leaves a window procedure; the message counts as handled.
    return 0;
  }
}

LRESULT Win32FormPeer::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = window_.get();
  switch (message) {
    case WM_COMMAND: {
      const auto from = reinterpret_cast<HWND>(lParam);
      const int id = LOWORD(wParam);
      if (Win32ControlPeer* peer = from != nullptr ? PeerProp(from) : nullptr) {
        peer->OnCommand(from, HIWORD(wParam));
        return 0;
      }
      // Enter and Esc from the dialog manager when no button has the identifier.
      if (id == IDOK || id == IDCANCEL) {
        Button* button = id == IDOK ? form_.DefaultButton() : form_.CancelButton();
        if (button != nullptr && button->EffectivelyEnabled() && button->Showing()) button->Click();
      }
      return 0;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      LRESULT result = 0;
      if (Win32ControlPeer* peer = PeerOf(header->hwndFrom)) {
        if (peer->OnNotify(header, result)) return result;
      }
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (Win32ControlPeer* peer = PeerOf(reinterpret_cast<HWND>(lParam))) {
        return reinterpret_cast<LRESULT>(peer->OnCtlColor(message, reinterpret_cast<HDC>(wParam), wParam, lParam));
      }
      break;
    case DM_GETDEFID: {
      // A focused push button takes Enter, as in a dialog; otherwise the default button.
      Button* button = nullptr;
      if (Win32ControlPeer* focused = PeerOf(GetFocus())) button = dynamic_cast<Button*>(&focused->Target());
      if (button == nullptr) button = form_.DefaultButton();
      if (button == nullptr || button->Handle() == 0) return 0;
      return MAKELRESULT(GetDlgCtrlID(reinterpret_cast<HWND>(button->Handle())), DC_HASDEFID);
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (Win32ControlPeer* peer = PeerOf(GetFocus())) form_.NotifyFocus(&peer->Target());
      } else {
        auto* peer = form_.ActiveControl() != nullptr ? dynamic_cast<Win32ControlPeer*>(form_.ActiveControl()->Peer())
                                                      : nullptr;
        if (peer == nullptr) {
          DefWindowProcA(hwnd, message, wParam, lParam);
        } else {
          peer->Focus();
        }
        form_.NotifyActivated();
        return 0;
      }
      break;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) form_.NotifyResized(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_CLOSE:
      form_.NotifyCloseRequest();
      return 0;
    case WM_ERASEBKGND:
      if (form_.GetColor() != clDefault) {
        const COLORREF color = Resolve(form_.GetColor(), COLOR_BTNFACE);
        brush_.reset(CreateSolidBrush(color));
        RECT rect;
        GetClientRect(hwnd, &rect);
        FillRect(reinterpret_cast<HDC>(wParam), &rect, static_cast<HBRUSH>(brush_.get()));
        return 1;
      }
      break;
    case kMsgModalStarted:
      if (!ended_ && backend_.CurrentModalHook()) {
        Win32Backend::ModalHook hook = backend_.CurrentModalHook();
        hook(form_);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// ---- Controls ----

Win32ControlPeer::Win32ControlPeer(Control& control, Win32FormPeer& form) : control_(control), form_(form) {
  id_ = form_.NextId();
  Create();
}

HWND Win32ControlPeer::Parent() const { return form_.Hwnd(); }

const char* Win32ControlPeer::ClassName() const {
  if (dynamic_cast<Edit*>(&control_) != nullptr || dynamic_cast<Memo*>(&control_) != nullptr) return "EDIT";
  if (dynamic_cast<Label*>(&control_) != nullptr || dynamic_cast<Image*>(&control_) != nullptr) return "STATIC";
  if (dynamic_cast<ComboBox*>(&control_) != nullptr) return "COMBOBOX";
  if (dynamic_cast<ListBox*>(&control_) != nullptr) return "LISTBOX";
  if (dynamic_cast<UpDown*>(&control_) != nullptr) return UPDOWN_CLASSA;
  if (dynamic_cast<ListView*>(&control_) != nullptr) return WC_LISTVIEWA;
  if (dynamic_cast<ProgressBar*>(&control_) != nullptr) return PROGRESS_CLASSA;
  return "BUTTON";
}

DWORD Win32ControlPeer::Style() const {
  // As in a dialog: no sibling clipping, and a group box above the controls it frames
  // (created before them), drawing only its frame and caption.
  DWORD style = WS_CHILD;
  if (control_.TabStop()) style |= WS_TABSTOP;
  if (auto* button = dynamic_cast<Button*>(&control_)) {
    style |= button->IsDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  } else if (dynamic_cast<CheckBox*>(&control_) != nullptr) {
    style |= BS_CHECKBOX;
  } else if (dynamic_cast<RadioButton*>(&control_) != nullptr) {
    style |= BS_RADIOBUTTON;
  } else if (dynamic_cast<GroupBox*>(&control_) != nullptr || dynamic_cast<RadioGroup*>(&control_) != nullptr) {
    style = WS_CHILD | BS_GROUPBOX;
  } else if (auto* edit = dynamic_cast<Edit*>(&control_)) {
    style |= ES_AUTOHSCROLL | (edit->ReadOnly() ? ES_READONLY : 0);
  } else if (auto* memo = dynamic_cast<Memo*>(&control_)) {
    style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | (memo->ReadOnly() ? ES_READONLY : 0);
    const ScrollBars bars = memo->GetScrollBars();
    if (bars == ScrollBars::Vertical || bars == ScrollBars::Both) style |= WS_VSCROLL;
    if (bars == ScrollBars::Horizontal || bars == ScrollBars::Both) style |= WS_HSCROLL;
    if (!memo->WordWrap() || bars == ScrollBars::Horizontal || bars == ScrollBars::Both) style |= ES_AUTOHSCROLL;
  } else if (auto* label = dynamic_cast<Label*>(&control_)) {
    switch (label->GetAlignment()) {
      case Alignment::Center: style |= SS_CENTER; break;
      case Alignment::Right: style |= SS_RIGHT; break;
      case Alignment::Left: style |= label->WordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP; break;
    }
  } else if (dynamic_cast<Image*>(&control_) != nullptr) {
    style |= SS_ICON;
  } else if (auto* combo = dynamic_cast<ComboBox*>(&control_)) {
    style |= WS_VSCROLL | (combo->Style() == ComboStyle::DropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN | CBS_AUTOHSCROLL);
  } else if (dynamic_cast<ListBox*>(&control_) != nullptr) {
    style |= LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
  } else if (dynamic_cast<UpDown*>(&control_) != nullptr) {
    style |= UDS_ARROWKEYS;
  } else if (auto* list = dynamic_cast<ListView*>(&control_)) {
    style |= LVS_REPORT | LVS_OWNERDATA;
    if (!list->MultiSelect()) style |= LVS_SINGLESEL;
    if (!list->HideSelection()) style |= LVS_SHOWSELALWAYS;
    if (!list->ReadOnly()) style |= LVS_EDITLABELS;
  }
  return style;
}

DWORD Win32ControlPeer::ExStyle() const {
  if (dynamic_cast<Edit*>(&control_) != nullptr || dynamic_cast<ListBox*>(&control_) != nullptr ||
      dynamic_cast<ListView*>(&control_) != nullptr) {
    return WS_EX_CLIENTEDGE;
  }
  if (auto* memo = dynamic_cast<Memo*>(&control_)) return memo->Border() ? WS_EX_CLIENTEDGE : 0;
  if (auto* label = dynamic_cast<Label*>(&control_)) return label->Transparent() ? WS_EX_TRANSPARENT : 0;
  return 0;
}

void Win32ControlPeer::Create() {
  const bool isCombo = dynamic_cast<ComboBox*>(&control_) != nullptr;
  const POINT at = FormOffset(control_);
  const std::string text = dynamic_cast<RadioGroup*>(&control_) != nullptr || dynamic_cast<Image*>(&control_) != nullptr
                               ? control_.Caption()
                               : control_.Text();
  window_.reset(CreateWindowExA(ExStyle(), ClassName(), text.c_str(), Style(), at.x, at.y, control_.Width(),
                                control_.Height() + (isCombo ? 200 : 0), Parent(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), ThisModule(), nullptr));
  if (window_ == nullptr) return;
  SetPropA(window_.get(), kPeerProp, this);
  if (auto* group = dynamic_cast<RadioGroup*>(&control_)) {
    radios_.clear();
    for (std::size_t i = 0; i < group->Items().size(); ++i) {
      HWND radio = CreateWindowExA(0, "BUTTON", group->Items()[i].c_str(),
                                   WS_CHILD | WS_TABSTOP | BS_RADIOBUTTON, 0, 0, 10, 10, Parent(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(form_.NextId())), ThisModule(), nullptr);
      SetPropA(radio, kPeerProp, this);
      SetPropA(radio, kItemProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(i + 1)));
      radios_.emplace_back(radio);
    }
  }
  PushAll();
}

void Win32ControlPeer::PushAll() {
  pushing_ = true;
  creating_ = true;
  Update(Aspect::Font, -1);
  if (dynamic_cast<ListView*>(&control_) != nullptr) {
    SendMessageA(window_.get(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, 0);
    Update(Aspect::Columns, -1);
    Update(Aspect::RowCount, -1);
  }
  Update(Aspect::Items, -1);
  Update(Aspect::ItemIndex, -1);
  Update(Aspect::Range, -1);
  Update(Aspect::Position, -1);
  Update(Aspect::Checked, -1);
  Update(Aspect::Icon, -1);
  Update(Aspect::Enabled, -1);
  PushBounds();
  Update(Aspect::Visible, -1);
  creating_ = false;
  pushing_ = false;
}

void Win32ControlPeer::PushBounds() {
  const POINT at = FormOffset(control_);
  const bool isCombo = dynamic_cast<ComboBox*>(&control_) != nullptr;
  SetWindowPos(window_.get(), nullptr, at.x, at.y, control_.Width(), control_.Height() + (isCombo ? 200 : 0),
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (!radios_.empty()) {
    // The items share the box below its caption, one row each.
    const int rows = static_cast<int>(radios_.size());
    const int areaTop = at.y + 16;
    const int areaHeight = std::max(rows, control_.Height() - 20);
    for (int i = 0; i < rows; ++i) {
      SetWindowPos(radios_[static_cast<std::size_t>(i)].get(), nullptr, at.x + 8, areaTop + areaHeight * i / rows,
                   control_.Width() - 16, std::min(20, areaHeight / rows), SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

void Win32ControlPeer::PushText() {
  if (dynamic_cast<ComboBox*>(&control_) != nullptr &&
      static_cast<ComboBox&>(control_).Style() == ComboStyle::DropDownList) {
    return;  // the text of a drop-down list is its chosen item
  }
  SetWindowTextA(window_.get(), control_.Text().c_str());
}

void Win32ControlPeer::PushItems() {
  HWND hwnd = window_.get();
  if (auto* combo = dynamic_cast<ComboBox*>(&control_)) {
    SendMessageA(hwnd, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : combo->Items()) SendMessageA(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageA(hwnd, CB_SETCURSEL, static_cast<WPARAM>(combo->ItemIndex()), 0);
    PushText();
  } else if (auto* listBox = dynamic_cast<ListBox*>(&control_)) {
    SendMessageA(hwnd, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : listBox->Items()) SendMessageA(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  } else if (dynamic_cast<RadioGroup*>(&control_) != nullptr && !creating_) {
    // The buttons are made from the items: make them again.
    std::vector<Window>().swap(radios_);
    window_.reset();
    Create();
  }
}

void Win32ControlPeer::PushSelectionAll() {
  auto* list = dynamic_cast<ListView*>(&control_);
  HWND hwnd = window_.get();
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  SendMessageA(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  for (int index : list->SelectedIndices()) {
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  }
}

void Win32ControlPeer::Update(Aspect aspect, int index) {
  HWND hwnd = window_.get();
  if (hwnd == nullptr) return;
  const bool wasPushing = pushing_;
  pushing_ = true;
  switch (aspect) {
    case Aspect::Bounds: {
      PushBounds();
      if (auto* container = dynamic_cast<Container*>(&control_)) {
        std::vector<Control*> below;
        container->CollectDescendants(below);
        for (Control* child : below) child->Changed(Aspect::Bounds);
      }
      break;
    }
    case Aspect::Enabled: {
      const BOOL enabled = control_.EffectivelyEnabled() ? TRUE : FALSE;
      EnableWindow(hwnd, enabled);
      for (auto& radio : radios_) EnableWindow(radio.get(), enabled);
      break;
    }
    case Aspect::Visible: {
      const int show = control_.Showing() ? SW_SHOWNA : SW_HIDE;
      ShowWindow(hwnd, show);
      for (auto& radio : radios_) ShowWindow(radio.get(), show);
      break;
    }
    case Aspect::Text:
      PushText();
      break;
    case Aspect::Font:
      font_.reset(CreateFontFor(control_.GetFont()));
      SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
      for (auto& radio : radios_) SendMessageA(radio.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
      if (auto* list = dynamic_cast<ListView*>(&control_)) {
        const COLORREF text = Resolve(list->GetFont().color, COLOR_WINDOWTEXT);
        SendMessageA(hwnd, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case Aspect::Color:
      if (auto* list = dynamic_cast<ListView*>(&control_)) {
        const COLORREF back = Resolve(list->GetColor(), COLOR_WINDOW);
        SendMessageA(hwnd, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
        SendMessageA(hwnd, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(back));
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case Aspect::ReadOnly:
      if (auto* edit = dynamic_cast<Edit*>(&control_)) SendMessageA(hwnd, EM_SETREADONLY, edit->ReadOnly(), 0);
      if (auto* memo = dynamic_cast<Memo*>(&control_)) SendMessageA(hwnd, EM_SETREADONLY, memo->ReadOnly(), 0);
      break;
    case Aspect::Style:
      if (dynamic_cast<Button*>(&control_) != nullptr) {
        SendMessageA(hwnd, BM_SETSTYLE, Style() & 0x0F, TRUE);
      } else if (dynamic_cast<Memo*>(&control_) != nullptr) {
        // Scroll bars and borders of an edit are fixed at creation.
        window_.reset();
        Create();
      } else {
        SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(Style() | (GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE)));
        SetWindowLongA(hwnd, GWL_EXSTYLE, static_cast<LONG>(ExStyle()));
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      break;
    case Aspect::Checked:
      if (auto* check = dynamic_cast<CheckBox*>(&control_)) SendMessageA(hwnd, BM_SETCHECK, check->Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      if (auto* radio = dynamic_cast<RadioButton*>(&control_)) SendMessageA(hwnd, BM_SETCHECK, radio->Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case Aspect::Items:
      PushItems();
      break;
    case Aspect::ItemIndex:
      if (auto* combo = dynamic_cast<ComboBox*>(&control_)) SendMessageA(hwnd, CB_SETCURSEL, static_cast<WPARAM>(combo->ItemIndex()), 0);
      if (auto* listBox = dynamic_cast<ListBox*>(&control_)) SendMessageA(hwnd, LB_SETCURSEL, static_cast<WPARAM>(listBox->ItemIndex()), 0);
      if (auto* group = dynamic_cast<RadioGroup*>(&control_)) {
        for (std::size_t i = 0; i < radios_.size(); ++i) {
          SendMessageA(radios_[i].get(), BM_SETCHECK, static_cast<int>(i) == group->ItemIndex() ? BST_CHECKED : BST_UNCHECKED, 0);
        }
      }
      break;
    case Aspect::Range:
      if (auto* upDown = dynamic_cast<UpDown*>(&control_)) SendMessageA(hwnd, UDM_SETRANGE32, static_cast<WPARAM>(upDown->Min()), upDown->Max());
      if (auto* bar = dynamic_cast<ProgressBar*>(&control_)) SendMessageA(hwnd, PBM_SETRANGE32, static_cast<WPARAM>(bar->Min()), bar->Max());
      break;
    case Aspect::Position:
      if (auto* upDown = dynamic_cast<UpDown*>(&control_)) SendMessageA(hwnd, UDM_SETPOS32, 0, upDown->Position());
      if (auto* bar = dynamic_cast<ProgressBar*>(&control_)) SendMessageA(hwnd, PBM_SETPOS, static_cast<WPARAM>(bar->Position()), 0);
      break;
    case Aspect::Icon:
      if (auto* image = dynamic_cast<Image*>(&control_)) {
        HICON icon = nullptr;
        const int id = image->IconResource() != kApplicationIcon ? image->IconResource() : 1;
        icon = LoadIconA(ThisModule(), MAKEINTRESOURCEA(id));
        if (icon == nullptr) icon = LoadIconA(nullptr, IDI_APPLICATION);
        SendMessageA(hwnd, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
      }
      break;
    case Aspect::Columns:
      if (auto* list = dynamic_cast<ListView*>(&control_)) {
        while (SendMessageA(hwnd, LVM_DELETECOLUMN, 0, 0) != FALSE) {
        }
        int column = 0;
        for (const ListColumn& listColumn : list->Columns()) {
          LVCOLUMNA lvc{};
          lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
          lvc.pszText = const_cast<char*>(listColumn.caption.c_str());
          lvc.cx = listColumn.width;
          lvc.iSubItem = column;
          SendMessageA(hwnd, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column++), reinterpret_cast<LPARAM>(&lvc));
        }
      }
      break;
    case Aspect::RowCount:
      if (auto* list = dynamic_cast<ListView*>(&control_)) {
        SendMessageA(hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(list->ItemCount()), 0);
        PushSelectionAll();
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      break;
    case Aspect::Row:
      if (index < 0) {
        InvalidateRect(hwnd, nullptr, TRUE);
      } else {
        SendMessageA(hwnd, LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
      }
      break;
    case Aspect::Selection:
      if (auto* list = dynamic_cast<ListView*>(&control_)) {
        if (index < 0) {
          PushSelectionAll();
        } else {
          LVITEMA item{};
          const bool selected = list->Selected(index);
          item.stateMask = selected ? LVIS_SELECTED | LVIS_FOCUSED : LVIS_SELECTED;
          item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
          SendMessageA(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        }
      }
      break;
    default:
      break;
  }
  pushing_ = wasPushing;
}

bool Win32ControlPeer::HasFocus() const {
  HWND focus = GetFocus();
  if (focus == nullptr) return false;
  if (focus == window_.get() || IsChild(window_.get(), focus)) return true;
  for (const auto& radio : radios_) {
    if (radio.get() == focus) return true;
  }
  return false;
}

void Win32ControlPeer::Focus() {
  HWND target = window_.get();
  if (auto* group = dynamic_cast<RadioGroup*>(&control_); group != nullptr && !radios_.empty()) {
    const int index = std::max(0, group->ItemIndex());
    target = radios_[static_cast<std::size_t>(index)].get();
  }
  SetFocus(target);
}

int Win32ControlPeer::TopIndex() const {
  return static_cast<int>(SendMessageA(window_.get(), LVM_GETTOPINDEX, 0, 0));
}

int Win32ControlPeer::VisibleRowCount() const {
  return static_cast<int>(SendMessageA(window_.get(), LVM_GETCOUNTPERPAGE, 0, 0));
}

void Win32ControlPeer::RedrawRows(int first, int last) {
  SendMessageA(window_.get(), LVM_REDRAWITEMS, static_cast<WPARAM>(first), last);
  UpdateWindow(window_.get());
}

void Win32ControlPeer::ScrollTo(int index) {
  SendMessageA(window_.get(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

void Win32ControlPeer::BeginCaptionEdit(int index) {
  SetFocus(window_.get());
  SendMessageA(window_.get(), LVM_EDITLABELA, static_cast<WPARAM>(index), 0);
}

void Win32ControlPeer::OnCommand(HWND from, int code) {
  if (pushing_) return;
  if (auto* group = dynamic_cast<RadioGroup*>(&control_)) {
    const auto item = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(from, kItemProp)));
    if (item > 0 && code == BN_CLICKED) group->SetItemIndex(item - 1);
    return;
  }
  if (auto* button = dynamic_cast<Button*>(&control_)) {
    if (code == BN_CLICKED) button->Click();
  } else if (auto* check = dynamic_cast<CheckBox*>(&control_)) {
    if (code == BN_CLICKED) check->Click();
  } else if (auto* radio = dynamic_cast<RadioButton*>(&control_)) {
    if (code == BN_CLICKED) radio->Click();
  } else if (dynamic_cast<Edit*>(&control_) != nullptr || dynamic_cast<Memo*>(&control_) != nullptr) {
    if (code == EN_CHANGE) {
      control_.NotifyTextEdited(WindowText(window_.get()));
    } else if (code == EN_SETFOCUS) {
      control_.OwnerForm().NotifyFocus(&control_);
    } else if (code == EN_KILLFOCUS) {
      // Only a move of the focus inside the form counts as leaving the field.
      if (GetAncestor(GetFocus(), GA_ROOT) == form_.Hwnd()) control_.NotifyExit();
    }
  } else if (auto* combo = dynamic_cast<ComboBox*>(&control_)) {
    if (code == CBN_SELCHANGE) {
      combo->SetItemIndex(static_cast<int>(SendMessageA(window_.get(), CB_GETCURSEL, 0, 0)));
    } else if (code == CBN_EDITCHANGE) {
      combo->NotifyTextEdited(WindowText(window_.get()));
    }
  } else if (auto* listBox = dynamic_cast<ListBox*>(&control_)) {
    if (code == LBN_SELCHANGE) listBox->Choose(static_cast<int>(SendMessageA(window_.get(), LB_GETCURSEL, 0, 0)));
  }
}

bool Win32ControlPeer::OnNotify(NMHDR* header, LRESULT& result) {
  if (auto* upDown = dynamic_cast<UpDown*>(&control_)) {
    if (header->code != UDN_DELTAPOS) return false;
    const auto* change = reinterpret_cast<NMUPDOWN*>(header);
    if (!pushing_ && change->iDelta != 0) upDown->Step(change->iDelta > 0 ? 1 : -1);
    result = TRUE;  // the position is ours; it was pushed back already
    return true;
  }
  auto* list = dynamic_cast<ListView*>(&control_);
  if (list == nullptr) return false;
  switch (header->code) {
    case LVN_GETDISPINFOA: {
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
      if ((info->item.mask & LVIF_TEXT) != 0 && info->item.pszText != nullptr && info->item.cchTextMax > 0) {
        const std::string text = list->CellText(info->item.iItem, info->item.iSubItem);
        lstrcpynA(info->item.pszText, text.c_str(), info->item.cchTextMax);
      }
      result = 0;
      return true;
    }
    case LVN_ITEMCHANGED: {
      const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if (pushing_ || (change->uChanged & LVIF_STATE) == 0 ||
          ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) == 0) {
        return true;
      }
      const bool selected = (change->uNewState & LVIS_SELECTED) != 0;
      if (change->iItem >= 0) {
        list->SetSelected(change->iItem, selected);
      } else {
        for (int i = 0; i < list->ItemCount(); ++i) {
          if (list->Selected(i) != selected) list->SetSelected(i, selected);
        }
      }
      return true;
    }
    case LVN_ODSTATECHANGED: {
      const auto* change = reinterpret_cast<NMLVODSTATECHANGE*>(header);
      if (pushing_ || ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) == 0) return true;
      for (int i = change->iFrom; i <= change->iTo; ++i) list->SetSelected(i, (change->uNewState & LVIS_SELECTED) != 0);
      return true;
    }
    case LVN_BEGINLABELEDITA:
      result = list->ReadOnly() ? TRUE : FALSE;
      return true;
    case LVN_ENDLABELEDITA: {
      const auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
      result = FALSE;
      if (info->item.pszText != nullptr) {
        result = list->EndCaptionEdit(info->item.iItem, info->item.pszText) ? TRUE : FALSE;
      }
      return true;
    }
    case NM_CUSTOMDRAW: {
      auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
      const DWORD stage = draw->nmcd.dwDrawStage;
      const int row = static_cast<int>(draw->nmcd.dwItemSpec);
      if (stage == CDDS_PREPAINT) {
        result = CDRF_NOTIFYITEMDRAW;
      } else if (stage == CDDS_ITEMPREPAINT) {
        draw->clrText = Resolve(list->DrawCell(row, -1), COLOR_WINDOWTEXT);
        result = CDRF_NEWFONT | (list->OnCustomDrawSubItem ? CDRF_NOTIFYSUBITEMDRAW : 0);
      } else if (stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
        draw->clrText = Resolve(list->DrawCell(row, draw->iSubItem), COLOR_WINDOWTEXT);
        result = CDRF_NEWFONT;
      } else {
        result = CDRF_DODEFAULT;
      }
      return true;
    }
    default:
      return false;
  }
}

HBRUSH Win32ControlPeer::OnCtlColor(UINT message, HDC dc, WPARAM wParam, LPARAM lParam) {
  const auto defaultBrush = reinterpret_cast<HBRUSH>(DefWindowProcA(form_.Hwnd(), message, wParam, lParam));
  SetTextColor(dc, Resolve(control_.GetFont().color, COLOR_WINDOWTEXT));
  auto* label = dynamic_cast<Label*>(&control_);
  if (label != nullptr && label->Transparent()) {
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  Color back = control_.GetColor();
  if (back == clDefault && control_.Parent() != nullptr) {
    // Static texts and buttons take the colour of the form beneath them.
    if (message == WM_CTLCOLORSTATIC && dynamic_cast<Edit*>(&control_) == nullptr &&
        dynamic_cast<Memo*>(&control_) == nullptr) {
      back = control_.OwnerForm().GetColor();
    }
  }
  if (back == clDefault) return defaultBrush;
  const COLORREF color = Resolve(back, COLOR_BTNFACE);
  if (brush_ == nullptr || brushColor_ != color) {
    brush_.reset(CreateSolidBrush(color));
    brushColor_ = color;
  }
  SetBkColor(dc, color);
  return static_cast<HBRUSH>(brush_.get());
}

}  // namespace

// ---- Backend ----

Win32Backend::Win32Backend() {
  INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS |
                                                              ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&init);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &Win32FormPeer::WindowProc;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hInstance = ThisModule();
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFormClass;
  RegisterClassExA(&wc);  // a second backend in the process finds the class registered
}

Win32Backend::~Win32Backend() { UnregisterClassA(kFormClass, ThisModule()); }

std::unique_ptr<FormPeer> Win32Backend::CreateFormPeer(Form& form) {
  return std::make_unique<Win32FormPeer>(*this, form);
}

std::unique_ptr<ControlPeer> Win32Backend::CreatePeer(Control& control) {
  auto* form = dynamic_cast<Win32FormPeer*>(control.OwnerForm().Peer());
  if (form == nullptr) return nullptr;
  return std::make_unique<Win32ControlPeer>(control, *form);
}

void Win32Backend::Dispatch(void* message) {
  MSG& msg = *static_cast<MSG*>(message);
  HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (root != nullptr && GetPropA(root, kPeerProp) != nullptr && IsDialogMessageA(root, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

void Win32Backend::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(&msg);
  }
}

int Win32Backend::ShowMessageBox(std::uintptr_t owner, const std::string& text, const std::string& caption,
                                 unsigned style) {
  HWND window = owner != 0 ? reinterpret_cast<HWND>(owner) : GetActiveWindow();
  return MessageBoxA(window, text.c_str(), caption.c_str(), style);
}

TextSize Win32Backend::MeasureText(const Font& font, const std::string& text) {
  GdiObject handle(CreateFontFor(font));
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, handle.get());
  RECT rect{0, 0, 0, 0};
  DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &rect, DT_CALCRECT | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return TextSize{text.empty() ? 0 : rect.right - rect.left, rect.bottom - rect.top};
}

std::string Win32Backend::ThousandsSeparator() {
  char buffer[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buffer, sizeof(buffer)) == 0) return ",";
  return buffer;
}

}  // namespace ov::ui::win32
