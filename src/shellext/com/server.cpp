#include "shellext/com/server.h"

namespace ov::shellext::com {

namespace {
volatile LONG serverLocks = 0;
volatile LONG liveObjects = 0;
volatile LONG runningTools = 0;
}  // namespace

void LockServerCount(bool lock) {
  if (lock) {
    InterlockedIncrement(&serverLocks);
  } else {
    InterlockedDecrement(&serverLocks);
  }
}

LONG ServerLocks() { return InterlockedCompareExchange(&serverLocks, 0, 0); }

void ObjectCreated() { InterlockedIncrement(&liveObjects); }
void ObjectDestroyed() { InterlockedDecrement(&liveObjects); }
LONG LiveObjects() { return InterlockedCompareExchange(&liveObjects, 0, 0); }

ToolRunning::ToolRunning() { InterlockedIncrement(&runningTools); }
ToolRunning::~ToolRunning() { InterlockedDecrement(&runningTools); }
LONG RunningTools() { return InterlockedCompareExchange(&runningTools, 0, 0); }

bool CanUnload() { return ServerLocks() == 0 && LiveObjects() == 0 && RunningTools() == 0; }

}  // namespace ov::shellext::com
