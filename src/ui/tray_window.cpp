// The tray window procedure. Mouse events never run an action inside the
// shell's callback: they post a WM_COMMAND, and the action runs when the
// message loop delivers it, exactly as if it had been chosen from the menu.
#include "tray_window.h"

#include "../actions/exit_actions.h"
#include "../config/default_actions.h"
#include "../config/settings.h"
#include "../os/os.h"
#include "../program/message_box.h"
#include "../program/program.h"
#include "dialogs.h"
#include "tray_icon.h"

namespace ui {

constinit int busy = 0;
constinit HMENU menu = nullptr;
constinit HMENU popupMenu = nullptr;

void RunWhileBusy(void (*command)())
{
    int found = busy;
    busy = 1;
    command();
    busy = found;
}

namespace {

void CloseProgram()
{
    os::PostMessageA(program::trayWindow, WM_CLOSE, 0, 0);
}

void ShutDownCommand()
{
    if (os::lstrcmpiA(config::settings.ausschalten, config::kYes) == 0)
        actions::PowerOff();
    else
        actions::ShutDown();
}

void RestartCommand()
{
    if (os::lstrcmpiA(config::settings.warmstart, config::kNo) == 0)
        actions::RestartWithoutWarmStart();
    else
        actions::Reboot();
}

struct Command {
    WORD id;
    void (*run)();
    bool setsBusy;
};

constexpr Command kCommands[] = {
    {IDM_CLOSE, CloseProgram, false},
    {IDM_ABOUT, ShowAboutDialog, false},
    {IDM_OPTIONS, ShowOptionsDialog, true},
    {IDM_SHUTDOWN_DIALOG, actions::ShowShutdownDialog, false},
    {IDM_SHUT_DOWN, ShutDownCommand, true},
    {IDM_RESTART, RestartCommand, true},
    {IDM_MSDOS_MODE, actions::StartMsDosMode, true},
    {IDM_LOG_OFF, actions::LogOff, true},
};

void RunCommand(WORD id)
{
    for (const Command& command : kCommands) {
        if (command.id != id)
            continue;
        if (command.setsBusy)
            RunWhileBusy(command.run);
        else
            command.run();
        return;
    }
}

LRESULT OnCreate()
{
    menu = os::LoadMenuA(program::instance, "LAMenu");
    if (menu) {
        popupMenu = os::GetSubMenu(menu, 0);
        if (popupMenu)
            return 0;
        os::DestroyMenu(menu);
        menu = nullptr;
    }
    program::ShowMessage("Fehler beim Erzeugen des Menüs.", MB_ICONERROR);
    return -1;   // CreateWindowExA fails and the program ends
}

void OnClose(HWND window)
{
    DeleteTrayIcon();
    ReleaseTrayIconImage();
    if (menu)
        os::DestroyMenu(menu);
    menu = popupMenu = nullptr;
    os::DestroyWindow(window);
}

void RunDefaultAction(WPARAM iconId)
{
    if (const config::DefaultAction* action = config::FindDefaultAction(config::settings.menuepunkt))
        os::PostMessageA(program::trayWindow, WM_COMMAND, LOWORD(action->menuId + iconId), 0);
}

// While a command runs, the window just above the tray window in the Z order
// is the one the user is busy with (the Options dialog, a question).
void BringForward()
{
    if (HWND above = os::GetWindow(program::trayWindow, GW_HWNDPREV))
        os::SetForegroundWindow(above);
}

void OnTrayCallback(WPARAM wParam, LPARAM lParam)
{
    switch (lParam) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (busy) {
            BringForward();
            os::MessageBeep(0);
        } else if (lParam == WM_LBUTTONDOWN && os::lstrcmpiA(config::settings.ausfuehren, config::kSingleClick) == 0) {
            RunDefaultAction(wParam);
        }
        break;
    case WM_LBUTTONDBLCLK:
        if (busy)
            BringForward();
        else if (os::lstrcmpiA(config::settings.ausfuehren, config::kDoubleClick) == 0)
            RunDefaultAction(wParam);
        break;
    case WM_RBUTTONUP:
        if (busy) {
            BringForward();
        } else {
            POINT cursor = {};
            os::GetCursorPos(&cursor);
            os::PostMessageA(program::trayWindow, kPopupRequestMessage, wParam,
                             ((cursor.y & 0xFFFF) << 16) | (cursor.x & 0xFFFF));
        }
        break;
    case WM_RBUTTONDBLCLK:
        if (busy)
            BringForward();
        break;
    default:
        break;   // moves, the left-button release and the middle button
    }
}

void ShowPopupMenu(LPARAM position)
{
    if (const config::DefaultAction* action = config::FindDefaultAction(config::settings.menuepunkt))
        os::SetMenuDefaultItem(popupMenu, action->menuId, FALSE);
    // Without the foreground the menu would not close when the user clicks
    // elsewhere; the WM_NULL afterwards makes it open properly next time.
    os::SetForegroundWindow(program::trayWindow);
    // The position is read back signed: a screen left of or above the
    // primary one has negative coordinates.
    int x = static_cast<short>(LOWORD(position));
    int y = static_cast<short>(HIWORD(position));
    os::TrackPopupMenu(popupMenu, TPM_RIGHTBUTTON, x, y, 0, program::trayWindow, nullptr);
    os::PostMessageA(program::trayWindow, WM_NULL, 0, 0);
}

// The ids of registered messages are known only at run time, so they cannot
// be case labels. An id that is still 0 (not registered) matches nothing.
bool OnRegisteredMessage(UINT message)
{
    if (message == 0)
        return false;
    if (message == program::addTrayIconMessage || message == program::taskbarCreatedMessage) {
        AddTrayIcon();
        return true;
    }
    if (message == program::closeProgramMessage) {
        CloseProgram();
        return true;
    }
    return false;
}

} // namespace

LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_CLOSE:
        OnClose(window);
        return 0;
    case WM_DESTROY:
        os::PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        RunCommand(LOWORD(wParam));
        return 0;
    case kTrayCallbackMessage:
        OnTrayCallback(wParam, lParam);
        return 0;
    case kPopupRequestMessage:
        ShowPopupMenu(lParam);
        return 0;
    case WM_TIMER:
        if (wParam != kAddIconTimerId)
            break;
        RetryTrayIcon();
        return 0;
    default:
        break;
    }
    if (OnRegisteredMessage(message))
        return 0;
    return os::DefWindowProcA(window, message, wParam, lParam);
}

} // namespace ui
