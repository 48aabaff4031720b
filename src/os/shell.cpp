// COM on first use, and the shell's default verb.
#include "shell.h"

#include "os.h"
#include "system_library.h"

namespace os {

constinit bool comInitialised = false;

void UseCom()
{
    if (comInitialised)
        return;
    comInitialised = true;
    // Loaded here rather than imported, so that a start that never launches
    // anything does not carry ole32 and what it loads. Its result does not
    // matter: launches work without COM wherever the handler does not need it.
    HMODULE ole32 = LoadSystemLibrary("ole32.dll");
    if (auto coInitialize = ole32 ? Find<HRESULT(WINAPI*)(LPVOID)>(ole32, "CoInitialize") : nullptr)
        coInitialize(nullptr);
}

HINSTANCE ShellOpen(const char* file, const char* parameters)
{
    UseCom();
    return ShellExecuteA(nullptr, nullptr, file, parameters, nullptr, SW_SHOWNORMAL);
}

} // namespace os
