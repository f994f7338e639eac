// TUnknown: the reference-counted base of every COM object of the module.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace ov::shellext::com {

class TUnknown : public IUnknown {
 public:
  TUnknown(const TUnknown&) = delete;
  TUnknown& operator=(const TUnknown&) = delete;

  // IID_IUnknown gives this part with a reference added; anything else E_NOINTERFACE.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  // Returns the new count.
  ULONG STDMETHODCALLTYPE AddRef() override;
  // Destroys the object at zero and returns 0; otherwise returns 1, not the count.
  ULONG STDMETHODCALLTYPE Release() override;
  virtual ~TUnknown();

 protected:
  TUnknown();
  IUnknown* UnknownPart() { return static_cast<TUnknown*>(this); }

 private:
  volatile LONG count_ = 0;
};

}  // namespace ov::shellext::com
