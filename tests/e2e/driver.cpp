// The end-to-end driver's window and process helpers.
#include "driver.h"

#include <commctrl.h>

#include <cstdio>
#include <set>

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

namespace {

struct Collect {
    DWORD processId;
    const char* className;
    HWND owner;   // for the taskbar's tooltips
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM parameter)
{
    auto* collect = reinterpret_cast<Collect*>(parameter);
    Search search = {collect->processId, collect->className, true, nullptr};
    Match(window, reinterpret_cast<LPARAM>(&search));
    if (search.found)
        collect->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectOwned(HWND window, LPARAM parameter)
{
    auto* collect = reinterpret_cast<Collect*>(parameter);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, collect->className) == 0 && GetWindow(window, GW_OWNER) == collect->owner)
        collect->found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> VisibleWindows(DWORD processId, const char* className)
{
    Collect collect = {processId, className, nullptr, {}};
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&collect));
    return collect.found;
}

HWND WaitForCaption(DWORD processId, const char* className, const char* caption, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : VisibleWindows(processId, className)) {
                if (WindowText(window) == caption)
                    found = window;
            }
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

void PostKey(HWND window, WPARAM key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

void PostChar(HWND window, char character)
{
    PostMessageA(window, WM_CHAR, static_cast<BYTE>(character), 1);
}

std::vector<TrayIcon> TrayIcons()
{
    std::vector<TrayIcon> icons;
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    DWORD shellId = 0;
    if (!taskbar || !GetWindowThreadProcessId(taskbar, &shellId))
        return icons;
    HANDLE shell = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, shellId);
    if (!shell)
        return icons;
    // The tooltip copies a tool's record and text into memory of its own
    // process, so the record and the text buffer are placed there.
    constexpr SIZE_T kTextOffset = 512, kSize = 4096;
    auto* remote = static_cast<char*>(VirtualAllocEx(shell, nullptr, kSize, MEM_COMMIT, PAGE_READWRITE));
    // Wine leaves the tooltip of a removed icon behind with an empty place
    // and never uses it again; skipping those keeps each call quick.
    static std::set<HWND> removed;
    Collect tooltips = {0, TOOLTIPS_CLASSA, taskbar, {}};
    EnumWindows(CollectOwned, reinterpret_cast<LPARAM>(&tooltips));
    for (HWND tooltip : tooltips.found) {
        if (removed.count(tooltip))
            continue;
        LRESULT tools = SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0);
        for (LRESULT index = 0; remote && index < tools; ++index) {
            TTTOOLINFOA tool = {};
            tool.cbSize = sizeof tool;
            tool.lpszText = remote + kTextOffset;
            char text[kSize - kTextOffset] = {};
            if (!WriteProcessMemory(shell, remote, &tool, sizeof tool, nullptr) ||
                !WriteProcessMemory(shell, remote + kTextOffset, text, sizeof text, nullptr) ||
                !SendMessageA(tooltip, TTM_ENUMTOOLSA, index, reinterpret_cast<LPARAM>(remote)) ||
                !ReadProcessMemory(shell, remote, &tool, sizeof tool, nullptr) ||
                !ReadProcessMemory(shell, remote + kTextOffset, text, sizeof text - 1, nullptr))
                continue;
            if (IsRectEmpty(&tool.rect))
                removed.insert(tooltip);
            else
                icons.push_back({text, tool.rect});
        }
    }
    if (remote)
        VirtualFreeEx(shell, remote, 0, MEM_RELEASE);
    CloseHandle(shell);
    return icons;
}

int CountTrayIcons(const std::string& tip)
{
    int count = 0;
    for (const TrayIcon& icon : TrayIcons())
        count += icon.tip == tip;
    return count;
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
