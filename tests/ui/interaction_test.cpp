// The interaction suite: one set of cases, compiled against the headless backend on Linux
// and against real windows under Wine. A user driver acts; the cases check the controls'
// state, the events fired and what the user sees.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/readable.h"
#include "driver.h"

namespace ov::ui::test {
namespace {

// A dialog with one control of each interactive kind, laid out like the tool dialogs.
class TestForm : public Form {
 public:
  explicit TestForm(Backend& backend) : Form(backend, "TestForm") {
    SetCaption("テスト");
    SetClientSize(520, 420);
    SetPosition(FormPosition::DesktopCenter);
    EditName.SetBounds(8, 8, 150, 21);
    EditOther.SetBounds(8, 36, 150, 21);
    ChkOption.SetBounds(170, 8, 150, 17);
    ChkOption.SetCaption("オプション");
    GroupBox1.SetBounds(170, 30, 150, 60);
    GroupBox1.SetCaption("条件");
    RbAllOf.SetBounds(8, 16, 120, 17);
    RbAllOf.SetCaption("すべて");
    RbAllOf.SetChecked(true);
    RbOneOf.SetBounds(8, 36, 120, 17);
    RbOneOf.SetCaption("どれか一つ");
    RemoveNumbers.SetBounds(330, 8, 180, 82);
    RemoveNumbers.SetCaption("数字の除去");
    RemoveNumbers.SetItems({"-000 ハイフン", "(000) カッコ", "[000] 角カッコ"});
    RemoveNumbers.SetItemIndex(0);
    NewExtension.SetBounds(8, 64, 100, 21);
    NewExtension.SetItems({".jpg", ".png", ".txt"});
    ChangeExtTable.SetBounds(8, 92, 150, 60);
    ChangeExtTable.SetItems({"jpg > jpeg", "htm > html"});
    FEditStart.SetBounds(170, 100, 80, 21);
    FEditStart.SetReadOnly(true);
    EditStart.SetBounds(250, 100, 16, 21);
    EditStart.SetRange(1, 32767);
    EditStart.SetAssociate(&FEditStart);
    EditStart.SetPosition(1);
    prgStatus.SetBounds(280, 100, 200, 17);
    prgStatus.SetRange(0, 100);
    prgStatus.SetStep(5);
    LbAlreadyExists.SetBounds(8, 160, 200, 13);
    LbAlreadyExists.SetCaption("赤字のファイルはすでに存在します");
    LbAlreadyExists.SetFontColor(clRed);
    LbAlreadyExists.SetBold(true);
    FileListView.SetBounds(8, 180, 300, 150);
    FileListView.SetColumns({{"元のファイル名", 150}, {"新しいファイル名", 130}});
    FileListView.SetHideSelection(false);
    FileListView.SetReadOnly(false);
    for (int i = 0; i < 5; ++i) {
      FileListView.AddItem("file" + std::to_string(i) + ".txt", {"img" + std::to_string(i) + ".txt"}, 100 + i);
    }
    Preview.SetBounds(316, 180, 196, 150);
    Preview.SetColumns({{"元のファイル名", 90}, {"変更後", 90}});
    Preview.SetOwnerData(true);
    BtnOK.SetBounds(330, 385, 80, 25);
    BtnOK.SetCaption("実行");
    BtnCancel.SetBounds(420, 385, 80, 25);
    BtnCancel.SetCaption("Cancel");
    BtnCancel.SetCancel(true);
    BtnCancel.SetModalResult(mrCancel);
    BtnDisabled.SetBounds(8, 385, 80, 25);
    BtnDisabled.SetCaption("追加");
    BtnDisabled.SetEnabled(false);
  }

  Edit EditName{*this, "EditName"};
  Edit EditOther{*this, "EditOther"};
  CheckBox ChkOption{*this, "ChkOption"};
  GroupBox GroupBox1{*this, "GroupBox1"};
  RadioButton RbAllOf{GroupBox1, "RbAllOf"};
  RadioButton RbOneOf{GroupBox1, "RbOneOf"};
  RadioGroup RemoveNumbers{*this, "RemoveNumbers"};
  ComboBox NewExtension{*this, "NewExtension"};
  ListBox ChangeExtTable{*this, "ChangeExtTable"};
  Edit FEditStart{*this, "FEditStart"};
  UpDown EditStart{*this, "EditStart"};
  ProgressBar prgStatus{*this, "prgStatus"};
  Label LbAlreadyExists{*this, "LbAlreadyExists"};
  ListView FileListView{*this, "FileListView"};
  ListView Preview{*this, "Preview"};
  Button BtnOK{*this, "BtnOK"};
  Button BtnCancel{*this, "BtnCancel"};
  Button BtnDisabled{*this, "BtnDisabled"};
};

class Interaction : public ::testing::Test {
 protected:
  std::unique_ptr<UserDriver> user = MakeDriver();
  TestForm form{user->GetBackend()};
  std::vector<std::string> events;

