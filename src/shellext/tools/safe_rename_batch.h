// The collision-safe batch rename shared by the renumber and bulk rename tools: renames
// each file of a batch, in the tool's order, inside its own folder; a file of the batch
// that holds a target name is first moved aside to a temporary name in that folder.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace ov::shellext {

// New name (no folder) for file `fileIndex` of the batch at `position` of the order.
using NewNameFunction = std::function<std::string(std::size_t fileIndex, std::size_t position)>;
// Shows a failure message modally with an OK button.
using MessageFunction = std::function<void(const std::string& text)>;

extern const char kTempNamePrefix[];         // "RNF"
extern const char kTempNameFailedMessage[];  // shown when no temporary name can be drawn
extern const char kRenameFailedMessage[];    // first line of a rename failure

// Renames the files of `batch` (full paths) in `order`. Returns when every file was
// processed, or early when no temporary name could be drawn. Only a file still waiting for
// its own rename is moved aside; a name held by a file that keeps it (its new name is its
// name) or that was processed already is taken, and a rename onto it fails with the rename
// message. A new name that is no file name of the folder (base::IsValidFileName) is never
// used: the rename message, and the file stays.
void SafeRenameBatch(platform::Platform& platform, const std::vector<std::string>& batch,
                     const std::vector<std::size_t>& order, const NewNameFunction& newName,
                     const MessageFunction& showMessage);

}  // namespace ov::shellext
