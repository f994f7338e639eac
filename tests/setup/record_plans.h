// Generated uninstall records for comparing the record written at once with the record
// written key by key: long lists, items repeated in other cases, merged earlier entries,
// long and CP932 values, "," ";" quotes and blanks in values.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "setup/engine/uninstall_record.h"

namespace ov::setup::test {

RecordPlan GeneratedPlan(std::mt19937& random, int entries);

// Items whose first fields agree only through the locale's upper case of double-byte
// letters (full-width Latin, Greek, Cyrillic) and with half-width katakana: each appears
// first in one case and later in another, after other items have used its characters.
RecordPlan CaseMappingPlan();

// Every section and key the plan touches, and what the profile functions read for each
// (the key lists of each section included), as one comparable text per file.
std::string ReadBack(platform::ProfileApi& profile, const RecordPlan& plan, const std::string& path);

}  // namespace ov::setup::test
