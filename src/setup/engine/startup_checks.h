// The checks that may stop an installation before the wizard goes on: an operating system
// the script refuses, and a previous version found by a file in the install folder or by
// its program identifier in ODSET98.INI, which blocks or only warns.
#pragma once

#include <string>

#include "setup/engine/file_utils.h"
#include "setup/engine/startup.h"
#include "setup/engine/startup_values.h"

namespace ov::setup {

// What a previous-version check found.
struct PreviousVersion {
  enum class Found { kNothing, kByFile, kById } found = Found::kNothing;
  std::string title;  // by identifier: [Title] UnSetup of that installation's record
};

// Resolves a [Caution] value: "IDCheck:<program ID>" looks the package up in
// ODSET98.INI; anything else names a file relative to the install folder.
PreviousVersion FindPreviousVersion(EngineContext& context, const StartupValues& values, const std::string& check);

// The refusal of the operating system, else the blocking and then the warning check.
// False when the installation was refused (btnEnd focused, btnEvent disabled).
bool RunSetupChecks(EngineContext& context, const StartupValues& values, StartupView& view,
                    const std::string& rejectOs, const std::string& blockingCheck, const std::string& warningCheck);

}  // namespace ov::setup
