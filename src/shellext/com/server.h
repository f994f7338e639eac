// What every COM object of the module shares: the platform and the tool table it was
// created with, and the module's interlocked counts (server locks, live objects, tools
// running) that decide whether the module may be unloaded.
#pragma once

#include <windows.h>

#include "platform/platform.h"
#include "shellext/menu/command_table.h"

namespace ov::shellext::com {

// Handed by reference from the class factory to every object it makes.
struct ServerContext {
  platform::Platform& platform;
  ui::Backend& ui;
  const CommandTable& tools;
};

// IClassFactory::LockServer.
void LockServerCount(bool lock);
LONG ServerLocks();

// Every TUnknown counts itself from construction to destruction.
void ObjectCreated();
void ObjectDestroyed();
LONG LiveObjects();

// Counts a tool whose dialog is open, for the time the object lives.
class ToolRunning {
 public:
  ToolRunning();
  ~ToolRunning();
  ToolRunning(const ToolRunning&) = delete;
  ToolRunning& operator=(const ToolRunning&) = delete;
};
LONG RunningTools();

// True when nothing holds the module: no server lock, no live object, no open tool.
bool CanUnload();

}  // namespace ov::shellext::com
