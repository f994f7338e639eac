// Timing of SafeRenameBatch on real files under Wine: a 5,000-file rotation (f0..f4999 ->
// f1..f5000, every step moving a holder aside) against two floors measured in the same
// run on the same files: a bare loop of the same MoveFileA calls, and a bare loop of the
// whole call sequence the batch needs (GetTempFileNameA, DeleteFileA and both MoveFileA).
// Prints each time as it is measured, then the ratios of the best of the rounds. Wine
// looks names up in a folder by reading it, so each call costs in proportion to the
// folder's size; a run of 5,000 files takes minutes. Run by hand:
//   scripts/wine-run build/<win32 build>/tests/tools/renumber_wine_timing.exe [files [rounds]]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "shellext/tools/safe_rename_batch.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Name(int i) { return "f" + std::to_string(i); }

// A fresh folder holding f0 .. f(count-1).
std::string MakeFolder(int count) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  char unique[MAX_PATH];
  GetTempFileNameA(temp, "ovt", 0, unique);
  DeleteFileA(unique);
  CreateDirectoryA(unique, nullptr);
  const std::string folder = std::string(unique) + "\\";
  for (int i = 0; i < count; ++i) {
    HANDLE file = CreateFileA((folder + Name(i)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    const std::string text = "was " + Name(i);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
  }
  return folder;
}

// Removes the folder; returns how many files it held.
int RemoveFolder(const std::string& folder) {
  int files = 0;
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      DeleteFileA((folder + data.cFileName).c_str());
      ++files;
    } while (FindNextFileA(search, &data));
    FindClose(search);
  }
  RemoveDirectoryA(folder.substr(0, folder.size() - 1).c_str());
  return files;
}

// f(count) must hold what f(count-1) held: the rotation ran to its end.
bool Rotated(const std::string& folder, int count) {
  HANDLE file = CreateFileA((folder + Name(count)).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[64] = {};
  DWORD read = 0;
  ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
  CloseHandle(file);
  return std::string(buffer, read) == "was " + Name(count - 1) &&
         GetFileAttributesA((folder + Name(0)).c_str()) == INVALID_FILE_ATTRIBUTES;
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double TimeBatch(int count, bool& ok) {
  ov::platform::Win32Platform platform;
  const std::string folder = MakeFolder(count);
  std::vector<std::string> batch;
  std::vector<std::size_t> order;
  for (int i = 0; i < count; ++i) {
    batch.push_back(folder + Name(i));
    order.push_back(static_cast<std::size_t>(i));
  }
  int messages = 0;
  const auto start = Clock::now();
  ov::shellext::SafeRenameBatch(platform, batch, order,
                                [](std::size_t k, std::size_t) { return Name(static_cast<int>(k) + 1); },
                                [&](const std::string&) { ++messages; });
  const double seconds = Seconds(start);
  ok = ok && messages == 0 && Rotated(folder, count) && RemoveFolder(folder) == count;
  return seconds;
}

// The same MoveFileA calls: each holder to a temporary name, then the file onto its name.
double TimeMoves(int count, bool& ok) {
  const std::string folder = MakeFolder(count);
  std::vector<std::string> temporary;
  for (int i = 0; i <= count; ++i) temporary.push_back(folder + "RNF" + std::to_string(i) + ".tmp");
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    const std::string target = folder + Name(i + 1);
    if (i + 1 < count) MoveFileA(target.c_str(), temporary[i + 1].c_str());
    const std::string current = i == 0 ? folder + Name(0) : temporary[i];
    MoveFileA(current.c_str(), target.c_str());
  }
  const double seconds = Seconds(start);
  ok = ok && Rotated(folder, count) && RemoveFolder(folder) == count;
  return seconds;
}

// The batch's whole call sequence without its bookkeeping.
double TimeCallSequence(int count, bool& ok) {
  const std::string folder = MakeFolder(count);
  std::string current = folder + Name(0);
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    const std::string target = folder + Name(i + 1);
    std::string next;
    if (i + 1 < count) {
      char temporary[MAX_PATH] = {};
      GetTempFileNameA(folder.c_str(), "RNF", 0, temporary);
      DeleteFileA(temporary);
      MoveFileA(target.c_str(), temporary);
      next = temporary;
    }
    MoveFileA(current.c_str(), target.c_str());
    current = next;
  }
  const double seconds = Seconds(start);
  ok = ok && Rotated(folder, count) && RemoveFolder(folder) == count;
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 5000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 1;
  double batch = 1e9, moves = 1e9, sequence = 1e9;
  bool ok = true;
  for (int round = 0; round < rounds; ++round) {
    const double b = TimeBatch(count, ok);
    std::printf("round %d: batch %.3f s", round + 1, b);
    std::fflush(stdout);
    const double m = TimeMoves(count, ok);
    std::printf(", moves %.3f s", m);
    std::fflush(stdout);
    const double q = TimeCallSequence(count, ok);
    std::printf(", call sequence %.3f s\n", q);
    std::fflush(stdout);
    batch = std::min(batch, b);
    moves = std::min(moves, m);
    sequence = std::min(sequence, q);
  }
  std::printf("rotation of %d files (best of %d)\n", count, rounds);
  std::printf("  SafeRenameBatch                  %8.3f s\n", batch);
  std::printf("  bare MoveFileA loop              %8.3f s   ratio %.2f\n", moves, batch / moves);
  std::printf("  bare GetTempFileNameA+Delete+Move %7.3f s   ratio %.2f\n", sequence, batch / sequence);
  std::printf("  results %s\n", ok ? "checked" : "WRONG");
  return ok ? 0 : 1;
}
