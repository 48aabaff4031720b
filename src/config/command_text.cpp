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

bool IsExecutableCommand(const char* text)
{
    if (os::lstrcmpiA(text, program::exeLongPath) == 0)
        return true;
    char quoted[kQuotedPathCapacity];
    os::wsprintfA(quoted, "\"%s\"", program::exeLongPath);
    return os::lstrcmpiA(text, quoted) == 0;
}

} // namespace config
