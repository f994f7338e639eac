// TGradBox: a colour gradient painted on its form in bands, from StartColor at the left or
// top to EndColor at the right or bottom, in GradStep + 1 steps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace ov::setup {

enum TGradDirection { gdHorizontal = 0, gdVertical = 1 };

// One band of a gradient along its extent: from position, band pixels long (the last ones
// may run past the edge and are clipped when painted).
struct GradBand {
  int position = 0;
  int length = 0;
  ui::Color color = 0;
};

// The bands of a gradient of extent pixels between two colours as the display shows them:
// n + 1 bands of extent / n pixels (n = gradStep + 1; rounded, ties to even; at least 1),
// then, when more than a band is left, one band of the end colour up to the edge.
std::vector<GradBand> GradBands(ui::Color start, ui::Color end, int gradStep, int extent);

class TGradBox : public ui::PaintBox {
 public:
  TGradBox(ui::Container& parent, std::string name);

  ui::Color StartColor() const { return startColor_; }
  // Setting a colour or the step always repaints and calls OnChange, also with the same value.
  void SetStartColor(ui::Color color);
  ui::Color EndColor() const { return endColor_; }
  void SetEndColor(ui::Color color);
  std::uint8_t GradStep() const { return gradStep_; }
  void SetGradStep(std::uint8_t step);
  TGradDirection Direction() const { return direction_; }
  // Only a different direction repaints and calls OnChange.
  void SetDirection(TGradDirection direction);
  ui::NotifyEvent OnChange;

  void Paint(ui::Canvas& canvas) override;

 private:
  void Changed();

  ui::Color startColor_ = ui::clWhite;
  ui::Color endColor_ = ui::clBlack;
  std::uint8_t gradStep_ = 128;
  TGradDirection direction_ = gdVertical;
};

}  // namespace ov::setup
