// An installation by the real SETUP.EXE under Wine, through its wizard as a user goes
// through it, then taken back by the command its uninstall entry holds, as Windows' list
// of installed programs starts it. The package is made by the test: a plain, a renamed and
// an LZ-compressed file, the real ovshellex.dll as a shared, self-registering DLL, a file
// another process holds open, a source that is missing, a shortcut with arguments, values
// of every registry type, an INI entry and an association.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/explorer/context_menu_host.h"
#include "support/explorer/drop_data_object.h"
#include "setup_driver/setup_driver.h"
#include "support/readable.h"
#include "support/win_files.h"
#include "ui/screen_capture.h"

namespace {

using namespace ov::setup::driver;
using namespace ov::test;

// The wizard's steps can take a while under Wine; a button may stay disabled for a step.
constexpr DWORD kWait = 30000;
constexpr DWORD kEnable = 10000;

std::string ProgramFilesFolder() {
  char path[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAM_FILES, FALSE);
  return std::string(path) + "\\";
}

std::string ProgramsFolder() {
  char path[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE);
  return std::string(path) + "\\";
}

std::string Profile(const std::string& file, const char* section, const char* key) {
  char value[2048] = {};
  GetPrivateProfileStringA(section, key, "<none>", value, sizeof(value), file.c_str());
  return value;
}

// Another program holding a file open without sharing until the test lets it go.
class Holder {
 public:
  bool Hold(const std::string& path) {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, "ov_install_ready");
    release_ = CreateEventA(nullptr, TRUE, FALSE, "ov_install_release");
    if (!process_.Start("\"" + ThisFolder() + "hold_file.exe\" \"" + path + "\" ov_install_ready ov_install_release")) {
      return false;
    }
    return WaitForSingleObject(ready_, 15000) == WAIT_OBJECT_0;
  }
  void Release() {
    if (release_ != nullptr) SetEvent(release_);
    if (process_.Handle() != nullptr) process_.Wait(15000);
  }
  ~Holder() {
    Release();
    if (ready_ != nullptr) CloseHandle(ready_);
    if (release_ != nullptr) CloseHandle(release_);
  }

 private:
  Program process_;
  HANDLE ready_ = nullptr;
  HANDLE release_ = nullptr;
};

// What the program shows, for a failure message.
std::string Windows(const Program& process) {
  std::string out;
  WaitFor(process.Id(), [&](HWND w) {
    out += ClassOf(w) + " \"" + ov::test::Readable(TextOf(w)).substr(0, 60) + "\"\n";
    return false;
  }, 0);
  return out;
}

void Picture(HWND window, const std::string& name) {
  HWND top = GetAncestor(window, GA_ROOT);
  // Not redrawn from here: the program repaints only when its run next lets messages
  // through, so an invalidated window would be copied half erased. What it painted last
  // stays on the screen while the run pauses.
  Sleep(100);
  if (ov::ui::test::CanCapture()) {
    EXPECT_TRUE(ov::ui::test::CaptureWindow(reinterpret_cast<std::uintptr_t>(top), name)) << name;
  }
}

// Machine state: files under a few folders and registry trees, each entry with its data.
using State = std::map<std::string, std::string>;

void ListFiles(const std::string& folder, State& state) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  std::vector<std::string> folders;
  do {
    const std::string name = entry.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + name;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      state[path + "\\"] = "";
      folders.push_back(path + "\\");
    } else {
      state[path] = std::to_string(entry.nFileSizeLow) + " " + std::to_string(entry.ftLastWriteTime.dwLowDateTime);
    }
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  for (const std::string& each : folders) ListFiles(each, state);
}

