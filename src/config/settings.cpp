// Loading, validating and storing the settings file through the profile-string
// functions, which open, parse, rewrite and close the file within each call.
#include "settings.h"

#include "../os/files.h"
#include "../os/os.h"
#include "../program/program.h"
#include "default_actions.h"

namespace config {

constinit Settings settings = {};

namespace {

struct SettingRule {
    const char* key;
    char* field;
    int capacity;
    const char* fallback;        // default when absent, and the value put in place of one not allowed
    const char* allowed[2];      // nullptr ends the list; labels are checked through the action table
    bool validated;
};

// The order is the order of reading; each read is validated at once.
const SettingRule kRules[] = {
    {kKeyMenuepunkt, settings.menuepunkt, sizeof settings.menuepunkt, "Windows beenden...", {}, true},
    {kKeyAusschalten, settings.ausschalten, sizeof settings.ausschalten, kYes, {kYes, kNo}, true},
    {kKeyWarmstart, settings.warmstart, sizeof settings.warmstart, kYes, {kYes, kNo}, true},
    {kKeyAusfuehren, settings.ausfuehren, sizeof settings.ausfuehren, kDoubleClick, {kSingleClick, kDoubleClick}, true},
    {kKeyQuickInfo, settings.quickInfo, sizeof settings.quickInfo, kYes, {kYes, kNo}, true},
    {kKeyBestaetigung, settings.bestaetigung, sizeof settings.bestaetigung, kNo, {}, false},
};

bool IsAllowed(const SettingRule& rule)
{
    if (rule.field == settings.menuepunkt)
        return FindDefaultAction(rule.field) != nullptr;
    for (const char* value : rule.allowed) {
        if (value && os::lstrcmpiA(rule.field, value) == 0)
            return true;
    }
    return false;
}

} // namespace

void LoadSettings()
{
    for (const SettingRule& rule : kRules) {
        os::GetPrivateProfileStringA(kSection, rule.key, rule.fallback, rule.field, rule.capacity,
                                     program::settingsPath);
        if (rule.validated && !IsAllowed(rule))
            os::lstrcpyA(rule.field, rule.fallback);
    }
}

bool SettingsFileExists()
{
    return os::FileExists(program::settingsPath);
}

void StoreSetting(const char* key, const char* value)
{
    os::WritePrivateProfileStringA(kSection, key, value, program::settingsPath);
    for (const SettingRule& rule : kRules) {
        if (os::lstrcmpiA(rule.key, key) == 0) {
            os::lstrcpynA(rule.field, value, rule.capacity);
            return;
        }
    }
}

void ReadMsDosModeFile(char (&file)[kMsDosModeCapacity])
{
    const char* fallback = program::ntFamily ? "Eingabeaufforderung.lnk" : "MS-DOS-Modus.pif";
    os::GetPrivateProfileStringA(kSection, kKeyMsDosMode, fallback, file, kMsDosModeCapacity,
                                 program::settingsPath);
}

void WriteMsDosModeFile(const char* file)
{
    os::WritePrivateProfileStringA(kSection, kKeyMsDosMode, file, program::settingsPath);
}

} // namespace config
