// The end of the session and version resources on the in-memory Windows: a token whose
// shutdown privilege can be switched (or no token, as on Windows 95/98/Me), an
// ExitWindowsEx that records its calls and answers as the test says, and version strings
// that a test gives to files.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_files.h"
#include "platform/install.h"

namespace ov::platform::fake {

class FakeSession : public SessionApi {
 public:
  explicit FakeSession(FakeFiles& files) : files_(files) {}

  Error SetShutdownPrivilege(bool enabled) override;
  bool ShutdownPrivilegeEnabled() override { return privilege_; }
  Error EndSession(std::uint32_t flags) override;
  bool FileVersionText(const std::string& path, std::string& text) override;

  // Windows 95/98/Me: no token, so the privilege cannot be set.
  void SetHasTokens(bool has) { hasTokens_ = has; }
  // What ExitWindowsEx answers (0: the session ends).
  void SetExitResult(Error error) { exitResult_ = error; }
  struct Exit {
    std::uint32_t flags = 0;
    bool privilegeEnabled = false;  // the privilege at the time of the call
  };
  const std::vector<Exit>& Exits() const { return exits_; }
  // Every change of the privilege, in order (true: enabled).
  const std::vector<bool>& PrivilegeChanges() const { return changes_; }

  // A file's version resource: a FileVersion string, or version information without that
  // string (nullopt). A file without an entry has no version information.
  void SetFileVersion(const std::string& path, std::optional<std::string> fileVersion);

 private:
  FakeFiles& files_;
  bool hasTokens_ = true;
  bool privilege_ = false;
  Error exitResult_ = 0;
  std::vector<Exit> exits_;
  std::vector<bool> changes_;
  std::map<std::string, std::optional<std::string>> versions_;
};

}  // namespace ov::platform::fake
