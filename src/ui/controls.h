// The controls of the dialogs: each holds its own state (caption, bounds, items ...) and
// fires events. A control works before any window exists; once its form has a window, the
// backend's peer mirrors every change onto it and turns the user's actions back into calls
// of the same methods, so form logic never sees which backend it runs on.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ov::platform {
class FileApi;
}

namespace ov::ui {

class Backend;
class Container;
class ControlPeer;
class ControlVisitor;
class Form;

// Colours are 0x00BBGGRR like COLORREF. Values with kSystemColor set name a system colour
// (the low byte is the COLOR_* index); clDefault means "as the system draws it".
using Color = std::uint32_t;
constexpr Color kSystemColor = 0x80000000u;
constexpr Color clBlack = 0x000000;
constexpr Color clMaroon = 0x000080;
constexpr Color clGreen = 0x008000;
constexpr Color clNavy = 0x800000;
constexpr Color clGray = 0x808080;
constexpr Color clSilver = 0xC0C0C0;
constexpr Color clRed = 0x0000FF;
constexpr Color clLime = 0x00FF00;
constexpr Color clYellow = 0x00FFFF;
constexpr Color clBlue = 0xFF0000;
constexpr Color clWhite = 0xFFFFFF;
constexpr Color clWindow = kSystemColor | 5;
constexpr Color clWindowText = kSystemColor | 8;
constexpr Color clBtnFace = kSystemColor | 15;
constexpr Color clBtnText = kSystemColor | 18;
constexpr Color clDefault = 0x20000000u;

// Dialog results (IDOK ...), also the answers of message boxes.
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

constexpr int kShiftJisCharset = 128;
constexpr int kDefaultCharset = 1;

struct Font {
  std::string face = "ＭＳ Ｐゴシック";
  int points = 9;  // used when pixels is 0
  int pixels = 0;  // character height in pixels
  bool bold = false;
  bool italic = false;
  int charset = kShiftJisCharset;
  Color color = clWindowText;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// What changed in a control; a peer pushes that part of the state to its window.
enum class Aspect {
  Bounds, Enabled, Visible, Text, Font, Color, ReadOnly, Style, Checked, Items, ItemIndex,
  Range, Position, Columns, RowCount, Row, Selection, Icon, Focus, WindowState, Owner, Redraw
};

using NotifyEvent = std::function<void(class Control& sender)>;

// Wires an event to a member handler: Btn.OnClick = Handler(this, &TFormX::BtnClick).
template <class T, class... Args>
std::function<void(Args...)> Handler(T* self, void (T::*method)(Args...)) {
  return [self, method](Args... args) { (self->*method)(std::forward<Args>(args)...); };
}

class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  const std::string& Name() const { return name_; }
  Container* Parent() const { return parent_; }
  Form& OwnerForm();
  const Form& OwnerForm() const;

  Rect Bounds() const { return bounds_; }
  void SetBounds(int left, int top, int width, int height);
  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.width; }
  int Height() const { return bounds_.height; }
  void SetLeft(int v) { SetBounds(v, bounds_.top, bounds_.width, bounds_.height); }
  void SetTop(int v) { SetBounds(bounds_.left, v, bounds_.width, bounds_.height); }
  void SetWidth(int v) { SetBounds(bounds_.left, bounds_.top, v, bounds_.height); }
  void SetHeight(int v) { SetBounds(bounds_.left, bounds_.top, bounds_.width, v); }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Enabled here and in every container above.
  bool EffectivelyEnabled() const;
  // Enabled here and in every container above apart from the form: a disabled form takes
  // no input, but its controls keep their look.
  bool EnabledInForm() const;
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible here and in every container above (the form itself not counted).
  bool Showing() const;

  // The font: its own once set, otherwise the parent's.
  const Font& GetFont() const;
  void SetFont(const Font& font);
  bool ParentFont() const { return parentFont_; }
  void SetFontColor(Color color);
  Color GetColor() const { return color_; }
  void SetColor(Color color);

  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool tabStop) { tabStop_ = tabStop; }

  // Caption of buttons, labels, groups; text of edits.
  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  const std::string& Caption() const { return text_; }
  void SetCaption(const std::string& text) { SetText(text); }

  void SetFocus();
  bool Focused() const;

  // The window of this control as an integer, 0 while there is none.
  std::uintptr_t Handle() const;
  ControlPeer* Peer() const { return peer_.get(); }

  // Backend side: called with the state already updated, to push it to the window.
  void Changed(Aspect aspect, int index = -1);
  // Backend side: user actions that arrive as notifications.
  virtual void NotifyTextEdited(const std::string& text);
  virtual void NotifyExit();
  // Calls the visitor's overload for this kind of control (how a backend picks its peer).
  virtual void Accept(ControlVisitor& visitor) = 0;

 protected:
  Control(Container* parent, std::string name);
  // Runs when the text changed by any means.
  virtual void TextChanged() {}
  // Runs after the visible state changed and reached the window.
  virtual void VisibilityChanged() {}
  void FontChangedInParent();

 private:
  friend class Container;
  friend class Form;
  std::string name_;
  Container* parent_;
  Rect bounds_;
  bool enabled_ = true;
  bool visible_ = true;
  bool parentFont_ = true;
  bool tabStop_ = true;
  Font font_;
  Color color_ = clDefault;
  int tag_ = 0;
  std::string text_;
  std::unique_ptr<ControlPeer> peer_;
};

