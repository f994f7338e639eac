// The user of the interaction suite under Wine: real messages to the real windows
// (BM_CLICK, WM_SETTEXT, Enter and Esc through the dialog manager, LVM_SETITEMSTATE,
// LVM_EDITLABELA ...) and read-back with real messages. Modal forms are driven from the
// backend's modal hook, on the form's own thread inside its modal loop; message boxes are
// answered from a CBT hook that posts the chosen button's command when the box activates.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <deque>

#include "driver.h"
#include "ui/win32/win32_backend.h"

namespace ov::ui::test {

namespace {

HWND Hwnd(const Control& control) { return reinterpret_cast<HWND>(control.Handle()); }

std::string TextOf(HWND window) {
  char buffer[4096] = {};
  SendMessageA(window, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

class Win32Driver;
Win32Driver* g_driver = nullptr;

class Win32Driver : public UserDriver {
 public:
  Win32Driver() {
    g_driver = this;
    hook_ = SetWindowsHookExA(WH_CBT, &Win32Driver::CbtProc, nullptr, GetCurrentThreadId());
    backend_.SetModalHook([this](Form& form) {
      if (scripts_.empty()) {
        ADD_FAILURE() << "form " << form.Name() << " shown modally with no user script";
        form.PeerOfForm()->AbortModal();
        return;
      }
      auto script = std::move(scripts_.front());
      scripts_.pop_front();
      script(form);
      if (form.IsModal() && form.ModalResult() == mrNone) {
        ADD_FAILURE() << "form " << form.Name() << " still open after its user script";
        form.PeerOfForm()->AbortModal();
      }
    });
  }
  ~Win32Driver() override {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    g_driver = nullptr;
  }

  Backend& GetBackend() override { return backend_; }
  void WhenModal(std::function<void(Form&)> script) override { scripts_.push_back(std::move(script)); }

  void Click(Control& control) override {
    HWND window = Hwnd(control);
    ASSERT_NE(window, nullptr) << control.Name() << " has no window";
    if (!IsWindowEnabled(window) || !IsWindowVisible(window)) return;
    SendMessageA(window, BM_CLICK, 0, 0);
  }
  void ClickRadioItem(RadioGroup& group, int item) override {
    HWND form = Hwnd(group.OwnerForm());
    HWND radio = FindWindowExA(form, nullptr, "Button", group.Items().at(static_cast<std::size_t>(item)).c_str());
    ASSERT_NE(radio, nullptr) << "no radio button " << item << " in " << group.Name();
    if (!IsWindowEnabled(radio) || !IsWindowVisible(radio)) return;
    SendMessageA(radio, BM_CLICK, 0, 0);
  }
  void Type(Control& control, const std::string& text) override {
    HWND window = Hwnd(control);
    ASSERT_NE(window, nullptr) << control.Name() << " has no window";
    if (!IsWindowEnabled(window) || !IsWindowVisible(window)) return;
    if (dynamic_cast<Edit*>(&control) != nullptr) {
      SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
      return;
    }
    // The edit field of a combo box, and a multi-line edit, report no change on WM_SETTEXT;
    // replacing the whole selection is what a paste over selected text does.
    if (dynamic_cast<ComboBox*>(&control) != nullptr) {
      window = FindWindowExA(window, nullptr, "Edit", nullptr);
      ASSERT_NE(window, nullptr) << control.Name() << " has no edit field";
    }
    SendMessageA(window, EM_SETSEL, 0, -1);
    SendMessageA(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void Focus(Control& control) override { SetFocus(Hwnd(control)); }
  void PressEnter(Form& form) override { Key(form, VK_RETURN, 0x1C); }
  void PressEscape(Form& form) override { Key(form, VK_ESCAPE, 0x01); }
  void CloseBox(Form& form) override {
    PostMessageA(Hwnd(form), WM_SYSCOMMAND, SC_CLOSE, 0);
    backend_.ProcessMessages();
  }
  void Choose(ComboBox& combo, int item) override {
    HWND window = Hwnd(combo);
    if (!IsWindowEnabled(window) || !IsWindowVisible(window)) return;
    SendMessageA(window, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    // What the combo box tells its parent when the user picks from the list.
    SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(window));
  }
  void Choose(ListBox& list, int item) override {
    HWND window = Hwnd(list);
    if (!IsWindowEnabled(window) || !IsWindowVisible(window)) return;
    SendMessageA(window, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(window));
  }
  void SetRowSelected(ListView& list, int row, bool selected) override {
    HWND window = Hwnd(list);
    if (!IsWindowEnabled(window) || !IsWindowVisible(window)) return;
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | (selected ? LVIS_FOCUSED : 0);
    item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    SendMessageA(window, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }
  void EditCaption(ListView& list, int row, const std::string& text) override {
    HWND window = Hwnd(list);
    if (!IsWindowEnabled(window) || !IsWindowVisible(window)) return;
    SetFocus(window);
    HWND edit = reinterpret_cast<HWND>(SendMessageA(window, LVM_EDITLABELA, static_cast<WPARAM>(row), 0));
    if (list.ReadOnly()) {
      EXPECT_EQ(edit, nullptr) << "a read-only list let its caption be edited";
      return;
    }
    ASSERT_NE(edit, nullptr) << "LVM_EDITLABELA gave no edit field";
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    backend_.ProcessMessages();
  }
  void ClickArrow(UpDown& upDown, int delta) override {
    HWND window = Hwnd(upDown);
    if (!IsWindowEnabled(window) || !IsWindowVisible(window)) return;
    RECT rect;
    GetClientRect(window, &rect);
    const int x = rect.right / 2;
    const int y = delta > 0 ? rect.bottom / 4 : rect.bottom * 3 / 4;
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  void Pump() override { backend_.ProcessMessages(); }

  std::string ShownText(Control& control) override {
    HWND window = Hwnd(control);
    if (window == nullptr) return "<no window>";
    return TextOf(window);
  }
  bool ShownChecked(Control& control) override {
    return SendMessageA(Hwnd(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  bool ShownEnabled(Control& control) override { return IsWindowEnabled(Hwnd(control)) != FALSE; }
  bool ShownVisible(Control& control) override { return IsWindowVisible(Hwnd(control)) != FALSE; }
  int ShownTextWidth(Control& control) override {
    HWND window = Hwnd(control);
    const std::string text = ShownText(control);
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
  }
  int ShownItemIndex(Control& control) override {
    HWND window = Hwnd(control);
    if (dynamic_cast<ComboBox*>(&control) != nullptr) return static_cast<int>(SendMessageA(window, CB_GETCURSEL, 0, 0));
    if (dynamic_cast<ListBox*>(&control) != nullptr) return static_cast<int>(SendMessageA(window, LB_GETCURSEL, 0, 0));
    if (auto* group = dynamic_cast<RadioGroup*>(&control)) {
      for (std::size_t i = 0; i < group->Items().size(); ++i) {
        HWND radio = FindWindowExA(Hwnd(group->OwnerForm()), nullptr, "Button", group->Items()[i].c_str());
        if (SendMessageA(radio, BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<int>(i);
      }
    }
    return -1;
  }
  int ShownPosition(Control& control) override {
    HWND window = Hwnd(control);
    if (dynamic_cast<UpDown*>(&control) != nullptr) return static_cast<int>(SendMessageA(window, UDM_GETPOS32, 0, 0));
    if (dynamic_cast<ProgressBar*>(&control) != nullptr) return static_cast<int>(SendMessageA(window, PBM_GETPOS, 0, 0));
    return -1;
  }
  bool ShownSelected(ListView& list, int row) override {
    return (SendMessageA(Hwnd(list), LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
  }
  bool ShownCloseItemEnabled(Form& form) override {
    const UINT state = GetMenuState(GetSystemMenu(Hwnd(form), FALSE), SC_CLOSE, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
  }
  std::string ShownCell(ListView& list, int row, int column) override {
    char buffer[1024] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    SendMessageA(Hwnd(list), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
  }
  Color DrawnTextColor(ListView& list, int row, int subItem) override {
    // The notifications the list sends its parent while painting that row.
    HWND window = Hwnd(list);
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = window;
    draw.nmcd.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_PREPAINT;
    const LRESULT prepaint = SendMessageA(GetParent(window), WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    EXPECT_TRUE((prepaint & CDRF_NOTIFYITEMDRAW) != 0) << "no item notifications asked for";
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.clrText = GetSysColor(COLOR_WINDOWTEXT);
    const LRESULT item = SendMessageA(GetParent(window), WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    if (subItem < 0) return draw.clrText;
    EXPECT_TRUE((item & CDRF_NOTIFYSUBITEMDRAW) != 0) << "no sub-item notifications asked for";
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
    draw.iSubItem = subItem;
    SendMessageA(GetParent(window), WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    return draw.clrText;
  }

  Rect ShownBounds(Control& control) override {
    HWND window = Hwnd(control);
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, Hwnd(control.OwnerForm()), reinterpret_cast<POINT*>(&rect), 2);
    return Rect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
  }
  Font ShownFont(Control& control) override {
    Font font;
    auto handle = reinterpret_cast<HFONT>(SendMessageA(Hwnd(control), WM_GETFONT, 0, 0));
    LOGFONTA logical{};
    if (handle == nullptr || GetObjectA(handle, sizeof(logical), &logical) == 0) return font;
    font.face = logical.lfFaceName;
    font.pixels = logical.lfHeight < 0 ? -logical.lfHeight : logical.lfHeight;
    font.italic = logical.lfItalic != 0;
    font.bold = logical.lfWeight >= FW_BOLD;
    font.charset = logical.lfCharSet;
    // The colour is what the parent sets when the control asks how to draw.
    HWND window = Hwnd(control);
    HDC dc = GetDC(window);
    const UINT ask = dynamic_cast<Label*>(&control) != nullptr ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    SendMessageA(GetParent(window), ask, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window));
    font.color = GetTextColor(dc);
    ReleaseDC(window, dc);
    return font;
  }
  Color ShownBackground(Control& control) override {
    HWND window = Hwnd(control);
    const bool readOnly = (GetWindowLongA(window, GWL_STYLE) & ES_READONLY) != 0;
    HDC dc = GetDC(window);
    SendMessageA(GetParent(window), readOnly ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(window));
    const Color color = GetBkColor(dc);
    ReleaseDC(window, dc);
    return color;
  }
  Color PaintedPixel(Form& form, int x, int y) override {
    HWND window = Hwnd(form);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(window);
    const Color color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
  }
  void AnswerNextFolderBrowser(bool confirm) override { folderAnswers_.push_back(confirm); }

  void AnswerNextBox(int answer) override { answers_.push_back(answer); }
  std::vector<BoxSeen> Boxes() override { return boxes_; }

 private:
  void Key(Form& form, WPARAM key, int scanCode) {
    HWND focus = GetFocus();
    if (focus == nullptr) focus = Hwnd(form);
    PostMessageA(focus, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scanCode << 16)));
    PostMessageA(focus, WM_KEYUP, key, static_cast<LPARAM>(1 | (scanCode << 16) | 0xC0000000u));
    backend_.ProcessMessages();
  }

  // Reads a message box as it becomes active and presses the queued answer.
  static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_driver != nullptr) g_driver->OnActivate(reinterpret_cast<HWND>(wParam));
    if (code == HCBT_DESTROYWND && g_driver != nullptr && reinterpret_cast<HWND>(wParam) == g_driver->lastBox_) {
      g_driver->lastBox_ = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  void OnActivate(HWND window) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    if (std::strcmp(className, "#32770") != 0 || window == lastBox_) return;
    lastBox_ = window;
    if (FindWindowExA(window, nullptr, "SysTreeView32", nullptr) != nullptr) {
      // The folder browser: confirm (the folder it was started at) or cancel.
      const bool confirm = !folderAnswers_.empty() && folderAnswers_.front();
      if (!folderAnswers_.empty()) folderAnswers_.pop_front();
      const int button = confirm ? IDOK : IDCANCEL;
      PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
      return;
    }
    BoxSeen seen;
    seen.caption = TextOf(window);
    HWND text = GetDlgItem(window, 0xFFFF);
    if (text != nullptr) seen.text = TextOf(text);
    if (GetDlgItem(window, IDYES) != nullptr) {
      seen.style |= MB_YESNO;
    } else if (GetDlgItem(window, IDCANCEL) != nullptr) {
      seen.style |= MB_OKCANCEL;
    }
    HWND iconStatic = GetDlgItem(window, 0x0440);
    const auto icon = reinterpret_cast<HICON>(SendMessageA(iconStatic, STM_GETICON, 0, 0));
    if (icon != nullptr) {
      if (icon == LoadIconA(nullptr, IDI_HAND)) seen.style |= MB_ICONSTOP;
      if (icon == LoadIconA(nullptr, IDI_QUESTION)) seen.style |= MB_ICONQUESTION;
      if (icon == LoadIconA(nullptr, IDI_EXCLAMATION)) seen.style |= MB_ICONEXCLAMATION;
      if (icon == LoadIconA(nullptr, IDI_ASTERISK)) seen.style |= MB_ICONINFORMATION;
    }
    boxes_.push_back(seen);
    int answer = (seen.style & 0x0F) == MB_YESNO ? IDYES : IDOK;
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, answer)));
  }

  win32::Win32Backend backend_;
  HHOOK hook_ = nullptr;
  std::deque<std::function<void(Form&)>> scripts_;
  std::deque<int> answers_;
  std::deque<bool> folderAnswers_;
  std::vector<BoxSeen> boxes_;
  HWND lastBox_ = nullptr;
};

}  // namespace

std::unique_ptr<UserDriver> MakeDriver() { return std::make_unique<Win32Driver>(); }

}  // namespace ov::ui::test
