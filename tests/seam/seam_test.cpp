// Windows scripted through the seam for what must never really happen (the exit calls) or cannot be brought
// about from outside (a refused call), compared call by call. Registry writes also reach Wine's registry.
#include "res/resource_ids.h"
#include "src/app/command_line.h"
#include "src/app/paths.h"
#include "src/config/registry.h"
#include "src/config/settings.h"
#include "src/os/os.h"
#include "src/os/shell.h"
#include "src/program/program.h"
#include "src/ui/dialogs.h"
#include "src/ui/tray_icon.h"
#include "src/ui/tray_window.h"
#include "tests/check.h"

#include <algorithm>
#include <cstdarg>
#include <filesystem>
#include <vector>

namespace {

const HWND kTaskbar = reinterpret_cast<HWND>(0x7A02);
const char kPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

// An exit action's case; the fakes answer as the one running says.
struct ExitCase {
    const char* run;         // a switch, or a tray command's id
    bool nt;
    const char* settings;    // Ausschalten, Warmstart
    const char* policy;      // set to `policyValue` in a fresh policy key
    DWORD policyValue;
    BOOL result;             // of the exit call
    LRESULT sent;            // the answer to a message sent
    std::string expected;
    BOOL answers = TRUE;     // the shell answered in time
    HWND shell = kTaskbar;
    bool unshown = false;    // a question cannot be shown; else it is answered Yes or OK
    bool refused = false;    // the policy key refuses changes (an administrator's)
} now;

std::string calls;
int addRefusals;                     // NIM_ADD calls refused before the next one succeeds
std::vector<std::pair<INT_PTR, DWORD>> shellResults;   // result and last error, one per call; then a start
DWORD lastError;
std::vector<std::pair<std::string, FARPROC>> lateFakes;   // by name
template <typename F> FARPROC Fake(F function) { return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(+function)); }

template <typename T> [[gnu::format(gnu_printf, 2, 3)]] T Log(T result, const char* format, ...)
{
    char line[512];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    calls += (calls.empty() ? "" : " ") + std::string(line);
    return result;
}

const char* Name(HWND window)
{
    return !window ? "null" : window == kTaskbar ? "taskbar" : window == program::trayWindow ? "tray" : "other";
}

