// Handing files and links to the shell, and the COM it needs. COM is
// initialised on the program's thread the first time a launch or the shell
// namespace needs it, not at every start: most runs never launch anything,
// and the resident program should cost no more than a bare tray program.
#pragma once

#include <windows.h>

namespace os {

// Set by the first UseCom on the program's one thread; COM stays initialised
// until the process ends.
extern bool comInitialised;

// Initialises COM on this thread the first time it is called.
void UseCom();

// ShellExecuteA with the default verb, shown normally: `parameters` go to the
// program started, if any. The mailto: and http: handlers of Windows 10 and
// 11 go through COM, so COM comes first.
HINSTANCE ShellOpen(const char* file, const char* parameters = nullptr);

} // namespace os
