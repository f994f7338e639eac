// The headless backend: peers that keep no window, a modal "loop" that hands the form to
// the test, and list-view painting limited to the declared visible rows.
#include "ui/headless/headless_backend.h"

#include <algorithm>

namespace ov::ui::headless {

namespace {

class HeadlessFormPeer : public FormPeer {
 public:
  HeadlessFormPeer(HeadlessBackend& backend, Form& form) : backend_(backend), form_(form) {}

  void Update(Aspect aspect, int /*index*/) override {
    if (aspect == Aspect::Visible && form_.Visible() && !form_.IsModal()) form_.NotifyActivated();
    if (aspect == Aspect::WindowState) {
      // A maximised form fills a 1280 x 1024 screen; the frame is not modelled.
      if (form_.State() == WindowState::Maximized) {
        restoreWidth_ = form_.ClientWidth();
        restoreHeight_ = form_.ClientHeight();
        form_.NotifyResized(1280, 1024);
      } else {
        form_.NotifyResized(restoreWidth_, restoreHeight_);
      }
    }
    if (aspect == Aspect::Bounds) form_.NotifyResized(form_.ClientWidth(), form_.ClientHeight());
  }

  void RunModal() override {
    form_.NotifyActivated();
    if (backend_.CurrentModalHandler()) {
      // The handler may show further modal forms; each call gets its own form.
      HeadlessBackend::ModalHandler handler = backend_.CurrentModalHandler();
      handler(form_);
    }
  }
  void EndModal() override {}
  void AbortModal() override {}
  void DisableCloseItem() override {}

  void Focus(Control* control) override {
    Control* previous = form_.ActiveControl();
    if (previous == control) return;
    form_.NotifyFocus(control);
    if (previous != nullptr) previous->NotifyExit();
  }

 private:
  HeadlessBackend& backend_;
  Form& form_;
  int restoreWidth_ = 0;
  int restoreHeight_ = 0;
};

class HeadlessControlPeer : public ControlPeer {
 public:
  explicit HeadlessControlPeer(Control& control) : control_(control) {}
  void Update(Aspect, int) override {}
  bool HasFocus() const override { return control_.OwnerForm().ActiveControl() == &control_; }

 protected:
  Control& control_;
};

class HeadlessListViewPeer : public HeadlessControlPeer {
 public:
  explicit HeadlessListViewPeer(ListView& list) : HeadlessControlPeer(list), list_(list) {
    // A header of 20 pixels, then rows as high as the font's line plus 4.
    const int rowHeight = HeadlessBackend::LineHeight(list.GetFont()) + 4;
    count_ = std::max(0, (list.Height() - 20) / rowHeight);
  }

  int TopIndex() const override { return top_; }
  int VisibleRowCount() const override { return count_; }

  void RedrawRows(int first, int last) override {
    const int from = std::max({first, top_, 0});
    const int to = std::min({last, top_ + count_ - 1, list_.ItemCount() - 1});
    for (int row = from; row <= to; ++row) {
      list_.Item(row);  // painting asks for the row's texts
      list_.DrawCell(row, -1);
      const int columns = std::max<int>(1, static_cast<int>(list_.Columns().size()));
      for (int column = 0; column < columns; ++column) list_.DrawCell(row, column);
    }
  }

  void ScrollTo(int index) override {
    if (index < top_) top_ = index;
    if (index >= top_ + count_) top_ = index - count_ + 1;
    top_ = std::max(0, top_);
  }

  void Update(Aspect aspect, int /*index*/) override {
    if (aspect == Aspect::RowCount) top_ = std::min(top_, std::max(0, list_.ItemCount() - count_));
  }

  void SetVisible(int top, int count) {
    top_ = top;
    count_ = count;
  }

 private:
  ListView& list_;
  int top_ = 0;
  int count_ = 0;
};

}  // namespace

std::unique_ptr<FormPeer> HeadlessBackend::CreateFormPeer(Form& form) {
  return std::make_unique<HeadlessFormPeer>(*this, form);
}

std::unique_ptr<ControlPeer> HeadlessBackend::CreatePeer(Control& control) {
  if (auto* list = dynamic_cast<ListView*>(&control)) return std::make_unique<HeadlessListViewPeer>(*list);
  return std::make_unique<HeadlessControlPeer>(control);
}

void HeadlessBackend::ProcessMessages() {
  ++processCalls_;
  if (actions_.empty()) return;
  std::function<void()> action = std::move(actions_.front());
  actions_.pop_front();
  action();
}

int HeadlessBackend::ShowMessageBox(std::uintptr_t owner, const std::string& text, const std::string& caption,
                                    unsigned style) {
  int answer = (style & 0x0F) == kMbYesNo ? mrYes : mrOk;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  boxes_.push_back(MessageBoxRecord{owner, text, caption, style, answer});
  return answer;
}

int HeadlessBackend::LineHeight(const Font& font) {
  return font.pixels > 0 ? font.pixels : (font.points * 96 + 36) / 72;
}

TextSize HeadlessBackend::MeasureText(const Font& font, const std::string& text) {
  // Half the height per byte: a double-byte character is as wide as it is high.
  const int height = LineHeight(font);
  int lines = 1;
  std::size_t longest = 0;
  std::size_t current = 0;
  for (char c : text) {
    if (c == '\n') {
      ++lines;
      longest = std::max(longest, current);
      current = 0;
    } else if (c != '\r') {
      ++current;
    }
  }
  longest = std::max(longest, current);
  return TextSize{static_cast<int>(longest) * height / 2, lines * (height + 2)};
}

void HeadlessBackend::SetVisibleRows(ListView& list, int top, int count) {
  list.OwnerForm().CreateHandle();
  if (auto* peer = dynamic_cast<HeadlessListViewPeer*>(list.Peer())) peer->SetVisible(top, count);
}

void HeadlessBackend::Paint(ListView& list) {
  list.OwnerForm().CreateHandle();
  list.UpdateItems(0, list.ItemCount() - 1);
}

}  // namespace ov::ui::headless
