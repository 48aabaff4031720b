// A stand-in comctl32.dll, as someone might leave one in a Downloads folder:
// when it is loaded, it leaves the file "planted-dll-ran" beside itself.
#include <windows.h>

extern "C" __declspec(dllexport) void WINAPI InitCommonControls() {}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 16];
        DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
        while (length && path[length - 1] != '\\')
            --length;
        lstrcpyA(path + length, "planted-dll-ran");
        CloseHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    return TRUE;
}
