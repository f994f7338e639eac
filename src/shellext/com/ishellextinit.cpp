#include "shellext/com/ishellextinit.h"

#include <shellapi.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "shellext/com/icontextmenu.h"
#include "shellext/menu/drop_list.h"

namespace ov::shellext::com {

namespace {

static_assert(sizeof(DROPFILES) == kDropHeaderSize, "DROPFILES as the list reader knows it");
static_assert(offsetof(DROPFILES, pFiles) == kDropListOffsetAt, "DROPFILES as the list reader knows it");
static_assert(offsetof(DROPFILES, fWide) == kDropWideFlagAt, "DROPFILES as the list reader knows it");
static_assert(sizeof(wchar_t) == sizeof(char16_t), "WCHAR is a UTF-16 unit");

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
  const std::uint8_t* Bytes() const { return static_cast<const std::uint8_t*>(data_); }

 private:
  HGLOBAL memory_;
  void* data_;
};

const wchar_t* Units(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.data()); }

// WideCharToMultiByte into code page 932 without best-fit look-alikes; Windows before 2000
// knows no WC_NO_BEST_FIT_CHARS, and the round trip in ExactAnsi then catches them.
int ToAnsi(const std::u16string& wide, char* out, int size, const char* defaultChar, BOOL* usedDefault) {
  const int length = static_cast<int>(wide.size());
  int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Units(wide), length, out, size, defaultChar, usedDefault);
  if (bytes == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
    bytes = WideCharToMultiByte(CP_ACP, 0, Units(wide), length, out, size, defaultChar, usedDefault);
  }
  return bytes;
}

// The code page 932 text of a wide path, only when it names the same path: no character
// replaced by the default or by a look-alike (the yen sign's is the separator 0x5C), and
// converted back it gives the same wide text.
bool ExactAnsi(const std::u16string& wide, std::string& ansi) {
  ansi.clear();
  BOOL usedDefault = FALSE;
  const int bytes = ToAnsi(wide, nullptr, 0, nullptr, &usedDefault);
  if (bytes <= 0 || usedDefault) return false;
  ansi.resize(static_cast<std::size_t>(bytes));
  usedDefault = FALSE;
  if (ToAnsi(wide, &ansi[0], bytes, nullptr, &usedDefault) != bytes || usedDefault) return false;
  const int units = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), bytes, nullptr, 0);
  if (units <= 0 || static_cast<std::size_t>(units) != wide.size()) return false;
  std::u16string back(static_cast<std::size_t>(units), u'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), bytes, reinterpret_cast<wchar_t*>(&back[0]), units);
  return back == wide;
}

// A wide path as far as code page 932 shows it, "?" for what it cannot hold.
std::string ShownAnsi(const std::u16string& wide) {
  BOOL usedDefault = FALSE;
  const int bytes = ToAnsi(wide, nullptr, 0, "?", &usedDefault);
  if (bytes <= 0) return "?";
  std::string shown(static_cast<std::size_t>(bytes), '\0');
  ToAnsi(wide, &shown[0], bytes, "?", &usedDefault);
  return shown;
}

// What the wide path names, asked in its own form.
ItemKind WideKind(const std::u16string& wide) {
  const std::wstring path(Units(wide), wide.size());
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return KindOfItem(attributes != INVALID_FILE_ATTRIBUTES, attributes);
}

// A wide path is used only in a code page 932 form that names exactly it, within the 259
// bytes the ANSI functions take; otherwise it is left out and named to the user.
void AddWidePath(platform::FileApi& files, const std::u16string& wide, Selection& selection) {
  std::string ansi;
  if (!ExactAnsi(wide, ansi)) {
    selection.leftOut.push_back({ShownAnsi(wide), LeftOutReason::kCharacters, WideKind(wide)});
  } else if (ansi.size() > kMaxPathBytes) {
    selection.leftOut.push_back({ansi, LeftOutReason::kTooLong, WideKind(wide)});
  } else {
    AddSelectedPath(files, ansi, selection);
  }
}

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
    selection_ = Selection{};
    return ReadDroppedPaths(*data);
  } catch (...) {
    return E_FAIL;
  }
}

// Explorer on NT hands wide paths, Windows 95 to Me ANSI ones. The list is read here rather
// than through DragQueryFileA, whose 260-byte buffer cuts a long path short and whose
// conversion of a wide path puts look-alikes in: both can name a file never selected.
HRESULT TShellExtInit::ReadDroppedPaths(IDataObject& data) {
  FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium = {};
  if (FAILED(data.GetData(&format, &medium))) return E_FAIL;
  const MediumOwner releaseMedium(medium);
  if (medium.tymed != TYMED_HGLOBAL || medium.hGlobal == nullptr) return E_FAIL;
  const GlobalLockOwner lock(medium.hGlobal);
  if (lock.Bytes() == nullptr) return E_FAIL;

  DropList list;
  if (!ReadDropList(lock.Bytes(), GlobalSize(medium.hGlobal), list)) return E_FAIL;
  platform::FileApi& files = context_.platform.Files();
  for (const std::string& path : list.ansi) AddSelectedPath(files, path, selection_);
  for (const std::u16string& path : list.widePaths) AddWidePath(files, path, selection_);
  return selection_.files.empty() && selection_.folders.empty() ? E_FAIL : S_OK;
}

}  // namespace ov::shellext::com
