// The demonstration dialog on the backend at hand: every control is laid out inside the
// form, the labels fit their captions, and under Wine (with a folder for the pictures) the
// window is saved as ui-gallery.
#include <gtest/gtest.h>

#include "driver.h"
#include "gallery_form.h"
#include "screen_capture.h"

namespace ov::ui::test {
namespace {

TEST(Gallery, EveryControlLiesInsideItsParentAndLabelsFitTheirCaptions) {
  auto user = MakeDriver();
  TFormGallery form(user->GetBackend());
  user->WhenModal([&](Form&) {
    user->Pump();
    std::vector<Control*> controls;
    form.CollectDescendants(controls);
    EXPECT_EQ(controls.size(), 25u);
    for (Control* control : controls) {
      const int parentWidth = control->Parent() == &form ? form.ClientWidth() : control->Parent()->Width();
      const int parentHeight = control->Parent() == &form ? form.ClientHeight() : control->Parent()->Height();
      EXPECT_GT(control->Width(), 0) << control->Name();
      EXPECT_GT(control->Height(), 0) << control->Name();
      EXPECT_LE(control->Left() + control->Width(), parentWidth) << control->Name() << " runs past the right edge";
      EXPECT_LE(control->Top() + control->Height(), parentHeight) << control->Name() << " runs past the bottom";
      EXPECT_TRUE(user->ShownVisible(*control)) << control->Name();
    }
    // An auto-sized label is as large as its caption in its own font, and as shown its text
    // fits the label (under Wine measured on the label's window with the font it was given).
    const TextSize red = form.GetBackend().MeasureText(form.LbAlreadyExists.GetFont(), form.LbAlreadyExists.Caption());
    EXPECT_EQ(form.LbAlreadyExists.Width(), red.width);
    EXPECT_LE(user->ShownTextWidth(form.LbAlreadyExists), form.LbAlreadyExists.Width());
    EXPECT_EQ(user->DrawnTextColor(form.FileListView, 1, 1), clRed);
    EXPECT_EQ(user->DrawnTextColor(form.FileListView, 2, 1), clBlue);
    if (CanCapture()) {
      EXPECT_TRUE(CaptureForm(form, "ui-gallery"));
    }
    user->Click(form.BtnCancel);
  });
  EXPECT_EQ(form.ShowModal(), mrCancel);
}

}  // namespace
}  // namespace ov::ui::test
