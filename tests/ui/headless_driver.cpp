// The user of the interaction suite on the headless backend: acts on control state and lets
// the events fire; what it "sees" is the state itself.
#include <gtest/gtest.h>

#include <deque>

#include "driver.h"
#include "ui/headless/headless_backend.h"

namespace ov::ui::test {

namespace {

bool Usable(Control& control) { return control.EffectivelyEnabled() && control.Showing(); }

class HeadlessDriver : public UserDriver {
 public:
  HeadlessDriver() {
    backend_.SetModalHandler([this](Form& form) {
      if (scripts_.empty()) {
        ADD_FAILURE() << "form " << form.Name() << " shown modally with no user script";
        return;
      }
      auto script = std::move(scripts_.front());
      scripts_.pop_front();
      script(form);
      if (form.IsModal() && form.ModalResult() == mrNone) {
        ADD_FAILURE() << "form " << form.Name() << " still open after its user script";
      }
    });
  }

  Backend& GetBackend() override { return backend_; }
  void WhenModal(std::function<void(Form&)> script) override { scripts_.push_back(std::move(script)); }

  void Click(Control& control) override {
    if (!Usable(control)) return;
    control.SetFocus();
    if (auto* button = dynamic_cast<Button*>(&control)) button->Click();
    if (auto* check = dynamic_cast<CheckBox*>(&control)) check->Click();
    if (auto* radio = dynamic_cast<RadioButton*>(&control)) radio->Click();
  }
  void ClickRadioItem(RadioGroup& group, int item) override {
    if (!Usable(group)) return;
    group.SetFocus();
    group.SetItemIndex(item);
  }
  void Type(Control& control, const std::string& text) override {
    if (!Usable(control)) return;
    control.NotifyTextEdited(text);
  }
  void Focus(Control& control) override { control.SetFocus(); }
  void PressEnter(Form& form) override { form.HandleDialogKey(DialogKey::Enter); }
  void PressEscape(Form& form) override { form.HandleDialogKey(DialogKey::Escape); }
  void CloseBox(Form& form) override { form.NotifyCloseRequest(); }
  void Choose(ComboBox& combo, int item) override {
    if (Usable(combo)) combo.SetItemIndex(item);
  }
  void Choose(ListBox& list, int item) override {
    if (Usable(list)) list.Choose(item);
  }
  void SetRowSelected(ListView& list, int row, bool selected) override {
    if (Usable(list)) list.SetSelected(row, selected);
  }
  void EditCaption(ListView& list, int row, const std::string& text) override {
    if (!Usable(list) || list.ReadOnly()) return;
    list.SetFocus();
    list.EndCaptionEdit(row, text);
  }
  void ClickArrow(UpDown& upDown, int delta) override {
    if (Usable(upDown)) upDown.Step(delta);
  }
  void Pump() override { backend_.ProcessMessages(); }

  std::string ShownText(Control& control) override { return control.Text(); }
  bool ShownChecked(Control& control) override {
    if (auto* check = dynamic_cast<CheckBox*>(&control)) return check->Checked();
    if (auto* radio = dynamic_cast<RadioButton*>(&control)) return radio->Checked();
    return false;
  }
  bool ShownEnabled(Control& control) override { return control.EffectivelyEnabled(); }
  bool ShownVisible(Control& control) override { return control.Showing() && control.OwnerForm().Visible(); }
  int ShownTextWidth(Control& control) override {
    return backend_.MeasureText(control.GetFont(), control.Text()).width;
  }
  int ShownItemIndex(Control& control) override {
    if (auto* combo = dynamic_cast<ComboBox*>(&control)) return combo->ItemIndex();
    if (auto* list = dynamic_cast<ListBox*>(&control)) return list->ItemIndex();
    if (auto* group = dynamic_cast<RadioGroup*>(&control)) return group->ItemIndex();
    return -1;
  }
  int ShownPosition(Control& control) override {
    if (auto* upDown = dynamic_cast<UpDown*>(&control)) return upDown->Position();
    if (auto* bar = dynamic_cast<ProgressBar*>(&control)) return bar->Position();
    return -1;
  }
  bool ShownSelected(ListView& list, int row) override { return list.Selected(row); }
  bool ShownCloseItemEnabled(Form& form) override { return !form.CloseItemDisabled(); }
  std::string ShownCell(ListView& list, int row, int column) override { return list.CellText(row, column); }
  Color DrawnTextColor(ListView& list, int row, int subItem) override {
    // The item stage always runs first, as in a real paint.
    const Color rowColor = list.DrawCell(row, -1);
    return subItem < 0 ? rowColor : list.DrawCell(row, subItem);
  }

  Rect ShownBounds(Control& control) override {
    Rect at = control.Bounds();
    for (const Control* c = control.Parent(); c != nullptr && c->Parent() != nullptr; c = c->Parent()) {
      at.left += c->Left();
      at.top += c->Top();
    }
    return at;
  }
  Font ShownFont(Control& control) override { return control.GetFont(); }
  Color ShownBackground(Control& control) override { return control.GetColor(); }
  Color PaintedPixel(Form& form, int x, int y) override { return backend_.PaintForm(form).At(x, y); }
  void AnswerNextFolderBrowser(bool confirm) override {
    // The empty answer confirms the start folder as the browser shows it.
    backend_.QueueFolderAnswer(confirm ? std::optional<std::string>("") : std::nullopt);
  }

  void AnswerNextBox(int answer) override { backend_.QueueAnswer(answer); }
  std::vector<BoxSeen> Boxes() override {
    std::vector<BoxSeen> out;
    for (const auto& box : backend_.MessageBoxes()) out.push_back(BoxSeen{box.text, box.caption, box.style});
    return out;
  }

 private:
  headless::HeadlessBackend backend_;
  std::deque<std::function<void(Form&)>> scripts_;
};

}  // namespace

std::unique_ptr<UserDriver> MakeDriver() { return std::make_unique<HeadlessDriver>(); }

}  // namespace ov::ui::test
