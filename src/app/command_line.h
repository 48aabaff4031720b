// Command-line mode: one switch, one action, then the process ends.
#pragma once

namespace app {

// Carries out the action that `arguments` names: the clean-up after a
// Windows-only restart, a switch of the table, or the help message.
void RunCommandLine(const char* arguments);

} // namespace app
