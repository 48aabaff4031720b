// The exit actions with Windows scripted: which calls they make, with which
// arguments, in which order, and what a refusal or a Cancel does.
#include <gtest/gtest.h>

#include "src/actions/exit_actions.h"
#include "support/program_state.h"
#include "support/registry_sandbox.h"

namespace {

using test::FakeWindows;
using Calls = std::vector<std::string>;

const char* const kPrivilegeCalls[] = {"OpenProcessToken", "LookupPrivilegeValueA", "AdjustTokenPrivileges",
                                       "CloseHandle"};

const char kAskShutDown[] = "MessageBoxA(NULL,Windows herunterfahren|Lichtaus+|0x10021)";
const char kEnable[] = "AdjustTokenPrivileges(token,0,count=1,luid=19,attributes=2,0,NULL,NULL)";
const char kDisable[] = "AdjustTokenPrivileges(token,0,count=1,luid=19,attributes=0,0,NULL,NULL)";

class ExitActions : public ::testing::Test {
protected:
    void SetUp() override { test::ResetProgramState(); }
    test::RegistrySandbox registry;
    FakeWindows fake;

    Calls ActionCalls() const
    {
        return fake.Calls({"MessageBoxA", "OpenProcessToken", "LookupPrivilegeValueA", "AdjustTokenPrivileges",
                           "CloseHandle", "ExitWindowsEx", "InitiateSystemShutdownA", "PostMessageA",
                           "SendMessageA", "FindWindowA", "ShellExecuteA"});
    }
};

TEST_F(ExitActions, AskOnlyWhenTheConfirmationSettingIsJaInAnyLetterCase)
{
    const struct {
        const char* setting;
        bool asks;
    } cases[] = {{"Ja", true}, {"ja", true}, {"JA", true}, {"Nein", false}, {"", false},
                 {"Yes", false}, {"1", false}, {"Ja ", false}};
    for (const auto& c : cases) {
        fake.calls.clear();
        lstrcpyA(config::settings.bestaetigung, c.setting);
        actions::Reboot();
        bool asked = !fake.Calls("MessageBoxA").empty() &&
                     fake.Calls("MessageBoxA")[0] == "MessageBoxA(NULL,Windows neu starten|Lichtaus+|0x10021)";
        EXPECT_EQ(c.asks, asked) << "\"" << c.setting << "\"";
        EXPECT_EQ(1u, fake.Calls("ExitWindowsEx").size()) << c.setting;
    }
}

TEST_F(ExitActions, CancelLeavesRegistryTokenAndWindowsUntouched)
{
    const struct {
        void (*action)();
        const char* question;
    } cases[] = {
        {actions::ShutDown, "Windows herunterfahren"},    {actions::PowerOff, "Windows herunterfahren"},
        {actions::Reboot, "Windows neu starten"},         {actions::LogOff, "Benutzer abmelden"},
        {actions::RestartWindowsOnly, "Windows neu starten"}, {actions::StartMsDosMode, "MS-DOS-Modus starten"},
    };
    lstrcpyA(config::settings.bestaetigung, "Ja");
    fake.messageBoxDefault = IDCANCEL;
    for (const auto& c : cases) {
        fake.calls.clear();
        c.action();
        EXPECT_EQ(Calls{test::Format("MessageBoxA(NULL,%s|Lichtaus+|0x10021)", c.question)}, fake.calls);
    }
    EXPECT_FALSE(test::KeyExists(HKEY_CURRENT_USER, test::kPolicyKey));
}

TEST_F(ExitActions, AQuestionThatCannotBeShownLetsTheActionGoOn)
{
    lstrcpyA(config::settings.bestaetigung, "Ja");
    fake.messageBoxDefault = 0;
    actions::Reboot();
    EXPECT_EQ(Calls{"ExitWindowsEx(2,0)"}, fake.Calls("ExitWindowsEx"));
}

TEST_F(ExitActions, BracketedCallsOnBothFamilies)
{
    const struct {
        void (*action)();
        const char* call;
        const char* label;
    } cases[] = {
        {actions::PowerOff, "ExitWindowsEx(9,0)", "Windows herunterfahren"},
        {actions::Reboot, "ExitWindowsEx(2,0)", "Windows neu starten"},
        {actions::ForcedPowerOff, "ExitWindowsEx(13,0)", "Force"},
    };
    for (bool nt : {true, false}) {
        program::ntFamily = nt;
        for (const auto& c : cases) {
            for (BOOL result : {TRUE, FALSE}) {
                fake.calls.clear();
                fake.exitWindowsResult = result;
                c.action();
                Calls expected = {"OpenProcessToken(0x28)", "LookupPrivilegeValueA(NULL,SeShutdownPrivilege)", kEnable,
                                  c.call};
                // A refusal is reported while the privilege is still held.
                if (!result)
                    expected.push_back(test::Format("MessageBoxA(NULL,%s|Lichtaus+|0x10010)", c.label));
                expected.push_back(kDisable);
                expected.push_back("CloseHandle(token)");
                EXPECT_EQ(expected, ActionCalls()) << c.call << (nt ? " NT" : " 9x") << " result " << result;
            }
        }
    }
}

TEST_F(ExitActions, ForcedPowerOffNeverAsks)
{
    lstrcpyA(config::settings.bestaetigung, "Ja");
    actions::ForcedPowerOff();
    EXPECT_TRUE(fake.Calls("MessageBoxA").empty());
    EXPECT_EQ(Calls{"ExitWindowsEx(13,0)"}, fake.Calls("ExitWindowsEx"));
}

TEST_F(ExitActions, ShutDownOnNtInitiatesAShutdownInsideTheBracket)
{
    program::ntFamily = true;
    lstrcpyA(config::settings.bestaetigung, "Ja");
    fake.shutdownResult = FALSE;
    actions::ShutDown();
    EXPECT_EQ((Calls{kAskShutDown, "OpenProcessToken(0x28)", "LookupPrivilegeValueA(NULL,SeShutdownPrivilege)",
                     kEnable, "InitiateSystemShutdownA(NULL,NULL,0,0,0)",
                     "MessageBoxA(NULL,Windows herunterfahren|Lichtaus+|0x10010)", kDisable, "CloseHandle(token)"}),
              ActionCalls());
}

TEST_F(ExitActions, ShutDownOn9xCallsExitWindowsWithoutTouchingTheToken)
{
    program::ntFamily = false;
    for (BOOL result : {TRUE, FALSE}) {
        fake.calls.clear();
        fake.exitWindowsResult = result;
        actions::ShutDown();
        Calls expected = {"ExitWindowsEx(1,0)"};
        if (!result)
            expected.push_back("MessageBoxA(NULL,Windows herunterfahren|Lichtaus+|0x10010)");
        EXPECT_EQ(expected, ActionCalls());
    }
}

// ShowShutdownDialog and LogOff lift their Explorer policy for the length of
// the request; `policy` is the stored first byte, or -1 for no value.
void SetPolicy(const char* name, int policy)
{
    if (policy >= 0)
        test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, name, REG_BINARY,
                         {static_cast<BYTE>(policy), 0, 0, 0});
}

