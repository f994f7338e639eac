// Failure injection and the call log of the in-memory Windows. Every operation of the fake
// enters here first under its Win32 name ("MoveFileA", "RegCreateKeyExA" ...): the call is
// counted and logged, and a rule set up by a test may make it fail with a chosen error.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace ov::platform::fake {

enum class PathMatch { kContains, kEquals };

// One logged call: the operation and the paths (or key names) it was given.
struct FakeCall {
  std::string operation;
  std::string path;
  std::string path2;
};

class FakeFailures {
 public:
  // The n-th call of operation from now on (1 = the very next one) fails with error.
  void FailCall(const std::string& operation, std::uint32_t n, Error error);
  // Every call of operation ("" for any operation) with a path that contains or equals
  // text, compared without case, fails with error, until Clear.
  void FailPath(const std::string& operation, const std::string& text, Error error,
                PathMatch match = PathMatch::kContains);
  // Drops all rules (the counts and the log stay).
  void Clear();

  // Calls of one operation so far, and of all operations.
  std::uint32_t Calls(const std::string& operation) const;
  std::uint32_t TotalCalls() const { return total_; }
  const std::vector<FakeCall>& Log() const { return log_; }
  void ClearLog();
  // The log keeps every call unless switched off (runs over 100,000 files need no log).
  void SetLogging(bool on) { logging_ = on; }

  // Counts and logs a call; returns the error it must fail with, or kSuccess.
  Error Enter(const char* operation, const std::string& path = std::string(),
              const std::string& path2 = std::string());

 private:
  struct CallRule {
    std::string operation;
    std::uint32_t failAt;  // the value of Calls(operation) that fails
    Error error;
  };
  struct PathRule {
    std::string operation;
    std::string text;
    Error error;
    PathMatch match;
  };
  bool Matches(const PathRule& rule, const std::string& path) const;

  std::map<std::string, std::uint32_t> counts_;
  std::uint32_t total_ = 0;
  std::vector<FakeCall> log_;
  bool logging_ = true;
  std::vector<CallRule> callRules_;
  std::vector<PathRule> pathRules_;
};

}  // namespace ov::platform::fake
