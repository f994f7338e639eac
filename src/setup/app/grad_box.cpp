// The gradient's bands and their painting.
#include "setup/app/grad_box.h"

#include <cmath>

namespace ov::setup {

namespace {

int Channel(ui::Color color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

// Rounds to the nearest integer, halves to the even one.
int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

std::vector<GradBand> GradBands(ui::Color start, ui::Color end, int gradStep, int extent) {
  std::vector<GradBand> bands;
  const int n = gradStep + 1;
  int band = RoundEven(static_cast<double>(extent) / n);
  if (band == 0) band = 1;
  int position = 0;
  ui::Color color = start;
  for (int i = 0; i <= n; ++i) {
    int rgb[3];
    for (int c = 0; c < 3; ++c) {
      const int from = Channel(start, c * 8);
      const int to = Channel(end, c * 8);
      // The difference divided first, then multiplied: the rounding falls as it does there.
      rgb[c] = from + RoundEven(static_cast<double>(to - from) / n * i);
    }
    color = static_cast<ui::Color>(rgb[0] | (rgb[1] << 8) | (rgb[2] << 16));
    bands.push_back(GradBand{position, band, color});
    position += band;
  }
  if (position + band < extent) bands.push_back(GradBand{position, extent - position, color});
  return bands;
}

TGradBox::TGradBox(ui::Container& parent, std::string name) : ui::PaintBox(parent, std::move(name)) {
  SetBounds(0, 0, 128, 128);
}

void TGradBox::Changed() {
  Invalidate();
  if (OnChange) OnChange(*this);
}

void TGradBox::SetStartColor(ui::Color color) {
  startColor_ = color;
  Changed();
}

void TGradBox::SetEndColor(ui::Color color) {
  endColor_ = color;
  Changed();
}

void TGradBox::SetGradStep(std::uint8_t step) {
  gradStep_ = step;
  Changed();
}

void TGradBox::SetDirection(TGradDirection direction) {
  if (direction_ == direction) return;
  direction_ = direction;
  Changed();
}

void TGradBox::Paint(ui::Canvas& canvas) {
  const ui::Color start = canvas.NearestColor(startColor_);
  const ui::Color end = canvas.NearestColor(endColor_);
  const bool vertical = direction_ == gdVertical;
  const int extent = vertical ? Height() : Width();
  for (const GradBand& band : GradBands(start, end, gradStep_, extent)) {
    if (vertical) {
      canvas.FillRect(ui::Rect{0, band.position, Width(), band.length}, band.color);
    } else {
      canvas.FillRect(ui::Rect{band.position, 0, band.length, Height()}, band.color);
    }
  }
}

}  // namespace ov::setup
