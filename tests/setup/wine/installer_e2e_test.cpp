// The real SETUP.EXE under hostile conditions, driven through its windows as a person would:
// a read-only medium, a second installer while one runs, a second disk whose files appear
// only after the prompt, an abort in the middle of the copy, install folders on a drive
// that does not exist, with a 0x5C second byte and near the 260-byte limit, a medium
// without its script, a record the user edited by hand, and 10,000 files.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "setup_driver/setup_driver.h"
#include "support/readable.h"
#include "support/win_files.h"

namespace ov::setup {
namespace {

using namespace driver;
using namespace ov::test;

std::string Profile(const std::string& file, const std::string& section, const std::string& key) {
  std::string value(4096, '\0');
  value.resize(GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value.data(),
                                        static_cast<DWORD>(value.size()), file.c_str()));
  return value;
}

std::string UninstallCommand(const std::string& id) {
  HKEY key = nullptr;
  const std::string path = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + id;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  char value[1024] = {};
  DWORD size = sizeof(value) - 1;
  RegQueryValueExA(key, "UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return value;
}

// A medium folder in the temp folder: SETUP.EXE beside the script and the package's files.
// The two words differ: the wizard tells its start buttons apart by their captions.
struct Medium {
  std::string folder;
  std::string id;
  // extend: more lines of [Extend], beside the captions' words.
  Medium(const std::string& name, const std::string& script, const std::string& extend = "") {
    folder = TempFolder() + name + "\\";
    RemoveTree(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    id = "OvE2E" + name;
    CopyFileA((ThisFolder() + "SETUP.EXE").c_str(), (folder + "SETUP.EXE").c_str(), FALSE);
    if (!script.empty()) {
      Write(folder + "SETUP.INI", "[Title]\r\nSetup=E2E\r\nProgram=E2E\r\nUnSetup=" + id + "\r\n[Extend]\r\nSetupString=E2E\r\n"
                                      "UnSetupString=E2E除去\r\n" + extend + "[DefaultFolder]\r\nFolder=(Prg)" + id + "\\\r\n[ProgramID]\r\nID=" +
                                      id + "\r\n" + script);
    }
  }
  ~Medium() {
    WritePrivateProfileStringA(id.c_str(), nullptr, nullptr, (WindowsFolder() + "ODSET98.INI").c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, ("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + id).c_str());
    RemoveTree(folder);
  }
  void Put(const std::string& name, const std::string& contents) { Write(folder + name, contents); }
};

// How a run answers what it asks: the button id for a message box of this caption and
// text; 0 leaves the box to the test (the loop fails on it).
using Answerer = std::function<int(const std::string& caption, const std::string& text)>;

int AnswerYes(const std::string&, const std::string&) { return IDYES; }

struct Outcome {
  bool completed = false;         // the completion page was reached and left
  bool failurePage = false;       // the failure-details page was shown
  std::vector<std::string> boxes;  // "caption|text" of every message box
  int exitCode = -1;
};

// Title page, last page (the folder typed in), start; then the run to its end.
Outcome Install(const Medium& medium, const std::string& folder, const Answerer& answer = AnswerYes,
                const std::function<void(Program&)>& duringCopy = nullptr, DWORD limit = 120000) {
  Outcome outcome;
  Program setup;
  if (!setup.Start("\"" + medium.folder + "SETUP.EXE\"", medium.folder)) {
    ADD_FAILURE() << "SETUP.EXE did not start";
    return outcome;
  }
  HWND next = WaitForButton(setup.Id(), "E2E続行(&C)");
  if (next == nullptr) {
    ADD_FAILURE() << "no title page";
    return outcome;
  }
  ClickWhenEnabled(next);
  HWND start = WaitForButton(setup.Id(), "E2E開始(&S)");
  // txtFolder holds the default folder, with its "\".
  HWND edit = WaitFor(setup.Id(), [](HWND w) {
    const std::string text = TextOf(w);
    return ClassOf(w) == "Edit" && !text.empty() && text.back() == '\\';
  });
  if (start == nullptr || edit == nullptr) {
    ADD_FAILURE() << "no last page";
    return outcome;
  }
  // As typed: the text, and the notification the wizard reads it by.
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  SendMessageA(GetParent(edit), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(edit), EN_CHANGE), reinterpret_cast<LPARAM>(edit));
  ClickWhenEnabled(start);
  if (duringCopy) duringCopy(setup);
  const DWORD begin = GetTickCount();
  while (setup.Running() && GetTickCount() - begin < limit) {
    if (HWND box = FindBox(setup.Id())) {
      const std::string caption = TextOf(box), text = BoxText(box);
      outcome.boxes.push_back(caption + "|" + text);
      const int button = answer(caption, text);
      if (button == 0) break;
      Answer(box, GetDlgItem(box, button) != nullptr ? button : IDOK);
      Sleep(200);
      continue;
    }
    if (HWND more = WaitForButton(setup.Id(), "続行(&C)", 0)) {
      outcome.failurePage = true;
      ClickWhenEnabled(more);
      Sleep(200);
      continue;
    }
    if (HWND next = WaitForButton(setup.Id(), "次へ(&N)", 0)) {
      if (IsWindowEnabled(next)) ClickWhenEnabled(next);
      Sleep(200);
    }
    if (HWND done = WaitForButton(setup.Id(), "E2E完了(&E)", 0)) {
      // Never a restart from a test: the choice without it where one is offered.
      if (HWND no = WaitFor(setup.Id(), [](HWND w) {
            return ClassOf(w) == "Button" && TextOf(w).rfind("いいえ、Windowsは再起動せずに", 0) == 0;
          }, 0)) {
        SendMessageA(no, BM_CLICK, 0, 0);
      }
      ClickWhenEnabled(done);
      outcome.completed = true;
      break;
    }
    Sleep(100);
  }
  outcome.exitCode = setup.Wait(20000);
  if (outcome.exitCode == -1) ADD_FAILURE() << "SETUP.EXE did not end";
  return outcome;
}

// The uninstaller as Windows' list starts it, every question answered Yes.
bool Uninstall(const std::string& id) {
  const std::string command = UninstallCommand(id);
  Program uninstaller;
  if (command.empty() || !uninstaller.Start(command)) return false;
  HWND start = WaitForButton(uninstaller.Id(), "E2E除去開始(&S)");
  if (start == nullptr) return false;
  ClickWhenEnabled(start);
  const DWORD begin = GetTickCount();
  while (uninstaller.Running() && GetTickCount() - begin < 120000) {
    if (HWND box = FindBox(uninstaller.Id())) {
      Answer(box, GetDlgItem(box, IDYES) != nullptr ? IDYES : IDOK);
    } else if (HWND yes = WaitForButton(uninstaller.Id(), "はい(&Y)", 0)) {
      ClickWhenEnabled(yes);
    } else if (HWND more = WaitForButton(uninstaller.Id(), "続行(&C)", 0)) {
      ClickWhenEnabled(more);
    } else if (HWND done = WaitForButton(uninstaller.Id(), "E2E除去完了(&E)", 0)) {
      ClickWhenEnabled(done);
      break;
    }
    Sleep(150);
  }
  return uninstaller.Wait(20000) == 0;
}

TEST(InstallerEndToEnd, AReadOnlyMediumInstallsFilesThatCanBeChangedAfterwards) {
  Medium medium("e2e_readonly", "[CopyFile]\r\nFile1=(App)data.txt\r\n");
  medium.Put("data.txt", "データ");
  SetFileAttributesA((medium.folder + "data.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA((medium.folder + "SETUP.INI").c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(medium.folder.c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string app = TempFolder() + "e2e_readonly_app\\";
  const Outcome outcome = Install(medium, app);
  EXPECT_TRUE(outcome.completed);
  EXPECT_FALSE(outcome.failurePage);
  EXPECT_BYTES(Read(app + "data.txt"), "データ");
  EXPECT_FALSE(GetFileAttributesA((app + "data.txt").c_str()) & FILE_ATTRIBUTE_READONLY)
      << "a file from a read-only medium keeps its read-only flag";
  EXPECT_TRUE(Uninstall(medium.id));
  EXPECT_FALSE(Exists(app + "data.txt"));
  RemoveTree(app);
}

TEST(InstallerEndToEnd, ASecondInstallerEndsAtOnceWhileTheFirstRuns) {
  Medium medium("e2e_twice", "[CopyFile]\r\n");
  Program first;
  ASSERT_TRUE(first.Start("\"" + medium.folder + "SETUP.EXE\"", medium.folder));
  HWND end = WaitForButton(first.Id(), "E2E終了(&E)");
  ASSERT_NE(end, nullptr);
  Program second;
  ASSERT_TRUE(second.Start("\"" + medium.folder + "SETUP.EXE\"", medium.folder));
  EXPECT_EQ(second.Wait(15000), 0) << "the second installer did not end by itself";
  EXPECT_TRUE(first.Running());
  ClickWhenEnabled(end);
  HWND box = WaitForBox(first.Id(), "終了確認");
  ASSERT_NE(box, nullptr);
  Answer(box, IDYES);
  EXPECT_NE(first.Wait(20000), -1);
}

TEST(InstallerEndToEnd, TheSecondDisksFilesAppearOnlyAfterThePrompt) {
  Medium medium("e2e_disks", "[CopyFile]\r\nFile1=(App)one.txt\r\nFile2=(Dch)(App)two.txt\r\nFile3=(App)three.txt\r\n");
  medium.Put("one.txt", "1");
  const std::string app = TempFolder() + "e2e_disks_app\\";
  int prompts = 0;
  const Outcome outcome = Install(medium, app, [&](const std::string& caption, const std::string& text) {
    if (caption == "ディスク交換") {
      ++prompts;
      EXPECT_BYTES(text, "2枚目のディスクに交換してください。");
      // The second disk goes in.
      Write(medium.folder + "two.txt", "2");
      Write(medium.folder + "three.txt", "3");
      return IDOK;
    }
    return IDYES;
  });
  EXPECT_TRUE(outcome.completed);
  EXPECT_EQ(prompts, 1);
  EXPECT_BYTES(Read(app + "one.txt") + Read(app + "two.txt") + Read(app + "three.txt"), "123");
  EXPECT_TRUE(Uninstall(medium.id));
  RemoveTree(app);
}

TEST(InstallerEndToEnd, AnAbortInTheMiddleOfTheCopyLeavesOnlyWholeFiles) {
  std::string script = "[CopyFile]\r\n";
  for (int i = 1; i <= 150; ++i) script += "File" + std::to_string(i) + "=(App)f" + std::to_string(i) + ".txt\r\n";
  Medium medium("e2e_abort", script, "SetupSpeed=40\r\n");
  for (int i = 1; i <= 150; ++i) medium.Put("f" + std::to_string(i) + ".txt", std::string(4000, 'a' + i % 26));
  const std::string app = TempFolder() + "e2e_abort_app\\";
  // The folder is there: no question stands between the start and the copy.
  CreateDirectoryA(app.c_str(), nullptr);
  std::vector<std::string> captions;
  const Outcome outcome = Install(
      medium, app,
      [&](const std::string& caption, const std::string&) {
        captions.push_back(caption);
        return IDYES;
      },
      [](Program& setup) {
        HWND abort = WaitForButton(setup.Id(), "中断(&A)");
        ASSERT_NE(abort, nullptr);
        Sleep(1500);  // some files copied, most not yet
        ClickWhenEnabled(abort);
      });
  EXPECT_FALSE(outcome.completed);
  EXPECT_NE(std::find(captions.begin(), captions.end(), "中断"), captions.end()) << "no 処理を中断しました";
  int copied = 0;
  for (int i = 1; i <= 150; ++i) {
    const std::string path = app + "f" + std::to_string(i) + ".txt";
    if (!Exists(path)) continue;
    ++copied;
    EXPECT_EQ(Read(path), std::string(4000, 'a' + i % 26)) << path;
  }
  EXPECT_GT(copied, 0);
  EXPECT_LT(copied, 150) << "the abort did not stop the copy";
  RemoveTree(app);
}

TEST(InstallerEndToEnd, AnInstallFolderOnADriveThatDoesNotExistIsRefusedClearly) {
  Medium medium("e2e_nodrive", "[CopyFile]\r\nFile1=(App)data.txt\r\n");
  medium.Put("data.txt", "x");
  char drive = 'Z';
  while (drive > 'D' && GetDriveTypeA((std::string(1, drive) + ":\\").c_str()) != DRIVE_NO_ROOT_DIR) --drive;
  const Outcome outcome = Install(medium, std::string(1, drive) + ":\\E2E\\");
  EXPECT_FALSE(outcome.completed);
  EXPECT_FALSE(outcome.boxes.empty()) << "nothing told the user";
  EXPECT_NE(outcome.exitCode, -1);
}

TEST(InstallerEndToEnd, FolderNamesWithA5CSecondByteAndNearTheLengthLimit) {
  Medium medium("e2e_names", "[CopyFile]\r\nFile1=(App)表示.txt\r\nFile2=(App)ソフト.txt\r\n");
  medium.Put("表示.txt", "表");
  medium.Put("ソフト.txt", "ソ");
  // "表" and "ソ" end in 0x5C: a path cut at a false "\" would land elsewhere.
  const std::string app = TempFolder() + "e2e 表示ソフト 能\\";
  Outcome outcome = Install(medium, app);
  EXPECT_TRUE(outcome.completed);
  EXPECT_FALSE(outcome.failurePage);
  EXPECT_BYTES(Read(app + "表示.txt") + Read(app + "ソフト.txt"), "表ソ");
  EXPECT_TRUE(Uninstall(medium.id));
  EXPECT_FALSE(Exists(app));

  // A folder whose files' paths pass 259 bytes: the file that does not fit is a reported
  // failure, never a file written under a cut name.
  std::string deep = TempFolder() + "e2e_long\\";
  while (deep.size() < 240) deep += "長いフォルダ名\\";
  const std::string top = TempFolder() + "e2e_long\\";
  Medium longer("e2e_long_medium", "[CopyFile]\r\nFile1=(App)a.txt\r\nFile2=(App)" + std::string(40, 'n') + ".txt\r\n");
  longer.Put("a.txt", "a");
  longer.Put(std::string(40, 'n') + ".txt", "n");
  outcome = Install(longer, deep);
  EXPECT_NE(outcome.exitCode, -1);
  EXPECT_TRUE(outcome.failurePage || !outcome.boxes.empty()) << "a path over the limit went unreported";
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((deep + "*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      EXPECT_TRUE(name == "." || name == ".." || name == "a.txt" || name.find('n') != 0 || name == std::string(40, 'n') + ".txt")
          << "a cut name was written: " << name;
    } while (FindNextFileA(find, &found));
    FindClose(find);
  }
  Uninstall(longer.id);
  RemoveTree(top);
}

TEST(InstallerEndToEnd, AMediumWithoutItsScriptShowsTheErrorState) {
  Medium medium("e2e_noscript", "");
  Program setup;
  ASSERT_TRUE(setup.Start("\"" + medium.folder + "SETUP.EXE\"", medium.folder));
  HWND end = WaitForButton(setup.Id(), "終了(&E)");
  ASSERT_NE(end, nullptr) << "no error state";
  HWND message = WaitFor(setup.Id(), [](HWND w) {
    return ClassOf(w) == "Static" && TextOf(w).find("iniファイル読み込み失敗") != std::string::npos;
  });
  EXPECT_NE(message, nullptr) << "the error state does not name the script";
  EXPECT_EQ(WaitForButton(setup.Id(), "処理開始(&S)", 0) != nullptr && IsWindowEnabled(WaitForButton(setup.Id(), "処理開始(&S)", 0)), false);
  ClickWhenEnabled(end);
  EXPECT_NE(setup.Wait(20000), -1);
}

TEST(InstallerEndToEnd, ARecordEditedByHandRemovesOnlyWhatItStillNames) {
  Medium medium("e2e_edited", "[CopyFile]\r\nFile1=(App)one.txt\r\nFile2=(App)two.txt\r\nFile3=(App)three.txt\r\n");
  for (const char* name : {"one.txt", "two.txt", "three.txt"}) medium.Put(name, name);
  const std::string app = TempFolder() + "e2e_edited_app\\";
  const std::string outside = TempFolder() + "e2e_edited_outside.txt";
  Write(outside, "the user's");
  ASSERT_TRUE(Install(medium, app).completed);
  const std::string record = app + "UNSETUP.INI";
  ASSERT_TRUE(Exists(record));
  Write(app + "mine.txt", "the user's own file");
  // The user's edits: the entry of two.txt removed (a gap: the run reads the list up to
  // it), a 10,000-character title, and a wildcard entry that climbs out of the folder.
  std::vector<std::string> entries;
  for (int n = 1;; ++n) {
    const std::string value = Profile(record, "DeleteFile", "File" + std::to_string(n));
    if (value.empty()) break;
    entries.push_back(value);
  }
  std::size_t gap = entries.size();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].find("two.txt") != std::string::npos) gap = i;
  }
  ASSERT_LT(gap, entries.size());
  WritePrivateProfileStringA("DeleteFile", ("File" + std::to_string(gap + 1)).c_str(), nullptr, record.c_str());
  WritePrivateProfileStringA("Title", "UnSetup", std::string(10000, 'X').c_str(), record.c_str());
  WritePrivateProfileStringA("AddDeleteFile", "File1", (app + "..\\e2e_edited_*.zzz").c_str(), record.c_str());
  EXPECT_TRUE(Uninstall(medium.id));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string path = entries[i].substr(0, entries[i].find(','));
    if (i < gap) {
      EXPECT_FALSE(Exists(path)) << path << " was named before the gap";
    } else if (i > gap) {
      EXPECT_TRUE(Exists(path)) << path << " was named only after the gap";
    }
  }
  EXPECT_TRUE(Exists(app + "two.txt"));
  EXPECT_BYTES(Read(app + "mine.txt"), "the user's own file");
  EXPECT_BYTES(Read(outside), "the user's");
  DeleteFileA(outside.c_str());
  RemoveTree(app);
}

TEST(InstallerEndToEnd, TenThousandFilesInstallAndTheRecordListsEveryOne) {
  constexpr int kCount = 10000;
  std::string script = "[MakeFolder]\r\n";
  for (int d = 0; d < 50; ++d) script += "Folder" + std::to_string(d + 1) + "=(App)d" + std::to_string(d) + "\r\n";
  script += "[CopyFile]\r\n";
  for (int i = 1; i <= kCount; ++i) script += "File" + std::to_string(i) + "=(App)d" + std::to_string(i % 50) + "\\f" + std::to_string(i) + ".dat\r\n";
  Medium medium("e2e_10000", script, "SetupSpeed=1\r\n");
  for (int i = 1; i <= kCount; ++i) medium.Put("f" + std::to_string(i) + ".dat", std::to_string(i));
  const std::string app = TempFolder() + "e2e_10000_app\\";
  const Outcome outcome = Install(medium, app, AnswerYes, nullptr, 900000);
  EXPECT_TRUE(outcome.completed);
  EXPECT_FALSE(outcome.failurePage);
  const std::string record = app + "UNSETUP.INI";
  int listed = 0;
  for (int n = 1;; ++n) {
    if (Profile(record, "DeleteFile", "File" + std::to_string(n)).empty()) break;
    ++listed;
  }
  EXPECT_EQ(listed, kCount + 1) << "every file and the record itself";
  for (int i = 1; i <= kCount; i += 997) {
    EXPECT_EQ(Read(app + "d" + std::to_string(i % 50) + "\\f" + std::to_string(i) + ".dat"), std::to_string(i));
  }
  EXPECT_TRUE(Uninstall(medium.id));
  EXPECT_FALSE(Exists(app + "d1\\f1.dat"));
  RemoveTree(app);
}

}  // namespace
}  // namespace ov::setup
