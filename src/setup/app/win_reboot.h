// TWinReboot: ends the Windows session (restart, shut down, log off) with the shutdown
// privilege enabled for just that call.
#pragma once

#include <cstdint>

#include "platform/install.h"

namespace ov::setup {

class TWinReboot {
 public:
  explicit TWinReboot(platform::SessionApi& session) : session_(session) {}
  // ExitWindowsEx with flags (the install run passes EWX_REBOOT); whether it succeeded.
  // Where there are no tokens (Windows 95/98/Me) the privilege steps fail without effect.
  bool Reboot(std::uint32_t flags);

 private:
  platform::SessionApi& session_;
};

}  // namespace ov::setup
