// The yardstick for the footprint benchmark: the least a tray program does.
// It registers a window class, creates a hidden window, adds one icon to the
// notification area and waits for messages until it is closed. Built like
// Lichtaus+ (no C runtime, same flags), so the comparison is of the programs.
// Built with -DYARDSTICK it also does the start-up work every program must do
// that starts as Lichtaus+ does: it initialises the common controls and gets
// the long form of its own path from the shell namespace.
#include <windows.h>
#include <shellapi.h>
#ifdef YARDSTICK
#include <commctrl.h>
#include <shlobj.h>
#define WINDOW_CLASS "YardstickWndClass"
#define TIP "Yardstick"
#else
#define WINDOW_CLASS "BareTrayWndClass"
#define TIP "Bare"
#endif

namespace {

#ifdef YARDSTICK
void ConvertOwnPathToLongName(HWND window)
{
    char path[MAX_PATH];
    WCHAR wide[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
    IMalloc* allocator = nullptr;
    IShellFolder* desktop = nullptr;
    LPITEMIDLIST items = nullptr;
    ULONG eaten = 0, attributes = 0;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && SUCCEEDED(SHGetDesktopFolder(&desktop)) &&
        SUCCEEDED(desktop->ParseDisplayName(window, nullptr, wide, &eaten, &items, &attributes))) {
        SHGetPathFromIDListA(items, path);
        allocator->Free(items);
    }
    if (desktop)
        desktop->Release();
    if (allocator)
        allocator->Release();
}
#endif

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
#ifdef YARDSTICK
    InitCommonControls();
#endif
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = WINDOW_CLASS;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, WINDOW_CLASS, TIP, WS_POPUP, -100, -100, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
#ifdef YARDSTICK
    ConvertOwnPathToLongName(window);
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
