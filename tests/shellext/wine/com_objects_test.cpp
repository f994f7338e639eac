// The module's COM classes created directly with a recording tool table, on the real
// platform: which tool a command runs, with which selection list (sorted by CompareStringA)
// and which parent window.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "ui/win32/win32_backend.h"
#include "shellext/com/iclassfactory.h"
#include "shellext/com/ishellextinit.h"
#include "shellext/com/server.h"
#include "shellext/wine/test_host.h"
#include "support/readable.h"

namespace ov::test {
namespace {

using shellext::CommandTable;
using shellext::SelectionList;
using shellext::ToolContext;

struct ToolCall {
  int tool;
  SelectionList selection;
  std::uintptr_t parent;
  LONG runningTools;
};
std::vector<ToolCall> calls;

template <int tool>
void Record(ToolContext&, const SelectionList& selection, std::uintptr_t parent) {
  calls.push_back({tool, selection, parent, shellext::com::RunningTools()});
}

void Throwing(ToolContext&, const SelectionList&, std::uintptr_t) { throw std::runtime_error("tool failed"); }

const CommandTable kRecordingTools = {{Record<0>, Record<1>, Record<2>, Record<3>}, Record<4>};

class ComObjects : public ::testing::Test {
 protected:
  void SetUp() override { calls.clear(); }
  void TearDown() override { EXPECT_EQ(shellext::com::LiveObjects(), 0); }

  Ref<IContextMenu> MenuFor(const std::vector<std::string>& paths, const CommandTable& tools = kRecordingTools) {
    context_ = std::make_unique<shellext::com::ServerContext>(shellext::com::ServerContext{platform_, ui_, tools});
    Ref<IShellExtInit> init(new shellext::com::TShellExtInit(*context_));
    init->AddRef();
    DropDataObject data(paths);
    EXPECT_EQ(init->Initialize(nullptr, &data, nullptr), S_OK);
    Ref<IContextMenu> menu;
    EXPECT_EQ(init->QueryInterface(IID_IContextMenu, menu.Out()), S_OK);
    return Ref<IContextMenu>(menu.Detach());
  }
  static HRESULT Invoke(IContextMenu* menu, LPCSTR verb, HWND window) {
    CMINVOKECOMMANDINFO record = {};
    record.cbSize = sizeof record;
    record.hwnd = window;
    record.lpVerb = verb;
    return menu->InvokeCommand(&record);
  }

  platform::Win32Platform platform_;
  ui::win32::Win32Backend ui_;
  std::unique_ptr<shellext::com::ServerContext> context_;
  ScratchFolder scratch_;
};

TEST_F(ComObjects, FileCommandsRunTheirToolWithTheSortedFilesAndTheParentWindow) {
  const std::string b = scratch_.File("b.txt");
  const std::string a = scratch_.File("A.txt");
  const std::string c = scratch_.File("c.txt");
  Ref<IContextMenu> menu = MenuFor({b, a, c, scratch_.Path() + "gone.txt"});
  const HWND window = reinterpret_cast<HWND>(0x4242);
  for (int offset = 0; offset < 4; ++offset) {
    EXPECT_EQ(Invoke(menu.Get(), MAKEINTRESOURCEA(offset), window), S_OK);
  }
  EXPECT_EQ(Invoke(menu.Get(), MAKEINTRESOURCEA(4), window), S_OK);
  EXPECT_EQ(Invoke(menu.Get(), "open", window), S_OK);
  ASSERT_EQ(calls.size(), 4u);
  for (int offset = 0; offset < 4; ++offset) {
    SCOPED_TRACE(offset);
    EXPECT_EQ(calls[offset].tool, offset);
    EXPECT_EQ(calls[offset].selection, (SelectionList{a, b, c}));
    EXPECT_EQ(calls[offset].parent, reinterpret_cast<std::uintptr_t>(window));
    EXPECT_EQ(calls[offset].runningTools, 1);  // the open tool keeps the module loaded
  }
  EXPECT_EQ(shellext::com::RunningTools(), 0);
}

TEST_F(ComObjects, FolderCombineRunsOnlyForVerbZeroWithTheSortedFolders) {
  // Japanese names sort as CompareStringA orders them in the Japanese locale.
  const std::string second = scratch_.Folder("写真");
  const std::string first = scratch_.Folder("Photos");
  Ref<IContextMenu> menu = MenuFor({second, first});
  EXPECT_EQ(Invoke(menu.Get(), MAKEINTRESOURCEA(1), nullptr), S_OK);
  EXPECT_EQ(Invoke(menu.Get(), MAKEINTRESOURCEA(0), nullptr), S_OK);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].tool, 4);
  EXPECT_EQ(calls[0].selection, (SelectionList{first, second}));
}

TEST_F(ComObjects, AToolThatThrowsGivesFail) {
  const CommandTable throwing = {{Throwing, nullptr, nullptr, nullptr}, nullptr};
  Ref<IContextMenu> menu = MenuFor({scratch_.File("a.txt")}, throwing);
  EXPECT_EQ(Invoke(menu.Get(), MAKEINTRESOURCEA(0), nullptr), E_FAIL);
  EXPECT_EQ(Invoke(menu.Get(), MAKEINTRESOURCEA(1), nullptr), S_OK);
  EXPECT_EQ(shellext::com::RunningTools(), 0);
}

}  // namespace
}  // namespace ov::test
