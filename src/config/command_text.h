// The command texts that the program leaves in the registry for Windows to
// run: autostart, the uninstall command and the RunOnce command.
//
// Windows splits such a command at the first blank unless the program's path
// is quoted; an unquoted "C:\Program Files\..." would start the program with
// an argument text beginning inside its own path. So the executable path is
// quoted exactly when it contains a blank, and left bare otherwise.
#pragma once

#include "../program/program.h"

namespace config {

constexpr int kQuotedPathCapacity = program::kPathCapacity + 2;
constexpr int kRunOnceCommandCapacity = kQuotedPathCapacity + 1 + program::kRestartProgramPathCapacity;

// The executable long path, quoted when it holds a blank, followed by a blank
// and `argument` when one is given. `out` holds kQuotedPathCapacity plus the
// argument's length and its blank.
void FormatExecutableCommand(char* out, const char* argument);

// The executable path, possibly quoted, a blank, and the bare restart program
// path: the restart program path is the whole argument text of that start.
void FormatRunOnceCommand(char (&out)[kRunOnceCommandCapacity], const char* restartProgramPath);

// True when `text` is a command FormatExecutableCommand could have made for
// `argument` (nullptr: none): the long path bare or in quotes, in any letter
// case, and the argument after one blank.
bool IsExecutableCommand(const char* text, const char* argument);

} // namespace config
