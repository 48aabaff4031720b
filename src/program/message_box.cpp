// The one place that shows a message box.
#include "message_box.h"

#include "../os/os.h"

namespace program {

int ShowMessage(const char* text, UINT kind, const char* caption)
{
    return os::MessageBoxA(nullptr, text, caption, MB_SETFOREGROUND | kind);
}

} // namespace program
