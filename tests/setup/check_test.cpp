// setupcheck on a deliberately broken medium: each row is a script with one fault, and the
// checker must name exactly that fault (section, key, severity), nothing more; the rows
// without a fault are scripts the runs read as meant.
#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "setup/check/setup_check.h"
#include "support/readable.h"

namespace ov::setup {
namespace {

constexpr const char* kMedium = "D:\\MEDIUM\\";

// SZDD data whose header records lastCharacter (0: none recorded, as mscompress leaves it).
std::string Szdd(char lastCharacter) {
  std::string data("SZDD\x88\xF0\x27\x33" "A", 9);
  data += lastCharacter;
  data += std::string("\x04\x00\x00\x00\xFF" "data", 9);
  return data;
}

struct Row {
  const char* script;
  const char* section;  // nullptr: no finding at all
  const char* key;
  Severity severity;
};

class CheckTest : public ::testing::Test {
 protected:
  CheckTest() {
    platform_.Files().AddVolume('D');
    Put("TOOL.EXE", "MZ");
    Put("EULA.TXT", "licence");
    Put("TOOL.DL_", Szdd('L'));
    Put("BARE.DL_", Szdd('\0'));
    Put("PLAIN.DL_", "MZ not compressed");
  }
  void Put(const std::string& name, const std::string& contents) {
    platform_.Files().PutFile(kMedium + name, contents);
  }
  std::vector<Finding> Check(const std::string& script, const CheckOptions& options = {}) {
    Put("SETUP.INI", script);
    return CheckMedium(platform_, kMedium, options);
  }
  static std::string Lines(const std::vector<Finding>& findings) {
    std::string lines;
    for (const Finding& finding : findings) lines += test::Readable(FormatFinding(finding)) + "\n";
    return lines;
  }

