// Program paths. The long-name form turns a start through an 8.3 short path
// into the names the user sees.
#include "paths.h"

#include "../os/files.h"
#include "../os/os.h"
#include "../os/shell.h"
#include "../os/system_library.h"
#include "../program/program.h"

namespace app {
namespace {

// Overwrites `path` with its long-name form; leaves it as it is on any failure.
// Windows 98 and 2000 on give it directly. Windows 95 and NT 4 lack that
// function: there only the shell namespace knows the long names, and it
// needs COM.
void ConvertToLongName(char (&path)[program::kPathCapacity])
{
    if (auto getLongPathName = os::Find<DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD)>("kernel32.dll", "GetLongPathNameA")) {
        char longName[MAX_PATH];   // a failure must not leave half a path
        DWORD length = getLongPathName(path, longName, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            os::lstrcpyA(path, longName);
        return;
    }
    os::UseCom();
    WCHAR wide[MAX_PATH];
    if (!os::MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH))
        return;
    IMalloc* allocator = nullptr;
    if (FAILED(os::SHGetMalloc(&allocator)))
        return;
    IShellFolder* desktop = nullptr;
    if (SUCCEEDED(os::SHGetDesktopFolder(&desktop))) {
        ULONG eaten = 0;
        ULONG attributes = 0;
        LPITEMIDLIST items = nullptr;
        if (SUCCEEDED(desktop->ParseDisplayName(program::trayWindow, nullptr, wide, &eaten, &items,
                                                &attributes))) {
            // Into a scratch buffer, so a failure cannot leave half a path.
            char longName[MAX_PATH];
            if (os::SHGetPathFromIDListA(items, longName))
                os::lstrcpynA(path, longName, program::kPathCapacity);
            allocator->Free(items);
        }
        desktop->Release();
    }
    allocator->Release();
}

enum class PathForm { kAsItComes, kShort, kUnusable };

// The NT family names a folder in Unicode. A name the ANSI code page cannot
// hold comes through the ANSI functions as another folder's name, and the
// settings would be written there. So the short 8.3 form of the folder,
// which is plain ASCII, stands in for it, followed by the program's own file
// name. A volume without short names leaves nothing that names the folder in
// ANSI. The long form is what counts: a start through the short form, which
// the autostart entry holds then, would otherwise come back long and lossy.
PathForm AnsiModulePath(char (&path)[program::kPathCapacity])
{
    auto getModuleFileName = os::Find<DWORD(WINAPI*)(HMODULE, LPWSTR, DWORD)>("kernel32.dll", "GetModuleFileNameW");
    auto getLongPathName = os::Find<os::WidePathFunction>("kernel32.dll", "GetLongPathNameW");
    auto getShortPathName = os::Find<os::WidePathFunction>("kernel32.dll", "GetShortPathNameW");
    WCHAR wide[MAX_PATH];
    DWORD length = getModuleFileName && getShortPathName ? getModuleFileName(program::instance, wide, MAX_PATH) : 0;
    // Where the long form cannot be had (a folder the user may not list),
    // the path is taken as it came.
    WCHAR longForm[MAX_PATH];
    DWORD longLength = getLongPathName && length > 0 && length < MAX_PATH ? getLongPathName(wide, longForm, MAX_PATH) : 0;
    if (longLength > 0 && longLength < MAX_PATH) {
        for (DWORD i = 0; i <= longLength; ++i)
            wide[i] = longForm[i];
        length = longLength;
    }
    // NT 4 knows no WC_NO_BEST_FIT_CHARS: the path as it comes there.
    BOOL lost;
    if (length == 0 || length >= MAX_PATH || !os::ToAnsi(wide, path, lost) || !lost)
        return PathForm::kAsItComes;

    DWORD nameStart = length;
    while (nameStart > 0 && wide[nameStart - 1] != L'\\')
        --nameStart;
    WCHAR name[MAX_PATH];
    for (DWORD i = nameStart; i <= length; ++i)
        name[i - nameStart] = wide[i];
    wide[nameStart] = L'\0';   // the folder, with its closing backslash
    WCHAR shortPath[MAX_PATH];
    DWORD folderLength = getShortPathName(wide, shortPath, MAX_PATH);
    // Room for the backslash and the NUL after it: a folder of 259 characters has none.
    if (folderLength > 0 && folderLength + 1 < MAX_PATH && shortPath[folderLength - 1] != L'\\') {
        shortPath[folderLength++] = L'\\';   // the folder's closing backslash, should Windows drop it
        shortPath[folderLength] = L'\0';
    }
    if (folderLength == 0 || folderLength >= MAX_PATH || shortPath[folderLength - 1] != L'\\' ||
        folderLength + (length - nameStart) >= MAX_PATH)
        return PathForm::kUnusable;
    for (DWORD i = 0; i <= length - nameStart; ++i)
        shortPath[folderLength + i] = name[i];
    return os::ToAnsi(shortPath, path, lost) && !lost ? PathForm::kShort : PathForm::kUnusable;
}

} // namespace

void MakeSettingsPath(const char* exePath, char* settingsPath)
{
    int dot = -1;
    int length = 0;
    for (; exePath[length]; ++length) {
        if (exePath[length] == '.')
            dot = length;
    }
    int kept = dot >= 0 ? dot : length;
    // lstrcpynA counts the NUL: kept characters need kept + 1.
    os::lstrcpynA(settingsPath, exePath, kept + 1);
    os::lstrcatA(settingsPath, ".ini");
}

void DeriveProgramPaths()
{
    char path[program::kPathCapacity] = {};
    PathForm form = program::ntFamily ? AnsiModulePath(path) : PathForm::kAsItComes;
    // Without a name for its folder the program keeps no paths and writes
    // no settings, rather than into another folder.
    if (form == PathForm::kUnusable) {
        program::exeLongPath[0] = program::settingsPath[0] = '\0';
        return;
    }
    if (form == PathForm::kAsItComes) {
        // A name that does not fit comes back cut to 259 characters and
        // terminated on NT; the terminator below makes the 9x family agree.
        os::GetModuleFileNameA(program::instance, path, program::kPathCapacity);
        path[program::kPathCapacity - 1] = '\0';
        // Not for the short form: the long form would give the lost name back.
        ConvertToLongName(path);
    }

    os::lstrcpyA(program::exeLongPath, path);
    MakeSettingsPath(path, program::settingsPath);
}

} // namespace app
