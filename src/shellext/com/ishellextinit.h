// TShellExtInit: the object Explorer creates through the class factory. It receives the
// selection through Initialize and hands out a new TContextMenu for each IContextMenu request.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "shellext/com/iunknown.h"
#include "shellext/com/server.h"
#include "shellext/menu/selection.h"

namespace ov::shellext::com {

class TShellExtInit : public IShellExtInit, public TUnknown {
 public:
  explicit TShellExtInit(ServerContext& context);
  ~TShellExtInit() override;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return TUnknown::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TUnknown::Release(); }

  // Keeps the delivered paths that are existing files or folders, in Explorer's order, and
  // the items that cannot be named exactly through the ANSI functions as left out.
  // The folder and the program key are not used. Each call replaces the earlier lists.
  HRESULT STDMETHODCALLTYPE Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY programKey) override;

 private:
  HRESULT ReadDroppedPaths(IDataObject& data);

  ServerContext& context_;
  Selection selection_;
};

}  // namespace ov::shellext::com
