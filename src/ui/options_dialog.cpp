// The Options dialog: shows the Settings in memory and the registry values,
// and writes all of them back on OK in one readable order. Cancel, Esc and
// the close box write nothing.
#include "../../res/resource_ids.h"
#include "../config/default_actions.h"
#include "../config/registry.h"
#include "../config/settings.h"
#include "../os/os.h"
#include "../program/program.h"
#include "dialogs.h"
#include "tray_icon.h"

namespace ui {
namespace {

bool Equals(const char* text, const char* word)
{
    return os::lstrcmpiA(text, word) == 0;
}

void Enable(HWND dialog, int id, bool enabled)
{
    os::EnableWindow(os::GetDlgItem(dialog, id), enabled);
}

// "und Computer ausschalten" belongs to shutting down and "ohne Warmstart" to
// restarting: each is enabled exactly while its action is the chosen one.
void ApplyEnablingRule(HWND dialog, int radioId)
{
    Enable(dialog, IDC_POWER_OFF, radioId == IDC_ACTION_SHUT_DOWN);
    Enable(dialog, IDC_NO_WARM_START, radioId == IDC_ACTION_RESTART);
}

void SelectIfDefaultAction(HWND dialog, const config::DefaultAction& action)
{
    if (!Equals(config::settings.menuepunkt, action.label))
        return;
    os::CheckRadioButton(dialog, IDC_ACTION_SHUTDOWN_DIALOG, IDC_ACTION_LOG_OFF, action.radioId);
    ApplyEnablingRule(dialog, action.radioId);
}

// Checks the box for one of two words and leaves it alone for anything else.
void CheckForWord(HWND dialog, int id, const char* value, const char* checkedWord, const char* uncheckedWord)
{
    if (Equals(value, checkedWord))
        os::CheckDlgButton(dialog, id, BST_CHECKED);
    else if (Equals(value, uncheckedWord))
        os::CheckDlgButton(dialog, id, BST_UNCHECKED);
}

// 0 unchecks, 1 checks; any other byte is neither and leaves the box as the
// template has it, unchecked.
void CheckForPolicy(HWND dialog, int id, BYTE value)
{
    if (value <= 1)
        os::CheckDlgButton(dialog, id, value ? BST_CHECKED : BST_UNCHECKED);
}

void OnInitDialog(HWND dialog)
{
    const config::Settings& settings = config::settings;
    const auto& actions = config::kDefaultActions;
    SelectIfDefaultAction(dialog, actions[0]);
    SelectIfDefaultAction(dialog, actions[1]);
    CheckForWord(dialog, IDC_POWER_OFF, settings.ausschalten, config::kYes, config::kNo);
    SelectIfDefaultAction(dialog, actions[2]);
    CheckForWord(dialog, IDC_NO_WARM_START, settings.warmstart, config::kNo, config::kYes);
    SelectIfDefaultAction(dialog, actions[3]);
    SelectIfDefaultAction(dialog, actions[4]);

    if (Equals(settings.ausfuehren, config::kSingleClick))
        os::CheckRadioButton(dialog, IDC_SINGLE_CLICK, IDC_DOUBLE_CLICK, IDC_SINGLE_CLICK);
    else if (Equals(settings.ausfuehren, config::kDoubleClick))
        os::CheckRadioButton(dialog, IDC_SINGLE_CLICK, IDC_DOUBLE_CLICK, IDC_DOUBLE_CLICK);
    CheckForWord(dialog, IDC_QUICK_INFO, settings.quickInfo, config::kYes, config::kNo);
    CheckForWord(dialog, IDC_CONFIRM, settings.bestaetigung, config::kYes, config::kNo);

    // Only opened, for reading: showing the dialog must not create the policy
    // key, and an administrator's values must show although the user may
    // not change them. Then their boxes are greyed.
    HKEY policies = config::OpenPolicyKey(false);
    CheckForPolicy(dialog, IDC_HIDE_LOG_OFF, config::ReadPolicyValue(policies, config::kPolicyNoLogoff));
    CheckForPolicy(dialog, IDC_HIDE_SHUT_DOWN, config::ReadPolicyValue(policies, config::kPolicyNoClose));
    config::ClosePolicyKey(policies);
    bool mayChangePolicies = config::MayWritePolicies();
    Enable(dialog, IDC_HIDE_LOG_OFF, mayChangePolicies);
    Enable(dialog, IDC_HIDE_SHUT_DOWN, mayChangePolicies);

    os::CheckDlgButton(dialog, IDC_AUTOSTART, config::IsAutostartOn() ? BST_CHECKED : BST_UNCHECKED);
    // Without a name for its folder the program writes no entry naming it.
    Enable(dialog, IDC_AUTOSTART, program::PathsKnown());
}

bool IsChecked(HWND dialog, int id)
{
    return os::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

const char* YesOrNo(bool yes)
{
    return yes ? config::kYes : config::kNo;
}

// Every key is written on every OK, changed or not; a disabled box is saved
// like an enabled one.
void Save(HWND dialog)
{
    for (const config::DefaultAction& action : config::kDefaultActions) {
        if (IsChecked(dialog, action.radioId))
            config::StoreSetting(config::kKeyMenuepunkt, action.label);
    }
    config::StoreSetting(config::kKeyAusschalten, YesOrNo(IsChecked(dialog, IDC_POWER_OFF)));
    config::StoreSetting(config::kKeyWarmstart, YesOrNo(!IsChecked(dialog, IDC_NO_WARM_START)));
    if (IsChecked(dialog, IDC_SINGLE_CLICK))
        config::StoreSetting(config::kKeyAusfuehren, config::kSingleClick);
    if (IsChecked(dialog, IDC_DOUBLE_CLICK))
        config::StoreSetting(config::kKeyAusfuehren, config::kDoubleClick);
    config::StoreSetting(config::kKeyBestaetigung, YesOrNo(IsChecked(dialog, IDC_CONFIRM)));
    config::StoreSetting(config::kKeyQuickInfo, YesOrNo(IsChecked(dialog, IDC_QUICK_INFO)));

    HKEY policies = config::OpenPolicyKey(true);
    config::WritePolicyValue(policies, config::kPolicyNoLogoff, IsChecked(dialog, IDC_HIDE_LOG_OFF));
    config::WritePolicyValue(policies, config::kPolicyNoClose, IsChecked(dialog, IDC_HIDE_SHUT_DOWN));
    config::ClosePolicyKey(policies);
    config::SetAutostart(IsChecked(dialog, IDC_AUTOSTART));
    config::WriteUninstallEntry();

    UpdateTrayIcon();
    UpdateTrayTip();
}

} // namespace

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        // The whole wParam: only clicks (notification code 0) match.
        switch (wParam) {
        case IDOK:
            Save(dialog);
            os::EndDialog(dialog, 0);
            return TRUE;
        case IDCANCEL:
            os::EndDialog(dialog, 0);
            return TRUE;
        case IDC_ACTION_SHUTDOWN_DIALOG:
        case IDC_ACTION_SHUT_DOWN:
        case IDC_ACTION_RESTART:
        case IDC_ACTION_MSDOS_MODE:
        case IDC_ACTION_LOG_OFF:
            ApplyEnablingRule(dialog, static_cast<int>(wParam));
            return FALSE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

void ShowOptionsDialog()
{
    os::DialogBoxParamA(program::instance, "LAOptions", program::trayWindow, OptionsDialogProc, 0);
}

} // namespace ui
