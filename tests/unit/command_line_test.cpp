// Command-line mode: the argument text, which switch runs which action, the
// "?" forms, the help message, and the clean-up after a Windows-only restart.
#include <gtest/gtest.h>

#include <cctype>

#include "src/app/arguments.h"
#include "src/app/command_line.h"
#include "support/program_state.h"
#include "support/registry_sandbox.h"
#include "support/temp_file.h"

namespace {

using test::FakeWindows;
using Calls = std::vector<std::string>;

// What follows the program name on the command line.
TEST(ArgumentText, SkipsTheProgramNameAndTheBlanksAfterIt)
{
    const struct {
        const char* commandLine;
        const char* arguments;
    } cases[] = {
        {"Lichtaus+.exe", ""},
        {"Lichtaus+.exe /s", "/s"},
        {"C:\\Tools\\Lichtaus+.exe   /S?", "/S?"},
        {"\"C:\\Program Files\\Lichtaus+.exe\"/r", "/r"},            // no blank needed after a quote
        {"\"C:\\Program Files\\Lichtaus+.exe\"", ""},
        {"\"C:\\unterminated quote /s", ""},                          // the name runs to the end
        {"Lichtaus+.exe\t\x01\x1f /d", "/d"},                         // tabs and control characters
        {"Lichtaus+.exe /s ", "/s "},                                 // trailing blanks stay
        {"C:\\Men\xfc\\Lichtaus+.exe /l", "/l"},                      // "ü" does not end the name
        {"\"C:\\Men\xfc\\Lichtaus+.exe\" \xfc", "\xfc"},
        {"Lichtaus+.exe C:\\Temp dir\\Lichtaus+Restart.exe", "C:\\Temp dir\\Lichtaus+Restart.exe"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.arguments, app::ArgumentText(c.commandLine)) << "command line: " << c.commandLine;
}

const char kHelp[] =
    "MessageBoxA(NULL,Befehlszeilenparameter f\xfcr Lichtaus+\n\n/X\tWindows beenden...\n"
    "/S\tWindows herunterfahren\n/P\tWindows herunterfahren und ausschalten\n/R\tWindows neu starten\n"
    "/T\tWindows neu starten ohne Warmstart\n/D\tMS-DOS-Modus starten\n/L\tBenutzer abmelden\n\n"
    "Mit ? wird eine zus\xe4tzliche Best\xe4tigung angefordert.\nBeispiel: /S?|Lichtaus+ Hilfe|0x10040)";

std::string Ask(const char* label)
{
    return test::Format("MessageBoxA(NULL,%s|Lichtaus+|0x10021)", label);
}

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override { test::ResetProgramState(); }
    test::RegistrySandbox registry;
    FakeWindows fake;

    // The first call that shows what the switch did: its question, its
    // system call, or the help message.
    Calls Run(const char* arguments, bool nt)
    {
        test::ResetProgramState("C:\\Tools\\Lichtaus+.exe", nt);
        fake.calls.clear();
        fake.messageBoxDefault = IDCANCEL;
        app::RunCommandLine(arguments);
        return fake.Calls({"MessageBoxA", "ExitWindowsEx", "InitiateSystemShutdownA", "PostMessageA"});
    }
};

TEST_F(CommandLine, EachSwitchRunsItsActionInAnyLetterCase)
{
    const struct {
        const char* argument;
        bool nt;
        Calls expected;
    } cases[] = {
        {"/x", true, {"PostMessageA(taskbar,0x10,0,0)"}}, {"/X?", true, {"PostMessageA(taskbar,0x10,0,0)"}},   // never asks
        {"/S", true, {"InitiateSystemShutdownA(NULL,NULL,0,0,0)"}}, {"/s?", true, {Ask("Windows herunterfahren")}},
        {"/p", true, {"ExitWindowsEx(9,0)"}},          {"/P?", false, {Ask("Windows herunterfahren")}},
        {"/r", true, {"ExitWindowsEx(2,0)"}},          {"/r?", true, {Ask("Windows neu starten")}},
        {"/t", true, {"ExitWindowsEx(0,0)"}},                 // NT: log off instead
        {"/t?", false, {Ask("Windows neu starten")}},         // 9x: the Windows-only restart
        {"/d?", true, {Ask("MS-DOS-Modus starten")}},  {"/FORCE", true, {"ExitWindowsEx(13,0)"}},
        {"/l", false, {"ExitWindowsEx(0,0)"}},         {"/L?", true, {Ask("Benutzer abmelden")}},
        {"/UnInstall", true,
         {"MessageBoxA(NULL,Soll Lichtaus+ wirklich deinstalliert werden?|Lichtaus+ Deinstallation|0x10024)"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, Run(c.argument, c.nt)) << c.argument << (c.nt ? " on NT" : " on 9x");
}

TEST_F(CommandLine, AnythingElseShowsTheHelpMessage)
{
    for (const char* argument : {"/s ", "/s /p", " /s", "/", "/force?", "/uninstall?", "/ss", "C:\\Temp\\Other.exe"})
        EXPECT_EQ(Calls{kHelp}, Run(argument, true)) << "\"" << argument << "\"";
}

// The RunOnce entry of a Windows-only restart starts the program with the
// restart program's path, in any letter case.
TEST_F(CommandLine, TheRestartProgramPathDeletesThatFileAndNothingElse)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "Lichtaus+Restart.exe";
    CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
    std::string shouted = path;
    for (char& ch : shouted)
        ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    app::RunCommandLine(shouted.c_str());

    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
    EXPECT_EQ(Calls{test::Format("OpenFile(%s,0x200)", path.c_str())}, fake.Calls("OpenFile"));
    EXPECT_TRUE(fake.Calls({"MessageBoxA", "ShellExecuteA", "ExitWindowsEx"}).empty());
    DeleteFileA(path.c_str());
}

TEST_F(CommandLine, WithoutATemporaryDirectoryNoArgumentMatchesTheRestartProgram)
{
    // GetTempPathA answers with the size it would need: no path is built,
    // so even the bare file name is an unknown switch.
    fake.tempPath = std::string(300, 'x');
    EXPECT_EQ(Calls{kHelp}, Run("Lichtaus+Restart.exe", true));
    EXPECT_TRUE(fake.Calls("OpenFile").empty());
}

} // namespace
