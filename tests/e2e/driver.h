// Drives the real Lichtaus+.exe from outside, as a user and the shell would:
// starts it, finds its windows and message boxes, reads their texts and
// presses their buttons. Runs in the same Wine prefix and desktop.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// A started Lichtaus+ process; ended by force if a test leaves it running.
class Program {
public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts `exePath` with the argument text `arguments` (may be empty).
    bool Start(const std::string& exePath, const std::string& arguments);
    DWORD Id() const { return info_.dwProcessId; }
    // The exit code, or STILL_ACTIVE when it has not ended within `timeoutMs`.
    DWORD WaitForExit(DWORD timeoutMs);
    bool Running() const;

private:
    PROCESS_INFORMATION info_ = {};
};

// A fresh, empty folder in the temporary directory, removed with its files
// when the object goes.
class TempFolder {
public:
    explicit TempFolder(const char* name);
    ~TempFolder();
    const std::string& Path() const { return path_; }
    std::string File(const char* name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Lichtaus+.exe copied into `folder`, so that its settings file is the test's.
std::string CopyProgram(const TempFolder& folder, const char* name = "Lichtaus+.exe");

// The first top-level window of the process with that class (visible ones
// only when `visible`), waiting up to `timeoutMs`; nullptr if none came.
HWND WaitForWindow(DWORD processId, const char* className, bool visible, DWORD timeoutMs);
// Any visible top-level window of the process, without waiting.
HWND FindVisibleWindow(DWORD processId);

std::string WindowText(HWND window);
// A message box's text: the static control with id 0xFFFF.
std::string MessageText(HWND box);
bool HasButton(HWND dialog, int id);
// Presses a dialog's button the way a click would arrive.
void Press(HWND dialog, int id);

// Calls `done` every 20 ms until it is true or `timeoutMs` has passed; its
// last result.
template <typename Condition>
bool WaitUntil(Condition done, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount();; Sleep(20)) {
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
    }
}

// The visible top-level windows of the process with that class (any class
// for nullptr), in Z order.
std::vector<HWND> VisibleWindows(DWORD processId, const char* className);
// The first visible window of the process with that class and exact caption,
// waiting up to `timeoutMs`; nullptr if none came.
HWND WaitForCaption(DWORD processId, const char* className, const char* caption, DWORD timeoutMs);

// Keyboard input for a popup menu, which reads it from its thread's queue:
// a key press, or a typed character (a mnemonic).
void PostKey(HWND window, WPARAM key);
void PostChar(HWND window, char character);

// One icon in the notification area of Wine's taskbar ("Shell_TrayWnd"): its
// tooltip text and its place in the taskbar's client area.
struct TrayIcon {
    std::string tip;
    RECT rect;
};
// The icons the taskbar shows now. Wine's taskbar draws the icons itself and
// keeps one tooltip window per icon; the tooltips are read from the shell's
// process, and only those with a place on the taskbar count.
std::vector<TrayIcon> TrayIcons();
// How many icons with exactly this tooltip the taskbar shows.
int CountTrayIcons(const std::string& tip);

// Raw file and registry helpers.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& contents);
bool FileExists(const std::string& path);

} // namespace e2e
