// Puts the program's process-wide state into a known condition for a test:
// empty Settings and policy buffer, fixed paths, a fake tray window.
#pragma once

#include "src/app/program.h"
#include "src/config/registry.h"
#include "src/config/settings.h"
#include "src/ui/tray_window.h"
#include "support/fake_windows.h"

#include <cstring>

namespace test {

inline void ResetProgramState(const char* exePath = "C:\\Tools\\Lichtaus+.exe", bool ntFamily = true)
{
    config::settings = {};
    std::memset(config::policyBuffer, 0, sizeof config::policyBuffer);
    program::instance = GetModuleHandleA(nullptr);
    program::trayWindow = kTrayWindow;
    program::ntFamily = ntFamily;
    std::strcpy(program::exeLongPath, exePath);
    std::strcpy(program::settingsPath, "C:\\Tools\\Lichtaus+.ini");
    program::restartProgramPath[0] = '\0';
    program::addTrayIconMessage = program::closeProgramMessage = program::taskbarCreatedMessage = 0;
    ui::busy = 0;
}

} // namespace test
