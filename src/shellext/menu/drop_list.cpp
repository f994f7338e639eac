#include "shellext/menu/drop_list.h"

#include <cstring>

namespace ov::shellext {

namespace {

std::uint32_t ReadU32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

}  // namespace

bool ReadDropList(const std::uint8_t* block, std::size_t size, DropList& list) {
  list = DropList{};
  if (block == nullptr || size < kDropHeaderSize) return false;
  const std::size_t start = ReadU32(block + kDropListOffsetAt);
  if (start < kDropHeaderSize || start >= size) return false;
  list.wide = ReadU32(block + kDropWideFlagAt) != 0;
  if (!list.wide) {
    std::size_t at = start;
    while (at < size && block[at] != 0) {
      const void* zero = std::memchr(block + at, 0, size - at);
      const std::size_t end = zero != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - block) : size;
      list.ansi.emplace_back(reinterpret_cast<const char*>(block + at), end - at);
      at = end + 1;
    }
    return true;
  }
  const std::size_t units = (size - start) / 2;
  const auto unitAt = [&](std::size_t index) {
    const std::uint8_t* at = block + start + index * 2;
    return static_cast<char16_t>(at[0] | at[1] << 8);
  };
  std::size_t index = 0;
  while (index < units && unitAt(index) != 0) {
    std::u16string path;
    while (index < units && unitAt(index) != 0) path.push_back(unitAt(index++));
    list.widePaths.push_back(std::move(path));
    ++index;
  }
  return true;
}

}  // namespace ov::shellext
