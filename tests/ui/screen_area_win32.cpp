// Copies an area of the screen or of a window into a 24-bit bitmap file.
#include "screen_area.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace ov::ui::test {

const char* ScreensFolder() {
  const char* folder = std::getenv("OV_SCREENS_WIN");
  return folder != nullptr && *folder != '\0' ? folder : nullptr;
}

bool SaveScreenArea(int left, int top, int width, int height, const std::string& name, std::uintptr_t window) {
  const char* folder = ScreensFolder();
  if (folder == nullptr) return false;
  HWND source = reinterpret_cast<HWND>(window);
  HDC screen = GetDC(source);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
  // GetDIBits reads a bitmap that no device context holds.
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

}  // namespace ov::ui::test
