// Start-up against the in-memory Windows, with a stand-in wizard that records what it was
// told and a headless ui that records every message box.
#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "setup/engine/startup.h"
#include "setup/recording_view.h"
#include "support/readable.h"
#include "ui/headless/headless_backend.h"

namespace ov::setup {
namespace {

using namespace platform;

constexpr const char* kExe = "D:\\SETUP.EXE";
constexpr const char* kScript = "D:\\SETUP.INI";
constexpr const char* kOdset = "C:\\WINDOWS\\ODSET98.INI";

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() {
    platform_.Files().AddVolume('D');
    platform_.Files().AddVolume('E');
    platform_.Files().PutFile(kExe, "MZ setup");
  }
  void Script(const std::string& text) { platform_.Files().PutFile(kScript, text); }
  void Put(const std::string& path, const std::string& text) { platform_.Files().PutFile(path, text); }
  void Windows(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor, std::uint32_t build) {
    VersionInfo version;
    version.platformId = platformId, version.majorVersion = major, version.minorVersion = minor;
    version.buildNumber = build;
    platform_.System().SetVersion(version);
  }
  StartupOutcome Run(const std::string& argument1 = "") {
    return RunStartup(context_, values_, view_, argument1, kExe);
  }
  const std::vector<ui::headless::MessageBoxRecord>& Boxes() const { return ui_.MessageBoxes(); }

