// The registry values that Windows and Explorer act on: the two start-menu
// policies, autostart, the uninstall entry and the one-shot RunOnce entry.
// Every key is opened or created at the start of one operation and closed at
// its end. Values are only read with read access, which user account control
// and an administrator's key security grant where they refuse writing.
//
// Autostart, the uninstall entry and RunOnce belong under HKEY_LOCAL_MACHINE;
// where that refuses the write, they go to the same path under
// HKEY_CURRENT_USER, and there is only ever one of each: a write for every
// user removes the user's own, and the user's own is not written while every
// user's names this program already.
#pragma once

#include <windows.h>

namespace config {

inline constexpr char kPolicyNoLogoff[] = "NoLogoff";
inline constexpr char kPolicyNoClose[] = "NoClose";

// Every read and write of both policy values passes through these four bytes:
// a read clears them and receives at most four bytes, a write sets only the
// first byte and stores all four.
extern BYTE policyBuffer[4];

// The policy key: created and opened for writing when `create` is set,
// otherwise only opened for reading. nullptr when it could not be had (for
// writing: on the NT family the key is an administrator's).
HKEY OpenPolicyKey(bool create);
// The first byte of the value: 0 off, 1 on, anything else neither.
// Reads 0 without a key or value.
BYTE ReadPolicyValue(HKEY key, const char* name);
// One value read through a key of its own.
BYTE ReadPolicy(const char* name);
void WritePolicyValue(HKEY key, const char* name, BYTE flag);
void ClosePolicyKey(HKEY key);
// Whether this user may change the policies: set values in the key, or
// create it where it is missing.
bool MayWritePolicies();

// True when the Run value for every user or the user's own names this program.
bool IsAutostartOn();
// Off removes the value in both places, and says so when one that names
// this program is left because the user may not remove it.
void SetAutostart(bool on);
void WriteUninstallEntry();
void WriteRunOnceEntry(const char* restartProgramPath);

// The whole "/uninstall" flow: question, registry clean-up, final message,
// which lists what is left when the user may not remove it.
void RunUninstallFlow();

} // namespace config
