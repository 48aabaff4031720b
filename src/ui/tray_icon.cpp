// Notification-area icon operations. The record is passed in its first,
// 88-byte layout, which every shell since the first one understands.
#include "tray_icon.h"

#include <stddef.h>

#include "../config/default_actions.h"
#include "../config/settings.h"
#include "../os/os.h"
#include "../program/message_box.h"
#include "../program/program.h"
#include "tray_window.h"

namespace ui {
namespace {

constexpr UINT kTrayIconId = 0;

// The header's szTip has 128 characters, but the 88-byte record that the
// program hands to the shell ends after the first 64 (63 and the NUL).
constexpr int kTipCapacity = 64;
static_assert(offsetof(NOTIFYICONDATAA, szTip) + kTipCapacity == NOTIFYICONDATAA_V1_SIZE,
              "the tooltip ends the 88-byte record");

// Tries left while the timer adds the icon again; 0 when it does not run.
constinit int triesLeft = 0;

// Each change of picture loads a new image; the one shown before is destroyed
// once the shell holds the new one, so no icon handles pile up.
constinit HICON shownIcon = nullptr;

NOTIFYICONDATAA Record(UINT flags)
{
    NOTIFYICONDATAA record = {};
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = program::trayWindow;
    record.uID = kTrayIconId;
    record.uFlags = flags;
    return record;
}

// The default action's picture at the small-icon size the system reports:
// 16x16 at 100 % display scaling, 20 to 32 pixels above, each drawn for its
// size. A "Menüpunkt" that names no action (it cannot after loading, but a
// caller may set anything) shows the first action's picture rather than none.
HICON LoadDefaultActionIcon()
{
    const config::DefaultAction* action = config::FindDefaultAction(config::settings.menuepunkt);
    int iconId = action ? action->iconId : config::kDefaultActions[0].iconId;
    return static_cast<HICON>(os::LoadImageA(program::instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                             os::GetSystemMetrics(SM_CXSMICON), os::GetSystemMetrics(SM_CYSMICON),
                                             LR_DEFAULTCOLOR));
}

void Show(HICON icon)
{
    if (shownIcon)
        os::DestroyIcon(shownIcon);
    shownIcon = icon;
}

// One attempt: false, with the loaded picture destroyed again, when the
// shell refuses the icon.
bool PutIconUp()
{
    DeleteTrayIcon();
    NOTIFYICONDATAA record = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    record.uCallbackMessage = kTrayCallbackMessage;
    record.hIcon = LoadDefaultActionIcon();
    os::lstrcpynA(record.szTip, config::settings.menuepunkt, kTipCapacity);
    if (!os::Shell_NotifyIconA(NIM_ADD, &record)) {
        os::DestroyIcon(record.hIcon);
        return false;
    }
    Show(record.hIcon);
    UpdateTrayTip();
    return true;
}

void StopRetrying()
{
    if (triesLeft == 0)
        return;
    os::KillTimer(program::trayWindow, kAddIconTimerId);
    triesLeft = 0;
}

// Without its icon the program cannot be used: it says so and closes.
void GiveUp()
{
    program::ShowMessage("Hinzufügen des Symbols in die Task-Leiste fehlgeschlagen.\n\n"
                         "Lichtaus+ kann nicht ausgeführt werden.",
                         MB_ICONERROR);
    os::PostMessageA(program::trayWindow, WM_CLOSE, 0, 0);
}

} // namespace

// The shell refuses the icon while its notification area does not exist yet
// (an autostart at logon can come first) or is busy: the timer tries again
// until the shell takes it or the time is up, and "TaskbarCreated" tries at
// once when the area appears.
void AddTrayIcon()
{
    if (PutIconUp()) {
        StopRetrying();
        return;
    }
    if (triesLeft > 0)
        return;   // the timer is trying already
    if (!os::SetTimer(program::trayWindow, kAddIconTimerId, kAddIconRetryPeriod, nullptr)) {
        GiveUp();
        return;
    }
    triesLeft = kAddIconTries;
}

void RetryTrayIcon()
{
    if (triesLeft == 0)
        return;   // a tick that was queued before the timer was killed
    bool added = PutIconUp();
    if (!added && triesLeft > 1) {
        --triesLeft;
        return;
    }
    StopRetrying();
    if (!added)
        GiveUp();
}

void UpdateTrayIcon()
{
    NOTIFYICONDATAA record = Record(NIF_ICON);
    record.hIcon = LoadDefaultActionIcon();
    os::Shell_NotifyIconA(NIM_MODIFY, &record);
    Show(record.hIcon);
}

void UpdateTrayTip()
{
    NOTIFYICONDATAA record = Record(NIF_TIP);
    os::lstrcpynA(record.szTip, config::settings.menuepunkt, kTipCapacity);
    static_assert(sizeof config::settings.menuepunkt - 1 + sizeof " - Lichtaus+" <= kTipCapacity,
                  "the longest label with its suffix fits the tooltip");
    if (os::lstrcmpiA(config::settings.quickInfo, config::kYes) == 0)
        os::lstrcatA(record.szTip, " - Lichtaus+");
    os::Shell_NotifyIconA(NIM_MODIFY, &record);
}

void DeleteTrayIcon()
{
    NOTIFYICONDATAA record = Record(0);
    os::Shell_NotifyIconA(NIM_DELETE, &record);
}

void ReleaseTrayIconImage()
{
    Show(nullptr);
}

} // namespace ui
