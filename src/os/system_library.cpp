// DLL search hardening and DLLs loaded from the system folder.
#include "system_library.h"

namespace os {

void RestrictDllSearch()
{
    // Windows 7, and Vista with its update: the system folder alone.
    if (auto setDefaultDllDirectories = Find<BOOL(WINAPI*)(DWORD)>("kernel32.dll", "SetDefaultDllDirectories"))
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // XP SP1 on: an empty text takes the current folder out of the search.
    if (auto setDllDirectory = Find<BOOL(WINAPI*)(LPCSTR)>("kernel32.dll", "SetDllDirectoryA"))
        setDllDirectory("");
}

HMODULE LoadSystemLibrary(const char* name)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenA(name) >= MAX_PATH)
        return nullptr;
    lstrcatA(path, "\\");
    lstrcatA(path, name);
    return LoadLibraryA(path);
}

} // namespace os
