// The restart with the privilege on for the one call.
#include "setup/app/win_reboot.h"

namespace ov::setup {

bool TWinReboot::Reboot(std::uint32_t flags) {
  session_.SetShutdownPrivilege(true);
  const bool done = session_.EndSession(flags) == platform::error::kSuccess;
  session_.SetShutdownPrivilege(false);
  return done;
}

}  // namespace ov::setup
