// The Options dialog procedure with its controls scripted: what it shows from
// the Settings and the registry, the enabling rule of the two sub-options,
// and what OK writes (file, registry, icon) in which order; Cancel writes
// nothing.
#include <gtest/gtest.h>

#include <map>

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
const char kFirstStartFile[] = "[Lichtaus+ Optionen]\r\nMen\xfcpunkt=Windows beenden...\r\nAusschalten=Ja\r\n"
                               "Warmstart=Ja\r\nAusf\xfchren=Doppelklick\r\nBest\xe4tigung=Nein\r\nQuickInfo=Ja\r\n";

INT_PTR Send(UINT message, WPARAM wParam = 0)
{
    return ui::OptionsDialogProc(test::kDialog, message, wParam, 0);
}

// The six Settings as "Menüpunkt|Ausschalten|Warmstart|Ausführen|QuickInfo|Bestätigung".
const char kDefaults[] = "Windows beenden...|Ja|Ja|Doppelklick|Ja|Nein";

void SetSettings(const std::string& held)
{
    config::Settings& s = config::settings;
    size_t start = 0;
    for (char* field : {s.menuepunkt, s.ausschalten, s.warmstart, s.ausfuehren, s.quickInfo, s.bestaetigung}) {
        const size_t end = held.find('|', start);
        lstrcpyA(field, held.substr(start, end - start).c_str());
        start = end + 1;
    }
}

