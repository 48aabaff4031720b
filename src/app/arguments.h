// The argument text, taken from the command line the way a C runtime's
// WinMain start-up takes it, since the program runs without a runtime.
#pragma once

namespace app {

// Skips the program name (up to the closing quote when it is quoted, else up
// to the first blank) and then blanks and control characters. Trailing
// blanks stay part of the result.
const char* ArgumentText(const char* commandLine);

} // namespace app
