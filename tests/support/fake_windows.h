// Scripts the Windows seam for in-process tests: every call that could end
// the session, show something or touch the shell is recorded and answered as
// the test says; registry, profile-string and file calls are recorded and
// passed on to Wine's real functions. Nothing can shut Windows down while a
// FakeWindows exists.
#pragma once

#include <deque>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "src/os/os.h"

// A lambda's calling convention, for lambdas that stand in for Windows
// functions: [](HWND window) WINAPI_LAMBDA -> BOOL { ... }
#define WINAPI_LAMBDA __attribute__((stdcall))

namespace test {

// The tray window and the taskbar as the fakes name them in the call log.
inline const HWND kTrayWindow = reinterpret_cast<HWND>(0x7A01);
inline const HWND kTaskbar = reinterpret_cast<HWND>(0x7A02);
inline const HWND kDialog = reinterpret_cast<HWND>(0x7A03);
inline const HANDLE kToken = reinterpret_cast<HANDLE>(0x7A04);

std::string Format(const char* format, ...);

class FakeWindows {
public:
    FakeWindows();
    ~FakeWindows();
    FakeWindows(const FakeWindows&) = delete;
    FakeWindows& operator=(const FakeWindows&) = delete;

    // The calls made so far, as "Function(arguments)", in order.
    std::vector<std::string> calls;
    // Only the calls to the named functions, in order.
    std::vector<std::string> Calls(std::initializer_list<const char*> functions) const;
    // The calls to one function.
    std::vector<std::string> Calls(const char* function) const { return Calls({function}); }

    // Answers. A queue entry is used once; the default after that.
    std::deque<int> messageBoxAnswers;
    int messageBoxDefault = IDOK;
    BOOL exitWindowsResult = TRUE;
    BOOL shutdownResult = TRUE;
    LRESULT sendMessageResult = 0;
    std::deque<std::pair<INT_PTR, DWORD>> shellExecuteResults;   // result, last error
    std::deque<BOOL> notifyResults;                              // default TRUE
    HWND windowAbove = nullptr;
    POINT cursor = {};
    std::string tempPath;           // non-empty: what GetTempPathA returns
    INT_PTR findExecutableResult = 42;
    std::string findExecutablePath = "C:\\Browser\\browser.exe";

    // Check states of the fake dialog's buttons, by control id.
    std::map<int, UINT> buttonStates;

    // The registry and profile-string calls are recorded too; set false to
    // keep them out of `calls` when a test is about something else.
    bool recordStorage = true;

    static FakeWindows* current;
    void Record(std::string call, bool storage = false);

private:
    struct Saved;
    Saved* saved_;
};

} // namespace test
