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

class HeadlessPaintBoxPeer : public HeadlessControlPeer {
 public:
  using HeadlessControlPeer::HeadlessControlPeer;
  void Update(Aspect aspect, int /*index*/) override {
    if (aspect == Aspect::Redraw) ++repaints_;
  }
  int Repaints() const { return repaints_; }

 private:
  int repaints_ = 0;
};

// A picture of the form's client area; each paint box draws through its own window on it.
class PictureCanvas : public Canvas {
 public:
  PictureCanvas(HeadlessBackend::Picture& picture, Rect clip, int bits) : picture_(picture), clip_(clip), bits_(bits) {}

  Color NearestColor(Color color) override {
    color &= 0xFFFFFF;
    return bits_ >= 24 ? color : (color & 0xF8FCF8);
  }
  void FillRect(const Rect& rect, Color color) override {
    const Color shown = NearestColor(color);
    const int left = std::max({clip_.left + rect.left, clip_.left, 0});
    const int top = std::max({clip_.top + rect.top, clip_.top, 0});
    const int right = std::min({clip_.left + rect.left + rect.width, clip_.left + clip_.width, picture_.width});
    const int bottom = std::min({clip_.top + rect.top + rect.height, clip_.top + clip_.height, picture_.height});
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(picture_.width);
        picture_.pixels[at + static_cast<std::size_t>(x)] = shown;
      }
    }
  }

 private:
  HeadlessBackend::Picture& picture_;
  Rect clip_;
  int bits_;
};

// Whether the last byte of text is the second byte of a double-byte character.
bool EndsInTrailByte(const std::string& text) {
  std::size_t i = 0;
  std::size_t last = 0;
  while (i < text.size()) {
    last = i;
    const auto byte = static_cast<unsigned char>(text[i]);
    const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    i += lead && i + 1 < text.size() ? 2 : 1;
  }
  return last != text.size() - 1;
}

}  // namespace

int HeadlessBackend::RepaintRequests(PaintBox& box) {
  auto* peer = dynamic_cast<HeadlessPaintBoxPeer*>(box.Peer());
  return peer != nullptr ? peer->Repaints() : 0;
}

HeadlessBackend::Picture HeadlessBackend::PaintForm(Form& form) {
  form.CreateHandle();
  Picture picture;
  picture.width = form.ClientWidth();
  picture.height = form.ClientHeight();
  picture.pixels.assign(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height), kUnpainted);
  std::vector<Control*> controls;
  form.CollectDescendants(controls);
  for (Control* control : controls) {
    auto* box = dynamic_cast<PaintBox*>(control);
    if (box == nullptr || !box->Showing()) continue;
    Rect clip = box->Bounds();
    for (const Control* c = box->Parent(); c != nullptr && c->Parent() != nullptr; c = c->Parent()) {
      clip.left += c->Left();
      clip.top += c->Top();
    }
    PictureCanvas canvas(picture, clip, colorBits_);
    box->Paint(canvas);
  }
  return picture;
}

void HeadlessBackend::RunMainLoop(Form& main) {
  main.Show();
  while (main.Visible() && !actions_.empty()) ProcessMessages();
}

bool HeadlessBackend::BrowseForFolder(std::uintptr_t /*owner*/, const std::string& /*title*/, std::string& folder) {
  folderStarts_.push_back(folder);
  if (folderAnswers_.empty()) return false;
  std::optional<std::string> answer = std::move(folderAnswers_.front());
  folderAnswers_.pop_front();
  if (!answer) return false;
  if (answer->empty()) {
    // Confirms the start folder; the shell gives it back without a trailing separator.
    if (folder.size() > 3 && folder.back() == '\\' && !EndsInTrailByte(folder)) folder.pop_back();
  } else {
    folder = *answer;
  }
  return true;
}

std::unique_ptr<FormPeer> HeadlessBackend::CreateFormPeer(Form& form) {
  return std::make_unique<HeadlessFormPeer>(*this, form);
}

std::unique_ptr<ControlPeer> HeadlessBackend::CreatePeer(Control& control) {
  if (auto* list = dynamic_cast<ListView*>(&control)) return std::make_unique<HeadlessListViewPeer>(*list);
  if (dynamic_cast<PaintBox*>(&control) != nullptr) return std::make_unique<HeadlessPaintBoxPeer>(control);
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
