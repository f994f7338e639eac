// The portable state and events of the controls.
#include "ui/controls.h"

#include <algorithm>

#include "platform/platform.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace ov::ui {

namespace {
const Font& DefaultFont() {
  static const Font font;
  return font;
}
}  // namespace

// ---- Control ----

Control::Control(Container* parent, std::string name) : name_(std::move(name)), parent_(parent) {
  if (parent_ != nullptr) parent_->children_.push_back(this);
}

Control::~Control() {
  peer_.reset();
  if (parent_ != nullptr) {
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

Form& Control::OwnerForm() {
  Control* control = this;
  while (control->parent_ != nullptr) control = control->parent_;
  return static_cast<Form&>(*control);
}

const Form& Control::OwnerForm() const { return const_cast<Control*>(this)->OwnerForm(); }

void Control::Changed(Aspect aspect, int index) {
  if (!peer_ && parent_ != nullptr) {
    // A control added after its form got its window gets its own at its first change
    // (not in the constructor, where the control is not yet of its final type).
    Form& form = OwnerForm();
    if (form.HandleAllocated()) {
      peer_ = form.GetBackend().CreatePeer(*this);
      return;  // created from the whole state
    }
  }
  if (peer_) peer_->Update(aspect, index);
}

void Control::SetBounds(int left, int top, int width, int height) {
  bounds_ = Rect{left, top, width, height};
  Changed(Aspect::Bounds);
}

void Control::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Changed(Aspect::Enabled);
  if (auto* container = dynamic_cast<Container*>(this)) {
    std::vector<Control*> below;
    container->CollectDescendants(below);
    for (Control* child : below) child->Changed(Aspect::Enabled);
  }
}

bool Control::EnabledInForm() const {
  for (const Control* c = this; c != nullptr && c->parent_ != nullptr; c = c->parent_) {
    if (!c->enabled_) return false;
  }
  return true;
}

bool Control::EffectivelyEnabled() const {
  for (const Control* c = this; c != nullptr; c = c->parent_) {
    if (!c->enabled_) return false;
  }
  return true;
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  // A form gets its window when first shown.
  if (parent_ == nullptr && visible) static_cast<Form*>(this)->CreateHandle();
  visible_ = visible;
  Changed(Aspect::Visible);
  if (auto* container = dynamic_cast<Container*>(this); container != nullptr && parent_ != nullptr) {
    std::vector<Control*> below;
    container->CollectDescendants(below);
    for (Control* child : below) child->Changed(Aspect::Visible);
  }
  VisibilityChanged();
}

bool Control::Showing() const {
  for (const Control* c = this; c != nullptr && c->parent_ != nullptr; c = c->parent_) {
    if (!c->visible_) return false;
  }
  return true;
}

const Font& Control::GetFont() const {
  for (const Control* c = this; c != nullptr; c = c->parent_) {
    if (!c->parentFont_ || c->parent_ == nullptr) return c->font_;
  }
  return DefaultFont();
}

void Control::SetFont(const Font& font) {
  font_ = font;
  parentFont_ = false;
  Changed(Aspect::Font);
  FontChangedInParent();
}

void Control::SetFontColor(Color color) {
  Font font = GetFont();
  font.color = color;
  SetFont(font);
}

void Control::FontChangedInParent() {
  if (auto* container = dynamic_cast<Container*>(this)) {
    for (Control* child : container->Children()) {
      if (child->parentFont_) {
        child->Changed(Aspect::Font);
        child->FontChangedInParent();
      }
    }
  }
}

void Control::SetColor(Color color) {
  color_ = color;
  Changed(Aspect::Color);
}

void Control::SetText(const std::string& text) {
  if (text_ == text) return;
  text_ = text;
  Changed(Aspect::Text);
  TextChanged();
}

void Control::NotifyTextEdited(const std::string& text) {
  if (text_ == text) return;
  text_ = text;
  TextChanged();
}

void Control::NotifyExit() {}

void Control::SetFocus() { OwnerForm().FocusControl(this); }

bool Control::Focused() const {
  if (peer_) return peer_->HasFocus();
  return OwnerForm().ActiveControl() == this;
}

std::uintptr_t Control::Handle() const { return peer_ ? peer_->Handle() : 0; }

void Container::CollectDescendants(std::vector<Control*>& out) const {
  for (Control* child : children_) {
    out.push_back(child);
    if (auto* container = dynamic_cast<Container*>(child)) container->CollectDescendants(out);
  }
}

// ---- Buttons ----

void Button::SetDefault(bool value) {
  default_ = value;
  Changed(Aspect::Style);
}

void Button::Click() {
  if (OnClick) OnClick(*this);
  if (modalResult_ != mrNone) OwnerForm().SetModalResult(modalResult_);
}

void CheckBox::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Changed(Aspect::Checked);
  if (OnClick) OnClick(*this);
}

