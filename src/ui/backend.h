// What a ui backend provides: peers that mirror controls onto windows (or onto nothing),
// the modal loop, pending-message processing, message boxes and text measuring.
// Two backends exist: win32 (real windows) and headless (state only, driven by tests).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/controls.h"

namespace ov::ui {

class Form;

class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  // Pushes one aspect of the control's state (index: a row or item, -1 for all).
  virtual void Update(Aspect aspect, int index) = 0;
  virtual std::uintptr_t Handle() const { return 0; }
  virtual bool HasFocus() const { return false; }
  // List views.
  virtual int TopIndex() const { return 0; }
  virtual int VisibleRowCount() const { return 0; }
  virtual void RedrawRows(int /*first*/, int /*last*/) {}
  virtual void ScrollTo(int /*index*/) {}
  virtual void BeginCaptionEdit(int /*index*/) {}
};

class FormPeer : public ControlPeer {
 public:
  // Shows the form modally and returns once EndModal or AbortModal was called.
  virtual void RunModal() = 0;
  // The modal result is set and the close allowed: leave the modal loop.
  virtual void EndModal() = 0;
  // Leaves the modal loop without a result (a test whose user never closed the form).
  virtual void AbortModal() = 0;
  virtual void DisableCloseItem() = 0;
  virtual void Focus(Control* control) = 0;
};

struct TextSize {
  int width = 0;
  int height = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::unique_ptr<FormPeer> CreateFormPeer(Form& form) = 0;
  virtual std::unique_ptr<ControlPeer> CreatePeer(Control& control) = 0;
  virtual void ProcessMessages() = 0;
  // style is a MessageBox style (MB_*); returns IDOK, IDCANCEL, IDYES or IDNO.
  virtual int ShowMessageBox(std::uintptr_t owner, const std::string& text, const std::string& caption,
                             unsigned style) = 0;
  virtual TextSize MeasureText(const Font& font, const std::string& text) = 0;
  // Runs the program's message loop until the main form is hidden (closed) or the
  // program is asked to quit; the form is shown first.
  virtual void RunMainLoop(Form& main) = 0;
  virtual bool BrowseForFolder(std::uintptr_t owner, const std::string& title, std::string& folder) = 0;
  virtual std::string ThousandsSeparator() = 0;
  // The default system sound (MessageBeep(0)).
  virtual void Beep() = 0;
};

}  // namespace ov::ui
