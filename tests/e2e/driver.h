// Drives the real Lichtaus+.exe from outside, as a user and the shell would:
// starts it, finds, reads and presses its windows and message boxes, and reads
// what it leaves behind (files, registry values, the icon in Wine's taskbar).
#pragma once

#include "../check.h"

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace e2e {

constexpr DWORD kWait = 15000;
// How long a program that should show nothing is watched: a window that is
// coming comes well inside it.
constexpr DWORD kQuiet = 800;

template <typename Condition> bool WaitUntil(Condition done, DWORD timeoutMs = kWait)
{
    for (DWORD start = GetTickCount(); !done(); Sleep(20))
        if (GetTickCount() - start > timeoutMs) return false;
    return true;
}

inline std::string ReadFile(const std::string& path)   // "<absent>" when missing
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return file ? contents.str() : "<absent>";
}

inline void WriteFile(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

// A started program; ended by force if a test leaves it running.
struct Program {
    PROCESS_INFORMATION info = {};
    Program(const std::string& exe, const std::string& arguments, bool quoted = true)
    {
        std::string name = quoted ? "\"" + exe + "\"" : exe;
        std::string commandLine = name + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA startup = {sizeof startup};
        CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    }
    ~Program()
    {
        if (WaitForExit(0) == STILL_ACTIVE) TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    DWORD Id() const { return info.dwProcessId; }
    // The exit code, or STILL_ACTIVE when it has not ended in time.
    DWORD WaitForExit(DWORD timeoutMs = kWait)
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
};

// A fresh folder in the temporary directory holding a copy of the program
// and `settings` as its settings file; removed with its files.
struct Folder {
    std::string path, exe, ini;
    Folder(const std::string& name, const std::string& settings = "", const char* exeName = "Lichtaus+.exe")
    {
        path = test::TempPath() + name;
        exe = path + "\\" + exeName;
        ini = exe.substr(0, exe.rfind('.')) + ".ini";
        CreateDirectoryA(path.c_str(), nullptr);
        CopyFileA(LICHTAUS_EXE, exe.c_str(), FALSE);
        if (!settings.empty()) WriteFile(ini, settings);
    }
    ~Folder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

inline std::string Text(HWND window)
{
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The top-level windows of a process (of any for 0) with that class (any for
// nullptr), visible ones only when `visible`.
inline std::vector<HWND> Windows(DWORD processId, const char* className, bool visible = true)
{
    std::vector<HWND> found;
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, className, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if ((!processId || owner == processId) && (!visible || IsWindowVisible(window))) found.push_back(window);
    }
    return found;
}

// The process's first window of that class and caption (any caption for
// nullptr), waiting for it; nullptr when none came.
inline HWND WaitFor(DWORD processId, const char* className, const char* caption = nullptr, bool visible = true,
                    DWORD timeoutMs = kWait)
{
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND window : Windows(processId, className, visible))
            if (!caption || Text(window) == caption) return (found = window) != nullptr;
        return false;
    }, timeoutMs);
    return found;
}

// True when for a while the process shows no visible window but `allowed`.
inline bool StaysQuiet(DWORD processId, HWND allowed = nullptr)
{
    return !WaitUntil([&] {
        std::vector<HWND> shown = Windows(processId, nullptr);
        return shown.size() > (shown.size() == 1 && shown[0] == allowed);
    }, kQuiet);
}

// A message box: "caption|text|buttons", the buttons as the ids it has.
inline std::string Box(HWND box)
{
    char text[2048] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::string result = Text(box) + "|" + text + "|";
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) result += GetDlgItem(box, id) ? std::to_string(id) : "";
    return result;
}