void RadioButton::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Changed(Aspect::Checked);
  if (checked) {
    for (Control* sibling : Parent()->Children()) {
      auto* radio = dynamic_cast<RadioButton*>(sibling);
      if (radio != nullptr && radio != this && radio->checked_) {
        radio->checked_ = false;
        radio->Changed(Aspect::Checked);
      }
    }
    if (OnClick) OnClick(*this);
  }
}

void RadioGroup::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  if (itemIndex_ >= static_cast<int>(items_.size())) itemIndex_ = -1;
  Changed(Aspect::Items);
  Changed(Aspect::ItemIndex);
}

void RadioGroup::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size()) || index == itemIndex_) return;
  itemIndex_ = index;
  Changed(Aspect::ItemIndex);
  if (OnClick) OnClick(*this);
}

// ---- Text fields ----

void Edit::SetReadOnly(bool value) {
  readOnly_ = value;
  Changed(Aspect::ReadOnly);
}

void Edit::TextChanged() {
  if (OnChange) OnChange(*this);
}

void Edit::NotifyExit() {
  if (OnExit) OnExit(*this);
}

Memo::Memo(Container& parent, std::string name) : Control(&parent, std::move(name)) {}

void Memo::SetReadOnly(bool value) {
  readOnly_ = value;
  Changed(Aspect::ReadOnly);
}

void Memo::SetScrollBars(ScrollBars value) {
  scrollBars_ = value;
  Changed(Aspect::Style);
}

void Memo::SetBorder(bool value) {
  border_ = value;
  Changed(Aspect::Style);
}

void Memo::SetWordWrap(bool value) {
  wordWrap_ = value;
  Changed(Aspect::Style);
}

void Memo::SetLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  SetText(text);
}

std::uint32_t Memo::LoadFromFile(platform::FileApi& files, const std::string& path) {
  std::string contents;
  const platform::Error error = files.ReadContents(path, contents);
  if (error != platform::error::kSuccess) return error;
  // An edit control breaks lines only at CR LF.
  std::string text;
  text.reserve(contents.size() + contents.size() / 32);
  for (std::size_t i = 0; i < contents.size(); ++i) {
    const char c = contents[i];
    if (c == '\n' && (i == 0 || contents[i - 1] != '\r')) {
      text += "\r\n";
    } else if (c == '\r' && (i + 1 >= contents.size() || contents[i + 1] != '\n')) {
      text += "\r\n";
    } else {
      text += c;
    }
  }
  SetText(text);
  return platform::error::kSuccess;
}

void Memo::TextChanged() {
  if (OnChange) OnChange(*this);
}

// ---- Label ----

Label::Label(Container& parent, std::string name) : Control(&parent, std::move(name)) { SetTabStop(false); }

void Label::SetWordWrap(bool value) {
  wordWrap_ = value;
  Changed(Aspect::Style);
}

void Label::SetTransparent(bool value) {
  transparent_ = value;
  Changed(Aspect::Style);
}

void Label::SetAutoSize(bool value) {
  autoSize_ = value;
  Fit();
}

void Label::SetAlignment(Alignment value) {
  alignment_ = value;
  Changed(Aspect::Style);
}

void Label::SetBold(bool bold) {
  Font font = GetFont();
  font.bold = bold;
  SetFont(font);
  Fit();
}