  platform::FakePlatform platform_;
};

TEST_F(CheckTest, NamesEachFaultOnceAndNothingElse) {
  constexpr Severity E = Severity::kError;
  constexpr Severity W = Severity::kWarning;
  const Row rows[] = {
      // Numbered keys the runs never reach.
      {"[CopyFile]\r\nFile1=(App)TOOL.EXE\r\nFile3=(App)TOOL.EXE\r\n", "CopyFile", "File3", E},
      {"[CopyFile]\r\nFile1=(App)TOOL.EXE\r\nFile2=\r\nFile3=(App)TOOL.EXE\r\n", "CopyFile", "File3", E},
      {"[MakeFolder]\r\nFolder01=(App)data\r\n", "MakeFolder", "Folder01", E},
      {"[ShortCut]\r\nMake1=(App)TOOL.EXE\r\nName1=Default\r\nName2=(Dsk)Tool\r\n", "ShortCut", "Name2", E},
      {"[Registry]\r\nKey1=(Local)SOFTWARE\\A\r\nKey3=(Local)SOFTWARE\\B\r\nName3=x\r\nValue3=(Str)y\r\n",
       "Registry", "Key3", E},
      {"[TopMessage]\r\nMessage6=more\r\n", "TopMessage", "Message6", W},
      {"[Relate]\r\nName21=txt\r\nFile21=open,(App)TOOL.EXE\r\n", "Relate", "Name21", E},
      {"[Foo]\r\nBar=1\r\n", "Foo", "", W},
      {"[Title]\r\nSetpu=Acme\r\n", "Title", "Setpu", W},
      // The medium's files.
      {"[CopyFile]\r\nFile1=(App)MISSING.DLL\r\n", "CopyFile", "File1", E},
      {"[CopyFile]\r\nFile1=(App)sub\\\r\n", "CopyFile", "File1", E},
      {"[CopyFile]\r\nFile1=(App)TOOL.EXE\r\nFile2=(Dch)(App)DISK2.DLL\r\nFile3=(App)DISK2B.DLL\r\n", nullptr, "",
       E},
      {"[CopyFile]\r\nFile1=(Sys)BARE.DL_\r\n", "CopyFile", "File1", E},
      {"[CopyFile]\r\nFile1=(Sys)BARE.DL_|BARE.DLL\r\n", nullptr, "", E},
      {"[CopyFile]\r\nFile1=(Sys)PLAIN.DL_\r\n", "CopyFile", "File1", W},
      {"[CopyFile]\r\nFile1=(Sys)TOOL.DL_,/S/R\r\n", nullptr, "", E},
      {"[EULA]\r\nFile=\\EULA.TXT\r\n[Readme]\r\nFile=README.TXT\r\n", "Readme", "File", W},
      {"[Extend]\r\nInstallChecker=CHECK.EXE\r\n", "Extend", "InstallChecker", W},
      // Tokens SETUP does not know.
      {"[CopyFile]\r\nFile1=(Apps)TOOL.EXE\r\n", "CopyFile", "File1", E},
      {"[CopyFile]\r\nFile1=(dch)(App)TOOL.EXE\r\n", "CopyFile", "File1", E},
      {"[CopyFile]\r\nFile1=(app)ソフト\\(sys)TOOL.EXE\r\n", nullptr, "", E},
      {"[MakeFolder]\r\nFolder1=(Prg)\\Program Files (x86)\\Acme\r\n", nullptr, "", E},
      {"[Registry]\r\nKey1=(local)SOFTWARE\\Acme\r\nName1=x\r\nValue1=(Str)y\r\n", "Registry", "Key1", E},
      {"[Registry]\r\nKey1=(Cls)\\SOFTWARE\\Acme\r\n", "Registry", "Key1", E},
      {"[Registry]\r\nKey1=(Local)SOFTWARE\\Acme\r\nValue1=(Dword)12\r\n", "Registry", "Value1", E},
      {"[Registry]\r\nKey1=(Local)SOFTWARE\\Acme\r\nValue1=(str)12\r\n", "Registry", "Value1", E},
      {"[Registry]\r\nKey1=(Local)SOFTWARE\\Acme\r\nValue1=(Dwd)twelve\r\n", "Registry", "Value1", E},
      {"[Registry]\r\nKey1=(Local)SOFTWARE\\Acme\r\nValue1=(Bin)0G\r\n", "Registry", "Value1", E},
      {"[Registry]\r\nKey1=(Local)SOFTWARE\\Acme\r\nValue1=(Str)(App)(Pdd)\r\nKey2=SOFTWARE\\Acme\r\n"
       "Value2=(Dwd)$1F\r\nKey3=(Cuser)Software\\Acme\r\nValue3=(App)plain text\r\nValue4=unread\r\n",
       "Registry", "Value4", E},
      {"[DeleteRegistry]\r\nKey1=(Local)SOFTWARE\r\n", "DeleteRegistry", "Key1", E},
      {"[DeleteRegistry]\r\nKey1=(Cls)\\SOFTWARE\\Acme\r\n", "DeleteRegistry", "Key1", E},
      {"[DeleteRegistry]\r\nKey1=(Class).acme\r\nKey2=(Local)SOFTWARE\\Acme\r\nKey3=Software\\Acme\r\n", nullptr,
       "", E},
      {"[DeleteRegistry]\r\nKey1=(Local)SOFTWARE\\\\Acme\r\n", "DeleteRegistry", "Key1", E},
      {"[DeleteRegistry]\r\nKey1=Software\\Acme\\\r\n", "DeleteRegistry", "Key1", E},
      // A "\" at either end of a rooted path is dropped, as the install run drops it.
      {"[DeleteRegistry]\r\nKey1=(Local)\\SOFTWARE\\Acme\\\r\n", nullptr, "", E},
      {"[DefaultFolder]\r\nFolder=(App)Acme\r\n", "DefaultFolder", "Folder", E},
      {"[DefaultFolder]\r\nReferRegistry=(Lokal)SOFTWARE\\Acme,Path\r\n", "DefaultFolder", "ReferRegistry", E},
      // Options.
      {"[CopyFile]\r\nFile1=(App)TOOL.EXE,/X\r\n", "CopyFile", "File1", E},
      {"[CopyFile]\r\nFile1=(App)TOOL.EXE,/SR\r\n", "CopyFile", "File1", E},
      {"[CopyFile]\r\nFile1=(App)TOOL.EXE,/s /r /W/C/L/F\r\n", nullptr, "", E},
      {"[AddDeleteFile]\r\nFile1=(App)*.LOG,/X\r\n", "AddDeleteFile", "File1", E},
      // Fields cut at ",".
      {"[CopyFile]\r\nFile1=(App)TOOL,EXE,/W\r\n", "CopyFile", "File1", E},
      {"[IniFile]\r\nData1=Opt,Path,a,b,(Win)X.INI\r\n", "IniFile", "Data1", E},
      {"[IniFile]\r\nData1=Opt,Path,(App)\r\n", "IniFile", "Data1", E},
      {"[ShortCut]\r\nMake1=(App)TOOL.EXE,/a,/b\r\n", "ShortCut", "Make1", E},
      {"[ExecuteFile]\r\nFile=(App)TOOL.EXE,/x,CreateProcess,more\r\n", "ExecuteFile", "File", E},
      {"[DefaultFolder]\r\nReferIniFile=(Win)A.INI,Sec\r\n", "DefaultFolder", "ReferIniFile", E},
      // [Relate] pairs that are dropped or do nothing.
      {"[Relate]\r\nName1=txt,Text\r\n", "Relate", "Name1", E},
      {"[Relate]\r\nFile2=open,(App)TOOL.EXE\r\n", "Relate", "File2", E},
      {"[Relate]\r\nName1=.txt\r\nFile1=open,(App)TOOL.EXE\r\n", "Relate", "Name1", E},
      {"[Relate]\r\nName1=txt\r\nFile1=open\r\n", "Relate", "File1", E},
      {"[Relate]\r\nName1=txt\r\nFile1=open,(App)TOOL.EXE\r\nName3=doc,Doc\r\nFile3=open,(App)TOOL.EXE,,,1\r\n",
       nullptr, "", E},
      // Paths that leave the medium or are not full paths.
      {"[EULA]\r\nFile=..\\EULA.TXT\r\n", "EULA", "File", E},
      {"[Readme]\r\nFile=C:\\README.TXT\r\n", "Readme", "File", E},
      {"[CopyFile]\r\nFile1=(App)TOOL.EXE|..\\..\\TOOL.EXE\r\n", "CopyFile", "File1", E},
      {"[CopyFile]\r\nFile1=TOOL.EXE\r\n", "CopyFile", "File1", E},
      {"[MakeFolder]\r\nFolder1=data\r\n", "MakeFolder", "Folder1", E},
      {"[ShortCut]\r\nMake1=(App)TOOL.EXE\r\nName1=..\\..\\Startup\\Tool\r\n", "ShortCut", "Name1", E},
      {"[Caution]\r\nUnInstallCheck=..\\Other\\OLD.EXE\r\n", "Caution", "UnInstallCheck", E},
      // General keys read at start-up.
      {"[Extend]\r\nSetupSpeed=fast\r\n", "Extend", "SetupSpeed", E},
      {"[Extend]\r\nEnabled=false\r\n", "Extend", "Enabled", W},
      {"[Extend]\r\nUnSetupOption=1,1\r\n", "Extend", "UnSetupOption", W},
      {"[Caution]\r\nUnInstallCheckEx=IDCheck\r\n", "Caution", "UnInstallCheckEx", E},
      {"[EULA]\r\nFile=EULA.TXT\r\nCheckBox=hide\r\nScrollBars=ssBoth\r\n", "EULA", "CheckBox", W},
      {"[Readme]\r\nScrollBars=ssNone\r\n", "Readme", "ScrollBars", W},
      {"[Title]\r\nUnSetupKey=\r\n", "Title", "UnSetupKey", E},
      {"[ExecuteFile]\r\nFile=windows_reboot\r\n", "ExecuteFile", "File", E},
      {"[ExecuteFile]\r\nFile=(App)TOOL.EXE,/first,createprocess\r\n", "ExecuteFile", "File", W},
      {"[ExecuteFile]\r\nFile=WINDOWS_REBOOT\r\n[Caution]\r\nUnInstallCheckEx=IDCheck:APP1\r\n", nullptr, "", E},
      // The file itself.
      {"\xEF\xBB\xBF[Title]\r\nSetup=Acme\r\n", "", "", E},
      {"[Title]\r\nSetup=\x82\r\n", "", "", E},
  };
  for (const Row& row : rows) {
    const std::vector<Finding> findings = Check(row.script);
    const std::string context = test::Readable(row.script) + "\n" + Lines(findings);
    if (row.section == nullptr) {
      EXPECT_TRUE(findings.empty()) << context;
      continue;
    }
    ASSERT_EQ(findings.size(), 1u) << context;
    EXPECT_EQ(findings[0].section, row.section) << context;
    EXPECT_EQ(findings[0].key, row.key) << context;
    EXPECT_EQ(findings[0].severity, row.severity) << context;
  }
}

TEST_F(CheckTest, AFileTheBuildAddsIsNotLookedFor) {
  const char* script = "[CopyFile]\r\nFile1=(App)ovshellex.dl_,/R\r\n";
  EXPECT_EQ(Check(script).size(), 1u);
  CheckOptions options;
  options.builtLater.push_back("OVSHELLEX.DL_");
  EXPECT_TRUE(Check(script, options).empty()) << Lines(Check(script, options));
}

TEST_F(CheckTest, ExitStatusIsTheWorstFinding) {
  EXPECT_EQ(ExitStatusOf(CheckMedium(platform_, kMedium)), 2);  // no script at all
  EXPECT_EQ(ExitStatusOf(Check("[Extend]\r\nEnabled=false\r\n")), 1);
  EXPECT_EQ(ExitStatusOf(Check("[Extend]\r\nEnabled=False\r\n")), 0);
}

}  // namespace
}  // namespace ov::setup
