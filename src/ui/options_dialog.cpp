// The Options dialog: shows the Settings in memory and the registry values,
// and writes all of them back on OK in one readable order. Cancel, Esc and
// the close box write nothing.
#include "../../res/resource_ids.h"
#include "../config/default_actions.h"
#include "../config/registry.h"
#include "../config/settings.h"
#include "../os/os.h"
#include "../program/message_box.h"
#include "../program/program.h"
#include "dialogs.h"
#include "tray_icon.h"

namespace ui {
namespace {

constexpr char kAutostartNotOnText[] =
    "Der Autostart von Lichtaus+ konnte nicht eingeschaltet werden.\n\n"
    "Windows lässt Lichtaus+ den Eintrag weder für alle Benutzer dieses\n"
    "Computers noch für Sie allein schreiben.\n\n"
    "Ein Administrator kann ihn einschalten: Lichtaus+ beenden, als\n"
    "Administrator neu starten und in den Optionen \"Autostart aktivieren\"\n"
    "einschalten. Hat ein Administrator ihn im Task-Manager unter\n"
    "\"Autostart\" deaktiviert, kann er ihn dort wieder aktivieren.";
constexpr char kAutostartLeftText[] =
    "Der Autostart von Lichtaus+ konnte nicht ausgeschaltet werden.\n\n"
    "Der Eintrag gilt für alle Benutzer dieses Computers, und nur ein\n"
    "Administrator darf ihn entfernen. Lichtaus+ wird deshalb weiterhin\n"
    "bei jeder Anmeldung gestartet.\n\n"
    "Ein Administrator kann ihn entfernen: Lichtaus+ beenden, als\n"
    "Administrator neu starten und in den Optionen \"Autostart aktivieren\"\n"
    "ausschalten.";

// The two policy boxes and their values.
constexpr struct {
    int id;
    const char* name;
} kPolicyBoxes[] = {{IDC_HIDE_LOG_OFF, config::kPolicyNoLogoff}, {IDC_HIDE_SHUT_DOWN, config::kPolicyNoClose}};

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
    // not change them. Then their boxes are greyed. A policy that is on for
    // every user of the machine is what Explorer does, whatever the user's.
    HKEY policies = config::OpenPolicyKey(false);
    for (const auto& box : kPolicyBoxes)
        CheckForPolicy(dialog, box.id, config::ReadPolicyValue(policies, box.name));
    config::ClosePolicyKey(policies);
    bool mayChangePolicies = config::MayWritePolicies();
    for (const auto& box : kPolicyBoxes) {
        bool machineWide = config::MachinePolicyOn(box.name);
        if (machineWide)
            os::CheckDlgButton(dialog, box.id, BST_CHECKED);
        Enable(dialog, box.id, mayChangePolicies && !machineWide);
    }

    // Without a name for its folder the program tests and writes no entry
    // naming it.
    bool pathsKnown = program::PathsKnown();
    os::CheckDlgButton(dialog, IDC_AUTOSTART, pathsKnown && config::IsAutostartOn() ? BST_CHECKED : BST_UNCHECKED);
    Enable(dialog, IDC_AUTOSTART, pathsKnown);
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

    // A box that shows the machine's policy does not stand for the user's
    // own value, which stays as it is.
    HKEY policies = config::OpenPolicyKey(true);
    for (const auto& box : kPolicyBoxes) {
        if (!config::MachinePolicyOn(box.name))
            config::WritePolicyValue(policies, box.name, IsChecked(dialog, box.id));
    }
    config::ClosePolicyKey(policies);
    if (program::PathsKnown()) {
        bool autostart = IsChecked(dialog, IDC_AUTOSTART);
        if (!config::SetAutostart(autostart))
            program::ShowMessage(autostart ? kAutostartNotOnText : kAutostartLeftText, MB_ICONERROR);
        config::WriteUninstallEntry();
    }

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
