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
    }
    void TearDown() override { ui::ReleaseTrayIconImage(); }
    test::RegistrySandbox registry;
    FakeWindows fake;
};

TEST_F(Tray, AddTrayIconReplacesAnyIconAndSetsPictureCallbackAndTooltip)
{
    SetSettings("Benutzer abmelden");
    ui::AddTrayIcon();
    EXPECT_EQ((Calls{
                  "Shell_NotifyIconA(NIM_DELETE,size=88,tray,id=0,flags=0,callback=0x0,icon=0,tip=)",
                  "LoadImageA(1004,1,16,16,0)",
                  "Shell_NotifyIconA(NIM_ADD,size=88,tray,id=0,flags=7,callback=0x400,icon=1,tip=Benutzer abmelden)",
                  "Shell_NotifyIconA(NIM_MODIFY,size=88,tray,id=0,flags=4,callback=0x0,icon=0,tip=Benutzer abmelden - "
                  "Lichtaus+)",
              }),
              fake.calls);
}

TEST_F(Tray, ARefusedIconIsReportedDestroyedAndTheProgramCloses)
{
    fake.notifyResults = {FALSE};
    ui::AddTrayIcon();
    EXPECT_EQ((Calls{
                  "Shell_NotifyIconA(NIM_DELETE,size=88,tray,id=0,flags=0,callback=0x0,icon=0,tip=)",
                  "LoadImageA(1000,1,16,16,0)",
                  "Shell_NotifyIconA(NIM_ADD,size=88,tray,id=0,flags=7,callback=0x400,icon=1,tip=Windows beenden...)",
                  "MessageBoxA(NULL,Hinzuf\xfcgen des Symbols in die Task-Leiste fehlgeschlagen.\n\nLichtaus+ kann "
                  "nicht ausgef\xfchrt werden.|Lichtaus+|0x10010)",
                  "DestroyIcon(1)",
                  "PostMessageA(tray,0x10,0,0)",
                  "Shell_NotifyIconA(NIM_MODIFY,size=88,tray,id=0,flags=4,callback=0x0,icon=0,tip=Windows beenden... - "
                  "Lichtaus+)",
              }),
              fake.calls);
}

TEST_F(Tray, EachDefaultActionShowsItsOwnPicture)
{
    const struct {
        const char* label;
        const char* load;
    } cases[] = {
        {"Windows beenden...", "LoadImageA(1000,1,16,16,0)"},   {"windows HERUNTERFAHREN", "LoadImageA(1001,1,16,16,0)"},
        {"Windows neu starten", "LoadImageA(1002,1,16,16,0)"},  {"MS-DOS-Modus starten", "LoadImageA(1003,1,16,16,0)"},
        {"Benutzer abmelden", "LoadImageA(1004,1,16,16,0)"},
        {"Kaffee kochen", "LoadImageA(1000,1,16,16,0)"},        // no action: the first picture, not none
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        lstrcpyA(config::settings.menuepunkt, c.label);
        ui::UpdateTrayIcon();
        EXPECT_EQ(Calls{c.load}, fake.Calls("LoadImageA")) << c.label;
        EXPECT_EQ(1u, fake.Calls("Shell_NotifyIconA").size());
        EXPECT_NE(std::string::npos, fake.Calls("Shell_NotifyIconA")[0].find("NIM_MODIFY,size=88,tray,id=0,flags=2"));
    }
}

