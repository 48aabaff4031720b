// The yardstick for the footprint benchmark: the least a tray program does.
// It registers a window class, creates a hidden window, adds one icon to the
// notification area and waits for messages until it is closed. Built like
// Lichtaus+ (no C runtime, same flags), so the comparison is of the programs.
// Built with -DYARDSTICK it also does the start-up work every program must do
// that starts as Lichtaus+ does: it gets the long form of its own path, which
// names the settings file, from GetLongPathNameA (Windows 98 and 2000 on).
#include <windows.h>
#include <shellapi.h>
#ifdef YARDSTICK
#define WINDOW_CLASS "YardstickWndClass"
#define TIP "Yardstick"
#else
#define WINDOW_CLASS "BareTrayWndClass"
#define TIP "Bare"
#endif

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        NOTIFYICONDATAA record = {};
        record.cbSize = NOTIFYICONDATAA_V1_SIZE;
        record.hWnd = window;
        Shell_NotifyIconA(NIM_DELETE, &record);
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

extern "C" void WINAPI BareEntry()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = WINDOW_CLASS;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, WINDOW_CLASS, TIP, WS_POPUP, -100, -100, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
#ifdef YARDSTICK
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    GetLongPathNameA(path, path, MAX_PATH);
#endif

    NOTIFYICONDATAA record = {};
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = window;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = WM_USER;
    record.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(record.szTip, TIP, sizeof record.szTip);
    Shell_NotifyIconA(NIM_ADD, &record);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    ExitProcess(0);
}