void Label::SetItalic(bool italic) {
  Font font = GetFont();
  font.italic = italic;
  SetFont(font);
  Fit();
}

void Label::TextChanged() { Fit(); }

void Label::Fit() {
  if (!autoSize_ || wordWrap_) return;
  const TextSize size = OwnerForm().GetBackend().MeasureText(GetFont(), Text());
  SetBounds(Left(), Top(), size.width, size.height);
}

// ---- Paint box ----

void PaintBox::SetAlign(Align align) {
  align_ = align;
  if (align_ == Align::Client && Parent() == &OwnerForm()) {
    const Form& form = OwnerForm();
    SetBounds(0, 0, form.ClientWidth(), form.ClientHeight());
  }
}

void PaintBox::Paint(Canvas& canvas) {
  if (OnPaint) OnPaint(*this, canvas);
}

// ---- Lists ----

void ComboBox::SetStyle(ComboStyle style) {
  style_ = style;
  Changed(Aspect::Style);
}

void ComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  Changed(Aspect::Items);
}

void ComboBox::AddItem(const std::string& item) {
  items_.push_back(item);
  Changed(Aspect::Items);
}

void ComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) return;
  itemIndex_ = index;
  Changed(Aspect::ItemIndex);
  const std::string text = index < 0 ? std::string() : items_[static_cast<std::size_t>(index)];
  if (text != Text()) {
    SetText(text);  // fires OnChange
  } else if (OnChange) {
    OnChange(*this);
  }
}

void ComboBox::NotifyTextEdited(const std::string& text) {
  itemIndex_ = -1;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i] == text) itemIndex_ = static_cast<int>(i);
  }
  Control::NotifyTextEdited(text);
}

void ComboBox::TextChanged() {
  if (OnChange) OnChange(*this);
}

void ListBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  Changed(Aspect::Items);
}

void ListBox::AddItem(const std::string& item) {
  items_.push_back(item);
  Changed(Aspect::Items);
  Changed(Aspect::ItemIndex);
}

void ListBox::SetItem(int index, const std::string& item) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  items_[static_cast<std::size_t>(index)] = item;
  Changed(Aspect::Items);
  Changed(Aspect::ItemIndex);
}

void ListBox::DeleteItem(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) return;
  items_.erase(items_.begin() + index);
  if (itemIndex_ == index) {
    itemIndex_ = -1;
  } else if (itemIndex_ > index) {
    --itemIndex_;
  }
  Changed(Aspect::Items);
  Changed(Aspect::ItemIndex);
}

void ListBox::ClearItems() { SetItems({}); }

void ListBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) return;
  itemIndex_ = index;
  Changed(Aspect::ItemIndex);
}

void ListBox::Choose(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) return;
  itemIndex_ = index;
  Changed(Aspect::ItemIndex);
  if (OnClick) OnClick(*this);
}

// ---- UpDown ----

UpDown::UpDown(Container& parent, std::string name) : Control(&parent, std::move(name)) { SetTabStop(false); }

void UpDown::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
  Changed(Aspect::Range);
  SetPosition(position_);
}

void UpDown::SetPosition(int position) {
  position_ = std::clamp(position, std::min(min_, max_), std::max(min_, max_));
  Changed(Aspect::Position);
  WriteBuddy();
}

void UpDown::SetAssociate(Edit* buddy) {
  buddy_ = buddy;
  WriteBuddy();
}

void UpDown::Step(int delta) {
  if (!EffectivelyEnabled()) return;
  long long next = static_cast<long long>(position_) + delta;
  if (next > max_) next = wrap_ ? min_ : max_;
  if (next < min_) next = wrap_ ? max_ : min_;
  SetPosition(static_cast<int>(next));
  if (OnClick) OnClick(*this);
}

void UpDown::WriteBuddy() {
  if (buddy_ == nullptr) return;
  buddy_->SetText(FormatThousands(position_, OwnerForm().GetBackend().ThousandsSeparator()));
}

std::string FormatThousands(long long value, const std::string& separator) {
  const bool negative = value < 0;
  unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(value)
                                          : static_cast<unsigned long long>(value);
  const std::string digits = std::to_string(magnitude);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return negative ? "-" + out : out;
}

