// The CF_HDROP block as a sender hands it: a DROPFILES header (the list's offset at 0, the
// wide flag at 16; 20 bytes in 32- and 64-bit builds alike), then the paths, each ended by
// a zero, the list by an empty path. Read here byte by byte, never beyond the block, so
// that a malformed list from any sender is read safely.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ov::shellext {

constexpr std::size_t kDropHeaderSize = 20;
constexpr std::size_t kDropListOffsetAt = 0;
constexpr std::size_t kDropWideFlagAt = 16;

struct DropList {
  bool wide = false;
  std::vector<std::string> ansi;       // the paths of an ANSI list, as their bytes
  std::vector<std::u16string> widePaths;  // the paths of a wide list, as UTF-16 units
};

// False when the block holds no list: shorter than its header, or the list said to start
// inside the header or at or beyond the block's end. A path or a list that lacks its zero
// ends at the block's end; a last wide unit cut in half is dropped.
bool ReadDropList(const std::uint8_t* block, std::size_t size, DropList& list);

}  // namespace ov::shellext
