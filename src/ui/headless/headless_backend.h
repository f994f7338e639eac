// The backend without windows. Controls keep their state and fire their events; a test
// plays the user: ShowModal calls the handler the test installed, ProcessMessages runs the
// next scripted user action, message boxes answer from a queue and record what they showed,
// and list views paint (run their draw events for) the rows the test declares visible.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/form.h"

namespace ov::ui::headless {

struct MessageBoxRecord {
  std::uintptr_t owner = 0;
  std::string text;
  std::string caption;
  unsigned style = 0;
  int answer = 0;
};

class HeadlessBackend : public Backend {
 public:
  using ModalHandler = std::function<void(Form& form)>;

  std::unique_ptr<FormPeer> CreateFormPeer(Form& form) override;
  std::unique_ptr<ControlPeer> CreatePeer(Control& control) override;
  void ProcessMessages() override;
  int ShowMessageBox(std::uintptr_t owner, const std::string& text, const std::string& caption,
                     unsigned style) override;
  TextSize MeasureText(const Font& font, const std::string& text) override;
  std::string ThousandsSeparator() override { return ","; }

  // Called by every ShowModal after the form became active; it plays the user and
  // normally ends by setting a modal result. ShowModal returns when it returns.
  void SetModalHandler(ModalHandler handler) { modalHandler_ = std::move(handler); }
  const ModalHandler& CurrentModalHandler() const { return modalHandler_; }
  // Each ProcessMessages call runs the oldest queued action, if any.
  void QueueUserAction(std::function<void()> action) { actions_.push_back(std::move(action)); }
  int ProcessMessagesCalls() const { return processCalls_; }
  std::size_t PendingUserActions() const { return actions_.size(); }

  // Answers for the next message boxes, oldest first; without one a box answers with its
  // first button (OK or Yes).
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  const std::vector<MessageBoxRecord>& MessageBoxes() const { return boxes_; }
  void ClearMessageBoxes() { boxes_.clear(); }

  // The rows of a list view that count as on screen (from top, count rows); painting and
  // redrawing only reach these. A new list view shows as many rows as fit its height.
  static void SetVisibleRows(ListView& list, int top, int count);
  // Paints the visible rows: OnData, then the item and every cell's draw events.
  static void Paint(ListView& list);

  // Pixel height of a line of text in a font (points at 96 dots per inch).
  static int LineHeight(const Font& font);

 private:
  ModalHandler modalHandler_;
  std::deque<std::function<void()>> actions_;
  std::deque<int> answers_;
  std::vector<MessageBoxRecord> boxes_;
  int processCalls_ = 0;
};

}  // namespace ov::ui::headless
