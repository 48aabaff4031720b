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

bool IsActionLabel(const char* value)
{
    return FindDefaultAction(value) != nullptr;
}

bool IsOneOf(const char* value, const char* first, const char* second)
{
    return os::lstrcmpiA(value, first) == 0 || os::lstrcmpiA(value, second) == 0;
}

bool IsYesOrNo(const char* value)
{
    return IsOneOf(value, kYes, kNo);
}

bool IsClickMode(const char* value)
{
    return IsOneOf(value, kSingleClick, kDoubleClick);
}

struct SettingRule {
    const char* key;
    char* field;
    int capacity;
    const char* fallback;                // default when absent, and the value put in place of one not allowed
    bool (*allows)(const char* value);   // nullptr: every value is kept
};

// The order is the order of reading; each read is checked at once.
const SettingRule kRules[] = {
    {kKeyMenuepunkt, settings.menuepunkt, sizeof settings.menuepunkt, "Windows beenden...", IsActionLabel},
    {kKeyAusschalten, settings.ausschalten, sizeof settings.ausschalten, kYes, IsYesOrNo},
    {kKeyWarmstart, settings.warmstart, sizeof settings.warmstart, kYes, IsYesOrNo},
    {kKeyAusfuehren, settings.ausfuehren, sizeof settings.ausfuehren, kDoubleClick, IsClickMode},
    {kKeyQuickInfo, settings.quickInfo, sizeof settings.quickInfo, kYes, IsYesOrNo},
    {kKeyBestaetigung, settings.bestaetigung, sizeof settings.bestaetigung, kNo, nullptr},
};

} // namespace

void LoadSettings()
{
    // Without a name for its folder there is no file: every default.
    bool fromFile = program::PathsKnown();
    for (const SettingRule& rule : kRules) {
        if (fromFile)
            os::GetPrivateProfileStringA(kSection, rule.key, rule.fallback, rule.field, rule.capacity,
                                         program::settingsPath);
        if (!fromFile || (rule.allows && !rule.allows(rule.field)))
            os::lstrcpyA(rule.field, rule.fallback);
    }
}

bool SettingsFileExists()
{
    return os::FileExists(program::settingsPath);
}

void StoreSetting(const char* key, const char* value)
{
    if (program::PathsKnown())
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
    if (program::PathsKnown())
        os::GetPrivateProfileStringA(kSection, kKeyMsDosMode, fallback, file, kMsDosModeCapacity,
                                     program::settingsPath);
    else
        os::lstrcpyA(file, fallback);
}

void WriteMsDosModeFile(const char* file)
{
    os::WritePrivateProfileStringA(kSection, kKeyMsDosMode, file, program::settingsPath);
}

void FlushSettingsFile()
{
    os::WritePrivateProfileStringA(nullptr, nullptr, nullptr, program::settingsPath);
}

} // namespace config
