// The process entry. The program links no C runtime, so this does the little
// that a runtime's start-up would: find the argument text and call WinMain.
#include "../os/os.h"
#include "arguments.h"
#include "startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int)
{
    if (app::StartUp(instance, arguments))
        app::RunMessageLoop();
    return 0;
}

extern "C" void WINAPI LichtausEntry()
{
    const char* arguments = app::ArgumentText(os::GetCommandLineA());
    os::ExitProcess(WinMain(os::GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(arguments),
                            SW_SHOWDEFAULT));
}