void ListKey(HKEY key, const std::string& name, State& state) {
  state[name] = "";
  char value[16384];
  BYTE data[16384];
  for (DWORD i = 0;; ++i) {
    DWORD valueSize = sizeof(value), dataSize = sizeof(data), type = 0;
    if (RegEnumValueA(key, i, value, &valueSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    state[name + " = " + value] = std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), dataSize);
  }
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof(value);
    if (RegEnumKeyExA(key, i, value, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY child = nullptr;
    if (RegOpenKeyExA(key, value, 0, KEY_READ, &child) == ERROR_SUCCESS) {
      ListKey(child, name + "\\" + value, state);
      RegCloseKey(child);
    }
  }
}

// Wine's own bookkeeping that changes whenever programs run.
bool Noise(const std::string& name) {
  for (const char* part : {"\\Wine\\", "MountedDevices", "\\Explorer\\", "\\ShellNoRoam", "\\windows\\temp\\",
                           "\\Temp\\", "\\logs\\", ".log", "\\Fonts\\", "\\Microsoft\\Windows\\CurrentVersion\\Run",
                           "\\AppData\\", "\\Application Data\\", "\\ShellCompatibility", "\\Dynamic Data"}) {
    if (name.find(part) != std::string::npos) return true;
  }
  return false;
}

State MachineState() {
  State state;
  ListFiles(WindowsFolder(), state);
  ListFiles(ProgramFilesFolder(), state);
  ListFiles(ProgramsFolder(), state);
  const std::pair<HKEY, const char*> trees[] = {{HKEY_LOCAL_MACHINE, "HKLM\\Software"},
                                                {HKEY_CURRENT_USER, "HKCU\\Software"},
                                                {HKEY_CLASSES_ROOT, "HKCR"}};
  for (const auto& [root, name] : trees) {
    HKEY key = nullptr;
    const char* sub = root == HKEY_CLASSES_ROOT ? "" : "Software";
    if (RegOpenKeyExA(root, sub, 0, KEY_READ, &key) == ERROR_SUCCESS) {
      ListKey(key, name, state);
      RegCloseKey(key);
    }
  }
  for (auto it = state.begin(); it != state.end();) it = Noise(it->first) ? state.erase(it) : std::next(it);
  return state;
}

std::string Difference(const State& before, const State& after) {
  std::string out;
  for (const auto& [name, data] : before) {
    auto found = after.find(name);
    if (found == after.end()) {
      out += "- " + name + "\n";
    } else if (found->second != data && name.back() != '\\' && name.find(" = ") != std::string::npos) {
      out += "~ " + name + "\n";
    }
  }
  for (const auto& [name, data] : after) {
    if (before.find(name) == before.end()) out += "+ " + name + "\n";
  }
  return out;
}

std::string RegString(HKEY root, const std::string& key, const std::string& name, DWORD* typeOut = nullptr) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return "<no key>";
  BYTE data[8192] = {};
  DWORD size = sizeof(data), type = 0;
  const LONG got = RegQueryValueExA(handle, name.empty() ? nullptr : name.c_str(), nullptr, &type, data, &size);
  RegCloseKey(handle);
  if (got != ERROR_SUCCESS) return "<no value>";
  if (typeOut != nullptr) *typeOut = type;
  if ((type == REG_SZ || type == REG_EXPAND_SZ) && size > 0 && data[size - 1] == 0) --size;
  return std::string(reinterpret_cast<char*>(data), size);
}

bool KeyExists(HKEY root, const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

constexpr const char* kSessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr const char* kSharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr const char* kClsid = "CLSID\\{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}";

// Puts the restart-time moves back as they were (a restart never comes under the test).
void RestorePendingMoves(const std::string& before, bool existed) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  if (existed) {
    RegSetValueExA(key, "PendingFileRenameOperations", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(before.data()),
                   static_cast<DWORD>(before.size()));
  } else {
    RegDeleteValueA(key, "PendingFileRenameOperations");
  }
  RegCloseKey(key);
}

// What an earlier run of this suite that failed half-way left behind.
void RemoveLeftovers() {
  const std::string windows = WindowsFolder();
  const std::string app = ProgramFilesFolder() + "OvWire\\ソフト\\";
  if (Exists(app + "UNSETUP.INI")) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, (app + "ovshellex.dll").c_str());
      RegCloseKey(key);
    }
  }
  RemoveTree(ProgramFilesFolder() + "OvWire\\");
  RemoveTree(ProgramsFolder() + "OvWire\\");
  for (const char* name : {"OVWIRE.INI", "OVWHOLD.TXT"}) DeleteFileA((windows + name).c_str());
  WritePrivateProfileStringA("OVWIRE01", nullptr, nullptr, (windows + "ODSET98.INI").c_str());
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\OvWire");
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "OvWire ツール").c_str());
  SHDeleteKeyA(HKEY_CLASSES_ROOT, ".ovw");
  SHDeleteKeyA(HKEY_CLASSES_ROOT, "ovw_auto_file");
}

class InstallProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveLeftovers();
    // An uninstaller that another installation in this prefix left (the package walkthrough's
    // is newer than this build's test copy) is kept by the date rule; this run's copy is
    // what the test compares.
    DeleteFileA((WindowsFolder() + "UNOD200X.EXE").c_str());
    medium_ = TempFolder() + "ov_wire_medium\\";
    CreateDirectoryA(medium_.c_str(), nullptr);
    const std::string here = ThisFolder();
    ASSERT_TRUE(CopyFileA((here + "SETUP.EXE").c_str(), (medium_ + "SETUP.EXE").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((here + "ovshellex.dll").c_str(), (medium_ + "ovshellex.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((here + "setup.ex_").c_str(), (medium_ + "setup.ex_").c_str(), FALSE));
    Write(medium_ + "tool.txt", "ツールの本体\r\n");
    Write(medium_ + "new.txt", "新しい名前で置かれる\r\n");
    Write(medium_ + "OVWHOLD.TXT", "新しい版\r\n");
  }

  std::string medium_;
};

const char* const kScript =
    "[Title]\r\nProgram=OvWire ツール\r\nSetup=OvWire ツール　インストール\r\nUnSetup=OvWire ツール\r\n"
    "[DefaultFolder]\r\nFolder=(Prg)OvWire\\ソフト\r\n"
    "[ProgramID]\r\nID=OVWIRE01\r\n"
    "[Extend]\r\nSetupSpeed=300\r\n"
    "[MakeFolder]\r\nFolder1=(App)data\r\n"
    "[CopyFile]\r\nFile1=(App)tool.txt\r\nFile2=(App)new.txt|old.txt\r\nFile3=(App)setup.ex_\r\n"
    "File4=(App)ovshellex.dll,/S/R\r\nFile5=(Win)OVWHOLD.TXT,/W\r\nFile6=(App)absent.txt\r\n"
    "[ShortCut]\r\nMake1=(App)tool.txt,/open \"表示\"\r\nName1=(Sta)OvWire\\ツール,(App)\r\n"
    "[Registry]\r\n"
    "Key1=(Local)SOFTWARE\\OvWire\r\nName1=Path\r\nValue1=(Str)(App)(Pdd)\r\n"
    "Key2=(Local)SOFTWARE\\OvWire\r\nName2=Count\r\nValue2=(Dwd)12\r\n"
    "Key3=(Local)SOFTWARE\\OvWire\r\nName3=Mask\r\nValue3=(Int)$1F\r\n"
    "Key4=(Local)SOFTWARE\\OvWire\r\nName4=Flags\r\nValue4=(Bin)0A0B\r\n"
    "Key5=(Local)SOFTWARE\\OvWire\r\nName5=Data\r\nValue5=(Exp)%WINDIR%\\ov\r\n"
    "Key6=(Local)SOFTWARE\\OvWire\r\nName6=Plain\r\nValue6=そのまま\r\n"
    "[DeleteRegistry]\r\nKey1=(Local)SOFTWARE\\OvWire\r\n"
    "[IniFile]\r\nData1=Options,Path,(App),(Win)OVWIRE.INI\r\n"
    "[AddDeleteFile]\r\nFile1=(Win)OVWIRE.INI\r\n"
    "[Relate]\r\nName1=ovw,OvWire 文書\r\nFile1=open,(Win)notepad.exe,\"%1\",,0\r\n";

TEST_F(InstallProgram, InstallsThroughTheWizardAndTheUninstallEntryTakesItBack) {
  Write(medium_ + "SETUP.INI", kScript);
  const std::string windows = WindowsFolder();
  const std::string app = ProgramFilesFolder() + "OvWire\\ソフト\\";
  const std::string held = windows + "OVWHOLD.TXT";
  Write(held, "古い版\r\n");
  DWORD pendingType = 0;
  const std::string pendingBefore = RegString(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", &pendingType);
  const bool pendingExisted = pendingBefore != "<no value>";
  const State before = MachineState();

  Holder holder;
  ASSERT_TRUE(holder.Hold(held));
  {
    Program setup;
    ASSERT_TRUE(setup.Start("\"" + medium_ + "SETUP.EXE\""));
    HWND next = WaitForButton(setup.Id(), "インストール続行(&C)", kWait);
    ASSERT_NE(next, nullptr) << "no title page";
    ClickWhenEnabled(next, kEnable);
    HWND start = WaitForButton(setup.Id(), "インストール開始(&S)", kWait);
    ASSERT_NE(start, nullptr) << "no last page";
    ClickWhenEnabled(start, kEnable);
    HWND box = WaitForBox(setup.Id(), "フォルダ作成", kWait);
    ASSERT_NE(box, nullptr) << "the missing folder was not offered\n" << Windows(setup);
    Answer(box, IDYES);

    HWND progress = WaitFor(setup.Id(), [](HWND w) { return ClassOf(w) == "msctls_progress32"; }, kWait);
    ASSERT_NE(progress, nullptr) << "no progress during the copy";
    // A picture between two items: once the bar has moved, the run pauses.
    const LRESULT first = SendMessageA(progress, PBM_GETPOS, 0, 0);
    for (int i = 0; i < 100 && SendMessageA(progress, PBM_GETPOS, 0, 0) == first; ++i) Sleep(10);
    Picture(progress, "setup-copy");

    box = WaitForBox(setup.Id(), "関連付けの確認", kWait);
    ASSERT_NE(box, nullptr) << "no association question";
    EXPECT_NE(BoxText(box).find("拡張子 *.ovw を"), std::string::npos) << ov::test::Readable(BoxText(box));
    Answer(box, IDYES);

    box = WaitForBox(setup.Id(), "警告", kWait);
    ASSERT_NE(box, nullptr) << "the missing source was not reported";
    Answer(box, IDYES);
    HWND resume = WaitForButton(setup.Id(), "続行(&C)", kWait);
    ASSERT_NE(resume, nullptr) << "no failure-details page";
    HWND details = WaitFor(
        setup.Id(), [](HWND w) { return ClassOf(w) == "Edit" && TextOf(w).find("<File>") != std::string::npos; }, kWait);
    ASSERT_NE(details, nullptr) << Windows(setup);
    EXPECT_NE(TextOf(details).find("absent.txt"), std::string::npos) << ov::test::Readable(TextOf(details));
    Picture(resume, "setup-failures");
    ClickWhenEnabled(resume, kEnable);

    HWND nextStep = WaitForButton(setup.Id(), "次へ(&N)", kWait);
    ASSERT_NE(nextStep, nullptr) << "no completion text";
    ClickWhenEnabled(nextStep, kEnable);

    HWND finish = WaitForButton(setup.Id(), "インストール完了(&E)", kWait);
    ASSERT_NE(finish, nullptr) << "no final choice";
    HWND noRestart = WaitForButton(setup.Id(), "いいえ、Windowsは再起動せずに、インストーラーを終了します。(&N)", kWait);
    ASSERT_NE(noRestart, nullptr) << "the restart was not proposed";
    EXPECT_NE(WaitForButton(setup.Id(), "はい、Windowsを再起動します。(&Y)", kWait), nullptr);
    Picture(finish, "setup-complete");
    SendMessageA(noRestart, BM_CLICK, 0, 0);
    ClickWhenEnabled(finish, kEnable);
    ASSERT_NE(setup.Wait(30000), -1) << "SETUP.EXE did not end after the final choice";
  }
  holder.Release();

  // The files.
  EXPECT_BYTES(Read(app + "tool.txt"), "ツールの本体\r\n");
  EXPECT_BYTES(Read(app + "old.txt"), "新しい名前で置かれる\r\n");
  EXPECT_FALSE(Exists(app + "new.txt"));
  // The name the compressed file recorded, as Wine's LZ functions give it.
  EXPECT_EQ(Read(app + "SETUP.EXE"), Read(ThisFolder() + "setup.expected"));
  EXPECT_EQ(Read(app + "ovshellex.dll"), Read(medium_ + "ovshellex.dll"));
  EXPECT_TRUE(Exists(app + "data\\"));
  EXPECT_FALSE(Exists(app + "absent.txt"));
  // The held file stays as it was; its replacement waits for the restart.
  EXPECT_BYTES(Read(held), "古い版\r\n");
  const std::string pending = RegString(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
  std::string staged;
  {
    std::vector<std::string> names;
    for (std::size_t at = 0; at < pending.size();) {
      const std::size_t end = pending.find('\0', at);
      names.push_back(pending.substr(at, end == std::string::npos ? std::string::npos : end - at));
      at = end == std::string::npos ? pending.size() : end + 1;
    }
    const auto plain = [](std::string name) {
      if (name.rfind("!", 0) == 0) name.erase(0, 1);
      if (name.rfind("\\??\\", 0) == 0) name.erase(0, 4);
      return name;
    };
    for (std::size_t i = 0; i + 1 < names.size(); i += 2) {
      if (lstrcmpiA(plain(names[i + 1]).c_str(), held.c_str()) == 0) staged = plain(names[i]);
    }
  }
  ASSERT_FALSE(staged.empty()) << "the held file was not scheduled: " << ov::test::Readable(pending);
  EXPECT_BYTES(Read(staged), "新しい版\r\n");
  // No restart comes under the test: the move is taken back with its staged copy.
  RestorePendingMoves(pendingBefore, pendingExisted);
  DeleteFileA(staged.c_str());

  const std::string folderNoSep = app.substr(0, app.size() - 1);
  // The DLL: counted and registered by the run.
  DWORD type = 0;
  const std::string count = RegString(HKEY_LOCAL_MACHINE, kSharedDlls, app + "ovshellex.dll", &type);
  ASSERT_EQ(count.size(), 4u);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(count[0], 1);
  EXPECT_EQ(lstrcmpiA(RegString(HKEY_CLASSES_ROOT, std::string(kClsid) + "\\InprocServer32", "").c_str(),
                      (app + "ovshellex.dll").c_str()),
            0);

  // Usable as Explorer finds it: its handler key names the class, and the class's menu,
  // made from the installed file, holds the tools' submenu.
  EXPECT_BYTES(RegString(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\Orvane", ""),
               "{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}");
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  {
    CLSID classId{};
    CLSIDFromString(L"{5AC8F479-8E1A-433E-9D53-72F1CAAE3AFF}", &classId);
    ov::explorer::DropDataObject selection({app + "tool.txt", app + "old.txt"});
    ov::explorer::ContextMenuHost host;
    ASSERT_EQ(host.Open(classId, nullptr, &selection), S_OK);
    ov::explorer::MenuOwner menu;
    EXPECT_TRUE(SUCCEEDED(host.Query(menu.Get(), 0, 0x7000, 0x7100, CMF_NORMAL)));
    bool tools = false;
    for (const ov::explorer::MenuEntry& entry : ov::explorer::ReadMenu(menu.Get())) {
      if (entry.popup && entry.text == "ファイルの整理" && !entry.submenu.empty()) tools = true;
    }
    EXPECT_TRUE(tools) << "no tools' submenu in the context menu";
  }
  {
    // The shortcut: its target, arguments and working folder as the shell reads them.
    const std::string link = ProgramsFolder() + "OvWire\\ツール.lnk";
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    ov::explorer::Ref<IShellLinkA> shellLink;
    ov::explorer::Ref<IPersistFile> file;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shellLink.Out()), S_OK);
    ASSERT_EQ(shellLink->QueryInterface(IID_IPersistFile, file.Out()), S_OK);
    ASSERT_EQ(file->Load(wide, STGM_READ), S_OK) << ov::test::Readable(link);
    char text[MAX_PATH] = {};
    shellLink->GetPath(text, MAX_PATH, nullptr, 0);
    EXPECT_EQ(lstrcmpiA(text, (app + "tool.txt").c_str()), 0) << ov::test::Readable(text);
    shellLink->GetArguments(text, MAX_PATH);
    EXPECT_BYTES(text, "/open \"表示\"");
    shellLink->GetWorkingDirectory(text, MAX_PATH);
    EXPECT_EQ(lstrcmpiA(text, app.c_str()), 0) << ov::test::Readable(text);
  }
  // The DLL leaves this process before the uninstallation deletes it.
  CoFreeUnusedLibraries();
  CoUninitialize();


  // Every registry type.
  const char* key = "SOFTWARE\\OvWire";
  EXPECT_BYTES(RegString(HKEY_LOCAL_MACHINE, key, "Path", &type), folderNoSep);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, key, "Count", &type), std::string("\x0C\0\0\0", 4));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, key, "Mask", &type), std::string("\x1F\0\0\0", 4));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, key, "Flags", &type), std::string("\x0B\x0A\0\0", 4));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_BYTES(RegString(HKEY_LOCAL_MACHINE, key, "Data", &type), "%WINDIR%\\ov");
  EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_BYTES(RegString(HKEY_LOCAL_MACHINE, key, "Plain", &type), "そのまま");
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

  // The INI entry and the association.
  EXPECT_BYTES(Profile(windows + "OVWIRE.INI", "Options", "Path"), app);
  EXPECT_BYTES(RegString(HKEY_CLASSES_ROOT, ".ovw", ""), "ovw_auto_file");
  EXPECT_BYTES(RegString(HKEY_CLASSES_ROOT, "ovw_auto_file", ""), "OvWire 文書");
  EXPECT_NE(RegString(HKEY_CLASSES_ROOT, "ovw_auto_file\\shell\\open\\command", "").find("notepad.exe \"%1\""),
            std::string::npos);

  // The records and the uninstaller.
  const std::string record = app + "UNSETUP.INI";
  EXPECT_BYTES(Profile(record, "SetupFolder", "Folder"), app);
  EXPECT_BYTES(Profile(record, "ProgramID", "ID"), "OVWIRE01");
  const std::string files = Read(record);
  for (const std::string& listed : {app + "tool.txt", app + "old.txt", app + "SETUP.EXE", app + "ovshellex.dll,/S/R",
                                    held + ",/W", record}) {
    EXPECT_NE(files.find(listed), std::string::npos) << ov::test::Readable(listed) << "\n" << ov::test::Readable(files);
  }
  EXPECT_EQ(files.find("absent.txt"), std::string::npos);
  EXPECT_BYTES(Profile(windows + "ODSET98.INI", "OVWIRE01", "Folder"), app);
  EXPECT_EQ(Read(windows + "UNOD200X.EXE"), Read(medium_ + "SETUP.EXE"));
  const std::string entry = Profile(record, "UnSetupRegistryKey", "Key");
  EXPECT_EQ(entry.rfind(kUninstallKey, 0), 0u) << ov::test::Readable(entry);
  const std::string command = RegString(HKEY_LOCAL_MACHINE, entry, "UninstallString");
  EXPECT_NE(command.find("UNOD200X.EXE"), std::string::npos) << ov::test::Readable(command);
  EXPECT_NE(command.find(record), std::string::npos) << ov::test::Readable(command);

  // Taken back by the entry's command, as the list of installed programs starts it.
  Write(app + "mine.txt", "ユーザーのファイル\r\n");
  {
    Program unsetup;
    ASSERT_TRUE(unsetup.Start(command));
    HWND start = WaitForButton(unsetup.Id(), "アンインストール開始(&S)", kWait);
    ASSERT_NE(start, nullptr) << "no uninstall page";
    ClickWhenEnabled(start, kEnable);
    HWND question = WaitFor(unsetup.Id(), [](HWND w) { return TextOf(w) == "ファイル削除の確認"; }, kWait);
    ASSERT_NE(question, nullptr) << "the shared DLL was not asked about";
    Picture(question, "unsetup-question");
    HWND yes = WaitForButton(unsetup.Id(), "はい(&Y)", kWait);
    ASSERT_NE(yes, nullptr);
    ClickWhenEnabled(yes, kEnable);
    // The user's file keeps the install folder: the one failure, with its reason.
    HWND summary = WaitForBox(unsetup.Id(), "情報", kWait);
    ASSERT_NE(summary, nullptr) << "the kept install folder was not reported\n" << Windows(unsetup);
    Answer(summary, IDYES);
    HWND resume = WaitForButton(unsetup.Id(), "続行(&C)", kWait);
    ASSERT_NE(resume, nullptr) << "no failure-details page\n" << Windows(unsetup);
    HWND details = WaitFor(unsetup.Id(), [](HWND w) { return ClassOf(w) == "Edit" && !TextOf(w).empty(); }, kWait);
    ASSERT_NE(details, nullptr);
    EXPECT_NE(TextOf(details).find(app.substr(0, app.size() - 1)), std::string::npos)
        << ov::test::Readable(TextOf(details));
    ClickWhenEnabled(resume, kEnable);
    HWND done = WaitForButton(unsetup.Id(), "アンインストール完了(&E)", kWait);
    ASSERT_NE(done, nullptr) << "no completion button\n" << Windows(unsetup);
    Picture(done, "unsetup-complete");
    ClickWhenEnabled(done, kEnable);
    ASSERT_NE(unsetup.Wait(30000), -1) << "the uninstaller did not end";
  }

  // The user's file stays, and so does the folder that holds it.
  EXPECT_BYTES(Read(app + "mine.txt"), "ユーザーのファイル\r\n");
  EXPECT_FALSE(Exists(app + "ovshellex.dll"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClsid)) << "ovshellex.dll was deleted without being unregistered";
  DeleteFileA((app + "mine.txt").c_str());
  RemoveDirectoryA(app.c_str());

  State after = MachineState();
  // Left on purpose: the uninstaller, and ODSET98.INI without the package's section; the
  // held file, which the installation recorded ("/W"), went with it.
  after.erase(windows + "UNOD200X.EXE");
  // The folder above the install folder, which the installation made for it, is not in
  // the record: the uninstallation removes the install folder only.
  EXPECT_TRUE(after.erase(ProgramFilesFolder() + "OvWire\\"));
  EXPECT_BYTES(Profile(windows + "ODSET98.INI", "OVWIRE01", "Folder"), "<none>");
  after.erase(windows + "ODSET98.INI");
  State expected = before;
  expected.erase(windows + "ODSET98.INI");
  expected.erase(held);
  expected.erase(windows + "UNOD200X.EXE");
  EXPECT_EQ(Difference(expected, after), "") << "the machine differs after the round trip";
  DeleteFileA(held.c_str());
}

