// Waits until Lichtaus+ shows its first window or message box, or, in tray
// mode, until its icon has had time to appear; then a screenshot can be taken.
// Usage: wait_for_window.exe [timeout-ms]. Exit code 0 when the program is up.
#include <cstdlib>

#include "e2e/driver.h"

int main(int argc, char** argv)
{
    DWORD timeout = argc > 1 ? static_cast<DWORD>(atoi(argv[1])) : 20000;
    DWORD start = GetTickCount();
    HWND tray = nullptr;
    while (!(tray = FindWindowA("Lichtaus+WndClass", nullptr))) {
        if (GetTickCount() - start > timeout)
            return 1;
        Sleep(50);
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(tray, &processId);
    // A message box or dialog comes soon after the window, if one comes.
    if (!e2e::WaitForWindow(processId, nullptr, true, 3000))
        return 0;
    Sleep(500);   // let it finish painting
    return 0;
}
