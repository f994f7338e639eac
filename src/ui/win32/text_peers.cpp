// Peers of the text kinds: single-line edits, memos, labels and images.
#include "ui/form.h"
#include "ui/win32/control_peers.h"
#include "ui/win32/form_peer.h"

namespace ov::ui::win32 {

// ---- Edit, memo ----

template <class C>
void TextFieldPeer<C>::Push(Aspect aspect, int index) {
  if (aspect == Aspect::ReadOnly) {
    SendMessageA(this->Hwnd(), EM_SETREADONLY, this->control_.ReadOnly(), 0);
  } else {
    PeerFor<C>::Push(aspect, index);
  }
}

template <class C>
void TextFieldPeer<C>::Command(HWND /*from*/, int code) {
  C& field = this->control_;
  if (code == EN_CHANGE) {
    field.NotifyTextEdited(WindowText(this->Hwnd()));
  } else if (code == EN_SETFOCUS) {
    field.OwnerForm().NotifyFocus(&field);
  } else if (code == EN_KILLFOCUS) {
    // Only a move of the focus inside the form counts as leaving the field.
    if (GetAncestor(GetFocus(), GA_ROOT) == this->FormPeerOf().Hwnd()) field.NotifyExit();
  }
}

template class TextFieldPeer<Edit>;
template class TextFieldPeer<Memo>;

DWORD EditPeer::Style() const {
  return TextFieldPeer::Style() | ES_AUTOHSCROLL | (control_.ReadOnly() ? ES_READONLY : 0);
}

DWORD MemoPeer::Style() const {
  DWORD style = TextFieldPeer::Style() | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL |
                (control_.ReadOnly() ? ES_READONLY : 0);
  const ScrollBars bars = control_.GetScrollBars();
  if (bars == ScrollBars::Vertical || bars == ScrollBars::Both) style |= WS_VSCROLL;
  if (bars == ScrollBars::Horizontal || bars == ScrollBars::Both) style |= WS_HSCROLL;
  if (!control_.WordWrap() || bars == ScrollBars::Horizontal || bars == ScrollBars::Both) style |= ES_AUTOHSCROLL;
  return style;
}

void MemoPeer::Push(Aspect aspect, int index) {
  if (aspect == Aspect::Style) {
    // Scroll bars and borders of an edit are fixed at creation.
    Recreate();
  } else {
    TextFieldPeer::Push(aspect, index);
  }
}

// ---- Label ----

DWORD LabelPeer::Style() const {
  // A centred or right-aligned static always breaks its lines. A label one line high that
  // does not wrap keeps its one line (cut at its edges, as the text of a label that does
  // not fit) through SS_CENTERIMAGE, which draws a single line centred in that height.
  const Font& font = control_.GetFont();
  const int lineHeight = font.pixels > 0 ? font.pixels : font.points * 4 / 3;
  const bool oneLineHigh = control_.Height() < 2 * lineHeight;
  const DWORD oneLine = !control_.WordWrap() && oneLineHigh ? SS_CENTERIMAGE : 0;
  switch (control_.GetAlignment()) {
    case Alignment::Center: return PeerFor::Style() | SS_CENTER | oneLine;
    case Alignment::Right: return PeerFor::Style() | SS_RIGHT | oneLine;
    case Alignment::Left: break;
  }
  return PeerFor::Style() | (control_.WordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP);
}

void LabelPeer::RepaintBeneath(const RECT& area) {
  RedrawWindow(FormPeerOf().Hwnd(), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void LabelPeer::Push(Aspect aspect, int index) {
  PeerFor::Push(aspect, index);
  if (!control_.Transparent()) return;
  if (aspect == Aspect::Text || aspect == Aspect::Bounds || aspect == Aspect::Visible || aspect == Aspect::Font ||
      aspect == Aspect::Style) {
    RepaintBeneath(shownArea_);
    const POINT at = Origin();
    shownArea_ = RECT{at.x, at.y, at.x + control_.Width(), at.y + control_.Height()};
    RepaintBeneath(shownArea_);
  }
}

// ---- Paint box ----

PaintBoxPeer::PaintBoxPeer(PaintBox& box, Win32FormPeer& form) : box_(box), form_(form) {
  last_ = Area();
  InvalidateArea(last_);
}

PaintBoxPeer::~PaintBoxPeer() {
  if (IsWindow(form_.Hwnd())) InvalidateArea(last_);
}

RECT PaintBoxPeer::Area() const {
  POINT at{box_.Left(), box_.Top()};
  for (const Control* c = box_.Parent(); c != nullptr && c->Parent() != nullptr; c = c->Parent()) {
    at.x += c->Left();
    at.y += c->Top();
  }
  return RECT{at.x, at.y, at.x + box_.Width(), at.y + box_.Height()};
}

void PaintBoxPeer::InvalidateArea(const RECT& area) {
  RedrawWindow(form_.Hwnd(), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void PaintBoxPeer::Update(Aspect aspect, int /*index*/) {
  if (aspect != Aspect::Redraw && aspect != Aspect::Bounds && aspect != Aspect::Visible) return;
  InvalidateArea(last_);
  last_ = Area();
  InvalidateArea(last_);
}

Color DcCanvas::NearestColor(Color color) {
  return static_cast<Color>(GetNearestColor(dc_, static_cast<COLORREF>(color & 0xFFFFFF)) & 0xFFFFFF);
}

void DcCanvas::FillRect(const Rect& rect, Color color) {
  RECT wanted{area_.left + rect.left, area_.top + rect.top, area_.left + rect.left + rect.width,
              area_.top + rect.top + rect.height};
  RECT clipped;
  if (!IntersectRect(&clipped, &wanted, &area_)) return;
  GdiObject brush(CreateSolidBrush(static_cast<COLORREF>(NearestColor(color))));
  ::FillRect(dc_, &clipped, static_cast<HBRUSH>(brush.get()));
}

// ---- Image ----

void ImagePeer::Push(Aspect aspect, int index) {
  if (aspect != Aspect::Icon) {
    PeerFor::Push(aspect, index);
    return;
  }
  // Icons loaded by LoadIcon are shared and never destroyed.
  const int id = control_.IconResource() != kApplicationIcon ? control_.IconResource() : 1;
  HICON icon = LoadIconA(ThisModule(), MAKEINTRESOURCEA(id));
  if (icon == nullptr) icon = LoadIconA(nullptr, IDI_APPLICATION);
  SendMessageA(Hwnd(), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

}  // namespace ov::ui::win32
