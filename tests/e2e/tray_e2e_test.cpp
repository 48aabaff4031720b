// The real Lichtaus+.exe in tray mode, driven from outside as the shell and a
// user would: the first start, the icon in Wine's taskbar, the tray callback,
// the popup menu, the registered messages, the second instance and the busy
// flag. Every exit action that a click could reach asks first
// ("Bestätigung=Ja") and is answered Cancel: no test may reach a real shutdown.
#include <gtest/gtest.h>

#include "e2e/driver.h"

namespace {

constexpr DWORD kWait = 15000;
// How long a program that should show nothing is watched: its messages are
// handled within milliseconds, so a window that is coming comes well inside it.
constexpr DWORD kQuiet = 1000;

constexpr WPARAM kOptionsCommand = 130;
constexpr char kSection[] = "[Lichtaus+ Optionen]\r\n";
constexpr char kAsksFirst[] = "Best\xe4tigung=Ja\r\n";
constexpr char kDefaultTip[] = "Windows beenden... - Lichtaus+";
constexpr char kOptionsCaption[] = "Lichtaus+ Optionen";
constexpr char kAboutCaption[] = "Info \xfc" "ber Lichtaus+";

const char kFirstStartText[] =
    "Lichtaus+ Installation\n\nLichtaus+ hat keine Konfigurationsdatei gefunden. Entweder\n"
    "benutzen Sie Lichtaus+ zum ersten Mal, oder die Konfiguration\nwurde gel\xf6scht. In dem folgenden "
    "Dialogfeld k\xf6nnen Sie Ihre\npers\xf6nliche Lichtaus+ Konfiguration erstellen.\n\nWenn Sie sich per "
    "E-Mail als Nutzer anmelden, werden Sie\n\xfc" "ber Neuerungen informiert. Viel Spa\xdf mit Lichtaus+.";

class TrayE2E : public ::testing::Test {
protected:
    e2e::TempFolder folder{"tray"};
    std::string exe = e2e::CopyProgram(folder);
    std::string settingsFile = folder.File("Lichtaus+.ini");
    e2e::Program program;
    HWND tray = nullptr;

    void WriteSettings(const std::string& lines) { e2e::WriteFile(settingsFile, kSection + lines); }

    // Starts the tray program and waits for its hidden window.
    bool Start()
    {
        if (!program.Start(exe, ""))
            return false;
        tray = e2e::WaitForWindow(program.Id(), "Lichtaus+WndClass", false, kWait);
        return tray != nullptr;
    }
    bool WaitForIcon(const std::string& tip)
    {
        return e2e::WaitUntil([&] { return e2e::CountTrayIcons(tip) == 1; }, kWait);
    }
    // The tray callback as the shell sends it for a mouse event on the icon.
    void Click(LPARAM mouseMessage) { PostMessageA(tray, WM_USER, 0, mouseMessage); }
    HWND WaitForDialog(const char* caption) { return e2e::WaitForCaption(program.Id(), "#32770", caption, kWait); }
    bool WaitForMenus(size_t count)
    {
        return e2e::WaitUntil([&] { return e2e::VisibleWindows(program.Id(), "#32768").size() == count; }, kWait);
    }
    static bool WaitUntilGone(HWND window)
    {
        return e2e::WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, kWait);
    }
    // True when, for a while, the program shows no visible window but `allowed`.
    bool StaysQuiet(HWND allowed = nullptr)
    {
        return !e2e::WaitUntil(
            [&] {
                for (HWND window : e2e::VisibleWindows(program.Id(), nullptr)) {
                    if (window != allowed)
                        return true;
                }
                return false;
            },
            kQuiet);
    }
    // Answers the exit action's question with Cancel.
    void ExpectQuestionAndCancel(const char* label)
    {
        HWND question = WaitForDialog("Lichtaus+");
        ASSERT_NE(nullptr, question) << label;
        EXPECT_EQ(label, e2e::MessageText(question));
        EXPECT_TRUE(e2e::HasButton(question, IDOK) && e2e::HasButton(question, IDCANCEL));
        e2e::Press(question, IDCANCEL);
        EXPECT_TRUE(WaitUntilGone(question));
    }

