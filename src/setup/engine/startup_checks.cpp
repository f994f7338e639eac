#include "setup/engine/startup_checks.h"

#include "setup/text/ini_file.h"
#include "setup/text/str_op.h"

namespace ov::setup {
namespace {

constexpr const char* kCrLf = "\r\n";

void Refuse(StartupView& view) {
  view.FocusEnd();
  view.SetEventEnabled(false);
}

}  // namespace

PreviousVersion FindPreviousVersion(EngineContext& context, const StartupValues& values, const std::string& check) {
  PreviousVersion result;
  if (FindNoCase(context.platform.System(), "IDCheck", check) != 0) {
    const std::string folder = ReadProfileString(context.platform.Profile(), FieldOf(check, ':', 2), "Folder", "",
                                                 context.folders[Macro::kWin] + "ODSET98.INI");
    if (folder.empty()) return result;
    result.found = PreviousVersion::Found::kById;
    result.title = ReadProfileString(context.platform.Profile(), "Title", "UnSetup", "不明なタイトル",
                                     DropSeparator(folder, "B") + "\\UNSETUP.INI");
    return result;
  }
  if (platform::FileExists(context.platform.Files(), values.installFolder + DropSeparator(check, "T"))) {
    result.found = PreviousVersion::Found::kByFile;
  }
  return result;
}

bool RunSetupChecks(EngineContext& context, const StartupValues& values, StartupView& view,
                    const std::string& rejectOs, const std::string& blockingCheck, const std::string& warningCheck) {
  const std::string& s = values.setupString;
  const std::string& u = values.unSetupString;
  if (FindNoCase(context.platform.System(), values.osName, rejectOs) != 0) {
    ShowMessageBox(context,
                   "このオペレーティングシステムへの" + s + "は、プログラム配布者により認められていません。" + kCrLf +
                       "詳細については、プログラム配布者へご確認ください。" + kCrLf + s + "を続行することはできません。",
                   "警告", box::kExclamation);
    Refuse(view);
    return false;
  }

  const PreviousVersion blocking = FindPreviousVersion(context, values, blockingCheck);
  if (blocking.found == PreviousVersion::Found::kByFile) {
    ShowMessageBox(context,
                   "インストーラはチェック対象プログラムを検出しました。" + std::string(kCrLf) + s +
                       "を続行するためには、前バージョンの" + u + "を行う必要があります。",
                   "エラー", box::kExclamation);
  } else if (blocking.found == PreviousVersion::Found::kById) {
    ShowMessageBox(context,
                   "インストーラはチェック対象プログラム識別子を検出しました。" + std::string(kCrLf) + "【" +
                       blocking.title + "】" + kCrLf + s + "を続行するためには、上記プログラムの" + u +
                       "を行う必要があります。",
                   "エラー", box::kExclamation);
  }
  if (blocking.found != PreviousVersion::Found::kNothing) {
    Refuse(view);
    return false;
  }

  const std::string advice = "パッケージ配布者は、前バージョンのプログラムの" + u + "を推奨しています。";
  const std::string tail = std::string(kCrLf) + s + "はこのまま続行できますが、予期せぬ結果を招く可能性があります。" +
                           kCrLf + "できる限り中断して、前バージョンの" + u + "を行うことをお勧めします。";
  const PreviousVersion warning = FindPreviousVersion(context, values, warningCheck);
  if (warning.found == PreviousVersion::Found::kByFile) {
    ShowMessageBox(context, "インストーラはチェック対象プログラムを検出しました。" + std::string(kCrLf) + advice + tail,
                   "警告", box::kExclamation);
  } else if (warning.found == PreviousVersion::Found::kById) {
    ShowMessageBox(context,
                   "インストーラはチェック対象プログラム識別子を検出しました。" + std::string(kCrLf) + "【" +
                       warning.title + "】" + kCrLf + "パッケージ配布者は、上記プログラムの" + u + "を推奨しています。" +
                       tail,
                   "警告", box::kExclamation);
  }
  return true;
}

}  // namespace ov::setup
