#include "shellext/com/ishellextinit.h"

#include <shellapi.h>

#include <algorithm>

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

// DragQueryFileA walks the list from its first path to reach an index, so reading n paths
// by index costs O(n²): about five minutes for 100,000 paths. Each path is read instead from
// a private copy of the list whose start is moved onto it, as DragQueryFileA's path 0, which
// gives the same text, truncation and conversion of wide lists at the cost of one path.
class DropCursor {
 public:
  // The copy ends in zeros beyond the block's size, so that a list whose last path or
  // whose end lacks its terminating zero is read up to the block's end and no further.
  explicit DropCursor(HGLOBAL medium) : size_(GlobalSize(medium)) {
    const auto* source = static_cast<const BYTE*>(GlobalLock(medium));
    if (source == nullptr) return;
    if (size_ >= sizeof(DROPFILES)) {
      copy_ = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size_ + kEndZeros));
    }
    if (copy_ != nullptr) {
      CopyMemory(copy_, source, size_);
      next_ = Header().pFiles;
      wide_ = Header().fWide != FALSE;
    }
    GlobalUnlock(medium);
  }
  ~DropCursor() {
    if (copy_ != nullptr) GlobalFree(copy_);
  }
  DropCursor(const DropCursor&) = delete;
  DropCursor& operator=(const DropCursor&) = delete;
  bool Ready() const { return copy_ != nullptr; }

  // The number of paths as DragQueryFileA counts them; none when the list would start
  // outside the block.
  UINT Count() {
    if (next_ < sizeof(DROPFILES) || next_ >= size_) return 0;
    return DragQueryFileA(reinterpret_cast<HDROP>(copy_), 0xFFFFFFFF, nullptr, 0);
  }

  // The next path as DragQueryFileA gives it with a buffer of `size`; its result.
  UINT Read(char* path, UINT size) {
    if (next_ >= size_) return 0;
    Header().pFiles = static_cast<DWORD>(next_);
    const UINT length = DragQueryFileA(reinterpret_cast<HDROP>(copy_), 0, path, size);
    const std::size_t unit = wide_ ? 2 : 1;
    while (next_ + unit <= size_ && !IsEnd(next_, unit)) next_ += unit;
    next_ += unit;
    return length;
  }

 private:
  DROPFILES& Header() { return *reinterpret_cast<DROPFILES*>(copy_); }
  bool IsEnd(std::size_t at, std::size_t unit) const { return copy_[at] == 0 && (unit == 1 || copy_[at + 1] == 0); }

  // Two wide zeros end the last path and the list; DragQueryFileA looks one character past.
  static constexpr std::size_t kEndZeros = 8;

  std::size_t size_;
  BYTE* copy_ = nullptr;
  std::size_t next_ = 0;
  bool wide_ = false;
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

  DropCursor cursor(medium.hGlobal);
  if (!cursor.Ready()) return E_FAIL;
  const UINT count = cursor.Count();
  if (count < 1) return E_FAIL;
  for (UINT index = 0; index < count; ++index) {
    char path[kPathBufferSize] = {};
    if (cursor.Read(path, kPathBufferSize) == 0) continue;
    // The path is the buffer's text up to its first zero, never more than the buffer holds.
    const char* const begin = path;
    const char* const end = std::find(begin, begin + kPathBufferSize, '\0');
    AddSelectedPath(context_.platform.Files(), std::string(begin, end), selection_);
  }
  return selection_.files.empty() && selection_.folders.empty() ? E_FAIL : S_OK;
}

}  // namespace ov::shellext::com