class Container : public Control {
 public:
  const std::vector<Control*>& Children() const { return children_; }
  // Every control below this one, parents before their children, in creation order.
  void CollectDescendants(std::vector<Control*>& out) const;

 protected:
  using Control::Control;

 private:
  friend class Control;
  std::vector<Control*> children_;
};

class Button : public Control {
 public:
  void Accept(ControlVisitor& visitor) override;
  Button(Container& parent, std::string name) : Control(&parent, std::move(name)) {}
  bool IsDefault() const { return default_; }
  void SetDefault(bool value);
  bool IsCancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int value) { modalResult_ = value; }
  // A press: OnClick, then the form takes the button's modal result when it has one.
  void Click();
  NotifyEvent OnClick;

 private:
  bool default_ = false;
  bool cancel_ = false;
  int modalResult_ = mrNone;
};

class CheckBox : public Control {
 public:
  void Accept(ControlVisitor& visitor) override;
  CheckBox(Container& parent, std::string name) : Control(&parent, std::move(name)) {}
  bool Checked() const { return checked_; }
  // A change fires OnClick, as a press does.
  void SetChecked(bool checked);
  void Click() { SetChecked(!checked_); }
  NotifyEvent OnClick;

 private:
  bool checked_ = false;
};

// Radio buttons with the same parent exclude each other.
class RadioButton : public Control {
 public:
  void Accept(ControlVisitor& visitor) override;
  RadioButton(Container& parent, std::string name) : Control(&parent, std::move(name)) {}
  bool Checked() const { return checked_; }
  // Checking unchecks the siblings and fires OnClick.
  void SetChecked(bool checked);
  void Click() { SetChecked(true); }
  NotifyEvent OnClick;

 private:
  bool checked_ = false;
};

// A group of radio buttons made from a list of captions.
class RadioGroup : public Control {
 public:
  void Accept(ControlVisitor& visitor) override;
  RadioGroup(Container& parent, std::string name) : Control(&parent, std::move(name)) {}
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  int ItemIndex() const { return itemIndex_; }
  // A change fires OnClick.
  void SetItemIndex(int index);
  NotifyEvent OnClick;

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

class Edit : public Control {
 public:
  void Accept(ControlVisitor& visitor) override;
  Edit(Container& parent, std::string name) : Control(&parent, std::move(name)) {}
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  // OnChange fires whenever the text changes, typed or set.
  NotifyEvent OnChange;
  // Focus leaves the field.
  NotifyEvent OnExit;
  void NotifyExit() override;

 protected:
  void TextChanged() override;

 private:
  bool readOnly_ = false;
};

enum class ScrollBars { None, Vertical, Horizontal, Both };

class Memo : public Control {
 public:
  void Accept(ControlVisitor& visitor) override;
  Memo(Container& parent, std::string name);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  ScrollBars GetScrollBars() const { return scrollBars_; }
  void SetScrollBars(ScrollBars value);
  bool Border() const { return border_; }
  void SetBorder(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  // Lines joined by CR LF; a lone LF also ends a line.
  void SetLines(const std::vector<std::string>& lines);
  // Loads the whole file as the text; returns the platform's error code.
  std::uint32_t LoadFromFile(platform::FileApi& files, const std::string& path);
  NotifyEvent OnChange;

 protected:
  void TextChanged() override;

 private:
  bool readOnly_ = false;
  bool border_ = true;
  bool wordWrap_ = true;
  ScrollBars scrollBars_ = ScrollBars::None;
};

enum class Alignment { Left, Center, Right };

class Label : public Control {
 public:
  void Accept(ControlVisitor& visitor) override;
  Label(Container& parent, std::string name);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool AutoSize() const { return autoSize_; }
  // While on, the label takes the size of its caption in its font.
  void SetAutoSize(bool value);
  Alignment GetAlignment() const { return alignment_; }
  void SetAlignment(Alignment value);
  void SetBold(bool bold);
  void SetItalic(bool italic);

