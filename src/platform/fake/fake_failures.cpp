#include "platform/fake/fake_failures.h"

#include <algorithm>

#include "platform/fake/fake_names.h"

namespace ov::platform::fake {

void FakeFailures::FailCall(const std::string& operation, std::uint32_t n, Error error) {
  callRules_.push_back({operation, Calls(operation) + n, error});
}

void FakeFailures::FailPath(const std::string& operation, const std::string& text, Error error, PathMatch match) {
  pathRules_.push_back({operation, text, error, match});
}

void FakeFailures::Clear() {
  callRules_.clear();
  pathRules_.clear();
}

std::uint32_t FakeFailures::Calls(const std::string& operation) const {
  const auto found = counts_.find(operation);
  return found == counts_.end() ? 0 : found->second;
}

void FakeFailures::ClearLog() { log_.clear(); }

bool FakeFailures::Matches(const PathRule& rule, const std::string& path) const {
  if (path.empty()) return false;
  if (rule.match == PathMatch::kEquals) return FoldName(path) == FoldName(rule.text);
  return ContainsNoCase(path, rule.text);
}

Error FakeFailures::Enter(const char* operation, const std::string& path, const std::string& path2) {
  const std::uint32_t count = ++counts_[operation];
  ++total_;
  if (logging_) log_.push_back({operation, path, path2});

  const auto rule = std::find_if(callRules_.begin(), callRules_.end(), [&](const CallRule& r) {
    return r.operation == operation && r.failAt == count;
  });
  if (rule != callRules_.end()) {
    const Error error = rule->error;
    callRules_.erase(rule);
    return error;
  }
  for (const PathRule& r : pathRules_) {
    if (!r.operation.empty() && r.operation != operation) continue;
    if (Matches(r, path) || Matches(r, path2)) return r.error;
  }
  return error::kSuccess;
}

}  // namespace ov::platform::fake
