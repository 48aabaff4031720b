// The user's choices: the settings file beside the executable and the
// in-memory Settings record that every other part of the program consults.
#pragma once

#include <windows.h>

namespace config {

// Six fixed-capacity texts named after their keys in the settings file.
// They hold the words as read ("ja" stays "ja"); every reader compares with
// lstrcmpiA, so letter case never changes behaviour.
struct Settings {
    char menuepunkt[48];    // the default action's label
    char ausschalten[16];   // "Ja": shutting down also powers off
    char warmstart[16];     // "Nein": restart Windows only (9x) / log off (NT)
    char ausfuehren[24];    // "Einfacher Klick" or "Doppelklick"
    char quickInfo[8];      // "Ja": the tooltip ends with " - Lichtaus+"
    char bestaetigung[8];   // "Ja": every exit action asks first
};

extern Settings settings;

inline constexpr char kSection[] = "Lichtaus+ Optionen";
inline constexpr char kKeyMenuepunkt[] = "Menüpunkt";
inline constexpr char kKeyAusschalten[] = "Ausschalten";
inline constexpr char kKeyWarmstart[] = "Warmstart";
inline constexpr char kKeyAusfuehren[] = "Ausführen";
inline constexpr char kKeyQuickInfo[] = "QuickInfo";
inline constexpr char kKeyBestaetigung[] = "Bestätigung";
inline constexpr char kKeyMsDosMode[] = "MS-DOS-Modus";

inline constexpr char kYes[] = "Ja";
inline constexpr char kNo[] = "Nein";
inline constexpr char kSingleClick[] = "Einfacher Klick";
inline constexpr char kDoubleClick[] = "Doppelklick";

// Reads and validates the six Settings from the file (tray mode start only).
void LoadSettings();

// True when the settings file exists (a file holding only "MS-DOS-Modus"
// counts too); false means this is a first start.
bool SettingsFileExists();

// Writes one of the six keys and copies the value into its Settings field,
// whether or not the write succeeded.
void StoreSetting(const char* key, const char* value);

// The "MS-DOS-Modus" key, read afresh on every use (not part of Settings).
// The default is the platform family's; a present but empty key stays empty.
constexpr int kMsDosModeCapacity = MAX_PATH;
void ReadMsDosModeFile(char (&file)[kMsDosModeCapacity]);
void WriteMsDosModeFile(const char* file);

// The 9x family keeps profile writes in a cache: this writes them to the
// settings file now, before another program is to read it.
void FlushSettingsFile();

} // namespace config
