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
  switch (control_.GetAlignment()) {
    case Alignment::Center: return PeerFor::Style() | SS_CENTER;
    case Alignment::Right: return PeerFor::Style() | SS_RIGHT;
    case Alignment::Left: break;
  }
  return PeerFor::Style() | (control_.WordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP);
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