  void Record(Control& control, const std::string& what) { events.push_back(control.Name() + " " + what); }
  NotifyEvent Recorder(const std::string& what) {
    return [this, what](Control& sender) { Record(sender, what); };
  }
  // Shows the form modally with script as the user; returns the modal result.
  int Run(std::function<void(Form&)> script) {
    user->WhenModal(std::move(script));
    return form.ShowModal();
  }
};

TEST_F(Interaction, ClickTypeAndCheckFireEventsAndShowTheState) {
  form.EditName.OnChange = Recorder("change");
  form.ChkOption.OnClick = Recorder("click");
  form.RbOneOf.OnClick = Recorder("click");
  form.RemoveNumbers.OnClick = Recorder("click");
  form.BtnDisabled.OnClick = Recorder("click");
  form.BtnOK.OnClick = [this](Control& sender) {
    Record(sender, "click");
    form.SetModalResult(mrOk);
  };
  const int result = Run([this](Form&) {
    user->Type(form.EditName, "基底名");
    EXPECT_BYTES(form.EditName.Text(), "基底名");
    EXPECT_BYTES(user->ShownText(form.EditName), "基底名");
    user->Click(form.ChkOption);
    EXPECT_TRUE(form.ChkOption.Checked());
    EXPECT_TRUE(user->ShownChecked(form.ChkOption));
    user->Click(form.RbOneOf);
    EXPECT_TRUE(form.RbOneOf.Checked());
    EXPECT_FALSE(form.RbAllOf.Checked());
    EXPECT_FALSE(user->ShownChecked(form.RbAllOf));
    EXPECT_TRUE(user->ShownChecked(form.RbOneOf));
    user->ClickRadioItem(form.RemoveNumbers, 2);
    EXPECT_EQ(form.RemoveNumbers.ItemIndex(), 2);
    EXPECT_EQ(user->ShownItemIndex(form.RemoveNumbers), 2);
    user->Click(form.BtnDisabled);  // a disabled button cannot be pressed
    user->Click(form.BtnOK);
  });
  EXPECT_EQ(result, mrOk);
  const std::vector<std::string> expected = {"EditName change", "ChkOption click", "RbOneOf click",
                                             "RemoveNumbers click", "BtnOK click"};
  EXPECT_EQ(events, expected);
}

TEST_F(Interaction, ProgramChangesReachTheWindowsWithTheirEvents) {
  form.EditName.OnChange = Recorder("change");
  form.ChkOption.OnClick = Recorder("click");
  Run([this](Form&) {
    form.EditName.SetText("設定");
    form.ChkOption.SetChecked(true);
    form.LbAlreadyExists.SetCaption("なし");
    form.prgStatus.StepIt();
    form.prgStatus.StepIt();
    form.EditStart.SetPosition(1234);
    form.ChkOption.SetEnabled(false);
    form.GroupBox1.Hide();
    EXPECT_BYTES(user->ShownText(form.EditName), "設定");
    EXPECT_TRUE(user->ShownChecked(form.ChkOption));
    EXPECT_BYTES(user->ShownText(form.LbAlreadyExists), "なし");
    EXPECT_EQ(user->ShownPosition(form.prgStatus), 10);
    EXPECT_EQ(user->ShownPosition(form.EditStart), 1234);
    EXPECT_BYTES(user->ShownText(form.FEditStart), "1,234");
    EXPECT_FALSE(user->ShownEnabled(form.ChkOption));
    EXPECT_FALSE(user->ShownVisible(form.RbAllOf));  // hidden with its group
    EXPECT_TRUE(user->ShownVisible(form.EditName));
    user->Click(form.ChkOption);  // disabled: no change
    EXPECT_TRUE(form.ChkOption.Checked());
    user->Click(form.BtnCancel);
  });
  const std::vector<std::string> expected = {"EditName change", "ChkOption click"};
  EXPECT_EQ(events, expected);
}

TEST_F(Interaction, LeavingAFieldFiresOnExitOnce) {
  form.EditName.OnExit = Recorder("exit");
  form.EditOther.OnExit = Recorder("exit");
  Run([this](Form&) {
    user->Focus(form.EditName);
    EXPECT_TRUE(form.EditName.Focused());
    user->Focus(form.EditOther);
    EXPECT_TRUE(form.EditOther.Focused());
    EXPECT_FALSE(form.EditName.Focused());
    user->Click(form.BtnCancel);  // takes the focus from EditOther
  });
  const std::vector<std::string> expected = {"EditName exit", "EditOther exit"};
  EXPECT_EQ(events, expected);
}

TEST_F(Interaction, UpDownStepsWithinItsRangeAndWritesTheBuddyWithSeparators) {
  form.FEditStart.OnChange = Recorder("change");
  Run([this](Form&) {
    form.EditStart.SetPosition(999);
    events.clear();
    user->ClickArrow(form.EditStart, +1);
    EXPECT_EQ(form.EditStart.Position(), 1000);
    EXPECT_BYTES(user->ShownText(form.FEditStart), "1,000");
    user->ClickArrow(form.EditStart, -1);
    user->ClickArrow(form.EditStart, -1);
    EXPECT_EQ(form.EditStart.Position(), 998);
    EXPECT_BYTES(form.FEditStart.Text(), "998");
    form.EditStart.SetPosition(32767);
    user->ClickArrow(form.EditStart, +1);  // no wrap: stays at the top
    EXPECT_EQ(form.EditStart.Position(), 32767);
    EXPECT_EQ(user->ShownPosition(form.EditStart), 32767);
    EXPECT_BYTES(user->ShownText(form.FEditStart), "32,767");
    form.EditStart.SetPosition(1);
    user->ClickArrow(form.EditStart, -1);
    EXPECT_EQ(form.EditStart.Position(), 1);
    user->Click(form.BtnCancel);
  });
  // Each change of the shown value is one change of the buddy field.
  EXPECT_EQ(events.size(), 5u);
}

TEST_F(Interaction, ComboBoxAndListBoxReportTheUsersChoice) {
  form.NewExtension.OnChange = Recorder("change");
  form.ChangeExtTable.OnClick = Recorder("click");
  Run([this](Form&) {
    user->Choose(form.NewExtension, 1);
    EXPECT_EQ(form.NewExtension.ItemIndex(), 1);
    EXPECT_BYTES(form.NewExtension.Text(), ".png");
    EXPECT_EQ(user->ShownItemIndex(form.NewExtension), 1);
    user->Type(form.NewExtension, ".bmp");
    EXPECT_BYTES(form.NewExtension.Text(), ".bmp");
    EXPECT_EQ(form.NewExtension.ItemIndex(), -1);
    user->Choose(form.ChangeExtTable, 1);
    EXPECT_EQ(form.ChangeExtTable.ItemIndex(), 1);
    form.ChangeExtTable.DeleteItem(0);
    EXPECT_EQ(form.ChangeExtTable.ItemIndex(), 0);
    EXPECT_EQ(user->ShownItemIndex(form.ChangeExtTable), 0);
    user->Click(form.BtnCancel);
  });
  const std::vector<std::string> expected = {"NewExtension change", "NewExtension change", "ChangeExtTable click"};
  EXPECT_EQ(events, expected);
}

TEST_F(Interaction, SingleSelectionMovesAndStaysVisible) {
  std::vector<std::string> changes;
  form.FileListView.OnSelectItem = [&](ListView&, int index, bool selected) {
    changes.push_back(std::to_string(index) + (selected ? "+" : "-"));
  };
  Run([&](Form&) {
    user->SetRowSelected(form.FileListView, 1, true);
    user->SetRowSelected(form.FileListView, 3, true);
    EXPECT_EQ(form.FileListView.ItemIndex(), 3);
    EXPECT_EQ(form.FileListView.SelectedCount(), 1);
    EXPECT_FALSE(user->ShownSelected(form.FileListView, 1));
    EXPECT_TRUE(user->ShownSelected(form.FileListView, 3));
    form.FileListView.SetItemIndex(0);  // the program moves the selection
    EXPECT_TRUE(user->ShownSelected(form.FileListView, 0));
    EXPECT_FALSE(user->ShownSelected(form.FileListView, 3));
    user->SetRowSelected(form.FileListView, 0, false);
    EXPECT_EQ(form.FileListView.ItemIndex(), -1);
    user->Click(form.BtnCancel);
  });
  const std::vector<std::string> expected = {"1+", "1-", "3+", "3-", "0+", "0-"};
  EXPECT_EQ(changes, expected);
}

TEST_F(Interaction, MultiSelectionKeepsEveryChosenRow) {
  form.FileListView.SetMultiSelect(true);
  Run([&](Form&) {
    user->SetRowSelected(form.FileListView, 0, true);
    user->SetRowSelected(form.FileListView, 2, true);
    user->SetRowSelected(form.FileListView, 4, true);
    user->SetRowSelected(form.FileListView, 2, false);
    EXPECT_EQ(form.FileListView.SelectedIndices(), (std::vector<int>{0, 4}));
    for (int row = 0; row < 5; ++row) {
      EXPECT_EQ(user->ShownSelected(form.FileListView, row), row == 0 || row == 4) << "row " << row;
    }
    user->Click(form.BtnCancel);
  });
}

TEST_F(Interaction, CaptionEditsAreKeptOrRefusedByOnEdited) {
  form.FileListView.OnEdited = [](ListView& list, int index, std::string& text, bool& accept) {
    for (int row = 0; row < list.ItemCount(); ++row) {
      if (list.Item(row).caption == text) accept = false;  // a name that exists stays refused
    }
    (void)index;
  };
  Run([&](Form&) {
    user->EditCaption(form.FileListView, 1, "新しい名前");
    EXPECT_BYTES(form.FileListView.Item(1).caption, "新しい名前");
    EXPECT_BYTES(user->ShownCell(form.FileListView, 1, 0), "新しい名前");
    EXPECT_EQ(form.FileListView.Item(1).data, 101);
    user->EditCaption(form.FileListView, 2, "file0.txt");
    EXPECT_BYTES(form.FileListView.Item(2).caption, "file2.txt");
    EXPECT_BYTES(user->ShownCell(form.FileListView, 2, 0), "file2.txt");
    user->Click(form.BtnCancel);
  });
}

TEST_F(Interaction, ReadOnlyListRefusesCaptionEditing) {
  form.FileListView.SetReadOnly(true);
  bool edited = false;
  form.FileListView.OnEdited = [&](ListView&, int, std::string&, bool&) { edited = true; };
  Run([&](Form&) {
    user->EditCaption(form.FileListView, 0, "x");
    user->Click(form.BtnCancel);
  });
  EXPECT_FALSE(edited);
  EXPECT_BYTES(form.FileListView.Item(0).caption, "file0.txt");
}

TEST_F(Interaction, VirtualRowsAreProducedOnlyWhenPaintedOrRead) {
  std::set<int> asked;
  form.Preview.OnData = [&](ListView&, ListItem& item) {
    asked.insert(item.index);
    item.caption = "元" + std::to_string(item.index);
    item.subItems = {"後" + std::to_string(item.index)};
  };
  form.Preview.SetItemCount(100000);
  Run([&](Form&) {
    user->Pump();
    EXPECT_BYTES(user->ShownCell(form.Preview, 99999, 1), "後99999");
    EXPECT_BYTES(user->ShownCell(form.Preview, 50000, 0), "元50000");
    const int top = form.Preview.TopIndex();
    const int visible = form.Preview.VisibleRowCount();
    EXPECT_GT(visible, 0);
    for (int index : asked) {
      const bool onScreen = index >= top && index <= top + visible;
      EXPECT_TRUE(onScreen || index == 99999 || index == 50000) << "row " << index << " produced unasked";
    }
    EXPECT_EQ(form.Preview.ItemCount(), 100000);
    user->Click(form.BtnCancel);
  });
}

TEST_F(Interaction, CustomDrawColoursCellsAndRows) {
  form.FileListView.OnCustomDrawItem = [](ListView&, int index, Color& color) {
    if (index == 0) color = clBlue;
  };
  form.FileListView.OnCustomDrawSubItem = [](ListView& list, int index, int subItem, Color& color) {
    if (subItem == 1 && list.Item(index).data % 2 == 1) color = clRed;
  };
  Run([&](Form&) {
    EXPECT_EQ(user->DrawnTextColor(form.FileListView, 0, -1), clBlue);
    EXPECT_EQ(user->DrawnTextColor(form.FileListView, 1, 1), clRed);
    EXPECT_EQ(user->DrawnTextColor(form.FileListView, 3, 1), clRed);
    EXPECT_NE(user->DrawnTextColor(form.FileListView, 1, 0), clRed);
    EXPECT_NE(user->DrawnTextColor(form.FileListView, 2, 1), clRed);
    EXPECT_NE(user->DrawnTextColor(form.FileListView, 2, -1), clBlue);
    user->Click(form.BtnCancel);
  });
}

TEST_F(Interaction, RedrawingARangePaintsOnlyThoseVisibleRows) {
  std::set<int> drawn;
  form.FileListView.OnCustomDrawSubItem = [&](ListView&, int index, int, Color&) { drawn.insert(index); };
  Run([&](Form&) {
    user->Pump();  // the first paint
    ASSERT_GE(form.FileListView.VisibleRowCount(), 5);
    EXPECT_EQ(form.FileListView.TopIndex(), 0);
    drawn.clear();
    form.FileListView.UpdateItems(1, 2);
    EXPECT_EQ(drawn, (std::set<int>{1, 2}));
    user->Click(form.BtnCancel);
  });
}

struct ModalCase {
  const char* name;
  bool cancelKey;  // Esc instead of Enter
  bool viaButton;
  int expected;
};

TEST_F(Interaction, ModalResultComesFromButtonsEnterAndEsc) {
  const ModalCase cases[] = {
      {"OK button", false, true, mrOk},
      {"Cancel button", true, true, mrCancel},
      {"Enter presses the default button", false, false, mrOk},
      {"Esc presses the cancel button", true, false, mrCancel},
  };
  form.BtnOK.SetDefault(true);
  form.BtnOK.SetModalResult(mrOk);
  for (const ModalCase& c : cases) {
    const int result = Run([&](Form&) {
      user->Focus(form.EditName);
      if (c.viaButton) {
        user->Click(c.cancelKey ? form.BtnCancel : form.BtnOK);
      } else if (c.cancelKey) {
        user->PressEscape(form);
      } else {
        user->PressEnter(form);
      }
    });
    EXPECT_EQ(result, c.expected) << c.name;
  }
}

TEST_F(Interaction, EnterWithoutDefaultButtonDoesNothing) {
  form.BtnOK.SetModalResult(mrOk);
  Run([&](Form&) {
    user->Focus(form.EditName);
    user->PressEnter(form);
    EXPECT_TRUE(form.IsModal());
    EXPECT_EQ(form.ModalResult(), mrNone);
    user->Click(form.BtnCancel);
  });
  EXPECT_EQ(form.ModalResult(), mrCancel);
}

TEST_F(Interaction, MessageBoxesAnswerAndShowTextCaptionAndStyle) {
  struct BoxCase {
    unsigned style;
    int answer;
  };
  const BoxCase cases[] = {{16, mrOk}, {36, mrNo}, {48, mrOk}, {52, mrYes}, {65, mrCancel}, {0, mrOk}};
  std::vector<int> answers;
  form.BtnOK.OnClick = [&](Control&) {
    for (const BoxCase& c : cases) {
      answers.push_back(form.ShowMessageBox("本文 " + std::to_string(c.style), "見出し", c.style));
    }
    form.SetModalResult(mrOk);
  };
  for (const BoxCase& c : cases) user->AnswerNextBox(c.answer);
  EXPECT_EQ(Run([&](Form&) { user->Click(form.BtnOK); }), mrOk);
  ASSERT_EQ(answers.size(), 6u);
  const std::vector<BoxSeen> boxes = user->Boxes();
  ASSERT_EQ(boxes.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(answers[i], cases[i].answer) << "style " << cases[i].style;
    EXPECT_BYTES(boxes[i].text, "本文 " + std::to_string(cases[i].style));
    EXPECT_BYTES(boxes[i].caption, "見出し");
    EXPECT_EQ(boxes[i].style, cases[i].style);
  }
}

TEST_F(Interaction, CloseQueryCanRefuseUntilAllowed) {
  bool allow = false;
  int queries = 0;
  form.OnCloseQuery = [&](Form&, bool& canClose) {
    ++queries;
    canClose = allow;
  };
  form.OnClose = Recorder("close");
  form.BtnOK.SetModalResult(mrOk);
  const int result = Run([&](Form&) {
    user->Click(form.BtnOK);
    EXPECT_TRUE(form.IsModal());
    EXPECT_EQ(form.ModalResult(), mrNone);
    user->CloseBox(form);
    EXPECT_TRUE(form.IsModal());
    EXPECT_TRUE(user->ShownVisible(form.BtnOK));
    allow = true;
    user->Click(form.BtnOK);
  });
  EXPECT_EQ(result, mrOk);
  EXPECT_EQ(queries, 3);
  EXPECT_EQ(events, (std::vector<std::string>{"TestForm close"}));
}

TEST_F(Interaction, CloseBoxEndsWithCancel) {
  EXPECT_EQ(Run([&](Form&) { user->CloseBox(form); }), mrCancel);
}

TEST_F(Interaction, CreateOnceActivateEveryTimeResizeOnChange) {
  int created = 0;
  std::vector<int> activations;
  form.OnCreate = [&](Control&) { ++created; };
  form.OnActivate = [&](Control&) { activations.push_back(form.ActivationCount()); };
  form.OnResize = Recorder("resize");
  Run([&](Form&) {
    events.clear();
    form.SetClientSize(540, 430);
    EXPECT_FALSE(events.empty());
    EXPECT_EQ(form.ClientWidth(), 540);
    EXPECT_EQ(form.ClientHeight(), 430);
    user->Click(form.BtnCancel);
  });
  Run([&](Form&) { user->Click(form.BtnCancel); });
  EXPECT_EQ(created, 1);
  ASSERT_GE(activations.size(), 2u);
  EXPECT_EQ(activations.front(), 1);
}

TEST_F(Interaction, CloseItemGreysAndTheCloseBoxThenDoesNothing) {
  Run([&](Form&) {
    EXPECT_TRUE(user->ShownCloseItemEnabled(form));
    form.DisableCloseItem();
    EXPECT_FALSE(user->ShownCloseItemEnabled(form));
    user->Click(form.BtnCancel);
  });
}

TEST_F(Interaction, MaximisingAndRestoringResizeTheForm) {
  form.OnResize = Recorder("resize");
  Run([&](Form&) {
    events.clear();
    form.SetWindowState(WindowState::Maximized);
    EXPECT_FALSE(events.empty());
    EXPECT_GT(form.ClientWidth(), 520);
    EXPECT_GT(form.ClientHeight(), 420);
    events.clear();
    form.SetWindowState(WindowState::Normal);
    EXPECT_FALSE(events.empty());
    EXPECT_EQ(form.ClientWidth(), 520);
    EXPECT_EQ(form.ClientHeight(), 420);
    user->Click(form.BtnCancel);
  });
}

TEST_F(Interaction, AControlAddedWhileShownGetsItsWindow) {
  int clicks = 0;
  Run([&](Form&) {
    Button extra(form, "Extra");
    extra.OnClick = [&](Control&) { ++clicks; };
    extra.SetBounds(100, 385, 80, 25);
    extra.SetCaption("追加分");
    EXPECT_BYTES(user->ShownText(extra), "追加分");
    user->Click(extra);
    user->Click(form.BtnCancel);
  });
  EXPECT_EQ(clicks, 1);
}

TEST_F(Interaction, ControlsKeepStateBeforeTheWindowExists) {
  form.FileListView.SetItemIndex(2);
  form.ChkOption.SetChecked(true);
  form.EditName.SetText("前");
  form.Preview.OnData = [](ListView&, ListItem& item) { item.caption = "v" + std::to_string(item.index); };
  form.Preview.SetItemCount(3);
  EXPECT_EQ(form.Handle(), 0u);
  Run([&](Form&) {
    EXPECT_TRUE(user->ShownSelected(form.FileListView, 2));
    EXPECT_TRUE(user->ShownChecked(form.ChkOption));
    EXPECT_BYTES(user->ShownText(form.EditName), "前");
    EXPECT_BYTES(user->ShownCell(form.Preview, 2, 0), "v2");
    user->Click(form.BtnCancel);
  });
}

}  // namespace
}  // namespace ov::ui::test