void InstallFakes()
{
    os::MessageBoxA = [](HWND, LPCSTR text, LPCSTR caption, UINT flags) WINAPI {
        return Log(now.unshown ? 0 : flags & MB_YESNO ? IDYES : IDOK, "Box(%.32s,%s,%x)", text, caption, flags); };
    os::ExitWindowsEx = [](UINT flags, DWORD reason) WINAPI { return Log(now.result, "Exit(%u,%lu)", flags, reason); };
    os::InitiateSystemShutdownA = [](LPSTR, LPSTR, DWORD timeout, BOOL force, BOOL reboot) WINAPI {
        return Log(now.result, "Initiate(%lu,%d,%d)", timeout, force, reboot); };
    os::OpenProcessToken = [](HANDLE, DWORD, PHANDLE token) WINAPI { return *token = HANDLE(0x7A04), TRUE; };
    os::AdjustTokenPrivileges = [](HANDLE, BOOL, PTOKEN_PRIVILEGES state, DWORD, PTOKEN_PRIVILEGES, PDWORD) WINAPI {
        return Log(TRUE, "Privilege(%lu)", state->Privileges[0].Attributes); };
    os::CloseHandle = [](HANDLE handle) WINAPI { return Log(TRUE, "Close(%zx)", reinterpret_cast<UINT_PTR>(handle)); };
    os::FindWindowA = [](LPCSTR, LPCSTR) WINAPI { return now.shell; };
    os::PostMessageA = [](HWND window, UINT message, WPARAM wParam, LPARAM) WINAPI {
        return Log(TRUE, "Post(%s,%u,%zu)", Name(window), message, wParam); };
    os::SendMessageA = [](HWND window, UINT message, WPARAM, LPARAM) WINAPI {
        return Log(now.sent, "Send(%s,%u)", Name(window), message); };
    os::SendMessageTimeoutA = [](HWND window, UINT message, WPARAM, LPARAM, UINT flags, UINT, PDWORD_PTR out) WINAPI {
        return *out = now.sent, Log(LRESULT(now.answers), "Send(%s,%u,%u)", Name(window), message, flags); };
    os::Shell_NotifyIconA = [](DWORD operation, PNOTIFYICONDATAA) WINAPI {
        BOOL added = operation != NIM_ADD || --addRefusals < 0;
        return operation != NIM_ADD ? TRUE : Log(added, "Add(%d)", added); };
    os::SetTimer = [](HWND window, UINT_PTR id, UINT, TIMERPROC) WINAPI {
        return Log(id, "SetTimer(%s,%zu)", Name(window), id); };
    os::KillTimer = [](HWND window, UINT_PTR id) WINAPI { return Log(TRUE, "KillTimer(%s,%zu)", Name(window), id); };
    os::WritePrivateProfileStringA = [](LPCSTR, LPCSTR key, LPCSTR value, LPCSTR) WINAPI {
        return Log(TRUE, "Profile(%s,%s)", key ? key : "", value ? value : ""); };
    os::RegSetValueExA = [](HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) WINAPI {
        std::string value = type == REG_SZ ? reinterpret_cast<LPCSTR>(data) : std::to_string(data[0]);
        return Log(::RegSetValueExA(key, name, 0, type, data, size), "Set(%s=%s)", name, value.c_str());
    };
    os::ShellExecuteA = [](HWND, LPCSTR, LPCSTR file, LPCSTR parameters, LPCSTR, INT) WINAPI {
        std::pair<INT_PTR, DWORD> next = shellResults.empty() ? std::pair<INT_PTR, DWORD>(42, 0) : shellResults.front();
        if (!shellResults.empty()) shellResults.erase(shellResults.begin());
        lastError = next.second;
        return Log(reinterpret_cast<HINSTANCE>(next.first), "Shell(%s,%s)", file, parameters ? parameters : "");
    };
    os::GetLastError = []() WINAPI { return lastError; };
    os::SetMenuDefaultItem = [](HMENU, UINT id, UINT byPosition) WINAPI {
        return Log(TRUE, "Default(%u,%u)", id, byPosition); };
    os::SetForegroundWindow = [](HWND window) WINAPI { return Log(TRUE, "Foreground(%s)", Name(window)); };
    os::TrackPopupMenu = [](HMENU, UINT flags, int x, int y, int, HWND owner, const RECT*) WINAPI {
        return Log(TRUE, "Track(%x,%d,%d,%s)", flags, x, y, Name(owner)); };
    // Functions found at run time: a fake where one is named, else the real one.
    os::GetProcAddress = [](HMODULE module, LPCSTR name) WINAPI {
        auto fake = std::ranges::find(lateFakes, std::string(name), &std::pair<std::string, FARPROC>::first);
        return fake != lateFakes.end() ? fake->second : ::GetProcAddress(module, name); };
    os::FindExecutableA = [](LPCSTR, LPCSTR, LPSTR found) WINAPI {
        return lstrcpyA(found, "C:\\Browser\\browser.exe"), HINSTANCE(42); };
}

