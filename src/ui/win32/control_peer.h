// The window of one control. The base owns the window and pushes what every control has
// (bounds, enabled, visible, text, font, colours, restyling); each kind of control has a
// peer of its own (control_peers.h) that knows its window class and styles, pushes its own
// state and turns its own notifications into the control's events.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>

#include "ui/backend.h"
#include "ui/controls.h"
#include "ui/win32/window.h"

namespace ov::ui::win32 {

class Win32FormPeer;

class Win32ControlPeer : public ControlPeer {
 public:
  Win32ControlPeer(Control& control, Win32FormPeer& form);
  Win32ControlPeer(const Win32ControlPeer&) = delete;
  Win32ControlPeer& operator=(const Win32ControlPeer&) = delete;

  // Makes the window and pushes the whole state (not in the constructor: it asks the
  // kind's own peer for its class and styles).
  void Create();

  void Update(Aspect aspect, int index) final;
  std::uintptr_t Handle() const override { return reinterpret_cast<std::uintptr_t>(window_.get()); }
  bool HasFocus() const override;

  // From the form's window procedure.
  void OnCommand(HWND from, int code);
  virtual bool OnNotify(NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
  HBRUSH OnCtlColor(UINT message, HDC dc, WPARAM wParam, LPARAM lParam);
  virtual void Focus();
  // A push button: Enter presses it while it has the focus.
  virtual bool TakesEnter() const { return false; }

  Control& Target() const { return target_; }
  HWND Hwnd() const { return window_.get(); }

 protected:
  virtual const char* ClassName() const = 0;
  // As in a dialog: no sibling clipping; a kind adds its own styles.
  virtual DWORD Style() const;
  virtual DWORD ExStyle() const { return 0; }
  // Added to the window's height (the list of a drop-down combo box).
  virtual int ExtraHeight() const { return 0; }
  // Windows of the control beside its own (the buttons of a radio group).
  virtual void CreateParts() {}
  // The kind's own state, pushed once after the window is made.
  virtual void PushState() {}
  // Pushes one aspect; a kind handles its own aspects and leaves the rest to the base.
  virtual void Push(Aspect aspect, int index);
  virtual void PushBounds();
  virtual void PushText();
  // The background to paint behind the control's text; clDefault lets the system choose.
  virtual Color Background(UINT message) const;
  virtual bool Transparent() const { return false; }
  // A notification the control turns into its events (never one caused by a push).
  virtual void Command(HWND /*from*/, int /*code*/) {}

  // Destroys the window and makes it again from the whole state (styles that a window
  // takes only at creation).
  void Recreate();
  void PushAspects(std::initializer_list<Aspect> aspects) {
    for (Aspect aspect : aspects) Push(aspect, -1);
  }
  // Sets a new style on the existing window.
  void Restyle();
  bool Pushing() const { return pushing_; }
  bool Creating() const { return creating_; }
  HFONT FontHandle() const { return static_cast<HFONT>(font_.get()); }
  Win32FormPeer& FormPeerOf() const { return form_; }
  // Position in the form's client area.
  POINT Origin() const;

 private:
  void PushAll();

  Control& target_;
  Win32FormPeer& form_;
  Window window_;
  GdiObject font_;
  GdiObject brush_;
  COLORREF brushColor_ = 0;
  int id_ = 0;
  bool pushing_ = false;
  bool creating_ = false;
};

// The base of a kind's peer: the control as its own type.
template <class C>
class PeerFor : public Win32ControlPeer {
 public:
  PeerFor(C& control, Win32FormPeer& form) : Win32ControlPeer(control, form), control_(control) {}

 protected:
  C& control_;
};

// The peer of a control that has a window of this backend, else null.
Win32ControlPeer* PeerOfControl(const Control* control);

}  // namespace ov::ui::win32
