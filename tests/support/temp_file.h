// A file path in the temporary directory that is removed when the test ends,
// with helpers to write and read its raw bytes.
#pragma once

#include <windows.h>

#include <string>

namespace test {

// A file's bytes, or "<absent>" when it cannot be read.
inline std::string ReadFileBytes(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<absent>";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    return bytes;
}

class TempFile {
public:
    explicit TempFile(const char* name)
    {
        char directory[MAX_PATH];
        GetTempPathA(MAX_PATH, directory);
        path_ = std::string(directory) + name;
        DeleteFileA(path_.c_str());
    }
    ~TempFile()
    {
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path_.c_str());
    }
    const char* Path() const { return path_.c_str(); }
    bool Exists() const { return GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }
    void Write(const std::string& bytes) const
    {
        HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    std::string Read() const { return ReadFileBytes(path_.c_str()); }

private:
    std::string path_;
};

} // namespace test

namespace test {

// A folder in the temporary directory whose path is `length` characters long
// (with its closing backslash), removed with its files when the test ends:
// for paths that OpenFile's 128-character record cannot take.
class LongFolder {
public:
    explicit LongFolder(size_t length)
    {
        char directory[MAX_PATH];
        GetTempPathA(MAX_PATH, directory);
        path_ = directory;
        path_ += std::string(length - path_.size() - 1, 'L') + "\\";
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~LongFolder()
    {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path_ + "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((path_ + found.cFileName).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path_.c_str());
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace test
