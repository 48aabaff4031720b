// Restarting Windows alone through the 16-bit restart program that the
// executable carries, and removing that program again at the next start.
#pragma once

#include "../program/program.h"

namespace actions {

using RestartProgramPath = char[program::kRestartProgramPathCapacity];

// Fills `path` with the temporary directory followed by
// "Lichtaus+Restart.exe". False, with the path left empty, when Windows has
// no temporary directory that fits a path.
bool BuildRestartProgramPath(RestartProgramPath& path);

} // namespace actions
