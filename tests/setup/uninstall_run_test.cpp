// The uninstall run on the in-memory Windows: the file decision table with the user's
// answers, the shared-file channel, the restart fallback, shortcuts and program groups,
// folders deepest first, registry keys, associations, the uninstall entry, the install
// folder with its protected cases, the failure report and the status log.
#include <gtest/gtest.h>

#include "setup/text/str_op.h"
#include "support/readable.h"
#include "uninstall_world.h"

namespace ov::setup::test {
namespace {

using namespace platform;
using ov::test::Readable;

std::string App(const std::string& name) { return std::string(kApp) + name; }

// One row of the decision table: the entry, its SharedDLLs count (-1: none), the answers
// of the box and of the four-button question, and what must follow.
struct DecisionRow {
  const char* name;
  std::string entry;
  std::int64_t count;
  int boxAnswer;  // 0: no box expected
  int sharedAsked;
  SharedAnswer sharedAnswer;
  bool deleted;
  std::string flags;          // after the decision
  std::int64_t countAfter;    // -1: no value
};

TEST(UninstallDecisions, EveryRowOfTheTable) {
  const std::string sysOcx = "C:\\WINDOWS\\system32\\x.ocx";
  const std::string winDll = "C:\\WINDOWS\\y.dll";
  const DecisionRow rows[] = {
      {"confirm yes", App("a.dll") + ",/C", -1, box::kYes, 0, SharedAnswer::kNo, true, "/C", -1},
      {"confirm no", App("a.dll") + ",/C/F", -1, box::kNo, 0, SharedAnswer::kNo, false, "/C/F/L", -1},
      {"leave", App("a.dll") + ",/L", -1, 0, 0, SharedAnswer::kNo, false, "/L/L", -1},
      {"system ocx yes", sysOcx, -1, box::kYes, 0, SharedAnswer::kNo, true, "", -1},
      {"system ocx no", sysOcx, -1, box::kNo, 0, SharedAnswer::kNo, false, "/L", -1},
      {"windows dll no", winDll + ",/R", -1, box::kNo, 0, SharedAnswer::kNo, false, "/R/L", -1},
      {"app ocx", App("x.ocx"), -1, 0, 0, SharedAnswer::kNo, true, "", -1},
      {"plain", App("tool.exe") + ",/R", -1, 0, 0, SharedAnswer::kNo, true, "/R", -1},
      {"shared 3", App("s.dll") + ",/S", 3, 0, 0, SharedAnswer::kNo, false, "/S/L", 2},
      {"shared 1 yes", App("s.dll") + ",/S", 1, 0, 1, SharedAnswer::kYes, true, "/S", -1},
      {"shared 1 no", App("s.dll") + ",/s", 1, 0, 1, SharedAnswer::kNo, false, "/s/L", -1},
      {"shared 1 delete", App("s.dll") + ",/S", 1, 0, 1, SharedAnswer::kDelete, true, "/S", -1},
      {"shared 1 save", App("s.dll") + ",/S", 1, 0, 1, SharedAnswer::kSave, false, "/S/L", -1},
      {"counted without /S", App("s.dll") + ",/R", 2, 0, 0, SharedAnswer::kNo, false, "/R/L", 2},
      {"counted with /C, no /S", App("s.dll") + ",/C", 1, 0, 0, SharedAnswer::kNo, false, "/C/L", 1},
  };
  for (const DecisionRow& row : rows) {
    SCOPED_TRACE(row.name);
    UninstallWorld world;
    world.view.choices.folder = "C:\\Inst\\";  // a folder of its own: kept files do not keep it
    world.platform.Files().MakeFolders("C:\\Inst");
    const std::string path = row.entry.substr(0, row.entry.find(','));
    world.Put(path);
    if (row.count >= 0) world.SetShared(path, static_cast<std::uint32_t>(row.count));
    if (row.boxAnswer != 0) world.ui.QueueAnswer(row.boxAnswer);
    world.view.sharedAnswers.push_back(row.sharedAnswer);
    world.Record("[DeleteFile]\r\nFile1=" + row.entry + "\r\n");
    world.Run();
    EXPECT_EQ(world.Exists(path), !row.deleted);
    ASSERT_EQ(world.run->Decisions().size(), 1u);
    EXPECT_BYTES(world.run->Decisions()[0].flags, row.flags);
    EXPECT_EQ(world.run->Decisions()[0].result, 0u);
    EXPECT_FALSE(world.Scheduled(path));
    EXPECT_EQ(world.Shared(path), row.countAfter);
    EXPECT_EQ(world.view.sharedQuestions.size(), static_cast<std::size_t>(row.sharedAsked));
    const auto& boxes = world.ui.MessageBoxes();
    ASSERT_EQ(boxes.size(), row.boxAnswer != 0 ? 1u : 0u);
    if (row.boxAnswer != 0) {
      EXPECT_BYTES(boxes[0].caption, "ファイル削除の確認");
      EXPECT_EQ(boxes[0].style, box::kQuestion);
      EXPECT_EQ(boxes[0].text.rfind(path + "\r\n\r\n", 0), 0u);
    }
    EXPECT_BYTES(world.run->Details(), "");
  }
}

TEST(UninstallDecisions, QuestionTexts) {
  UninstallWorld world;
  const std::string shared = App("s.dll");
  world.Put(shared);
  world.SetShared(shared, 1);
  world.Put("C:\\WINDOWS\\system32\\x.ocx");
  world.ui.QueueAnswer(box::kNo);
  world.view.choices.folder = "C:\\Inst\\";
  world.Record("[DeleteFile]\r\nFile1=" + shared + ",/S\r\nFile2=C:\\WINDOWS\\system32\\x.ocx\r\n");
  world.Run();
  ASSERT_EQ(world.view.sharedQuestions.size(), 1u);
  EXPECT_BYTES(world.view.sharedQuestions[0],
               shared + "\r\n\r\nこの共有ファイルは、現在、他のどのプログラムからも使われていません。\r\n"
                        "しかし、今後、他のプログラムで使われる可能性があります。\r\n"
                        "このファイルを削除してもよろしいですか？");
  ASSERT_EQ(world.ui.MessageBoxes().size(), 1u);
  EXPECT_BYTES(world.ui.MessageBoxes()[0].text,
               "C:\\WINDOWS\\system32\\x.ocx\r\n\r\nこのDLL/OCXファイルは、共有登録されていませんが、\r\n"
               "今後、他のプログラムで使われる可能性があります。\r\nこのファイルを削除してもよろしいですか？");
}

// "すべて保存(&A)" and "すべて削除(&D)" answer every later file whose count reaches 0, in
// [AddDeleteFile] too; a file still counted elsewhere is kept without a question.
TEST(UninstallDecisions, SaveAllAndDeleteAllAnswerLaterFiles) {
  for (const SharedAnswer answer : {SharedAnswer::kSave, SharedAnswer::kDelete}) {
    SCOPED_TRACE(static_cast<int>(answer));
    UninstallWorld world;
    const std::string a = App("a.dll"), b = App("b.dll"), c = App("c.dll"), d = App("d.dll");
    for (const std::string& path : {a, b, c, d}) world.Put(path);
    world.SetShared(a, 1);
    world.SetShared(b, 3);
    world.SetShared(c, 1);
    world.SetShared(d, 1);
    world.view.sharedAnswers = {answer, SharedAnswer::kYes};
    world.Record("[DeleteFile]\r\nFile1=" + a + ",/S\r\nFile2=" + b + ",/S\r\nFile3=" + c +
                 ",/S\r\n[AddDeleteFile]\r\nFile1=" + d + ",/S\r\n");
    world.Run();
    EXPECT_EQ(world.view.sharedQuestions.size(), 1u);
    const bool kept = answer == SharedAnswer::kSave;
    EXPECT_EQ(world.Exists(a), kept);
    EXPECT_TRUE(world.Exists(b));
    EXPECT_EQ(world.Shared(b), 2);
    EXPECT_EQ(world.Exists(c), kept);
    EXPECT_EQ(world.Exists(d), kept);
    for (const std::string& path : {a, c, d}) EXPECT_EQ(world.Shared(path), -1);
  }
}

TEST(UninstallDecisions, RestartFallback) {
  // Cannot be deleted, with "/F": scheduled, noted and counted.
  UninstallWorld world;
  const std::string locked = App("locked.dll");
  const std::string plain = App("plain.exe");
  world.Put(locked);
  world.Put(plain);
  world.platform.Failures().FailPath("SHFileOperationA", locked, error::kSharingViolation);
  world.platform.Failures().FailPath("SHFileOperationA", plain, error::kAccessDenied);
  world.ui.QueueAnswer(box::kNo);  // the failure report's question
  world.Record("[DeleteFile]\r\nFile1=" + locked + ",/F\r\nFile2=" + plain + "\r\n[AddDeleteFile]\r\nFile1=" +
               App("gone.txt") + ",/F\r\n");
  world.Run();
  EXPECT_TRUE(world.Scheduled(locked));
  EXPECT_FALSE(world.Scheduled(plain));
  EXPECT_TRUE(world.Scheduled(App("gone.txt")));  // not there: 2, and "/F" schedules it all the same
  // Two files and the install folder they keep; [AddDeleteFile] failures are neither
  // logged nor counted.
  EXPECT_EQ(world.run->FailureCount(), 3);
  const std::string& details = world.run->Details();
  EXPECT_NE(details.find("<File> " + locked + "\r\n"), std::string::npos) << Readable(details);
  EXPECT_NE(details.find("(追加情報)このファイルはWindowsの再起動後に削除が試行されます。\r\n\r\n<File> " + plain),
            std::string::npos)
      << Readable(details);
  EXPECT_EQ(details.find("gone.txt"), std::string::npos);
  EXPECT_NE(world.run->StatusLog().find("ファイルのアンインストール処理．．．一部失敗\r\n"), std::string::npos);
}

TEST(UninstallFolders, DeepestFirstAndTheInstallFolderLast) {
  UninstallWorld world;
  world.Put(App("Data\\cache.ini"));
  world.Put(App("app.ini"));
  world.Put(App("user.txt"));  // the user's own file keeps the folder
  world.Put("C:\\Other\\Data\\keep.ini");
  world.view.choices.desktopChecked = true;  // "*.INI"
  world.ui.QueueAnswer(box::kYes);
  world.Record("[DeleteFolder]\r\nFolder1=" + App("") + "\r\nFolder2=" + App("Data\\") +
               "\r\nFolder3=C:\\Other\\Data\\\r\nFolder4=C:\\Other\\Empty\\\r\n");
  world.platform.Files().MakeFolders("C:\\Other\\Empty");
  world.platform.Failures().ClearLog();
  world.Run();
  EXPECT_BYTES(world.run->OptionPatterns(), "*.INI|");
  std::vector<std::string> removed;
  for (const auto& call : world.platform.Failures().Log()) {
    if (call.operation == "RemoveDirectoryA") removed.push_back(call.path);
  }
  const std::vector<std::string> expected = {"C:\\Other\\Empty", "C:\\Other\\Data", App("Data"), App(""),
                                             App("")};
  ASSERT_EQ(removed.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_BYTES(DropSeparator(removed[i], "B"), DropSeparator(expected[i], "B"));
  EXPECT_FALSE(world.Exists(App("Data")));
  EXPECT_FALSE(world.Exists(App("app.ini")));
  EXPECT_TRUE(world.Exists(App("user.txt")));
  EXPECT_TRUE(world.Exists("C:\\Other\\Data\\keep.ini"));  // not below the install folder: no patterns
  EXPECT_FALSE(world.Exists("C:\\Other\\Empty"));
  // Two failures: C:\Other\Data\ and the install folder, each with its own lines.
  EXPECT_EQ(world.run->FailureCount(), 3);
  EXPECT_NE(world.view.details.find("<SetupFolder> " + App("") +
                                    "\r\nファイル・フォルダが残っているため、インストールフォルダを削除できませんでした。"
                                    "エクスプローラなどから、直接削除してください。\r\n\r\n"),
            std::string::npos)
      << Readable(world.view.details);
  EXPECT_BYTES(world.view.detailsCaption, "削除処理失敗　詳細表示");
}

// A package that made its install folder lists it among its folders: gone in the folder
// step, it is not a failure of the last step.
TEST(UninstallFolders, InstallFolderAlreadyRemovedIsNoFailure) {
  UninstallWorld world;
  world.Record("[DeleteFolder]\r\nFolder1=" + App("") + "\r\n");
  world.Run();
  EXPECT_FALSE(world.Exists(App("")));
  EXPECT_EQ(world.run->FailureCount(), 0) << Readable(world.run->Details());
}

TEST(UninstallFolders, DeleteAllTakesTheTreeAndIgnoresTheFolderStep) {
  UninstallWorld world;
  world.Put(App("Data\\user.db"));
  world.Put(App("user.txt"));
  world.view.choices = UninstallChoices{kApp, true, false, false, false, false};
  world.Record("[DeleteFolder]\r\nFolder1=" + App("") + "\r\nFolder2=" + App("Data\\") + "\r\n");
  world.Run();
  EXPECT_TRUE(world.run->DeleteAll());
  EXPECT_FALSE(world.Exists(App("")));
  EXPECT_EQ(world.run->FailureCount(), 0);
  EXPECT_TRUE(world.ui.MessageBoxes().empty());
}

TEST(UninstallFolders, DeleteAllFailureSaysWhy) {
  UninstallWorld world;
  world.Put(App("Data\\busy.db"));
  world.platform.Failures().FailPath("SHFileOperationA", App("*.*"), error::kAccessDenied, fake::PathMatch::kEquals);
  world.view.choices = UninstallChoices{kApp, true, false, false, false, false};
  world.ui.QueueAnswer(box::kNo);
  world.Record("");
  world.Run();
  EXPECT_BYTES(world.run->Details(),
               "<SetupFolder> " + App("") +
                   "\r\n全ファイル・フォルダの削除を試みましたが、エラーが発生したため、インストールフォルダを削除できません"
                   "でした。エクスプローラなどから、直接削除してください。\r\n\r\n");
}

// An install folder that Windows or the user needs as a whole is never removed, even with
// every file chosen; a wildcard there takes files only.
TEST(UninstallFolders, ProtectedInstallFolders) {
  const char* const folders[] = {"C:\\", "D:\\", kDesktop, "C:\\WINDOWS\\", "c:\\windows\\system32\\",
                                 "C:\\Documents and Settings\\", "C:\\Program Files\\", "C:\\Program Files\\..\\"};
  for (const char* folder : folders) {
    SCOPED_TRACE(Readable(folder));
    UninstallWorld world;
    world.platform.Files().AddVolume('D');
    world.Put("D:\\keep\\k.txt");
    world.Put(std::string(folder) + "tool.exe");
    world.Put(std::string(folder) + "Sub\\data.txt");
    world.view.choices = UninstallChoices{folder, true, false, false, false, false};
    world.Record(std::string("[AddDeleteFile]\r\nFile1=") + folder + "*.*\r\n[DeleteFolder]\r\nFolder1=" + folder +
                 "\r\n");
    world.Run();
    EXPECT_TRUE(world.Exists(folder));
    EXPECT_TRUE(world.Exists(std::string(folder) + "Sub\\data.txt"));
    EXPECT_FALSE(world.Exists(std::string(folder) + "tool.exe"));
    EXPECT_TRUE(world.Exists("C:\\WINDOWS\\system32"));
    EXPECT_TRUE(world.Exists(kDesktop));
    EXPECT_TRUE(world.Exists(kWork));
    EXPECT_TRUE(world.Exists("C:\\WINDOWS\\UNOD200X.EXE"));
    EXPECT_EQ(world.run->FailureCount(), 0) << Readable(world.run->Details());
  }
}

TEST(UninstallRecordEntries, ShortcutsAndEmptyProgramGroups) {
  UninstallWorld world;
  const std::string group = std::string(kPrograms) + "Orvane\\";
  const std::string shared = std::string(kPrograms) + "Tools\\";
  world.Put(group + "tool.lnk");
  world.Put(shared + "tool.lnk");
  world.Put(shared + "other.lnk");
  world.Put(std::string(kDesktop) + "tool.lnk");
  world.ui.QueueAnswer(box::kNo);
  world.Record("[DeleteShortCut]\r\nFile1=" + group + "tool.lnk\r\nFile2=" + shared + "tool.lnk\r\nFile3=" + kDesktop +
               "tool.lnk\r\nFile4=" + kDesktop + "missing.lnk\r\n");
  world.Run();
  EXPECT_FALSE(world.Exists(group));
  EXPECT_TRUE(world.Exists(shared + "other.lnk"));
  EXPECT_FALSE(world.Exists(std::string(kDesktop) + "tool.lnk"));
  EXPECT_TRUE(world.Exists(kDesktop));
  EXPECT_EQ(world.run->FailureCount(), 1);
  EXPECT_EQ(world.run->Details().rfind("<ShortCut> " + std::string(kDesktop) + "missing.lnk\r\n", 0), 0u);
  EXPECT_NE(world.run->StatusLog().find("ショートカットのアンインストール処理．．．一部失敗\r\n"), std::string::npos);
}

TEST(UninstallRecordEntries, RegistryAssociationsAndUninstallEntry) {
  UninstallWorld world;
  RegistryApi& registry = world.platform.Registry();
  const std::string entry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvane Tools";
  const std::pair<RegHandle, std::string> keys[] = {
      {reg_root::kLocalMachine, "SOFTWARE\\Orvane\\Sub"}, {reg_root::kCurrentUser, "Software\\Orvane"},
      {reg_root::kClassesRoot, ".ovx"},  {reg_root::kClassesRoot, "ovx_auto_file\\shell"},
      {reg_root::kClassesRoot, ".txt"},  {reg_root::kClassesRoot, "txt_auto_file"},
      {reg_root::kClassesRoot, "txtfile"}, {reg_root::kClassesRoot, ".doc"},
      {reg_root::kClassesRoot, "doc_auto_file"}, {reg_root::kLocalMachine, entry},
      {reg_root::kLocalMachine, "SOFTWARE\\OrvaneTwo"},
      {reg_root::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other"}};
  for (const auto& [root, path] : keys) {
    RegKey key;
    ASSERT_EQ(RegKey::Create(registry, root, path, key), 0u);
    SetStringValue(registry, key.Get(), "", "auto");
  }
  world.Put("C:\\WINDOWS\\ODSET98.INI", "[ORVANE01]\r\nFolder=C:\\Program Files\\Orvane\\\r\n[OTHER]\r\nFolder=C:\\x\\\r\n");
  world.Record("[ProgramID]\r\nID=ORVANE01\r\n[DeleteRegistry]\r\nKey1=(Local)SOFTWARE\\Orvane\r\nKey2=Software\\Orvane\r\n"
               "Key3=(Local)\\SOFTWARE\\OrvaneTwo\\\r\n[RestoreRelate]\r\nKey1=ovx,\r\nKey2=txt,txtfile\r\nKey3=doc,doc_auto_file\r\n"
               "[UnSetupRegistryKey]\r\nKey=" + entry + "\r\n");
  world.Run();
  EXPECT_FALSE(world.KeyExists(reg_root::kLocalMachine, "SOFTWARE\\Orvane"));
  EXPECT_FALSE(world.KeyExists(reg_root::kCurrentUser, "Software\\Orvane"));
  // Written with separators around the path, as the install run accepts it.
  EXPECT_FALSE(world.KeyExists(reg_root::kLocalMachine, "SOFTWARE\\OrvaneTwo"));
  // No previous type: both keys go.
  EXPECT_FALSE(world.KeyExists(reg_root::kClassesRoot, ".ovx"));
  EXPECT_FALSE(world.KeyExists(reg_root::kClassesRoot, "ovx_auto_file"));
  // A previous type is written back; the association's own type goes.
  EXPECT_BYTES(world.Default(reg_root::kClassesRoot, ".txt"), "txtfile");
  EXPECT_FALSE(world.KeyExists(reg_root::kClassesRoot, "txt_auto_file"));
  EXPECT_TRUE(world.KeyExists(reg_root::kClassesRoot, "txtfile"));
  // A previous type that is the association's own type keeps that key.
  EXPECT_BYTES(world.Default(reg_root::kClassesRoot, ".doc"), "doc_auto_file");
  EXPECT_TRUE(world.KeyExists(reg_root::kClassesRoot, "doc_auto_file"));
  EXPECT_FALSE(world.KeyExists(reg_root::kLocalMachine, entry));
  EXPECT_TRUE(world.KeyExists(reg_root::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other"));
  std::string odset;
  world.platform.Files().Load("C:\\WINDOWS\\ODSET98.INI", odset);
  EXPECT_EQ(odset.find("ORVANE01"), std::string::npos) << Readable(odset);
  EXPECT_NE(odset.find("[OTHER]"), std::string::npos);
}

TEST(UninstallRecordEntries, PreviousTypeWithoutItsExtensionKey) {
  UninstallWorld world;
  RegKey key;
  RegKey::Create(world.platform.Registry(), reg_root::kClassesRoot, "txt_auto_file", key);
  key.Reset();
  world.Record("[RestoreRelate]\r\nKey1=txt,txtfile\r\n");
  world.Run();
  EXPECT_FALSE(world.KeyExists(reg_root::kClassesRoot, ".txt"));  // not made again
  EXPECT_FALSE(world.KeyExists(reg_root::kClassesRoot, "txt_auto_file"));
}

TEST(UninstallRecordEntries, ListsStopAtTheFirstMissingNumber) {
  UninstallWorld world;
  for (const char* name : {"f1", "f3", "a1", "a3", "s1.lnk", "s3.lnk"}) world.Put(App(name));
  world.platform.Files().MakeFolders("C:\\D1");
  world.platform.Files().MakeFolders("C:\\D3");
  world.Record("[DeleteFile]\r\nFile1=" + App("f1") + "\r\nFile3=" + App("f3") + "\r\n[AddDeleteFile]\r\nFile1=" +
               App("a1") + "\r\nFile2=\r\nFile3=" + App("a3") + "\r\n[DeleteShortCut]\r\nFile1=" + App("s1.lnk") +
               "\r\nFile3=" + App("s3.lnk") + "\r\n[DeleteFolder]\r\nFolder1=C:\\D1\\\r\nFolder3=C:\\D3\\\r\n");
  world.Run();
  EXPECT_FALSE(world.Exists(App("f1")));
  EXPECT_TRUE(world.Exists(App("f3")));
  EXPECT_FALSE(world.Exists(App("a1")));
  EXPECT_TRUE(world.Exists(App("a3")));
  EXPECT_FALSE(world.Exists(App("s1.lnk")));
  EXPECT_TRUE(world.Exists(App("s3.lnk")));
  EXPECT_FALSE(world.Exists("C:\\D1"));
  EXPECT_TRUE(world.Exists("C:\\D3"));
}

// A clean run asks nothing and its status log is the whole story, step by step.
TEST(UninstallRun, CleanRunStatusLog) {
  UninstallWorld world;
  world.Put(App("tool.exe"));
  world.Put(App("UNSETUP.INI"));
  world.Record("[DeleteFile]\r\nFile1=" + App("tool.exe") + "\r\nFile2=" + App("UNSETUP.INI") + "\r\n");
  ASSERT_EQ(world.Run(), UninstallEnd::kCompleted);
  EXPECT_TRUE(world.ui.MessageBoxes().empty());
  EXPECT_TRUE(world.view.sharedQuestions.empty());
  EXPECT_TRUE(world.view.optionsDisabled);
  EXPECT_TRUE(world.view.statusShown);
  EXPECT_BYTES(world.view.statusText,
               "アンインストールを行っています。\r\n\r\n【処理状況】\r\n"
               "ファイルのアンインストール処理．．．完了\r\n"
               "ショートカットのアンインストール処理．．．完了\r\n"
               "フォルダのアンインストール処理．．．完了\r\n"
               "レジストリのアンインストール処理．．．完了\r\n"
               "関連付けのアンインストール処理．．．完了\r\n"
               "「プログラム(アプリケーション)の追加と削除」の処理．．．完了\r\n"
               "インストールフォルダのアンインストール処理．．．完了\r\n"
               "\r\n【処理完了】\r\nアンインストールを完了しました。\r\n");
  EXPECT_BYTES(world.view.completionCaption, "アンインストール完了(&E)");
  EXPECT_FALSE(world.Exists(App("")));
  EXPECT_BYTES(world.platform.InstallFiles().CurrentFolder(), "C:\\WINDOWS\\TEMP\\");
}

TEST(UninstallRun, FailureReportAskedAndAnswered) {
  for (const int answer : {box::kYes, box::kNo}) {
    UninstallWorld world;
    world.ui.QueueAnswer(answer);
    world.Record("[DeleteFile]\r\nFile1=" + App("missing.exe") + "\r\n");
    world.Run();
    ASSERT_EQ(world.ui.MessageBoxes().size(), 1u);
    EXPECT_BYTES(world.ui.MessageBoxes()[0].caption, "情報");
    EXPECT_BYTES(world.ui.MessageBoxes()[0].text, "アンインストールの過程で、一部の処理が失敗しました。\r\n詳細を表示しますか？");
    EXPECT_EQ(world.ui.MessageBoxes()[0].style, box::kExclamationYesNo);
    const std::string expected = "<File> " + App("missing.exe") + "\r\n" +
                                 SystemErrorText(world.context, error::kFileNotFound) + "\r\n";
    EXPECT_BYTES(world.run->Details(), expected);
    EXPECT_BYTES(world.view.details, answer == box::kYes ? expected : "");
    EXPECT_NE(world.view.statusText.find("《情報》アンインストールの過程で、一部の処理が失敗しました。\r\n\r\n【処理完了】"),
              std::string::npos);
  }
}

TEST(UninstallRun, OptionPatterns) {
  struct Row {
    UninstallChoices choices;
    const char* patterns;
    bool deleteAll;
  } const rows[] = {
      {{kApp, true, true, true, true, true}, "*.INI|*.GID|", false},
      {{kApp, false, true, true, true, true}, "*.GID|", false},
      {{kApp, true, false, false, true, false}, "*.INI|", false},
      {{kApp, true, false, false, false, false}, "", true},
      {{kApp, false, false, false, false, false}, "", false},
  };
  for (const Row& row : rows) {
    UninstallWorld world;
    world.view.choices = row.choices;
    world.Record("");
    world.Run();
    EXPECT_BYTES(world.run->OptionPatterns(), row.patterns);
    EXPECT_EQ(world.run->DeleteAll(), row.deleteAll);
  }
}

TEST(UninstallRun, UnknownFolderRemovesNothing) {
  UninstallWorld world;
  world.Put(App("tool.exe"));
  world.Put("C:\\WINDOWS\\ODSET98.INI", "[ORVANE01]\r\nFolder=x\r\n");
  world.view.choices.folder.clear();
  world.Record("[ProgramID]\r\nID=ORVANE01\r\n[DeleteFile]\r\nFile1=" + App("tool.exe") + "\r\n");
  EXPECT_EQ(world.Run(), UninstallEnd::kNoFolder);
  EXPECT_TRUE(world.Exists(App("tool.exe")));
  ASSERT_EQ(world.ui.MessageBoxes().size(), 1u);
  EXPECT_BYTES(world.ui.MessageBoxes()[0].caption, "致命的エラー");
  EXPECT_BYTES(world.ui.MessageBoxes()[0].text, "アンインストールフォルダが不明です。\r\nアンインストールは続行できません。");
  EXPECT_EQ(world.ui.MessageBoxes()[0].style, box::kStop);
  std::string odset;
  world.platform.Files().Load("C:\\WINDOWS\\ODSET98.INI", odset);
  EXPECT_NE(odset.find("ORVANE01"), std::string::npos);
  EXPECT_FALSE(world.view.completionCaption.empty());  // the program can still be ended
}

}  // namespace
}  // namespace ov::setup::test