std::string Held()
{
    const config::Settings& s = config::settings;
    return std::string(s.menuepunkt) + "|" + s.ausschalten + "|" + s.warmstart + "|" + s.ausfuehren + "|" +
           s.quickInfo + "|" + s.bestaetigung;
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
    // dialog disabled last (the template disables none).
    std::string Shown() const
    {
        std::map<int, bool> enabled;
        for (const std::string& call : fake.Calls("EnableWindow"))
            enabled[std::stoi(call.substr(sizeof "EnableWindow"))] = call[call.size() - 2] == '1';
        std::string checked, disabled;
        for (const auto& [id, state] : fake.buttonStates)
            checked += state == BST_CHECKED ? " " + std::to_string(id) : "";
        for (const auto& [id, on] : enabled)
            disabled += on ? "" : " " + std::to_string(id);
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

// A first start shows the defaults in a fixed order and only opens the policy
// key; an OK without changes then writes the whole file and the registry.
// Another program's value under our name goes, as autostart shows off.
TEST_F(OptionsDialog, AFirstStartShowsTheDefaultsAndAnOkWithoutChangesWritesThemAll)
{
    test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", "C:\\Someone\\else.exe");
    config::LoadSettings();   // no file: the defaults
    fake.calls.clear();
    EXPECT_EQ(TRUE, Send(WM_INITDIALOG));
    EXPECT_EQ("checked 131 137 138 139; disabled 139 140", Shown());
    EXPECT_EQ((Calls{"CheckRadioButton(131,135,131)", "EnableWindow(139,0)", "EnableWindow(140,0)",
                     "CheckDlgButton(139,1)", "CheckDlgButton(140,0)", "CheckRadioButton(136,137,137)",
                     "CheckDlgButton(138,1)", "CheckDlgButton(143,0)",
                     test::Format("RegOpenKeyExA(%s,0x2001f)", kPolicyKeyCall), "CheckDlgButton(141,0)",
                     "CheckDlgButton(142,0)",
                     test::Format("RegOpenKeyExA(%s,0x2001f)", kRunKeyCall), "CheckDlgButton(144,0)"}),
              fake.Calls({"CheckRadioButton", "EnableWindow", "CheckDlgButton", "RegOpenKeyExA", "RegCreateKeyExA",
                          "WritePrivateProfileStringA", "RegSetValueExA"}));
    EXPECT_FALSE(test::KeyExists(HKEY_CURRENT_USER, test::kPolicyKey));
    EXPECT_FALSE(file.Exists());

    EXPECT_EQ(TRUE, Send(WM_COMMAND, IDOK));
    EXPECT_EQ(kFirstStartFile, file.Read());
    EXPECT_EQ(kDefaults, Held());
    EXPECT_EQ((Bytes{0, 0, 0, 0}), StoredPolicy("NoLogoff"));
    EXPECT_EQ((Bytes{0, 0, 0, 0}), StoredPolicy("NoClose"));
    EXPECT_EQ("<absent>", test::ReadText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
    EXPECT_TRUE(test::KeyExists(HKEY_LOCAL_MACHINE, test::kUninstallKey));
    EXPECT_EQ(Calls{"EndDialog(dialog,0)"}, fake.Calls("EndDialog"));
}

// The settings in any letter case; a policy byte of 1 checks its box, 0
// unchecks it and any other byte leaves it as the template has it; autostart
// is checked for this executable only.
TEST_F(OptionsDialog, InitShowsTheSettingsAndTheRegistryValues)
{
    const struct {
        const char* settings;
        int noLogoff;      // -1: no value
        int noClose;
        const char* run;   // nullptr: no value
        const char* shown;
    } cases[] = {
        {"windows NEU starten|Ja|Ja|Doppelklick|Ja|Nein", 1, 0, "\"C:\\Tools\\Lichtaus+.exe\"",
         "checked 133 137 138 139 141 144; disabled 139"},
        {"Windows herunterfahren|nein|NEIN|einfacher klick|nein|ja", 2, 1, "C:\\Old Place\\Lichtaus+.exe",
         "checked 132 136 140 142 143; disabled 140"},
        {"MS-DOS-Modus starten|Ja|Nein|Doppelklick|JA|JA", 0, 0xFF, nullptr,
         "checked 134 137 138 139 140 143; disabled 139 140"},
        {"BENUTZER ABMELDEN|Nein|ja|DOPPELKLICK|Nein|nein", -1, -1, nullptr, "checked 135 137; disabled 139 140"},
        // "Bestätigung" is not validated: anything but "Ja" leaves 143 unchecked.
        {"Windows beenden...|Ja|Ja|Doppelklick|Ja|Ja ", -1, -1, nullptr, "checked 131 137 138 139; disabled 139 140"},
    };
    for (const auto& c : cases) {
        test::RegistrySandbox::Clear();
        for (const auto& [name, value] : {std::pair{"NoLogoff", c.noLogoff}, std::pair{"NoClose", c.noClose}}) {
            if (value >= 0)
                test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, name, REG_BINARY, {static_cast<BYTE>(value), 0, 0, 0});
        }
        if (c.run)
            test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", c.run);
        fake.calls.clear();
        fake.buttonStates.clear();
        SetSettings(c.settings);
        EXPECT_EQ(TRUE, Send(WM_INITDIALOG));
        EXPECT_EQ(c.shown, Shown()) << c.settings;
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
        {MAKEWPARAM(IDC_ACTION_RESTART, BN_DOUBLECLICKED), {}}, {IDC_POWER_OFF, {}}, {MAKEWPARAM(IDOK, 1), {}},
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

TEST_F(OptionsDialog, OkWritesTheFileThenPoliciesAutostartUninstallEntryThenIconAndTip)
{
    Check({IDC_ACTION_LOG_OFF, IDC_POWER_OFF, IDC_NO_WARM_START, IDC_SINGLE_CLICK, IDC_CONFIRM, IDC_HIDE_LOG_OFF,
           IDC_AUTOSTART});
    EXPECT_EQ(TRUE, Send(WM_COMMAND, IDOK));
    const std::string write = "WritePrivateProfileStringA(Lichtaus+ Optionen,";
    EXPECT_EQ((Calls{write + "Men\xfcpunkt,Benutzer abmelden)", write + "Ausschalten,Ja)", write + "Warmstart,Nein)",
                     write + "Ausf\xfchren,Einfacher Klick)", write + "Best\xe4tigung,Ja)", write + "QuickInfo,Nein)",
                     test::Format("RegCreateKeyExA(%s,0,NULL,0,0x2001f,NULL,disp)", kPolicyKeyCall),
                     "RegSetValueExA(NoLogoff,3,01 00 00 00,4)", "RegSetValueExA(NoClose,3,00 00 00 00,4)", "RegCloseKey()",
                     test::Format("RegCreateKeyExA(%s,0,NULL,0,0x2001f,NULL,disp)", kRunKeyCall),
                     "RegSetValueExA(Lichtaus+,1,C:\\Tools\\Lichtaus+.exe,23)", "RegCloseKey()",
                     test::Format("RegCreateKeyExA(%s,0,NULL,0,0x2001f,NULL,disp)", kUninstallKeyCall),
                     "RegSetValueExA(DisplayName,1,Lichtaus+,10)",
                     "RegSetValueExA(UninstallString,1,C:\\Tools\\Lichtaus+.exe /uninstall,34)", "RegCloseKey()",
                     "LoadImageA(1004,1,16,16,0)",
                     "Shell_NotifyIconA(NIM_MODIFY,size=88,tray,id=0,flags=2,callback=0x0,icon=1,tip=)",
                     "Shell_NotifyIconA(NIM_MODIFY,size=88,tray,id=0,flags=4,callback=0x0,icon=0,tip=Benutzer abmelden)",
                     "EndDialog(dialog,0)"}),
              fake.Calls({"WritePrivateProfileStringA", "RegOpenKeyExA", "RegCreateKeyExA", "RegSetValueExA",
                          "RegDeleteValueA", "RegDeleteKeyA", "RegCloseKey", "LoadImageA", "Shell_NotifyIconA",
                          "EndDialog"}));
    EXPECT_EQ("Benutzer abmelden|Ja|Nein|Einfacher Klick|Nein|Ja", Held());
}

TEST_F(OptionsDialog, OkSavesEveryKeyFromTheControlsWithTheRestartBoxInverted)
{
    const struct {
        std::vector<int> checked;
        const char* written;
        const char* tip;
    } cases[] = {
        // A greyed sub-option is saved as it is checked.
        {{131, 137, 139, 140},
         "Men\xfcpunkt=Windows beenden...|Ausschalten=Ja|Warmstart=Nein|Ausf\xfchren=Doppelklick|"
         "Best\xe4tigung=Nein|QuickInfo=Nein",
         "Windows beenden..."},
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
    EXPECT_EQ(FALSE, Send(WM_CLOSE));   // the dialog manager turns it into IDCANCEL

    EXPECT_EQ(Calls{"EndDialog(dialog,0)"}, fake.calls);
    EXPECT_EQ(contents, file.Read());
    EXPECT_EQ(held, Held());
    EXPECT_EQ((Bytes{1, 0, 0, 0}), StoredPolicy("NoClose"));
    EXPECT_EQ((Bytes{}), StoredPolicy("NoLogoff"));
    EXPECT_EQ("C:\\Someone\\else.exe", test::ReadText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, test::kUninstallKey));
}

} // namespace
