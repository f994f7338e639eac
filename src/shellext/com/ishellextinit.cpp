#include "shellext/com/ishellextinit.h"

#include <shellapi.h>

#include "shellext/com/icontextmenu.h"

namespace ov::shellext::com {

namespace {

constexpr UINT kPathBufferSize = 260;

// Releases a storage medium that GetData filled.
class MediumOwner {
 public:
  explicit MediumOwner(STGMEDIUM& medium) : medium_(medium) {}
  ~MediumOwner() { ReleaseStgMedium(&medium_); }
  MediumOwner(const MediumOwner&) = delete;
  MediumOwner& operator=(const MediumOwner&) = delete;

 private:
  STGMEDIUM& medium_;
};

// Keeps a global memory block locked for its lifetime.
class GlobalLockOwner {
 public:
  explicit GlobalLockOwner(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
  ~GlobalLockOwner() {
    if (data_ != nullptr) GlobalUnlock(memory_);
  }
  GlobalLockOwner(const GlobalLockOwner&) = delete;
  GlobalLockOwner& operator=(const GlobalLockOwner&) = delete;
  bool Locked() const { return data_ != nullptr; }

 private:
  HGLOBAL memory_;
  void* data_;
};

}  // namespace

TShellExtInit::TShellExtInit(ServerContext& context) : context_(context) {}

TShellExtInit::~TShellExtInit() = default;

HRESULT STDMETHODCALLTYPE TShellExtInit::QueryInterface(REFIID iid, void** out) {
  try {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) return TUnknown::QueryInterface(iid, out);
    if (IsEqualIID(iid, IID_IShellExtInit)) {
      IShellExtInit* self = this;
      self->AddRef();
      *out = self;
      return S_OK;
    }
    if (IsEqualIID(iid, IID_IContextMenu)) {
      // Every request gets its own menu object with copies of the lists as they are now;
      // it keeps no reference to this object.
      IContextMenu* menu = new TContextMenu(context_, selection_);
      menu->AddRef();
      *out = menu;
      return S_OK;
    }
    return E_NOINTERFACE;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT STDMETHODCALLTYPE TShellExtInit::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) {
  if (data == nullptr) return E_INVALIDARG;
  try {
    selection_.files.clear();
    selection_.folders.clear();
    return ReadDroppedPaths(*data);
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT TShellExtInit::ReadDroppedPaths(IDataObject& data) {
  FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium = {};
  if (FAILED(data.GetData(&format, &medium))) return E_FAIL;
  const MediumOwner releaseMedium(medium);
  const GlobalLockOwner lock(medium.hGlobal);
  if (!lock.Locked()) return E_FAIL;

  const HDROP drop = static_cast<HDROP>(medium.hGlobal);
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  if (count < 1) return E_FAIL;
  for (UINT index = 0; index < count; ++index) {
    char path[kPathBufferSize] = {};
    const UINT length = DragQueryFileA(drop, index, path, kPathBufferSize);
    if (length == 0) continue;
    AddSelectedPath(context_.platform.Files(), std::string(path, length), selection_);
  }
  return selection_.files.empty() && selection_.folders.empty() ? E_FAIL : S_OK;
}

}  // namespace ov::shellext::com
