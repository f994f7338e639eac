#include "support/explorer/drop_data_object.h"

#include <cstring>

namespace ov::explorer {

DropDataObject::DropDataObject(std::vector<std::string> paths, bool offerDrop)
    : paths_(std::move(paths)), offerDrop_(offerDrop) {}

DropDataObject* DropDataObject::Create(std::vector<std::string> paths) {
  auto* object = new DropDataObject(std::move(paths));
  object->onHeap_ = true;
  return object;
}

HRESULT STDMETHODCALLTYPE DropDataObject::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDataObject)) return E_NOINTERFACE;
  *out = static_cast<IDataObject*>(this);
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE DropDataObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&count_)); }

ULONG STDMETHODCALLTYPE DropDataObject::Release() {
  const LONG left = InterlockedDecrement(&count_);
  if (left == 0 && onHeap_) delete this;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE DropDataObject::QueryGetData(FORMATETC* format) {
  if (format == nullptr) return E_INVALIDARG;
  if (!offerDrop_ || format->cfFormat != CF_HDROP || (format->tymed & TYMED_HGLOBAL) == 0) return DV_E_FORMATETC;
  return format->dwAspect == DVASPECT_CONTENT ? S_OK : DV_E_DVASPECT;
}

HRESULT STDMETHODCALLTYPE DropDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out != nullptr) out->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

std::string DropDataObject::WithHeader(const std::string& list, bool wide) {
  DROPFILES header = {};
  header.pFiles = sizeof header;
  header.fWide = wide ? TRUE : FALSE;
  return std::string(reinterpret_cast<const char*>(&header), sizeof header) + list;
}

std::string DropDataObject::Block() const {
  std::string list;
  for (const std::string& path : paths_) list.append(path.c_str(), path.size() + 1);
  list.push_back('\0');
  return WithHeader(list, false);
}

HRESULT STDMETHODCALLTYPE DropDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  ++getDataCalls_;
  if (format == nullptr || medium == nullptr) return E_INVALIDARG;
  const HRESULT offered = QueryGetData(format);
  if (offered != S_OK) return offered;
  const std::string block = Block();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, block.size());
  if (memory == nullptr) return E_OUTOFMEMORY;
  void* target = GlobalLock(memory);
  if (target == nullptr) {
    GlobalFree(memory);
    return E_OUTOFMEMORY;
  }
  std::memcpy(target, block.data(), block.size());
  GlobalUnlock(memory);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = memory;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

}  // namespace ov::explorer
