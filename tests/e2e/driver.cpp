// The end-to-end driver's window and process helpers.
#include "driver.h"

#include <cstdio>

namespace e2e {

Program::~Program()
{
    if (info_.hProcess) {
        if (Running())
            TerminateProcess(info_.hProcess, 1);
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

bool Program::Start(const std::string& exePath, const std::string& arguments)
{
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info_) != FALSE;
}

DWORD Program::WaitForExit(DWORD timeoutMs)
{
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

bool Program::Running() const
{
    return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

TempFolder::TempFolder(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char unique[32];
    snprintf(unique, sizeof unique, "%lu-%lu", GetCurrentProcessId(), GetTickCount());
    path_ = std::string(temp) + "e2e-" + name + "-" + unique;
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileA((path_ + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

std::string CopyProgram(const TempFolder& folder, const char* name)
{
    std::string target = folder.File(name);
    CopyFileA(LICHTAUS_EXE, target.c_str(), FALSE);
    return target;
}

namespace {

struct Search {
    DWORD processId;
    const char* className;
    bool visible;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId)
        return TRUE;
    if (search->visible && !IsWindowVisible(window))
        return TRUE;
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (search->className && lstrcmpA(className, search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND WaitForWindow(DWORD processId, const char* className, bool visible, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        Search search = {processId, className, visible, nullptr};
        EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (GetTickCount() - start > timeoutMs)
            return nullptr;
        Sleep(20);
    }
}

HWND FindVisibleWindow(DWORD processId)
{
    Search search = {processId, nullptr, true, nullptr};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowText(HWND window)
{
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string MessageText(HWND box)
{
    char text[2048] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

bool HasButton(HWND dialog, int id)
{
    return GetDlgItem(dialog, id) != nullptr;
}

void Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string ReadFile(const std::string& path)
{
    std::string contents;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return "<absent>";
    char buffer[4096];
    size_t read;
    while ((read = fread(buffer, 1, sizeof buffer, file)) > 0)
        contents.append(buffer, read);
    fclose(file);
    return contents;
}

void WriteFile(const std::string& path, const std::string& contents)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return;
    fwrite(contents.data(), 1, contents.size(), file);
    fclose(file);
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace e2e
