// The command-line table and its dispatch. Every comparison is of the whole
// argument text and ignores letter case: "/S" works, "/s " and "/s /p" show
// the help message.
#include "command_line.h"

#include "../actions/exit_actions.h"
#include "../actions/restart_windows.h"
#include "../config/settings.h"
#include "../os/files.h"
#include "../os/os.h"
#include "../program/message_box.h"
#include "uninstall.h"

namespace app {
namespace {

struct Switch {
    const char* text;
    void (*action)();
    bool asks;   // the "?" form: the action asks before it acts
};

// Compared in this order; the first match runs.
constexpr Switch kSwitches[] = {
    {"/uninstall", RunUninstallFlow, false},
    {"/x", actions::ShowShutdownDialog, false},
    {"/x?", actions::ShowShutdownDialog, false},   // never asks: the shell's dialog is a question already
    {"/s", actions::ShutDown, false},
    {"/s?", actions::ShutDown, true},
    {"/p", actions::PowerOff, false},
    {"/p?", actions::PowerOff, true},
    {"/r", actions::Reboot, false},
    {"/r?", actions::Reboot, true},
    {"/t", actions::RestartWithoutWarmStart, false},
    {"/t?", actions::RestartWithoutWarmStart, true},
    {"/d", actions::StartMsDosMode, false},
    {"/d?", actions::StartMsDosMode, true},
    {"/l", actions::LogOff, false},
    {"/l?", actions::LogOff, true},
    {"/force", actions::ForcedPowerOff, false},
};

constexpr char kHelpText[] =
    "Befehlszeilenparameter für Lichtaus+\n\n"
    "/X\tWindows beenden...\n"
    "/S\tWindows herunterfahren\n"
    "/P\tWindows herunterfahren und ausschalten\n"
    "/R\tWindows neu starten\n"
    "/T\tWindows neu starten ohne Warmstart\n"
    "/D\tMS-DOS-Modus starten\n"
    "/L\tBenutzer abmelden\n\n"
    "Mit ? wird eine zusätzliche Bestätigung angefordert.\n"
    "Beispiel: /S?";

} // namespace

void RunCommandLine(const char* arguments)
{
    // The RunOnce entry left by a Windows-only restart starts the program
    // with the restart program's path: remove that file and do nothing else.
    actions::RestartProgramPath restartProgram;
    if (actions::BuildRestartProgramPath(restartProgram) && os::lstrcmpiA(arguments, restartProgram) == 0) {
        os::RemoveFile(restartProgram);
        return;
    }

    for (const Switch& entry : kSwitches) {
        if (os::lstrcmpiA(arguments, entry.text) == 0) {
            if (entry.asks)
                os::lstrcpyA(config::settings.bestaetigung, config::kYes);
            entry.action();
            return;
        }
    }

    program::ShowMessage(kHelpText, MB_ICONINFORMATION, "Lichtaus+ Hilfe");
}

} // namespace app
