// Starting MS-DOS mode by handing the file named under "MS-DOS-Modus" to the
// shell. When that file is missing the user is told, the key is written into
// the settings file and the settings file is opened for correction.
#include "../config/default_actions.h"
#include "../config/settings.h"
#include "../os/files.h"
#include "../os/os.h"
#include "../os/shell.h"
#include "../program/message_box.h"
#include "../program/program.h"
#include "exit_actions.h"
#include "prompt.h"

namespace actions {
namespace {

constexpr char kNotFoundFormat[] =
    "Die Datei '%s' konnte nicht gefunden werden.\n\n%s öffnet jetzt folgende Datei:\n'%s'.\n\n"
    "Bitte tragen Sie statt '%s' den Dateinamen der\nDatei ein, die bei Ihrem System den "
    "MS-DOS-Modus startet.";

// Holds the longest message: the format's fixed text with two file names and
// the settings file path at their longest, and the product name.
constexpr int kNotFoundMessageCapacity =
    sizeof kNotFoundFormat + 2 * (config::kMsDosModeCapacity - 1) + (program::kSettingsPathCapacity - 1) + 9;
static_assert(kNotFoundMessageCapacity <= 1024, "wsprintfA writes at most 1024 bytes");
constinit char notFoundMessage[kNotFoundMessageCapacity] = {};

} // namespace

void StartMsDosMode()
{
    if (!Confirm(config::kLabelMsDosMode))
        return;

    char file[config::kMsDosModeCapacity];
    config::ReadMsDosModeFile(file);

    if (os::FileExists(file)) {
        // The name as read, not the path that was found: the shell resolves
        // a bare name by its own rules.
        os::ShellOpen(file);
        return;
    }

    if (!program::PathsKnown()) {
        // No settings file to write the key into.
        ShowFolderUnusable();
        return;
    }
    // The key is written before the message, which names the file that the
    // editor will show: the settings file, or the copy that Windows
    // redirected the write to. The editor must find the key in it, and must
    // not have its own save overwritten by a cached write later.
    config::WriteMsDosModeFile(file);
    config::FlushSettingsFile();
    char virtualCopy[MAX_PATH];
    const char* written = os::FindVirtualStoreCopy(program::settingsPath, virtualCopy) ? virtualCopy
                                                                                       : program::settingsPath;
    os::wsprintfA(notFoundMessage, kNotFoundFormat, file, program::kProductName, written, file);
    program::ShowMessage(notFoundMessage, MB_ICONINFORMATION);
    os::ShellOpen(written);
}

} // namespace actions
