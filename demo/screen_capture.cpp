#include "screen_capture.h"

#include <algorithm>
#include <vector>

namespace ov::demo {

namespace {

// Device contexts and the bitmap of one capture, released in reverse order.
class Capture {
 public:
  Capture(int width, int height)
      : screen_(GetDC(nullptr)), memory_(CreateCompatibleDC(screen_)), bitmap_(CreateCompatibleBitmap(screen_, width, height)) {
    if (memory_ != nullptr && bitmap_ != nullptr) previous_ = SelectObject(memory_, bitmap_);
  }
  ~Capture() {
    if (previous_ != nullptr) SelectObject(memory_, previous_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    if (memory_ != nullptr) DeleteDC(memory_);
    ReleaseDC(nullptr, screen_);
  }
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;
  bool Ready() const { return previous_ != nullptr; }
  HDC Screen() const { return screen_; }
  HDC Memory() const { return memory_; }
  HBITMAP Bitmap() const { return bitmap_; }
  // The bitmap must not be selected into a device context while GetDIBits reads it.
  void Deselect() {
    if (previous_ != nullptr) SelectObject(memory_, previous_);
    previous_ = nullptr;
  }

 private:
  HDC screen_;
  HDC memory_;
  HBITMAP bitmap_;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace

bool SaveScreenArea(RECT area, const std::string& path) {
  area.left = std::max<LONG>(area.left, 0);
  area.top = std::max<LONG>(area.top, 0);
  area.right = std::min<LONG>(area.right, GetSystemMetrics(SM_CXSCREEN));
  area.bottom = std::min<LONG>(area.bottom, GetSystemMetrics(SM_CYSCREEN));
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;

  Capture capture(width, height);
  if (!capture.Ready()) return false;
  if (!BitBlt(capture.Memory(), 0, 0, width, height, capture.Screen(), area.left, area.top, SRCCOPY)) return false;
  capture.Deselect();

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores its rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) / 4 * 4;
  std::vector<BYTE> rows(static_cast<std::size_t>(rowBytes) * static_cast<DWORD>(height));
  if (GetDIBits(capture.Memory(), capture.Bitmap(), 0, static_cast<UINT>(height), rows.data(), &info, DIB_RGB_COLORS) !=
      height) {
    return false;
  }

  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  header.bfSize = header.bfOffBits + static_cast<DWORD>(rows.size());
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool complete = WriteFile(file, &header, sizeof header, &written, nullptr) && written == sizeof header;
  complete = complete && WriteFile(file, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr) &&
             written == sizeof info.bmiHeader;
  complete = complete && WriteFile(file, rows.data(), static_cast<DWORD>(rows.size()), &written, nullptr) &&
             written == rows.size();
  CloseHandle(file);
  return complete;
}

}  // namespace ov::demo
