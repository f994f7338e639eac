// A menu backend that records what the context menu does to menus, one line per call,
// and can be told to refuse one call.
#pragma once

#include <string>
#include <vector>

#include "shellext/menu/menu_api.h"

namespace ov::test {

class RecordingMenu : public shellext::MenuApi {
 public:
  std::vector<std::string> calls;  // "popup 7", "append 7 100 text", "separator 1 2", ...
  std::vector<shellext::MenuHandle> destroyed;
  std::string failOn;              // a call, as it is recorded, that fails
  bool failCreate = false;

  shellext::MenuHandle CreatePopup() override {
    if (failCreate) return 0;
    const shellext::MenuHandle handle = next_++;
    calls.push_back("popup " + std::to_string(handle));
    return handle;
  }
  bool AppendItem(shellext::MenuHandle menu, std::uint32_t id, const std::string& text) override {
    return Record("append " + std::to_string(menu) + " " + std::to_string(id) + " " + text);
  }
  bool InsertSeparator(shellext::MenuHandle menu, std::uint32_t position) override {
    return Record("separator " + std::to_string(menu) + " " + std::to_string(position));
  }
  bool InsertPopup(shellext::MenuHandle menu, std::uint32_t position, shellext::MenuHandle popup,
                   const std::string& caption) override {
    return Record("insert " + std::to_string(menu) + " " + std::to_string(position) + " " + std::to_string(popup) +
                  " " + caption);
  }
  void DestroyPopup(shellext::MenuHandle menu) override { destroyed.push_back(menu); }

 private:
  bool Record(const std::string& call) {
    calls.push_back(call);
    return call != failOn;
  }
  shellext::MenuHandle next_ = 7;
};

}  // namespace ov::test
