// Windows scripted through the seam, for what must never really happen (the
// exit calls) or cannot be brought about from outside (a refused call): each
// case runs a command-line switch, a tray command or a dialog button and
// compares the calls it made. Registry writes also reach Wine's registry.
#include "res/resource_ids.h"
#include "src/app/command_line.h"
#include "src/app/program.h"
#include "src/config/settings.h"
#include "src/os/os.h"
#include "src/ui/dialogs.h"
#include "src/ui/tray_window.h"
#include "tests/check.h"

#include <cstdarg>
#include <vector>

#define STDCALL __attribute__((stdcall))

namespace {

const HWND kTaskbar = reinterpret_cast<HWND>(0x7A02);
const char kPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

std::string calls;
int boxAnswer;
BOOL systemCallResult;
LRESULT sendResult;
std::vector<std::pair<INT_PTR, DWORD>> shellResults;   // result and last error, one per call
DWORD lastError;

void Log(const char* format, ...)
{
    char line[512];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    calls += (calls.empty() ? "" : " ") + std::string(line);
}

const char* Name(HWND window)
{
    return window == kTaskbar ? "taskbar" : window == program::trayWindow ? "tray" : "other";
}

void InstallFakes()
{
    os::MessageBoxA = [](HWND, LPCSTR text, LPCSTR caption, UINT flags) STDCALL {
        Log("Box(%s,%s,%x)", text, caption, flags);
        return boxAnswer;
    };
    os::ExitWindowsEx = [](UINT flags, DWORD) STDCALL {
        Log("Exit(%u)", flags);
        return systemCallResult;
    };
    os::InitiateSystemShutdownA = [](LPSTR, LPSTR, DWORD timeout, BOOL force, BOOL reboot) STDCALL {
        Log("Initiate(%lu,%d,%d)", timeout, force, reboot);
        return systemCallResult;
    };
    os::OpenProcessToken = [](HANDLE, DWORD, PHANDLE token) STDCALL {
        *token = reinterpret_cast<HANDLE>(0x7A04);
        return TRUE;
    };
    os::AdjustTokenPrivileges = [](HANDLE, BOOL, PTOKEN_PRIVILEGES state, DWORD, PTOKEN_PRIVILEGES, PDWORD) STDCALL {
        Log("Privilege(%lu)", state->Privileges[0].Attributes);
        return TRUE;
    };
    os::CloseHandle = [](HANDLE handle) STDCALL {
        Log("Close(%lx)", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(handle)));
        return TRUE;
    };
    os::FindWindowA = [](LPCSTR, LPCSTR) STDCALL { return kTaskbar; };
    os::PostMessageA = [](HWND window, UINT message, WPARAM wParam, LPARAM) STDCALL {
        Log("Post(%s,%u,%u)", Name(window), message, wParam);
        return TRUE;
    };
    os::SendMessageA = [](HWND window, UINT message, WPARAM, LPARAM) STDCALL {
        Log("Send(%s,%u)", Name(window), message);
        return sendResult;
    };
    os::RegSetValueExA = [](HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) STDCALL {
        if (type == REG_SZ)
            Log("Set(%s=%s)", name, data);
        else
            Log("Set(%s=%d)", name, data[0]);
        return ::RegSetValueExA(key, name, reserved, type, data, size);
    };
    os::ShellExecuteA = [](HWND, LPCSTR, LPCSTR file, LPCSTR parameters, LPCSTR, INT) STDCALL {
        Log("Shell(%s,%s)", file, parameters ? parameters : "");
        auto [result, error] = shellResults.empty() ? std::pair<INT_PTR, DWORD>(42, 0) : shellResults.front();
        if (!shellResults.empty())
            shellResults.erase(shellResults.begin());
        lastError = error;
        return reinterpret_cast<HINSTANCE>(result);
    };
    os::GetLastError = []() STDCALL { return lastError; };
    os::FindExecutableA = [](LPCSTR, LPCSTR, LPSTR found) STDCALL {
        lstrcpyA(found, "C:\\Browser\\browser.exe");
        return reinterpret_cast<HINSTANCE>(42);
    };
}

