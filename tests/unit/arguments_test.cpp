// The argument text: what follows the program name on the command line.
#include <gtest/gtest.h>

#include "src/app/arguments.h"

namespace {

struct Case {
    const char* commandLine;
    const char* arguments;
};

TEST(ArgumentText, SkipsTheProgramNameAndTheBlanksAfterIt)
{
    const Case cases[] = {
        {"Lichtaus+.exe", ""},
        {"Lichtaus+.exe /s", "/s"},
        {"C:\\Tools\\Lichtaus+.exe   /S?", "/S?"},
        {"\"C:\\Program Files\\Lichtaus+\\Lichtaus+.exe\" /r", "/r"},
        {"\"C:\\Program Files\\Lichtaus+.exe\"/r", "/r"},            // no blank needed after a quote
        {"\"C:\\Program Files\\Lichtaus+.exe\"", ""},
        {"\"C:\\unterminated quote /s", ""},                          // the name runs to the end
        {"Lichtaus+.exe\t\x01\x1f /d", "/d"},                         // tabs and control characters
        {"Lichtaus+.exe /s ", "/s "},                                 // trailing blanks stay
        {"Lichtaus+.exe /s /p", "/s /p"},
        {"C:\\Men\xfc\\Lichtaus+.exe /l", "/l"},                      // "ü" does not end the name
        {"\"C:\\Men\xfc\\Lichtaus+.exe\" \xfc", "\xfc"},
        {"Lichtaus+.exe C:\\Temp dir\\Lichtaus+Restart.exe", "C:\\Temp dir\\Lichtaus+Restart.exe"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.arguments, app::ArgumentText(c.commandLine)) << "command line: " << c.commandLine;
}

} // namespace
