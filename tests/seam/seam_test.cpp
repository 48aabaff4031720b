// Windows scripted through the seam, for what must never really happen (the
// exit calls) or cannot be brought about from outside (a refused call): each
// case runs a command-line switch, a tray command or a dialog button and
// compares the calls it made. Registry writes also reach Wine's registry.
#include "res/resource_ids.h"
#include "src/app/command_line.h"
#include "src/config/registry.h"
#include "src/config/settings.h"
#include "src/os/os.h"
#include "src/program/program.h"
#include "src/ui/dialogs.h"
#include "src/ui/tray_icon.h"
#include "src/ui/tray_window.h"
#include "tests/check.h"

#include <cstdarg>
#include <vector>

#define STDCALL __attribute__((stdcall))

namespace {

const HWND kTaskbar = reinterpret_cast<HWND>(0x7A02);
const char kPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

std::string calls;
int busyAtCall;                      // the busy flag when the taskbar was sought or Windows asked to end
int boxAnswer;
BOOL systemCallResult;
LRESULT sendResult;
BOOL shellAnswers = TRUE;            // the taskbar answers within the limit
HWND taskbar = kTaskbar;
bool machineRefused = false;         // writes to HKEY_LOCAL_MACHINE are refused
std::vector<BOOL> notifyResults;     // of NIM_ADD, one per call; then TRUE
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
    return !window ? "null" : window == kTaskbar ? "taskbar" : window == program::trayWindow ? "tray" : "other";
}

// The next scripted answer, or `otherwise` when the script has run out.
template <typename T> T Next(std::vector<T>& script, T otherwise)
{
    if (script.empty())
        return otherwise;
    T next = script.front();
    script.erase(script.begin());
    return next;
}

