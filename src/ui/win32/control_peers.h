// One peer for each kind of control: its window class and styles, the state it pushes
// beyond what every control has, and the notifications it turns into events.
// Buttons and frames: button_peers.cpp; text fields, labels and images: text_peers.cpp;
// lists and ranges: list_peers.cpp.
#pragma once

#include <vector>

#include "ui/win32/control_peer.h"

namespace ov::ui::win32 {

// ---- Buttons and frames ----

class ButtonPeer final : public PeerFor<Button> {
 public:
  using PeerFor::PeerFor;
  bool TakesEnter() const override { return true; }

 protected:
  const char* ClassName() const override { return "BUTTON"; }
  DWORD Style() const override;
  void Push(Aspect aspect, int index) override;
  void Command(HWND from, int code) override;
};

// A button with a check mark that the control holds.
template <class C>
class CheckablePeer : public PeerFor<C> {
 public:
  using PeerFor<C>::PeerFor;

 protected:
  const char* ClassName() const override { return "BUTTON"; }
  void PushState() override { Push(Aspect::Checked, -1); }
  void Push(Aspect aspect, int index) override;
  void Command(HWND from, int code) override;
};

class CheckBoxPeer final : public CheckablePeer<CheckBox> {
 public:
  using CheckablePeer::CheckablePeer;

 protected:
  DWORD Style() const override { return CheckablePeer::Style() | BS_CHECKBOX; }
};

class RadioButtonPeer final : public CheckablePeer<RadioButton> {
 public:
  using CheckablePeer::CheckablePeer;

 protected:
  DWORD Style() const override { return CheckablePeer::Style() | BS_RADIOBUTTON; }
};

// A frame and caption above the controls it holds (created before them).
class GroupBoxPeer final : public PeerFor<GroupBox> {
 public:
  using PeerFor::PeerFor;

 protected:
  const char* ClassName() const override { return "BUTTON"; }
  DWORD Style() const override { return WS_CHILD | BS_GROUPBOX; }
  void Push(Aspect aspect, int index) override;
};

// A frame with one radio button for each item; the buttons are windows of the form too.
class RadioGroupPeer final : public PeerFor<RadioGroup> {
 public:
  using PeerFor::PeerFor;
  bool HasFocus() const override;
  void Focus() override;

 protected:
  const char* ClassName() const override { return "BUTTON"; }
  DWORD Style() const override { return WS_CHILD | BS_GROUPBOX; }
  void CreateParts() override;
  void PushState() override { Push(Aspect::ItemIndex, -1); }
  void Push(Aspect aspect, int index) override;
  void PushBounds() override;
  void Command(HWND from, int code) override;

 private:
  std::vector<Window> radios_;
};

// ---- Text fields, labels, images ----

// An edit window: typed text, focus entering and leaving.
template <class C>
class TextFieldPeer : public PeerFor<C> {
 public:
  using PeerFor<C>::PeerFor;

 protected:
  const char* ClassName() const override { return "EDIT"; }
  void Push(Aspect aspect, int index) override;
  // A read-only field asks with WM_CTLCOLORSTATIC but keeps its own background.
  Color Background(UINT /*message*/) const override { return this->control_.GetColor(); }
  void Command(HWND from, int code) override;
};

class EditPeer final : public TextFieldPeer<Edit> {
 public:
  using TextFieldPeer::TextFieldPeer;

 protected:
  DWORD Style() const override;
  DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
};

class MemoPeer final : public TextFieldPeer<Memo> {
 public:
  using TextFieldPeer::TextFieldPeer;

 protected:
  DWORD Style() const override;
  DWORD ExStyle() const override { return control_.Border() ? WS_EX_CLIENTEDGE : 0; }
  void Push(Aspect aspect, int index) override;
};

class LabelPeer final : public PeerFor<Label> {
 public:
  using PeerFor::PeerFor;

 protected:
  const char* ClassName() const override { return "STATIC"; }
  DWORD Style() const override;
  DWORD ExStyle() const override { return control_.Transparent() ? WS_EX_TRANSPARENT : 0; }
  bool Transparent() const override { return control_.Transparent(); }
  void Push(Aspect aspect, int index) override;

