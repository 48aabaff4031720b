// Confirmation prompt and error box.
#include "prompt.h"

#include "../config/settings.h"
#include "../os/os.h"

namespace actions {

bool Confirm(const char* label)
{
    if (os::lstrcmpiA(config::settings.bestaetigung, config::kYes) != 0)
        return true;
    // Only Cancel stops: a box that cannot be shown (0) lets the action go on.
    return os::MessageBoxA(nullptr, label, "Lichtaus+",
                           MB_SETFOREGROUND | MB_ICONQUESTION | MB_OKCANCEL) != IDCANCEL;
}

void ShowError(const char* label)
{
    os::MessageBoxA(nullptr, label, "Lichtaus+", MB_SETFOREGROUND | MB_ICONERROR);
}

} // namespace actions
