// Owned windows, colours and fonts for the peers of the win32 backend.
#include "ui/win32/window.h"

#include <algorithm>

namespace ov::ui::win32 {

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

COLORREF Resolve(Color color, int fallbackSysColor) {
  if (color == clDefault) return GetSysColor(fallbackSysColor);
  if ((color & kSystemColor) != 0) return GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color & 0xFFFFFF);
}

void WindowDeleter::operator()(HWND window) const {
  if (window != nullptr && IsWindow(window)) {
    RemovePropA(window, kPeerProp);
    RemovePropA(window, kItemProp);
    DestroyWindow(window);
  }
}

HFONT CreateFontFor(const Font& font) {
  int height = -font.pixels;
  if (font.pixels <= 0) {
    HDC screen = GetDC(nullptr);
    height = -MulDiv(font.points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
  }
  return CreateFontA(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic ? TRUE : FALSE, FALSE, FALSE,
                     static_cast<DWORD>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, font.face.c_str());
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(0, got)));
  return text;
}

}  // namespace ov::ui::win32
