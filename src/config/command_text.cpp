// Formatting and recognising the executable's command texts.
#include "command_text.h"

#include "../os/os.h"

namespace config {
namespace {

bool HasBlank(const char* text)
{
    for (; *text; ++text) {
        if (*text == ' ')
            return true;
    }
    return false;
}

} // namespace

void FormatExecutableCommand(char* out, const char* argument)
{
    const char* format = HasBlank(program::exeLongPath) ? "\"%s\"" : "%s";
    int length = os::wsprintfA(out, format, program::exeLongPath);
    if (argument)
        os::wsprintfA(out + length, " %s", argument);
}

void FormatRunOnceCommand(char (&out)[kRunOnceCommandCapacity], const char* restartProgramPath)
{
    FormatExecutableCommand(out, restartProgramPath);
}

bool IsExecutableCommand(const char* text, const char* argument)
{
    // Both forms: earlier versions stored the path bare even with blanks.
    constexpr const char* kForms[] = {"%s", "\"%s\""};
    for (const char* format : kForms) {
        char command[kRunOnceCommandCapacity];
        int length = os::wsprintfA(command, format, program::exeLongPath);
        if (argument)
            os::wsprintfA(command + length, " %s", argument);
        if (os::lstrcmpiA(text, command) == 0)
            return true;
    }
    return false;
}

} // namespace config
