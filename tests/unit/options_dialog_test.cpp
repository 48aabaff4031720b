// The Options dialog procedure with its controls scripted: what it shows from
// the Settings and the registry, the enabling rule of the two sub-options,
// and what OK writes (file, registry, icon) in which order; Cancel writes
// nothing.
#include <gtest/gtest.h>

#include "res/resource_ids.h"
#include "src/ui/dialogs.h"
#include "src/ui/tray_icon.h"
#include "support/program_state.h"
#include "support/registry_sandbox.h"
#include "support/temp_file.h"

namespace {

using test::FakeWindows;
using Calls = std::vector<std::string>;
using Bytes = std::vector<BYTE>;

const char kPolicyKeyCall[] = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char kRunKeyCall[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kUninstallKeyCall[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lichtaus+";

// The file a first-start OK without changes leaves behind, in code page 1252.
const char kFirstStartFile[] = "[Lichtaus+ Optionen]\r\n"
                               "Men\xfcpunkt=Windows beenden...\r\n"
                               "Ausschalten=Ja\r\n"
                               "Warmstart=Ja\r\n"
                               "Ausf\xfchren=Doppelklick\r\n"
                               "Best\xe4tigung=Nein\r\n"
                               "QuickInfo=Ja\r\n";

INT_PTR Send(UINT message, WPARAM wParam = 0)
{
    return ui::OptionsDialogProc(test::kDialog, message, wParam, 0);
}

void SetSettings(const char* menuepunkt, const char* ausschalten, const char* warmstart, const char* ausfuehren,
                 const char* quickInfo, const char* bestaetigung)
{
    config::Settings& s = config::settings;
    lstrcpyA(s.menuepunkt, menuepunkt);
    lstrcpyA(s.ausschalten, ausschalten);
    lstrcpyA(s.warmstart, warmstart);
    lstrcpyA(s.ausfuehren, ausfuehren);
    lstrcpyA(s.quickInfo, quickInfo);
    lstrcpyA(s.bestaetigung, bestaetigung);
}

std::string Held()
{
    const config::Settings& s = config::settings;
    return std::string(s.menuepunkt) + "|" + s.ausschalten + "|" + s.warmstart + "|" + s.ausfuehren + "|" +
           s.bestaetigung + "|" + s.quickInfo;
}

Bytes StoredPolicy(const char* name)
{
    DWORD type = 0;
    Bytes data;
    if (!test::ReadValue(HKEY_CURRENT_USER, test::kPolicyKey, name, &type, &data))
        return {};
    return data;
}

class OptionsDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ResetProgramState();
        lstrcpyA(program::settingsPath, file.Path());
    }
    void TearDown() override { ui::ReleaseTrayIconImage(); }
    test::TempFile file{"lichtaus-options-test.ini"};
    test::RegistrySandbox registry;
    FakeWindows fake;

    // What the user sees: the checked boxes and buttons, and the controls the
    // dialog disabled (the template disables none).
    std::string Shown() const
    {
        std::string checked, disabled;
        for (int id = IDC_ACTION_SHUTDOWN_DIALOG; id <= IDC_AUTOSTART; ++id) {
            auto state = fake.buttonStates.find(id);
            if (state != fake.buttonStates.end() && state->second == BST_CHECKED)
                checked += " " + std::to_string(id);
            const std::string prefix = test::Format("EnableWindow(%d,", id);
            std::string last;
            for (const std::string& call : fake.Calls("EnableWindow")) {
                if (call.compare(0, prefix.size(), prefix) == 0)
                    last = call;
            }
            if (last == test::Format("EnableWindow(%d,0)", id))
                disabled += " " + std::to_string(id);
        }
        return "checked" + checked + "; disabled" + disabled;
    }

    // The six keys as OK wrote them, "key=value" joined by "|".
    std::string Written() const
    {
        std::string written;
        const std::string prefix = "WritePrivateProfileStringA(Lichtaus+ Optionen,";
        for (std::string call : fake.Calls("WritePrivateProfileStringA")) {
            call = call.substr(prefix.size(), call.size() - prefix.size() - 1);
            call[call.find(',')] = '=';
            written += (written.empty() ? "" : "|") + call;
        }
        return written;
    }

    void Check(const std::vector<int>& ids)
    {
        fake.buttonStates.clear();
        for (int id : ids)
            fake.buttonStates[id] = BST_CHECKED;
    }
};

TEST_F(OptionsDialog, AFirstStartShowsTheDefaultsInItsFixedOrderAndOnlyOpensThePolicyKey)
{
    config::LoadSettings();   // no file: the defaults
    fake.calls.clear();
    EXPECT_EQ(TRUE, Send(WM_INITDIALOG));
    EXPECT_EQ("checked 131 137 138 139; disabled 139 140", Shown());
    EXPECT_EQ((Calls{
                  "CheckRadioButton(131,135,131)",
                  "EnableWindow(139,0)",
                  "EnableWindow(140,0)",
                  "CheckDlgButton(139,1)",
                  "CheckDlgButton(140,0)",
                  "CheckRadioButton(136,137,137)",
                  "CheckDlgButton(138,1)",
                  "CheckDlgButton(143,0)",
                  test::Format("RegOpenKeyExA(%s,0x2001f)", kPolicyKeyCall),
                  "CheckDlgButton(141,0)",
                  "CheckDlgButton(142,0)",
                  test::Format("RegOpenKeyExA(%s,0x2001f)", kRunKeyCall),
                  "CheckDlgButton(144,0)",
              }),
              fake.Calls({"CheckRadioButton", "EnableWindow", "CheckDlgButton", "RegOpenKeyExA", "RegCreateKeyExA",
                          "WritePrivateProfileStringA", "RegSetValueExA"}));
    EXPECT_FALSE(test::KeyExists(HKEY_CURRENT_USER, test::kPolicyKey));
    EXPECT_FALSE(file.Exists());
}

TEST_F(OptionsDialog, InitShowsTheSettingsInAnyLetterCase)
{
    const struct {
        const char* menuepunkt;
        const char* ausschalten;
        const char* warmstart;
        const char* ausfuehren;
        const char* quickInfo;
        const char* bestaetigung;
        const char* shown;
    } cases[] = {
        {"windows NEU starten", "Ja", "Ja", "Doppelklick", "Ja", "Nein", "checked 133 137 138 139; disabled 139"},
        {"Windows herunterfahren", "nein", "NEIN", "einfacher klick", "nein", "ja", "checked 132 136 140 143; disabled 140"},
        {"MS-DOS-Modus starten", "Ja", "Nein", "Doppelklick", "JA", "JA",
         "checked 134 137 138 139 140 143; disabled 139 140"},
        {"BENUTZER ABMELDEN", "Nein", "ja", "DOPPELKLICK", "Nein", "nein", "checked 135 137; disabled 139 140"},
        // "Bestätigung" is not validated: anything but "Ja" leaves 143 unchecked.
        {"Windows beenden...", "Ja", "Ja", "Doppelklick", "Ja", "Yes", "checked 131 137 138 139; disabled 139 140"},
        {"Windows beenden...", "Ja", "Ja", "Doppelklick", "Ja", "1", "checked 131 137 138 139; disabled 139 140"},
        {"Windows beenden...", "Ja", "Ja", "Doppelklick", "Ja", "", "checked 131 137 138 139; disabled 139 140"},
        {"Windows beenden...", "Ja", "Ja", "Doppelklick", "Ja", "Ja ", "checked 131 137 138 139; disabled 139 140"},
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        fake.buttonStates.clear();
        SetSettings(c.menuepunkt, c.ausschalten, c.warmstart, c.ausfuehren, c.quickInfo, c.bestaetigung);
        EXPECT_EQ(TRUE, Send(WM_INITDIALOG));
        EXPECT_EQ(c.shown, Shown()) << c.menuepunkt << " / " << c.bestaetigung;
    }
}

TEST_F(OptionsDialog, PolicyBoxesShowOneAsCheckedAndZeroOrAnyOtherByteAsUnchecked)
{
    const struct {
        DWORD type;
        Bytes noLogoff;   // empty: no value
        Bytes noClose;
        bool hideLogOff;
        bool hideShutDown;
    } cases[] = {
        {REG_BINARY, {1, 0, 0, 0}, {0, 0, 0, 0}, true, false},
        {REG_BINARY, {0, 0, 0, 0}, {1, 0, 0, 0}, false, true},
        {REG_BINARY, {2, 0, 0, 0}, {1, 0, 0, 0}, false, true},
        {REG_BINARY, {1, 0, 0, 0}, {2, 0, 0, 0}, true, false},
        {REG_BINARY, {0xFF, 0, 0, 0}, {}, false, false},
        {REG_DWORD, {1, 0, 0, 0}, {1, 0, 0, 0}, true, true},   // the type is not looked at
    };
    SetSettings("Windows beenden...", "Ja", "Ja", "Doppelklick", "Ja", "Nein");
    for (const auto& c : cases) {
        test::RegistrySandbox::Clear();
        if (!c.noLogoff.empty())
            test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoLogoff", c.type, c.noLogoff);
        if (!c.noClose.empty())
            test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose", c.type, c.noClose);
        fake.buttonStates.clear();
        Send(WM_INITDIALOG);
        std::string label = test::Format("NoLogoff %d NoClose %d", c.noLogoff.empty() ? -1 : c.noLogoff[0],
                                         c.noClose.empty() ? -1 : c.noClose[0]);
        EXPECT_EQ(c.hideLogOff, fake.buttonStates[IDC_HIDE_LOG_OFF] == BST_CHECKED) << label;
        EXPECT_EQ(c.hideShutDown, fake.buttonStates[IDC_HIDE_SHUT_DOWN] == BST_CHECKED) << label;
    }
}

TEST_F(OptionsDialog, WithoutAPolicyKeyBothBoxesAreUncheckedAndTheKeyIsNotCreated)
{
    SetSettings("Windows beenden...", "Ja", "Ja", "Doppelklick", "Ja", "Nein");
    fake.buttonStates[IDC_HIDE_LOG_OFF] = fake.buttonStates[IDC_HIDE_SHUT_DOWN] = BST_CHECKED;
    Send(WM_INITDIALOG);
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), fake.buttonStates[IDC_HIDE_LOG_OFF]);
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), fake.buttonStates[IDC_HIDE_SHUT_DOWN]);
    EXPECT_FALSE(test::KeyExists(HKEY_CURRENT_USER, test::kPolicyKey));
    EXPECT_TRUE(fake.Calls("RegCreateKeyExA").empty());
}

