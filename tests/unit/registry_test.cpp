// The registry values against Wine's real registry: the shared policy buffer,
// autostart, the uninstall entry, the RunOnce command, "/uninstall", and keys
// that cannot be had.
#include <gtest/gtest.h>

#include <cstring>

#include "src/config/command_text.h"
#include "src/config/registry.h"
#include "support/program_state.h"
#include "support/registry_sandbox.h"

namespace {

using test::FakeWindows;
using Calls = std::vector<std::string>;
using Bytes = std::vector<BYTE>;

// A value as its type and every byte, so that a missing or stray terminator shows.
std::string Value(DWORD type, const Bytes& bytes)
{
    return test::Format("%lu:", type) + std::string(bytes.begin(), bytes.end());
}
std::string Text(const std::string& text)
{
    return Value(REG_SZ, Bytes(text.c_str(), text.c_str() + text.size() + 1));
}
std::string Stored(HKEY root, const char* path, const char* name)
{
    DWORD type = 0;
    Bytes data;
    return test::ReadValue(root, path, name, &type, &data) ? Value(type, data) : "<absent>";
}
std::string StoredPolicy(const char* name)
{
    return Stored(HKEY_CURRENT_USER, test::kPolicyKey, name);
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override { test::ResetProgramState(); }
    test::RegistrySandbox registry;
    FakeWindows fake;
};

// Windows leaves the buffer undefined when a value does not fit, Wine leaves
// it alone: fill it, so that only a reader that discards it reads off.
decltype(os::RegQueryValueExA) realQuery;

LONG WINAPI QueryFillingOnMoreData(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    const DWORD room = *size;
    const LONG result = realQuery(key, name, reserved, type, data, size);
    if (result == ERROR_MORE_DATA)
        memset(data, 1, room);
    return result;
}

TEST_F(Registry, PolicyValuesOfAnyTypeReadByTheirFirstByteAndAWriteStoresTheFourBytes)
{
    realQuery = os::RegQueryValueExA;
    os::RegQueryValueExA = QueryFillingOnMoreData;
    // In this order: every read must start from nothing, not from the bytes
    // the one before left.
    const struct {
        DWORD type;
        Bytes data;      // empty: no value
        BYTE read;
        Bytes written;   // what a write of 1 after the read stores
    } cases[] = {
        {REG_BINARY, {2, 7, 7, 7}, 2, {1, 7, 7, 7}},
        {REG_BINARY, {}, 0, {1, 0, 0, 0}},
        {REG_DWORD, {1, 7, 7}, 1, {1, 7, 7, 0}},
        {REG_SZ, {'1', 0}, '1', {1, 0, 0, 0}},
        {REG_BINARY, Bytes(100, 1), 0, {1, 0, 0, 0}},   // too long for the buffer: off
    };
    for (const auto& c : cases) {
        const std::string label = test::Format("type %lu, %u bytes", c.type, static_cast<unsigned>(c.data.size()));
        test::RegistrySandbox::Clear();
        if (!c.data.empty())
            test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose", c.type, c.data);
        HKEY key = config::OpenPolicyKey(true);
        EXPECT_EQ(c.read, config::ReadPolicyValue(key, "NoClose")) << label;
        config::WritePolicyValue(key, "NoClose", 1);
        config::WritePolicyValue(key, "NoLogoff", 0);   // the same four bytes serve both values
        config::ClosePolicyKey(key);
        Bytes logoff = c.written;
        logoff[0] = 0;
        EXPECT_EQ(Value(REG_BINARY, c.written), StoredPolicy("NoClose")) << label;
        EXPECT_EQ(Value(REG_BINARY, logoff), StoredPolicy("NoLogoff")) << label;
    }
}

const char kAskUninstall[] =
    "MessageBoxA(NULL,Soll Lichtaus+ wirklich deinstalliert werden?|Lichtaus+ Deinstallation|0x10024)";

TEST_F(Registry, UninstallResetsPoliciesRemovesEntriesAndReports)
{
    test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose", REG_BINARY, {1, 7, 7, 7});
    test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", "C:\\Tools\\Lichtaus+.exe");
    test::WriteText(HKEY_LOCAL_MACHINE, test::kUninstallKey, "DisplayName", "Lichtaus+");
    fake.messageBoxDefault = IDNO;
    config::RunUninstallFlow();
    EXPECT_EQ(Calls{kAskUninstall}, fake.calls);
    EXPECT_EQ(Text("C:\\Tools\\Lichtaus+.exe"), Stored(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));

    fake.calls.clear();
    fake.messageBoxDefault = IDYES;
    config::RunUninstallFlow();

    // Nothing was read in this process, so both values become four zero bytes.
    EXPECT_EQ(Value(REG_BINARY, {0, 0, 0, 0}), StoredPolicy("NoLogoff"));
    EXPECT_EQ(Value(REG_BINARY, {0, 0, 0, 0}), StoredPolicy("NoClose"));
    EXPECT_EQ("<absent>", Stored(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, test::kUninstallKey));
    EXPECT_EQ((Calls{kAskUninstall,
                     "RegCreateKeyExA(HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer,0,NULL,0,"
                     "0x2001f,NULL,disp)",
                     "RegSetValueExA(NoLogoff,3,00 00 00 00,4)", "RegSetValueExA(NoClose,3,00 00 00 00,4)", "RegCloseKey()",
                     "RegOpenKeyExA(HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run,0x2001f)",
                     "RegDeleteValueA(Lichtaus+)", "RegCloseKey()",
                     "RegDeleteKeyA(HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lichtaus+)",
                     "MessageBoxA(NULL,Lichtaus+ deinstalliert.\n\nL\xf6schen Sie jetzt die Lichtaus+ Dateien:\n"
                     "- Lichtaus+.exe\n- Lichtaus+.txt\n- Lichtaus+.ini|Lichtaus+|0x10040)"}),
              fake.calls);
}

// Switching autostart off removes whatever value has our name.
TEST_F(Registry, AutostartIsOnOnlyForThisExecutableBareOrQuoted)
{
    const struct {
        std::string stored;   // "<none>": no value
        bool on;
    } cases[] = {
        {"<none>", false},          {"C:\\Tools\\Lichtaus+.exe", true},   {"c:\\TOOLS\\lichtaus+.EXE", true},
        {"\"C:\\Tools\\Lichtaus+.exe\"", true}, {"C:\\Tools\\Lichtaus+.exe /s", false}, {"C:\\TOOLS\\LICHTA~1.EXE", false},
        {"C:\\Other\\Lichtaus+.exe", false}, {"", false},
        {std::string(400, 'x'), false},   // longer than any path
    };
    for (const auto& c : cases) {
        if (c.stored != "<none>")
            test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", c.stored);
        EXPECT_EQ(c.on, config::IsAutostartOn()) << c.stored;
        config::SetAutostart(false);
        EXPECT_EQ("<absent>", Stored(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+")) << c.stored;
    }
}

// Windows splits an unquoted command at the first blank; every command is
// stored whole and autostart reads back as on, up to the longest paths.
TEST_F(Registry, CommandsQuoteTheExecutablePathExactlyWhenItHasABlank)
{
    const std::string restart = "C:\\Temp dir\\Lichtaus+Restart.exe";
    // The restart program in a 259-character temporary directory.
    const std::string longestRestart = "D:\\" + std::string(256, 't') + "Lichtaus+Restart.exe";
    const struct {
        std::string exe;
        bool quoted;
        std::string restart;
    } cases[] = {
        {"C:\\Tools\\Lichtaus+.exe", false, restart},
        {"C:\\Program Files\\Lichtaus+.exe", true, restart},
        {"C:\\" + std::string(256, 'e'), false, longestRestart},
        {"C:\\A B\\" + std::string(252, 'e'), true, longestRestart},   // a 541-character RunOnce command
    };
    for (const auto& c : cases) {
        ASSERT_GE(259u, c.exe.size());
        test::ResetProgramState(c.exe.c_str());
        const std::string command = c.quoted ? "\"" + c.exe + "\"" : c.exe;
        config::SetAutostart(true);
        config::WriteUninstallEntry();
        config::WriteRunOnceEntry(c.restart.c_str());
        EXPECT_EQ(Text(command), Stored(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
        EXPECT_EQ(Text("Lichtaus+"), Stored(HKEY_LOCAL_MACHINE, test::kUninstallKey, "DisplayName"));
        EXPECT_EQ(Text(command + " /uninstall"), Stored(HKEY_LOCAL_MACHINE, test::kUninstallKey, "UninstallString"));
        EXPECT_EQ(Text(command + " " + c.restart), Stored(HKEY_LOCAL_MACHINE, test::kRunOnceKey, "Lichtaus+"));
        EXPECT_TRUE(config::IsAutostartOn()) << c.exe;

        // The formatted RunOnce command ends where its text ends.
        char runOnce[config::kRunOnceCommandCapacity];
        memset(runOnce, 0x5A, sizeof runOnce);
        config::FormatRunOnceCommand(runOnce, c.restart.c_str());
        const std::string tail(runOnce + command.size() + 1 + c.restart.size() + 1, runOnce + sizeof runOnce);
        EXPECT_EQ(std::string(tail.size(), 0x5A), tail) << c.exe;
    }
}

// A refused open that still hands back a handle: it must never be used.
const HKEY kStaleKey = reinterpret_cast<HKEY>(0x5A5A5A5A);

TEST_F(Registry, KeysThatCannotBeHadLeaveEveryOperationWithoutEffect)
{
    test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", "C:\\Tools\\Lichtaus+.exe");
    test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose", REG_BINARY, {1, 0, 0, 0});
    test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoLogoff", REG_BINARY, {1, 0, 0, 0});
    os::RegOpenKeyExA = [](HKEY, LPCSTR, DWORD, REGSAM, PHKEY key) WINAPI_LAMBDA -> LONG {
        *key = kStaleKey;
        return ERROR_ACCESS_DENIED;
    };
    os::RegCreateKeyExA = [](HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY key,
                             LPDWORD) WINAPI_LAMBDA -> LONG {
        *key = kStaleKey;
        return ERROR_ACCESS_DENIED;
    };
    os::RegDeleteKeyA = [](HKEY, LPCSTR) WINAPI_LAMBDA -> LONG { return ERROR_ACCESS_DENIED; };

    for (bool create : {false, true}) {
        HKEY key = config::OpenPolicyKey(create);
        EXPECT_EQ(nullptr, key);
        EXPECT_EQ(0, config::ReadPolicyValue(key, "NoClose"));   // counts as off
        config::WritePolicyValue(key, "NoClose", 0);
        config::ClosePolicyKey(key);
    }
    EXPECT_FALSE(config::IsAutostartOn());
    config::SetAutostart(true);
    config::SetAutostart(false);
    config::WriteUninstallEntry();
    config::WriteRunOnceEntry("C:\\Temp\\Lichtaus+Restart.exe");
    fake.messageBoxDefault = IDYES;
    config::RunUninstallFlow();

    EXPECT_EQ(Calls{}, fake.Calls({"RegQueryValueExA", "RegSetValueExA", "RegDeleteValueA", "RegCloseKey"}));
    const Calls boxes = fake.Calls("MessageBoxA");
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(0u, boxes[1].find("MessageBoxA(NULL,Lichtaus+ deinstalliert.")) << boxes[1];
    EXPECT_EQ(Text("C:\\Tools\\Lichtaus+.exe"), Stored(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
    EXPECT_EQ(Value(REG_BINARY, {1, 0, 0, 0}), StoredPolicy("NoClose"));
    EXPECT_EQ("<absent>", Stored(HKEY_LOCAL_MACHINE, test::kRunOnceKey, "Lichtaus+"));
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, test::kUninstallKey));
}

} // namespace
