// Under Wine only: each kind of control gets a window of its own class and styles, and a
// change of a style that a window takes only at creation reaches the window.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/win32/win32_backend.h"

namespace ov::ui::test {
namespace {

HWND Hwnd(const Control& control) { return reinterpret_cast<HWND>(control.Handle()); }

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

DWORD StyleOf(const Control& control) { return static_cast<DWORD>(GetWindowLongA(Hwnd(control), GWL_STYLE)); }
DWORD ExStyleOf(const Control& control) { return static_cast<DWORD>(GetWindowLongA(Hwnd(control), GWL_EXSTYLE)); }

class KindsForm : public Form {
 public:
  explicit KindsForm(Backend& backend) : Form(backend, "KindsForm") {
    Ok.SetDefault(true);
    Radios.SetItems({"一", "二"});
    Memo1.SetScrollBars(ScrollBars::Vertical);
    Memo1.SetText("一行目\r\n二行目");
    Label1.SetAlignment(Alignment::Right);
    Combo.SetStyle(ComboStyle::DropDownList);
    List.SetMultiSelect(true);
  }
  Button Ok{*this, "Ok"};
  CheckBox Check{*this, "Check"};
  RadioButton Radio{*this, "Radio"};
  RadioGroup Radios{*this, "Radios"};
  GroupBox Group{*this, "Group"};
  Edit Edit1{*this, "Edit1"};
  Memo Memo1{*this, "Memo1"};
  Label Label1{*this, "Label1"};
  Image Image1{*this, "Image1"};
  ComboBox Combo{*this, "Combo"};
  ListBox Lines{*this, "Lines"};
  UpDown Arrows{*this, "Arrows"};
  ListView List{*this, "List"};
  ProgressBar Progress{*this, "Progress"};
};

class Win32Peers : public ::testing::Test {
 protected:
  Win32Peers() { form.CreateHandle(); }
  win32::Win32Backend backend;
  KindsForm form{backend};
};

TEST_F(Win32Peers, EachKindHasItsWindowClassAndStyles) {
  struct Row {
    Control* control;
    const char* windowClass;
    DWORD mask;   // of GWL_STYLE
    DWORD style;  // expected under the mask
    DWORD exStyle;
  };
  constexpr DWORD kButtonType = 0x0F;
  const std::vector<Row> rows = {
      {&form.Ok, "Button", kButtonType | WS_TABSTOP, BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
      {&form.Check, "Button", kButtonType, BS_CHECKBOX, 0},
      {&form.Radio, "Button", kButtonType, BS_RADIOBUTTON, 0},
      {&form.Radios, "Button", kButtonType | WS_TABSTOP, BS_GROUPBOX, 0},
      {&form.Group, "Button", kButtonType | WS_TABSTOP, BS_GROUPBOX, 0},
      {&form.Edit1, "Edit", ES_MULTILINE | ES_AUTOHSCROLL, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
      {&form.Memo1, "Edit", ES_MULTILINE | WS_VSCROLL | WS_HSCROLL, ES_MULTILINE | WS_VSCROLL, WS_EX_CLIENTEDGE},
      {&form.Label1, "Static", SS_TYPEMASK | WS_TABSTOP, SS_RIGHT, 0},
      {&form.Image1, "Static", SS_TYPEMASK | WS_TABSTOP, SS_ICON, 0},
      {&form.Combo, "ComboBox", CBS_DROPDOWNLIST, CBS_DROPDOWNLIST, 0},
      {&form.Lines, "ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE},
      {&form.Arrows, UPDOWN_CLASSA, UDS_ARROWKEYS | WS_TABSTOP, UDS_ARROWKEYS, 0},
      {&form.List, WC_LISTVIEWA, LVS_TYPEMASK | LVS_OWNERDATA | LVS_SINGLESEL, LVS_REPORT | LVS_OWNERDATA,
       WS_EX_CLIENTEDGE},
      {&form.Progress, PROGRESS_CLASSA, WS_TABSTOP, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.control->Name());
    ASSERT_NE(Hwnd(*row.control), nullptr);
    EXPECT_EQ(lstrcmpiA(ClassOf(Hwnd(*row.control)).c_str(), row.windowClass), 0) << ClassOf(Hwnd(*row.control));
    EXPECT_EQ(StyleOf(*row.control) & row.mask, row.style);
    EXPECT_EQ(ExStyleOf(*row.control) & WS_EX_CLIENTEDGE, row.exStyle);
    EXPECT_EQ(GetParent(Hwnd(*row.control)), Hwnd(form));
  }
  // A radio group's items are buttons of the form beside its frame.
  for (const char* caption : {"一", "二"}) {
    HWND radio = FindWindowExA(Hwnd(form), nullptr, "Button", caption);
    ASSERT_NE(radio, nullptr) << caption;
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(radio, GWL_STYLE)) & kButtonType, static_cast<DWORD>(BS_RADIOBUTTON));
  }
}

TEST_F(Win32Peers, StyleChangesReachTheWindow) {
  struct Row {
    const char* what;
    std::function<void()> change;
    Control* control;
    DWORD mask;
    DWORD style;
  };
  const std::vector<Row> rows = {
      {"button no longer default", [&] { form.Ok.SetDefault(false); }, &form.Ok, 0x0F, BS_PUSHBUTTON},
      {"memo with both scroll bars", [&] { form.Memo1.SetScrollBars(ScrollBars::Both); }, &form.Memo1,
       WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL, WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL},
      {"memo read-only", [&] { form.Memo1.SetReadOnly(true); }, &form.Memo1, ES_READONLY, ES_READONLY},
      {"label centred", [&] { form.Label1.SetAlignment(Alignment::Center); }, &form.Label1, SS_TYPEMASK, SS_CENTER},
      {"list single selection", [&] { form.List.SetMultiSelect(false); }, &form.List, LVS_SINGLESEL, LVS_SINGLESEL},
      {"list editable", [&] { form.List.SetReadOnly(false); }, &form.List, LVS_EDITLABELS, LVS_EDITLABELS},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    row.change();
    EXPECT_EQ(StyleOf(*row.control) & row.mask, row.style);
  }
  // The memo got a new window for its scroll bars and kept its text there.
  char text[64] = {};
  GetWindowTextA(Hwnd(form.Memo1), text, sizeof(text));
  EXPECT_STREQ(text, "一行目\r\n二行目");
  EXPECT_EQ(GetParent(Hwnd(form.Memo1)), Hwnd(form));
}

// An edit window takes word wrapping only when it is made: the memo's window follows the
// scroll bars it is given, not just its style bits.
TEST_F(Win32Peers, MemoWrapsUntilItScrollsSideways) {
  std::string line;
  for (int i = 0; i < 20; ++i) line += "語 word ";
  form.Memo1.SetBounds(0, 0, 120, 60);
  form.Memo1.SetText(line);
  const auto lines = [&] { return SendMessageA(Hwnd(form.Memo1), EM_GETLINECOUNT, 0, 0); };
  EXPECT_GT(lines(), 1);
  form.Memo1.SetScrollBars(ScrollBars::Both);
  EXPECT_EQ(lines(), 1);
  form.Memo1.SetScrollBars(ScrollBars::Vertical);
  EXPECT_GT(lines(), 1);
  form.Memo1.SetWordWrap(false);
  EXPECT_EQ(lines(), 1);
}

TEST_F(Win32Peers, NewItemsMakeTheRadioButtonsAgain) {
  form.Radios.SetItemIndex(1);
  form.Radios.SetItems({"甲", "乙", "丙"});
  EXPECT_EQ(FindWindowExA(Hwnd(form), nullptr, "Button", "二"), nullptr);
  for (const char* caption : {"甲", "乙", "丙"}) {
    EXPECT_NE(FindWindowExA(Hwnd(form), nullptr, "Button", caption), nullptr) << caption;
  }
  HWND second = FindWindowExA(Hwnd(form), nullptr, "Button", "乙");
  EXPECT_EQ(SendMessageA(second, BM_GETCHECK, 0, 0), BST_CHECKED);
}

}  // namespace
}  // namespace ov::ui::test
