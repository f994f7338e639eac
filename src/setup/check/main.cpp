// setupcheck [--built-later NAME]... MEDIUM-FOLDER: one line per finding on standard output, a count on standard
// error; exit status 0 (clean), 1 (warnings only) or 2 (errors, or the folder unreadable).
// On Linux the folder is loaded into the in-memory Windows, whose profile functions read
// as Windows' do; on Windows it is read where it lies.
#include <cstdio>
#include <exception>
#include <string>

#include "setup/check/setup_check.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/win32_platform.h"
#else
#include <iconv.h>

#include "setup/check/medium_loader.h"
#endif

namespace {

#ifdef _WIN32
std::string ForConsole(const std::string& text) { return text; }
#else
// The script's texts are code page 932; the terminal is UTF-8.
std::string ForConsole(const std::string& text) {
  iconv_t convert = iconv_open("UTF-8", "CP932");
  if (convert == reinterpret_cast<iconv_t>(-1)) return text;
  std::string in = text;
  std::string out(text.size() * 3 + 4, '\0');
  char* inPointer = in.data();
  char* outPointer = out.data();
  std::size_t inLeft = in.size();
  std::size_t outLeft = out.size();
  const bool ok = iconv(convert, &inPointer, &inLeft, &outPointer, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(convert);
  if (!ok) return text;
  out.resize(out.size() - outLeft);
  return out;
}

#endif

int Check(const std::string& folder, const ov::setup::CheckOptions& options) {
#ifdef _WIN32
  std::string path = folder;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH || (GetFileAttributesA(full) & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      GetFileAttributesA(full) == INVALID_FILE_ATTRIBUTES) {
    std::fprintf(stderr, "setupcheck: %s is not a folder\n", folder.c_str());
    return 2;
  }
  ov::platform::Win32Platform platform;
  const std::string medium = full;
#else
  ov::platform::FakePlatform platform;
  if (!ov::setup::LoadMediumFolder(folder, platform, 'D')) {
    std::fprintf(stderr, "setupcheck: %s is not a readable folder\n", folder.c_str());
    return 2;
  }
  const std::string medium = "D:\\";
#endif
  const std::vector<ov::setup::Finding> findings = ov::setup::CheckMedium(platform, medium, options);
  int errors = 0;
  for (const ov::setup::Finding& finding : findings) {
    std::printf("%s\n", ForConsole(ov::setup::FormatFinding(finding)).c_str());
    if (finding.severity == ov::setup::Severity::kError) ++errors;
  }
  std::fprintf(stderr, "setupcheck: %s: %d error(s), %d warning(s)\n", folder.c_str(), errors,
               static_cast<int>(findings.size()) - errors);
  return ov::setup::ExitStatusOf(findings);
}

}  // namespace

int main(int argc, char** argv) {
  ov::setup::CheckOptions options;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--built-later" && i + 1 < argc) {
      options.builtLater.push_back(argv[++i]);
    } else if (folder.empty() && argument.rfind("--", 0) != 0) {
      folder = argument;
    } else {
      folder.clear();
      break;
    }
  }
  if (folder.empty()) {
    std::fprintf(stderr, "usage: setupcheck [--built-later NAME]... MEDIUM-FOLDER\n");
    return 2;
  }
  try {
    return Check(folder, options);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "setupcheck: %s\n", failure.what());
    return 2;
  }
}
