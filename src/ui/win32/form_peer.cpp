// The window of a form: placing, showing, the modal loop, and the window procedure that
// turns the form's own messages into its events and hands its controls' to their peers.
#include "ui/win32/form_peer.h"

#include <vector>

#include "ui/win32/control_peer.h"
#include "ui/win32/control_peers.h"
#include "ui/win32/win32_backend.h"

namespace ov::ui::win32 {

namespace {

constexpr UINT kMsgModalStarted = WM_APP + 1;

Win32ControlPeer* PeerProp(HWND window) {
  return window != nullptr ? static_cast<Win32ControlPeer*>(GetPropA(window, kPeerProp)) : nullptr;
}

}  // namespace

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
      if (form_.IsModal()) {
        // Hidden while modal (another form shows in its place); the modal loop runs on.
        if (!ended_) ShowWindow(hwnd, form_.Visible() ? SW_SHOW : SW_HIDE);
        break;
      }
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
    case Aspect::Icon: {
      // The icon of the class: every window of the program shows it, as does the task bar.
      const int id = form_.IconResource() != kApplicationIcon ? form_.IconResource() : 1;
      HICON icon = LoadIconA(ThisModule(), MAKEINTRESOURCEA(id));
      if (icon == nullptr) icon = LoadIconA(nullptr, IDI_APPLICATION);
      SetClassLongPtrA(hwnd, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
      break;
    }
    default:
      break;
  }
}

void Win32FormPeer::PaintBoxes() {
  HWND hwnd = window_.get();
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  std::vector<Control*> controls;
  form_.CollectDescendants(controls);
  for (Control* control : controls) {
    auto* box = dynamic_cast<PaintBox*>(control);
    if (box == nullptr || !box->Showing()) continue;
    POINT at{box->Left(), box->Top()};
    for (const Control* c = box->Parent(); c != nullptr && c->Parent() != nullptr; c = c->Parent()) {
      at.x += c->Left();
      at.y += c->Top();
    }
    const RECT area{at.x, at.y, at.x + box->Width(), at.y + box->Height()};
    RECT touched;
    if (!IntersectRect(&touched, &area, &paint.rcPaint)) continue;
    DcCanvas canvas(dc, area);
    box->Paint(canvas);
  }
  EndPaint(hwnd, &paint);
}

bool Win32FormPeer::HasPaintBoxes() const {
  std::vector<Control*> controls;
  form_.CollectDescendants(controls);
  for (Control* control : controls) {
    if (dynamic_cast<PaintBox*>(control) != nullptr) return true;
  }
  return false;
}

void Win32FormPeer::DisableCloseItem() {
  EnableMenuItem(GetSystemMenu(window_.get(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
}

void Win32FormPeer::Focus(Control* control) {
  form_.NotifyFocus(control);
  if (Win32ControlPeer* peer = PeerOfControl(control)) peer->Focus();
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
      HWND button = nullptr;
      if (Win32ControlPeer* focused = PeerOf(GetFocus()); focused != nullptr && focused->TakesEnter()) {
        button = focused->Hwnd();
      } else if (Button* defaultButton = form_.DefaultButton()) {
        button = reinterpret_cast<HWND>(defaultButton->Handle());
      }
      if (button == nullptr) return 0;
      return MAKELRESULT(GetDlgCtrlID(button), DC_HASDEFID);
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (Win32ControlPeer* peer = PeerOf(GetFocus())) form_.NotifyFocus(&peer->Target());
      } else {
        Win32ControlPeer* peer = PeerOfControl(form_.ActiveControl());
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
    case WM_PAINT:
      if (HasPaintBoxes()) {
        PaintBoxes();
        return 0;
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

}  // namespace ov::ui::win32
