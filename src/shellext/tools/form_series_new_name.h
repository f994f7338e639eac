// The small dialog that asks which name survives when series (or folders) are combined:
// a drop-down list of the candidates, OK and Cancel.
#pragma once

#include "ui/form.h"

namespace ov::shellext {

class TFormSeriesNewName : public ui::Form {
 public:
  explicit TFormSeriesNewName(ui::Backend& backend);
  ~TFormSeriesNewName() override;

  ui::Label Label1{*this, "Label1"};
  ui::ComboBox NewSeriesName{*this, "NewSeriesName"};
  ui::Button BtnOK{*this, "BtnOK"};
  ui::Button BtnCancel{*this, "BtnCancel"};
};

}  // namespace ov::shellext
