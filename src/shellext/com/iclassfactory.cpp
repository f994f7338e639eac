#include "shellext/com/iclassfactory.h"

#include "shellext/com/ishellextinit.h"

namespace ov::shellext::com {

TClassFactory::TClassFactory(ServerContext& context) : context_(context) {}

TClassFactory::~TClassFactory() = default;

HRESULT STDMETHODCALLTYPE TClassFactory::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_INVALIDARG;
  try {
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) return TUnknown::QueryInterface(iid, out);
    if (!IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    IClassFactory* self = this;
    self->AddRef();
    *out = self;
    return S_OK;
  } catch (...) {
    *out = nullptr;
    return E_NOINTERFACE;
  }
}

HRESULT STDMETHODCALLTYPE TClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  try {
    if (outer != nullptr) {
      if (out != nullptr) *out = nullptr;
      return CLASS_E_NOAGGREGATION;
    }
    IShellExtInit* object = new TShellExtInit(context_);
    object->AddRef();
    const HRESULT result = object->QueryInterface(iid, out);
    object->Release();
    return result;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT STDMETHODCALLTYPE TClassFactory::LockServer(BOOL lock) {
  try {
    LockServerCount(lock != FALSE);
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT GetClassObject(ServerContext& context, REFIID iid, void** out) {
  try {
    IClassFactory* factory = new TClassFactory(context);
    factory->AddRef();
    const HRESULT result = factory->QueryInterface(iid, out);
    factory->Release();
    return result;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace ov::shellext::com
