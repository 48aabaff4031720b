// The tray window: its icon, the mouse handling with the busy flag, the
// popup menu, the command table and the registered messages.
#include <gtest/gtest.h>

#include "res/resource_ids.h"
#include "src/ui/tray_icon.h"
#include "src/ui/tray_window.h"
#include "support/program_state.h"
#include "support/registry_sandbox.h"

namespace {

using test::FakeWindows;
using Calls = std::vector<std::string>;

void SetSettings(const char* action, const char* clickMode = "Doppelklick", const char* quickInfo = "Ja")
{
    lstrcpyA(config::settings.menuepunkt, action);
    lstrcpyA(config::settings.ausfuehren, clickMode);
    lstrcpyA(config::settings.quickInfo, quickInfo);
    lstrcpyA(config::settings.ausschalten, "Ja");
    lstrcpyA(config::settings.warmstart, "Ja");
}

LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return ui::TrayWindowProc(test::kTrayWindow, message, wParam, lParam);
}

class Tray : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ResetProgramState();
        SetSettings("Windows beenden...");
        fake.recordStorage = false;
        ui::ReleaseTrayIconImage();   // whatever an earlier test left shown
        fake.calls.clear();
    }
    void TearDown() override { ui::ReleaseTrayIconImage(); }
    test::RegistrySandbox registry;
    FakeWindows fake;
};

// Any icon of ours goes first; a refused icon is reported, its picture
// destroyed and the program closed.
TEST_F(Tray, AddTrayIconReplacesAnyIconAndSetsPictureCallbackAndTooltip)
{
    SetSettings("Benutzer abmelden");
    for (BOOL added : {TRUE, FALSE}) {
        fake.calls.clear();
        fake.notifyResults = {added};
        ui::AddTrayIcon();
        Calls expected = {
            "Shell_NotifyIconA(NIM_DELETE,size=88,tray,id=0,flags=0,callback=0x0,icon=0,tip=)",
            "LoadImageA(1004,1,16,16,0)",
            test::Format("Shell_NotifyIconA(NIM_ADD,size=88,tray,id=0,flags=7,callback=0x400,icon=%d,tip=Benutzer abmelden)",
                         added ? 1 : 2),
        };
        if (!added)
            expected.insert(expected.end(), {"MessageBoxA(NULL,Hinzuf\xfcgen des Symbols in die Task-Leiste fehlgeschlagen."
                                             "\n\nLichtaus+ kann nicht ausgef\xfchrt werden.|Lichtaus+|0x10010)",
                                             "DestroyIcon(2)", "PostMessageA(tray,0x10,0,0)"});
        expected.push_back("Shell_NotifyIconA(NIM_MODIFY,size=88,tray,id=0,flags=4,callback=0x0,icon=0,"
                           "tip=Benutzer abmelden - Lichtaus+)");
        EXPECT_EQ(expected, fake.calls) << added;
    }
}

// Each picture is the default action's, and is released once the shell holds
// the next one; a refused one at once.
TEST_F(Tray, EachPictureIsTheDefaultActionsAndIsReleasedOnceReplaced)
{
    lstrcpyA(config::settings.menuepunkt, "windows HERUNTERFAHREN");
    ui::AddTrayIcon();   // icon 1
    lstrcpyA(config::settings.menuepunkt, "Kaffee kochen");   // no action: the first picture, not none
    ui::UpdateTrayIcon();   // icon 2
    lstrcpyA(config::settings.menuepunkt, "MS-DOS-Modus starten");
    ui::UpdateTrayIcon();   // icon 3
    fake.notifyResults = {FALSE};
    ui::AddTrayIcon();   // icon 4, refused by a restarted taskbar: 3 stays shown
    ui::AddTrayIcon();   // icon 5
    EXPECT_EQ((Calls{"LoadImageA(1001,1,16,16,0)", "LoadImageA(1000,1,16,16,0)", "LoadImageA(1003,1,16,16,0)",
                     "LoadImageA(1003,1,16,16,0)", "LoadImageA(1003,1,16,16,0)"}),
              fake.Calls("LoadImageA"));
    EXPECT_EQ((Calls{"DestroyIcon(1)", "DestroyIcon(2)", "DestroyIcon(4)", "DestroyIcon(3)"}), fake.Calls("DestroyIcon"));
    fake.calls.clear();
    os::DestroyMenu = [](HMENU) WINAPI_LAMBDA -> BOOL { return TRUE; };
    os::DestroyWindow = [](HWND) WINAPI_LAMBDA -> BOOL { return TRUE; };
    Send(WM_CLOSE);
    EXPECT_EQ(Calls{"DestroyIcon(5)"}, fake.Calls("DestroyIcon"));
}