// The exit actions, reached by switch or by tray command, on both families.
void ExitActions()
{
    auto privileged = [](const std::string& call) { return "Privilege(2) " + call + " Privilege(0) Close(7a04)"; };
    const std::string kept = "Box(Ein Administrator hat \"";
    lstrcpyA(program::exeLongPath, "C:\\Lichtaus\\Lichtaus+.exe");
    lstrcpyA(program::settingsPath, "C:\\Lichtaus\\Lichtaus+.ini");
    const ExitCase cases[] = {
        {"/x", true, "", "NoClose", 0, 1, 0, "Post(taskbar,16,0)"},
        {"/x?", true, "", "NoClose", 1, 1, 0, "Set(NoClose=0) Send(taskbar,16,2) Set(NoClose=1)"},
        {"500", true, "", "NoClose", 1, 1, 1, "Set(NoClose=0) Send(taskbar,16,2)"},
        // A hung or missing shell: the policy ends as it began.
        {"/x", true, "", "NoClose", 1, 1, 1, "Set(NoClose=0) Send(taskbar,16,2) Set(NoClose=1)", FALSE},
        {"/x", true, "", "NoClose", 1, 1, 0, "", TRUE, nullptr},
        {"/x", true, "", "NoClose", 0, 1, 0, "", TRUE, nullptr},
        {"/x", true, "", "NoClose", 2, 1, 0, ""},
        {"/s", false, "", nullptr, 0, 1, 0, "Exit(1,0)"},
        {"/s", false, "", nullptr, 0, 0, 0, "Exit(1,0) Box(Windows herunterfahren,Lichtaus+,10010)"},
        {"/s?", true, "", nullptr, 0, 0, 0, "Box(Windows herunterfahren,Lichtaus+,10021) " +
             privileged("Initiate(0,0,0) Box(Windows herunterfahren,Lichtaus+,10010)")},
        {"/p", false, "", nullptr, 0, 1, 0, privileged("Exit(9,0)")},
        // Each question answered OK reaches its own action. MS-DOS mode without its file: the key written and the
        // file flushed (9x caches profile writes) before the editor opens it.
        {"/p?", true, "", nullptr, 0, 1, 0, "Box(Windows herunterfahren,Lichtaus+,10021) " + privileged("Exit(9,0)")},
        {"/t?", true, "", nullptr, 0, 1, 0, "Box(Benutzer abmelden,Lichtaus+,10021) Exit(0,0) Send(tray,16)"},
        {"/l?", true, "", nullptr, 0, 1, 0, "Box(Benutzer abmelden,Lichtaus+,10021) Exit(0,0) Send(tray,16)"},
        {"/d?", false, "", nullptr, 0, 1, 0, "Box(MS-DOS-Modus starten,Lichtaus+,10021) Profile(MS-DOS-Modus,MS-DOS-"
         "Modus.pif) Profile(,) Close(7a04) Box(Die Datei 'MS-DOS-Modus.pif' kon,Lichtaus+,10040) Shell(C:\\Lichtaus\\"
         "Lichtaus+.ini,)"},
        {"/r", true, "", nullptr, 0, 1, 0, privileged("Exit(2,0)")},
        {"/force", true, "", nullptr, 0, 0, 0, privileged("Exit(13,0) Box(Force,Lichtaus+,10010)")},
        {"/l", true, "", "NoLogoff", 1, 1, 0, "Set(NoLogoff=0) Exit(0,0) Send(tray,16) Set(NoLogoff=1)"},
        {"/l", true, "", "NoLogoff", 0, 0, 0, "Exit(0,0) Box(Benutzer abmelden,Lichtaus+,10010) Send(tray,16)"},
        {"/l", true, "", "NoLogoff", 2, 1, 0, ""},
        // An administrator's policy: 2 is left alone as ever; 1, which the user may not lift, stops the action.
        {"/l?", true, "", "NoLogoff", 2, 1, 0, "Box(Benutzer abmelden,Lichtaus+,10021)", TRUE, kTaskbar, false, true},
        {"/l", true, "", "NoLogoff", 1, 1, 0, kept + "Abmelden\",Lichtaus+,10040)", TRUE, kTaskbar, false, true},
        {"/x", true, "", "NoClose", 1, 1, 0, kept + "Beenden\" ,Lichtaus+,10040)", TRUE, kTaskbar, false, true},
        // Only Cancel stops: a question that cannot be shown lets the action go on.
        {"/r?", true, "", nullptr, 0, 1, 0, "Box(Windows neu starten,Lichtaus+,10021) " + privileged("Exit(2,0)"), TRUE,
         kTaskbar, true},
        // No restart program in this test's executable to restart with.
        {"/t", false, "", nullptr, 0, 1, 0, "Box(Windows neu starten,Lichtaus+,10010)"},
        {"600", true, "Ja", nullptr, 0, 1, 0, privileged("Exit(9,0)")},
        {"600", true, "nein", nullptr, 0, 1, 0, privileged("Initiate(0,0,0)")},
        {"700", true, "Ja", nullptr, 0, 1, 0, privileged("Exit(2,0)")},
        {"700", true, "NEIN", nullptr, 0, 1, 0, "Exit(0,0) Send(tray,16)"},
        {"900", false, "", nullptr, 0, 1, 0, "Exit(0,0) Send(tray,16)"},
    };
    for (const ExitCase& c : cases) {
        program::ntFamily = c.nt;
        config::settings = {};
        lstrcpyA(config::settings.ausschalten, c.settings);
        lstrcpyA(config::settings.warmstart, c.settings);
        test::Refuse(HKEY_CURRENT_USER, kPolicies, false);
        RegDeleteKeyA(HKEY_CURRENT_USER, kPolicies);
        if (c.policy)
            RegSetKeyValueA(HKEY_CURRENT_USER, kPolicies, c.policy, REG_BINARY, &c.policyValue, sizeof c.policyValue);
        if (c.refused) test::Refuse(HKEY_CURRENT_USER, kPolicies);
        now = c;
        calls.clear();
        if (c.run[0] == '/')
            app::RunCommandLine(c.run);
        else ui::TrayWindowProc(program::trayWindow, WM_COMMAND, atoi(c.run), 0);
        CHECK_EQ(c.expected, calls, c.run);
    }
    test::Refuse(HKEY_CURRENT_USER, kPolicies, false);
}

