// MenuApi over real menus: CreatePopupMenu, AppendMenuA, InsertMenuA and DestroyMenu.
#pragma once

#include <windows.h>

#include "shellext/menu/menu_api.h"

namespace ov::shellext::com {

class Win32Menus : public MenuApi {
 public:
  MenuHandle CreatePopup() override { return reinterpret_cast<MenuHandle>(CreatePopupMenu()); }
  bool AppendItem(MenuHandle menu, std::uint32_t id, const std::string& text) override {
    return AppendMenuA(Handle(menu), MF_STRING | MF_BYPOSITION, id, text.c_str()) != FALSE;
  }
  bool InsertSeparator(MenuHandle menu, std::uint32_t position) override {
    return InsertMenuA(Handle(menu), position, MF_SEPARATOR | MF_BYPOSITION, 0, nullptr) != FALSE;
  }
  bool InsertPopup(MenuHandle menu, std::uint32_t position, MenuHandle popup, const std::string& caption) override {
    return InsertMenuA(Handle(menu), position, MF_POPUP | MF_BYPOSITION, static_cast<UINT_PTR>(popup),
                       caption.c_str()) != FALSE;
  }
  void DestroyPopup(MenuHandle menu) override { DestroyMenu(Handle(menu)); }

 private:
  static HMENU Handle(MenuHandle menu) { return reinterpret_cast<HMENU>(menu); }
};

}  // namespace ov::shellext::com
