#include "setup_driver/setup_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace ov::setup::driver {

Program::~Program() {
  // A program left running by a failed step would hold the installer's mutex, and every
  // later installer would end at once.
  if (Running()) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  if (info_.hProcess != nullptr) CloseHandle(info_.hProcess);
  if (info_.hThread != nullptr) CloseHandle(info_.hThread);
}

bool Program::Start(const std::string& commandLine, const std::string& currentFolder) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  std::string line = commandLine;
  return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &info_) != FALSE;
}

int Program::Wait(DWORD milliseconds) {
  if (info_.hProcess == nullptr || WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<int>(code);
}

bool Program::Running() const {
  return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::string TextOf(HWND window) {
  // WM_GETTEXT itself: an edit of another program keeps its text where GetWindowTextA does
  // not look. A program that does not answer within a second reads as empty.
  char text[4096] = {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000,
                           &length)) {
    return {};
  }
  return std::string(text, std::min<std::size_t>(length, sizeof(text) - 1));
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

namespace {

struct Search {
  DWORD process;
  const std::function<bool(HWND)>* test;
  bool children;
  HWND found = nullptr;
};

BOOL CALLBACK SearchChild(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  if (!IsWindowVisible(window) || !(*search.test)(window)) return TRUE;
  search.found = window;
  return FALSE;
}

BOOL CALLBACK SearchTop(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search.process || !IsWindowVisible(window)) return TRUE;
  if ((*search.test)(window)) {
    search.found = window;
    return FALSE;
  }
  if (search.children) EnumChildWindows(window, &SearchChild, param);
  return search.found == nullptr;
}

}  // namespace

HWND WaitFor(DWORD process, const std::function<bool(HWND)>& test, DWORD milliseconds, bool children) {
  const DWORD start = GetTickCount();
  for (;;) {
    Search search{process, &test, children};
    EnumWindows(&SearchTop, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    if (GetTickCount() - start >= milliseconds) return nullptr;
    Sleep(50);
  }
}

HWND WaitForButton(DWORD process, const std::string& caption, DWORD milliseconds) {
  return WaitFor(process, [&](HWND w) { return ClassOf(w) == "Button" && TextOf(w) == caption; }, milliseconds);
}

HWND WaitForBox(DWORD process, const std::string& caption, DWORD milliseconds) {
  return WaitFor(process, [&](HWND w) { return ClassOf(w) == "#32770" && TextOf(w) == caption; }, milliseconds,
                 false);
}

HWND FindBox(DWORD process) {
  return WaitFor(process, [](HWND w) { return ClassOf(w) == "#32770"; }, 0, false);
}

std::string BoxText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }

bool ClickWhenEnabled(HWND button, DWORD milliseconds) {
  const DWORD start = GetTickCount();
  while (!IsWindowEnabled(button)) {
    if (GetTickCount() - start >= milliseconds || !IsWindow(button)) return false;
    Sleep(50);
  }
  PostMessageA(button, BM_CLICK, 0, 0);
  return true;
}

void Answer(HWND box, int button) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

bool CaptureScreen(const std::string& name, DWORD settle) {
  const char* folder = std::getenv("OV_SCREENS_WIN");
  if (folder == nullptr || *folder == '\0') return false;
  Sleep(settle);
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
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
  ReleaseDC(nullptr, screen);
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

}  // namespace ov::setup::driver
