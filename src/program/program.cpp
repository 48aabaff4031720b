// The process-wide values of program.h. Defined here rather than inline in
// the header so that, all zero at start, they take no room in the file.
#include "program.h"

namespace program {

constinit HINSTANCE instance = nullptr;
constinit HWND trayWindow = nullptr;
constinit char exeLongPath[kPathCapacity] = {};
constinit char settingsPath[kSettingsPathCapacity] = {};
constinit bool ntFamily = false;
constinit UINT addTrayIconMessage = 0;
constinit UINT closeProgramMessage = 0;
constinit UINT taskbarCreatedMessage = 0;

} // namespace program
