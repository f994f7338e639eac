// setupcheck: reads an installation medium's SETUP.INI, and the files it names, the way
// SETUP reads them, and reports what an installation would silently get wrong: entries
// the runs never read, files missing from the medium, tokens SETUP does not know, fields
// cut at a ",", association pairs that are dropped, paths that leave the medium.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace ov::setup {

enum class Severity {
  kWarning,  // probably not what the distributor meant
  kError,    // an entry that is certainly ignored, cut, misplaced or missing
};

struct Finding {
  Severity severity = Severity::kError;
  std::string section;  // without brackets; empty for the file as a whole
  std::string key;      // empty for a whole section
  std::string reason;
};

// File names on the medium that the build adds later (the source folder of a medium
// lacks the compiled programs): their absence is no finding, and their contents are not
// looked at.
struct CheckOptions {
  std::vector<std::string> builtLater;
};

// Its SETUP.INI is read through the platform's profile functions, so that keys, blanks
// and quotes count as GetPrivateProfileStringA counts them.
std::vector<Finding> CheckMedium(platform::Platform& platform, const std::string& mediumFolder,
                                 const CheckOptions& options = {});

// "SETUP.INI [CopyFile] File3: error: reason".
std::string FormatFinding(const Finding& finding);

// 0 without findings, 1 with warnings only, 2 with any error.
int ExitStatusOf(const std::vector<Finding>& findings);

}  // namespace ov::setup
