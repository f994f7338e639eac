// The backend without windows. Controls keep their state and fire their events; a test
// plays the user: ShowModal calls the handler the test installed, ProcessMessages runs the
// next scripted user action, message boxes answer from a queue and record what they showed,
// and list views paint (run their draw events for) the rows the test declares visible.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
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
  void Beep() override { ++beeps_; }
  int Beeps() const { return beeps_; }
  // Shows the form, then runs the queued user actions while it stays shown.
  void RunMainLoop(Form& main) override;
  // Answers from the queue (nullopt: the user cancels; the empty text: the user confirms the
  // start folder); without one the user cancels.
  bool BrowseForFolder(std::uintptr_t owner, const std::string& title, std::string& folder) override;
  void QueueFolderAnswer(std::optional<std::string> answer) { folderAnswers_.push_back(std::move(answer)); }
  // The start folder each folder browser was shown with.
  const std::vector<std::string>& FolderBrowserStarts() const { return folderStarts_; }

  // Paints a form's paint boxes (in creation order) on a picture of its client area;
  // pixels nothing painted keep kUnpainted.
  static constexpr Color kUnpainted = 0xFF000000u;
  struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Color> pixels;
    Color At(int x, int y) const {
      return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
  };
  Picture PaintForm(Form& form);
  // 24 (default) shows every colour; 16 rounds to 5-6-5 bits as such a display does.
  void SetColorBits(int bits) { colorBits_ = bits; }
  int ColorBits() const { return colorBits_; }
  // How often the program asked for the box to be repainted.
  static int RepaintRequests(PaintBox& box);

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
  std::deque<std::optional<std::string>> folderAnswers_;
  std::vector<std::string> folderStarts_;
  int processCalls_ = 0;
  int colorBits_ = 24;
  int beeps_ = 0;
};

}  // namespace ov::ui::headless
