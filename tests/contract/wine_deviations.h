// Where Wine (8.0, as this project's machines run it) departs from documented Windows
// behaviour. A contract case states what Windows does; under Wine it expects instead what
// the table below says Wine does, so that a new difference fails, and so does a listed one
// that Wine no longer shows. The fake follows Windows: it shows none of them.
#pragma once

namespace ov::contract {

enum class WineDeviation {
  kCaseOnlyRenameKeepsTheOldSpelling,
  kFilesAlwaysReportTheArchiveBit,
  kHiddenFilesAreReplaced,
  kRootWritesOverReadOnlyFiles,
  kShellLeavesACollidingSubFolderUnmerged,
  kShellMoveOfAMissingSourceSucceeds,
  kShellCancelsAMoveOfSeveralFilesIntoAFolder,
  kShellReplacesWithoutAsking,
};

// The reason written down for the deviation.
const char* WhyWineDiffers(WineDeviation deviation);
// Whether the backend under test shows the deviation: never on the fake, under Wine as the
// table says (one of them only when the prefix runs as the Unix root).
bool ShowsWineDeviation(WineDeviation deviation);

// Supplied by the backend's env file.
bool BackendIsWine();
bool WineRunsAsUnixRoot();

}  // namespace ov::contract
