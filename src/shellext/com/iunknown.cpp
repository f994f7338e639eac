#include "shellext/com/iunknown.h"

#include "shellext/com/server.h"

namespace ov::shellext::com {

TUnknown::TUnknown() { ObjectCreated(); }

TUnknown::~TUnknown() { ObjectDestroyed(); }

HRESULT STDMETHODCALLTYPE TUnknown::QueryInterface(REFIID iid, void** out) {
  try {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
    *out = UnknownPart();
    UnknownPart()->AddRef();
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

ULONG STDMETHODCALLTYPE TUnknown::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&count_)); }

ULONG STDMETHODCALLTYPE TUnknown::Release() {
  if (InterlockedDecrement(&count_) == 0) {
    delete this;
    return 0;
  }
  return 1;
}

}  // namespace ov::shellext::com