 protected:
  void TextChanged() override;

 private:
  void Fit();
  bool wordWrap_ = false;
  bool transparent_ = false;
  bool autoSize_ = true;
  Alignment alignment_ = Alignment::Left;
};

class GroupBox : public Container {
 public:
  void Accept(ControlVisitor& visitor) override;
  GroupBox(Container& parent, std::string name) : Container(&parent, std::move(name)) { SetTabStop(false); }
};

enum class ComboStyle { DropDown, DropDownList };

class ComboBox : public Control {
 public:
  void Accept(ControlVisitor& visitor) override;
  ComboBox(Container& parent, std::string name) : Control(&parent, std::move(name)) {}
  ComboStyle Style() const { return style_; }
  void SetStyle(ComboStyle style);
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  void AddItem(const std::string& item);
  int ItemIndex() const { return itemIndex_; }
  // Choosing an item sets the text to it and fires OnChange.
  void SetItemIndex(int index);
  NotifyEvent OnChange;
  void NotifyTextEdited(const std::string& text) override;

 protected:
  void TextChanged() override;

 private:
  ComboStyle style_ = ComboStyle::DropDown;
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

class ListBox : public Control {
 public:
  void Accept(ControlVisitor& visitor) override;
  ListBox(Container& parent, std::string name) : Control(&parent, std::move(name)) {}
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  void AddItem(const std::string& item);
  void SetItem(int index, const std::string& item);
  void DeleteItem(int index);
  void ClearItems();
  int ItemIndex() const { return itemIndex_; }
  // Selection by the program: no event.
  void SetItemIndex(int index);
  // Selection by the user: OnClick.
  void Choose(int index);
  NotifyEvent OnClick;

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

// Arrows that step a number shown in a read-only buddy field, with the locale's
// thousands separator.
class UpDown : public Control {
 public:
  void Accept(ControlVisitor& visitor) override;
  UpDown(Container& parent, std::string name);
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  int Position() const { return position_; }
  // Clamped to the range; writes the buddy's text.
  void SetPosition(int position);
  bool Wrap() const { return wrap_; }
  void SetWrap(bool wrap) { wrap_ = wrap; }
  Edit* Associate() const { return buddy_; }
  void SetAssociate(Edit* buddy);
  // One press of an arrow: +1 up, -1 down; without wrap it stops at the ends.
  void Step(int delta);
  NotifyEvent OnClick;

 private:
  void WriteBuddy();
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  bool wrap_ = false;
  Edit* buddy_ = nullptr;
};

// One row of a list view: caption (first column), sub-items (the other columns) and a
// value of the program's own.
struct ListItem {
  int index = -1;
  std::string caption;
  std::vector<std::string> subItems;
  std::intptr_t data = 0;
};

struct ListColumn {
  std::string caption;
  int width = 50;
};

// A report-style list: rows owned by the control, or virtual rows that OnData produces when
// a row is painted or read.
class ListView : public Control {
 public:
  void Accept(ControlVisitor& visitor) override;
  ListView(Container& parent, std::string name);

  void SetColumns(std::vector<ListColumn> columns);
  const std::vector<ListColumn>& Columns() const { return columns_; }

  // Owned rows.
  int AddItem(const std::string& caption, std::vector<std::string> subItems = {}, std::intptr_t data = 0);
  void SetItemCaption(int index, const std::string& caption);
  void SetSubItem(int index, int subItem, const std::string& text);
  void SetItemData(int index, std::intptr_t data);
  void DeleteItem(int index);
  void ClearItems();

  // Virtual rows: only a count; OnData fills a row on demand.
  bool OwnerData() const { return ownerData_; }
  void SetOwnerData(bool value);
  void SetItemCount(int count);
  int ItemCount() const;

  // The row as shown: the stored row, or OnData's answer for a virtual row.
  ListItem Item(int index);
  // Text of a cell: column 0 is the caption.
  std::string CellText(int index, int column);

  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool value);
  bool ReadOnly() const { return readOnly_; }
  // Not read-only: captions can be edited in place.
  void SetReadOnly(bool value);

  bool Selected(int index) const;
  // Fires OnSelectItem for each row whose state changes; without multi-select, selecting
  // a row first unselects the others.
  void SetSelected(int index, bool selected);
  int ItemIndex() const;
  void SetItemIndex(int index);
  int SelectedCount() const;
  std::vector<int> SelectedIndices() const;
  void ClearSelection();

