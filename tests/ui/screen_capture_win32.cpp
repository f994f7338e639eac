// Copies a form's window, as the screen or its own surface shows it, into a bitmap file.
#include <windows.h>

#include "screen_area.h"
#include "screen_capture.h"

namespace ov::ui::test {

namespace {

bool Capture(HWND window, const std::string& name, bool fromScreen, bool redraw = true, HWND area = nullptr) {
  if (ScreensFolder() == nullptr || window == nullptr) return false;
  // Other programs share the virtual screen: keep the form above them while copying.
  if (fromScreen) SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // Another process's window repaints later, not inside this call: redrawn here, it would
  // be copied half erased. Its caller lets it paint first.
  if (redraw) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  }
  RECT rect;
  if (area != nullptr) {
    // The client area of the area window, as the screen shows it with the window in front.
    HWND areaWindow = area;
    GetClientRect(areaWindow, &rect);
    MapWindowPoints(areaWindow, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  } else {
    // The client area: without a window manager on the virtual screen the frame is not drawn.
    GetClientRect(window, &rect);
    if (fromScreen) MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  }
  const bool ok = SaveScreenArea(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, name,
                                 fromScreen ? 0 : reinterpret_cast<std::uintptr_t>(window));
  if (fromScreen) SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return ok;
}

}  // namespace

bool CanCapture() { return ScreensFolder() != nullptr; }

bool CaptureForm(Form& form, const std::string& name) {
  return Capture(reinterpret_cast<HWND>(form.Handle()), name, true);
}

bool CaptureFormSurface(Form& form, const std::string& name) {
  return Capture(reinterpret_cast<HWND>(form.Handle()), name, false);
}

bool CaptureWindow(std::uintptr_t window, const std::string& name) {
  return Capture(reinterpret_cast<HWND>(window), name, true, false);
}

bool CaptureFormOver(Form& form, Form& area, const std::string& name) {
  return Capture(reinterpret_cast<HWND>(form.Handle()), name, true, true, reinterpret_cast<HWND>(area.Handle()));
}

}  // namespace ov::ui::test
