// The program's own paths: the executable in long-name form and the settings
// file beside it.
#pragma once

namespace app {

// Fills program::exeLongPath and program::settingsPath from the module's file name. The tray window must
// exist: the shell namespace takes it as owner of anything it might show.
void DeriveProgramPaths();

// The settings file path for an executable path: everything from the last
// "." anywhere in it replaced by ".ini" (".ini" appended when there is none).
void MakeSettingsPath(const char* exePath, char* settingsPath);

} // namespace app
