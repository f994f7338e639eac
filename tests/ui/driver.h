// The user of the interaction suite. One implementation acts on the headless backend (it
// changes control state the way the user's act would and lets the events fire); the other
// drives the real windows under Wine with real messages and reads the results back from
// the windows. The suite is written once against this interface.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/form.h"

namespace ov::ui::test {

struct BoxSeen {
  std::string text;
  std::string caption;
  unsigned style = 0;  // MB_* icon and buttons as far as the box shows them
};

class UserDriver {
 public:
  virtual ~UserDriver() = default;
  virtual Backend& GetBackend() = 0;

  // The next ShowModal runs script as the user, once the form is up. A form still open
  // when the script returns is a test failure; the form is then closed without a result.
  virtual void WhenModal(std::function<void(Form& form)> script) = 0;

  // Presses a button, check box or radio button (nothing happens when it is disabled
  // or hidden, as for a real user).
  virtual void Click(Control& control) = 0;
  virtual void ClickRadioItem(RadioGroup& group, int item) = 0;
  // Replaces the text of an edit, memo or editable combo box as typing would.
  virtual void Type(Control& control, const std::string& text) = 0;
  virtual void Focus(Control& control) = 0;
  virtual void PressEnter(Form& form) = 0;
  virtual void PressEscape(Form& form) = 0;
  // The close box of the title bar.
  virtual void CloseBox(Form& form) = 0;
  virtual void Choose(ComboBox& combo, int item) = 0;
  virtual void Choose(ListBox& list, int item) = 0;
  virtual void SetRowSelected(ListView& list, int row, bool selected) = 0;
  // Edits a caption in place and confirms it with Enter.
  virtual void EditCaption(ListView& list, int row, const std::string& text) = 0;
  // One press of an up-down arrow: +1 up, -1 down.
  virtual void ClickArrow(UpDown& upDown, int delta) = 0;
  // Lets pending messages run.
  virtual void Pump() = 0;

  // What the user sees.
  virtual std::string ShownText(Control& control) = 0;
  virtual bool ShownChecked(Control& control) = 0;
  virtual bool ShownEnabled(Control& control) = 0;
  virtual bool ShownVisible(Control& control) = 0;
  // The width of the control's text as drawn in the font it shows.
  virtual int ShownTextWidth(Control& control) = 0;
  virtual int ShownItemIndex(Control& control) = 0;
  virtual int ShownPosition(Control& control) = 0;
  virtual bool ShownSelected(ListView& list, int row) = 0;
  virtual std::string ShownCell(ListView& list, int row, int column) = 0;
  // Whether the Close item of the form's system menu can be chosen.
  virtual bool ShownCloseItemEnabled(Form& form) = 0;
  // The text colour a cell (subItem >= 0) or row (-1) is drawn with.
  virtual Color DrawnTextColor(ListView& list, int row, int subItem) = 0;

  // Place in the form's client area and size as shown.
  virtual Rect ShownBounds(Control& control) = 0;
  // The font the control's text is drawn in (face, pixel height, italic, bold).
  virtual Font ShownFont(Control& control) = 0;
  // The background colour behind the text of an edit or memo.
  virtual Color ShownBackground(Control& control) = 0;
  // The colour of one pixel of the form's client area after it was painted.
  virtual Color PaintedPixel(Form& form, int x, int y) = 0;
  // The next folder browser: confirm the folder it starts at, or cancel.
  virtual void AnswerNextFolderBrowser(bool confirm) = 0;

  // Message boxes: answers for the next ones (first button when none is queued), and
  // what the boxes showed, oldest first.
  virtual void AnswerNextBox(int answer) = 0;
  virtual std::vector<BoxSeen> Boxes() = 0;
};

std::unique_ptr<UserDriver> MakeDriver();

}  // namespace ov::ui::test
