// A stand-in comctl32.dll, as one might lie in a Downloads folder: loaded, it leaves "planted-dll-ran" beside itself.
#include <windows.h>

extern "C" __declspec(dllexport) void WINAPI InitCommonControls() {}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    char path[MAX_PATH + 16];
    DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    while (length && path[length - 1] != '\\') --length;
    if (reason == DLL_PROCESS_ATTACH && lstrcpyA(path + length, "planted-dll-ran"))
        CloseHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return TRUE;
}