  FakePlatform platform_;
  ui::headless::HeadlessBackend ui_;
  EngineContext context_{platform_, ui_};
  StartupValues values_;
  RecordingView view_;
};

TEST(OsNameTest, NamesEachSystemByItsVersionRecord) {
  struct Row {
    std::uint32_t platformId, major, minor, build;
    const char* name;
    const char* kind;
  } rows[] = {
      {2, 4, 0, 1381, "Windows NT4.0", "NT"},          {2, 5, 0, 2195, "Windows 2000", "NT"},
      {2, 5, 1, 2600, "Windows XP", "NT"},             {2, 5, 2, 3790, "Windows 2003", "NT"},
      {2, 5, 3, 0, "Windows NT Technology", "NT"},     {2, 6, 1, 7601, "Windows", "NT"},
      {1, 4, 0, 0x040003B6, "Windows 95", "notNT"},    {1, 4, 10, 0x040A07CE, "Windows 98", "notNT"},
      {1, 4, 0, 0x040A07CE, "Windows 98", "notNT"},    {1, 4, 10, 0x040A07CD, "Windows 98", "notNT"},
      {1, 4, 10, 0x040A08AD, "Windows 98", "notNT"},   {1, 4, 10, 0x040A08AE, "Windows 98<SE>", "notNT"},
      {1, 4, 10, 0x045A0BB7, "Windows 98<SE>", "notNT"}, {1, 4, 90, 0x045A0BB8, "Windows Me", "notNT"},
      {1, 4, 90, 0, "Windows Me", "notNT"},            {1, 4, 10, 0x045A0BB8, "Windows Me", "notNT"},
      {0, 3, 11, 0, "Windows", ""},
  };
  for (const Row& row : rows) {
    VersionInfo version;
    version.platformId = row.platformId, version.majorVersion = row.major, version.minorVersion = row.minor;
    version.buildNumber = row.build;
    const OsIdentity os = DetermineOsName(version);
    EXPECT_BYTES(os.name, row.name) << row.build;
    EXPECT_EQ(os.kind, row.kind) << row.name;
  }
}

TEST_F(StartupTest, AFailedVersionCallNamesPlainWindowsOfNoKind) {
  Script("[Title]\r\nSetup=x\r\n");
  platform_.Failures().FailCall("GetVersionExA", 1, error::kInvalidParameter);
  EXPECT_EQ(Run(), StartupOutcome::kSetupReady);
  EXPECT_BYTES(view_.osTitle, "Ondaro! Setup 200x(on Windows)");
  EXPECT_EQ(context_.folders.osKind, "");
}

TEST(ModeTest, OnlyAnUpperCaseUninstallRecordNameUninstalls) {
  const std::pair<const char*, const char*> rows[] = {
      {"C:\\App\\UNSETUP.INI", "UNSETUP"}, {"UNSETUP.INI", "UNSETUP"},
      {"C:\\ソフト\\UNSETUP.INI", "UNSETUP"},  // ソ ends in the byte of "\"
      {"C:\\App\\unsetup.ini", "SETUP"},   {"C:\\App\\xソUNSETUP.INI", "SETUP"},
      {"C:\\App\\UNSETUP.INI.bak", "SETUP"}, {"", "SETUP"},
  };
  for (const auto& [argument, mode] : rows) EXPECT_EQ(DecideMode(argument), mode) << test::Readable(argument);
}

TEST_F(StartupTest, TheWorkFolderIsTheFirstFreeNumberAndTheLastWhenAllAreTaken) {
  for (int n = 1; n <= 3; ++n) platform_.Files().MakeFolders("C:\\WINDOWS\\TEMP\\ODTMP" + std::to_string(n));
  EXPECT_EQ(CreateWorkFolder(context_, "C:\\WINDOWS\\TEMP\\"), "C:\\WINDOWS\\TEMP\\ODTMP4\\");
  EXPECT_TRUE(FolderExists(platform_.Files(), "C:\\WINDOWS\\TEMP\\ODTMP4"));
  for (int n = 5; n <= 99; ++n) platform_.Files().MakeFolders("C:\\WINDOWS\\TEMP\\ODTMP" + std::to_string(n));
  EXPECT_EQ(CreateWorkFolder(context_, "C:\\WINDOWS\\TEMP\\"), "C:\\WINDOWS\\TEMP\\ODTMP99\\");
  EXPECT_FALSE(FolderExists(platform_.Files(), "C:\\WINDOWS\\TEMP\\ODTMP100"));
}

TEST_F(StartupTest, CopiesTheProgramAndScriptAndReadsOnlyTheCopy) {
  Script("[Title]\r\nSetup=Acme\r\n");
  platform_.Failures().FailCall("GetTempPathA", 1, error::kAccessDenied);  // the program folder stands in
  EXPECT_EQ(Run("C:\\App\\unsetup.ini"), StartupOutcome::kSetupReady);
  EXPECT_EQ(values_.mode, "SETUP");
  EXPECT_EQ(values_.programFolder, "D:\\");
  EXPECT_EQ(values_.workFolder, "D:\\ODTMP1\\");
  EXPECT_EQ(values_.scriptCopy, "D:\\ODTMP1\\SETUP.INI");
  std::string copy;
  platform_.Files().Load("D:\\ODTMP1\\SETUPB.EXE", copy);
  EXPECT_EQ(copy, "MZ setup");
  EXPECT_EQ(view_.title, "Acme");
  EXPECT_EQ(view_.calls, "DisableClose Folder Title FreeSpace Step ");
  EXPECT_EQ(ProgramRelativePath(values_, "\\doc\\eula.txt"), "D:\\doc\\eula.txt");
  EXPECT_EQ(ProgramRelativePath(values_, "eula.txt"), "D:\\eula.txt");
}

TEST_F(StartupTest, GeneralKeysAndTheirDefaults) {
  struct Row {
    const char* script;
    const char* banner;
    int speed;
    const char* titles;  // setup|unsetup
    const char* message;
  } rows[] = {
      {"", "Ondaro! Setup 200x|汎用インストーラ", 350, "Ondaro! Setup|Ondaro! Setup", "インストールを行います。\r\n"},
      {"[Title]\nCopyRight2=(c) Acme\n[Extend]\nSetupSpeed=0\n", "|(c) Acme", 1, "Ondaro! Setup|Ondaro! Setup", nullptr},
      {"[Title]\nCopyRight1=A\nCopyRight2=B\nSetup=S\n[Extend]\nSetupSpeed=-5\n", "A|B", 1, "S|S", nullptr},
      {"[Title]\nSetup=S\nUnSetup=U\n[Extend]\nSetupSpeed=20\nSetupString=更新\n", nullptr, 20, "S|U",
       "更新を行います。\r\n"},
      {"[TopMessage]\nMessage2=ようこそ\n", nullptr, 350, nullptr, "\r\nようこそ\r\n\r\n\r\n\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(test::Readable(row.script));
    values_ = StartupValues();
    Script(row.script);
    EXPECT_EQ(Run(), StartupOutcome::kSetupReady);
    if (row.banner) {
      EXPECT_BYTES(values_.bannerLine1 + "|" + values_.bannerLine2, row.banner);
      EXPECT_BYTES(view_.banner, row.banner);
    }
    EXPECT_EQ(values_.setupSpeed, row.speed);
    if (row.titles) {
      EXPECT_BYTES(values_.setupTitle + "|" + values_.unSetupTitle, row.titles);
    }
    if (row.message) {
      EXPECT_BYTES(view_.message, row.message);
    }
  }
  EXPECT_BYTES(view_.folderGroup, "インストールフォルダ");
  EXPECT_BYTES(view_.optionGroup, "インストールオプション");
  EXPECT_BYTES(view_.endCaption, "インストール終了(&E)");
}

TEST_F(StartupTest, ASetupSpeedThatIsNoIntegerStopsInTheErrorState) {
  for (const char* value : {"abc", "12x", "", "99999999999", "1.5"}) {
    values_ = StartupValues();
    view_ = RecordingView();
    Script(std::string("[Extend]\nSetupSpeed=") + value + "\n");
    EXPECT_EQ(Run(), StartupOutcome::kError) << value;
    EXPECT_BYTES(view_.message, std::string("【致命的エラー → [Extend] SetupSpeed の値「") + value +
                                    "」は整数ではありません】\r\n\r\n処理は続行できません。");
    EXPECT_FALSE(view_.Called("Step") || view_.Called("Folder") || view_.Called("Title")) << view_.calls;
  }
}

TEST_F(StartupTest, ShortcutBoxesFollowTheNamedTargetsAndTheLock) {
  const char* kShortcuts = "[ShortCut]\nName1=(Dsk)\\Acme,(App)a.exe\nName2=(C_Sta)\\Acme,(App)a.exe\nName3=\n"
                           "Name4=(Sen)\\Acme,(App)a.exe\n";
  const std::pair<const char*, bool> rows[] = {{"", true}, {"false", true}, {"False", false}};
  for (const auto& [enabled, mayChange] : rows) {
    Script(std::string(kShortcuts) + "[Extend]\nEnabled=" + enabled + "\n");
    Run();
    EXPECT_EQ(values_.userMayChange, mayChange) << enabled;
    EXPECT_EQ(view_.folderControls, mayChange ? "enabled" : "disabled");
    const RecordingView::Box ticked{true, mayChange}, untouched{false, false};
    for (const auto& [box, expected] : {std::pair{OptionBox::kDesktop, ticked}, {OptionBox::kStartMenu, ticked},
                                        {OptionBox::kStartUp, untouched}, {OptionBox::kSendTo, untouched}}) {
      EXPECT_EQ(view_.boxes[box].checked, expected.checked) << static_cast<int>(box);
      EXPECT_EQ(view_.boxes[box].enabled, expected.enabled) << static_cast<int>(box);
    }
  }
}

TEST_F(StartupTest, DefaultFolderFromItsFourSources) {
  RegKey key;
  RegKey::Create(platform_.Registry(), reg_root::kLocalMachine, "SOFTWARE\\Acme", key);
  SetStringValue(platform_.Registry(), key.Get(), "Path", "E:\\FromLocal");
  RegKey user;
  RegKey::Create(platform_.Registry(), reg_root::kCurrentUser, "SOFTWARE\\Acme", user);
  SetStringValue(platform_.Registry(), user.Get(), "Path", "E:\\FromUser\\");
  Put(kOdset, "[APP1]\nFolder=E:\\Old\\\n");
  Put("C:\\WINDOWS\\acme.ini", "[Paths]\nHome=E:\\FromIni\n");
  const std::pair<const char*, const char*> rows[] = {
      {"", "C:\\Program Files\\"},
      {"[DefaultFolder]\nFolder=(Prg)\\Acme\n", "C:\\Program Files\\Acme\\"},
      {"[DefaultFolder]\nFolder=(App)\\Acme\n", "(App)\\Acme\\"},
      {"[DefaultFolder]\nFolder=E:\\A\n[ProgramID]\nID=APP1\n", "E:\\Old\\"},
      {"[DefaultFolder]\nFolder=E:\\A\n[ProgramID]\nID=APP2\n", "E:\\A\\"},
      {"[ProgramID]\nID=APP1\n[DefaultFolder]\nReferRegistry=(Local)\\SOFTWARE\\Acme\\,Path\n", "E:\\FromLocal\\"},
      {"[DefaultFolder]\nReferRegistry=SOFTWARE\\Acme,Path\n", "E:\\FromUser\\"},
      {"[DefaultFolder]\nFolder=E:\\A\nReferRegistry=(Local)\\SOFTWARE\\None,Path\n", "E:\\A\\"},
      {"[DefaultFolder]\nFolder=E:\\A\nReferRegistry=(Local)SOFTWARE\\Acme,Other\n", "E:\\A\\"},
      {"[DefaultFolder]\nReferRegistry=(Local)SOFTWARE\\Acme,Path\nReferIniFile=(Win)acme.ini,Paths,Home\n",
       "E:\\FromIni\\"},
      {"[DefaultFolder]\nFolder=E:\\A\nReferIniFile=(Win)acme.ini,Paths,None\n", "E:\\A\\"},
  };
  for (const auto& [script, folder] : rows) {
    Script(script);
    Run();
    EXPECT_EQ(values_.installFolder, folder) << script;
    EXPECT_EQ(view_.folderText, folder) << script;
  }
}

TEST_F(StartupTest, RejectOsRefusesAContainedNameAndSkipsTheVersionChecks) {
  Put("C:\\Program Files\\NoData", "");  // the default check would find this
  struct Row {
    std::uint32_t platformId, minor, build;
    const char* rejectOs;
    bool refused;
  } rows[] = {
      {1, 10, 0x040A07CE, "Windows 95,Windows 98<SE>", true},  // "Windows 98" is in "Windows 98<SE>"
      {2, 1, 2600, "Windows 95,Windows 98<SE>", false},
      {2, 1, 2600, "windows xp", true},
  };
  for (const Row& row : rows) {
    ui_.ClearMessageBoxes();
    view_ = RecordingView();
    Windows(row.platformId, row.platformId == 2 ? 5 : 4, row.minor, row.build);
    Script(std::string("[Extend]\nRejectOS=") + row.rejectOs + "\n");
    EXPECT_EQ(Run(), StartupOutcome::kSetupBlocked) << row.rejectOs;
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, row.refused ? "警告" : "エラー");
    EXPECT_EQ(Boxes()[0].style, box::kExclamation);
    if (row.refused) {
      EXPECT_BYTES(Boxes()[0].text,
                   "このオペレーティングシステムへのインストールは、プログラム配布者により認められていません。\r\n"
                   "詳細については、プログラム配布者へご確認ください。\r\nインストールを続行することはできません。");
    }
    EXPECT_EQ(view_.calls, "DisableClose Folder Title FreeSpace Step FocusEnd ");
    EXPECT_FALSE(view_.eventEnabled);
  }
}

TEST_F(StartupTest, PreviousVersionChecksBlockOrWarn) {
  const std::string kById = "インストーラはチェック対象プログラム識別子を検出しました。\r\n【";
  const std::string kBlockTail = "】\r\nインストールを続行するためには、上記プログラムのアンインストールを行う必要があります。";
  const std::string kWarnTail =
      "】\r\nパッケージ配布者は、上記プログラムのアンインストールを推奨しています。\r\n"
      "インストールはこのまま続行できますが、予期せぬ結果を招く可能性があります。\r\n"
      "できる限り中断して、前バージョンのアンインストールを行うことをお勧めします。";
  const std::string kByFile = "インストーラはチェック対象プログラムを検出しました。\r\n";
  struct Row {
    const char* caution;
    bool withRecord, withTitle;
    StartupOutcome outcome;
    std::string caption, text;
  } rows[] = {
      {"UnInstallCheckEx=IDCheck:APP1", true, true, StartupOutcome::kSetupBlocked, "エラー", kById + "旧アクメ" + kBlockTail},
      {"UnInstallCheckEx=IDCheck:APP1", true, false, StartupOutcome::kSetupBlocked, "エラー",
       kById + "不明なタイトル" + kBlockTail},
      {"UnInstallCheckEx=IDCheck:APP1", false, true, StartupOutcome::kSetupReady, "", ""},
      {"UnInstallCheckEx=\\bin\\acme.exe", false, false, StartupOutcome::kSetupBlocked, "エラー",
       kByFile + "インストールを続行するためには、前バージョンのアンインストールを行う必要があります。"},
      {"UnInstallCheck=idcheck:APP1", true, true, StartupOutcome::kSetupReady, "警告", kById + "旧アクメ" + kWarnTail},
      {"UnInstallCheckEx=IDCheck:APP1\nUnInstallCheck=bin\\acme.exe", false, false, StartupOutcome::kSetupReady,
       "警告", kByFile + "パッケージ配布者は、前バージョンのプログラムのアンインストールを推奨しています。\r\n"
                        "インストールはこのまま続行できますが、予期せぬ結果を招く可能性があります。\r\n"
                        "できる限り中断して、前バージョンのアンインストールを行うことをお勧めします。"},
      {"UnInstallCheckEx=\\bin\\other.exe", false, false, StartupOutcome::kSetupReady, "", ""},
  };
  Put("E:\\New\\bin\\acme.exe", "");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.caution);
    ui_.ClearMessageBoxes();
    view_ = RecordingView();
    platform_.Files().Delete(kOdset);
    platform_.Files().Delete("C:\\Old\\UNSETUP.INI");
    if (row.withRecord) Put(kOdset, "[APP1]\nFolder=C:\\Old\\\n");
    if (row.withTitle) Put("C:\\Old\\UNSETUP.INI", "[Title]\nUnSetup=旧アクメ\n");
    Script(std::string("[DefaultFolder]\nFolder=E:\\New\n[Caution]\n") + row.caution + "\n");
    EXPECT_EQ(Run(), row.outcome);
    EXPECT_EQ(view_.eventEnabled, row.outcome == StartupOutcome::kSetupReady);
    ASSERT_EQ(Boxes().size(), row.caption.empty() ? 0u : 1u);
    if (row.caption.empty()) continue;
    EXPECT_BYTES(Boxes()[0].caption, row.caption);
    EXPECT_BYTES(Boxes()[0].text, row.text);
    EXPECT_EQ(Boxes()[0].style, box::kExclamation);
  }
}

