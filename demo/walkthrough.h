// The walkthrough: with nobody at the screen, a second thread plays the user of the
// Explorer window. For each of the five tools it selects suitable items, opens the context
// menu and chooses the tool's command with the keyboard; while the tool's modal dialog is up
// it fills it so that the preview shows real changes, saves the dialog as a BMP and cancels
// it, so the sample folder stays as it was. One line per step goes to standard output.
#pragma once

#include <string>

#include "explorer_window.h"

namespace ov::demo {

// Starts the user thread on a shown window; the caller then runs the message loop, which
// ends when the walkthrough closes the window. Null when the thread could not start.
HANDLE StartWalkthrough(ExplorerWindow& window, const std::string& screensFolder);

// The thread's exit code: 0 when all five dialogs were shown and saved.
int WalkthroughResult(HANDLE thread);

}  // namespace ov::demo
