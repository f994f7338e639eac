// The manual clock of the in-memory Windows: it moves only when someone sleeps.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace ov::platform::fake {

class FakeClock {
 public:
  // 2005-04-01 00:00:00 UTC as a FILETIME: file times count from here.
  static constexpr FileTime kStart = 127567872000000000ull;

  void Advance(std::uint32_t milliseconds) { elapsed_ += milliseconds; }
  std::uint64_t Elapsed() const { return elapsed_; }
  FileTime Now() const { return kStart + elapsed_ * 10000u; }

 private:
  std::uint64_t elapsed_ = 0;
};

}  // namespace ov::platform::fake
