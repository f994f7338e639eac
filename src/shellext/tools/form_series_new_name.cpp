#include "shellext/tools/form_series_new_name.h"

namespace ov::shellext {

TFormSeriesNewName::TFormSeriesNewName(ui::Backend& backend) : Form(backend, "FormSeriesNewName") {
  SetCaption("新しいフォルダ名の選択");
  SetClientSize(231, 67);
  SetBorder(ui::BorderStyle::Dialog);
  SetIcons(ui::BorderIcons::SystemMenu);
  SetPosition(ui::FormPosition::DesktopCenter);
  SetFont(ui::Font{});  // ＭＳ Ｐゴシック, 9 points

  Label1.SetLeft(4);
  Label1.SetTop(6);
  Label1.SetCaption("まとめた後のフォルダ名を選択して下さい");
  NewSeriesName.SetBounds(8, 20, 215, 20);
  NewSeriesName.SetStyle(ui::ComboStyle::DropDownList);

  BtnOK.SetBounds(59, 43, 80, 22);
  BtnOK.SetCaption("OK");
  BtnOK.SetDefault(true);
  BtnOK.SetModalResult(ui::mrOk);
  BtnCancel.SetBounds(143, 43, 80, 22);
  BtnCancel.SetCaption("Cancel");
  BtnCancel.SetCancel(true);
  BtnCancel.SetModalResult(ui::mrCancel);
}

TFormSeriesNewName::~TFormSeriesNewName() { Destroy(); }

}  // namespace ov::shellext
