// A form: a top-level window holding controls, shown modeless or modal. A dialog class
// derives from Form, declares its controls as members and wires their events to its own
// handlers. The window is created on the first Show or ShowModal and lives until the
// form is destroyed, so a form can be hidden and shown again.
#pragma once

#include <cstdint>
#include <string>

#include "ui/controls.h"

namespace ov::ui {

class FormPeer;

enum class BorderStyle { Dialog, Single };
enum class BorderIcons { SystemMenu, None };
enum class FormPosition { Designed, DesktopCenter, ScreenCenter };
enum class WindowState { Normal, Maximized };

// MessageBox styles and answers.
constexpr unsigned kMbOk = 0x00;
constexpr unsigned kMbOkCancel = 0x01;
constexpr unsigned kMbYesNo = 0x04;
constexpr unsigned kMbIconStop = 0x10;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconExclamation = 0x30;
constexpr unsigned kMbIconInformation = 0x40;

enum class DialogKey { Enter, Escape };

class Form : public Container {
 public:
  Form(Backend& backend, std::string name);
  ~Form() override;

  Backend& GetBackend() const { return backend_; }
  void Accept(ControlVisitor& visitor) override;

  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  void SetClientSize(int width, int height);

  BorderStyle Border() const { return border_; }
  void SetBorder(BorderStyle value) { border_ = value; }
  BorderIcons Icons() const { return icons_; }
  void SetIcons(BorderIcons value) { icons_ = value; }
  FormPosition Position() const { return position_; }
  void SetPosition(FormPosition value) { position_ = value; }
  // The window that owns the form (the Explorer window that invoked a command); 0 for
  // the active window of the program.
  std::uintptr_t OwnerHandle() const { return owner_; }
  void SetOwnerHandle(std::uintptr_t owner);
  WindowState State() const { return state_; }
  void SetWindowState(WindowState state);

  // Shows the form as the program's main window and runs the message loop until the form
  // is closed (hidden).
  void RunAsMainForm();
  // Shows the form modally and returns its modal result (mrOk, mrCancel ...). The form may
  // be hidden and shown again while modal; its loop runs on.
  int ShowModal();
  bool IsModal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  // While modal, a result other than mrNone asks OnCloseQuery and, if allowed, closes the
  // form; a refused close leaves the result at mrNone.
  void SetModalResult(int result);
  // Asks OnCloseQuery, then fires OnClose and hides the form (a modal form ends with mrCancel).
  void Close();
  // Fires OnDestroy (once) and destroys the window. A form whose OnDestroy handler uses its
  // members calls this from its own destructor; ~Form only destroys the window.
  void Destroy();

  // Creates the window without showing it; OnCreate fires then.
  void CreateHandle();
  bool HandleAllocated() const;

  // Greys the Close item of the system menu.
  void DisableCloseItem();
  bool CloseItemDisabled() const { return closeItemDisabled_; }

  // How many times the form became active; 1 during the first activation.
  int ActivationCount() const { return activations_; }

  // Lets pending window messages run (or, without windows, the scripted user act).
  void ProcessMessages();
  // A message box owned by this form; returns the button pressed (mrOk, mrYes ...).
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style);
  // The shell's folder browser owned by this form, starting at folder; true and the chosen
  // folder in folder when the user confirms a file-system folder.
  bool BrowseForFolder(const std::string& title, std::string& folder);
  // The icon of the program's windows: an icon resource of the program (kApplicationIcon
  // for its main icon).
  void SetIconResource(int id);
  int IconResource() const { return icon_; }

  Control* ActiveControl() const { return active_; }
  void FocusControl(Control* control);

  // The first control in creation order that can take the focus.
  Control* FirstFocusable() const;
  Button* DefaultButton() const;
  Button* CancelButton() const;
  // Enter or Esc as the dialog manager handles them: Enter presses the focused button or
  // else the default button, Esc the cancel button.
  void HandleDialogKey(DialogKey key);

  FormPeer* PeerOfForm() const;

  NotifyEvent OnCreate;
  NotifyEvent OnActivate;
  std::function<void(Form& sender, bool& canClose)> OnCloseQuery;
  NotifyEvent OnClose;
  NotifyEvent OnDestroy;
  NotifyEvent OnResize;

  // Backend side.
  void NotifyActivated();
  void NotifyResized(int clientWidth, int clientHeight);
  void NotifyFocus(Control* control);
  void NotifyCloseRequest() { Close(); }

 protected:
  // The first time the form is shown counts as a resize: it now has its size on screen.
  void VisibilityChanged() override;

 private:
  bool CloseQueryAllows();
  void AlignClientBoxes();
  void FinishClose();

  Backend& backend_;
  int clientWidth_ = 300;
  int clientHeight_ = 200;
  BorderStyle border_ = BorderStyle::Dialog;
  BorderIcons icons_ = BorderIcons::SystemMenu;
  FormPosition position_ = FormPosition::Designed;
  WindowState state_ = WindowState::Normal;
  std::uintptr_t owner_ = 0;
  bool modal_ = false;
  int modalResult_ = mrNone;
  bool closeItemDisabled_ = false;
  bool destroyed_ = false;
  int activations_ = 0;
  bool shownOnce_ = false;
  int icon_ = -1;
  Control* active_ = nullptr;
};

}  // namespace ov::ui