// A package without questions on the way: the wizard's pages, the completion text and the
// final choice without a restart.
void InstallThroughWizard(const std::string& medium) {
  Program setup;
  ASSERT_TRUE(setup.Start("\"" + medium + "SETUP.EXE\""));
  for (const char* caption : {"インストール続行(&C)", "インストール開始(&S)"}) {
    HWND button = WaitForButton(setup.Id(), caption, kWait);
    ASSERT_NE(button, nullptr) << ov::test::Readable(caption) << "\n" << Windows(setup);
    ClickWhenEnabled(button, kEnable);
  }
  HWND box = WaitForBox(setup.Id(), "フォルダ作成", kWait);
  ASSERT_NE(box, nullptr) << Windows(setup);
  Answer(box, IDYES);
  HWND next = WaitForButton(setup.Id(), "次へ(&N)", kWait);
  ASSERT_NE(next, nullptr) << Windows(setup);
  ClickWhenEnabled(next, kEnable);
  HWND finish = WaitForButton(setup.Id(), "インストール完了(&E)", kWait);
  ASSERT_NE(finish, nullptr) << Windows(setup);
  ClickWhenEnabled(finish, kEnable);
  ASSERT_NE(setup.Wait(30000), -1);
}

// The uninstall entry's command through its page; the four-button question answered with
// `answer` when it comes. Whether it came.
bool UninstallByEntry(const std::string& record, const char* answer) {
  const std::string entry = Profile(record, "UnSetupRegistryKey", "Key");
  const std::string command = RegString(HKEY_LOCAL_MACHINE, entry, "UninstallString");
  Program unsetup;
  EXPECT_TRUE(unsetup.Start(command)) << ov::test::Readable(command);
  HWND start = WaitForButton(unsetup.Id(), "アンインストール開始(&S)", kWait);
  EXPECT_NE(start, nullptr) << Windows(unsetup);
  if (start == nullptr) return false;
  ClickWhenEnabled(start, kEnable);
  bool asked = false;
  HWND done = nullptr;
  for (int i = 0; i < 600 && done == nullptr; ++i) {
    if (HWND question = WaitFor(unsetup.Id(), [](HWND w) { return TextOf(w) == "ファイル削除の確認"; }, 0)) {
      asked = true;
      ClickWhenEnabled(WaitForButton(unsetup.Id(), answer, kWait), kEnable);
      for (int j = 0; j < 100 && IsWindowVisible(question); ++j) Sleep(50);
    }
    done = WaitFor(unsetup.Id(), [](HWND w) { return ClassOf(w) == "Button" && TextOf(w) == "アンインストール完了(&E)"; }, 0);
    if (done == nullptr) Sleep(50);
  }
  EXPECT_NE(done, nullptr) << "no completion button\n" << Windows(unsetup);
  if (done != nullptr) ClickWhenEnabled(done, kEnable);
  EXPECT_NE(unsetup.Wait(30000), -1);
  return asked;
}