    // Every test ends its program, by the message other programs use for it.
    void TearDown() override
    {
        if (!tray || !program.Running())
            return;
        // What a failed check left open is cancelled first: a question that
        // the program's end closes returns something other than Cancel, and
        // the action would run.
        for (HWND menu : e2e::VisibleWindows(program.Id(), "#32768"))
            e2e::PostKey(menu, VK_ESCAPE);
        for (HWND box : e2e::VisibleWindows(program.Id(), "#32770")) {
            e2e::Press(box, IDCANCEL);
            WaitUntilGone(box);
        }
        PostMessageA(tray, RegisterWindowMessageA("Lichtaus+CloseLichtaus"), 0, 0);
        EXPECT_EQ(0u, program.WaitForExit(kWait));
    }
};

TEST_F(TrayE2E, AFirstStartAddsTheIconThenGreetsThenOpensTheOptionsWhoseCancelWritesNothing)
{
    ASSERT_TRUE(Start());
    HWND greeting = WaitForDialog("Lichtaus+");
    ASSERT_NE(nullptr, greeting);
    EXPECT_EQ(1, e2e::CountTrayIcons(kDefaultTip)) << "the icon comes before the greeting";
    EXPECT_EQ(kFirstStartText, e2e::MessageText(greeting));
    EXPECT_TRUE(e2e::HasButton(greeting, IDOK));
    EXPECT_FALSE(e2e::HasButton(greeting, IDCANCEL));
    EXPECT_EQ(1u, e2e::VisibleWindows(program.Id(), nullptr).size()) << "no Options dialog before OK";

    e2e::Press(greeting, IDOK);
    HWND options = WaitForDialog(kOptionsCaption);
    ASSERT_NE(nullptr, options);
    e2e::Press(options, IDCANCEL);
    EXPECT_TRUE(WaitUntilGone(options));
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(1, e2e::CountTrayIcons(kDefaultTip));
    EXPECT_FALSE(e2e::FileExists(settingsFile));
}

// A settings file, even one with nothing but "MS-DOS-Modus" in it, means no
// first start; the icon's tooltip shows the default action as loaded.
struct SettingsCase {
    const char* lines;
    const char* tip;
};

void PrintTo(const SettingsCase& c, std::ostream* out)
{
    *out << c.tip;
}

class TraySettingsE2E : public TrayE2E, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(TraySettingsE2E, StartsQuietlyWithTheDefaultActionAsTooltip)
{
    WriteSettings(GetParam().lines);
    std::string before = e2e::ReadFile(settingsFile);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(WaitForIcon(GetParam().tip)) << GetParam().tip;
    EXPECT_TRUE(StaysQuiet());
    EXPECT_EQ(before, e2e::ReadFile(settingsFile));
}

INSTANTIATE_TEST_SUITE_P(
    Files, TraySettingsE2E,
    ::testing::Values(SettingsCase{"MS-DOS-Modus=x.pif\r\n", kDefaultTip},
                      SettingsCase{"Men\xfcpunkt=windows NEU starten\r\nAusschalten=Nein\r\nWarmstart=Ja\r\n"
                                   "Ausf\xfchren=Doppelklick\r\nBest\xe4tigung=Nein\r\nQuickInfo=Ja\r\n",
                                   "windows NEU starten - Lichtaus+"},
                      SettingsCase{"Men\xfcpunkt=Benutzer abmelden\r\nQuickInfo=nein\r\n", "Benutzer abmelden"}));

// The popup menu is chosen from by keyboard, as Wine's menus cannot be read
// from another process: Up selects the last item, the sub-menu "Lichtaus+",
// Right opens it, and a mnemonic chooses within it.
struct SubMenuCase {
    char mnemonic;
    const char* dialog;   // nullptr: "&Beenden", which ends the program
    int closeWith;
};

void PrintTo(const SubMenuCase& c, std::ostream* out)
{
    *out << "mnemonic " << c.mnemonic;
}

class TrayMenuE2E : public TrayE2E, public ::testing::WithParamInterface<SubMenuCase> {};

