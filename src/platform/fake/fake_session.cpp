// The session and version resources of the in-memory Windows.
#include "platform/fake/fake_session.h"

#include "platform/fake/fake_names.h"

namespace ov::platform::fake {

Error FakeSession::SetShutdownPrivilege(bool enabled) {
  if (!hasTokens_) return error::kCallNotImplemented;
  privilege_ = enabled;
  changes_.push_back(enabled);
  return error::kSuccess;
}

Error FakeSession::EndSession(std::uint32_t flags) {
  exits_.push_back(Exit{flags, privilege_});
  return exitResult_;
}

void FakeSession::SetFileVersion(const std::string& path, std::optional<std::string> fileVersion) {
  versions_[FoldName(path)] = std::move(fileVersion);
}

bool FakeSession::FileVersionText(const std::string& path, std::string& text) {
  text.clear();
  std::uint32_t attributes = 0;
  if (files_.GetAttributes(path, attributes) != error::kSuccess) return false;
  const auto found = versions_.find(FoldName(path));
  if (found == versions_.end()) return false;
  if (found->second) text = *found->second;
  return true;
}

}  // namespace ov::platform::fake
