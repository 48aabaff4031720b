// The real Lichtaus+.exe in tray mode with its dialogs, driven from outside:
// the first start's Options dialog confirmed or cancelled, the Options dialog
// opened by the tray command, and the About dialog of a second start. No test
// touches the tray icon or the exit actions.
#include <gtest/gtest.h>

#include <functional>

#include "e2e/driver.h"
#include "res/resource_ids.h"
#include "support/registry_sandbox.h"

namespace {

constexpr DWORD kWait = 15000;

const char kTrayClass[] = "Lichtaus+WndClass";
const char kOptionsTitle[] = "Lichtaus+ Optionen";
const char kAboutTitle[] = "Info \xfc"
                           "ber Lichtaus+";

// The settings file a first-start OK without changes writes, in code page 1252.
const char kFirstStartFile[] = "[Lichtaus+ Optionen]\r\n"
                               "Men\xfcpunkt=Windows beenden...\r\n"
                               "Ausschalten=Ja\r\n"
                               "Warmstart=Ja\r\n"
                               "Ausf\xfchren=Doppelklick\r\n"
                               "Best\xe4tigung=Nein\r\n"
                               "QuickInfo=Ja\r\n";

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kWait)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

struct TitleSearch {
    DWORD processId;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<TitleSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner != search->processId || !IsWindowVisible(window) || lstrcmpA(className, "#32770") != 0 ||
        e2e::WindowText(window) != search->title)
        return TRUE;
    search->found = window;
    return FALSE;
}

// A visible dialog or message box of the process with exactly that caption.
HWND WaitForDialog(DWORD processId, const char* title, DWORD timeoutMs = kWait)
{
    TitleSearch search = {processId, title, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

bool Checked(HWND dialog, int id)
{
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// A click as the user makes it: the button checks itself and tells its dialog.
void Click(HWND dialog, int id)
{
    DWORD_PTR result;
    SendMessageTimeoutA(GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kWait, &result);
}

// The Options dialog as the user sees it: checked controls and greyed ones.
std::string Shown(HWND dialog)
{
    std::string checked, disabled;
    for (int id = IDC_ACTION_SHUTDOWN_DIALOG; id <= IDC_AUTOSTART; ++id) {
        if (Checked(dialog, id))
            checked += " " + std::to_string(id);
        if (!Enabled(dialog, id))
            disabled += " " + std::to_string(id);
    }
    return "checked" + checked + "; disabled" + disabled;
}

std::string LongPath(const std::string& path)
{
    char buffer[MAX_PATH];
    DWORD length = GetLongPathNameA(path.c_str(), buffer, sizeof buffer);
    return length && length < sizeof buffer ? buffer : path;
}

class DialogsE2E : public ::testing::Test {
protected:
    // A blank in the folder's name: the uninstall command must quote the path.
    e2e::TempFolder folder{"dialogs and options"};
    std::string exe = e2e::CopyProgram(folder);
    std::string settings = folder.File("Lichtaus+.ini");
    test::RegistrySandbox registry;

    // Ends a tray program the way other programs may: WM_CLOSE to its window.
    static void Close(e2e::Program& program)
    {
        HWND tray = e2e::WaitForWindow(program.Id(), kTrayClass, false, kWait);
        ASSERT_NE(nullptr, tray);
        PostMessageA(tray, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, program.WaitForExit(kWait));
    }

    // A first start up to its Options dialog: the greeting, answered OK.
    HWND StartFirstTime(e2e::Program& program)
    {
        EXPECT_TRUE(program.Start(exe, ""));
        HWND greeting = WaitForDialog(program.Id(), "Lichtaus+");
        EXPECT_NE(nullptr, greeting) << "no first-start message";
        if (!greeting)
            return nullptr;
        EXPECT_EQ(0u, e2e::MessageText(greeting).find("Lichtaus+ Installation\n\n"));
        e2e::Press(greeting, IDOK);
        HWND options = WaitForDialog(program.Id(), kOptionsTitle);
        EXPECT_NE(nullptr, options) << "no Options dialog after the first-start message";
        return options;
    }

    // A tray program that found its settings file, with the Options dialog
    // opened through the tray window's command, as the popup menu does.
    HWND OpenOptionsFromTheTray(e2e::Program& program)
    {
        HWND tray = e2e::WaitForWindow(program.Id(), kTrayClass, false, kWait);
        EXPECT_NE(nullptr, tray);
        if (!tray)
            return nullptr;
        PostMessageA(tray, WM_COMMAND, IDM_OPTIONS, 0);
        HWND options = WaitForDialog(program.Id(), kOptionsTitle);
        EXPECT_NE(nullptr, options);
        return options;
    }
};

TEST_F(DialogsE2E, AFirstStartConfirmedUnchangedWritesTheWorkedExampleAndTheUninstallEntry)
{
    e2e::Program program;
    HWND options = StartFirstTime(program);
    ASSERT_NE(nullptr, options);
    EXPECT_EQ("checked 131 137 138 139; disabled 139 140", Shown(options));
    EXPECT_FALSE(e2e::FileExists(settings)) << "nothing is written before OK";

    Click(options, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return e2e::ReadFile(settings) == kFirstStartFile; }))
        << e2e::ReadFile(settings);
    EXPECT_EQ("Lichtaus+", test::ReadText(HKEY_LOCAL_MACHINE, test::kUninstallKey, "DisplayName"));
    EXPECT_EQ("\"" + LongPath(exe) + "\" /uninstall",
              test::ReadText(HKEY_LOCAL_MACHINE, test::kUninstallKey, "UninstallString"));
    EXPECT_EQ("<absent>", test::ReadText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
    EXPECT_TRUE(WaitUntil([&] { return WaitForDialog(program.Id(), kOptionsTitle, 0) == nullptr; }));
    Close(program);
}

TEST_F(DialogsE2E, AFirstStartCancelledWritesNothingAndTheNextStartIsAFirstStartAgain)
{
    for (int start = 1; start <= 2; ++start) {
        e2e::Program program;
        HWND options = StartFirstTime(program);
        ASSERT_NE(nullptr, options) << "start " << start;
        Click(options, IDCANCEL);
        EXPECT_TRUE(WaitUntil([&] { return WaitForDialog(program.Id(), kOptionsTitle, 0) == nullptr; }));
        EXPECT_TRUE(program.Running()) << "Cancel leaves the tray program running";
        Close(program);
        EXPECT_FALSE(e2e::FileExists(settings)) << "start " << start;
        EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, test::kUninstallKey)) << "start " << start;
        EXPECT_FALSE(test::KeyExists(HKEY_CURRENT_USER, test::kPolicyKey)) << "start " << start;
    }
}

