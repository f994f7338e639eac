// The portable life of a form: creation, the modal result and the closing rules.
#include "ui/form.h"

#include "ui/backend.h"

namespace ov::ui {

Form::Form(Backend& backend, std::string name) : Container(nullptr, std::move(name)), backend_(backend) {
  // A form starts hidden; its controls start visible.
  SetVisible(false);
}

Form::~Form() {
  // The controls (members of the derived form) are gone by now; only the window remains.
  peer_.reset();
}

void Form::Accept(ControlVisitor& visitor) { visitor.Visit(*this); }

FormPeer* Form::PeerOfForm() const { return static_cast<FormPeer*>(Peer()); }

bool Form::HandleAllocated() const { return Peer() != nullptr; }

void Form::CreateHandle() {
  if (HandleAllocated() || destroyed_) return;
  peer_ = backend_.CreateFormPeer(*this);
  std::vector<Control*> controls;
  CollectDescendants(controls);
  for (Control* control : controls) {
    if (!control->peer_) control->peer_ = backend_.CreatePeer(*control);
  }
  if (closeItemDisabled_) PeerOfForm()->DisableCloseItem();
  if (icon_ >= 0) PeerOfForm()->Update(Aspect::Icon, -1);
  if (OnCreate) OnCreate(*this);
}

void Form::SetClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  AlignClientBoxes();
  Changed(Aspect::Bounds);
}

void Form::AlignClientBoxes() {
  for (Control* child : Children()) {
    auto* box = dynamic_cast<PaintBox*>(child);
    if (box != nullptr && box->GetAlign() == Align::Client) box->SetBounds(0, 0, clientWidth_, clientHeight_);
  }
}

void Form::SetOwnerHandle(std::uintptr_t owner) {
  owner_ = owner;
  Changed(Aspect::Owner);
}

void Form::SetWindowState(WindowState state) {
  if (state_ == state) return;
  state_ = state;
  Changed(Aspect::WindowState);
}

void Form::RunAsMainForm() { backend_.RunMainLoop(*this); }

void Form::VisibilityChanged() {
  if (Visible() && !shownOnce_ && !modal_) {
    shownOnce_ = true;
    if (OnResize) OnResize(*this);
  }
}

bool Form::BrowseForFolder(const std::string& title, std::string& folder) {
  return backend_.BrowseForFolder(Handle(), title, folder);
}

void Form::SetIconResource(int id) {
  icon_ = id;
  Changed(Aspect::Icon);
}

int Form::ShowModal() {
  if (modal_) return mrNone;
  CreateHandle();
  modalResult_ = mrNone;
  if (active_ == nullptr) active_ = FirstFocusable();
  modal_ = true;
  // Visible while modal; the peer shows the window itself inside RunModal.
  Control::visible_ = true;
  PeerOfForm()->RunModal();
  modal_ = false;
  Control::visible_ = false;
  return modalResult_;
}

bool Form::CloseQueryAllows() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(*this, canClose);
  return canClose;
}

void Form::FinishClose() {
  if (OnClose) OnClose(*this);
}

void Form::SetModalResult(int result) {
  if (!modal_ || result == mrNone) {
    modalResult_ = result;
    return;
  }
  if (!CloseQueryAllows()) {
    modalResult_ = mrNone;
    return;
  }
  modalResult_ = result;
  FinishClose();
  PeerOfForm()->EndModal();
}

void Form::Close() {
  if (modal_) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQueryAllows()) return;
  FinishClose();
  Hide();
}

void Form::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  if (OnDestroy) OnDestroy(*this);
  std::vector<Control*> controls;
  CollectDescendants(controls);
  for (auto it = controls.rbegin(); it != controls.rend(); ++it) (*it)->peer_.reset();
  peer_.reset();
}

void Form::DisableCloseItem() {
  closeItemDisabled_ = true;
  if (HandleAllocated()) PeerOfForm()->DisableCloseItem();
}

void Form::ProcessMessages() { backend_.ProcessMessages(); }

int Form::ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) {
  return backend_.ShowMessageBox(Handle(), text, caption, style);
}

void Form::FocusControl(Control* control) {
  if (HandleAllocated()) {
    PeerOfForm()->Focus(control);
  } else {
    active_ = control;
  }
}

void Form::NotifyFocus(Control* control) { active_ = control; }

Control* Form::FirstFocusable() const {
  std::vector<Control*> controls;
  CollectDescendants(controls);
  for (Control* control : controls) {
    if (control->TabStop() && control->Showing() && control->EffectivelyEnabled() &&
        dynamic_cast<Container*>(control) == nullptr) {
      return control;
    }
  }
  return nullptr;
}

Button* Form::DefaultButton() const {
  std::vector<Control*> controls;
  CollectDescendants(controls);
  for (Control* control : controls) {
    auto* button = dynamic_cast<Button*>(control);
    if (button != nullptr && button->IsDefault()) return button;
  }
  return nullptr;
}

Button* Form::CancelButton() const {
  std::vector<Control*> controls;
  CollectDescendants(controls);
  for (Control* control : controls) {
    auto* button = dynamic_cast<Button*>(control);
    if (button != nullptr && button->IsCancel()) return button;
  }
  return nullptr;
}

void Form::HandleDialogKey(DialogKey key) {
  Button* target = nullptr;
  if (key == DialogKey::Enter) {
    target = dynamic_cast<Button*>(active_);
    if (target == nullptr) target = DefaultButton();
  } else {
    target = CancelButton();
  }
  if (target != nullptr && target->EffectivelyEnabled() && target->Showing()) {
    FocusControl(target);
    target->Click();
  }
}

void Form::NotifyActivated() {
  ++activations_;
  if (OnActivate) OnActivate(*this);
}

void Form::NotifyResized(int clientWidth, int clientHeight) {
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
  AlignClientBoxes();
  // A window sized while it is being made, before it shows, is not yet resized for the program.
  if ((shownOnce_ || modal_) && Visible() && OnResize) OnResize(*this);
}

}  // namespace ov::ui