// What Wine cannot play: Vista's redirection of a protected folder's file writes to the VirtualStore, a volume
// without short names under a folder whose name the ANSI code page cannot hold, and a start through the short form
// (Wine always reports the long one). The path functions answer these; nullptr gives the path back as it came.
const WCHAR *modulePath, *longPath, *shortFolder;
DWORD Copy(LPWSTR to, LPCWSTR path) { return lstrlenW(lstrcpyW(to, path)); }

void FoldersWindowsRedirects()
{
    static std::wstring local = std::filesystem::path(test::TempPath() + "Local");
    lateFakes = {
        {"GetTokenInformation", Fake([](HANDLE, TOKEN_INFORMATION_CLASS kind, LPVOID on, DWORD, PDWORD) WINAPI {
             return *static_cast<DWORD*>(on) = kind == TokenVirtualizationEnabled, TRUE; })},
        {"SHGetFolderPathW", Fake([](HWND, int id, HANDLE, DWORD, LPWSTR path) WINAPI {
             return Copy(path, id == CSIDL_LOCAL_APPDATA ? local.c_str()
                               : id == CSIDL_WINDOWS       ? L"C:\\windows" : L"C:\\Program Files"), S_OK; })},
        {"GetModuleFileNameW", Fake([](HMODULE, LPWSTR path, DWORD) WINAPI { return Copy(path, modulePath); })},
        {"GetLongPathNameW", Fake([](LPCWSTR given, LPWSTR path, DWORD) WINAPI {
             return Copy(path, longPath ? longPath : given); })},
        {"GetShortPathNameW", Fake([](LPCWSTR given, LPWSTR path, DWORD) WINAPI {
             return Copy(path, shortFolder ? shortFolder : given); })},
    };
    program::ntFamily = true;
    config::settings = {};
    // Only a protected folder of the system drive is redirected, and the store mirrors its long form.
    const struct { const char* settings; const WCHAR* longForm; bool copied; const char* opened; } stores[] = {
        {"C:\\Program Files\\Lichtaus\\Lichtaus+.ini", nullptr, false, "C:\\Program Files\\Lichtaus\\Lichtaus+.ini"},
        {"C:\\Program Files\\Lichtaus\\Lichtaus+.ini", nullptr, true, "\\VirtualStore\\Program Files\\Lichtaus\\"},
        {"C:\\PROGRA~1\\Lichtaus\\Lichtaus+.ini", L"C:\\Program Files\\Lichtaus\\Lichtaus+.ini", true, "VirtualStore"},
        {"D:\\Program Files\\Lichtaus\\Lichtaus+.ini", nullptr, true, "Shell(D:\\Program Files\\Lichtaus\\"},
    };
    for (const auto& store : stores) {
        const std::filesystem::path copy = local + L"\\VirtualStore\\Program Files\\Lichtaus\\Lichtaus+.ini";
        std::filesystem::remove_all(local);
        std::filesystem::create_directories(copy.parent_path());
        if (store.copied) CloseHandle(CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        lstrcpyA(program::settingsPath, store.settings);
        longPath = store.longForm;
        calls.clear();
        app::RunCommandLine("/d");
        CHECK(calls.find(store.opened, calls.rfind("Shell(")) != std::string::npos,
              store.settings + (" opened: " + calls));
    }
    std::filesystem::remove_all(local);
    // Options' OK with autostart: started through the short form, the short form stays; no short names, nothing
    // names the program, and MS-DOS mode has no settings file to write to.
    os::IsDlgButtonChecked = [](HWND, int id) WINAPI { return UINT(id == IDC_AUTOSTART); };
    const struct { const WCHAR *module, *longForm, *folder; std::string run; } starts[] = {
        {L"C:\\LUKASZ~1\\Lichtaus+.exe", L"C:\\\u0141ukasz\\Lichtaus+.exe", L"C:\\LUKASZ~1\\",
         "Set(Lichtaus+=C:\\LUKASZ~1\\Lichtaus+.exe) Set(DisplayName=Lichtaus+) Set(UninstallString=C:"},
        {L"C:\\\u0141ukasz\\Lichtaus+.exe", nullptr, nullptr, ""},
    };
    for (const auto& start : starts) {
        modulePath = start.module, longPath = start.longForm, shortFolder = start.folder;
        app::DeriveProgramPaths();
        calls.clear();
        ui::OptionsDialogProc(nullptr, WM_COMMAND, IDOK, 0);
        CHECK_EQ(start.run, calls.substr(std::min(calls.size(), calls.find("Set(Lichtaus+")), start.run.size()),
                 "Options' OK from a folder outside the code page");
    }
    calls.clear();
    app::RunCommandLine("/d");
    CHECK_EQ("Box(Lichtaus+ kann in diesem Ordner ,Lichtaus+,10040)", calls, "MS-DOS mode without a settings file");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lichtaus+");
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Lichtaus+");
    lateFakes.clear();
}

// A notification area not there yet: the icon is tried again on a timer tick and when the taskbar announces itself.
void TrayNotReady()
{
    program::taskbarCreatedMessage = 0xC0DE;
    auto calling = [](int refusals, UINT then) {   // `then` comes until the icon is up, 40 times at most
        addRefusals = refusals;
        calls.clear();
        ui::AddTrayIcon();
        for (int tick = 0; tick < 40 && addRefusals >= 0; ++tick)
            ui::TrayWindowProc(program::trayWindow, then, ui::kAddIconTimerId, 0);
        return calls;
    };
    const std::string added = "Add(0) SetTimer(tray,1) Add(1) KillTimer(tray,1)";
    CHECK_EQ(added, calling(1, WM_TIMER), "tray not ready, then a tick");
    CHECK_EQ(added, calling(1, 0xC0DE), "tray not ready, then TaskbarCreated");
    const std::string failed =
        " Add(0) KillTimer(tray,1) Box(Hinzufügen des Symbols in die Ta,Lichtaus+,10010) Post(tray,16,0)";
    CHECK(calling(40, WM_TIMER).ends_with(failed), "tray never ready: tries end, then the message and the end");
}

// The restart program written and entered in RunOnce, but the shell cannot start it (nothing restarts: scripted).
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
    DeleteFileA((test::TempPath() + "Lichtaus+Restart.exe").c_str());
}

