// The user of a tool dialog under Wine: it runs on a thread of its own while the module
// shows the dialog modally on the test's main thread (inside InvokeCommand), finds the
// dialog and its controls by caption, class and place, acts with real messages and reads
// back what the windows show, the painted pixels included.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ov::test {

// Waits (up to 10 s) for a condition that another thread brings about.
bool Await(const std::function<bool()>& condition);

std::string WindowText(HWND window);

// The items of a drop-down list.
std::vector<std::string> ComboItems(HWND combo);
// Chooses an item of a drop-down list as the user does: the selection, then the
// notification to its parent.
void ChooseComboItem(HWND combo, int index);

// The box that a command may show before its dialog (captioned `boxCaption`): answered
// with OK, its text returned; empty when the dialog (or `giveUp`) came first.
std::string AnswerBoxBefore(const std::string& boxCaption, const std::string& dialogCaption,
                            const std::function<bool()>& giveUp);

// A visible message box on the thread of the window, or null.
HWND MessageBoxOn(HWND window);

class DialogUser {
 public:
  // Waits for the visible top-level window of this process with this caption.
  bool Find(const std::string& caption);
  // The same, but gives up as soon as `giveUp` holds (the window can no longer come).
  bool Find(const std::string& caption, const std::function<bool()>& giveUp);
  HWND Dialog() const { return dialog_; }

  // Child windows of a class in creation order, optionally only those with a text.
  std::vector<HWND> Children(const char* className, const char* text = nullptr) const;
  // The one button (push button, check box or radio button) with this caption, or null.
  HWND Button(const std::string& caption) const;
  // The single-line edit field on the line of the label with this caption, right of it.
  HWND FieldRightOf(const std::string& label) const;
  HWND List() const;  // the first list view

  // Sent: returns once the dialog's thread handled it.
  void Click(HWND button) const;
  void Type(HWND edit, const std::string& text) const;
  // Posted: for a press whose handler opens a modal window of its own.
  void PostClick(HWND button) const;
  bool Checked(HWND button) const;

  // The text of a cell of the list view, as LVM_GETITEMTEXTA gives it.
  std::string Cell(int row, int column) const;
  // Rows of the list view whose cell in column holds pure red pixels (RGB 255, 0, 0), after
  // the list painted itself afresh.
  std::vector<int> RedRows(int column) const;

  // The next message box on the dialog's thread: its text, after pressing its OK button;
  // "<no box>" when none came.
  std::string AnswerBox() const;

  // The client area of the dialog on the screen.
  RECT ClientArea() const;

 private:
  HWND dialog_ = nullptr;
};

}  // namespace ov::test
