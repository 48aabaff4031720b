// Answers a message box from outside, for test scripts that run the program
// without a driver of their own: waits for a visible dialog window with the
// given caption (of any process) and presses one of its buttons.
// Usage: answer_box.exe <caption> <button id> [timeout-ms]. Exit code 0 when
// the button was pressed, 1 when no such box came.
#include <cstdlib>

#include "e2e/driver.h"

namespace {

struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (IsWindowVisible(window) && lstrcmpA(className, "#32770") == 0 &&
        e2e::WindowText(window) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    DWORD timeout = argc > 3 ? static_cast<DWORD>(atoi(argv[3])) : 30000;
    Search search = {argv[1], nullptr};
    DWORD start = GetTickCount();
    while (EnumWindows(Match, reinterpret_cast<LPARAM>(&search)), !search.found) {
        if (GetTickCount() - start > timeout)
            return 1;
        Sleep(50);
    }
    e2e::Press(search.found, atoi(argv[2]));
    return 0;
}
