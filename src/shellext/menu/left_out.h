// Items of Explorer's selection that the module cannot name exactly through the ANSI
// functions, and the one message that tells the user which ones were left out and why.
// Such an item is never replaced by a look-alike or a cut-short path: either could name a
// file the user never chose.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ov::shellext {

// The longest path the ANSI functions take: 259 bytes and the zero fill a 260-byte buffer.
constexpr std::size_t kMaxPathBytes = 259;

enum class LeftOutReason {
  kCharacters,  // holds a character that code page 932 cannot hold exactly
  kTooLong,     // needs more than kMaxPathBytes bytes in code page 932
};

// What a left-out item is, as far as its attributes could be read: a selection of files and
// folders together gets no submenu, whether or not all of it could be read.
enum class ItemKind { kUnknown, kFile, kFolder };

struct LeftOutItem {
  std::string shown;  // the full path in code page 932, "?" for what it cannot hold
  LeftOutReason reason;
  ItemKind kind;
};

// At most this many paths are named; the rest are counted.
constexpr std::size_t kMaxShownLeftOut = 10;

// The box text: a first line saying what happened, a second saying that the tool goes on
// with the rest, then per reason a heading and the paths, indented; a long path goes on
// over further lines, indented more.
std::string LeftOutMessage(const std::vector<LeftOutItem>& items);

}  // namespace ov::shellext