TEST_F(StartupTest, TheUninstallPageFromTheRecordCopy) {
  const std::string record = "C:\\Old\\UNSETUP.INI";
  const std::string u = "削除";
  for (const char* option : {"DeleteAll", "1,0,1,0"}) {
    view_ = RecordingView();
    values_ = StartupValues();
    Put(record, std::string("[Extend]\nUnSetupString=削除\nRejectOS=Windows\n[Caution]\nUnInstallCheckEx=IDCheck:A\n"
                            "[Title]\nSetup=S\nUnSetup=U\n[SetupFolder]\nFolder=(Win)Old\n[UnSetupOption]\nCheckBox=") +
                option + "\n");
    Put(kOdset, "[A]\nFolder=C:\\Old\\\n");
    EXPECT_EQ(Run(record), StartupOutcome::kUninstallReady);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(values_.scriptCopy, values_.workFolder + "UNSETUP.INI");
    EXPECT_EQ(values_.workFolder.rfind("C:\\WINDOWS\\TEMP\\ODTMP", 0), 0u);
    EXPECT_EQ(context_.mode, "UNSETUP");
    EXPECT_EQ(values_.installFolder, "C:\\WINDOWS\\Old\\");
    EXPECT_FALSE(values_.pagesPending.title || values_.pagesPending.options);
    EXPECT_EQ(view_.calls, "DisableClose Folder Title FreeSpace ReadOnly LastPage ");
    EXPECT_EQ(view_.title, "U");
    EXPECT_BYTES(view_.message, u + "を行います。\r\n\r\n開始するには、「" + u + "開始(S)」を選択してください。\r\n");
    EXPECT_BYTES(view_.folderGroup, u + "フォルダ");
    EXPECT_BYTES(view_.optionGroup, u + "オプション");
    EXPECT_BYTES(view_.eventCaption, u + "開始(&S)");
    EXPECT_BYTES(view_.endCaption, u + "終了(&E)");
    EXPECT_TRUE(view_.eventEnabled && view_.endEnabled);
    EXPECT_BYTES(view_.frame, "ファイルの追加削除");
    EXPECT_BYTES(view_.info,
                 "　" + u + "フォルダの中で、コピーされたファイル以外に追加削除するファイルをチェック(選択)してください。");
    auto& boxes = view_.uninstallBoxes;
    if (std::string(option) == "DeleteAll") {
      EXPECT_BYTES(boxes[OptionBox::kDesktop].caption, u + "フォルダ以下の全ファイル・フォルダ");
      EXPECT_TRUE(boxes[OptionBox::kDesktop].checked && boxes[OptionBox::kDesktop].wide);
      for (OptionBox box : {OptionBox::kStartMenu, OptionBox::kStartUp, OptionBox::kSendTo}) {
        EXPECT_FALSE(boxes[box].visible || boxes[box].checked);
      }
    } else {
      const std::tuple<OptionBox, const char*, bool, bool> expected[] = {
          {OptionBox::kDesktop, "*.INIファイル", true, true}, {OptionBox::kStartMenu, "*.GIDファイル", false, true},
          {OptionBox::kStartUp, "", true, false}, {OptionBox::kSendTo, "", false, false}};
      for (const auto& [box, caption, checked, enabled] : expected) {
        EXPECT_BYTES(boxes[box].caption, caption);
        EXPECT_EQ(boxes[box].checked, checked) << caption;
        EXPECT_EQ(boxes[box].enabled, enabled) << caption;
        EXPECT_TRUE(boxes[box].visible && !boxes[box].wide);
      }
    }
  }
}

