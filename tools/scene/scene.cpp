// Waits for a running Lichtaus+ or drives it into one of the scenes the
// README pictures show, and returns once it is on screen, so that a
// screenshot can be taken (run.sh and scripts/screenshots.sh):
//   up         its first window or message box, or in tray mode its icon
//   tray-menu  the icon's popup menu, opened by a right click on the icon
//   options    the Options dialog, opened by the tray command
//   about      the About dialog, opened by the tray command
//   confirm    the question of a "/s?" start (the program is started so)
// Usage: scene.exe <scene> [timeout-ms]. Exit code 0 when the scene is up.
// It never answers a question and never chooses a menu item.
#include <cstdlib>
#include <cstring>

#include <windows.h>

#include "res/resource_ids.h"

namespace {

DWORD timeoutMs = 20000;
DWORD startTick = 0;

bool TimeLeft()
{
    return GetTickCount() - startTick <= timeoutMs;
}

DWORD Remaining()
{
    DWORD spent = GetTickCount() - startTick;
    return spent < timeoutMs ? timeoutMs - spent : 0;
}

struct Search {
    DWORD processId;
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    char text[256] = {};
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    GetClassNameA(window, text, sizeof text);
    if (search->className && lstrcmpA(text, search->className) != 0)
        return TRUE;
    GetWindowTextA(window, text, sizeof text);
    if (search->caption && lstrcmpA(text, search->caption) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

// A visible window of the process with that class and caption (any class or
// caption for nullptr), waiting for it.
HWND WaitForVisible(DWORD processId, const char* className, const char* caption)
{
    do {
        Search search = {processId, className, caption, nullptr};
        EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(50);
    } while (TimeLeft());
    return nullptr;
}

// Returns once the program's thread has handled everything sent before, so
// that its start-up (the tray icon included) is behind it.
bool WaitUntilIdle(HWND window)
{
    DWORD_PTR result;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, Remaining(), &result) != 0;
}

// The right mouse button released on the icon, as the shell reports it; the
// menu opens at the cursor. Wine's taskbar draws its notification icons from
// its right end, each 20 pixels wide, and this program's is the only one: the
// cursor goes just above it, where the menu belongs and where the icon's
// tooltip, which would cover the menu, does not come up.
void RightClickTheIcon(HWND tray)
{
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    RECT bar = {};
    if (taskbar && GetWindowRect(taskbar, &bar))
        SetCursorPos(bar.right - 10, bar.top - 1);
    PostMessageA(tray, WM_USER, 0, WM_RBUTTONUP);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const char* scene = argv[1];
    if (argc > 2)
        timeoutMs = static_cast<DWORD>(atoi(argv[2]));
    startTick = GetTickCount();

    HWND tray = nullptr;
    while (!(tray = FindWindowA("Lichtaus+WndClass", nullptr))) {
        if (!TimeLeft())
            return 1;
        Sleep(50);
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(tray, &processId);

    HWND shown = nullptr;
    if (strcmp(scene, "up") == 0) {
        // A message box or dialog comes soon after the window, if one comes.
        timeoutMs = GetTickCount() - startTick + 3000;
        WaitForVisible(processId, nullptr, nullptr);
        Sleep(500);   // let it finish painting
        return 0;
    } else if (strcmp(scene, "confirm") == 0) {
        shown = WaitForVisible(processId, "#32770", "Lichtaus+");
    } else {
        if (!WaitUntilIdle(tray))
            return 1;
        if (strcmp(scene, "tray-menu") == 0) {
            RightClickTheIcon(tray);
            shown = WaitForVisible(processId, "#32768", nullptr);
        } else if (strcmp(scene, "options") == 0) {
            PostMessageA(tray, WM_COMMAND, IDM_OPTIONS, 0);
            shown = WaitForVisible(processId, "#32770", "Lichtaus+ Optionen");
        } else if (strcmp(scene, "about") == 0) {
            PostMessageA(tray, WM_COMMAND, IDM_ABOUT, 0);
            shown = WaitForVisible(processId, "#32770", "Info \xfc"
                                                        "ber Lichtaus+");
        } else {
            return 2;
        }
    }
    if (!shown)
        return 1;
    // The window is the foreground window, but on a screen without a window
    // manager Wine draws every caption as inactive (grey on grey); drawing it
    // active shows the scene as a user would see it, and activates nothing.
    if (strcmp(scene, "tray-menu") != 0)
        SendMessageTimeoutA(shown, WM_NCACTIVATE, TRUE, 0, SMTO_NORMAL, Remaining(), nullptr);
    // Painting comes after the window is visible; the taskbar paints the
    // icon in a process of its own.
    UpdateWindow(shown);
    Sleep(700);
    return 0;
}
