// Program paths. The long-name form comes from the shell namespace, which
// turns a start through an 8.3 short path into the names the user sees.
#include "paths.h"

#include "../os/os.h"
#include "../program/program.h"

namespace app {
namespace {

// Overwrites `path` with its long-name form; leaves it as it is on any failure.
void ConvertToLongName(char (&path)[program::kPathCapacity])
{
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
    // A name that does not fit comes back cut to 259 characters and
    // terminated on NT; the terminator below makes the 9x family agree.
    os::GetModuleFileNameA(program::instance, path, program::kPathCapacity);
    path[program::kPathCapacity - 1] = '\0';
    ConvertToLongName(path);

    os::lstrcpyA(program::exeLongPath, path);
    MakeSettingsPath(path, program::settingsPath);
}

} // namespace app
