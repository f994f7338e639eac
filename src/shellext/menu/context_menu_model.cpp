#include "shellext/menu/context_menu_model.h"

#include <cstring>

#include "base/cp932.h"
#include "ui/backend.h"
#include "ui/form.h"

namespace ov::shellext {

ContextMenuModel::ContextMenuModel(MenuApi& menus, platform::SystemApi& system, const Selection& selection)
    : menus_(menus), selection_(selection) {
  SortByName(system, selection_.files);
  SortByName(system, selection_.folders);
}

ContextMenuModel::~ContextMenuModel() { DropSubmenu(); }

void ContextMenuModel::DropSubmenu() {
  if (submenu_ != 0 && !submenuHandedOver_) menus_.DestroyPopup(submenu_);
  submenu_ = 0;
  submenuHandedOver_ = false;
}

std::uint16_t ContextMenuModel::QueryContextMenu(MenuHandle menu, std::uint32_t index, std::uint32_t first,
                                                 std::uint32_t last, std::uint32_t flags) {
  if ((flags & (kCmfDefaultOnly | kCmfVerbsOnly)) != 0) return 0;

  // A host may ask again for another menu; a submenu it never took is ours to free.
  DropSubmenu();
  submenu_ = menus_.CreatePopup();
  if (submenu_ == 0) return 0;

  std::uint16_t added = 0;
  const char* caption = nullptr;
  const auto appendWithin = [&](std::uint32_t offset, const char* text) {
    const std::uint64_t id = std::uint64_t{first} + offset;
    if (id > last) return false;
    if (menus_.AppendItem(submenu_, static_cast<std::uint32_t>(id), text)) ++added;
    return true;
  };

  // A left-out item still counts as what it is: files and folders together get no entry.
  if (SelectsOnlyFiles(selection_)) {
    caption = kFilesCaption;
    for (std::uint32_t offset = 0; offset < kFileToolCount; ++offset) {
      if (!appendWithin(offset, kFileItems[offset].item)) break;
    }
  } else if (SelectsOnlyFolders(selection_)) {
    caption = kFoldersCaption;
    appendWithin(0, kFolderItem.item);
  }

  if (added > 0 && menus_.InsertSeparator(menu, index)) {
    if (menus_.InsertPopup(menu, index + 1, submenu_, caption)) {
      submenuHandedOver_ = true;
      ++added;
    }
  }
  return added;
}

void ContextMenuModel::InvokeCommand(std::uintptr_t verb, std::uintptr_t parentWindow, const CommandTable& tools,
                                     ToolContext& context) const {
  if (!selection_.files.empty()) {
    if ((verb >> 16) != 0) return;  // a verb text: no command of ours answers to one
    const std::uintptr_t offset = verb & 0xFFFF;
    if (offset < kFileToolCount && tools.fileTools[offset] != nullptr) {
      TellLeftOut(kFilesCaption, parentWindow, context);
      tools.fileTools[offset](context, selection_.files, parentWindow);
    }
  } else if (!selection_.folders.empty() && verb == 0) {
    if (tools.folderCombine != nullptr) {
      TellLeftOut(kFoldersCaption, parentWindow, context);
      tools.folderCombine(context, selection_.folders, parentWindow);
    }
  }
}

void ContextMenuModel::TellLeftOut(const char* caption, std::uintptr_t parentWindow, ToolContext& context) const {
  if (selection_.leftOut.empty()) return;
  context.ui.ShowMessageBox(parentWindow, LeftOutMessage(selection_.leftOut), caption,
                            ui::kMbOk | ui::kMbIconExclamation);
}

void ContextMenuModel::GetCommandString(std::uintptr_t offset, std::uint32_t type, char* buffer,
                                        std::uint32_t size) const {
  if (type != kGcsHelpTextA || buffer == nullptr) return;
  if (!selection_.files.empty() && offset < kFileToolCount) {
    CopyTextToBuffer(kFileItems[offset].help, buffer, size);
  }
  if (!selection_.folders.empty() && offset == 0) {
    CopyTextToBuffer(kFolderItem.help, buffer, size);
  }
}

void CopyTextToBuffer(const char* text, char* buffer, std::size_t size) {
  if (size == 0) return;
  const std::string_view source(text);
  std::size_t length = 0;
  while (length < source.size()) {
    const std::size_t next = base::NextChar(source, length);
    if (next > size - 1) break;
    length = next;
  }
  std::memcpy(buffer, source.data(), length);
  buffer[length] = '\0';
}

}  // namespace ov::shellext
