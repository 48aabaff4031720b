// Windows functions that not every version the program runs on has, or that
// live in a DLL the program loads only once it needs it, found at run time:
// Windows 95 and NT 4 start the program as they always did, and no DLL is
// ever looked for in the program's own folder (a Downloads folder may hold
// anything).
#pragma once

#include <windows.h>

#include "os.h"

namespace os {

// Restricts every later DLL search to the system folder where Windows offers
// it, and takes the current folder out of the search where that is possible.
// The first thing at start, before any DLL is loaded on demand.
void RestrictDllSearch();

// The DLL, loaded by its full path in the system folder; nullptr when it
// cannot be.
HMODULE LoadSystemLibrary(const char* name);

// The function from a loaded DLL; nullptr where this Windows lacks it.
template <typename Function> Function Find(HMODULE dll, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

template <typename Function> Function Find(const char* dll, const char* name)
{
    return Find<Function>(GetModuleHandleA(dll), name);
}

} // namespace os