TEST_F(OptionsDialog, AutostartIsShownOnlyForThisExecutable)
{
    const struct {
        const char* stored;   // nullptr: no value
        bool checked;
    } cases[] = {
        {nullptr, false},
        {"C:\\Tools\\Lichtaus+.exe", true},
        {"\"C:\\Tools\\Lichtaus+.exe\"", true},
        {"c:\\tools\\LICHTAUS+.EXE", true},
        {"C:\\Old Place\\Lichtaus+.exe", false},
        {"C:\\Tools\\Lichtaus+.exe /s", false},
    };
    SetSettings("Windows beenden...", "Ja", "Ja", "Doppelklick", "Ja", "Nein");
    for (const auto& c : cases) {
        test::RegistrySandbox::Clear();
        if (c.stored)
            test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", c.stored);
        fake.buttonStates[IDC_AUTOSTART] = c.checked ? BST_UNCHECKED : BST_CHECKED;   // the opposite first
        Send(WM_INITDIALOG);
        EXPECT_EQ(c.checked, fake.buttonStates[IDC_AUTOSTART] == BST_CHECKED) << (c.stored ? c.stored : "(none)");
    }
}

// Choosing an action enables exactly its own sub-option; the check marks of
// the sub-options never change by that, and only a plain click counts.
TEST_F(OptionsDialog, ChoosingAnActionEnablesOnlyItsSubOption)
{
    const struct {
        WPARAM wParam;
        Calls enabling;
    } cases[] = {
        {IDC_ACTION_SHUTDOWN_DIALOG, {"EnableWindow(139,0)", "EnableWindow(140,0)"}},
        {IDC_ACTION_SHUT_DOWN, {"EnableWindow(139,1)", "EnableWindow(140,0)"}},
        {IDC_ACTION_RESTART, {"EnableWindow(139,0)", "EnableWindow(140,1)"}},
        {IDC_ACTION_MSDOS_MODE, {"EnableWindow(139,0)", "EnableWindow(140,0)"}},
        {IDC_ACTION_LOG_OFF, {"EnableWindow(139,0)", "EnableWindow(140,0)"}},
        // Not a click on an action: nothing at all.
        {MAKEWPARAM(IDC_ACTION_SHUT_DOWN, 1), {}},
        {MAKEWPARAM(IDC_ACTION_RESTART, BN_DOUBLECLICKED), {}},
        {IDC_SINGLE_CLICK, {}},
        {IDC_POWER_OFF, {}},
        {IDC_AUTOSTART, {}},
        {MAKEWPARAM(IDOK, 1), {}},
        {MAKEWPARAM(IDCANCEL, 1), {}},
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        Check({IDC_POWER_OFF, IDC_NO_WARM_START});
        EXPECT_EQ(FALSE, Send(WM_COMMAND, c.wParam)) << std::hex << c.wParam;
        EXPECT_EQ(c.enabling, fake.calls) << std::hex << c.wParam;
        EXPECT_EQ(static_cast<UINT>(BST_CHECKED), fake.buttonStates[IDC_POWER_OFF]);
        EXPECT_EQ(static_cast<UINT>(BST_CHECKED), fake.buttonStates[IDC_NO_WARM_START]);
    }
}