void InstallFakes()
{
    os::MessageBoxA = [](HWND, LPCSTR text, LPCSTR caption, UINT flags) STDCALL {
        Log("Box(%.32s,%s,%x)", text, caption, flags);
        return boxAnswer;
    };
    os::ExitWindowsEx = [](UINT flags, DWORD reason) STDCALL {
        Log("Exit(%u,%lu)", flags, reason);
        busyAtCall = ui::busy;
        return systemCallResult;
    };
    os::InitiateSystemShutdownA = [](LPSTR, LPSTR, DWORD timeout, BOOL force, BOOL reboot) STDCALL {
        Log("Initiate(%lu,%d,%d)", timeout, force, reboot);
        busyAtCall = ui::busy;
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
    os::FindWindowA = [](LPCSTR, LPCSTR) STDCALL {
        busyAtCall = ui::busy;
        return taskbar;
    };
    os::PostMessageA = [](HWND window, UINT message, WPARAM wParam, LPARAM) STDCALL {
        Log("Post(%s,%u,%u)", Name(window), message, wParam);
        return TRUE;
    };
    os::SendMessageA = [](HWND window, UINT message, WPARAM, LPARAM) STDCALL {
        Log("Send(%s,%u)", Name(window), message);
        return sendResult;
    };
    os::SendMessageTimeoutA = [](HWND window, UINT message, WPARAM, LPARAM, UINT flags, UINT limit, PDWORD_PTR result)
        STDCALL {
        Log("Send(%s,%u,%u,%u)", Name(window), message, flags, limit);
        *result = sendResult;
        return static_cast<LRESULT>(shellAnswers);
    };
    os::RegCreateKeyExA = [](HKEY root, LPCSTR path, DWORD, LPSTR, DWORD, REGSAM access, LPSECURITY_ATTRIBUTES,
                             PHKEY key, LPDWORD disposition) STDCALL {
        if (machineRefused && root == HKEY_LOCAL_MACHINE)
            return static_cast<LONG>(ERROR_ACCESS_DENIED);
        return ::RegCreateKeyExA(root, path, 0, nullptr, 0, access, nullptr, key, disposition);
    };
    os::Shell_NotifyIconA = [](DWORD operation, PNOTIFYICONDATAA) STDCALL {
        BOOL result = operation != NIM_ADD || Next<BOOL>(notifyResults, TRUE);
        if (operation == NIM_ADD)
            Log("Add(%d)", result);
        return result;
    };
    os::SetTimer = [](HWND window, UINT_PTR id, UINT period, TIMERPROC) STDCALL {
        Log("SetTimer(%s,%u,%u)", Name(window), id, period);
        return id;
    };
    os::KillTimer = [](HWND window, UINT_PTR id) STDCALL {
        Log("KillTimer(%s,%u)", Name(window), id);
        return TRUE;
    };
    os::WritePrivateProfileStringA = [](LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) STDCALL {
        Log("Profile(%s,%s)", key ? key : "", value ? value : "");
        return ::WritePrivateProfileStringA(section, key, value, file);
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
        auto [result, error] = Next<std::pair<INT_PTR, DWORD>>(shellResults, {42, 0});
        lastError = error;
        return reinterpret_cast<HINSTANCE>(result);
    };
    os::GetLastError = []() STDCALL { return lastError; };
    os::SetMenuDefaultItem = [](HMENU, UINT id, UINT byPosition) STDCALL {
        Log("Default(%u,%u)", id, byPosition);
        return TRUE;
    };
    os::SetForegroundWindow = [](HWND window) STDCALL {
        Log("Foreground(%s)", Name(window));
        return TRUE;
    };
    os::TrackPopupMenu = [](HMENU, UINT flags, int x, int y, int, HWND owner, const RECT*) STDCALL {
        Log("Track(%x,%d,%d,%s)", flags, x, y, Name(owner));
        return TRUE;
    };
    os::FindExecutableA = [](LPCSTR, LPCSTR, LPSTR found) STDCALL {
        lstrcpyA(found, "C:\\Browser\\browser.exe");
        return reinterpret_cast<HINSTANCE>(42);
    };
}

// The calls of one system call inside the shutdown privilege bracket.
std::string Privileged(const std::string& call)
{
    return "Privilege(2) " + call + " Privilege(0) Close(7a04)";
}

// The exit actions, reached by switch or by tray command, on both families.
void ExitActions()
{
    const struct {
        const char* run;         // a switch, or a tray command's id
        bool nt;
        const char* settings;    // Ausschalten, Warmstart
        const char* policy;      // set to `policyValue` in a fresh policy key
        BYTE policyValue;
        int answer;
        BOOL result;             // of the system call
        LRESULT sent;            // the answer to a message sent
        std::string expected;
        BOOL answers = TRUE;     // the shell answered in time
        HWND shell = kTaskbar;
    } cases[] = {
        {"/x", true, "", "NoClose", 0, 0, 1, 0, "Post(taskbar,16,0)"},
        {"/x?", true, "", "NoClose", 1, 0, 1, 0, "Set(NoClose=0) Send(taskbar,16,2,300000) Set(NoClose=1)"},
        {"500", true, "", "NoClose", 1, 0, 1, 1, "Set(NoClose=0) Send(taskbar,16,2,300000)"},
        // A hung or missing shell: the policy ends as it began.
        {"/x", true, "", "NoClose", 1, 0, 1, 1, "Set(NoClose=0) Send(taskbar,16,2,300000) Set(NoClose=1)", FALSE},
        {"/x", true, "", "NoClose", 1, 0, 1, 0, "", TRUE, nullptr},
        {"/x", true, "", "NoClose", 0, 0, 1, 0, "", TRUE, nullptr},
        {"/x", true, "", "NoClose", 2, 0, 1, 0, ""},
        {"/s", true, "", nullptr, 0, 0, 1, 0, Privileged("Initiate(0,0,0)")},
        {"/s", false, "", nullptr, 0, 0, 1, 0, "Exit(1,0)"},
        {"/s", false, "", nullptr, 0, 0, 0, 0, "Exit(1,0) Box(Windows herunterfahren,Lichtaus+,10010)"},
        {"/S?", true, "", nullptr, 0, IDCANCEL, 1, 0, "Box(Windows herunterfahren,Lichtaus+,10021)"},
        {"/s?", true, "", nullptr, 0, IDOK, 0, 0,
         "Box(Windows herunterfahren,Lichtaus+,10021) " +
             Privileged("Initiate(0,0,0) Box(Windows herunterfahren,Lichtaus+,10010)")},
        {"/p", false, "", nullptr, 0, 0, 1, 0, Privileged("Exit(9,0)")},
        {"/r", true, "", nullptr, 0, 0, 1, 0, Privileged("Exit(2,0)")},
        {"/force", true, "", nullptr, 0, 0, 0, 0, Privileged("Exit(13,0) Box(Force,Lichtaus+,10010)")},
        {"/l", true, "", "NoLogoff", 1, 0, 1, 0, "Set(NoLogoff=0) Exit(0,0) Send(tray,16) Set(NoLogoff=1)"},
        {"/l", true, "", "NoLogoff", 0, 0, 0, 0, "Exit(0,0) Box(Benutzer abmelden,Lichtaus+,10010) Send(tray,16)"},
        {"/l", true, "", "NoLogoff", 2, 0, 1, 0, ""},
        {"/t", true, "", nullptr, 0, 0, 1, 0, "Exit(0,0) Send(tray,16)"},
        // No restart program in this test's executable to restart with.
        {"/t", false, "", nullptr, 0, 0, 1, 0, "Box(Windows neu starten,Lichtaus+,10010)"},
        {"600", true, "Ja", nullptr, 0, 0, 1, 0, Privileged("Exit(9,0)")},
        {"600", true, "nein", nullptr, 0, 0, 1, 0, Privileged("Initiate(0,0,0)")},
        {"700", true, "Ja", nullptr, 0, 0, 1, 0, Privileged("Exit(2,0)")},
        {"700", true, "NEIN", nullptr, 0, 0, 1, 0, "Exit(0,0) Send(tray,16)"},
        {"900", false, "", nullptr, 0, 0, 1, 0, "Exit(0,0) Send(tray,16)"},
    };
    for (const auto& c : cases) {
        program::ntFamily = c.nt;
        config::settings = {};
        lstrcpyA(config::settings.ausschalten, c.settings);
        lstrcpyA(config::settings.warmstart, c.settings);
        const BYTE policy[4] = {c.policyValue};
        RegDeleteKeyA(HKEY_CURRENT_USER, kPolicies);
        if (c.policy)
            RegSetKeyValueA(HKEY_CURRENT_USER, kPolicies, c.policy, REG_BINARY, policy, sizeof policy);
        boxAnswer = c.answer;
        systemCallResult = c.result;
        sendResult = c.sent;
        shellAnswers = c.answers;
        taskbar = c.shell;
        calls.clear();
        busyAtCall = -1;
        if (c.run[0] == '/')
            app::RunCommandLine(c.run);
        else
            ui::TrayWindowProc(program::trayWindow, WM_COMMAND, atoi(c.run), 0);
        CHECK_EQ(c.expected, calls, c.run);
        // Tray commands but the shell's own dialog run busy; switches never.
        CHECK(busyAtCall == -1 || busyAtCall == (atoi(c.run) >= IDM_SHUT_DOWN), std::string(c.run) + ": busy flag");
    }
}

// Autostart and the uninstall entry where HKEY_LOCAL_MACHINE refuses writes
// (user account control): the same values under HKEY_CURRENT_USER, read back
// and removed by the uninstall flow.
void RefusedMachineKey()
{
    const char* run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const char* uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lichtaus+";
    auto read = [](const char* key, const char* name) {
        char text[MAX_PATH] = {};
        DWORD size = sizeof text;
        RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text, &size);
        return std::string(text);
    };
    lstrcpyA(program::exeLongPath, "C:\\Lichtaus\\Lichtaus+.exe");
    machineRefused = true;
    config::SetAutostart(true);
    config::WriteUninstallEntry();
    CHECK_EQ("C:\\Lichtaus\\Lichtaus+.exe", read(run, "Lichtaus+"), "refused HKLM: Run under HKCU");
    CHECK_EQ("C:\\Lichtaus\\Lichtaus+.exe /uninstall", read(uninstall, "UninstallString"), "refused HKLM: uninstall entry");
    CHECK(config::IsAutostartOn(), "refused HKLM: autostart reads as on");
    boxAnswer = IDYES;
    config::RunUninstallFlow();
    CHECK_EQ("", read(run, "Lichtaus+") + read(uninstall, "DisplayName"), "refused HKLM: the uninstall flow removes both");
    CHECK(!config::IsAutostartOn(), "refused HKLM: autostart off after uninstalling");
    machineRefused = false;
}

