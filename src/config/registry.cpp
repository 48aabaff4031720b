// Registry operations. Keys that are written are opened with KEY_READ|
// KEY_SET_VALUE|KEY_CREATE_SUB_KEY; keys that are only read are opened with
// KEY_READ, so that a value the user may not change is still seen.
#include "registry.h"

#include "../os/os.h"
#include "../program/message_box.h"
#include "command_text.h"

namespace config {

constinit BYTE policyBuffer[4] = {};

namespace {

constexpr REGSAM kAccess = 0x2001f;

constexpr char kPolicyKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunOnceKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kUninstallKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lichtaus+";
constexpr char kValueName[] = "Lichtaus+";
constexpr char kUninstallArgument[] = "/uninstall";

constexpr char kAutostartLeftText[] =
    "Der Autostart von Lichtaus+ konnte nicht ausgeschaltet werden.\n\n"
    "Der Eintrag gilt für alle Benutzer dieses Computers, und nur ein\n"
    "Administrator darf ihn entfernen. Lichtaus+ wird deshalb weiterhin\n"
    "bei jeder Anmeldung gestartet.\n\n"
    "Ein Administrator kann ihn entfernen: Lichtaus+ beenden, als\n"
    "Administrator neu starten und in den Optionen \"Autostart aktivieren\"\n"
    "ausschalten.";

constexpr char kUninstalledText[] =
    "Lichtaus+ deinstalliert.\n\nLöschen Sie jetzt die Lichtaus+ Dateien:\n"
    "- Lichtaus+.exe\n- Lichtaus+.txt\n- Lichtaus+.ini";
constexpr char kNotUninstalledText[] =
    "Lichtaus+ ist nicht vollständig deinstalliert.\n\n"
    "Folgende Einträge gelten für alle Benutzer dieses Computers, und\n"
    "nur ein Administrator darf sie entfernen:\n";
constexpr char kAutostartLeftLine[] = "- der Autostart von Lichtaus+\n";
constexpr char kUninstallEntryLeftLine[] = "- der Eintrag in der Liste der installierten Programme\n";
constexpr char kNotUninstalledEnd[] =
    "\nEin Administrator entfernt sie, indem er \"Lichtaus+.exe /uninstall\"\n"
    "als Administrator ausführt. Löschen Sie erst danach die\n"
    "Lichtaus+ Dateien:\n- Lichtaus+.exe\n- Lichtaus+.txt\n- Lichtaus+.ini";

HKEY CreateKey(HKEY root, const char* path)
{
    HKEY key = nullptr;
    DWORD disposition;
    if (os::RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess, nullptr, &key,
                            &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY OpenKey(HKEY root, const char* path, REGSAM access)
{
    HKEY key = nullptr;
    if (os::RegOpenKeyExA(root, path, 0, access, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

bool SetText(HKEY key, const char* name, const char* text)
{
    return os::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                              os::lstrlenA(text) + 1) == ERROR_SUCCESS;
}

struct NamedText {
    const char* name;
    const char* text;
};

// An entry that Windows acts on: the key, the value that holds the program's
// command and what follows the program's path in that command. The
// uninstall entry is a key of its own and goes as a whole.
struct Entry {
    const char* path;
    const char* commandValue;
    const char* argument;
    bool wholeKey;
};

constexpr Entry kRunEntry = {kRunKeyPath, kValueName, nullptr, false};
constexpr Entry kUninstallEntry = {kUninstallKeyPath, "UninstallString", kUninstallArgument, true};

// Creates the key and writes the texts in order; false as soon as the key
// or a value is refused.
bool WriteTexts(HKEY root, const Entry& entry, const NamedText* texts, int count)
{
    HKEY key = CreateKey(root, entry.path);
    if (!key)
        return false;
    bool written = true;
    for (int i = 0; written && i < count; ++i)
        written = SetText(key, texts[i].name, texts[i].text);
    os::RegCloseKey(key);
    return written;
}

// Whether the root holds the entry at all, whatever it names.
bool Exists(HKEY root, const Entry& entry)
{
    HKEY key = OpenKey(root, entry.path, KEY_READ);
    if (!key)
        return false;
    bool found = entry.wholeKey ||
                 os::RegQueryValueExA(key, entry.commandValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    os::RegCloseKey(key);
    return found;
}

// Whether the root's entry is this program's: its command names this
// executable with the entry's argument.
bool NamesProgram(HKEY root, const Entry& entry)
{
    HKEY key = program::PathsKnown() ? OpenKey(root, entry.path, KEY_READ) : nullptr;
    if (!key)
        return false;
    // Room for the longest command that counts and one byte more, which
    // stays NUL whatever was stored.
    char text[kRunOnceCommandCapacity + 1] = {};
    DWORD size = sizeof text - 1;
    LONG result = os::RegQueryValueExA(key, entry.commandValue, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(text), &size);
    os::RegCloseKey(key);
    return result == ERROR_SUCCESS && IsExecutableCommand(text, entry.argument);
}

// Removes the entry whatever it names; true when none is left afterwards.
bool Remove(HKEY root, const Entry& entry)
{
    if (entry.wholeKey) {
        os::RegDeleteKeyA(root, entry.path);
    } else if (HKEY key = OpenKey(root, entry.path, kAccess)) {
        os::RegDeleteValueA(key, entry.commandValue);
        os::RegCloseKey(key);
    }
    return !Exists(root, entry);
}

// For every user where the user may; otherwise for this user alone, unless
// the entry for every user names this program already (an administrator
// wrote it), which would make two.
void WriteForMachineOrUser(const Entry& entry, const NamedText* texts, int count)
{
    if (!program::PathsKnown())
        return;
    if (WriteTexts(HKEY_LOCAL_MACHINE, entry, texts, count) || NamesProgram(HKEY_LOCAL_MACHINE, entry))
        Remove(HKEY_CURRENT_USER, entry);
    else
        WriteTexts(HKEY_CURRENT_USER, entry, texts, count);
}

template <int count>
void WriteForMachineOrUser(const Entry& entry, const NamedText (&texts)[count])
{
    WriteForMachineOrUser(entry, texts, count);
}

// Removes the entry in both places; true when neither is left.
bool RemoveForMachineAndUser(const Entry& entry)
{
    bool machineGone = Remove(HKEY_LOCAL_MACHINE, entry);
    return Remove(HKEY_CURRENT_USER, entry) && machineGone;
}

} // namespace

HKEY OpenPolicyKey(bool create)
{
    return create ? CreateKey(HKEY_CURRENT_USER, kPolicyKeyPath)
                  : OpenKey(HKEY_CURRENT_USER, kPolicyKeyPath, KEY_READ);
}

BYTE ReadPolicyValue(HKEY key, const char* name)
{
    policyBuffer[0] = policyBuffer[1] = policyBuffer[2] = policyBuffer[3] = 0;
    if (!key)
        return 0;
    DWORD size = sizeof policyBuffer;
    // A value longer than four bytes does not fit; Windows leaves the buffer
    // undefined then, so such a value reads as off rather than as chance.
    if (os::RegQueryValueExA(key, name, nullptr, nullptr, policyBuffer, &size) == ERROR_MORE_DATA)
        policyBuffer[0] = policyBuffer[1] = policyBuffer[2] = policyBuffer[3] = 0;
    return policyBuffer[0];
}

BYTE ReadPolicy(const char* name)
{
    HKEY policies = OpenPolicyKey(false);
    BYTE value = ReadPolicyValue(policies, name);
    ClosePolicyKey(policies);
    return value;
}

void WritePolicyValue(HKEY key, const char* name, BYTE flag)
{
    policyBuffer[0] = flag;
    if (key)
        os::RegSetValueExA(key, name, 0, REG_BINARY, policyBuffer, sizeof policyBuffer);
}

void ClosePolicyKey(HKEY key)
{
    if (key)
        os::RegCloseKey(key);
}

bool MayWritePolicies()
{
    // The key itself where it exists; otherwise the nearest key above it
    // that exists must let the user create the missing ones.
    char path[sizeof kPolicyKeyPath];
    os::lstrcpyA(path, kPolicyKeyPath);
    REGSAM access = kAccess;   // as the writes open it
    for (;;) {
        HKEY key = nullptr;
        LONG result = os::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, access, &key);
        if (result == ERROR_SUCCESS)
            os::RegCloseKey(key);
        if (result != ERROR_FILE_NOT_FOUND)
            return result == ERROR_SUCCESS;
        int cut = os::lstrlenA(path);
        while (cut > 0 && path[cut] != '\\')
            --cut;
        if (cut == 0)
            return true;   // the user's own root
        path[cut] = '\0';
        access = KEY_CREATE_SUB_KEY;
    }
}

bool IsAutostartOn()
{
    return NamesProgram(HKEY_LOCAL_MACHINE, kRunEntry) || NamesProgram(HKEY_CURRENT_USER, kRunEntry);
}

void SetAutostart(bool on)
{
    // Without a name for its own file the program cannot tell its entry.
    if (!program::PathsKnown())
        return;
    if (on) {
        char command[kQuotedPathCapacity];
        FormatExecutableCommand(command, nullptr);
        WriteForMachineOrUser(kRunEntry, {{kValueName, command}});
        return;
    }
    RemoveForMachineAndUser(kRunEntry);
    if (IsAutostartOn())
        program::ShowMessage(kAutostartLeftText, MB_ICONERROR);
}

void WriteUninstallEntry()
{
    char command[kQuotedPathCapacity + sizeof kUninstallArgument];
    FormatExecutableCommand(command, kUninstallArgument);
    WriteForMachineOrUser(kUninstallEntry, {{"DisplayName", "Lichtaus+"}, {"UninstallString", command}});
}

void WriteRunOnceEntry(const char* restartProgramPath)
{
    char command[kRunOnceCommandCapacity];
    FormatRunOnceCommand(command, restartProgramPath);
    WriteForMachineOrUser({kRunOnceKeyPath, kValueName, restartProgramPath, false}, {{kValueName, command}});
}

void RunUninstallFlow()
{
    if (program::ShowMessage("Soll Lichtaus+ wirklich deinstalliert werden?", MB_ICONQUESTION | MB_YESNO,
                             "Lichtaus+ Deinstallation") != IDYES)
        return;

    HKEY policies = OpenPolicyKey(true);
    WritePolicyValue(policies, kPolicyNoLogoff, 0);
    WritePolicyValue(policies, kPolicyNoClose, 0);
    ClosePolicyKey(policies);

    bool autostartGone = RemoveForMachineAndUser(kRunEntry);
    bool uninstallEntryGone = RemoveForMachineAndUser(kUninstallEntry);
    if (autostartGone && uninstallEntryGone) {
        program::ShowMessage(kUninstalledText, MB_ICONINFORMATION);
        return;
    }
    char text[sizeof kNotUninstalledText + sizeof kAutostartLeftLine + sizeof kUninstallEntryLeftLine +
              sizeof kNotUninstalledEnd];
    os::lstrcpyA(text, kNotUninstalledText);
    if (!autostartGone)
        os::lstrcatA(text, kAutostartLeftLine);
    if (!uninstallEntryGone)
        os::lstrcatA(text, kUninstallEntryLeftLine);
    os::lstrcatA(text, kNotUninstalledEnd);
    program::ShowMessage(text, MB_ICONERROR);
}

} // namespace config
