// Confirmation prompt and error box.
#include "prompt.h"

#include "../config/settings.h"
#include "../os/os.h"
#include "../program/message_box.h"

namespace actions {
namespace {

constexpr char kFolderUnusableText[] =
    "Lichtaus+ kann in diesem Ordner keine Einstellungen speichern:\n"
    "Der Pfad enthält Zeichen, die Lichtaus+ nicht verarbeiten kann,\n"
    "und Windows bietet keinen kurzen Namen dafür an.\n\n"
    "Lichtaus+ läuft jetzt mit den Standardeinstellungen. Damit Ihre\n"
    "Einstellungen erhalten bleiben, verschieben Sie Lichtaus+ in einen\n"
    "Ordner mit einfachem Namen, zum Beispiel C:\\Tools\\Lichtaus+.";

} // namespace

bool Confirm(const char* label)
{
    if (os::lstrcmpiA(config::settings.bestaetigung, config::kYes) != 0)
        return true;
    // Only Cancel stops: a box that cannot be shown (0) lets the action go on.
    int answer = program::ShowMessage(label, MB_ICONQUESTION | MB_OKCANCEL);
    if (answer == IDCANCEL)
        return false;
    // But a box that the program's own end took down was not answered, even
    // though it may return IDOK (Wine does): its loop met WM_QUIT and left it
    // in the queue. Closing the program with a question open must not shut
    // Windows down.
    MSG quit;
    return !os::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
}

void ShowError(const char* label)
{
    program::ShowMessage(label, MB_ICONERROR);
}

void ShowFolderUnusable()
{
    program::ShowMessage(kFolderUnusableText, MB_ICONINFORMATION);
}

} // namespace actions