TEST_P(TrayMenuE2E, TheRightButtonReleaseOpensThePopupMenuAndItsSubMenuItemsWork)
{
    WriteSettings(kAsksFirst);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitForIcon(kDefaultTip));
    Click(WM_RBUTTONUP);
    ASSERT_TRUE(WaitForMenus(1));
    HWND menu = e2e::VisibleWindows(program.Id(), "#32768").front();
    e2e::PostKey(menu, VK_UP);
    e2e::PostKey(menu, VK_RIGHT);
    // Typed in the main menu, the letter would choose an exit action.
    ASSERT_TRUE(WaitForMenus(2));
    e2e::PostChar(menu, GetParam().mnemonic);
    EXPECT_TRUE(WaitForMenus(0));

    if (!GetParam().dialog) {
        EXPECT_EQ(0u, program.WaitForExit(kWait));
        EXPECT_EQ(0, e2e::CountTrayIcons(kDefaultTip));
        return;
    }
    HWND dialog = WaitForDialog(GetParam().dialog);
    ASSERT_NE(nullptr, dialog) << GetParam().dialog;
    e2e::Press(dialog, GetParam().closeWith);
    EXPECT_TRUE(WaitUntilGone(dialog));
    EXPECT_TRUE(program.Running());
}

INSTANTIATE_TEST_SUITE_P(Items, TrayMenuE2E,
                         ::testing::Values(SubMenuCase{'o', kOptionsCaption, IDCANCEL},
                                           SubMenuCase{'n', kAboutCaption, IDOK}, SubMenuCase{'b', nullptr, 0}));

TEST_F(TrayE2E, ARightClickOnTheIconInTheTaskbarOpensThePopupMenuAndEscapeClosesIt)
{
    WriteSettings(kAsksFirst);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitForIcon(kDefaultTip));
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    RECT place = {};
    for (const e2e::TrayIcon& icon : e2e::TrayIcons()) {
        if (icon.tip == kDefaultTip)
            place = icon.rect;
    }
    LPARAM point = MAKELPARAM((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    PostMessageA(taskbar, WM_RBUTTONDOWN, MK_RBUTTON, point);
    PostMessageA(taskbar, WM_RBUTTONUP, 0, point);
    ASSERT_TRUE(WaitForMenus(1));
    e2e::PostKey(e2e::VisibleWindows(program.Id(), "#32768").front(), VK_ESCAPE);
    EXPECT_TRUE(WaitForMenus(0));
    EXPECT_TRUE(StaysQuiet());
}

// Clicks on the icon: the click mode decides which one runs the default
// action; a right-button press alone does nothing.
struct ClickMode {
    const char* lines;
    const char* label;
};
constexpr ClickMode kSingleClickRestart = {"Men\xfcpunkt=Windows neu starten\r\nAusf\xfchren=Einfacher Klick\r\n",
                                           "Windows neu starten"};
constexpr ClickMode kDoubleClickMsDos = {"Men\xfcpunkt=MS-DOS-Modus starten\r\nAusf\xfchren=doppelklick\r\n",
                                         "MS-DOS-Modus starten"};

struct ClickCase {
    const ClickMode* mode;
    LPARAM click;
    bool runsDefaultAction;
};

void PrintTo(const ClickCase& c, std::ostream* out)
{
    *out << c.mode->label << ", mouse message 0x" << std::hex << c.click;
}

class TrayClickE2E : public TrayE2E, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(TrayClickE2E, TheClickModeDecidesWhichClickRunsTheDefaultAction)
{
    const ClickMode& mode = *GetParam().mode;
    WriteSettings(std::string(mode.lines) + kAsksFirst);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitForIcon(std::string(mode.label) + " - Lichtaus+"));
    Click(GetParam().click);
    if (GetParam().runsDefaultAction)
        ExpectQuestionAndCancel(mode.label);
    else
        EXPECT_TRUE(StaysQuiet());
    EXPECT_TRUE(program.Running());
}

INSTANTIATE_TEST_SUITE_P(Clicks, TrayClickE2E,
                         ::testing::Values(ClickCase{&kSingleClickRestart, WM_LBUTTONDOWN, true},
                                           ClickCase{&kSingleClickRestart, WM_LBUTTONDBLCLK, false},
                                           ClickCase{&kDoubleClickMsDos, WM_LBUTTONDOWN, false},
                                           ClickCase{&kDoubleClickMsDos, WM_LBUTTONDBLCLK, true},
                                           ClickCase{&kDoubleClickMsDos, WM_RBUTTONDOWN, false}));

