// The program's message boxes: no owner window, always brought to the
// foreground, captioned "Lichtaus+" unless a caller names another caption.
#pragma once

#include <windows.h>

#include "program.h"

namespace program {

// `kind` is the icon and buttons (MB_ICONINFORMATION, MB_ICONERROR, ...);
// returns the button that closed the box, 0 when it could not be shown.
int ShowMessage(const char* text, UINT kind, const char* caption = kProductName);

} // namespace program
