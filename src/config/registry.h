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
// user's names this program already. The entries name this program: only
// a caller that has a name for it (program::PathsKnown()) writes or tests them.
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
// Whether the value for every user of the machine is on (read access only).
// Explorer honours it whatever the user's own says; nobody but an
// administrator changes it, so the program never writes it.
bool MachinePolicyOn(const char* name);
void WritePolicyValue(HKEY key, const char* name, BYTE flag);
void ClosePolicyKey(HKEY key);
// Whether this user may change the policies: set values in the key, or
// create it where it is missing.
bool MayWritePolicies();

// True when Windows starts this program at logon: the Run value for every
// user or the user's own names it, and Task Manager has not switched it off.
bool IsAutostartOn();
// Off removes the value in both places; on writes it and removes Task
// Manager's "disabled" mark. False when autostart is not as asked afterwards,
// because the user may not write what it takes.
bool SetAutostart(bool on);
void WriteUninstallEntry();
void WriteRunOnceEntry(const char* restartProgramPath);

// What "/uninstall" could not take away because only an administrator may.
struct UninstallLeftovers {
    bool autostart = false;
    bool uninstallEntry = false;
    bool noLogoff = false;   // still on in the user's policy key
    bool noClose = false;
};

// Resets both policies and removes the autostart and uninstall entries in
// both places.
UninstallLeftovers RemoveAllEntries();

} // namespace config
