// File tests and file creation by path. The program uses OpenFile for them,
// as every Windows version has it; but OpenFile's record holds only 128
// characters, so it refuses any longer path. Longer paths go to the Win32
// functions instead, which Windows 95 and NT 4 have as well.
#pragma once

#include <windows.h>

namespace os {

// Whether the file exists. A short name without a folder is searched for by
// OpenFile's rules (the program's folder, the current folder, the system
// folders, PATH).
bool FileExists(const char* path);

// Deletes the file; a failure is not reported.
void RemoveFile(const char* path);

// Creates the file, or empties an existing one, and opens it for `access`
// (OF_READ or OF_WRITE, for _lwrite); HFILE_ERROR when it cannot be created.
HFILE CreateEmptyFile(const char* path, UINT access);

// GetLongPathNameW and GetShortPathNameW, found at run time (Windows 95 and
// NT 4 lack the first).
using WidePathFunction = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);

// The wide path in the ANSI code page, without the look-alikes that Windows
// puts in place of a character the code page lacks ("Ł" would become "L"):
// `lost` tells whether one did not survive. False when Windows cannot
// convert so (NT 4 knows no WC_NO_BEST_FIT_CHARS).
bool ToAnsi(const WCHAR* wide, char (&path)[MAX_PATH], BOOL& lost);

// Vista on, Windows redirects the file writes of a program without a manifest
// from a protected folder on the system drive (Program Files, the Windows
// folder, ProgramData) to a copy in the user's VirtualStore, which other
// programs (an editor) do not see. True, with the copy's path, when this
// process's writes are redirected so, the file lies in such a folder and the
// copy exists: that file is the one the program wrote.
bool FindVirtualStoreCopy(const char* path, char (&copy)[MAX_PATH]);

} // namespace os