TEST_F(DialogsE2E, TheTrayCommandOpensOptionsWhoseActionsEnableTheirSubOptionsAndOkSavesAtOnce)
{
    e2e::WriteFile(settings, "[Lichtaus+ Optionen]\r\nMen\xfcpunkt=Windows herunterfahren\r\nAusschalten=Nein\r\n"
                             "Warmstart=Nein\r\nAusf\xfchren=Einfacher Klick\r\nBest\xe4tigung=Ja\r\nQuickInfo=Nein\r\n");
    e2e::Program program;
    ASSERT_TRUE(program.Start(exe, ""));
    HWND options = OpenOptionsFromTheTray(program);
    ASSERT_NE(nullptr, options);
    EXPECT_EQ("checked 132 136 140 143; disabled 140", Shown(options));

    // Each click moves the enabling; no check mark of 139 or 140 changes.
    const struct {
        int radio;
        const char* shown;
    } clicks[] = {
        {IDC_ACTION_RESTART, "checked 133 136 140 143; disabled 139"},
        {IDC_ACTION_SHUTDOWN_DIALOG, "checked 131 136 140 143; disabled 139 140"},
        {IDC_ACTION_SHUT_DOWN, "checked 132 136 140 143; disabled 140"},
        {IDC_ACTION_MSDOS_MODE, "checked 134 136 140 143; disabled 139 140"},
        {IDC_ACTION_LOG_OFF, "checked 135 136 140 143; disabled 139 140"},
    };
    for (const auto& click : clicks) {
        Click(options, click.radio);
        EXPECT_EQ(click.shown, Shown(options)) << "after a click on " << click.radio;
    }

    Click(options, IDOK);
    EXPECT_TRUE(WaitUntil([&] {
        return e2e::ReadFile(settings).find("Men\xfcpunkt=Benutzer abmelden\r\n") != std::string::npos;
    })) << e2e::ReadFile(settings);
    EXPECT_EQ("[Lichtaus+ Optionen]\r\nMen\xfcpunkt=Benutzer abmelden\r\nAusschalten=Nein\r\nWarmstart=Nein\r\n"
              "Ausf\xfchren=Einfacher Klick\r\nBest\xe4tigung=Ja\r\nQuickInfo=Nein\r\n",
              e2e::ReadFile(settings));

    // The program holds the new choice: the dialog opened again shows it.
    ASSERT_TRUE(WaitUntil([&] { return WaitForDialog(program.Id(), kOptionsTitle, 0) == nullptr; }));
    options = OpenOptionsFromTheTray(program);
    ASSERT_NE(nullptr, options);
    EXPECT_EQ("checked 135 136 140 143; disabled 139 140", Shown(options));
    Click(options, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return WaitForDialog(program.Id(), kOptionsTitle, 0) == nullptr; }));
    Close(program);
}

TEST_F(DialogsE2E, ASecondStartShowsTheAboutDialogAndEndsWhenItIsClosed)
{
    e2e::WriteFile(settings, kFirstStartFile);
    e2e::Program first;
    ASSERT_TRUE(first.Start(exe, ""));
    // The first instance has set its marker once the named mapping exists.
    ASSERT_TRUE(WaitUntil([] {
        HANDLE marker = OpenFileMappingA(FILE_MAP_READ, FALSE, "Lichtaus+");
        if (marker)
            CloseHandle(marker);
        return marker != nullptr;
    }));

    e2e::Program second;
    ASSERT_TRUE(second.Start(exe, ""));
    HWND about = WaitForDialog(second.Id(), kAboutTitle);
    ASSERT_NE(nullptr, about);
    EXPECT_TRUE(e2e::HasButton(about, IDOK) && e2e::HasButton(about, IDC_EMAIL) && e2e::HasButton(about, IDC_WEB_PAGE));
    EXPECT_EQ(nullptr, WaitForDialog(first.Id(), kAboutTitle, 0));

    PostMessageA(about, WM_CLOSE, 0, 0);   // the caption's close box
    EXPECT_EQ(0u, second.WaitForExit(kWait));
    EXPECT_TRUE(first.Running()) << "the first instance is unaffected";
    Close(first);
}

} // namespace
