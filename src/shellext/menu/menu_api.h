// The menu operations the context menu needs, shaped like CreatePopupMenu, AppendMenuA,
// InsertMenuA and DestroyMenu. The DLL implements them with HMENUs; tests record them.
#pragma once

#include <cstdint>
#include <string>

namespace ov::shellext {

// An HMENU as an integer; 0 is no menu.
using MenuHandle = std::uintptr_t;

class MenuApi {
 public:
  virtual ~MenuApi() = default;
  // CreatePopupMenu: 0 on failure.
  virtual MenuHandle CreatePopup() = 0;
  // AppendMenuA(menu, MF_STRING | MF_BYPOSITION, id, text).
  virtual bool AppendItem(MenuHandle menu, std::uint32_t id, const std::string& text) = 0;
  // InsertMenuA(menu, position, MF_SEPARATOR | MF_BYPOSITION, 0, null).
  virtual bool InsertSeparator(MenuHandle menu, std::uint32_t position) = 0;
  // InsertMenuA(menu, position, MF_POPUP | MF_BYPOSITION, popup, caption).
  virtual bool InsertPopup(MenuHandle menu, std::uint32_t position, MenuHandle popup, const std::string& caption) = 0;
  // DestroyMenu, with the items and submenus it holds.
  virtual void DestroyPopup(MenuHandle menu) = 0;
};

}  // namespace ov::shellext