TEST_F(TrayE2E, TheCloseMessageEndsTheProgramAndRemovesTheIcon)
{
    const UINT close = RegisterWindowMessageA("Lichtaus+CloseLichtaus");
    WriteSettings(kAsksFirst);
    for (HWND target : {HWND(nullptr), HWND_BROADCAST}) {
        e2e::Program run;
        ASSERT_TRUE(run.Start(exe, ""));
        HWND window = e2e::WaitForWindow(run.Id(), "Lichtaus+WndClass", false, kWait);
        ASSERT_NE(nullptr, window);
        ASSERT_TRUE(WaitForIcon(kDefaultTip));
        PostMessageA(target ? target : window, close, 0, 0);
        EXPECT_EQ(0u, run.WaitForExit(kWait)) << (target ? "broadcast" : "posted");
        EXPECT_EQ(0, e2e::CountTrayIcons(kDefaultTip));
    }
}

// "Lichtaus+AddTrayIcon" and "TaskbarCreated" (which the shell broadcasts
// when its taskbar starts again) replace a shown icon and bring back a lost one.
class TrayReAddE2E : public TrayE2E, public ::testing::WithParamInterface<const char*> {};

TEST_P(TrayReAddE2E, TheMessageLeavesExactlyOneIcon)
{
    WriteSettings(kAsksFirst);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitForIcon(kDefaultTip));
    const UINT message = RegisterWindowMessageA(GetParam());
    auto send = [&] {
        DWORD_PTR result;
        SendMessageTimeoutA(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, kWait, &result);
    };
    send();
    EXPECT_EQ(1, e2e::CountTrayIcons(kDefaultTip)) << "while shown";

    // What a restarting taskbar loses.
    NOTIFYICONDATAA record = {};
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = tray;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &record));
    ASSERT_EQ(0, e2e::CountTrayIcons(kDefaultTip));
    send();
    EXPECT_EQ(1, e2e::CountTrayIcons(kDefaultTip)) << "after it was lost";
    EXPECT_TRUE(StaysQuiet());
}

INSTANTIATE_TEST_SUITE_P(Messages, TrayReAddE2E, ::testing::Values("Lichtaus+AddTrayIcon", "TaskbarCreated"));

TEST_F(TrayE2E, ASecondStartShowsTheAboutDialogAndEndsWhileTheFirstRunsOn)
{
    WriteSettings(kAsksFirst);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitForIcon(kDefaultTip));
    e2e::Program second;
    ASSERT_TRUE(second.Start(exe, ""));
    HWND about = e2e::WaitForCaption(second.Id(), "#32770", kAboutCaption, kWait);
    ASSERT_NE(nullptr, about);
    e2e::Press(about, IDOK);
    EXPECT_EQ(0u, second.WaitForExit(kWait));
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(1, e2e::CountTrayIcons(kDefaultTip)) << "the second start adds no icon";
    EXPECT_TRUE(StaysQuiet());
}

TEST_F(TrayE2E, WhileTheOptionsDialogIsOpenClicksOnTheIconStartNothing)
{
    WriteSettings(std::string(kSingleClickRestart.lines) + kAsksFirst);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitForIcon("Windows neu starten - Lichtaus+"));
    // A high word (here an accelerator's 1) does not change the command.
    PostMessageA(tray, WM_COMMAND, MAKEWPARAM(kOptionsCommand, 1), 0);
    HWND options = WaitForDialog(kOptionsCaption);
    ASSERT_NE(nullptr, options);
    for (LPARAM click : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP})
        Click(click);
    EXPECT_TRUE(StaysQuiet(options)) << "no question and no menu";

    e2e::Press(options, IDCANCEL);
    ASSERT_TRUE(WaitUntilGone(options));
    // No longer busy: the same click runs the default action.
    Click(WM_LBUTTONDOWN);
    ExpectQuestionAndCancel("Windows neu starten");
}

} // namespace
