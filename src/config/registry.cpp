// Registry operations. Keys that are written are opened with read and write
// access; keys that are only read are opened with KEY_READ, so that a value
// the user may not change is still seen. Nothing here talks to the user:
// what is refused or left comes back to the caller, who tells.
#include "registry.h"

#include "../os/os.h"
#include "../os/system_library.h"
#include "command_text.h"

namespace config {

constinit BYTE policyBuffer[4] = {};

namespace {

// Read, set values and create subkeys: 0x2001f, what every write opens with.
constexpr REGSAM kReadWriteAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
static_assert(kReadWriteAccess == 0x2001f);

constexpr char kPolicyKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunOnceKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kUninstallKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lichtaus+";
constexpr char kValueName[] = "Lichtaus+";
constexpr char kUninstallArgument[] = "/uninstall";

HKEY CreateKey(HKEY root, const char* path)
{
    HKEY key = nullptr;
    DWORD disposition;
    if (os::RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, kReadWriteAccess, nullptr, &key,
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
    HKEY key = OpenKey(root, entry.path, KEY_READ);
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
    } else if (HKEY key = OpenKey(root, entry.path, kReadWriteAccess)) {
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

// Task Manager's "disabled" mark of a Run value (Windows 8 to 11): a value of
// the program's name in the same root, whose first byte is odd (3) while the
// entry is switched off. A 32-bit program's value for every user lies in the
// 32-bit view on 64-bit Windows; its mark is under Run32 in the 64-bit view.
struct StartupMark {
    const char* path;
    REGSAM view;
};

// KEY_WOW64_64KEY for a 32-bit process on 64-bit Windows, to read what
// Windows itself reads below HKEY_LOCAL_MACHINE; 0 elsewhere (Windows 2000
// and older know no such flag, nor IsWow64Process).
REGSAM NativeView()
{
    BOOL wow64 = FALSE;
    if (auto isWow64Process = os::Find<BOOL(WINAPI*)(HANDLE, PBOOL)>("kernel32.dll", "IsWow64Process"))
        isWow64Process(os::GetCurrentProcess(), &wow64);
    return wow64 ? KEY_WOW64_64KEY : 0;
}

StartupMark StartupMarkOf(HKEY root)
{
    if (root == HKEY_LOCAL_MACHINE && NativeView())
        return {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run32", KEY_WOW64_64KEY};
    return {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run", 0};
}

bool SwitchedOffInTaskManager(HKEY root)
{
    StartupMark mark = StartupMarkOf(root);
    HKEY key = OpenKey(root, mark.path, KEY_READ | mark.view);
    if (!key)
        return false;
    BYTE state[12] = {};
    DWORD size = sizeof state;
    LONG result = os::RegQueryValueExA(key, kValueName, nullptr, nullptr, state, &size);
    os::RegCloseKey(key);
    return result == ERROR_SUCCESS && (state[0] & 1) != 0;
}

// What Task Manager does when it switches the entry on again.
void RemoveTaskManagerMark(HKEY root)
{
    StartupMark mark = StartupMarkOf(root);
    if (HKEY key = OpenKey(root, mark.path, kReadWriteAccess | mark.view)) {
        os::RegDeleteValueA(key, kValueName);
        os::RegCloseKey(key);
    }
}

bool StartsAtLogon(HKEY root)
{
    return NamesProgram(root, kRunEntry) && !SwitchedOffInTaskManager(root);
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

bool MachinePolicyOn(const char* name)
{
    HKEY policies = OpenKey(HKEY_LOCAL_MACHINE, kPolicyKeyPath, KEY_READ | NativeView());
    // Read aside, so that the user's values keep the policy buffer.
    BYTE value[4] = {};
    DWORD size = sizeof value;
    bool on = policies && os::RegQueryValueExA(policies, name, nullptr, nullptr, value, &size) == ERROR_SUCCESS &&
              value[0] == 1;
    ClosePolicyKey(policies);
    return on;
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
    REGSAM access = kReadWriteAccess;   // as the writes open it
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
    return StartsAtLogon(HKEY_LOCAL_MACHINE) || StartsAtLogon(HKEY_CURRENT_USER);
}

bool SetAutostart(bool on)
{
    if (!on) {
        RemoveForMachineAndUser(kRunEntry);
        return !IsAutostartOn();
    }
    char command[kQuotedPathCapacity];
    FormatExecutableCommand(command, nullptr);
    WriteForMachineOrUser(kRunEntry, {{kValueName, command}});
    const HKEY roots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
    for (HKEY root : roots) {
        if (NamesProgram(root, kRunEntry))
            RemoveTaskManagerMark(root);
    }
    return IsAutostartOn();
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

UninstallLeftovers RemoveAllEntries()
{
    HKEY policies = OpenPolicyKey(true);
    WritePolicyValue(policies, kPolicyNoLogoff, 0);
    WritePolicyValue(policies, kPolicyNoClose, 0);
    ClosePolicyKey(policies);

    UninstallLeftovers left;
    left.autostart = !RemoveForMachineAndUser(kRunEntry);
    // Task Manager's marks would outlive the entries they mark.
    RemoveTaskManagerMark(HKEY_LOCAL_MACHINE);
    RemoveTaskManagerMark(HKEY_CURRENT_USER);
    left.uninstallEntry = !RemoveForMachineAndUser(kUninstallEntry);
    // Read back: where only an administrator may write the key, the reset
    // fails without a word, and the start menu would stay as it was.
    left.noLogoff = ReadPolicy(kPolicyNoLogoff) == 1;
    left.noClose = ReadPolicy(kPolicyNoClose) == 1;
    return left;
}

} // namespace config