std::string PolicyBytes(const char* name)
{
    DWORD type;
    std::vector<BYTE> data;
    if (!test::ReadValue(HKEY_CURRENT_USER, test::kPolicyKey, name, &type, &data))
        return "<absent>";
    std::string text;
    for (BYTE b : data)
        text += test::Format(text.empty() ? "%02x" : " %02x", b);
    return text;
}

TEST_F(ExitActions, ShowShutdownDialogPostsWhenNoCloseIsOffAndWritesNothing)
{
    lstrcpyA(config::settings.bestaetigung, "Ja");   // never asks
    actions::ShowShutdownDialog();
    EXPECT_EQ((Calls{"FindWindowA(Shell_TrayWnd,NULL)", "PostMessageA(taskbar,0x10,0,0)"}), ActionCalls());
    EXPECT_TRUE(fake.Calls("RegSetValueExA").empty());
    // The key is created, the value stays absent.
    EXPECT_TRUE(test::KeyExists(HKEY_CURRENT_USER, test::kPolicyKey));
    EXPECT_EQ("<absent>", PolicyBytes("NoClose"));
    EXPECT_EQ(1u, fake.Calls("RegCloseKey").size());
}

std::string policyDuringSend;

TEST_F(ExitActions, ShowShutdownDialogLiftsNoCloseWhileTheShellHandlesTheMessage)
{
    for (LRESULT answer : {0, 1}) {
        SetPolicy("NoClose", 1);
        fake.calls.clear();
        fake.sendMessageResult = answer;
        os::SendMessageA = [](HWND window, UINT message, WPARAM, LPARAM) WINAPI_LAMBDA -> LRESULT {
            policyDuringSend = PolicyBytes("NoClose");
            FakeWindows::current->Record(test::Format("SendMessageA(%s,0x%x)", window == test::kTaskbar ? "taskbar" : "?", message));
            return FakeWindows::current->sendMessageResult;
        };
        actions::ShowShutdownDialog();
        EXPECT_EQ("00 00 00 00", policyDuringSend);
        // Handled (0): the policy goes back on; any other answer leaves it off.
        EXPECT_EQ(answer == 0 ? "01 00 00 00" : "00 00 00 00", PolicyBytes("NoClose"));
        EXPECT_EQ((Calls{"FindWindowA(Shell_TrayWnd,NULL)", "SendMessageA(taskbar,0x10)"}), ActionCalls());
    }
}