TEST_F(Tray, TooltipIsTheLabelAsHeldWithTheSuffixWhenQuickInfoIsJa)
{
    const struct {
        const char* label;
        const char* quickInfo;
        const char* tip;
    } cases[] = {
        {"Benutzer abmelden", "Nein", "Benutzer abmelden"},
        {"windows NEU starten", "jA", "windows NEU starten - Lichtaus+"},
        // The longest text the settings can hold still fits the 64 characters.
        {"1234567890123456789012345678901234567890123456X", "Ja",
         "1234567890123456789012345678901234567890123456X - Lichtaus+"},
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        SetSettings(c.label, "Doppelklick", c.quickInfo);
        ui::UpdateTrayTip();
        EXPECT_EQ((Calls{test::Format("Shell_NotifyIconA(NIM_MODIFY,size=88,tray,id=0,flags=4,callback=0x0,icon=0,tip=%s)",
                                      c.tip)}),
                  fake.calls);
    }
}

// What a mouse message on the icon does: idle in either click mode, and busy
// (whatever the mode).
TEST_F(Tray, MouseMessagesByBusyFlagAndClickMode)
{
    fake.windowAbove = test::kDialog;
    fake.cursor = {300, 500};
    const char kRun[] = "PostMessageA(tray,0x111,600,0)";
    const char kForward[] = "GetWindow(tray,3)|SetForegroundWindow(dialog)";
    const char kBeep[] = "GetWindow(tray,3)|SetForegroundWindow(dialog)|MessageBeep(0)";
    const char kPopup[] = "GetCursorPos()|PostMessageA(tray,0x401,0,32768300)";
    const struct {
        UINT mouse;
        const char* singleClick;
        const char* doubleClick;
        const char* busy;
    } cases[] = {
        {WM_LBUTTONDOWN, kRun, "", kBeep},    {WM_LBUTTONUP, "", "", ""},
        {WM_LBUTTONDBLCLK, "", kRun, kForward}, {WM_RBUTTONDOWN, "", "", kBeep},
        {WM_RBUTTONUP, kPopup, kPopup, kForward}, {WM_RBUTTONDBLCLK, "", "", kForward},
        {WM_MOUSEMOVE, "", "", ""},           {WM_MBUTTONDOWN, "", "", ""},
    };
    for (const auto& c : cases) {
        const struct {
            const char* mode;
            int busy;
            const char* expected;
        } states[] = {{"einfacher KLICK", 0, c.singleClick}, {"doppelKLICK", 0, c.doubleClick},
                      {"Einfacher Klick", 1, c.busy}};
        for (const auto& s : states) {
            fake.calls.clear();
            SetSettings("Windows herunterfahren", s.mode);
            ui::busy = s.busy;
            EXPECT_EQ(0, Send(ui::kTrayCallbackMessage, 0, c.mouse));
            std::string joined;
            for (const std::string& call : fake.calls)
                joined += (joined.empty() ? "" : "|") + call;
            EXPECT_EQ(s.expected, joined) << "mouse 0x" << std::hex << c.mouse << " busy " << s.busy << " " << s.mode;
        }
    }

    // Busy with no window above: nothing to bring forward.
    fake.calls.clear();
    fake.windowAbove = nullptr;
    Send(ui::kTrayCallbackMessage, 0, WM_LBUTTONDOWN);
    EXPECT_EQ((Calls{"GetWindow(tray,3)", "MessageBeep(0)"}), fake.calls);
    // A "Menüpunkt" that names no action (only a caller can set one): a click runs nothing.
    fake.calls.clear();
    ui::busy = 0;
    SetSettings("Kaffee kochen", "Einfacher Klick");
    Send(ui::kTrayCallbackMessage, 0, WM_LBUTTONDOWN);
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(Tray, PopupMenuOpensAtTheCursorWithTheDefaultItemBold)
{
    SetSettings("MS-DOS-Modus starten");
    // A screen left of and above the primary one: both coordinates negative.
    fake.cursor = {-300, -20};
    Send(ui::kTrayCallbackMessage, 0, WM_RBUTTONUP);
    ASSERT_EQ(2u, fake.calls.size());
    LPARAM position = MAKELPARAM(-300, -20);
    EXPECT_EQ(test::Format("PostMessageA(tray,0x401,0,%ld)", position), fake.calls[1]);

    fake.calls.clear();
    Send(ui::kPopupRequestMessage, 0, position);
    EXPECT_EQ((Calls{"SetMenuDefaultItem(800,0)", "SetForegroundWindow(tray)", "TrackPopupMenu(2,-300,-20,0,tray,NULL)",
                     "PostMessageA(tray,0x0,0,0)"}),
              fake.calls);

    // Without a default action the menu keeps its old default item.
    fake.calls.clear();
    SetSettings("Kaffee kochen");
    Send(ui::kPopupRequestMessage, 0, MAKELPARAM(10, 20));
    EXPECT_EQ((Calls{"SetForegroundWindow(tray)", "TrackPopupMenu(2,10,20,0,tray,NULL)", "PostMessageA(tray,0x0,0,0)"}),
              fake.calls);
}

int busyDuringCall = -1;

TEST_F(Tray, ShutDownAndRestartCommandsFollowTheSettingsAndRunWhileBusy)
{
    const struct {
        WORD command;
        const char* ausschalten;
        const char* warmstart;
        bool nt;
        const char* call;
    } cases[] = {
        {IDM_SHUT_DOWN, "ja", "Ja", false, "ExitWindowsEx(9,0)"},
        {IDM_SHUT_DOWN, "Nein", "Ja", false, "ExitWindowsEx(1,0)"},
        {IDM_RESTART, "Ja", "Ja", true, "ExitWindowsEx(2,0)"},
        {IDM_RESTART, "Ja", "nein", true, "ExitWindowsEx(0,0)"},   // without warm start: log off on NT
        {IDM_LOG_OFF, "Ja", "Ja", false, "ExitWindowsEx(0,0)"},
    };
    os::ExitWindowsEx = [](UINT flags, DWORD reserved) WINAPI_LAMBDA -> BOOL {
        busyDuringCall = ui::busy;
        FakeWindows::current->Record(test::Format("ExitWindowsEx(%u,%lu)", flags, reserved));
        return TRUE;
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        program::ntFamily = c.nt;
        lstrcpyA(config::settings.ausschalten, c.ausschalten);
        lstrcpyA(config::settings.warmstart, c.warmstart);
        busyDuringCall = -1;
        EXPECT_EQ(0, Send(WM_COMMAND, c.command));
        EXPECT_EQ(Calls{c.call}, fake.Calls({"ExitWindowsEx", "InitiateSystemShutdownA", "ShellExecuteA"})) << c.command;
        EXPECT_EQ(1, busyDuringCall) << c.command;
        EXPECT_EQ(0, ui::busy);
    }
}

TEST_F(Tray, OptionsAndMsDosSetTheBusyFlagWhileAboutAndTheShutdownDialogDoNot)
{
    const struct {
        WPARAM command;
        int busy;
    } cases[] = {{IDM_OPTIONS, 1}, {IDM_ABOUT, 0}, {IDM_SHUTDOWN_DIALOG, 0}, {IDM_MSDOS_MODE, 1}};
    os::DialogBoxParamA = [](HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) WINAPI_LAMBDA -> INT_PTR {
        busyDuringCall = ui::busy;
        return 0;
    };
    os::FindWindowA = [](LPCSTR, LPCSTR) WINAPI_LAMBDA -> HWND {
        busyDuringCall = ui::busy;
        return nullptr;
    };
    os::MessageBoxA = [](HWND, LPCSTR, LPCSTR, UINT) WINAPI_LAMBDA -> int {
        busyDuringCall = ui::busy;
        return IDCANCEL;
    };
    lstrcpyA(config::settings.bestaetigung, "Ja");
    for (const auto& c : cases) {
        busyDuringCall = -1;
        Send(WM_COMMAND, c.command);
        EXPECT_EQ(c.busy, busyDuringCall) << c.command;
        EXPECT_EQ(0, ui::busy);
    }
}

TEST_F(Tray, TheBusyFlagIsAPlainFlagNotACounter)
{
    // An action nested in another one (a queued command delivered by the
    // inner modal loop) clears the flag when it ends.
    static bool nested = false;
    nested = false;
    os::DialogBoxParamA = [](HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) WINAPI_LAMBDA -> INT_PTR {
        if (!nested) {
            nested = true;
            Send(WM_COMMAND, IDM_OPTIONS);
            busyDuringCall = ui::busy;
        }
        return 0;
    };
    Send(WM_COMMAND, IDM_OPTIONS);
    EXPECT_EQ(0, busyDuringCall);
    EXPECT_EQ(0, ui::busy);
}

TEST_F(Tray, CommandsAreDispatchedOnTheLowWord)
{
    Send(WM_COMMAND, MAKEWPARAM(IDM_CLOSE, 1), 12345);
    Send(WM_COMMAND, MAKEWPARAM(IDM_ABOUT, 0xFFFF));
    Send(WM_COMMAND, 101);   // not a command: nothing
    EXPECT_EQ((Calls{"PostMessageA(tray,0x10,0,0)", "DialogBoxParamA(LAAbout,tray,0)"}), fake.calls);
}

TEST_F(Tray, RegisteredMessagesAreRecognisedOnlyOnceRegistered)
{
    os::DefWindowProcA = [](HWND, UINT message, WPARAM, LPARAM) WINAPI_LAMBDA -> LRESULT {
        FakeWindows::current->Record(test::Format("DefWindowProcA(0x%x)", message));
        return 77;
    };
    // Not registered (command-line mode, a second instance): WM_NULL is
    // passed on like any other message.
    EXPECT_EQ(77, Send(WM_NULL));
    EXPECT_EQ(Calls{"DefWindowProcA(0x0)"}, fake.calls);

    fake.calls.clear();
    program::addTrayIconMessage = 0xC001;
    program::closeProgramMessage = 0xC002;
    program::taskbarCreatedMessage = 0xC003;
    EXPECT_EQ(0, Send(0xC002, 5, 6));
    EXPECT_EQ(Calls{"PostMessageA(tray,0x10,0,0)"}, fake.calls);
    for (UINT addAgain : {0xC001u, 0xC003u}) {
        fake.calls.clear();
        EXPECT_EQ(0, Send(addAgain, 1, 2));
        const Calls notify = fake.Calls("Shell_NotifyIconA");   // delete, add, then the tooltip
        ASSERT_EQ(3u, notify.size());
        EXPECT_NE(std::string::npos, notify[1].find("NIM_ADD"));
    }
    EXPECT_EQ(77, Send(0xC004));
}

HMENU fakeMenu = reinterpret_cast<HMENU>(0x3E01);
HMENU fakePopup = reinterpret_cast<HMENU>(0x3E02);

BOOL WINAPI RecordDestroyMenu(HMENU menu)
{
    FakeWindows::current->Record(menu == fakeMenu ? "DestroyMenu(menu)" : "DestroyMenu(?)");
    return TRUE;
}

TEST_F(Tray, WindowCreationLoadsTheMenuOrRefusesWithAMessage)
{
    static HMENU loaded, popup;
    os::LoadMenuA = [](HINSTANCE, LPCSTR name) WINAPI_LAMBDA -> HMENU {
        FakeWindows::current->Record(test::Format("LoadMenuA(%s)", name));
        return loaded;
    };
    os::GetSubMenu = [](HMENU, int position) WINAPI_LAMBDA -> HMENU {
        FakeWindows::current->Record(test::Format("GetSubMenu(%d)", position));
        return popup;
    };
    os::DestroyMenu = RecordDestroyMenu;
    const char kError[] = "MessageBoxA(NULL,Fehler beim Erzeugen des Men\xfcs.|Lichtaus+|0x10010)";
    const struct {
        HMENU loaded, popup;
        LRESULT result;
        Calls expected;
    } cases[] = {
        {fakeMenu, fakePopup, 0, {"LoadMenuA(LAMenu)", "GetSubMenu(0)"}},
        {fakeMenu, nullptr, -1, {"LoadMenuA(LAMenu)", "GetSubMenu(0)", "DestroyMenu(menu)", kError}},
        {nullptr, nullptr, -1, {"LoadMenuA(LAMenu)", kError}},
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        loaded = c.loaded;
        popup = c.popup;
        EXPECT_EQ(c.result, Send(WM_CREATE));
        EXPECT_EQ(c.expected, fake.calls);
    }
}

TEST_F(Tray, CloseRemovesTheIconDestroysMenuAndWindowAndDestroyQuits)
{
    ui::menu = fakeMenu;
    ui::popupMenu = fakePopup;
    os::DestroyMenu = RecordDestroyMenu;
    os::DestroyWindow = [](HWND window) WINAPI_LAMBDA -> BOOL {
        FakeWindows::current->Record(window == test::kTrayWindow ? "DestroyWindow(tray)" : "DestroyWindow(?)");
        return TRUE;
    };
    os::PostQuitMessage = [](int code) WINAPI_LAMBDA { FakeWindows::current->Record(test::Format("PostQuitMessage(%d)", code)); };
    EXPECT_EQ(0, Send(WM_CLOSE));
    EXPECT_EQ(0, Send(WM_DESTROY));
    EXPECT_EQ((Calls{"Shell_NotifyIconA(NIM_DELETE,size=88,tray,id=0,flags=0,callback=0x0,icon=0,tip=)",
                     "DestroyMenu(menu)", "DestroyWindow(tray)", "PostQuitMessage(0)"}),
              fake.calls);
    EXPECT_EQ(nullptr, ui::menu);
}

} // namespace
