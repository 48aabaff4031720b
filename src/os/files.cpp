// OpenFile for the paths it takes, the Win32 file functions for longer ones.
#include "files.h"

#include "os.h"

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

} // namespace os