TEST_F(ExitActions, AnUnknownPolicyByteMakesShowShutdownDialogAndLogOffDoNothing)
{
    SetPolicy("NoClose", 2);
    SetPolicy("NoLogoff", 2);
    actions::ShowShutdownDialog();
    actions::LogOff();
    EXPECT_TRUE(ActionCalls().empty());
    EXPECT_TRUE(fake.Calls("RegSetValueExA").empty());
    EXPECT_EQ(2u, fake.Calls("RegCloseKey").size());
}

TEST_F(ExitActions, LogOffClosesTheTrayWindowEvenWhenWindowsRefuses)
{
    for (BOOL result : {TRUE, FALSE}) {
        fake.calls.clear();
        fake.exitWindowsResult = result;
        actions::LogOff();
        Calls expected = {"ExitWindowsEx(0,0)"};
        if (!result)
            expected.push_back("MessageBoxA(NULL,Benutzer abmelden|Lichtaus+|0x10010)");
        expected.push_back("SendMessageA(tray,0x10,0,0)");
        EXPECT_EQ(expected, ActionCalls());
        EXPECT_TRUE(fake.Calls("RegSetValueExA").empty());
    }
}

TEST_F(ExitActions, LogOffLiftsNoLogoffAndRestoresItWhenTheWindowClosed)
{
    SetPolicy("NoLogoff", 1);
    lstrcpyA(config::settings.bestaetigung, "ja");
    actions::LogOff();
    EXPECT_EQ((Calls{"MessageBoxA(NULL,Benutzer abmelden|Lichtaus+|0x10021)", "ExitWindowsEx(0,0)",
                     "SendMessageA(tray,0x10,0,0)"}),
              ActionCalls());
    EXPECT_EQ((Calls{"RegSetValueExA(NoLogoff,3,00 00 00 00,4)", "RegSetValueExA(NoLogoff,3,01 00 00 00,4)"}),
              fake.Calls("RegSetValueExA"));
    EXPECT_EQ("01 00 00 00", PolicyBytes("NoLogoff"));
}

TEST_F(ExitActions, RestartWithoutWarmStartLogsOffOnNt)
{
    program::ntFamily = true;
    actions::RestartWithoutWarmStart();
    EXPECT_EQ((Calls{"ExitWindowsEx(0,0)", "SendMessageA(tray,0x10,0,0)"}), ActionCalls());
}

} // namespace
