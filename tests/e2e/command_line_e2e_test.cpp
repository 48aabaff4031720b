// The real Lichtaus+.exe in command-line mode, driven from outside: the help
// message, the questions of the "?" switches (always answered Cancel: no
// test may reach a real shutdown), "/uninstall" and the restart clean-up.
#include <gtest/gtest.h>

#include "e2e/driver.h"
#include "support/registry_sandbox.h"

namespace {

constexpr DWORD kWait = 15000;

const char kHelpText[] =
    "Befehlszeilenparameter f\xfcr Lichtaus+\n\n/X\tWindows beenden...\n/S\tWindows herunterfahren\n"
    "/P\tWindows herunterfahren und ausschalten\n/R\tWindows neu starten\n/T\tWindows neu starten ohne Warmstart\n"
    "/D\tMS-DOS-Modus starten\n/L\tBenutzer abmelden\n\nMit ? wird eine zus\xe4tzliche Best\xe4tigung angefordert.\n"
    "Beispiel: /S?";

class CommandLineE2E : public ::testing::Test {
protected:
    e2e::TempFolder folder{"cmdline"};
    std::string exe = e2e::CopyProgram(folder);
    test::RegistrySandbox registry;
    e2e::Program program;

    HWND StartAndWaitForBox(const std::string& arguments)
    {
        EXPECT_TRUE(program.Start(exe, arguments));
        HWND box = e2e::WaitForWindow(program.Id(), "#32770", true, kWait);
        EXPECT_NE(nullptr, box) << "no message box for " << arguments;
        return box;
    }
    void AnswerAndExpectExit(HWND box, int button)
    {
        e2e::Press(box, button);
        EXPECT_EQ(0u, program.WaitForExit(kWait));
    }
};

TEST_F(CommandLineE2E, AnUnknownSwitchShowsTheHelpMessageAndEndsWithZero)
{
    HWND box = StartAndWaitForBox("/s /p");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Lichtaus+ Hilfe", e2e::WindowText(box));
    EXPECT_EQ(kHelpText, e2e::MessageText(box));
    EXPECT_TRUE(e2e::HasButton(box, IDOK));
    EXPECT_FALSE(e2e::HasButton(box, IDCANCEL));
    AnswerAndExpectExit(box, IDOK);
}

TEST_F(CommandLineE2E, QuestionSwitchesAskWithTheActionsLabelAndCancelEndsTheProgram)
{
    // Wine reports the NT family: "/t?" logs off there, so it asks as LogOff.
    const struct {
        const char* argument;
        const char* question;
    } cases[] = {
        {"/s?", "Windows herunterfahren"}, {"/P?", "Windows herunterfahren"}, {"/r?", "Windows neu starten"},
        {"/t?", "Benutzer abmelden"},      {"/d?", "MS-DOS-Modus starten"},   {"/l?", "Benutzer abmelden"},
    };
    for (const auto& c : cases) {
        e2e::Program run;
        ASSERT_TRUE(run.Start(exe, c.argument));
        HWND box = e2e::WaitForWindow(run.Id(), "#32770", true, kWait);
        ASSERT_NE(nullptr, box) << c.argument;
        EXPECT_EQ("Lichtaus+", e2e::WindowText(box)) << c.argument;
        EXPECT_EQ(c.question, e2e::MessageText(box)) << c.argument;
        EXPECT_TRUE(e2e::HasButton(box, IDOK) && e2e::HasButton(box, IDCANCEL)) << c.argument;
        e2e::Press(box, IDCANCEL);
        EXPECT_EQ(0u, run.WaitForExit(kWait)) << c.argument;
    }
    // Cancel did nothing: not even the policy key was created.
    EXPECT_FALSE(test::KeyExists(HKEY_CURRENT_USER, test::kPolicyKey));
    EXPECT_FALSE(e2e::FileExists(folder.File("Lichtaus+.ini")));
}

TEST_F(CommandLineE2E, UninstallAnsweredNoChangesNothing)
{
    test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", "C:\\x\\Lichtaus+.exe");
    HWND box = StartAndWaitForBox("/uninstall");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Lichtaus+ Deinstallation", e2e::WindowText(box));
    EXPECT_EQ("Soll Lichtaus+ wirklich deinstalliert werden?", e2e::MessageText(box));
    EXPECT_TRUE(e2e::HasButton(box, IDYES) && e2e::HasButton(box, IDNO));
    AnswerAndExpectExit(box, IDNO);
    EXPECT_EQ("C:\\x\\Lichtaus+.exe", test::ReadText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
    EXPECT_FALSE(test::KeyExists(HKEY_CURRENT_USER, test::kPolicyKey));
}

TEST_F(CommandLineE2E, UninstallAnsweredYesCleansTheRegistryAndSaysWhatToDelete)
{
    test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", "C:\\x\\Lichtaus+.exe");
    test::WriteText(HKEY_LOCAL_MACHINE, test::kUninstallKey, "DisplayName", "Lichtaus+");
    test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose", REG_BINARY, {1, 0, 0, 0});
    HWND question = StartAndWaitForBox("/UNINSTALL");
    ASSERT_NE(nullptr, question);
    e2e::Press(question, IDYES);

    HWND report = nullptr;
    for (int tries = 0; tries < 500 && (!report || report == question); ++tries) {
        report = e2e::WaitForWindow(program.Id(), "#32770", true, kWait);
        if (report && e2e::WindowText(report) != "Lichtaus+")
            report = nullptr;
        Sleep(10);
    }
    ASSERT_NE(nullptr, report);
    EXPECT_EQ("Lichtaus+ deinstalliert.\n\nL\xf6schen Sie jetzt die Lichtaus+ Dateien:\n- Lichtaus+.exe\n"
              "- Lichtaus+.txt\n- Lichtaus+.ini",
              e2e::MessageText(report));
    AnswerAndExpectExit(report, IDOK);

    EXPECT_EQ("<absent>", test::ReadText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, test::kUninstallKey));
    DWORD type;
    std::vector<BYTE> data;
    ASSERT_TRUE(test::ReadValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose", &type, &data));
    EXPECT_EQ((std::vector<BYTE>{0, 0, 0, 0}), data);
    EXPECT_TRUE(e2e::FileExists(exe));   // no file is deleted
}

TEST_F(CommandLineE2E, TheRestartProgramPathAsArgumentDeletesThatFileSilently)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string restart = std::string(temp) + "Lichtaus+Restart.exe";
    e2e::WriteFile(restart, "MZ");
    ASSERT_TRUE(program.Start(exe, CharUpperA(&std::string(restart)[0])));
    EXPECT_EQ(0u, program.WaitForExit(kWait));
    EXPECT_FALSE(e2e::FileExists(restart));
    EXPECT_EQ(nullptr, e2e::FindVisibleWindow(program.Id()));
}

} // namespace
