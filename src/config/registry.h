// The registry values that Windows and Explorer act on: the two start-menu
// policies, autostart, the uninstall entry and the one-shot RunOnce entry.
// Every key is opened or created at the start of one operation and closed at
// its end; no failure is reported. Where HKEY_LOCAL_MACHINE refuses a write
// (user account control), the value goes to the same path under
// HKEY_CURRENT_USER, and readers and the uninstall flow look in both.
#pragma once

#include <windows.h>

namespace config {

inline constexpr char kPolicyNoLogoff[] = "NoLogoff";
inline constexpr char kPolicyNoClose[] = "NoClose";

// Every read and write of both policy values passes through these four bytes:
// a read clears them and receives at most four bytes, a write sets only the
// first byte and stores all four.
extern BYTE policyBuffer[4];

// The policy key, created when `create` is set, otherwise only opened.
// Returns nullptr when it could not be had.
HKEY OpenPolicyKey(bool create);
// The first byte of the value: 0 off, 1 on, anything else neither.
// Reads 0 without a key or value.
BYTE ReadPolicyValue(HKEY key, const char* name);
void WritePolicyValue(HKEY key, const char* name, BYTE flag);
void ClosePolicyKey(HKEY key);

bool IsAutostartOn();
void SetAutostart(bool on);
void WriteUninstallEntry();
void WriteRunOnceEntry(const char* restartProgramPath);

// The whole "/uninstall" flow: question, registry clean-up, final message.
void RunUninstallFlow();

} // namespace config