// ---- ListView ----

ListView::ListView(Container& parent, std::string name) : Control(&parent, std::move(name)) {}

void ListView::SetColumns(std::vector<ListColumn> columns) {
  columns_ = std::move(columns);
  Changed(Aspect::Columns);
}

int ListView::AddItem(const std::string& caption, std::vector<std::string> subItems, std::intptr_t data) {
  ListItem item;
  item.index = static_cast<int>(items_.size());
  item.caption = caption;
  item.subItems = std::move(subItems);
  item.data = data;
  items_.push_back(std::move(item));
  selected_.push_back(false);
  Changed(Aspect::RowCount);
  return items_.back().index;
}

void ListView::SetItemCaption(int index, const std::string& caption) {
  if (ownerData_ || index < 0 || index >= static_cast<int>(items_.size())) return;
  items_[static_cast<std::size_t>(index)].caption = caption;
  Changed(Aspect::Row, index);
}

void ListView::SetSubItem(int index, int subItem, const std::string& text) {
  if (ownerData_ || index < 0 || index >= static_cast<int>(items_.size()) || subItem < 0) return;
  auto& subItems = items_[static_cast<std::size_t>(index)].subItems;
  if (subItems.size() <= static_cast<std::size_t>(subItem)) subItems.resize(static_cast<std::size_t>(subItem) + 1);
  subItems[static_cast<std::size_t>(subItem)] = text;
  Changed(Aspect::Row, index);
}

void ListView::SetItemData(int index, std::intptr_t data) {
  if (ownerData_ || index < 0 || index >= static_cast<int>(items_.size())) return;
  items_[static_cast<std::size_t>(index)].data = data;
}

void ListView::DeleteItem(int index) {
  if (ownerData_ || index < 0 || index >= static_cast<int>(items_.size())) return;
  items_.erase(items_.begin() + index);
  selected_.erase(selected_.begin() + index);
  for (std::size_t i = static_cast<std::size_t>(index); i < items_.size(); ++i) items_[i].index = static_cast<int>(i);
  Changed(Aspect::RowCount);
}

void ListView::ClearItems() {
  items_.clear();
  selected_.assign(ownerData_ ? static_cast<std::size_t>(virtualCount_) : 0, false);
  Changed(Aspect::RowCount);
}

void ListView::SetOwnerData(bool value) {
  ownerData_ = value;
  items_.clear();
  virtualCount_ = 0;
  selected_.clear();
  Changed(Aspect::RowCount);
}

void ListView::SetItemCount(int count) {
  if (!ownerData_ || count < 0) return;
  virtualCount_ = count;
  selected_.assign(static_cast<std::size_t>(count), false);
  Changed(Aspect::RowCount);
}

int ListView::ItemCount() const { return ownerData_ ? virtualCount_ : static_cast<int>(items_.size()); }

ListItem ListView::Item(int index) {
  if (index < 0 || index >= ItemCount()) return ListItem{};
  if (!ownerData_) return items_[static_cast<std::size_t>(index)];
  ListItem item;
  item.index = index;
  if (OnData) OnData(*this, item);
  return item;
}

std::string ListView::CellText(int index, int column) {
  const ListItem item = Item(index);
  if (column == 0) return item.caption;
  const auto sub = static_cast<std::size_t>(column - 1);
  return sub < item.subItems.size() ? item.subItems[sub] : std::string();
}

void ListView::SetMultiSelect(bool value) {
  multiSelect_ = value;
  Changed(Aspect::Style);
}

void ListView::SetHideSelection(bool value) {
  hideSelection_ = value;
  Changed(Aspect::Style);
}

void ListView::SetReadOnly(bool value) {
  readOnly_ = value;
  Changed(Aspect::Style);
}

bool ListView::Selected(int index) const {
  return index >= 0 && index < static_cast<int>(selected_.size()) && selected_[static_cast<std::size_t>(index)];
}

void ListView::SetSelectedState(int index, bool selected) {
  selected_[static_cast<std::size_t>(index)] = selected;
  Changed(Aspect::Selection, index);
  if (OnSelectItem) OnSelectItem(*this, index, selected);
}

