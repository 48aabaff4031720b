// Registry operations. Keys that are written are opened with KEY_READ|
// KEY_SET_VALUE|KEY_CREATE_SUB_KEY; the Run keys are only read with KEY_READ,
// which user account control grants where it refuses writing.
#include "registry.h"

#include "../os/os.h"
#include "../program/message_box.h"
#include "command_text.h"

namespace config {

constinit BYTE policyBuffer[4] = {};

namespace {

constexpr REGSAM kAccess = 0x2001f;
constexpr REGSAM kReadAccess = KEY_READ;

constexpr char kPolicyKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunOnceKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kUninstallKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lichtaus+";
constexpr char kValueName[] = "Lichtaus+";

HKEY CreateKey(HKEY root, const char* path)
{
    HKEY key = nullptr;
    DWORD disposition;
    if (os::RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess, nullptr, &key,
                            &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY OpenKey(HKEY root, const char* path, REGSAM access = kAccess)
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

// Creates the key and writes the texts in order; false as soon as the key
// or a value is refused.
bool WriteTexts(HKEY root, const char* path, const NamedText* texts, int count)
{
    HKEY key = CreateKey(root, path);
    if (!key)
        return false;
    bool written = true;
    for (int i = 0; written && i < count; ++i)
        written = SetText(key, texts[i].name, texts[i].text);
    os::RegCloseKey(key);
    return written;
}

// The Run, RunOnce and Uninstall values belong under HKEY_LOCAL_MACHINE.
// User account control (Vista on) refuses writes there to a program that is
// not elevated; the same values under HKEY_CURRENT_USER are run for the user
// and listed among the installed programs all the same.
void WriteForMachineOrUser(const char* path, const NamedText* texts, int count)
{
    if (!WriteTexts(HKEY_LOCAL_MACHINE, path, texts, count))
        WriteTexts(HKEY_CURRENT_USER, path, texts, count);
}

template <int count>
void WriteForMachineOrUser(const char* path, const NamedText (&texts)[count])
{
    WriteForMachineOrUser(path, texts, count);
}

// True when the root's Run value names this executable.
bool RunValueNamesProgram(HKEY root)
{
    HKEY key = OpenKey(root, kRunKeyPath, kReadAccess);
    if (!key)
        return false;
    // Room for the longest text that counts (the path in quotes) and one
    // byte more, which stays NUL whatever was stored.
    char text[kQuotedPathCapacity + 1] = {};
    DWORD size = sizeof text - 1;
    LONG result = os::RegQueryValueExA(key, kValueName, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(text), &size);
    os::RegCloseKey(key);
    return result == ERROR_SUCCESS && IsExecutableCommand(text);
}

void DeleteRunValueAndClose(HKEY key)
{
    os::RegDeleteValueA(key, kValueName);
    os::RegCloseKey(key);
}

} // namespace

HKEY OpenPolicyKey(bool create)
{
    return create ? CreateKey(HKEY_CURRENT_USER, kPolicyKeyPath)
                  : OpenKey(HKEY_CURRENT_USER, kPolicyKeyPath);
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

bool IsAutostartOn()
{
    return RunValueNamesProgram(HKEY_LOCAL_MACHINE) || RunValueNamesProgram(HKEY_CURRENT_USER);
}

void SetAutostart(bool on)
{
    if (on) {
        char command[kQuotedPathCapacity];
        FormatExecutableCommand(command, nullptr);
        WriteForMachineOrUser(kRunKeyPath, {{kValueName, command}});
        return;
    }
    // Off in both places, wherever an earlier start put it.
    if (HKEY run = CreateKey(HKEY_LOCAL_MACHINE, kRunKeyPath))
        DeleteRunValueAndClose(run);
    if (HKEY run = OpenKey(HKEY_CURRENT_USER, kRunKeyPath))
        DeleteRunValueAndClose(run);
}

void WriteUninstallEntry()
{
    char command[kQuotedPathCapacity + 11];
    FormatExecutableCommand(command, "/uninstall");
    WriteForMachineOrUser(kUninstallKeyPath, {{"DisplayName", "Lichtaus+"}, {"UninstallString", command}});
}

void WriteRunOnceEntry(const char* restartProgramPath)
{
    char command[kRunOnceCommandCapacity];
    FormatRunOnceCommand(command, restartProgramPath);
    WriteForMachineOrUser(kRunOnceKeyPath, {{kValueName, command}});
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

    if (HKEY run = OpenKey(HKEY_LOCAL_MACHINE, kRunKeyPath))
        DeleteRunValueAndClose(run);
    if (HKEY run = OpenKey(HKEY_CURRENT_USER, kRunKeyPath))
        DeleteRunValueAndClose(run);

    os::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKeyPath);
    os::RegDeleteKeyA(HKEY_CURRENT_USER, kUninstallKeyPath);

    program::ShowMessage("Lichtaus+ deinstalliert.\n\nLöschen Sie jetzt die Lichtaus+ Dateien:\n"
                         "- Lichtaus+.exe\n- Lichtaus+.txt\n- Lichtaus+.ini",
                         MB_ICONINFORMATION);
}

} // namespace config
