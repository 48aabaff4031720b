// Process start: the hidden tray window, the program's paths and platform
// family, then either one command-line action or the tray program.
#pragma once

#include <windows.h>

namespace app {

// Returns 1 when the tray program is up and the message loop must run,
// 0 when the process is to end (command-line mode, a second instance, or a
// failed start).
int StartUp(HINSTANCE instance, const char* arguments);

// Runs until the tray window is destroyed and WM_QUIT arrives.
void RunMessageLoop();

} // namespace app
