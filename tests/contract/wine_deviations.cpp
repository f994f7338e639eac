#include "contract/wine_deviations.h"

namespace ov::contract {
namespace {

struct Deviation {
  WineDeviation which;
  bool onlyAsUnixRoot;
  const char* reason;
};

// The one list of Wine's differences that the contract cases accept.
const Deviation kWineDeviations[] = {
    {WineDeviation::kCaseOnlyRenameKeepsTheOldSpelling, false,
     "MoveFileA to a name that differs only in letter case takes the target for the source itself and "
     "succeeds without renaming; Windows on NTFS shows the new spelling"},
    {WineDeviation::kFilesAlwaysReportTheArchiveBit, false,
     "GetFileAttributesA adds FILE_ATTRIBUTE_ARCHIVE to every file whatever was set; Windows reports the "
     "attributes set, and FILE_ATTRIBUTE_NORMAL for a file with none"},
    {WineDeviation::kHiddenFilesAreReplaced, false,
     "CreateFileA (CREATE_ALWAYS) and CopyFileA replace a hidden file; Windows refuses with "
     "ERROR_ACCESS_DENIED unless the new file is hidden too"},
    {WineDeviation::kRootWritesOverReadOnlyFiles, true,
     "a prefix run by the Unix root writes and copies over a read-only file (the Unix permission check "
     "does not apply to root); Windows refuses with ERROR_ACCESS_DENIED. Deleting one still fails"},
    {WineDeviation::kShellLeavesACollidingSubFolderUnmerged, false,
     "SHFileOperationA moving folder\\*.* into a folder that has a sub-folder of the same name leaves "
     "that sub-folder in its source; Windows merges the two"},
    {WineDeviation::kShellMoveOfAMissingSourceSucceeds, false,
     "SHFileOperationA moving a source that does not exist reports success; Windows fails"},
    {WineDeviation::kShellCancelsAMoveOfSeveralFilesIntoAFolder, false,
     "SHFileOperationA cancels (ERROR_CANCELLED, nothing moved) a move of more than one entry into one "
     "folder when none of them is a folder; Windows moves them"},
    {WineDeviation::kShellReplacesWithoutAsking, false,
     "SHFileOperationA never asks before it replaces: a file or a folder replaces a file; Windows asks "
     "and refuses a folder over a file"},
};

const Deviation* Find(WineDeviation which) {
  for (const Deviation& deviation : kWineDeviations) {
    if (deviation.which == which) return &deviation;
  }
  return nullptr;
}

}  // namespace

const char* WhyWineDiffers(WineDeviation which) {
  const Deviation* deviation = Find(which);
  return deviation != nullptr ? deviation->reason : "not in the table of Wine deviations";
}

bool ShowsWineDeviation(WineDeviation which) {
  const Deviation* deviation = Find(which);
  if (deviation == nullptr || !BackendIsWine()) return false;
  return !deviation->onlyAsUnixRoot || WineRunsAsUnixRoot();
}

}  // namespace ov::contract
