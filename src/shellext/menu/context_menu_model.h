// The context menu's behaviour apart from COM: which entries a selection gets, which tool
// a command runs, and the help texts. TContextMenu holds one and forwards to it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "shellext/menu/command_table.h"
#include "shellext/menu/menu_api.h"
#include "shellext/menu/selection.h"

namespace ov::shellext {

// Context-menu flags that ask for the default verb or verbs only.
constexpr std::uint32_t kCmfDefaultOnly = 0x1;
constexpr std::uint32_t kCmfVerbsOnly = 0x2;
// GetCommandString request for the ANSI help text.
constexpr std::uint32_t kGcsHelpTextA = 1;

class ContextMenuModel {
 public:
  // Takes its own copies of both lists and sorts them by name.
  ContextMenuModel(MenuApi& menus, platform::SystemApi& system, const Selection& selection);
  ContextMenuModel(const ContextMenuModel&) = delete;
  ContextMenuModel& operator=(const ContextMenuModel&) = delete;
  // Destroys the submenu unless it went into the host's menu, which then owns it.
  ~ContextMenuModel();

  // Adds a separator and the submenu at index of menu, with command identifiers from first
  // up to last. Returns the number of items added, the submenu itself included.
  std::uint16_t QueryContextMenu(MenuHandle menu, std::uint32_t index, std::uint32_t first, std::uint32_t last,
                                 std::uint32_t flags);

  // Runs the tool of the command. verb is the record's verb as an integer: an offset when
  // its high 16 bits are 0, else the address of a verb text, which is ignored. When items
  // of the selection were left out, one box names them before the tool opens.
  void InvokeCommand(std::uintptr_t verb, std::uintptr_t parentWindow, const CommandTable& tools,
                     ToolContext& context) const;

  // Copies the help text of the command into buffer (size bytes, zero included) for the
  // ANSI help-text request; anything else leaves the buffer alone.
  void GetCommandString(std::uintptr_t offset, std::uint32_t type, char* buffer, std::uint32_t size) const;

  const Selection& Sorted() const { return selection_; }
  MenuHandle Submenu() const { return submenu_; }

 private:
  void DropSubmenu();
  void TellLeftOut(const char* caption, std::uintptr_t parentWindow, ToolContext& context) const;

  MenuApi& menus_;
  Selection selection_;
  MenuHandle submenu_ = 0;
  bool submenuHandedOver_ = false;
};

// Copies text into buffer, never more than size bytes with the terminating zero, and
// never the first byte of a double-byte character without its second.
void CopyTextToBuffer(const char* text, char* buffer, std::size_t size);

}  // namespace ov::shellext
