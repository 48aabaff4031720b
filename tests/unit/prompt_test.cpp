// The confirmation prompt when the program ends while it is open.
#include <gtest/gtest.h>

#include "src/actions/exit_actions.h"
#include "support/program_state.h"
#include "support/registry_sandbox.h"

namespace {

using test::FakeWindows;
using Calls = std::vector<std::string>;

TEST(Prompt, AQuestionTakenDownByTheProgramsEndStopsTheAction)
{
    test::ResetProgramState();
    test::RegistrySandbox registry;
    FakeWindows fake;
    // The tray window was closed while the question was open: the box's loop
    // met WM_QUIT, left it in the queue and returned OK (as Wine's does) or 0.
    lstrcpyA(config::settings.bestaetigung, "Ja");
    fake.messageBoxAnswers = {IDOK, 0};
    os::PeekMessageA = [](LPMSG message, HWND, UINT first, UINT last, UINT remove) WINAPI_LAMBDA -> BOOL {
        FakeWindows::current->Record(test::Format("PeekMessageA(0x%x,0x%x,%u)", first, last, remove));
        message->message = WM_QUIT;
        return TRUE;
    };
    actions::Reboot();
    actions::StartMsDosMode();
    EXPECT_EQ((Calls{"MessageBoxA(NULL,Windows neu starten|Lichtaus+|0x10021)", "PeekMessageA(0x12,0x12,0)",
                     "MessageBoxA(NULL,MS-DOS-Modus starten|Lichtaus+|0x10021)", "PeekMessageA(0x12,0x12,0)"}),
              fake.Calls({"MessageBoxA", "PeekMessageA", "ExitWindowsEx", "OpenProcessToken", "ShellExecuteA",
                          "GetPrivateProfileStringA"}));
}

} // namespace
