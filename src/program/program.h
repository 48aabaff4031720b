// Process-wide values that start-up works out once and every part of the
// program reads: the instance, the hidden tray window, the program's paths,
// the platform family and the ids of the three registered window messages.
#pragma once

#include <windows.h>

namespace program {

// Paths are at most MAX_PATH - 1 characters; the derived texts get room for
// what is added to such a path, so no copy or format into them can overflow.
constexpr int kPathCapacity = MAX_PATH;                            // 259 + NUL
constexpr int kSettingsPathCapacity = MAX_PATH + 4;                // + ".ini"
constexpr int kRestartProgramPathCapacity = MAX_PATH + 20;         // + "Lichtaus+Restart.exe"

extern HINSTANCE instance;
extern HWND trayWindow;

extern char exeLongPath[kPathCapacity];
extern char settingsPath[kSettingsPathCapacity];

// GetVersionExA's platform id 2 (VER_PLATFORM_WIN32_NT) is the NT family;
// everything else is the 9x family.
extern bool ntFamily;

// Registered in tray mode only; 0 matches no message until then.
extern UINT addTrayIconMessage;
extern UINT closeProgramMessage;
extern UINT taskbarCreatedMessage;

inline constexpr char kProductName[] = "Lichtaus+";

// False when the NT family gave the program no ANSI name for its folder (a
// character outside the code page, and no short names on the volume): then
// the paths are empty, and the program writes no settings and no registry
// entry that names it, rather than naming another folder.
inline bool PathsKnown()
{
    return exeLongPath[0] != '\0';
}

} // namespace program
