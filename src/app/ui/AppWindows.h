#pragma once
// The windows of the program, created once in their fixed order and
// destroyed together at the end. The main window is created (and initialised)
// first, so every later window may read its state while it is being created.

#include "app/AppContext.h"

namespace ztk {

// Creates Form1 ... FormSD. False when the main window ended start-up (another
// instance runs): then no other window is created.
bool createWindows(const AppContext &context);
// Destroys the windows that exist, the last created first, and the help window.
void destroyWindows();

} // namespace ztk
