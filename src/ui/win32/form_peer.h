// The window of a form: a top-level window of the class "OvUiForm" that runs the modal
// loop and hands every notification of its controls to their peers.
#pragma once

#include <windows.h>

#include "ui/backend.h"
#include "ui/form.h"
#include "ui/win32/window.h"

namespace ov::ui::win32 {

class Win32Backend;
class Win32ControlPeer;

inline constexpr char kFormClass[] = "OvUiForm";

class Win32FormPeer : public FormPeer {
 public:
  Win32FormPeer(Win32Backend& backend, Form& form);

  void Update(Aspect aspect, int index) override;
  std::uintptr_t Handle() const override { return reinterpret_cast<std::uintptr_t>(window_.get()); }
  bool HasFocus() const override { return GetFocus() == window_.get(); }
  void RunModal() override;
  void EndModal() override;
  void AbortModal() override { EndModal(); }
  void DisableCloseItem() override;
  void Focus(Control* control) override;

  HWND Hwnd() const { return window_.get(); }
  int NextId() { return nextId_++; }
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  DWORD Style() const;
  DWORD ExStyle() const;
  void Place(bool center);
  Win32ControlPeer* PeerOf(HWND window) const;
  void PaintBoxes();
  bool HasPaintBoxes() const;

  Win32Backend& backend_;
  Form& form_;
  Window window_;
  GdiObject brush_;
  int nextId_ = 1000;
  bool ended_ = true;
};

}  // namespace ov::ui::win32
