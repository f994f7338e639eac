// The backend with real windows: forms are top-level windows of the class "OvUiForm", the
// controls are the standard and common controls, created with the ANSI functions. State is
// pushed to the windows as it changes; notifications come back as the controls' events.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ui/backend.h"
#include "ui/form.h"

namespace ov::ui::win32 {

class Win32Backend : public Backend {
 public:
  Win32Backend();
  ~Win32Backend() override;
  Win32Backend(const Win32Backend&) = delete;
  Win32Backend& operator=(const Win32Backend&) = delete;

  std::unique_ptr<FormPeer> CreateFormPeer(Form& form) override;
  std::unique_ptr<ControlPeer> CreatePeer(Control& control) override;
  void ProcessMessages() override;
  int ShowMessageBox(std::uintptr_t owner, const std::string& text, const std::string& caption,
                     unsigned style) override;
  TextSize MeasureText(const Font& font, const std::string& text) override;
  std::string ThousandsSeparator() override;
  void Beep() override;
  void RunMainLoop(Form& main) override;
  bool BrowseForFolder(std::uintptr_t owner, const std::string& title, std::string& folder) override;

  // Called from inside every modal loop, through a message posted once the form is shown
  // and active: a place from which a test host can act on the modal form on its own thread.
  using ModalHook = std::function<void(Form& form)>;
  void SetModalHook(ModalHook hook) { hook_ = std::move(hook); }
  const ModalHook& CurrentModalHook() const { return hook_; }

  // Dispatches one message, giving the dialog manager (Tab, Enter, Esc) its turn first.
  static void Dispatch(void* msg);

 private:
  ModalHook hook_;
};

}  // namespace ov::ui::win32
