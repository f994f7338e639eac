// What the form and control peers of the win32 backend share: owned windows and GDI
// objects, colours and fonts as the controls describe them, and the window properties
// that lead from a window back to its peer.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

#include "ui/controls.h"

namespace ov::ui::win32 {

// Window properties: the peer of a form or control window, and the item (1-based) that a
// radio button of a radio group stands for.
inline constexpr char kPeerProp[] = "OvUiPeer";
inline constexpr char kItemProp[] = "OvUiItem";

// The module that holds this code (the DLL inside Explorer, or the program).
HINSTANCE ThisModule();

COLORREF Resolve(Color color, int fallbackSysColor);

struct GdiDeleter {
  void operator()(HGDIOBJ object) const {
    if (object != nullptr) DeleteObject(object);
  }
};
using GdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiDeleter>;

// Destroys the window, dropping the properties that lead to its peer first.
struct WindowDeleter {
  void operator()(HWND window) const;
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

HFONT CreateFontFor(const Font& font);
std::string WindowText(HWND window);

}  // namespace ov::ui::win32