  // Starts editing a caption in place (the user's F2).
  void EditCaption(int index);
  // The user ends an edit with text: OnEdited may change or refuse it; returns whether
  // the caption now is the new text.
  bool EndCaptionEdit(int index, const std::string& text);

  // Repaints rows first..last (only those visible are drawn).
  void UpdateItems(int first, int last);
  void ScrollTo(int index);
  int TopIndex() const;
  int VisibleRowCount() const;

  // Backend side: runs the draw events for one cell (-1 = the row) and returns its text colour.
  Color DrawCell(int index, int subItem);

  std::function<void(ListView& sender, ListItem& item)> OnData;
  std::function<void(ListView& sender, int index, bool selected)> OnSelectItem;
  std::function<void(ListView& sender, int index, std::string& text, bool& accept)> OnEdited;
  std::function<void(ListView& sender, int index, Color& textColor)> OnCustomDrawItem;
  std::function<void(ListView& sender, int index, int subItem, Color& textColor)> OnCustomDrawSubItem;

 private:
  void SetSelectedState(int index, bool selected);
  std::vector<ListColumn> columns_;
  std::vector<ListItem> items_;
  std::vector<bool> selected_;
  int virtualCount_ = 0;
  bool ownerData_ = false;
  bool multiSelect_ = false;
  bool hideSelection_ = true;
  bool readOnly_ = true;
};

class ProgressBar : public Control {
 public:
  void Accept(ControlVisitor& visitor) override;
  ProgressBar(Container& parent, std::string name) : Control(&parent, std::move(name)) { SetTabStop(false); }
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  int Position() const { return position_; }
  void SetPosition(int position);
  int StepSize() const { return step_; }
  void SetStep(int step) { step_ = step; }
  // Advances by the step; past the maximum it starts again at the minimum, as the
  // common control does.
  void StepIt();

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int step_ = 10;
};

// What a paint handler draws on: rectangles in the painted control's own coordinates,
// clipped to the control, in the display's nearest colour.
class Canvas {
 public:
  virtual ~Canvas() = default;
  // The colour the display really shows for color (a palette or 16-bit screen rounds).
  virtual Color NearestColor(Color color) = 0;
  virtual void FillRect(const Rect& rect, Color color) = 0;
};

enum class Align { None, Client };

// A control without a window of its own, painted on its form's surface by its Paint. A
// repaint is asked for with Invalidate; the backend calls Paint when the form is drawn.
class PaintBox : public Control {
 public:
  void Accept(ControlVisitor& visitor) override;
  PaintBox(Container& parent, std::string name) : Control(&parent, std::move(name)) { SetTabStop(false); }
  Align GetAlign() const { return align_; }
  // Client: the box fills its form's client area and follows its size.
  void SetAlign(Align align);
  void Invalidate() { Changed(Aspect::Redraw); }
  // Draws the box; the default runs OnPaint.
  virtual void Paint(Canvas& canvas);
  std::function<void(PaintBox& sender, Canvas& canvas)> OnPaint;

 private:
  Align align_ = Align::None;
};

constexpr int kApplicationIcon = 0;

class Image : public Control {
 public:
  void Accept(ControlVisitor& visitor) override;
  Image(Container& parent, std::string name) : Control(&parent, std::move(name)) { SetTabStop(false); }
  // An icon resource of the program's module; kApplicationIcon is its main icon, or the
  // system's application icon when the module has none.
  int IconResource() const { return icon_; }
  void SetIconResource(int id);

 private:
  int icon_ = kApplicationIcon;
};

// One overload for each kind of control. A new kind adds its overload here, its Accept,
// and a line in each visitor; a kind left out of a visitor does not compile.
class ControlVisitor {
 public:
  virtual void Visit(Button& control) = 0;
  virtual void Visit(CheckBox& control) = 0;
  virtual void Visit(RadioButton& control) = 0;
  virtual void Visit(RadioGroup& control) = 0;
  virtual void Visit(Edit& control) = 0;
  virtual void Visit(Memo& control) = 0;
  virtual void Visit(Label& control) = 0;
  virtual void Visit(GroupBox& control) = 0;
  virtual void Visit(ComboBox& control) = 0;
  virtual void Visit(ListBox& control) = 0;
  virtual void Visit(UpDown& control) = 0;
  virtual void Visit(ListView& control) = 0;
  virtual void Visit(ProgressBar& control) = 0;
  virtual void Visit(Image& control) = 0;
  virtual void Visit(PaintBox& control) = 0;
  virtual void Visit(Form& control) = 0;

 protected:
  ~ControlVisitor() = default;
};

// "1234567" -> "1,234,567" with the given separator; the sign stays in front.
std::string FormatThousands(long long value, const std::string& separator);

}  // namespace ov::ui