TEST_F(StartupTest, FatalErrorsAreCollectedAndStopBeforeAnyKey) {
  const std::string kWin = "【致命的エラー → Windowsフォルダ取得失敗】\r\n";
  const std::string kSys = "【致命的エラー → WindowsSystemフォルダ取得失敗】\r\n";
  const std::string kIni = "【致命的エラー → iniファイル読み込み失敗】\r\n";
  struct Row {
    bool noWindows, noSystem, noScript;
    std::string argument, expected;
  } rows[] = {
      {true, false, false, "", kWin},
      {false, true, false, "", kSys},
      {false, false, true, "", kIni},
      {false, false, false, "C:\\Gone\\UNSETUP.INI", kIni},
      {true, true, true, "", kWin + kSys + kIni},
  };
  for (const Row& row : rows) {
    FakePlatform platform;
    platform.Files().AddVolume('D');
    platform.Files().PutFile(kExe, "MZ");
    if (!row.noScript) platform.Files().PutFile(kScript, "[Title]\nSetup=S\n");
    if (row.noWindows) {
      platform.InstallShell().RemoveSpecialFolder(csidl::kWindows);
      platform.Failures().FailCall("GetWindowsDirectoryA", 1, error::kAccessDenied);
    }
    if (row.noSystem) {
      platform.InstallShell().RemoveSpecialFolder(csidl::kSystem);
      platform.Failures().FailCall("GetSystemDirectoryA", 1, error::kAccessDenied);
    }
    EngineContext context(platform, ui_);
    StartupValues values;
    RecordingView view;
    EXPECT_EQ(RunStartup(context, values, view, row.argument, kExe), StartupOutcome::kError);
    EXPECT_BYTES(values.startupError, row.expected);
    EXPECT_BYTES(view.message, row.expected + "\r\n処理は続行できません。");
    EXPECT_BYTES(view.eventCaption, "処理開始(&S)");
    EXPECT_BYTES(view.endCaption, "終了(&E)");
    EXPECT_TRUE(!view.eventEnabled && view.endEnabled);
    EXPECT_EQ(view.calls, "DisableClose LastPage ");
  }
}

}  // namespace
}  // namespace ov::setup
