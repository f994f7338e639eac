// Peers of the button kinds: push buttons, check boxes, radio buttons, radio groups and
// group boxes.
#include <algorithm>

#include "ui/win32/control_peers.h"
#include "ui/win32/form_peer.h"

namespace ov::ui::win32 {

// ---- Button ----

DWORD ButtonPeer::Style() const {
  return PeerFor::Style() | (control_.IsDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void ButtonPeer::Push(Aspect aspect, int index) {
  if (aspect == Aspect::Style) {
    SendMessageA(Hwnd(), BM_SETSTYLE, Style() & 0x0F, TRUE);
  } else {
    PeerFor::Push(aspect, index);
  }
}

void ButtonPeer::Command(HWND /*from*/, int code) {
  if (code == BN_CLICKED) control_.Click();
}

// ---- Check box, radio button ----

template <class C>
void CheckablePeer<C>::Push(Aspect aspect, int index) {
  if (aspect == Aspect::Checked) {
    SendMessageA(this->Hwnd(), BM_SETCHECK, this->control_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  } else {
    PeerFor<C>::Push(aspect, index);
  }
}

template <class C>
void CheckablePeer<C>::Command(HWND /*from*/, int code) {
  if (code == BN_CLICKED) this->control_.Click();
}

template class CheckablePeer<CheckBox>;
template class CheckablePeer<RadioButton>;

// ---- Group box ----

void GroupBoxPeer::Push(Aspect aspect, int index) {
  PeerFor::Push(aspect, index);
  if (aspect == Aspect::Bounds) {
    // The controls inside are windows of the form placed by the box's offset.
    std::vector<Control*> below;
    control_.CollectDescendants(below);
    for (Control* child : below) child->Changed(Aspect::Bounds);
  }
}

// ---- Radio group ----

void RadioGroupPeer::CreateParts() {
  radios_.clear();
  Win32FormPeer& form = FormPeerOf();
  for (std::size_t i = 0; i < control_.Items().size(); ++i) {
    HWND radio = CreateWindowExA(0, "BUTTON", control_.Items()[i].c_str(), WS_CHILD | WS_TABSTOP | BS_RADIOBUTTON, 0,
                                 0, 10, 10, form.Hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(form.NextId())),
                                 ThisModule(), nullptr);
    SetPropA(radio, kPeerProp, static_cast<Win32ControlPeer*>(this));
    SetPropA(radio, kItemProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(i + 1)));
    radios_.emplace_back(radio);
  }
}

void RadioGroupPeer::Push(Aspect aspect, int index) {
  switch (aspect) {
    case Aspect::Items:
      // The buttons are made from the items: make them again.
      if (!Creating()) {
        radios_.clear();
        Recreate();
      }
      break;
    case Aspect::ItemIndex:
      for (std::size_t i = 0; i < radios_.size(); ++i) {
        const bool checked = static_cast<int>(i) == control_.ItemIndex();
        SendMessageA(radios_[i].get(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      break;
    case Aspect::Enabled:
      PeerFor::Push(aspect, index);
      for (auto& radio : radios_) EnableWindow(radio.get(), control_.EnabledInForm() ? TRUE : FALSE);
      break;
    case Aspect::Visible:
      PeerFor::Push(aspect, index);
      for (auto& radio : radios_) ShowWindow(radio.get(), control_.Showing() ? SW_SHOWNA : SW_HIDE);
      break;
    case Aspect::Font:
      PeerFor::Push(aspect, index);
      for (auto& radio : radios_) SendMessageA(radio.get(), WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
      break;
    default:
      PeerFor::Push(aspect, index);
      break;
  }
}

void RadioGroupPeer::PushBounds() {
  PeerFor::PushBounds();
  // The items share the box below its caption, one row each.
  const POINT at = Origin();
  const int rows = static_cast<int>(radios_.size());
  const int areaTop = at.y + 16;
  const int areaHeight = std::max(rows, control_.Height() - 20);
  for (int i = 0; i < rows; ++i) {
    SetWindowPos(radios_[static_cast<std::size_t>(i)].get(), nullptr, at.x + 8, areaTop + areaHeight * i / rows,
                 control_.Width() - 16, std::min(20, areaHeight / rows), SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool RadioGroupPeer::HasFocus() const {
  if (PeerFor::HasFocus()) return true;
  HWND focus = GetFocus();
  return focus != nullptr &&
         std::any_of(radios_.begin(), radios_.end(), [focus](const Window& radio) { return radio.get() == focus; });
}

void RadioGroupPeer::Focus() {
  if (radios_.empty()) {
    PeerFor::Focus();
    return;
  }
  const int index = std::max(0, control_.ItemIndex());
  SetFocus(radios_[static_cast<std::size_t>(index)].get());
}

void RadioGroupPeer::Command(HWND from, int code) {
  const auto item = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(from, kItemProp)));
  if (item > 0 && code == BN_CLICKED) control_.SetItemIndex(item - 1);
}

}  // namespace ov::ui::win32
