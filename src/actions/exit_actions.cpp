// Showing the shell's Shut Down dialog, shutting down, powering off,
// restarting and logging off.
#include "exit_actions.h"

#include "../config/default_actions.h"
#include "../config/registry.h"
#include "../os/os.h"
#include "../program/message_box.h"
#include "../program/program.h"
#include "prompt.h"
#include "shutdown_privilege.h"

namespace actions {
namespace {

// A responsive shell shows its Shut Down dialog while it handles WM_CLOSE,
// and a person may take minutes to answer it, so the limit is minutes, not
// seconds. A shell that does not respond is left at once (SMTO_ABORTIFHUNG);
// the limit ends the wait on one whose hang Windows does not notice.
constexpr UINT kShellAnswerLimit = 5 * 60 * 1000;   // milliseconds

HWND Taskbar()
{
    return os::FindWindowA("Shell_TrayWnd", nullptr);
}

constexpr char kNoCloseKeptText[] =
    "Ein Administrator hat \"Beenden\" im Startmenü ausgeblendet.\n"
    "Lichtaus+ darf diese Einstellung nicht vorübergehend aufheben und\n"
    "kann deshalb das Dialogfeld \"Windows herunterfahren\" nicht öffnen.";
constexpr char kNoLogoffKeptText[] =
    "Ein Administrator hat \"Abmelden\" im Startmenü ausgeblendet.\n"
    "Lichtaus+ darf diese Einstellung nicht vorübergehend aufheben und\n"
    "meldet Sie deshalb nicht ab.";

// The policy key for the lift of a policy that is on. Where the user may not
// change it (on the NT family it is an administrator's), the administrator's
// choice stands: the action says so and does not act.
HKEY OpenLiftablePolicyKey(const char* keptText)
{
    HKEY policies = config::OpenPolicyKey(true);
    if (!policies)
        program::ShowMessage(keptText, MB_ICONINFORMATION);
    return policies;
}

// A policy that is on for every user of the machine hides the entry whatever
// the user's own value says, and only an administrator lifts it: the action
// says so and does not act. True when the action may go on.
bool MachinePolicyAllows(const char* name, const char* keptText)
{
    if (!config::MachinePolicyOn(name))
        return true;
    program::ShowMessage(keptText, MB_ICONINFORMATION);
    return false;
}

} // namespace

void ShowShutdownDialog()
{
    if (!MachinePolicyAllows(config::kPolicyNoClose, kNoCloseKeptText))
        return;
    switch (config::ReadPolicy(config::kPolicyNoClose)) {
    case 0:
        if (HWND taskbar = Taskbar())
            os::PostMessageA(taskbar, WM_CLOSE, 0, 0);
        break;
    case 1:
        // With "NoClose" on, the taskbar would refuse to show the dialog:
        // lift the policy while the shell handles the message. A result of 0
        // means it has been handled, so the policy goes back on; so it does
        // when the shell did not answer. Without a taskbar nothing is lifted.
        if (HWND taskbar = Taskbar()) {
            HKEY policies = OpenLiftablePolicyKey(kNoCloseKeptText);
            if (!policies)
                break;
            config::WritePolicyValue(policies, config::kPolicyNoClose, 0);
            DWORD_PTR result = 0;
            if (!os::SendMessageTimeoutA(taskbar, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kShellAnswerLimit, &result) ||
                result == 0)
                config::WritePolicyValue(policies, config::kPolicyNoClose, 1);
            config::ClosePolicyKey(policies);
        }
        break;
    default:
        break;
    }
}

void ShutDown()
{
    if (!Confirm(config::kLabelShutDown))
        return;
    if (program::ntFamily) {
        CallWithShutdownPrivilege(
            [] { return os::InitiateSystemShutdownA(nullptr, nullptr, 0, FALSE, FALSE); },
            config::kLabelShutDown);
    } else if (!os::ExitWindowsEx(EWX_SHUTDOWN, 0)) {
        ShowError(config::kLabelShutDown);
    }
}

void PowerOff()
{
    if (!Confirm(config::kLabelShutDown))
        return;
    CallWithShutdownPrivilege([] { return os::ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF, 0); },
                              config::kLabelShutDown);
}

void Reboot()
{
    if (!Confirm(config::kLabelRestart))
        return;
    CallWithShutdownPrivilege([] { return os::ExitWindowsEx(EWX_REBOOT, 0); }, config::kLabelRestart);
}

void ForcedPowerOff()
{
    CallWithShutdownPrivilege(
        [] { return os::ExitWindowsEx(EWX_SHUTDOWN | EWX_FORCE | EWX_POWEROFF, 0); }, "Force");
}

void LogOff()
{
    if (!Confirm(config::kLabelLogOff))
        return;
    BYTE noLogoff = config::ReadPolicy(config::kPolicyNoLogoff);
    if (noLogoff > 1 || !MachinePolicyAllows(config::kPolicyNoLogoff, kNoLogoffKeptText))
        return;
    HKEY policies = nullptr;
    if (noLogoff == 1) {
        policies = OpenLiftablePolicyKey(kNoLogoffKeptText);
        if (!policies)
            return;
        config::WritePolicyValue(policies, config::kPolicyNoLogoff, 0);
    }
    if (!os::ExitWindowsEx(EWX_LOGOFF, 0))
        ShowError(config::kLabelLogOff);
    // Closing the tray window removes the icon and ends the program, also
    // when Windows refused to log off. Its close handling returns 0, so a
    // lifted policy is on again before this action returns.
    if (os::SendMessageA(program::trayWindow, WM_CLOSE, 0, 0) == 0 && noLogoff == 1)
        config::WritePolicyValue(policies, config::kPolicyNoLogoff, 1);
    config::ClosePolicyKey(policies);
}

void RestartWithoutWarmStart()
{
    if (program::ntFamily)
        LogOff();
    else
        RestartWindowsOnly();
}

} // namespace actions