inline void Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The icons in Wine's taskbar: one tooltip window per icon, owned by the
// taskbar. A tooltip copies the record and the text into memory of its own
// process, so both are placed there; a tool without a place on the taskbar is
// a removed icon's.
struct Icon { std::string tip; RECT rect; };
inline std::vector<Icon> TrayIcons()
{
    std::vector<Icon> icons;
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    DWORD shellId = 0;
    GetWindowThreadProcessId(taskbar, &shellId);
    HANDLE shell = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, shellId);
    constexpr SIZE_T kTextOffset = 512, kSize = 4096;
    auto* remote = static_cast<char*>(VirtualAllocEx(shell, nullptr, kSize, MEM_COMMIT, PAGE_READWRITE));
    for (HWND tooltip : Windows(shellId, TOOLTIPS_CLASSA, false)) {
        TTTOOLINFOA tool = {sizeof tool};
        tool.lpszText = remote + kTextOffset;
        char text[kSize - kTextOffset] = {};
        if (remote && GetWindow(tooltip, GW_OWNER) == taskbar && SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0) > 0 &&
            WriteProcessMemory(shell, remote, &tool, sizeof tool, nullptr) &&
            WriteProcessMemory(shell, remote + kTextOffset, text, sizeof text, nullptr) &&
            SendMessageA(tooltip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(remote)) &&
            ReadProcessMemory(shell, remote, &tool, sizeof tool, nullptr) &&
            ReadProcessMemory(shell, remote + kTextOffset, text, sizeof text - 1, nullptr) && !IsRectEmpty(&tool.rect))
            icons.push_back({text, tool.rect});
    }
    VirtualFreeEx(shell, remote, 0, MEM_RELEASE);
    CloseHandle(shell);
    return icons;
}

inline int CountTrayIcons(const std::string& tip)
{
    int count = 0;
    for (const Icon& icon : TrayIcons()) count += icon.tip == tip;
    return count;
}

inline constexpr char kPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lichtaus+";

// Every registry value the program reads or writes, under both roots.
inline constexpr struct {
    const char* key;
    const char* name;
    const char* shownAs;
} kValues[] = {
    {kPolicies, "NoLogoff", "NoLogoff"}, {kPolicies, "NoClose", "NoClose"}, {kRun, "Lichtaus+", "Run"},
    {"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Lichtaus+", "RunOnce"},
    {kUninstall, "DisplayName", "DisplayName"}, {kUninstall, "UninstallString", "UninstallString"},
};
inline const std::pair<HKEY, const char*> kRoots[] = {{HKEY_LOCAL_MACHINE, "HKLM"}, {HKEY_CURRENT_USER, "HKCU"}};

// Those values as "ROOT name=value" lines (texts as text, others as hex
// bytes), and whether the policy key exists.
inline std::string Registry()
{
    std::string lines;
    for (const auto& [root, rootName] : kRoots) {
        HKEY key;
        if (RegOpenKeyExA(root, kPolicies, 0, KEY_READ, &key) == ERROR_SUCCESS && !RegCloseKey(key))
            lines += std::string(rootName) + " policy key\n";
        for (const auto& value : kValues) {
            BYTE data[1024];
            DWORD type, size = sizeof data;
            if (RegGetValueA(root, value.key, value.name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS) continue;
            std::string shown = type == REG_SZ ? reinterpret_cast<char*>(data) : "";
            for (DWORD i = 0; type != REG_SZ && i < size; ++i)
                shown += "0123456789abcdef"[data[i] >> 4], shown += "0123456789abcdef"[data[i] & 15];
            lines += std::string(rootName) + " " + value.shownAs + "=" + shown + "\n";
        }
    }
    return lines;
}

inline void ClearRegistry()
{
    for (const auto& [root, rootName] : kRoots) {
        for (const auto& value : kValues) RegDeleteKeyValueA(root, value.key, value.name);
        RegDeleteKeyA(root, kUninstall);
        RegDeleteKeyA(root, kPolicies);
    }
}

inline void SetValue(HKEY root, const char* key, const char* name, DWORD type, const std::string& data)
{
    RegSetKeyValueA(root, key, name, type, data.data(), static_cast<DWORD>(data.size() + (type == REG_SZ)));
}

} // namespace e2e
