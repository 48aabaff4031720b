// The end-to-end driver's process, window, file and registry helpers.
#include "driver.h"

#include <commctrl.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace e2e {

Program::Program(const std::string& exe, const std::string& arguments)
{
    std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {sizeof startup};
    CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
}

Program::~Program()
{
    if (WaitForExit(0) == STILL_ACTIVE)
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
}

DWORD Program::WaitForExit(DWORD timeoutMs)
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(info.hProcess, &code);
    return code;
}

Folder::Folder(const std::string& name, const std::string& settings, const char* exeName)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path = temp + name;
    CreateDirectoryA(path.c_str(), nullptr);
    exe = path + "\\" + exeName;
    ini = exe.substr(0, exe.rfind('.')) + ".ini";
    CopyFileA(LICHTAUS_EXE, exe.c_str(), FALSE);
    if (!settings.empty())
        WriteFile(ini, settings);
}

Folder::~Folder()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        DeleteFileA((path + "\\" + found.cFileName).c_str());
    FindClose(search);
    RemoveDirectoryA(path.c_str());
}

namespace {

struct Search {
    DWORD processId;
    const char* className;
    bool visible;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    char className[64] = {};
    GetWindowThreadProcessId(window, &owner);
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && (!search->visible || IsWindowVisible(window)) &&
        (!search->className || lstrcmpA(className, search->className) == 0))
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> Windows(DWORD processId, const char* className, bool visible)
{
    Search search = {processId, className, visible, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

std::vector<HWND> Visible(DWORD processId, const char* className)
{
    return Windows(processId, className, true);
}

HWND WaitFor(DWORD processId, const char* className, const char* caption, bool visible, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND window : Windows(processId, className, visible)) {
            if (!caption || Text(window) == caption)
                return (found = window) != nullptr;
        }
        return false;
    }, timeoutMs);
    return found;
}

bool StaysQuiet(DWORD processId, HWND allowed)
{
    return !WaitUntil([&] {
        for (HWND window : Visible(processId, nullptr))
            if (window != allowed)
                return true;
        return false;
    }, kQuiet);
}

std::string Text(HWND window)
{
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string Box(HWND box)
{
    char text[2048] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::string result = Text(box) + "|" + text + "|";
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO})
        result += GetDlgItem(box, id) ? std::to_string(id) : "";
    return result;
}

void Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Key(HWND window, WPARAM key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

namespace {

BOOL CALLBACK CollectTooltips(HWND window, LPARAM parameter)
{
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, TOOLTIPS_CLASSA) == 0 && GetWindow(window, GW_OWNER) == FindWindowA("Shell_TrayWnd", nullptr))
        reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    return TRUE;
}

} // namespace

// Wine's taskbar keeps one tooltip window per icon. A tooltip copies the
// record and the text into memory of its own process, so both are placed
// there; a tool without a place on the taskbar is a removed icon's.
std::vector<Icon> TrayIcons()
{
    std::vector<Icon> icons;
    DWORD shellId = 0;
    GetWindowThreadProcessId(FindWindowA("Shell_TrayWnd", nullptr), &shellId);
    HANDLE shell = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, shellId);
    if (!shell)
        return icons;
    constexpr SIZE_T kTextOffset = 512, kSize = 4096;
    auto* remote = static_cast<char*>(VirtualAllocEx(shell, nullptr, kSize, MEM_COMMIT, PAGE_READWRITE));
    std::vector<HWND> tooltips;
    EnumWindows(CollectTooltips, reinterpret_cast<LPARAM>(&tooltips));
    for (HWND tooltip : tooltips) {
        TTTOOLINFOA tool = {sizeof tool};
        tool.lpszText = remote + kTextOffset;
        char text[kSize - kTextOffset] = {};
        if (SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0) > 0 &&
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

int CountTrayIcons(const std::string& tip)
{
    int count = 0;
    for (const Icon& icon : TrayIcons())
        count += icon.tip == tip;
    return count;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return file ? contents.str() : "<absent>";
}

void WriteFile(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

struct Value {
    const char* key;
    const char* name;
    const char* shownAs;
};
constexpr Value kValues[] = {
    {kPolicies, "NoLogoff", "NoLogoff"}, {kPolicies, "NoClose", "NoClose"}, {kRun, "Lichtaus+", "Run"},
    {"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Lichtaus+", "RunOnce"},
    {kUninstall, "DisplayName", "DisplayName"}, {kUninstall, "UninstallString", "UninstallString"},
};
const struct {
    HKEY root;
    const char* name;
} kRoots[] = {{HKEY_LOCAL_MACHINE, "HKLM"}, {HKEY_CURRENT_USER, "HKCU"}};

} // namespace

std::string Registry()
{
    std::string lines;
    for (const auto& root : kRoots) {
        HKEY key;
        if (RegOpenKeyExA(root.root, kPolicies, 0, KEY_READ, &key) == ERROR_SUCCESS && !RegCloseKey(key))
            lines += std::string(root.name) + " policy key\n";
        for (const Value& value : kValues) {
            BYTE data[1024];
            DWORD type, size = sizeof data;
            if (RegGetValueA(root.root, value.key, value.name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS)
                continue;
            std::string shown = type == REG_SZ ? reinterpret_cast<char*>(data) : "";
            for (DWORD i = 0; type != REG_SZ && i < size; ++i)
                shown += "0123456789abcdef"[data[i] >> 4], shown += "0123456789abcdef"[data[i] & 15];
            lines += std::string(root.name) + " " + value.shownAs + "=" + shown + "\n";
        }
    }
    return lines;
}

void ClearRegistry()
{
    for (const auto& root : kRoots) {
        for (const Value& value : kValues)
            RegDeleteKeyValueA(root.root, value.key, value.name);
        RegDeleteKeyA(root.root, kUninstall);
        RegDeleteKeyA(root.root, kPolicies);
    }
}

void SetValue(HKEY root, const char* key, const char* name, DWORD type, const std::string& data)
{
    RegSetKeyValueA(root, key, name, type, data.data(), static_cast<DWORD>(data.size() + (type == REG_SZ)));
}

} // namespace e2e
