// What every control window does: creation, bounds, enabled and visible state, text, font,
// colours and focus. Every control window is a direct child of its form (a group box is
// drawn as a frame, not used as a parent), placed at the sum of the offsets of its
// containers, so notifications all reach the form's window procedure.
#include "ui/win32/control_peer.h"

#include "ui/form.h"
#include "ui/win32/form_peer.h"

namespace ov::ui::win32 {

Win32ControlPeer::Win32ControlPeer(Control& control, Win32FormPeer& form)
    : target_(control), form_(form), id_(form.NextId()) {}

Win32ControlPeer* PeerOfControl(const Control* control) {
  return control != nullptr ? dynamic_cast<Win32ControlPeer*>(control->Peer()) : nullptr;
}

DWORD Win32ControlPeer::Style() const { return WS_CHILD | (target_.TabStop() ? WS_TABSTOP : 0); }

POINT Win32ControlPeer::Origin() const {
  POINT point{target_.Left(), target_.Top()};
  for (const Control* c = target_.Parent(); c != nullptr && c->Parent() != nullptr; c = c->Parent()) {
    point.x += c->Left();
    point.y += c->Top();
  }
  return point;
}

void Win32ControlPeer::Create() {
  const POINT at = Origin();
  window_.reset(CreateWindowExA(ExStyle(), ClassName(), target_.Text().c_str(), Style(), at.x, at.y, target_.Width(),
                                target_.Height() + ExtraHeight(), form_.Hwnd(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), ThisModule(), nullptr));
  if (window_ == nullptr) return;
  SetPropA(window_.get(), kPeerProp, this);
  CreateParts();
  PushAll();
}

void Win32ControlPeer::Recreate() {
  window_.reset();
  Create();
}

void Win32ControlPeer::PushAll() {
  pushing_ = true;
  creating_ = true;
  Push(Aspect::Font, -1);
  PushState();
  Push(Aspect::Enabled, -1);
  PushBounds();
  Push(Aspect::Visible, -1);
  creating_ = false;
  pushing_ = false;
}

void Win32ControlPeer::Update(Aspect aspect, int index) {
  if (window_ == nullptr) return;
  const bool wasPushing = pushing_;
  pushing_ = true;
  Push(aspect, index);
  pushing_ = wasPushing;
}

void Win32ControlPeer::Push(Aspect aspect, int /*index*/) {
  HWND hwnd = window_.get();
  switch (aspect) {
    case Aspect::Bounds:
      PushBounds();
      break;
    case Aspect::Enabled:
      EnableWindow(hwnd, target_.EnabledInForm() ? TRUE : FALSE);
      break;
    case Aspect::Visible:
      ShowWindow(hwnd, target_.Showing() ? SW_SHOWNA : SW_HIDE);
      break;
    case Aspect::Text:
      PushText();
      break;
    case Aspect::Font:
      font_.reset(CreateFontFor(target_.GetFont()));
      SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case Aspect::Color:
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case Aspect::Style:
      Restyle();
      break;
    default:
      break;
  }
}

void Win32ControlPeer::Restyle() {
  HWND hwnd = window_.get();
  SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(Style() | (GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE)));
  SetWindowLongA(hwnd, GWL_EXSTYLE, static_cast<LONG>(ExStyle()));
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
  InvalidateRect(hwnd, nullptr, TRUE);
}

void Win32ControlPeer::PushBounds() {
  const POINT at = Origin();
  SetWindowPos(window_.get(), nullptr, at.x, at.y, target_.Width(), target_.Height() + ExtraHeight(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32ControlPeer::PushText() { SetWindowTextA(window_.get(), target_.Text().c_str()); }

bool Win32ControlPeer::HasFocus() const {
  HWND focus = GetFocus();
  return focus != nullptr && (focus == window_.get() || IsChild(window_.get(), focus));
}

void Win32ControlPeer::Focus() { SetFocus(window_.get()); }

void Win32ControlPeer::OnCommand(HWND from, int code) {
  if (!pushing_) Command(from, code);
}

Color Win32ControlPeer::Background(UINT message) const {
  // Static texts and buttons take the colour of the form beneath them.
  const Color own = target_.GetColor();
  if (own == clDefault && message == WM_CTLCOLORSTATIC) return target_.OwnerForm().GetColor();
  return own;
}

HBRUSH Win32ControlPeer::OnCtlColor(UINT message, HDC dc, WPARAM wParam, LPARAM lParam) {
  const auto defaultBrush = reinterpret_cast<HBRUSH>(DefWindowProcA(form_.Hwnd(), message, wParam, lParam));
  SetTextColor(dc, Resolve(target_.GetFont().color, COLOR_WINDOWTEXT));
  if (Transparent()) {
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  const Color back = Background(message);
  if (back == clDefault) return defaultBrush;
  const COLORREF color = Resolve(back, COLOR_BTNFACE);
  if (brush_ == nullptr || brushColor_ != color) {
    brush_.reset(CreateSolidBrush(color));
    brushColor_ = color;
  }
  SetBkColor(dc, color);
  return static_cast<HBRUSH>(brush_.get());
}

}  // namespace ov::ui::win32
