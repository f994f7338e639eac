// The installer's file, registry and component utilities: shared-DLL counters,
// self-registration, copying and silent deletion, folders, LZ expansion, shortcuts, error
// texts, free space, restart-time replacement and deletion, and starting programs. Each
// is a small operation over full CP932 paths; messages go through the ui backend.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/install.h"
#include "setup/engine/path_macros.h"
#include "ui/backend.h"

namespace ov::setup {

// What the utilities share with the rest of the engine: the platform, the ui backend and
// the installer's main window (owner of its message boxes), the run mode ("SETUP" or
// "UNSETUP") and the folder table, which also holds the OS kind.
struct EngineContext {
  EngineContext(platform::InstallPlatform& platformRef, ui::Backend& uiRef) : platform(platformRef), ui(uiRef) {}
  platform::InstallPlatform& platform;
  ui::Backend& ui;
  std::uintptr_t mainWindow = 0;
  std::string mode = "SETUP";
  PathMacroTable folders;
};

// Message box styles and answers the engine uses.
namespace box {
constexpr unsigned kStop = 16;                 // stop icon, OK
constexpr unsigned kQuestion = 36;             // question icon, Yes/No
constexpr unsigned kExclamation = 48;          // exclamation icon, OK
constexpr unsigned kExclamationYesNo = 52;     // exclamation icon, Yes/No
constexpr unsigned kInformationOkCancel = 65;  // information icon, OK/Cancel
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kYes = 6;
constexpr int kNo = 7;
}  // namespace box

// A write to the shared-DLL counters failed.
class RegistryWriteError : public std::runtime_error {
 public:
  RegistryWriteError(const std::string& what, platform::Error code) : std::runtime_error(what), code_(code) {}
  platform::Error code() const { return code_; }

 private:
  platform::Error code_;
};

// The key of the shared-DLL counters below HKEY_LOCAL_MACHINE.
constexpr const char* kSharedDllsKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

int ShowMessageBox(EngineContext& context, const std::string& text, const std::string& caption, unsigned style);

std::int32_t GetSharedDllCount(EngineContext& context, const std::string& path);
// increment: +1 (a present but uncounted file counts as used once); else -1, removing the
// value when it reaches 0 or was absent. Returns the new count. Throws RegistryWriteError.
std::int32_t ChangeSharedDllCount(EngineContext& context, const std::string& path, bool increment);

bool IsComponentFile(EngineContext& context, const std::string& path);
// Loads the library and calls DllRegisterServer (doRegister) or DllUnregisterServer; true
// only when registration succeeded.
bool RegisterComponent(EngineContext& context, const std::string& path, bool doRegister);

platform::Error CopyFileReplace(EngineContext& context, const std::string& source, const std::string& destination);
platform::Error DeleteFileSilently(EngineContext& context, const std::string& path);
platform::Error DeleteFolderContents(EngineContext& context, const std::string& folder, const std::string& patterns);
bool FolderExists(EngineContext& context, const std::string& path);
bool ForceFolders(EngineContext& context, const std::string& path);

// Expands an LZ-compressed file to (Tmp) "EXPAND.ODT"; returns the staging path and the
// destination (with "AUTO.EXT" replaced by the recorded name), joined by ",". failure
// (when given) receives the first error of the name look-up or the expansion, so that a
// caller does not install a partial staging file or a wrongly named one.
std::string ExpandCompressedFile(EngineContext& context, const std::string& source, const std::string& destination,
                                 platform::Error* failure = nullptr);

// Creates a shortcut; returns the path of the file actually created (".lnk" or ".pif").
// When the shell link object cannot be created or saved, nothing is created: the result
// is empty and failure (when given) receives the error, for the caller's failure detail.
std::string CreateShortcut(EngineContext& context, const std::string& target, const std::string& linkPath,
                           const std::string& workingFolder, const std::string& arguments,
                           platform::Error* failure = nullptr);

// The system's text for an error code in full-width characters, ending in CR LF; empty
// for 0.
std::string SystemErrorText(EngineContext& context, platform::Error code);

// Bytes free on a drive ("C:" or "C:\"); -1 and false on failure.
bool QueryFreeSpaceEx(EngineContext& context, const std::string& drive, std::int64_t& bytes);
bool QueryFreeSpace(EngineContext& context, const std::string& drive, std::int64_t& bytes);

// Deletes the key with its subkeys; always true.
bool DeleteRegistryKey(EngineContext& context, const std::string& rootToken, const std::string& keyPath);

std::string ShortPathOf(EngineContext& context, const std::string& path);

bool ReplaceAtRestart(EngineContext& context, const std::string& source, const std::string& destination);
bool DeleteAtRestart(EngineContext& context, const std::string& path);

// Starts a program (show: a SW_* value), waiting for it while processing window messages
// when wait is set. 0 or the system error code.
platform::Error RunProgram(EngineContext& context, const std::string& program, const std::string& arguments, int show,
                           bool wait);
// ShellExecuteA "open"; always 0.
platform::Error OpenWithShell(EngineContext& context, const std::string& program, const std::string& arguments);

}  // namespace ov::setup
