// The selection as Explorer hands it to a context-menu handler: a data object whose one
// format is CF_HDROP in global memory, the full paths as ANSI (code page 932) text. Shared
// by the Wine suites and the Explorer stand-in of the demo.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace ov::explorer {

class DropDataObject : public IDataObject {
 public:
  // On the stack: the creator's reference is never given back and Release deletes nothing.
  explicit DropDataObject(std::vector<std::string> paths, bool offerDrop = true);
  virtual ~DropDataObject() = default;
  DropDataObject(const DropDataObject&) = delete;
  DropDataObject& operator=(const DropDataObject&) = delete;
  // On the heap with one reference for the creator; the last Release deletes it.
  static DropDataObject* Create(std::vector<std::string> paths);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // Each call hands out a fresh block; the receiver frees it with ReleaseStgMedium.
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

  LONG References() const { return count_; }
  int GetDataCalls() const { return getDataCalls_; }

 protected:
  // The block GetData hands out: DROPFILES, then the list. Overridden for other lists.
  virtual std::string Block() const;
  // The DROPFILES header followed by `list` (which carries its own terminating zeros).
  static std::string WithHeader(const std::string& list, bool wide);

 private:
  std::vector<std::string> paths_;
  bool offerDrop_;
  bool onHeap_ = false;
  LONG count_ = 1;
  int getDataCalls_ = 0;
};

}  // namespace ov::explorer
