// The five actions a user can choose as default action, with every id that
// names the same action elsewhere: one row per action, one column per use.
#pragma once

#include "../../res/resource_ids.h"

namespace config {

struct DefaultAction {
    const char* label;   // the "Menüpunkt" value, also the prompt and error text
    int menuId;          // popup menu item and tray command
    int iconId;          // icon group shown in the notification area
    int radioId;         // radio button in the Options dialog
};

inline constexpr DefaultAction kDefaultActions[] = {
    {"Windows beenden...", IDM_SHUTDOWN_DIALOG, IDI_SHUTDOWN_DIALOG, IDC_ACTION_SHUTDOWN_DIALOG},
    {"Windows herunterfahren", IDM_SHUT_DOWN, IDI_SHUT_DOWN, IDC_ACTION_SHUT_DOWN},
    {"Windows neu starten", IDM_RESTART, IDI_RESTART, IDC_ACTION_RESTART},
    {"MS-DOS-Modus starten", IDM_MSDOS_MODE, IDI_MSDOS_MODE, IDC_ACTION_MSDOS_MODE},
    {"Benutzer abmelden", IDM_LOG_OFF, IDI_LOG_OFF, IDC_ACTION_LOG_OFF},
};

inline constexpr const char* kLabelShutdownDialog = kDefaultActions[0].label;
inline constexpr const char* kLabelShutDown = kDefaultActions[1].label;
inline constexpr const char* kLabelRestart = kDefaultActions[2].label;
inline constexpr const char* kLabelMsDosMode = kDefaultActions[3].label;
inline constexpr const char* kLabelLogOff = kDefaultActions[4].label;

// The row whose label equals the text (case-insensitively, in table order),
// or nullptr when none does.
const DefaultAction* FindDefaultAction(const char* label);

} // namespace config