TEST(SharedDll, TheFirstUninstallationLowersTheCountAndTheLastAsks) {
  const std::string system = ov::test::SystemFolder();
  const std::string shared = system + "OVSHARE.DLL";
  DeleteFileA(shared.c_str());
  std::string records[2];
  for (int n = 0; n < 2; ++n) {
    const std::string letter(1, static_cast<char>('A' + n));
    const std::string medium = TempFolder() + "ov_wire_shared" + letter + "\\";
    const std::string app = ProgramFilesFolder() + "OvShare" + letter + "\\";
    RemoveTree(app);
    CreateDirectoryA(medium.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((ThisFolder() + "SETUP.EXE").c_str(), (medium + "SETUP.EXE").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((ThisFolder() + "ovshellex.dll").c_str(), (medium + "OVSHARE.DLL").c_str(), FALSE));
    Write(medium + "own.txt", "パッケージ" + letter + "\r\n");
    Write(medium + "SETUP.INI", "[Title]\r\nProgram=共有" + letter + "\r\nUnSetup=OvShare " + letter +
                                    "\r\n[DefaultFolder]\r\nFolder=" + app + "\r\n[ProgramID]\r\nID=OVSHARE" +
                                    letter + "\r\n[Extend]\r\nSetupSpeed=1\r\n[CopyFile]\r\nFile1=(App)own.txt\r\n"
                                    "File2=(Sys)OVSHARE.DLL,/S\r\n");
    InstallThroughWizard(medium);
    records[n] = app + "UNSETUP.INI";
    ASSERT_TRUE(Exists(records[n]));
  }
  DWORD type = 0;
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kSharedDlls, shared, &type), std::string("\x02\0\0\0", 4));

  EXPECT_FALSE(UninstallByEntry(records[0], "はい(&Y)")) << "asked while the other package still counts";
  EXPECT_TRUE(Exists(shared));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kSharedDlls, shared), std::string("\x01\0\0\0", 4));

  EXPECT_TRUE(UninstallByEntry(records[1], "はい(&Y)")) << "the last user was not asked";
  EXPECT_FALSE(Exists(shared));
  EXPECT_BYTES(RegString(HKEY_LOCAL_MACHINE, kSharedDlls, shared), "<no value>");
  EXPECT_FALSE(Exists(records[1]));
}

}  // namespace
