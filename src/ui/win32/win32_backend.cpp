// The backend with real windows: the common controls, message dispatch with the dialog
// manager, message boxes, text measuring, and the choice of a peer for each kind of control.
#include "ui/win32/win32_backend.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "platform/win32/system_library.h"
#include "ui/win32/control_peers.h"
#include "ui/win32/form_peer.h"
#include "ui/win32/window.h"

namespace ov::ui::win32 {

namespace {

// The one place that knows which peer serves which kind of control.
class PeerFactory final : public ControlVisitor {
 public:
  explicit PeerFactory(Win32FormPeer& form) : form_(form) {}

  std::unique_ptr<ControlPeer> Make(Control& control) {
    control.Accept(*this);
    if (peer_ != nullptr) peer_->Create();
    if (other_ != nullptr) return std::move(other_);
    return std::move(peer_);
  }

  void Visit(Button& control) override { Take<ButtonPeer>(control); }
  void Visit(CheckBox& control) override { Take<CheckBoxPeer>(control); }
  void Visit(RadioButton& control) override { Take<RadioButtonPeer>(control); }
  void Visit(RadioGroup& control) override { Take<RadioGroupPeer>(control); }
  void Visit(Edit& control) override { Take<EditPeer>(control); }
  void Visit(Memo& control) override { Take<MemoPeer>(control); }
  void Visit(Label& control) override { Take<LabelPeer>(control); }
  void Visit(GroupBox& control) override { Take<GroupBoxPeer>(control); }
  void Visit(ComboBox& control) override { Take<ComboBoxPeer>(control); }
  void Visit(ListBox& control) override { Take<ListBoxPeer>(control); }
  void Visit(UpDown& control) override { Take<UpDownPeer>(control); }
  void Visit(ListView& control) override { Take<ListViewPeer>(control); }
  void Visit(ProgressBar& control) override { Take<ProgressBarPeer>(control); }
  void Visit(Image& control) override { Take<ImagePeer>(control); }
  void Visit(PaintBox& control) override { other_ = std::make_unique<PaintBoxPeer>(control, form_); }
  void Visit(Form& /*form*/) override {}  // a form gets its peer from CreateFormPeer

 private:
  template <class Peer, class Kind>
  void Take(Kind& control) {
    peer_ = std::make_unique<Peer>(control, form_);
  }

  Win32FormPeer& form_;
  std::unique_ptr<Win32ControlPeer> peer_;
  std::unique_ptr<ControlPeer> other_;  // a kind without a window of its own
};

}  // namespace

Win32Backend::Win32Backend() {
  INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS |
                                                              ICC_STANDARD_CLASSES};
  // COMCTL32.DLL is no known DLL: taken from the system folder, never imported (an import
  // is resolved from the program's folder first). The reference is kept for the process's
  // life, as the classes it registers must outlive every window.
  static const HMODULE commonControls = platform::LoadSystemLibrary("comctl32.dll");
  using InitEntry = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  if (commonControls != nullptr) {
    if (const auto initialize =
            reinterpret_cast<InitEntry>(reinterpret_cast<void*>(GetProcAddress(commonControls, "InitCommonControlsEx")))) {
      initialize(&init);
    }
  }
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
  return PeerFactory(*form).Make(control);
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

void Win32Backend::RunMainLoop(Form& main) {
  main.Show();
  MSG msg;
  while (main.Visible()) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;  // WM_QUIT, or no queue to read
    Dispatch(&msg);
  }
}

namespace {

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM /*param*/, LPARAM start) {
  if (message == BFFM_INITIALIZED && start != 0) SendMessageA(window, BFFM_SETSELECTIONA, TRUE, start);
  return 0;
}

}  // namespace

bool Win32Backend::BrowseForFolder(std::uintptr_t owner, const std::string& title, std::string& folder) {
  // The browser wants the folder without its trailing separator, except for a drive root.
  std::string start = folder;
  if (start.size() > 3 && start.back() == '\\') {
    // A trail byte 0x5C is never the last byte of a path that ends in a separator: the
    // character before it is checked by stepping from the start.
    std::size_t i = 0;
    std::size_t last = std::string::npos;
    while (i < start.size()) {
      last = i;
      i += IsDBCSLeadByte(static_cast<BYTE>(start[i])) && i + 1 < start.size() ? 2 : 1;
    }
    if (last == start.size() - 1) start.pop_back();
  }
  char display[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.hwndOwner = owner != 0 ? reinterpret_cast<HWND>(owner) : GetActiveWindow();
  info.pszDisplayName = display;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = &BrowseCallback;
  info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  if (chosen == nullptr) return false;
  char path[MAX_PATH] = {};
  const bool ok = SHGetPathFromIDListA(chosen, path) != FALSE;
  CoTaskMemFree(chosen);
  if (!ok) return false;
  folder = path;
  return true;
}

std::string Win32Backend::ThousandsSeparator() {
  char buffer[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buffer, sizeof(buffer)) == 0) return ",";
  return buffer;
}

void Win32Backend::Beep() { MessageBeep(0); }

}  // namespace ov::ui::win32
