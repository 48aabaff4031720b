// The checks of the test programs: a failed check prints where, what it
// expected and what it found; the program fails when any check did.
#pragma once

#include <windows.h>
#include <sddl.h>

#include <cstdio>
#include <string>

#define CHECK_EQ(expected, actual, what) test::Check(__FILE__, __LINE__, what, expected, actual)
#define CHECK(condition, what) CHECK_EQ(true, static_cast<bool>(condition), what)

namespace test {

inline int failures = 0;

inline std::string Text(const std::string& value) { return value; }
inline std::string Text(const char* value) { return value ? value : "(null)"; }
template <typename T> std::string Text(T value) { return std::to_string(value); }

template <typename Expected, typename Actual>
void Check(const char* file, int line, const std::string& what, const Expected& expected, const Actual& actual)
{
    if (expected == actual) return;
    printf("%s:%d: %s\n  expected: [%s]\n  actual:   [%s]\n", file, line, what.c_str(), Text(expected).c_str(),
           Text(actual).c_str());
    fflush(stdout);
    ++failures;
}

inline int Finish(const char* program)
{
    printf("%s: %d failed checks\n", program, failures);
    return failures != 0;
}

// The temporary directory, ending in a backslash.
inline std::string TempPath()
{
    char temp[MAX_PATH];
    return std::string(temp, GetTempPathA(MAX_PATH, temp));
}

// The tests write the registry values and files the program uses; on a real
// Windows those would be the user's own. They run under Wine only.
inline bool RefuseOutsideWine()
{
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) return false;
    printf("These tests change the program's registry values and run under Wine only.\n");
    return true;
}

// Plays a standard user while this Wine server runs: the key refuses every change, as HKEY_LOCAL_MACHINE does
// under user account control and a user's Policies key on the NT family; reading stays allowed.
inline void Refuse(HKEY root, const char* path, bool refused = true)
{
    PSECURITY_DESCRIPTOR security = nullptr;
    const char* sddl = refused ? "D:P(D;CI;0x10006;;;WD)(A;CI;KR;;;WD)" : "D:P(A;CI;KA;;;WD)";
    HKEY key;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &security, nullptr) &&
        RegOpenKeyExA(root, path, 0, WRITE_DAC, &key) == ERROR_SUCCESS)
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security), RegCloseKey(key);
    LocalFree(security);
}

} // namespace test
