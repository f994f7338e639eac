// A medium folder of the Linux file system put onto a drive of the in-memory Windows, so
// that the checker and the host tests read it through the fake's profile functions,
// which read as Windows' do.
#pragma once

#include <string>

#include "platform/fake/fake_platform.h"

namespace ov::setup {

// Copies every file and folder below folder to drive (an empty volume it adds), keeping
// the names' bytes; false when folder cannot be read.
bool LoadMediumFolder(const std::string& folder, platform::FakePlatform& platform, char drive);

}  // namespace ov::setup