TEST_F(Tray, ReplacedPicturesAreReleasedSoNoIconHandlesPileUp)
{
    ui::AddTrayIcon();   // icon 1
    for (int i = 0; i < 3; ++i)
        ui::UpdateTrayIcon();   // icons 2, 3, 4
    ui::AddTrayIcon();          // icon 5, e.g. after the taskbar restarted
    EXPECT_EQ((Calls{"DestroyIcon(1)", "DestroyIcon(2)", "DestroyIcon(3)", "DestroyIcon(4)"}), fake.Calls("DestroyIcon"));
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
        {"Benutzer abmelden", "Ja", "Benutzer abmelden - Lichtaus+"},
        {"Benutzer abmelden", "Nein", "Benutzer abmelden"},
        {"windows NEU starten", "ja", "windows NEU starten - Lichtaus+"},
        {"MS-DOS-Modus starten", "JA", "MS-DOS-Modus starten - Lichtaus+"},
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

// What a mouse message on the icon does, by busy flag and click mode.
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
        bool busy;
        const char* mode;
        const char* expected;
    } cases[] = {
        {WM_LBUTTONDOWN, false, "Einfacher Klick", kRun},
        {WM_LBUTTONDOWN, false, "Doppelklick", ""},
        {WM_LBUTTONDOWN, true, "Einfacher Klick", kBeep},
        {WM_LBUTTONDBLCLK, false, "Doppelklick", kRun},
        {WM_LBUTTONDBLCLK, false, "doppelKLICK", kRun},
        {WM_LBUTTONDBLCLK, false, "Einfacher Klick", ""},
        {WM_LBUTTONDBLCLK, true, "Doppelklick", kForward},
        {WM_RBUTTONDOWN, false, "Doppelklick", ""},
        {WM_RBUTTONDOWN, true, "Doppelklick", kBeep},
        {WM_RBUTTONUP, false, "Einfacher Klick", kPopup},
        {WM_RBUTTONUP, true, "Doppelklick", kForward},
        {WM_RBUTTONDBLCLK, false, "Doppelklick", ""},
        {WM_RBUTTONDBLCLK, true, "Doppelklick", kForward},
        {WM_LBUTTONUP, false, "Einfacher Klick", ""},
        {WM_LBUTTONUP, true, "Einfacher Klick", ""},
        {WM_MOUSEMOVE, true, "Einfacher Klick", ""},
        {WM_MBUTTONDOWN, false, "Einfacher Klick", ""},
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        SetSettings("Windows herunterfahren", c.mode);
        ui::busy = c.busy;
        EXPECT_EQ(0, Send(ui::kTrayCallbackMessage, 0, c.mouse));
        std::string joined;
        for (const std::string& call : fake.calls)
            joined += (joined.empty() ? "" : "|") + call;
        EXPECT_EQ(c.expected, joined) << "mouse 0x" << std::hex << c.mouse << " busy " << c.busy << " " << c.mode;
    }
}

TEST_F(Tray, BusyWithNoWindowAboveBringsNothingForward)
{
    ui::busy = 1;
    Send(ui::kTrayCallbackMessage, 0, WM_LBUTTONDOWN);
    EXPECT_EQ((Calls{"GetWindow(tray,3)", "MessageBeep(0)"}), fake.calls);
}

TEST_F(Tray, SingleClickModeRunsADoubleClickOnce)
{
    SetSettings("Benutzer abmelden", "Einfacher Klick");
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        Send(ui::kTrayCallbackMessage, 0, mouse);
    EXPECT_EQ(Calls{"PostMessageA(tray,0x111,900,0)"}, fake.calls);
}

TEST_F(Tray, AClickWithoutADefaultActionPostsNothing)
{
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
}

TEST_F(Tray, PopupMenuWithoutADefaultActionKeepsTheOldDefaultItem)
{
    SetSettings("Kaffee kochen");
    Send(ui::kPopupRequestMessage, 0, MAKELPARAM(10, 20));
    EXPECT_TRUE(fake.Calls("SetMenuDefaultItem").empty());
    EXPECT_EQ(Calls{"TrackPopupMenu(2,10,20,0,tray,NULL)"}, fake.Calls("TrackPopupMenu"));
}

int busyDuringCall = -1;

TEST_F(Tray, ShutDownAndRestartCommandsFollowTheSettingsAndTheFamily)
{
    const struct {
        WORD command;
        const char* ausschalten;
        const char* warmstart;
        bool nt;
        const char* call;
    } cases[] = {
        {IDM_SHUT_DOWN, "Ja", "Ja", true, "ExitWindowsEx(9,0)"},
        {IDM_SHUT_DOWN, "ja", "Ja", false, "ExitWindowsEx(9,0)"},
        {IDM_SHUT_DOWN, "Nein", "Ja", true, "InitiateSystemShutdownA(NULL,NULL,0,0,0)"},
        {IDM_SHUT_DOWN, "Nein", "Ja", false, "ExitWindowsEx(1,0)"},
        {IDM_RESTART, "Ja", "Ja", true, "ExitWindowsEx(2,0)"},
        {IDM_RESTART, "Ja", "Ja", false, "ExitWindowsEx(2,0)"},
        {IDM_RESTART, "Ja", "nein", true, "ExitWindowsEx(0,0)"},   // log off instead
        {IDM_RESTART, "Ja", "Nein", false, "ShellExecuteA"},        // the restart program
        {IDM_LOG_OFF, "Ja", "Ja", false, "ExitWindowsEx(0,0)"},
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        program::ntFamily = c.nt;
        lstrcpyA(config::settings.ausschalten, c.ausschalten);
        lstrcpyA(config::settings.warmstart, c.warmstart);
        busyDuringCall = -1;
        os::ExitWindowsEx = [](UINT flags, DWORD reserved) WINAPI_LAMBDA -> BOOL {
            busyDuringCall = ui::busy;
            FakeWindows::current->Record(test::Format("ExitWindowsEx(%u,%lu)", flags, reserved));
            return TRUE;
        };
        fake.tempPath = "C:\\windows\\temp\\";
        program::instance = LoadLibraryExA(LICHTAUS_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);   // the restart image
        EXPECT_EQ(0, Send(WM_COMMAND, c.command));
        Calls made = fake.Calls({"ExitWindowsEx", "InitiateSystemShutdownA", "ShellExecuteA"});
        ASSERT_EQ(1u, made.size()) << c.command;
        EXPECT_EQ(0u, made[0].find(c.call)) << made[0];
        if (busyDuringCall != -1) {
            EXPECT_EQ(1, busyDuringCall) << c.command;
        }
        EXPECT_EQ(0, ui::busy);
    }
    DeleteFileA("C:\\windows\\temp\\Lichtaus+Restart.exe");
}

