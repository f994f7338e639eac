// Copies a form's window from the screen into a 24-bit bitmap file.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "screen_capture.h"

namespace ov::ui::test {

namespace {

const char* ScreensFolder() {
  const char* folder = std::getenv("OV_SCREENS_WIN");
  return folder != nullptr && *folder != '\0' ? folder : nullptr;  // run by hand: nowhere to save
}

bool Capture(HWND window, const std::string& name, bool fromScreen, bool redraw = true, HWND area = nullptr) {
  const char* folder = ScreensFolder();
  if (folder == nullptr) return false;
  if (window == nullptr) return false;
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
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HWND source = fromScreen ? nullptr : window;
  HDC screen = GetDC(source);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(source, screen);
  if (fromScreen) SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  const std::string path = std::string(folder) + "\\" + name + ".bmp";
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  bool ok = std::fwrite(&file, sizeof(file), 1, out) == 1 && std::fwrite(&info, sizeof(info), 1, out) == 1 &&
            std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
  ok = std::fclose(out) == 0 && ok;
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
