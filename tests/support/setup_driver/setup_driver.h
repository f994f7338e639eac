// Drives a running SETUP.EXE from outside, as a person at the screen would: finds its
// windows and buttons by their texts, presses them, answers message boxes, and saves
// pictures of the screen. For the Wine suites and the package walkthrough.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ov::setup::driver {

// A started program; one still running when this ends is terminated.
class Program {
 public:
  Program() = default;
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // CreateProcessA with the command line as given (the program path taken from it).
  bool Start(const std::string& commandLine, const std::string& currentFolder = "");
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Handle() const { return info_.hProcess; }
  // Waits up to the time given for the program to end; its exit code, or -1.
  int Wait(DWORD milliseconds);
  bool Running() const;

 private:
  PROCESS_INFORMATION info_{};
};

std::string TextOf(HWND window);
std::string ClassOf(HWND window);

// Polls the program's visible top-level windows (and, with children, every visible window
// inside them) for up to the time given, or until the program ends; the first window the
// test accepts.
HWND WaitFor(DWORD process, const std::function<bool(HWND)>& test, DWORD milliseconds = 15000,
             bool children = true);
// A button (push button, check box or option) with exactly this caption.
HWND WaitForButton(DWORD process, const std::string& caption, DWORD milliseconds = 15000);
// A message box (dialog class "#32770") with this caption.
HWND WaitForBox(DWORD process, const std::string& caption, DWORD milliseconds = 15000);
// Any message box of the program now, or null.
HWND FindBox(DWORD process);
// The static text of a message box.
std::string BoxText(HWND box);

// Presses a button once it is enabled (the program captions a button before enabling it);
// false, without a press, when it stays disabled or goes away.
bool ClickWhenEnabled(HWND button, DWORD milliseconds = 5000);
// Answers a message box with the button of this id (IDOK, IDYES, ...).
void Answer(HWND box, int button);

// Saves the whole screen as build/screens/NAME.png (through the Wine runner); false when
// no pictures are wanted (OV_SCREENS_WIN unset) or the file could not be written.
// settle: time the program gets to finish drawing what it just changed.
bool CaptureScreen(const std::string& name, DWORD settle = 400);

}  // namespace ov::setup::driver
