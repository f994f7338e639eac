// The resources of both deliverables as Windows reads them: SETUP.EXE's manifest (current
// Windows asks for administrator rights before it starts) and the version resources of
// SETUP.EXE and ovshellex.dll through GetFileVersionInfoA and VerQueryValueA.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/readable.h"
#include "support/win_files.h"

namespace {

std::string BesideThisProgram(const std::string& name) { return ov::test::ThisFolder() + name; }

// The manifest resource that the loader reads (type 24, id 1), or empty.
std::string ManifestOf(const std::string& path) {
  const HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return {};
  std::string text;
  if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
    const DWORD size = SizeofResource(module, found);
    if (HGLOBAL loaded = LoadResource(module, found)) {
      const char* bytes = static_cast<const char*>(LockResource(loaded));
      if (bytes != nullptr) text.assign(bytes, size);
    }
  }
  FreeLibrary(module);
  return text;
}

TEST(SetupManifest, AsksForAdministratorRightsAndNamesCurrentWindows) {
  const std::string manifest = ManifestOf(BesideThisProgram("SETUP.EXE"));
  ASSERT_FALSE(manifest.empty()) << "no manifest resource";
  EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>"),
            std::string::npos);
  // Windows 7 and 10/11 among the systems it declares.
  EXPECT_NE(manifest.find("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"), std::string::npos);
  EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);
  // The ui draws classic controls: no dependency on common controls 6.
  EXPECT_EQ(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
}

struct VersionCase {
  const char* file;
  const char* key;
  std::string expected;  // CP932
};

std::string VersionValue(const std::string& path, const std::string& key) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) return "(no version resource)";
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return "(unreadable)";
  void* value = nullptr;
  UINT length = 0;
  const std::string query = "\\StringFileInfo\\041103a4\\" + key;
  if (!VerQueryValueA(block.data(), query.c_str(), &value, &length) || value == nullptr) return "(missing)";
  std::string text(static_cast<const char*>(value), length);
  return text.substr(0, text.find('\0'));
}

TEST(VersionResources, BothDeliverablesTellWhoMadeThemAndWhatTheyAre) {
  const VersionCase cases[] = {
      {"SETUP.EXE", "CompanyName", "Orvane"},
      {"SETUP.EXE", "FileVersion", OV_SETUP_VERSION},
      {"SETUP.EXE", "OriginalFilename", "SETUP.EXE"},
      {"ovshellex.dll", "CompanyName", "Orvane"},
      {"ovshellex.dll", "FileVersion", OV_SHELLEX_VERSION},
      {"ovshellex.dll", "FileDescription", "ファイルの整理 シェル拡張"},
      {"ovshellex.dll", "ProductName", "Orvane ファイルツール"},
      {"ovshellex.dll", "OriginalFilename", "ovshellex.dll"},
  };
  for (const VersionCase& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.key);
    EXPECT_BYTES(VersionValue(BesideThisProgram(c.file), c.key), c.expected);
  }
}

TEST(VersionResources, TheFixedPartOfTheDllIsADllOfTheSameVersion) {
  const std::string path = BesideThisProgram("ovshellex.dll");
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  const std::string version = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                              std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                              std::to_string(LOWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(version, OV_SHELLEX_VERSION);
}

}  // namespace