TEST_F(OptionsDialog, OtherMessagesAreLeftToTheDialogManager)
{
    for (UINT message : {static_cast<UINT>(WM_CLOSE), static_cast<UINT>(WM_ACTIVATE), static_cast<UINT>(WM_DESTROY),
                         static_cast<UINT>(WM_NOTIFY)})
        EXPECT_EQ(FALSE, Send(message, IDOK)) << message;
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(OptionsDialog, OkWritesTheFileThenPoliciesAutostartUninstallEntryThenIconAndTip)
{
    Check({IDC_ACTION_LOG_OFF, IDC_POWER_OFF, IDC_NO_WARM_START, IDC_SINGLE_CLICK, IDC_CONFIRM, IDC_HIDE_LOG_OFF,
           IDC_AUTOSTART});
    EXPECT_EQ(TRUE, Send(WM_COMMAND, IDOK));
    EXPECT_EQ((Calls{
                  "WritePrivateProfileStringA(Lichtaus+ Optionen,Men\xfcpunkt,Benutzer abmelden)",
                  "WritePrivateProfileStringA(Lichtaus+ Optionen,Ausschalten,Ja)",
                  "WritePrivateProfileStringA(Lichtaus+ Optionen,Warmstart,Nein)",
                  "WritePrivateProfileStringA(Lichtaus+ Optionen,Ausf\xfchren,Einfacher Klick)",
                  "WritePrivateProfileStringA(Lichtaus+ Optionen,Best\xe4tigung,Ja)",
                  "WritePrivateProfileStringA(Lichtaus+ Optionen,QuickInfo,Nein)",
                  test::Format("RegCreateKeyExA(%s,0,NULL,0,0x2001f,NULL,disp)", kPolicyKeyCall),
                  "RegSetValueExA(NoLogoff,3,01 00 00 00,4)",
                  "RegSetValueExA(NoClose,3,00 00 00 00,4)",
                  "RegCloseKey()",
                  test::Format("RegCreateKeyExA(%s,0,NULL,0,0x2001f,NULL,disp)", kRunKeyCall),
                  "RegSetValueExA(Lichtaus+,1,C:\\Tools\\Lichtaus+.exe,23)",
                  "RegCloseKey()",
                  test::Format("RegCreateKeyExA(%s,0,NULL,0,0x2001f,NULL,disp)", kUninstallKeyCall),
                  "RegSetValueExA(DisplayName,1,Lichtaus+,10)",
                  "RegSetValueExA(UninstallString,1,C:\\Tools\\Lichtaus+.exe /uninstall,34)",
                  "RegCloseKey()",
                  "LoadImageA(1004,1,16,16,0)",
                  "Shell_NotifyIconA(NIM_MODIFY,size=88,tray,id=0,flags=2,callback=0x0,icon=1,tip=)",
                  "Shell_NotifyIconA(NIM_MODIFY,size=88,tray,id=0,flags=4,callback=0x0,icon=0,tip=Benutzer abmelden)",
                  "EndDialog(dialog,0)",
              }),
              fake.Calls({"WritePrivateProfileStringA", "RegOpenKeyExA", "RegCreateKeyExA", "RegSetValueExA",
                          "RegDeleteValueA", "RegDeleteKeyA", "RegCloseKey", "LoadImageA", "Shell_NotifyIconA",
                          "EndDialog"}));
    EXPECT_EQ("Benutzer abmelden|Ja|Nein|Einfacher Klick|Ja|Nein", Held());
}

TEST_F(OptionsDialog, OkSavesEveryKeyFromTheControlsWithTheRestartBoxInverted)
{
    const struct {
        std::vector<int> checked;
        const char* written;
        const char* tip;
    } cases[] = {
        {{131, 137},
         "Men\xfcpunkt=Windows beenden...|Ausschalten=Nein|Warmstart=Ja|Ausf\xfchren=Doppelklick|"
         "Best\xe4tigung=Nein|QuickInfo=Nein",
         "Windows beenden..."},
        {{132, 139, 136, 143, 138},
         "Men\xfcpunkt=Windows herunterfahren|Ausschalten=Ja|Warmstart=Ja|Ausf\xfchren=Einfacher Klick|"
         "Best\xe4tigung=Ja|QuickInfo=Ja",
         "Windows herunterfahren - Lichtaus+"},
        {{133, 140, 137},
         "Men\xfcpunkt=Windows neu starten|Ausschalten=Nein|Warmstart=Nein|Ausf\xfchren=Doppelklick|"
         "Best\xe4tigung=Nein|QuickInfo=Nein",
         "Windows neu starten"},
        {{134, 139, 140, 137, 138},
         "Men\xfcpunkt=MS-DOS-Modus starten|Ausschalten=Ja|Warmstart=Nein|Ausf\xfchren=Doppelklick|"
         "Best\xe4tigung=Nein|QuickInfo=Ja",
         "MS-DOS-Modus starten - Lichtaus+"},
        {{135, 136, 138},
         "Men\xfcpunkt=Benutzer abmelden|Ausschalten=Nein|Warmstart=Ja|Ausf\xfchren=Einfacher Klick|"
         "Best\xe4tigung=Nein|QuickInfo=Ja",
         "Benutzer abmelden - Lichtaus+"},
        // The buttons are tested in their order and each checked one is
        // written: the last one wins.
        {{132, 134, 136, 137},
         "Men\xfcpunkt=Windows herunterfahren|Men\xfcpunkt=MS-DOS-Modus starten|Ausschalten=Nein|Warmstart=Ja|"
         "Ausf\xfchren=Einfacher Klick|Ausf\xfchren=Doppelklick|Best\xe4tigung=Nein|QuickInfo=Nein",
         "MS-DOS-Modus starten"},
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        Check(c.checked);
        Send(WM_COMMAND, IDOK);
        EXPECT_EQ(c.written, Written());
        // The Settings follow the file, and the tooltip the new Settings.
        Calls notify = fake.Calls("Shell_NotifyIconA");
        ASSERT_EQ(2u, notify.size());
        EXPECT_EQ(test::Format("Shell_NotifyIconA(NIM_MODIFY,size=88,tray,id=0,flags=4,callback=0x0,icon=0,tip=%s)", c.tip),
                  notify[1]);
    }
    EXPECT_EQ("MS-DOS-Modus starten|Nein|Ja|Doppelklick|Nein|Nein", Held());
}

TEST_F(OptionsDialog, GreyedSubOptionsAreSavedAsTheyAreChecked)
{
    // Shut down without power-off, restart without warm start; the user then
    // chooses "Windows beenden...", which greys out both boxes.
    SetSettings("Windows herunterfahren", "Nein", "Nein", "Doppelklick", "Ja", "Nein");
    Send(WM_INITDIALOG);
    fake.buttonStates[IDC_ACTION_SHUT_DOWN] = BST_UNCHECKED;
    fake.buttonStates[IDC_ACTION_SHUTDOWN_DIALOG] = BST_CHECKED;
    Send(WM_COMMAND, IDC_ACTION_SHUTDOWN_DIALOG);
    ASSERT_EQ("checked 131 137 138 140; disabled 139 140", Shown());
    fake.calls.clear();
    Send(WM_COMMAND, IDOK);
    EXPECT_EQ("Men\xfcpunkt=Windows beenden...|Ausschalten=Nein|Warmstart=Nein|Ausf\xfchren=Doppelklick|"
              "Best\xe4tigung=Nein|QuickInfo=Ja",
              Written());
}

TEST_F(OptionsDialog, AFirstStartOkWithoutChangesWritesTheWholeFileAndTheRegistry)
{
    config::LoadSettings();
    Send(WM_INITDIALOG);
    EXPECT_EQ(TRUE, Send(WM_COMMAND, IDOK));
    EXPECT_EQ(kFirstStartFile, file.Read());
    EXPECT_EQ("Windows beenden...|Ja|Ja|Doppelklick|Nein|Ja", Held());
    EXPECT_EQ((Bytes{0, 0, 0, 0}), StoredPolicy("NoLogoff"));
    EXPECT_EQ((Bytes{0, 0, 0, 0}), StoredPolicy("NoClose"));
    EXPECT_EQ("<absent>", test::ReadText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
    EXPECT_EQ("Lichtaus+", test::ReadText(HKEY_LOCAL_MACHINE, test::kUninstallKey, "DisplayName"));
    EXPECT_EQ("C:\\Tools\\Lichtaus+.exe /uninstall",
              test::ReadText(HKEY_LOCAL_MACHINE, test::kUninstallKey, "UninstallString"));
    EXPECT_EQ(Calls{"EndDialog(dialog,0)"}, fake.Calls("EndDialog"));
}

TEST_F(OptionsDialog, OkStoresTheLabelInItsOwnLetterCase)
{
    file.Write("[Lichtaus+ Optionen]\r\nMen\xfcpunkt=windows NEU starten\r\n");
    config::LoadSettings();
    Send(WM_INITDIALOG);
    Send(WM_COMMAND, IDOK);
    EXPECT_STREQ("Windows neu starten", config::settings.menuepunkt);
    EXPECT_EQ(0u, file.Read().find("[Lichtaus+ Optionen]\r\nMen\xfcpunkt=Windows neu starten\r\n")) << file.Read();
}

TEST_F(OptionsDialog, OkRewritesPoliciesAutostartAndTheUninstallEntryFromTheBoxes)
{
    const struct {
        const char* storedRun;   // nullptr: no value
        Bytes storedNoClose;
        bool autostart;
        bool hideShutDown;
        const char* run;
        Bytes noClose;
    } cases[] = {
        // Another program's text under our name goes when the box is off.
        {"C:\\Someone\\else.exe", {1, 0, 0, 0}, false, true, "<absent>", {1, 0, 0, 0}},
        {nullptr, {2, 0, 0, 0}, true, false, "C:\\Tools\\Lichtaus+.exe", {0, 0, 0, 0}},
        {"\"C:\\Tools\\Lichtaus+.exe\"", {2, 0, 0, 0}, true, true, "C:\\Tools\\Lichtaus+.exe", {1, 0, 0, 0}},
        {"c:\\tools\\LICHTAUS+.EXE", {}, true, false, "C:\\Tools\\Lichtaus+.exe", {0, 0, 0, 0}},
    };
    SetSettings("Windows beenden...", "Ja", "Ja", "Doppelklick", "Ja", "Nein");
    for (const auto& c : cases) {
        test::RegistrySandbox::Clear();
        if (c.storedRun)
            test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", c.storedRun);
        if (!c.storedNoClose.empty())
            test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose", REG_BINARY, c.storedNoClose);
        test::WriteText(HKEY_LOCAL_MACHINE, test::kUninstallKey, "UninstallString", "C:\\Old\\Lichtaus+.exe /uninstall");
        Send(WM_INITDIALOG);
        fake.buttonStates[IDC_AUTOSTART] = c.autostart ? BST_CHECKED : BST_UNCHECKED;
        fake.buttonStates[IDC_HIDE_SHUT_DOWN] = c.hideShutDown ? BST_CHECKED : BST_UNCHECKED;
        Send(WM_COMMAND, IDOK);
        std::string label = c.storedRun ? c.storedRun : "(none)";
        EXPECT_EQ(c.run, test::ReadText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+")) << label;
        EXPECT_EQ(c.noClose, StoredPolicy("NoClose")) << label;
        EXPECT_EQ((Bytes{0, 0, 0, 0}), StoredPolicy("NoLogoff")) << label;
        EXPECT_EQ("C:\\Tools\\Lichtaus+.exe /uninstall",
                  test::ReadText(HKEY_LOCAL_MACHINE, test::kUninstallKey, "UninstallString"))
            << label;
    }
}

TEST_F(OptionsDialog, CancelAfterChangesLeavesFileSettingsRegistryAndIconAlone)
{
    const std::string contents = "[Lichtaus+ Optionen]\r\nMen\xfcpunkt=Windows herunterfahren\r\nQuickInfo=Nein\r\n";
    file.Write(contents);
    test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose", REG_BINARY, {1, 0, 0, 0});
    test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", "C:\\Someone\\else.exe");
    config::LoadSettings();
    const std::string held = Held();
    Send(WM_INITDIALOG);

    // The user turns everything round, then cancels.
    Check({IDC_ACTION_LOG_OFF, IDC_NO_WARM_START, IDC_SINGLE_CLICK, IDC_QUICK_INFO, IDC_CONFIRM, IDC_HIDE_LOG_OFF,
           IDC_AUTOSTART});
    Send(WM_COMMAND, IDC_ACTION_LOG_OFF);
    fake.calls.clear();
    EXPECT_EQ(TRUE, Send(WM_COMMAND, IDCANCEL));

    EXPECT_EQ(Calls{"EndDialog(dialog,0)"}, fake.calls);
    EXPECT_EQ(contents, file.Read());
    EXPECT_EQ(held, Held());
    EXPECT_EQ((Bytes{1, 0, 0, 0}), StoredPolicy("NoClose"));
    EXPECT_EQ((Bytes{}), StoredPolicy("NoLogoff"));
    EXPECT_EQ("C:\\Someone\\else.exe", test::ReadText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, test::kUninstallKey));
}

} // namespace
