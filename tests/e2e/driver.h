// Drives the real Lichtaus+.exe from outside, as a user and the shell would:
// starts it, finds its windows and message boxes, reads and presses them, and
// reads what it leaves behind (files, registry values, the tray icon).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

constexpr DWORD kWait = 15000;
// How long a program that should show nothing is watched: a window that is
// coming comes well inside it.
constexpr DWORD kQuiet = 800;

// A started program; ended by force if a test leaves it running.
struct Program {
    PROCESS_INFORMATION info = {};
    Program(const std::string& exe, const std::string& arguments);
    ~Program();
    DWORD Id() const { return info.dwProcessId; }
    // The exit code, or STILL_ACTIVE when it has not ended in time.
    DWORD WaitForExit(DWORD timeoutMs = kWait);
};

// A fresh folder in the temporary directory holding a copy of the program,
// so that its settings file is the test's; removed with its files.
struct Folder {
    std::string path, exe, ini;
    // `settings`: the settings file to put beside it, if any.
    Folder(const std::string& name, const std::string& settings = "", const char* exeName = "Lichtaus+.exe");
    ~Folder();
};

template <typename Condition> bool WaitUntil(Condition done, DWORD timeoutMs = kWait)
{
    for (DWORD start = GetTickCount();; Sleep(20)) {
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
    }
}

// The process's visible top-level windows of that class (any for nullptr).
std::vector<HWND> Visible(DWORD processId, const char* className);
// Its first top-level window (hidden ones too) of that class and caption (any
// caption for nullptr), waiting for it; nullptr when none came.
HWND WaitFor(DWORD processId, const char* className, const char* caption = nullptr, bool visible = true,
             DWORD timeoutMs = kWait);
// True when for a while the process shows no visible window but `allowed`.
bool StaysQuiet(DWORD processId, HWND allowed = nullptr);

std::string Text(HWND window);
// A message box: "caption|text|buttons", the buttons as the ids it has.
std::string Box(HWND box);
void Press(HWND dialog, int id);
void Key(HWND window, WPARAM key);

// The icons in Wine's taskbar: tooltip and place in the taskbar.
struct Icon {
    std::string tip;
    RECT rect;
};
std::vector<Icon> TrayIcons();
int CountTrayIcons(const std::string& tip);

std::string ReadFile(const std::string& path);   // "<absent>" when missing
void WriteFile(const std::string& path, const std::string& contents);
bool Exists(const std::string& path);

// Every registry value the program reads or writes, as "ROOT\\name=value" lines
// (text values as text, others as hex bytes); the test's starting state.
std::string Registry();
void ClearRegistry();
void SetValue(HKEY root, const char* key, const char* name, DWORD type, const std::string& data);

inline constexpr char kPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lichtaus+";

} // namespace e2e
