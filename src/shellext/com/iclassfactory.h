// TClassFactory: makes TShellExtInit objects for Explorer and holds the server lock.
#pragma once

#include <windows.h>
#include <objbase.h>

#include "shellext/com/iunknown.h"
#include "shellext/com/server.h"

namespace ov::shellext::com {

class TClassFactory : public IClassFactory, public TUnknown {
 public:
  explicit TClassFactory(ServerContext& context);
  ~TClassFactory() override;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return TUnknown::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TUnknown::Release(); }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ServerContext& context_;
};

// The factory behind DllGetClassObject: a new factory asked for iid; a failed request
// destroys it again.
HRESULT GetClassObject(ServerContext& context, REFIID iid, void** out);

}  // namespace ov::shellext::com
