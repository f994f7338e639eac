// TContextMenu: adds the separator and the tools' submenu to Explorer's context menu, runs
// the chosen tool with the sorted selection list, and answers the status-bar help texts.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "shellext/com/iunknown.h"
#include "shellext/com/server.h"
#include "shellext/com/win32_menus.h"
#include "shellext/menu/context_menu_model.h"

namespace ov::shellext::com {

class TContextMenu : public IContextMenu, public TUnknown {
 public:
  // Copies both lists and sorts them by name.
  TContextMenu(ServerContext& context, const Selection& selection);
  ~TContextMenu() override;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return TUnknown::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TUnknown::Release(); }

  HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last, UINT flags) override;
  HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* record) override;
  HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR offset, UINT type, UINT* reserved, CHAR* buffer,
                                             UINT size) override;

 private:
  ServerContext& context_;
  Win32Menus menus_;
  ContextMenuModel model_;
};

}  // namespace ov::shellext::com
