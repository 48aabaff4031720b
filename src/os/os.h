// The seam between Lichtaus+ and Windows: every Windows function the program
// calls is reached through one pointer here. The product never reassigns them;
// tests swap single entries for the length of one test to script Windows.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

// One line per Windows function, grouped by the DLL that exports it.
#define LICHTAUS_OS_FUNCTIONS(X)                                               \
    /* kernel32 */                                                             \
    X(GetModuleHandleA) X(GetCommandLineA) X(ExitProcess)                      \
    X(GetModuleFileNameA) X(MultiByteToWideChar) X(GetVersionExA)              \
    X(GetTempPathA) X(OpenFile) X(_lwrite) X(_lclose)                          \
    X(CreateFileMappingA) X(GetLastError) X(GetCurrentProcess) X(CloseHandle)  \
    X(FindResourceA) X(LoadResource) X(LockResource) X(SizeofResource)         \
    X(FreeResource) X(GetPrivateProfileStringA) X(WritePrivateProfileStringA)  \
    X(lstrcmpiA) X(lstrcpyA) X(lstrcpynA) X(lstrcatA) X(lstrlenA)              \
    X(GetFileAttributesA) X(DeleteFileA) X(CreateFileA) X(GetProcAddress)      \
    X(LoadLibraryA) X(GetSystemDirectoryA) X(WideCharToMultiByte)              \
    /* user32 */                                                               \
    X(RegisterClassA) X(CreateWindowExA) X(DefWindowProcA) X(DestroyWindow)    \
    X(PostQuitMessage) X(PeekMessageA) X(TranslateMessage)                     \
    X(DispatchMessageA) X(WaitMessage) X(MessageBoxA) X(LoadCursorA)          \
    X(LoadMenuA) X(GetSubMenu) X(DestroyMenu) X(SetMenuDefaultItem)            \
    X(TrackPopupMenu) X(PostMessageA) X(SendMessageA) X(FindWindowA)           \
    X(SendMessageTimeoutA)                                                     \
    X(ExitWindowsEx) X(RegisterWindowMessageA) X(DialogBoxParamA)              \
    X(EndDialog) X(GetDlgItem) X(EnableWindow) X(CheckRadioButton)            \
    X(CheckDlgButton) X(IsDlgButtonChecked) X(SetForegroundWindow)            \
    X(GetWindow) X(MessageBeep) X(GetCursorPos) X(LoadImageA) X(DestroyIcon)   \
    X(wsprintfA) X(SetTimer) X(KillTimer) X(GetSystemMetrics) X(MapDialogRect) \
    /* gdi32 */                                                                \
    X(DeleteObject)                                                            \
    /* shell32 */                                                              \
    X(Shell_NotifyIconA) X(ShellExecuteA) X(FindExecutableA) X(SHGetMalloc)    \
    X(SHGetDesktopFolder) X(SHGetPathFromIDListA)                              \
    /* advapi32 */                                                             \
    X(OpenProcessToken) X(LookupPrivilegeValueA) X(AdjustTokenPrivileges)      \
    X(InitiateSystemShutdownA) X(RegOpenKeyExA) X(RegCreateKeyExA)             \
    X(RegQueryValueExA) X(RegSetValueExA) X(RegDeleteValueA) X(RegDeleteKeyA)  \
    X(RegCloseKey)

namespace os {

#define LICHTAUS_OS_DECLARE(name) extern decltype(&::name) name;
LICHTAUS_OS_FUNCTIONS(LICHTAUS_OS_DECLARE)
#undef LICHTAUS_OS_DECLARE

} // namespace os
