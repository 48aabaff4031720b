// The exit actions with Windows scripted: which calls they make, with which
// arguments, in which order, and what a refusal or a Cancel does.
#include <gtest/gtest.h>

#include "src/actions/exit_actions.h"
#include "support/program_state.h"
#include "support/registry_sandbox.h"

namespace {

using test::FakeWindows;
using Calls = std::vector<std::string>;

std::string Ask(const char* label)
{
    return test::Format("MessageBoxA(NULL,%s|Lichtaus+|0x10021)", label);
}
std::string Refused(const char* label)
{
    return test::Format("MessageBoxA(NULL,%s|Lichtaus+|0x10010)", label);
}

class ExitActions : public ::testing::Test {
protected:
    void SetUp() override { test::ResetProgramState(); }
    test::RegistrySandbox registry;
    FakeWindows fake;
};

// Only Cancel stops: a question that cannot be shown (0) lets the action go on.
TEST_F(ExitActions, AskOnlyWhenTheConfirmationSettingIsJaInAnyLetterCase)
{
    const struct {
        const char* setting;
        int answer;
        bool asks;
    } cases[] = {{"Ja", IDOK, true}, {"jA", 0, true}, {"Nein", IDOK, false}, {"", IDOK, false}, {"Ja ", IDOK, false}};
    for (const auto& c : cases) {
        fake.calls.clear();
        fake.messageBoxDefault = c.answer;
        lstrcpyA(config::settings.bestaetigung, c.setting);
        actions::Reboot();
        EXPECT_EQ(c.asks, fake.Calls("MessageBoxA") == Calls{Ask("Windows neu starten")}) << "\"" << c.setting << "\"";
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
        EXPECT_EQ(Calls{Ask(c.question)}, fake.calls);
    }
    EXPECT_FALSE(test::KeyExists(HKEY_CURRENT_USER, test::kPolicyKey));
}

// The question comes first; a refusal is reported while the privilege is
// still held; the forced power-off never asks; shutting down on the 9x family
// needs no privilege.
TEST_F(ExitActions, SystemCallsAreBracketedByTheShutdownPrivilege)
{
    const struct {
        void (*action)();
        bool nt;
        const char* call;
        const char* label;
        bool asks;
        bool bracketed;
    } cases[] = {
        {actions::ShutDown, true, "InitiateSystemShutdownA(NULL,NULL,0,0,0)", "Windows herunterfahren", true, true},
        {actions::ShutDown, false, "ExitWindowsEx(1,0)", "Windows herunterfahren", true, false},
        {actions::PowerOff, true, "ExitWindowsEx(9,0)", "Windows herunterfahren", true, true},
        {actions::PowerOff, false, "ExitWindowsEx(9,0)", "Windows herunterfahren", true, true},
        {actions::Reboot, true, "ExitWindowsEx(2,0)", "Windows neu starten", true, true},
        {actions::Reboot, false, "ExitWindowsEx(2,0)", "Windows neu starten", true, true},
        {actions::ForcedPowerOff, true, "ExitWindowsEx(13,0)", "Force", false, true},
        {actions::ForcedPowerOff, false, "ExitWindowsEx(13,0)", "Force", false, true},
    };
    lstrcpyA(config::settings.bestaetigung, "Ja");
    for (const auto& c : cases) {
        for (BOOL result : {TRUE, FALSE}) {
            fake.calls.clear();
            program::ntFamily = c.nt;
            fake.exitWindowsResult = fake.shutdownResult = result;
            c.action();
            Calls expected;
            if (c.asks)
                expected.push_back(Ask(c.label));
            if (c.bracketed)
                expected.insert(expected.end(), {"OpenProcessToken(0x28)", "LookupPrivilegeValueA(NULL,SeShutdownPrivilege)",
                                                 "AdjustTokenPrivileges(token,0,count=1,luid=19,attributes=2,0,NULL,NULL)"});
            expected.push_back(c.call);
            if (!result)
                expected.push_back(Refused(c.label));
            if (c.bracketed)
                expected.insert(expected.end(), {"AdjustTokenPrivileges(token,0,count=1,luid=19,attributes=0,0,NULL,NULL)",
                                                 "CloseHandle(token)"});
            EXPECT_EQ(expected, fake.Calls({"MessageBoxA", "OpenProcessToken", "LookupPrivilegeValueA",
                                            "AdjustTokenPrivileges", "CloseHandle", "ExitWindowsEx",
                                            "InitiateSystemShutdownA", "PostMessageA", "SendMessageA"}))
                << c.call << (c.nt ? " NT" : " 9x") << " result " << result;
        }
    }
}

void SetPolicy(const char* name, int policy)
{
    test::RegistrySandbox::Clear();
    if (policy >= 0)
        test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, name, REG_BINARY, {static_cast<BYTE>(policy), 0, 0, 0});
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

std::string Write(const char* policy, int flag)
{
    return test::Format("RegSetValueExA(%s,3,%02x 00 00 00,4)", policy, flag);
}

// ShowShutdownDialog and LogOff lift their Explorer policy for the length of
// the request: off (absent or 0) it stays as it is, on (1) it is lifted and
// put back once the request was handled (answered 0), and any other byte
// stops the action. Logging off closes the tray window, also when Windows
// refused. Each creates the key when it is missing and closes it again.
TEST_F(ExitActions, ThePolicyIsLiftedOnlyWhileTheRequestIsHandled)
{
    const char kFind[] = "FindWindowA(Shell_TrayWnd,NULL)";
    const char kPost[] = "PostMessageA(taskbar,0x10,0,0)";
    const char kSend[] = "SendMessageA(taskbar,0x10,0,0)";
    const char kExit[] = "ExitWindowsEx(0,0)";
    const char kClose[] = "SendMessageA(tray,0x10,0,0)";
    const char* const noClose = "NoClose";
    const char* const noLogoff = "NoLogoff";
    const struct {
        void (*action)();
        const char* policy;
        int stored;       // -1: no value
        LRESULT answer;   // of the taskbar or the tray window
        BOOL result;      // of ExitWindowsEx
        Calls calls;
        const char* after;
    } cases[] = {
        {actions::ShowShutdownDialog, noClose, -1, 0, TRUE, {kFind, kPost}, "<absent>"},
        {actions::ShowShutdownDialog, noClose, 0, 0, TRUE, {kFind, kPost}, "00 00 00 00"},
        {actions::ShowShutdownDialog, noClose, 1, 0, TRUE, {Write(noClose, 0), kFind, kSend, Write(noClose, 1)}, "01 00 00 00"},
        {actions::ShowShutdownDialog, noClose, 1, 1, TRUE, {Write(noClose, 0), kFind, kSend}, "00 00 00 00"},
        {actions::ShowShutdownDialog, noClose, 2, 0, TRUE, {}, "02 00 00 00"},
        {actions::LogOff, noLogoff, -1, 0, TRUE, {kExit, kClose}, "<absent>"},
        {actions::LogOff, noLogoff, 0, 0, FALSE, {kExit, Refused("Benutzer abmelden"), kClose}, "00 00 00 00"},
        {actions::LogOff, noLogoff, 1, 0, TRUE, {Write(noLogoff, 0), kExit, kClose, Write(noLogoff, 1)}, "01 00 00 00"},
        {actions::LogOff, noLogoff, 1, 1, TRUE, {Write(noLogoff, 0), kExit, kClose}, "00 00 00 00"},
        {actions::LogOff, noLogoff, 2, 0, TRUE, {}, "02 00 00 00"},
    };
    for (const auto& c : cases) {
        const std::string label = test::Format("%s %d answer %ld", c.policy, c.stored, static_cast<long>(c.answer));
        SetPolicy(c.policy, c.stored);
        fake.calls.clear();
        fake.sendMessageResult = c.answer;
        fake.exitWindowsResult = c.result;
        c.action();
        EXPECT_EQ(c.calls, fake.Calls({"FindWindowA", "PostMessageA", "SendMessageA", "ExitWindowsEx", "RegSetValueExA",
                                       "MessageBoxA"}))
            << label;
        EXPECT_EQ(c.after, PolicyBytes(c.policy)) << label;
        EXPECT_TRUE(test::KeyExists(HKEY_CURRENT_USER, test::kPolicyKey)) << label;
        EXPECT_EQ(1u, fake.Calls("RegCloseKey").size()) << label;
    }
}

} // namespace