// The About dialog's links: the shell's own program, else the browser, else the link shown.
void AboutLinks()
{
    auto clicking = [](int button, std::vector<std::pair<INT_PTR, DWORD>> results) {
        shellResults = results;
        calls.clear();
        ui::AboutDialogProc(nullptr, WM_COMMAND, button, 0);
        return calls;
    };
    const std::string mail = "mailto:" LICHTAUS_EMAIL "?subject=Lichtaus+ v2.12";
    const std::string bothTried = "Shell(" + mail + ",) Shell(C:\\Browser\\browser.exe," + mail + ")";
    ui::AboutDialogProc(nullptr, WM_INITDIALOG, 0, 0);
    CHECK_EQ("Shell(" LICHTAUS_WEB_PAGE ",)", clicking(IDC_WEB_PAGE, {{33, ERROR_FILE_NOT_FOUND}}),
             "a result of 33 is a start, whatever the last error says");
    CHECK_EQ(bothTried, clicking(IDC_EMAIL, {{32, 2}, {42, 0}}), "a result of 32 is no start");
    CHECK_EQ("Shell(" + mail + ",)", clicking(IDC_EMAIL, {{31, 5}}), "only \"file not found\" goes on to the next");
    CHECK_EQ(bothTried + " Box(" + mail.substr(0, 32) + ",Lichtaus+,10010)",
             clicking(IDC_EMAIL, {{2, 2}, {2, 2}}), "neither started: the link shown");
}