// A notification area that is not there yet: the icon is tried again on a
// timer and when the taskbar announces itself; only after the last try is
// the user told and the program closed.
void TrayNotReady()
{
    program::taskbarCreatedMessage = 0xC0DE;
    std::string failed = "Add(0) SetTimer(tray,1,2000)";
    for (int tick = 0; tick < ui::kAddIconTries; ++tick)
        failed += " Add(0)";
    failed += " KillTimer(tray,1) Box(Hinzufügen des Symbols in die Ta,Lichtaus+,10010) Post(tray,16,0)";
    const struct {
        std::vector<BOOL> results;
        UINT then;   // what comes after the first try, kAddIconTries - 1 times at most
        std::string expected;
    } cases[] = {
        {{FALSE, TRUE}, WM_TIMER, "Add(0) SetTimer(tray,1,2000) Add(1) KillTimer(tray,1)"},
        {{FALSE, TRUE}, 0xC0DE, "Add(0) SetTimer(tray,1,2000) Add(1) KillTimer(tray,1)"},
        {std::vector<BOOL>(ui::kAddIconTries + 1, FALSE), WM_TIMER, failed},
    };
    for (const auto& c : cases) {
        notifyResults = c.results;
        calls.clear();
        ui::AddTrayIcon();
        for (int tick = 0; tick < ui::kAddIconTries && !notifyResults.empty(); ++tick)
            ui::TrayWindowProc(program::trayWindow, c.then, ui::kAddIconTimerId, 0);
        CHECK_EQ(c.expected, calls, "tray not ready, then " + std::to_string(c.then));
    }
}