 private:
  // A transparent label draws no background: what lies beneath is drawn again first.
  void RepaintBeneath(const RECT& area);
  RECT shownArea_{};
};

class ImagePeer final : public PeerFor<Image> {
 public:
  using PeerFor::PeerFor;

 protected:
  const char* ClassName() const override { return "STATIC"; }
  DWORD Style() const override { return PeerFor::Style() | SS_ICON; }
  void PushState() override { Push(Aspect::Icon, -1); }
  void Push(Aspect aspect, int index) override;
};

// A paint box has no window: it asks the form's window to repaint its area, and the form
// paints it (Win32FormPeer, WM_PAINT).
class PaintBoxPeer final : public ControlPeer {
 public:
  PaintBoxPeer(PaintBox& box, Win32FormPeer& form);
  ~PaintBoxPeer() override;
  void Update(Aspect aspect, int index) override;

 private:
  void InvalidateArea(const RECT& area);
  RECT Area() const;
  PaintBox& box_;
  Win32FormPeer& form_;
  RECT last_{};
};

// Paints on a device context inside one control's area, clipped to it.
class DcCanvas final : public Canvas {
 public:
  DcCanvas(HDC dc, const RECT& area) : dc_(dc), area_(area) {}
  Color NearestColor(Color color) override;
  void FillRect(const Rect& rect, Color color) override;

 private:
  HDC dc_;
  RECT area_;
};

// ---- Lists and ranges ----

class ComboBoxPeer final : public PeerFor<ComboBox> {
 public:
  using PeerFor::PeerFor;

 protected:
  const char* ClassName() const override { return "COMBOBOX"; }
  DWORD Style() const override;
  int ExtraHeight() const override { return 200; }
  void PushState() override { PushAspects({Aspect::Items, Aspect::ItemIndex}); }
  void Push(Aspect aspect, int index) override;
  void PushText() override;
  void Command(HWND from, int code) override;
};

class ListBoxPeer final : public PeerFor<ListBox> {
 public:
  using PeerFor::PeerFor;

 protected:
  const char* ClassName() const override { return "LISTBOX"; }
  DWORD Style() const override { return PeerFor::Style() | LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT; }
  DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
  void PushState() override { PushAspects({Aspect::Items, Aspect::ItemIndex}); }
  void Push(Aspect aspect, int index) override;
  void Command(HWND from, int code) override;
};

class UpDownPeer final : public PeerFor<UpDown> {
 public:
  using PeerFor::PeerFor;
  bool OnNotify(NMHDR* header, LRESULT& result) override;

 protected:
  const char* ClassName() const override { return UPDOWN_CLASSA; }
  DWORD Style() const override { return PeerFor::Style() | UDS_ARROWKEYS; }
  void PushState() override { PushAspects({Aspect::Range, Aspect::Position}); }
  void Push(Aspect aspect, int index) override;
};

class ProgressBarPeer final : public PeerFor<ProgressBar> {
 public:
  using PeerFor::PeerFor;

 protected:
  const char* ClassName() const override { return PROGRESS_CLASSA; }
  void PushState() override { PushAspects({Aspect::Range, Aspect::Position}); }
  void Push(Aspect aspect, int index) override;
};

// A report-style list whose rows always come from the control (owner data): the window
// keeps only the count and the selection.
class ListViewPeer final : public PeerFor<ListView> {
 public:
  using PeerFor::PeerFor;
  int TopIndex() const override;
  int VisibleRowCount() const override;
  void RedrawRows(int first, int last) override;
  void ScrollTo(int index) override;
  void BeginCaptionEdit(int index) override;
  bool OnNotify(NMHDR* header, LRESULT& result) override;

 protected:
  const char* ClassName() const override { return WC_LISTVIEWA; }
  DWORD Style() const override;
  DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
  void PushState() override;
  void Push(Aspect aspect, int index) override;

 private:
  void PushColumns();
  void PushSelectionAll();
  void CustomDraw(NMLVCUSTOMDRAW& draw, LRESULT& result);
};

}  // namespace ov::ui::win32
