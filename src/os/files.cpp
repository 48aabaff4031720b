// OpenFile for the paths it takes, the Win32 file functions for longer ones.
#include "files.h"

#include "os.h"
#include "system_library.h"

namespace os {
namespace {

// The record's contents are never read; one for the whole program will do.
constinit OFSTRUCT scratch = {};

bool FitsOpenFile(const char* path)
{
    return lstrlenA(path) < OFS_MAXPATHNAME;
}

} // namespace

bool FileExists(const char* path)
{
    if (FitsOpenFile(path))
        return OpenFile(path, &scratch, OF_EXIST) != HFILE_ERROR;
    // OpenFile does not open folders; neither does this.
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveFile(const char* path)
{
    if (FitsOpenFile(path))
        OpenFile(path, &scratch, OF_DELETE);
    else
        DeleteFileA(path);
}

HFILE CreateEmptyFile(const char* path, UINT access)
{
    if (FitsOpenFile(path))
        return OpenFile(path, &scratch, OF_CREATE | access);
    // A Win32 file handle is what _lwrite and _lclose take as HFILE.
    HANDLE file = CreateFileA(path, access == OF_WRITE ? GENERIC_WRITE : GENERIC_READ, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? HFILE_ERROR : static_cast<HFILE>(reinterpret_cast<INT_PTR>(file));
}

bool FindVirtualStoreCopy(const char* path, char (&copy)[MAX_PATH])
{
    using GetTokenInformation = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
    using SHGetFolderPathA = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    auto getTokenInformation = Find<GetTokenInformation>("advapi32.dll", "GetTokenInformation");
    auto getFolderPath = Find<SHGetFolderPathA>("shell32.dll", "SHGetFolderPathA");
    HANDLE token = nullptr;
    if (!getTokenInformation || !getFolderPath || !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    // Windows before Vista knows no such token information and says no.
    DWORD virtualised = 0;
    DWORD size = 0;
    BOOL known = getTokenInformation(token, TokenVirtualizationEnabled, &virtualised, sizeof virtualised, &size);
    CloseHandle(token);
    // The store mirrors the path without its drive: C:\Program Files\x.ini
    // is %LOCALAPPDATA%\VirtualStore\Program Files\x.ini.
    constexpr char kStore[] = "\\VirtualStore";
    if (!known || !virtualised || path[0] == '\0' || path[1] != ':' || path[2] != '\\' ||
        FAILED(getFolderPath(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, copy)) ||
        lstrlenA(copy) + (sizeof kStore - 1) + lstrlenA(path + 2) >= MAX_PATH)
        return false;
    lstrcatA(copy, kStore);
    lstrcatA(copy, path + 2);
    return FileExists(copy);
}

} // namespace os
