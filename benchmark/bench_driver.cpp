// The Windows side of the footprint benchmark, run under Wine in the
// benchmark's desktop:
//   bench_driver.exe start <exe> <tooltip>   starts the program in its folder and
//       prints the milliseconds until its icon (found by tooltip) is in the
//       notification area; the program keeps running.
//   bench_driver.exe close <window class>    asks the program to close and waits.
//   bench_driver.exe options <count>         confirms the Options dialog of the
//       running Lichtaus+ <count> times, changing the default action each time,
//       and prints the process's GDI and USER object counts before and after.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "e2e/driver.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Start(const std::string& exe, const std::string& tip)
{
    std::string folder = exe.substr(0, exe.rfind('\\'));
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    LARGE_INTEGER started, shown;
    QueryPerformanceCounter(&started);
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info))
        return 1;
    if (!e2e::WaitUntil([&] { return e2e::CountTrayIcons(tip) > 0; }, 20000))
        return 1;
    QueryPerformanceCounter(&shown);
    printf("%.1f\n", Milliseconds(started, shown));
    return 0;
}

int Close(const char* windowClass)
{
    HWND window = FindWindowA(windowClass, nullptr);
    if (!window)
        return 1;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD waited = WaitForSingleObject(process, 10000);
    CloseHandle(process);
    return waited == WAIT_OBJECT_0 ? 0 : 1;
}

void PrintObjects(HANDLE process, const char* when)
{
    printf("%s gdi=%lu user=%lu\n", when, GetGuiResources(process, GR_GDIOBJECTS),
           GetGuiResources(process, GR_USEROBJECTS));
}

int Options(int count)
{
    HWND tray = FindWindowA("Lichtaus+WndClass", nullptr);
    if (!tray)
        return 1;
    DWORD processId = 0;
    GetWindowThreadProcessId(tray, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    for (int round = 0; round < count; ++round) {
        PostMessageA(tray, WM_COMMAND, 130, 0);
        HWND dialog = e2e::WaitFor(processId, "#32770", "Lichtaus+ Optionen", true, 10000);
        if (!dialog)
            return 1;
        SendMessageA(GetDlgItem(dialog, 131 + round % 5), BM_CLICK, 0, 0);
        e2e::Press(dialog, IDOK);
        if (!e2e::WaitUntil([&] { return !IsWindow(dialog); }, 10000))
            return 1;
        if (round == 0)
            PrintObjects(process, "after 1");
    }
    PrintObjects(process, "after all");
    CloseHandle(process);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "start" && argc == 4)
        return Start(argv[2], argv[3]);
    if (mode == "close" && argc == 3)
        return Close(argv[2]);
    if (mode == "options" && argc == 3)
        return Options(atoi(argv[2]));
    fprintf(stderr, "usage: bench_driver start <exe> <tooltip> | close <class> | options <count>\n");
    return 2;
}