TEST_F(Tray, OptionsAndMsDosSetTheBusyFlagWhileAboutAndTheShutdownDialogDoNot)
{
    const struct {
        WPARAM command;
        int busy;
    } cases[] = {{IDM_OPTIONS, 1}, {IDM_ABOUT, 0}, {IDM_SHUTDOWN_DIALOG, 0}, {IDM_MSDOS_MODE, 1}};
    for (const auto& c : cases) {
        busyDuringCall = -1;
        os::DialogBoxParamA = [](HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) WINAPI_LAMBDA -> INT_PTR {
            busyDuringCall = ui::busy;
            return 0;
        };
        os::FindWindowA = [](LPCSTR, LPCSTR) WINAPI_LAMBDA -> HWND {
            busyDuringCall = ui::busy;
            return nullptr;
        };
        lstrcpyA(config::settings.bestaetigung, "Ja");
        os::MessageBoxA = [](HWND, LPCSTR, LPCSTR, UINT) WINAPI_LAMBDA -> int {
            busyDuringCall = ui::busy;
            return IDCANCEL;
        };
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
    static Calls defaults;
    defaults.clear();
    os::DefWindowProcA = [](HWND, UINT message, WPARAM, LPARAM) WINAPI_LAMBDA -> LRESULT {
        defaults.push_back(test::Format("DefWindowProcA(0x%x)", message));
        return 77;
    };
    // Not registered (command-line mode, a second instance): WM_NULL is
    // passed on like any other message.
    EXPECT_EQ(77, Send(WM_NULL));
    EXPECT_EQ(Calls{"DefWindowProcA(0x0)"}, defaults);
    EXPECT_TRUE(fake.calls.empty());

    program::addTrayIconMessage = 0xC001;
    program::closeProgramMessage = 0xC002;
    program::taskbarCreatedMessage = 0xC003;
    EXPECT_EQ(0, Send(0xC002, 5, 6));
    EXPECT_EQ(Calls{"PostMessageA(tray,0x10,0,0)"}, fake.calls);
    for (UINT addAgain : {0xC001u, 0xC003u}) {
        fake.calls.clear();
        EXPECT_EQ(0, Send(addAgain, 1, 2));
        EXPECT_EQ(2u, fake.Calls("Shell_NotifyIconA").size() - 1) << "delete, add, then the tooltip";
        EXPECT_NE(std::string::npos, fake.Calls("Shell_NotifyIconA")[0].find("NIM_DELETE"));
        EXPECT_NE(std::string::npos, fake.Calls("Shell_NotifyIconA")[1].find("NIM_ADD"));
    }
    EXPECT_EQ(77, Send(0xC004));
}

HMENU fakeMenu = reinterpret_cast<HMENU>(0x3E01);
HMENU fakePopup = reinterpret_cast<HMENU>(0x3E02);

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
    os::DestroyMenu = [](HMENU menu) WINAPI_LAMBDA -> BOOL {
        FakeWindows::current->Record(menu == fakeMenu ? "DestroyMenu(menu)" : "DestroyMenu(?)");
        return TRUE;
    };
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
    os::DestroyMenu = [](HMENU menu) WINAPI_LAMBDA -> BOOL {
        FakeWindows::current->Record(menu == fakeMenu ? "DestroyMenu(menu)" : "DestroyMenu(?)");
        return TRUE;
    };
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
