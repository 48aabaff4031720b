// Start-up in its fixed order. The hidden tray window comes first in every
// mode: the shell namespace takes it as owner, the dialogs are owned by it,
// and logging off closes it.
#include "startup.h"

#include "../actions/prompt.h"
#include "../config/settings.h"
#include "../os/os.h"
#include "../os/system_library.h"
#include "../program/message_box.h"
#include "../program/program.h"
#include "../ui/dialogs.h"
#include "../ui/tray_icon.h"
#include "../ui/tray_window.h"
#include "command_line.h"
#include "paths.h"

namespace app {
namespace {

constexpr char kWindowClass[] = "Lichtaus+WndClass";

constexpr char kFirstStartText[] =
    "Lichtaus+ Installation\n\n"
    "Lichtaus+ hat keine Konfigurationsdatei gefunden. Entweder\n"
    "benutzen Sie Lichtaus+ zum ersten Mal, oder die Konfiguration\n"
    "wurde gelöscht. In dem folgenden Dialogfeld können Sie Ihre\n"
    "persönliche Lichtaus+ Konfiguration erstellen.\n\n"
    "Wenn Sie sich per E-Mail als Nutzer anmelden, werden Sie\n"
    "über Neuerungen informiert. Viel Spaß mit Lichtaus+.";

bool CreateTrayWindow(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ui::TrayWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = os::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!os::RegisterClassA(&windowClass))
        return false;
    // Never shown: it exists to own the dialogs and receive the icon's messages.
    program::trayWindow = os::CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "Lichtaus+", WS_POPUP, -100,
                                              -100, 0, 0, nullptr, nullptr, instance, nullptr);
    return program::trayWindow != nullptr;
}

void DeterminePlatformFamily()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    os::GetVersionExA(&version);
    program::ntFamily = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The named mapping "Lichtaus+" marks the running tray program. Its handle is
// never closed: the process end removes the marker. One started as
// administrator (Vista on) made it with an owner that a start without
// elevation may not open: access denied means it runs too.
bool AnotherInstanceRuns()
{
    HANDLE marker = os::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 32, "Lichtaus+");
    DWORD error = os::GetLastError();
    return marker ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}

int StartTrayProgram()
{
    if (AnotherInstanceRuns()) {
        ui::ShowAboutDialog();
        return 0;
    }
    program::addTrayIconMessage = os::RegisterWindowMessageA("Lichtaus+AddTrayIcon");
    program::closeProgramMessage = os::RegisterWindowMessageA("Lichtaus+CloseLichtaus");
    // Explorer broadcasts this when its taskbar (re)starts; the icon must
    // then be added again. Vista on, a program started as administrator gets
    // no message from processes with lower rights, the shell and whoever
    // sends the program's own two among them, unless it lets them in;
    // without that the icon would be gone for good after Explorer restarts.
    program::taskbarCreatedMessage = os::RegisterWindowMessageA("TaskbarCreated");
    if (auto allow = os::Find<BOOL(WINAPI*)(UINT, DWORD)>("user32.dll", "ChangeWindowMessageFilter")) {
        const UINT messages[] = {program::addTrayIconMessage, program::closeProgramMessage,
                                 program::taskbarCreatedMessage};
        for (UINT message : messages)
            allow(message, MSGFLT_ADD);
    }

    config::LoadSettings();
    ui::AddTrayIcon();
    if (!program::PathsKnown()) {
        actions::ShowFolderUnusable();
    } else if (!config::SettingsFileExists()) {
        program::ShowMessage(kFirstStartText, MB_ICONINFORMATION);
        // Busy like the menu's Options dialog, so the icon cannot open a
        // second one over it.
        ui::RunWhileBusy(ui::ShowOptionsDialog);
    }
    return 1;
}

} // namespace

int StartUp(HINSTANCE instance, const char* arguments)
{
    os::RestrictDllSearch();
    // Vista on: without this, Windows draws the program into a 96-DPI bitmap
    // and stretches it at 125 % scaling and more, and every text is blurred.
    // A manifest would say the same, but XP refuses to start a program whose
    // manifest holds settings it does not know. Before the first window.
    if (auto setProcessDpiAware = os::Find<BOOL(WINAPI*)()>("user32.dll", "SetProcessDPIAware"))
        setProcessDpiAware();
    // No InitCommonControls, though many programs start with it: the dialogs
    // hold only buttons and statics, which user32 draws, and without a
    // manifest it changes no look. It would only load the common controls
    // library at every start.
    program::instance = instance;
    if (!CreateTrayWindow(instance))
        return 0;
    // The family first: the paths are worked out differently on the NT family.
    DeterminePlatformFamily();
    DeriveProgramPaths();

    if (*arguments == '\0')
        return StartTrayProgram();
    RunCommandLine(arguments);
    return 0;
}

void RunMessageLoop()
{
    // Peek rather than GetMessage, and sleep in WaitMessage when the queue
    // is empty: the loop costs nothing while the program idles.
    MSG message;
    for (;;) {
        if (os::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return;
            os::TranslateMessage(&message);
            os::DispatchMessageA(&message);
        } else {
            os::WaitMessage();
        }
    }
}

} // namespace app
