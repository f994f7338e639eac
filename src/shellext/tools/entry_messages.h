// What the moving and deleting tools tell the user about an entry they left alone: it
// changed after the user chose it (a file became a folder, or its size changed), its name
// is taken in the target, or the system refused. One box per entry, and the tool goes on.
#pragma once

#include <string>

namespace ov::shellext {

extern const char kMoveFailedMessage[];    // first line of a move that was not made
extern const char kDeleteFailedMessage[];  // first line of a deletion that was not made

// The first line, then "From: " and "To: " with both full paths, as the rename message.
std::string MoveFailedText(const std::string& from, const std::string& to);
// The first line, then the full path.
std::string DeleteFailedText(const std::string& path);

}  // namespace ov::shellext