void ListView::SetSelected(int index, bool selected) {
  if (index < 0 || index >= ItemCount() || Selected(index) == selected) return;
  if (selected && !multiSelect_) {
    for (std::size_t i = 0; i < selected_.size(); ++i) {
      if (selected_[i]) SetSelectedState(static_cast<int>(i), false);
    }
  }
  SetSelectedState(index, selected);
}

int ListView::ItemIndex() const {
  for (std::size_t i = 0; i < selected_.size(); ++i) {
    if (selected_[i]) return static_cast<int>(i);
  }
  return -1;
}

void ListView::SetItemIndex(int index) {
  if (index < 0) {
    ClearSelection();
    return;
  }
  if (multiSelect_) {
    for (std::size_t i = 0; i < selected_.size(); ++i) {
      if (selected_[i] && static_cast<int>(i) != index) SetSelectedState(static_cast<int>(i), false);
    }
  }
  SetSelected(index, true);
}

int ListView::SelectedCount() const { return static_cast<int>(std::count(selected_.begin(), selected_.end(), true)); }

std::vector<int> ListView::SelectedIndices() const {
  std::vector<int> out;
  for (std::size_t i = 0; i < selected_.size(); ++i) {
    if (selected_[i]) out.push_back(static_cast<int>(i));
  }
  return out;
}

void ListView::ClearSelection() {
  for (std::size_t i = 0; i < selected_.size(); ++i) {
    if (selected_[i]) SetSelectedState(static_cast<int>(i), false);
  }
}

void ListView::EditCaption(int index) {
  if (readOnly_ || index < 0 || index >= ItemCount()) return;
  if (Peer() != nullptr) Peer()->BeginCaptionEdit(index);
}

bool ListView::EndCaptionEdit(int index, const std::string& text) {
  if (readOnly_ || index < 0 || index >= ItemCount()) return false;
  std::string newText = text;
  bool accept = true;
  if (OnEdited) OnEdited(*this, index, newText, accept);
  if (!accept) {
    Changed(Aspect::Row, index);
    return false;
  }
  if (!ownerData_) {
    items_[static_cast<std::size_t>(index)].caption = newText;
  }
  Changed(Aspect::Row, index);
  return true;
}

void ListView::UpdateItems(int first, int last) {
  if (Peer() != nullptr) Peer()->RedrawRows(first, last);
}

void ListView::ScrollTo(int index) {
  if (Peer() != nullptr) Peer()->ScrollTo(index);
}

int ListView::TopIndex() const { return Peer() != nullptr ? Peer()->TopIndex() : 0; }

int ListView::VisibleRowCount() const { return Peer() != nullptr ? Peer()->VisibleRowCount() : 0; }

Color ListView::DrawCell(int index, int subItem) {
  Color color = GetFont().color;
  if (subItem < 0) {
    if (OnCustomDrawItem) OnCustomDrawItem(*this, index, color);
  } else if (OnCustomDrawSubItem) {
    OnCustomDrawSubItem(*this, index, subItem, color);
  }
  return color;
}

// ---- ProgressBar, Image ----

void ProgressBar::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
  Changed(Aspect::Range);
  SetPosition(position_);
}

void ProgressBar::SetPosition(int position) {
  position_ = std::clamp(position, std::min(min_, max_), std::max(min_, max_));
  Changed(Aspect::Position);
}

void ProgressBar::StepIt() {
  int next = position_ + step_;
  if (next > max_) next = min_ + (next - max_);
  SetPosition(next);
}

void Image::SetIconResource(int id) {
  icon_ = id;
  Changed(Aspect::Icon);
}

// ---- Kinds ----

void Button::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }
void CheckBox::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }
void RadioButton::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }
void RadioGroup::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }
void Edit::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }
void Memo::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }
void PaintBox::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }
void Label::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }
void GroupBox::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }
void ComboBox::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }
void ListBox::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }
void UpDown::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }
void ListView::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }
void ProgressBar::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }
void Image::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }

}  // namespace ov::ui