void SetPolicy(const char* name, int value)
{
    HKEY key;
    RegDeleteKeyA(HKEY_CURRENT_USER, kPolicies);
    RegCreateKeyExA(HKEY_CURRENT_USER, kPolicies, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    const BYTE bytes[4] = {static_cast<BYTE>(value)};
    if (name)
        RegSetValueExA(key, name, 0, REG_BINARY, bytes, sizeof bytes);
    RegCloseKey(key);
}

// The exit actions, reached by switch or by tray command, on both families.
void ExitActions()
{
    const struct {
        const char* arguments;   // the switch, or nullptr for the tray command
        WORD command;
        bool nt;
        const char* settings;    // Ausschalten, Warmstart
        const char* policy;      // its value is `policyValue`
        int policyValue;
        int answer;
        BOOL result;             // of the system call
        LRESULT sent;
        std::string expected;
    } cases[] = {
        {"/x", 0, true, "", "NoClose", 0, 0, 1, 0, "Post(taskbar,16,0)"},
        {"/x?", 0, true, "", "NoClose", 1, 0, 1, 0, "Set(NoClose=0) Send(taskbar,16) Set(NoClose=1)"},
        {nullptr, IDM_SHUTDOWN_DIALOG, true, "", "NoClose", 1, 0, 1, 1, "Set(NoClose=0) Send(taskbar,16)"},
        {"/x", 0, true, "", "NoClose", 2, 0, 1, 0, ""},
        {"/s", 0, true, "", nullptr, 0, 0, 1, 0, "Privilege(2) Initiate(0,0,0) Privilege(0) Close(7a04)"},
        {"/s", 0, false, "", nullptr, 0, 0, 1, 0, "Exit(1)"},
        {"/s", 0, false, "", nullptr, 0, 0, 0, 0, "Exit(1) Box(Windows herunterfahren,Lichtaus+,10010)"},
        {"/S?", 0, true, "", nullptr, 0, IDCANCEL, 1, 0, "Box(Windows herunterfahren,Lichtaus+,10021)"},
        {"/s?", 0, true, "", nullptr, 0, IDOK, 0, 0,
         "Box(Windows herunterfahren,Lichtaus+,10021) Privilege(2) Initiate(0,0,0) "
         "Box(Windows herunterfahren,Lichtaus+,10010) Privilege(0) Close(7a04)"},
        {"/p", 0, false, "", nullptr, 0, 0, 1, 0, "Privilege(2) Exit(9) Privilege(0) Close(7a04)"},
        {"/r", 0, true, "", nullptr, 0, 0, 1, 0, "Privilege(2) Exit(2) Privilege(0) Close(7a04)"},
        {"/force", 0, true, "", nullptr, 0, 0, 0, 0,
         "Privilege(2) Exit(13) Box(Force,Lichtaus+,10010) Privilege(0) Close(7a04)"},
        {"/l", 0, true, "", "NoLogoff", 1, 0, 1, 0, "Set(NoLogoff=0) Exit(0) Send(tray,16) Set(NoLogoff=1)"},
        {"/l", 0, true, "", "NoLogoff", 0, 0, 0, 0, "Exit(0) Box(Benutzer abmelden,Lichtaus+,10010) Send(tray,16)"},
        {"/l", 0, true, "", "NoLogoff", 2, 0, 1, 0, ""},
        {"/t", 0, true, "", nullptr, 0, 0, 1, 0, "Exit(0) Send(tray,16)"},
        // No restart program in this test's executable to restart with.
        {"/t", 0, false, "", nullptr, 0, 0, 1, 0, "Box(Windows neu starten,Lichtaus+,10010)"},
        {nullptr, IDM_SHUT_DOWN, true, "Ja", nullptr, 0, 0, 1, 0, "Privilege(2) Exit(9) Privilege(0) Close(7a04)"},
        {nullptr, IDM_SHUT_DOWN, true, "nein", nullptr, 0, 0, 1, 0,
         "Privilege(2) Initiate(0,0,0) Privilege(0) Close(7a04)"},
        {nullptr, IDM_RESTART, true, "Ja", nullptr, 0, 0, 1, 0, "Privilege(2) Exit(2) Privilege(0) Close(7a04)"},
        {nullptr, IDM_RESTART, true, "NEIN", nullptr, 0, 0, 1, 0, "Exit(0) Send(tray,16)"},
        {nullptr, IDM_LOG_OFF, false, "", nullptr, 0, 0, 1, 0, "Exit(0) Send(tray,16)"},
    };
    for (const auto& c : cases) {
        const std::string what = c.arguments ? c.arguments : "command " + std::to_string(c.command);
        program::ntFamily = c.nt;
        config::settings = {};
        lstrcpyA(config::settings.ausschalten, c.settings);
        lstrcpyA(config::settings.warmstart, c.settings);
        SetPolicy(c.policy, c.policyValue);
        boxAnswer = c.answer;
        systemCallResult = c.result;
        sendResult = c.sent;
        calls.clear();
        if (c.arguments)
            app::RunCommandLine(c.arguments);
        else
            ui::TrayWindowProc(program::trayWindow, WM_COMMAND, c.command, 0);
        CHECK_EQ(c.expected, calls, what);
    }
}

// The About dialog's links: the shell's own program, else the browser with
// the link, else the link shown; only "file not found" goes on to the next.
void AboutLinks()
{
    const char* mail = "mailto:lichtaus@example.org?subject=Lichtaus+ v2.12";
    const struct {
        int button;
        std::vector<std::pair<INT_PTR, DWORD>> results;
        std::string expected;
    } cases[] = {
        {IDC_WEB_PAGE, {{42, 0}}, "Shell(http://www.example.org/lichtaus/,)"},
        {IDC_EMAIL, {{2, 2}, {42, 0}}, "Shell(" + std::string(mail) + ",) Shell(C:\\Browser\\browser.exe," + mail + ")"},
        {IDC_EMAIL, {{31, 5}}, "Shell(" + std::string(mail) + ",)"},
        {IDC_EMAIL, {{2, 2}, {2, 2}},
         "Shell(" + std::string(mail) + ",) Shell(C:\\Browser\\browser.exe," + mail + ") Box(" + mail + ",Lichtaus+,10010)"},
    };
    ui::AboutDialogProc(nullptr, WM_INITDIALOG, 0, 0);
    for (const auto& c : cases) {
        shellResults = c.results;
        calls.clear();
        ui::AboutDialogProc(nullptr, WM_COMMAND, c.button, 0);
        CHECK_EQ(c.expected, calls, "about link " + std::to_string(c.button));
    }
}

// Without its menu the tray window is not created, and the user is told.
void MenuMissing()
{
    calls.clear();
    CHECK_EQ(-1l, ui::TrayWindowProc(nullptr, WM_CREATE, 0, 0), "WM_CREATE without the menu");
    CHECK_EQ("Box(Fehler beim Erzeugen des Menüs.,Lichtaus+,10010)", calls, "WM_CREATE without the menu");
}

} // namespace

int main()
{
    if (test::RefuseOutsideWine())
        return 1;
    InstallFakes();
    ExitActions();
    AboutLinks();
    MenuMissing();
    RegDeleteKeyA(HKEY_CURRENT_USER, kPolicies);
    printf("seam: %d failed checks\n", test::failures);
    return test::failures != 0;
}