// MS-DOS mode without its file writes the key and flushes the file (the 9x
// family caches profile writes) before the editor opens it.
void MsDosModeFlush()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    lstrcatA(lstrcpyA(program::settingsPath, temp), "seam.ini");
    program::ntFamily = false;
    config::settings = {};
    calls.clear();
    app::RunCommandLine("/d");
    CHECK_EQ("Box(Die Datei 'MS-DOS-Modus.pif' kon,Lichtaus+,10040) Profile(MS-DOS-Modus,MS-DOS-Modus.pif) "
             "Profile(,) Shell(" + std::string(program::settingsPath) + ",)",
             calls, "MS-DOS mode without its file");
    DeleteFileA(program::settingsPath);
}

// The restart program written and entered in RunOnce, but the shell cannot
// start it: the user is told. (Shell calls are scripted: nothing restarts.)
void RestartNotStarted()
{
    program::instance = LoadLibraryExA(LICHTAUS_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    program::ntFamily = false;
    shellResults = {{2, ERROR_FILE_NOT_FOUND}};
    calls.clear();
    app::RunCommandLine("/t");
    CHECK(calls.ends_with(",) Box(Windows neu starten,Lichtaus+,10010)"), "restart program not started: " + calls);
    program::instance = nullptr;
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "Lichtaus+");
    char written[MAX_PATH];
    DeleteFileA(lstrcatA((GetTempPathA(MAX_PATH, written), written), "Lichtaus+Restart.exe"));
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
        // Above 32 is started, whatever the last error says.
        {IDC_WEB_PAGE, {{33, ERROR_FILE_NOT_FOUND}}, "Shell(http://www.example.org/lichtaus/,)"},
        {IDC_EMAIL, {{32, 2}, {42, 0}}, "Shell(" + std::string(mail) + ",) Shell(C:\\Browser\\browser.exe," + mail + ")"},
        {IDC_EMAIL, {{31, 5}}, "Shell(" + std::string(mail) + ",)"},
        {IDC_EMAIL, {{2, 2}, {2, 2}},
         "Shell(" + std::string(mail) + ",) Shell(C:\\Browser\\browser.exe," + mail + ") Box(mailto:lichtaus@example.org?subj,Lichtaus+,10010)"},
    };
    ui::AboutDialogProc(nullptr, WM_INITDIALOG, 0, 0);
    for (const auto& c : cases) {
        shellResults = c.results;
        calls.clear();
        ui::AboutDialogProc(nullptr, WM_COMMAND, c.button, 0);
        CHECK_EQ(c.expected, calls, "about link " + std::to_string(c.button));
    }
}

// The popup menu at the cursor (negative left of or above the primary screen)
// with the default action bold; the WM_NULL afterwards lets it open properly
// the next time.
void PopupMenu()
{
    lstrcpyA(config::settings.menuepunkt, "benutzer ABMELDEN");
    calls.clear();
    ui::TrayWindowProc(program::trayWindow, WM_USER + 1, 0, MAKELPARAM(-5, 7));
    CHECK_EQ("Default(900,0) Foreground(tray) Track(2,-5,7,tray) Post(tray,0,0)", calls, "popup menu");
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
    program::trayWindow = reinterpret_cast<HWND>(0x7A01);
    ExitActions();
    RefusedMachineKey();
    TrayNotReady();
    MsDosModeFlush();
    RestartNotStarted();
    AboutLinks();
    PopupMenu();
    MenuMissing();
    RegDeleteKeyA(HKEY_CURRENT_USER, kPolicies);
    return test::Finish("seam");
}
