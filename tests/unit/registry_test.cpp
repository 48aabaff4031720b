// The registry values against Wine's real registry: the shared policy buffer,
// autostart, the uninstall entry, the RunOnce command and "/uninstall".
#include <gtest/gtest.h>

#include "src/config/registry.h"
#include "support/program_state.h"
#include "support/registry_sandbox.h"

namespace {

using test::FakeWindows;
using Calls = std::vector<std::string>;
using Bytes = std::vector<BYTE>;

class Registry : public ::testing::Test {
protected:
    void SetUp() override { test::ResetProgramState(); }
    test::RegistrySandbox registry;
    FakeWindows fake;

    static Bytes Stored(const char* name)
    {
        DWORD type = 0;
        Bytes data;
        if (!test::ReadValue(HKEY_CURRENT_USER, test::kPolicyKey, name, &type, &data))
            return {};
        EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
        return data;
    }
    static BYTE ReadStored(const char* name)
    {
        HKEY key = config::OpenPolicyKey(true);
        BYTE value = config::ReadPolicyValue(key, name);
        config::ClosePolicyKey(key);
        return value;
    }
};

TEST_F(Registry, PolicyValuesReadByTheirFirstByte)
{
    const struct {
        DWORD type;
        Bytes data;
        BYTE expected;
    } cases[] = {
        {REG_BINARY, {1, 0, 0, 0}, 1}, {REG_BINARY, {0, 0, 0, 0}, 0}, {REG_BINARY, {1}, 1},
        {REG_DWORD, {1, 0, 0, 0}, 1},  {REG_BINARY, {2, 0, 0, 0}, 2}, {REG_SZ, {'1', 0}, '1'},
        // Longer than four bytes: read as off, not as whatever Windows left.
        {REG_BINARY, {1, 0, 0, 0, 0, 0, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose", c.type, c.data);
        EXPECT_EQ(c.expected, ReadStored("NoClose")) << "type " << c.type << " size " << c.data.size();
    }
}

TEST_F(Registry, AMissingPolicyReadsAsOffAndOpeningDoesNotCreateTheKey)
{
    HKEY key = config::OpenPolicyKey(false);
    EXPECT_EQ(nullptr, key);
    EXPECT_EQ(0, config::ReadPolicyValue(key, "NoLogoff"));
    config::ClosePolicyKey(key);
    EXPECT_FALSE(test::KeyExists(HKEY_CURRENT_USER, test::kPolicyKey));
    EXPECT_EQ((Calls{"RegOpenKeyExA(HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer,0x2001f)"}),
              fake.Calls({"RegOpenKeyExA", "RegCreateKeyExA", "RegQueryValueExA", "RegCloseKey"}));

    key = config::OpenPolicyKey(true);
    EXPECT_EQ(0, config::ReadPolicyValue(key, "NoLogoff"));
    config::ClosePolicyKey(key);
    EXPECT_TRUE(test::KeyExists(HKEY_CURRENT_USER, test::kPolicyKey));
}

TEST_F(Registry, AWriteKeepsTheOtherThreeBytesOfTheLastRead)
{
    test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose", REG_BINARY, {1, 0xAA, 0xBB, 0xCC});
    HKEY key = config::OpenPolicyKey(true);
    EXPECT_EQ(1, config::ReadPolicyValue(key, "NoClose"));
    config::WritePolicyValue(key, "NoClose", 0);
    config::WritePolicyValue(key, "NoLogoff", 1);   // the same buffer serves both values
    config::ClosePolicyKey(key);
    EXPECT_EQ((Bytes{0, 0xAA, 0xBB, 0xCC}), Stored("NoClose"));
    EXPECT_EQ((Bytes{1, 0xAA, 0xBB, 0xCC}), Stored("NoLogoff"));
}

TEST_F(Registry, UninstallAnsweredNoChangesNothing)
{
    test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", "C:\\Tools\\Lichtaus+.exe");
    fake.messageBoxDefault = IDNO;
    config::RunUninstallFlow();
    EXPECT_EQ((Calls{"MessageBoxA(NULL,Soll Lichtaus+ wirklich deinstalliert werden?|Lichtaus+ Deinstallation|0x10024)"}),
              fake.calls);
    EXPECT_EQ("C:\\Tools\\Lichtaus+.exe", test::ReadText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
}

TEST_F(Registry, UninstallResetsPoliciesRemovesEntriesAndReports)
{
    test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose", REG_BINARY, {1, 7, 7, 7});
    test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", "C:\\Tools\\Lichtaus+.exe");
    test::WriteText(HKEY_LOCAL_MACHINE, test::kUninstallKey, "DisplayName", "Lichtaus+");
    fake.messageBoxDefault = IDYES;
    config::RunUninstallFlow();

    // Nothing was read in this process, so both values become four zero bytes.
    EXPECT_EQ((Bytes{0, 0, 0, 0}), Stored("NoLogoff"));
    EXPECT_EQ((Bytes{0, 0, 0, 0}), Stored("NoClose"));
    EXPECT_EQ("<absent>", test::ReadText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, test::kUninstallKey));
    EXPECT_EQ((Calls{
                  "MessageBoxA(NULL,Soll Lichtaus+ wirklich deinstalliert werden?|Lichtaus+ Deinstallation|0x10024)",
                  "RegCreateKeyExA(HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer,0,NULL,0,"
                  "0x2001f,NULL,disp)",
                  "RegSetValueExA(NoLogoff,3,00 00 00 00,4)",
                  "RegSetValueExA(NoClose,3,00 00 00 00,4)",
                  "RegCloseKey()",
                  "RegOpenKeyExA(HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run,0x2001f)",
                  "RegDeleteValueA(Lichtaus+)",
                  "RegCloseKey()",
                  "RegDeleteKeyA(HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lichtaus+)",
                  "MessageBoxA(NULL,Lichtaus+ deinstalliert.\n\nL\xf6schen Sie jetzt die Lichtaus+ Dateien:\n"
                  "- Lichtaus+.exe\n- Lichtaus+.txt\n- Lichtaus+.ini|Lichtaus+|0x10040)",
              }),
              fake.calls);
}

TEST_F(Registry, UninstallOnACleanSystemStillReports)
{
    fake.messageBoxDefault = IDYES;
    config::RunUninstallFlow();
    EXPECT_EQ((Bytes{0, 0, 0, 0}), Stored("NoLogoff"));
    EXPECT_EQ(2u, fake.Calls("MessageBoxA").size());
}

TEST_F(Registry, AutostartIsOnOnlyForThisExecutableBareOrQuoted)
{
    const struct {
        const char* stored;   // nullptr: no value
        bool on;
    } cases[] = {
        {nullptr, false},
        {"C:\\Tools\\Lichtaus+.exe", true},
        {"c:\\TOOLS\\lichtaus+.EXE", true},
        {"\"C:\\Tools\\Lichtaus+.exe\"", true},
        {"C:\\Tools\\Lichtaus+.exe /s", false},
        {"C:\\TOOLS\\LICHTA~1.EXE", false},
        {"C:\\Other\\Lichtaus+.exe", false},
        {"", false},
    };
    for (const auto& c : cases) {
        test::RegistrySandbox::Clear();
        if (c.stored)
            test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", c.stored);
        EXPECT_EQ(c.on, config::IsAutostartOn()) << (c.stored ? c.stored : "(none)");
    }
}

TEST_F(Registry, AnAutostartValueLongerThanAPathIsNotThisExecutable)
{
    std::string longText(400, 'x');
    test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", longText);
    EXPECT_FALSE(config::IsAutostartOn());
}

TEST_F(Registry, CommandsQuoteTheExecutablePathOnlyWhenItHasABlank)
{
    const struct {
        const char* exe;
        const char* run;
        const char* uninstall;
        const char* runOnce;
    } cases[] = {
        {"C:\\Tools\\Lichtaus+.exe", "C:\\Tools\\Lichtaus+.exe", "C:\\Tools\\Lichtaus+.exe /uninstall",
         "C:\\Tools\\Lichtaus+.exe C:\\Temp dir\\Lichtaus+Restart.exe"},
        {"C:\\Program Files\\Lichtaus+.exe", "\"C:\\Program Files\\Lichtaus+.exe\"",
         "\"C:\\Program Files\\Lichtaus+.exe\" /uninstall",
         "\"C:\\Program Files\\Lichtaus+.exe\" C:\\Temp dir\\Lichtaus+Restart.exe"},
    };
    for (const auto& c : cases) {
        test::ResetProgramState(c.exe);
        config::SetAutostart(true);
        config::WriteUninstallEntry();
        config::WriteRunOnceEntry("C:\\Temp dir\\Lichtaus+Restart.exe");
        EXPECT_EQ(c.run, test::ReadText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
        EXPECT_EQ(c.uninstall, test::ReadText(HKEY_LOCAL_MACHINE, test::kUninstallKey, "UninstallString"));
        EXPECT_EQ(c.runOnce, test::ReadText(HKEY_LOCAL_MACHINE, test::kRunOnceKey, "Lichtaus+"));
        EXPECT_TRUE(config::IsAutostartOn()) << c.exe;
    }
}

TEST_F(Registry, UninstallEntryWritesTheNameThenTheCommand)
{
    config::WriteUninstallEntry();
    EXPECT_EQ((Calls{"RegSetValueExA(DisplayName,1,Lichtaus+,10)",
                     "RegSetValueExA(UninstallString,1,C:\\Tools\\Lichtaus+.exe /uninstall,34)"}),
              fake.Calls("RegSetValueExA"));
}

TEST_F(Registry, AutostartOffDeletesWhateverValueHasOurName)
{
    test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", "C:\\Someone\\else.exe");
    config::SetAutostart(false);
    EXPECT_EQ("<absent>", test::ReadText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
}

TEST_F(Registry, TheLongestRunOnceCommandIsStoredWhole)
{
    // A 259-character executable path with a blank (quoted: 261) and a
    // restart program path from a 259-character temporary directory.
    std::string exe = "C:\\A B\\" + std::string(252, 'e');
    std::string restart = "D:\\" + std::string(256, 't') + "Lichtaus+Restart.exe";
    test::ResetProgramState(exe.c_str());
    config::WriteRunOnceEntry(restart.c_str());
    std::string expected = "\"" + exe + "\" " + restart;
    ASSERT_EQ(541u, expected.size());
    EXPECT_EQ(expected, test::ReadText(HKEY_LOCAL_MACHINE, test::kRunOnceKey, "Lichtaus+"));
}

} // namespace
