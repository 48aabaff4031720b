// Registry operations. Keys are always opened with KEY_READ|KEY_SET_VALUE|
// KEY_CREATE_SUB_KEY, also where only a read follows.
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

HKEY CreateKey(HKEY root, const char* path)
{
    HKEY key = nullptr;
    DWORD disposition;
    if (os::RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess, nullptr, &key,
                            &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY OpenKey(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (os::RegOpenKeyExA(root, path, 0, kAccess, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

void SetText(HKEY key, const char* name, const char* text)
{
    os::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       os::lstrlenA(text) + 1);
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
    HKEY key = OpenKey(HKEY_LOCAL_MACHINE, kRunKeyPath);
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

void SetAutostart(bool on)
{
    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kRunKeyPath);
    if (!key)
        return;
    if (on) {
        char command[kQuotedPathCapacity];
        FormatExecutableCommand(command, nullptr);
        SetText(key, kValueName, command);
    } else {
        os::RegDeleteValueA(key, kValueName);
    }
    os::RegCloseKey(key);
}

void WriteUninstallEntry()
{
    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kUninstallKeyPath);
    if (!key)
        return;
    SetText(key, "DisplayName", "Lichtaus+");
    char command[kQuotedPathCapacity + 11];
    FormatExecutableCommand(command, "/uninstall");
    SetText(key, "UninstallString", command);
    os::RegCloseKey(key);
}

void WriteRunOnceEntry(const char* restartProgramPath)
{
    char command[kRunOnceCommandCapacity];
    FormatRunOnceCommand(command, restartProgramPath);
    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, kRunOnceKeyPath);
    if (!key)
        return;
    SetText(key, kValueName, command);
    os::RegCloseKey(key);
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

    if (HKEY run = OpenKey(HKEY_LOCAL_MACHINE, kRunKeyPath)) {
        os::RegDeleteValueA(run, kValueName);
        os::RegCloseKey(run);
    }

    os::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKeyPath);

    program::ShowMessage("Lichtaus+ deinstalliert.\n\nLöschen Sie jetzt die Lichtaus+ Dateien:\n"
                         "- Lichtaus+.exe\n- Lichtaus+.txt\n- Lichtaus+.ini",
                         MB_ICONINFORMATION);
}

} // namespace config
