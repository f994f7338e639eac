#include "shellext/com/icontextmenu.h"

namespace ov::shellext::com {

TContextMenu::TContextMenu(ServerContext& context, const Selection& selection)
    : context_(context), model_(menus_, context.platform.System(), selection) {}

TContextMenu::~TContextMenu() = default;

HRESULT STDMETHODCALLTYPE TContextMenu::QueryInterface(REFIID iid, void** out) {
  try {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) return TUnknown::QueryInterface(iid, out);
    if (!IsEqualIID(iid, IID_IContextMenu)) return E_NOINTERFACE;
    IContextMenu* self = this;
    self->AddRef();
    *out = self;
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT STDMETHODCALLTYPE TContextMenu::QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last,
                                                         UINT flags) {
  try {
    const std::uint16_t added =
        model_.QueryContextMenu(reinterpret_cast<MenuHandle>(menu), index, first, last, flags);
    // The submenu is counted although it takes no command identifier.
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, added);
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT STDMETHODCALLTYPE TContextMenu::InvokeCommand(CMINVOKECOMMANDINFO* record) {
  if (record == nullptr) return E_INVALIDARG;
  try {
    // The tool's modal dialog runs inside this call; the module stays loaded meanwhile.
    const ToolRunning running;
    ToolContext toolContext{context_.platform, context_.ui};
    model_.InvokeCommand(reinterpret_cast<std::uintptr_t>(record->lpVerb), reinterpret_cast<std::uintptr_t>(record->hwnd),
                         context_.tools, toolContext);
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT STDMETHODCALLTYPE TContextMenu::GetCommandString(UINT_PTR offset, UINT type, UINT*, CHAR* buffer, UINT size) {
  try {
    model_.GetCommandString(offset, type, buffer, size);
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace ov::shellext::com
