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

// Appends `tail`; false when it does not fit.
bool Append(WCHAR (&text)[MAX_PATH], const WCHAR* tail)
{
    int length = 0;
    while (text[length])
        ++length;
    for (; *tail; ++tail) {
        if (length + 1 >= MAX_PATH)
            return false;
        text[length++] = *tail;
    }
    text[length] = L'\0';
    return true;
}

// Whether `path` lies in `folder` (letter case aside, as the file system does).
bool LiesIn(const WCHAR* path, const WCHAR* folder)
{
    auto lower = [](WCHAR c) { return c >= L'A' && c <= L'Z' ? static_cast<WCHAR>(c + (L'a' - L'A')) : c; };
    int i = 0;
    for (; folder[i]; ++i) {
        if (lower(path[i]) != lower(folder[i]))
            return false;
    }
    return i > 0 && (folder[i - 1] == L'\\' || path[i] == L'\\');
}

// The folders whose writes Windows redirects, all on the system drive:
// Program Files (both of them, on 64-bit Windows), the Windows folder and
// ProgramData.
bool Virtualised(const WCHAR* path, HRESULT(WINAPI* getFolderPath)(HWND, int, HANDLE, DWORD, LPWSTR))
{
    constexpr int kFolders[] = {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_WINDOWS, CSIDL_COMMON_APPDATA};
    WCHAR folder[MAX_PATH];
    for (int id : kFolders) {
        if (SUCCEEDED(getFolderPath(nullptr, id, nullptr, 0, folder)) && LiesIn(path, folder))
            return true;
    }
    // A 32-bit program is told "Program Files (x86)" for both.
    if (FAILED(getFolderPath(nullptr, CSIDL_WINDOWS, nullptr, 0, folder)) || folder[1] != L':')
        return false;
    folder[3] = L'\0';
    return Append(folder, L"Program Files") && LiesIn(path, folder);
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
    using SHGetFolderPathW = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
    auto getTokenInformation = Find<GetTokenInformation>("advapi32.dll", "GetTokenInformation");
    auto getFolderPath = Find<SHGetFolderPathW>("shell32.dll", "SHGetFolderPathW");
    auto getLongPathName = Find<WidePathFunction>("kernel32.dll", "GetLongPathNameW");
    auto getShortPathName = Find<WidePathFunction>("kernel32.dll", "GetShortPathNameW");
    auto getFileAttributes = Find<DWORD(WINAPI*)(LPCWSTR)>("kernel32.dll", "GetFileAttributesW");
    HANDLE token = nullptr;
    if (!getTokenInformation || !getFolderPath || !getLongPathName || !getShortPathName || !getFileAttributes ||
        !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    // Windows before Vista knows no such token information and says no.
    DWORD virtualised = 0;
    DWORD size = 0;
    BOOL known = getTokenInformation(token, TokenVirtualizationEnabled, &virtualised, sizeof virtualised, &size);
    CloseHandle(token);
    // The long form: the store holds the names the user sees, and the
    // program may know its folder by the short one.
    WCHAR given[MAX_PATH];
    WCHAR file[MAX_PATH];
    DWORD length = known && virtualised && MultiByteToWideChar(CP_ACP, 0, path, -1, given, MAX_PATH)
                       ? getLongPathName(given, file, MAX_PATH)
                       : 0;
    if (length == 0 || length >= MAX_PATH || file[1] != L':' || file[2] != L'\\' || !Virtualised(file, getFolderPath))
        return false;
    // The store mirrors the path without its drive: C:\Program Files\x.ini
    // is %LOCALAPPDATA%\VirtualStore\Program Files\x.ini.
    WCHAR store[MAX_PATH];
    if (FAILED(getFolderPath(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, store)) || !Append(store, L"\\VirtualStore") ||
        !Append(store, file + 2) || getFileAttributes(store) == INVALID_FILE_ATTRIBUTES)
        return false;
    // In ANSI; the short form where a name is outside the code page.
    BOOL lost;
    if (ToAnsi(store, copy, lost) && !lost)
        return true;
    length = getShortPathName(store, given, MAX_PATH);
    return length > 0 && length < MAX_PATH && ToAnsi(given, copy, lost) && !lost;
}

bool ToAnsi(const WCHAR* wide, char (&path)[MAX_PATH], BOOL& lost)
{
    lost = FALSE;
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, path, MAX_PATH, nullptr, &lost) != 0;
}

} // namespace os
