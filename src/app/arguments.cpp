// Argument text extraction.
#include "arguments.h"

namespace app {

const char* ArgumentText(const char* commandLine)
{
    // Bytes are compared unsigned: "ü" (0xFC) is no control character.
    auto at = [&] { return static_cast<unsigned char>(*commandLine); };
    if (at() == '"') {
        ++commandLine;
        while (at() && at() != '"')
            ++commandLine;
        if (at() == '"')
            ++commandLine;
    } else {
        while (at() > ' ')
            ++commandLine;
    }
    while (at() && at() <= ' ')
        ++commandLine;
    return commandLine;
}

} // namespace app
