// A demonstration dialog with every kind of control, Japanese captions and red and blue
// texts, in the fonts the product's dialogs use. Captured under Wine as ui-gallery.png.
#pragma once

#include <string>

#include "ui/form.h"

namespace ov::ui::test {

class TFormGallery : public Form {
 public:
  explicit TFormGallery(Backend& backend) : Form(backend, "FormGallery") {
    SetCaption("コントロール一覧");
    SetClientSize(560, 440);
    SetPosition(FormPosition::DesktopCenter);
    SetBorder(BorderStyle::Dialog);

    Memo1.SetBounds(8, 8, 260, 52);
    Memo1.SetLines({"ファイルの名前を連番に変更します。", "二行目のテキスト", "三行目", "四行目", "五行目"});
    Memo1.SetReadOnly(true);
    Memo1.SetScrollBars(ScrollBars::Vertical);
    Memo1.SetColor(clWhite);

    Font title;
    title.face = "Times New Roman";
    title.pixels = 15;
    title.italic = true;
    title.charset = kDefaultCharset;
    title.color = clBlue;
    lblTitleA2.SetFont(title);
    lblTitleA2.SetCaption("Ondaro! Setup 200x");
    lblTitleA2.SetLeft(280);
    lblTitleA2.SetTop(8);
    imgTitle1.SetBounds(512, 8, 32, 32);

    LbAlreadyExists.SetLeft(280);
    LbAlreadyExists.SetTop(32);
    LbAlreadyExists.SetFontColor(clRed);
    LbAlreadyExists.SetBold(true);
    LbAlreadyExists.SetCaption("赤字のファイルはすでに存在します");

    Label1.SetLeft(8);
    Label1.SetTop(72);
    Label1.SetCaption("基底ファイル名");
    EditBaseName.SetBounds(96, 68, 172, 21);
    EditBaseName.SetText("画像");

    FileListView.SetBounds(8, 98, 260, 120);
    FileListView.SetColumns({{"元のファイル名", 125}, {"新しいファイル名", 125}});
    FileListView.SetHideSelection(false);
    FileListView.AddItem("a.png", {"img09.png"});
    FileListView.AddItem("b.JPG", {"img10.JPG"});
    FileListView.AddItem("既存.txt", {"img11.txt"});
    FileListView.SetItemIndex(0);
    FileListView.OnCustomDrawSubItem = [](ListView&, int index, int subItem, Color& color) {
      if (index == 1 && subItem == 1) color = clRed;
      if (index == 2 && subItem == 1) color = clBlue;
    };

    GroupBox1.SetBounds(280, 64, 272, 154);
    GroupBox1.SetCaption("オプション");
    ChkChangeExt.SetBounds(12, 20, 110, 17);
    ChkChangeExt.SetCaption("拡張子を変更");
    ChkChangeExt.SetChecked(true);
    NewExtension.SetBounds(128, 18, 130, 21);
    NewExtension.SetItems({".jpg", ".png", ".txt"});
    NewExtension.SetItemIndex(0);
    Label2.SetLeft(12);
    Label2.SetTop(50);
    Label2.SetCaption("開始番号");
    FEditStart.SetBounds(128, 46, 110, 21);
    FEditStart.SetReadOnly(true);
    EditStart.SetBounds(238, 46, 17, 21);
    EditStart.SetRange(1, 32767);
    EditStart.SetAssociate(&FEditStart);
    EditStart.SetPosition(1234);
    ChkLowerCase.SetBounds(12, 76, 200, 17);
    ChkLowerCase.SetCaption("小文字に統一する");
    RbAllOf.SetBounds(12, 100, 80, 17);
    RbAllOf.SetCaption("すべて");
    RbAllOf.SetChecked(true);
    RbOneOf.SetBounds(100, 100, 100, 17);
    RbOneOf.SetCaption("どれか一つ");
    NewSeriesName.SetBounds(12, 126, 246, 21);
    NewSeriesName.SetStyle(ComboStyle::DropDownList);
    NewSeriesName.SetItems({"シリーズＡ", "シリーズＢ"});
    NewSeriesName.SetItemIndex(0);

    RemoveNumbers.SetBounds(8, 226, 260, 84);
    RemoveNumbers.SetCaption("ファイル名からの数字の除去");
    RemoveNumbers.SetItems({"-000 ハイフンつき数字", "(000) カッコつき数字", "[000] 角カッコつき数字"});
    RemoveNumbers.SetItemIndex(1);

    StrList.SetBounds(280, 226, 272, 84);
    StrList.SetItems({"条件の文字列", "正規表現 ^IMG_[0-9]+$", "サイズ 1KB"});
    StrList.SetItemIndex(1);

    lblStatus.SetLeft(8);
    lblStatus.SetTop(322);
    lblStatus.SetCaption("進行状況 40%(2/5)");
    prgStatus.SetBounds(130, 320, 422, 17);
    prgStatus.SetRange(0, 100);
    prgStatus.SetPosition(40);

    lblMessage.SetBounds(8, 346, 544, 44);
    lblMessage.SetAutoSize(false);
    lblMessage.SetWordWrap(true);
    lblMessage.SetCaption(
        "ここで処理を中断すると、すでにコピー済みのファイルなどは削除されません。"
        "一度、処理を完了してから、アンインストールすることをおすすめします。");

    btnRefer.SetBounds(8, 404, 100, 25);
    btnRefer.SetCaption("参照(&R)");
    BtnOK.SetBounds(360, 404, 90, 25);
    BtnOK.SetCaption("実行");
    BtnOK.SetDefault(true);
    BtnOK.SetModalResult(mrOk);
    BtnCancel.SetBounds(460, 404, 90, 25);
    BtnCancel.SetCaption("Cancel");
    BtnCancel.SetCancel(true);
    BtnCancel.SetModalResult(mrCancel);
  }

  Memo Memo1{*this, "Memo1"};
  Label lblTitleA2{*this, "lblTitleA2"};
  Image imgTitle1{*this, "imgTitle1"};
  Label LbAlreadyExists{*this, "LbAlreadyExists"};
  Label Label1{*this, "Label1"};
  Edit EditBaseName{*this, "EditBaseName"};
  ListView FileListView{*this, "FileListView"};
  GroupBox GroupBox1{*this, "GroupBox1"};
  CheckBox ChkChangeExt{GroupBox1, "ChkChangeExt"};
  ComboBox NewExtension{GroupBox1, "NewExtension"};
  Label Label2{GroupBox1, "Label2"};
  Edit FEditStart{GroupBox1, "FEditStart"};
  UpDown EditStart{GroupBox1, "EditStart"};
  CheckBox ChkLowerCase{GroupBox1, "ChkLowerCase"};
  RadioButton RbAllOf{GroupBox1, "RbAllOf"};
  RadioButton RbOneOf{GroupBox1, "RbOneOf"};
  ComboBox NewSeriesName{GroupBox1, "NewSeriesName"};
  RadioGroup RemoveNumbers{*this, "RemoveNumbers"};
  ListBox StrList{*this, "StrList"};
  Label lblStatus{*this, "lblStatus"};
  ProgressBar prgStatus{*this, "prgStatus"};
  Label lblMessage{*this, "lblMessage"};
  Button btnRefer{*this, "btnRefer"};
  Button BtnOK{*this, "BtnOK"};
  Button BtnCancel{*this, "BtnCancel"};
};

}  // namespace ov::ui::test