// The popup menu at the cursor, which may be negative; the WM_NULL after it lets it open properly next time.
void TrayMenu()
{
    lstrcpyA(config::settings.menuepunkt, "benutzer ABMELDEN");
    calls.clear();
    ui::TrayWindowProc(program::trayWindow, WM_USER + 1, 0, MAKELPARAM(-5, 7));
    CHECK(calls.starts_with("Default(900,0)") && calls.ends_with("Track(2,-5,7,tray) Post(tray,0,0)"), calls);
    calls.clear();
    CHECK_EQ(-1l, ui::TrayWindowProc(nullptr, WM_CREATE, 0, 0), "WM_CREATE without the menu");
    CHECK_EQ("Box(Fehler beim Erzeugen des Menüs.,Lichtaus+,10010)", calls, "WM_CREATE without the menu");
}

// A start through the 8.3 form on Windows 98: the long form from GetLongPathNameA, without COM. Windows 95 has no
// such function: COM comes before the first launch or shell-namespace call, whichever action comes first, and once.
void LongPathAndCom()
{
    auto longForm = [](LPCSTR, LPSTR path, DWORD) WINAPI {
        return DWORD(lstrlenA(lstrcpyA(path, "C:\\Lange Namen\\Lichtaus+.exe"))); };
    auto coInitialize = [](LPVOID) WINAPI { return Log(S_OK, "Com"); };
    lateFakes = {{"GetLongPathNameA", Fake(longForm)}, {"CoInitialize", Fake(coInitialize)}};
    os::SHGetMalloc = [](IMalloc**) WINAPI { return Log(E_FAIL, "Namespace"); };
    program::ntFamily = os::comInitialised = false;
    calls.clear();
    app::DeriveProgramPaths();
    CHECK_EQ("C:\\Lange Namen\\Lichtaus+.ini" + calls, program::settingsPath, "Windows 98: the long form, no COM");
    lateFakes[0].second = nullptr;
    void (*const actions[])() = {app::DeriveProgramPaths, [] { app::RunCommandLine("/d"); },
                                 [] { ui::AboutDialogProc(nullptr, WM_COMMAND, IDC_WEB_PAGE, 0); }};
    for (int first = 0; first < 3; ++first) {
        os::comInitialised = false;
        calls.clear();
        for (int i = 0; i < 3; ++i) actions[(first + i) % 3]();
        size_t com = calls.find("Com");
        CHECK(com < std::min(calls.find("Shell("), calls.find("Namespace")) && calls.rfind("Com") == com, calls);
    }
    lateFakes.clear();
}

} // namespace

int main()
{
    if (test::RefuseOutsideWine()) return 1;
    InstallFakes();
    program::trayWindow = reinterpret_cast<HWND>(0x7A01);
    ExitActions();
    TrayNotReady();
    RestartNotStarted();
    AboutLinks();
    TrayMenu();
    FoldersWindowsRedirects();
    LongPathAndCom();
    RegDeleteKeyA(HKEY_CURRENT_USER, kPolicies);
    return test::Finish("seam");
}
