// Clears every registry value and key the program writes, before and after a
// test, so tests against Wine's real registry start from nothing and leave
// nothing behind.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace test {

inline constexpr char kPolicyKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lichtaus+";

class RegistrySandbox {
public:
    RegistrySandbox() { Clear(); }
    ~RegistrySandbox() { Clear(); }
    static void Clear();
};

bool KeyExists(HKEY root, const char* path);
// The value's type and bytes; false when it is absent.
bool ReadValue(HKEY root, const char* path, const char* name, DWORD* type, std::vector<BYTE>* data);
// The value as text (REG_SZ without its NUL), or "<absent>".
std::string ReadText(HKEY root, const char* path, const char* name);
void WriteValue(HKEY root, const char* path, const char* name, DWORD type, std::vector<BYTE> data);
void WriteText(HKEY root, const char* path, const char* name, const std::string& text);

} // namespace test
