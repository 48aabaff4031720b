// Closing the tray program while one of its questions is open: the question
// goes away unanswered and the action must not run.
#include <gtest/gtest.h>

#include "e2e/driver.h"

namespace {

constexpr DWORD kWait = 15000;

TEST(ClosingE2E, TheCloseMessageDuringAQuestionEndsTheProgramWithoutTheAction)
{
    e2e::TempFolder folder("closing");
    std::string exe = e2e::CopyProgram(folder);
    // MS-DOS mode is the harmless action to watch: run, it would write its key
    // into the settings file.
    const std::string settings =
        "[Lichtaus+ Optionen]\r\nMen\xfcpunkt=MS-DOS-Modus starten\r\nAusf\xfchren=Einfacher Klick\r\n"
        "Best\xe4tigung=Ja\r\n";
    e2e::WriteFile(folder.File("Lichtaus+.ini"), settings);

    e2e::Program program;
    ASSERT_TRUE(program.Start(exe, ""));
    HWND tray = e2e::WaitForWindow(program.Id(), "Lichtaus+WndClass", false, kWait);
    ASSERT_NE(nullptr, tray);
    PostMessageA(tray, WM_USER, 0, WM_LBUTTONDOWN);
    HWND question = e2e::WaitForCaption(program.Id(), "#32770", "Lichtaus+", kWait);
    ASSERT_NE(nullptr, question);
    ASSERT_EQ("MS-DOS-Modus starten", e2e::MessageText(question));

    PostMessageA(tray, RegisterWindowMessageA("Lichtaus+CloseLichtaus"), 0, 0);
    EXPECT_EQ(0u, program.WaitForExit(kWait));
    EXPECT_EQ(settings, e2e::ReadFile(folder.File("Lichtaus+.ini")));
}

} // namespace
