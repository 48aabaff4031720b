// The real Lichtaus+.exe under Wine, driven from outside: what each start,
// click, menu choice and dialog shows, and what it leaves in the settings
// file, the registry and the notification area. Every question before an
// exit action is answered Cancel: no test may end the Wine session.
#include "e2e/driver.h"
#include "res/resource_ids.h"
#include "tests/art_source.h"

#include <tlhelp32.h>

using namespace e2e;

namespace {

const std::string kSection = "[Lichtaus+ Optionen]\r\n";
const std::string kAsks = "Bestätigung=Ja\r\n";
const std::string kDefaultTip = "Windows beenden... - Lichtaus+";
const char kOptions[] = "Lichtaus+ Optionen";
const std::string kOptionsBox = "Lichtaus+ Optionen|Menüpunkt aktivieren|12";
const std::string kAboutBox = "Info über Lichtaus+|Lichtaus+\nVersion 2.12\n\nDie Lichtaus+-Entwickler\nMai 2000"
    "\n\n\n\nWenn Sie sich per E-Mail als\nNutzer anmelden, werden Sie\nüber Neuerungen informiert.|1";
const std::string kHelpBox =
    "Lichtaus+ Hilfe|Befehlszeilenparameter für Lichtaus+\n\n/X\tWindows beenden...\n/S\tWindows herunterfahren\n"
    "/P\tWindows herunterfahren und ausschalten\n/R\tWindows neu starten\n/T\tWindows neu starten ohne Warmstart\n"
    "/D\tMS-DOS-Modus starten\n/L\tBenutzer abmelden\n\nMit ? wird eine zusätzliche Bestätigung angefordert.\n"
    "Beispiel: /S?|1";
const std::string kGreetingBox =
    "Lichtaus+|Lichtaus+ Installation\n\nLichtaus+ hat keine Konfigurationsdatei gefunden. Entweder\n"
    "benutzen Sie Lichtaus+ zum ersten Mal, oder die Konfiguration\nwurde gelöscht. In dem folgenden "
    "Dialogfeld können Sie Ihre\npersönliche Lichtaus+ Konfiguration erstellen.\n\nWenn Sie sich per "
    "E-Mail als Nutzer anmelden, werden Sie\nüber Neuerungen informiert. Viel Spaß mit Lichtaus+.|1";

std::string Question(const std::string& label) { return "Lichtaus+|" + label + "|12"; }

// A standard user beside an administrator: his keys and the user's policy key refuse every change.
void PlayStandardUser(bool standard)
{
    test::Refuse(HKEY_LOCAL_MACHINE, kRun, standard);
    test::Refuse(HKEY_LOCAL_MACHINE, kUninstall, standard);
    test::Refuse(HKEY_CURRENT_USER, kPolicies, standard);
}

void Answer(const Program& program, const std::string& expected, int button, const std::string& what)
{
    HWND box = WaitFor(program.Id(), "#32770");
    CHECK_EQ(expected, box ? Box(box) : "<no box>", what);
    Press(box, button);
    WaitUntil([&] { return !IsWindowVisible(box); });
}

// The Options dialog as the user sees it: checked controls and greyed ones.
std::string Shown(HWND dialog)
{
    std::string checked = "checked", disabled = "; disabled";
    for (int id = IDC_ACTION_SHUTDOWN_DIALOG; id <= IDC_AUTOSTART; ++id) {
        if (SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED) checked += " " + std::to_string(id);
        if (!IsWindowEnabled(GetDlgItem(dialog, id))) disabled += " " + std::to_string(id);
    }
    return checked + disabled;
}

// Closes the Notepad window showing `caption`; false when none came.
bool CloseNotepad(const std::string& caption)
{
    HWND found = nullptr;
    WaitUntil([&] {
        return (found = FindWindowA("Notepad", nullptr)) && Text(found).find(caption) != std::string::npos; });
    PostMessageA(found, WM_CLOSE, 0, 0);
    return found && WaitUntil([&] { return !IsWindow(found); });
}

// A tray program started in a folder of its own, beside `settings` if given.
struct Tray : Folder, Program {
    HWND window;
    Tray(const std::string& name, const std::string& settings)
        : Folder(name, settings.empty() ? "" : kSection + settings), Program(exe, ""),
          window(WaitFor(Id(), "Lichtaus+WndClass", nullptr, false)) {}
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { PostMessageA(window, message, wParam, lParam); }
    void Click(LPARAM mouseMessage) { Post(WM_USER, 0, mouseMessage); }
    bool HasIcon(const std::string& tip) { return WaitUntil([&] { return CountTrayIcons(tip) == 1; }); }
    HWND Options() { return Post(WM_COMMAND, IDM_OPTIONS), WaitFor(Id(), "#32770", kOptions); }
    // Ends it as other programs may: it must end well and take its icon along.
    void Close(const std::string& tip, const std::string& what)
    {
        Post(RegisterWindowMessageA("Lichtaus+CloseLichtaus"));
        CHECK_EQ(0ul, WaitForExit(), what + ": exit code");
        CHECK_EQ(0, CountTrayIcons(tip), what + ": icon left behind");
    }
};

void CommandLineStarts()
{
    Folder nt("cmdline"), nine("cmdline98", "", "Lichtaus98.exe");
    SetValue(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Lichtaus98.exe", "Version", REG_SZ, "win98");
    auto notFound = [](const Folder& folder, const std::string& file) {
        return "Lichtaus+|Die Datei '" + file + "' konnte nicht gefunden werden.\n\nLichtaus+ öffnet jetzt folgende "
               "Datei:\n'" + folder.ini + "'.\n\nBitte tragen Sie statt '" + file +
               "' den Dateinamen der\nDatei ein, die bei Ihrem System den MS-DOS-Modus startet.|1";
    };
    const std::string uninstallQuestion = "Lichtaus+ Deinstallation|Soll Lichtaus+ wirklich deinstalliert werden?|67";
    const std::string files = "Lichtaus+ Dateien:\n- Lichtaus+.exe\n- Lichtaus+.txt\n- Lichtaus+.ini|1";
    const std::string kept = "Lichtaus+|Ein Administrator hat \"Beenden\" im Startmenü ausgeblendet.\nLichtaus+ darf "
        "diese Einstellung nicht vorübergehend aufheben und\nkann deshalb das Dialogfeld \"Windows herunterfahren\" "
        "nicht öffnen.|1";
    const std::string uninstalled = "Lichtaus+|Lichtaus+ deinstalliert.\n\nLöschen Sie jetzt die " + files;
    const std::string leftBehind =
        "Lichtaus+|Lichtaus+ ist nicht vollständig deinstalliert.\n\nFolgende Einträge gelten für alle Benutzer "
        "dieses Computers, und\nnur ein Administrator darf sie entfernen:\n- der Autostart von Lichtaus+\n\nEin "
        "Administrator entfernt sie, indem er \"Lichtaus+.exe /uninstall\"\nals Administrator ausführt.\n\nIm "
        "Startmenü bleibt ausgeblendet, was nur ein Administrator wieder\neinblenden darf:\n- \"Beenden\"\n\nGehört "
        "Ihr Konto zu den Administratoren, führen Sie dazu\n\"Lichtaus+.exe /uninstall\" als Administrator aus. Sonst "
        "hebt ein\nAdministrator die Richtlinien \"NoLogoff\" und \"NoClose\" Ihres\nKontos auf.\n\nLöschen Sie "
        "erst danach die " + files;
    // An administrator's policy for every user of the machine: "Beenden" stays hidden.
    const std::string machine = "HKLM policy key\nHKLM NoClose=01000000\n";
    const std::string registry = machine + "HKLM Run=C:\\x\\Lichtaus+.exe\nHKLM DisplayName=Lichtaus+\n"
                                           "HKCU policy key\nHKCU NoClose=01000000\nHKCU Run=y\n";
    const std::string notepad = kSection + "MS-DOS-Modus=notepad.exe\r\n";
    const struct {
        const Folder& folder;
        std::string arguments;
        std::vector<std::pair<std::string, int>> boxes;
        std::string settings, settingsAfter, notepad, registryAfter;
        bool standardUser = false, unquoted = false;
    } cases[] = {
        {nt, "/s /p", {{kHelpBox, IDOK}}},
        {nt, "\t\x01/S?", {{Question("Windows herunterfahren"), IDCANCEL}}},   // anything up to the blank goes first
        {nt, "/x", {{kept, IDOK}}},
        {nine, "/R?", {{Question("Windows neu starten"), IDCANCEL}}, "", "", "", "", false, true},
        {nine, "/T?", {{Question("Windows neu starten"), IDCANCEL}}},
        {nt, "/uninstall", {{uninstallQuestion, IDNO}}},
        {nt, "/UNINSTALL", {{uninstallQuestion, IDYES}, {uninstalled, IDOK}}, "", "", "",
         machine + "HKCU policy key\nHKCU NoLogoff=00000000\nHKCU NoClose=00000000\n"},
        // What a standard user may not remove is named, and stays. (Wine lets anybody delete the uninstall key.)
        {nt, "/uninstall", {{uninstallQuestion, IDYES}, {leftBehind, IDOK}}, "", "", "",
         machine + "HKLM Run=C:\\x\\Lichtaus+.exe\nHKCU policy key\nHKCU NoClose=01000000\n", true},
        {nt, "/d", {{notFound(nt, "Eingabeaufforderung.lnk"), IDOK}}, "",
         kSection + "MS-DOS-Modus=Eingabeaufforderung.lnk\r\n", "Lichtaus+.ini"},
        {nt, "/d", {}, notepad, notepad, "Notepad"},   // a file that exists is opened as named
    };
    for (const auto& c : cases) {
        const std::string what = c.folder.exe + " " + c.arguments;
        ClearRegistry();
        SetValue(HKEY_LOCAL_MACHINE, kRun, "Lichtaus+", REG_SZ, "C:\\x\\Lichtaus+.exe");
        SetValue(HKEY_LOCAL_MACHINE, kUninstall, "DisplayName", REG_SZ, "Lichtaus+");
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
            SetValue(root, kPolicies, "NoClose", REG_BINARY, std::string("\1\0\0\0", 4));
        SetValue(HKEY_CURRENT_USER, kRun, "Lichtaus+", REG_SZ, "y");
        DeleteFileA(c.folder.ini.c_str());
        if (!c.settings.empty()) WriteFile(c.folder.ini, c.settings);
        PlayStandardUser(c.standardUser);
        Program program(c.folder.exe, c.arguments, !c.unquoted);
        for (const auto& [box, button] : c.boxes) Answer(program, box, button, what);
        CHECK_EQ(0ul, program.WaitForExit(), what + ": exit code");
        CHECK_EQ(c.settingsAfter.empty() ? "<absent>" : c.settingsAfter, ReadFile(c.folder.ini), what);
        CHECK_EQ(c.registryAfter.empty() ? registry : c.registryAfter, Registry(), what);
        PlayStandardUser(false);
        if (!c.notepad.empty()) CHECK(CloseNotepad(c.notepad), what + ": opened in Notepad");
    }
}

void FirstStart()
{
    const std::string workedExample = kSection + "Menüpunkt=Windows beenden...\r\nAusschalten=Ja\r\nWarmstart=Ja\r\n"
                                                 "Ausführen=Doppelklick\r\nBestätigung=Nein\r\nQuickInfo=Ja\r\n";
    for (bool ok : {true, false}) {
        ClearRegistry();
        // A blank in the folder's name: the uninstall command quotes the path.
        Tray tray(ok ? "first start" : "first start cancelled", "");
        const std::string what = ok ? "first start, OK" : "first start, Cancel";
        WaitFor(tray.Id(), "#32770");
        CHECK_EQ(1, CountTrayIcons(kDefaultTip), what + ": the icon comes before the greeting");
        Answer(tray, kGreetingBox, IDOK, what);
        HWND options = WaitFor(tray.Id(), "#32770", kOptions);
        CHECK_EQ("checked 131 137 138 139; disabled 139 140", Shown(options), what);
        tray.Click(WM_RBUTTONUP);
        CHECK(StaysQuiet(tray.Id(), options), what + ": busy, no menu for a second Options dialog");
        Answer(tray, kOptionsBox, ok ? IDOK : IDCANCEL, what);
        CHECK_EQ(ok ? workedExample : "<absent>", ReadFile(tray.ini), what);
        CHECK_EQ(ok ? "HKLM DisplayName=Lichtaus+\nHKLM UninstallString=\"" + tray.exe +
                          "\" /uninstall\nHKCU policy key\nHKCU NoLogoff=00000000\nHKCU NoClose=00000000\n"
                    : "",
                 Registry(), what);
        tray.Close(kDefaultTip, what);
    }
}

void OptionsFromTheTray()
{
    ClearRegistry();
    Tray tray("options", "Menüpunkt=Windows herunterfahren\r\nAusschalten=Nein\r\nWarmstart=Nein\r\n"
                         "Ausführen=Doppelklick\r\n" + kAsks + "QuickInfo=Nein\r\n");
    CHECK(tray.HasIcon("Windows herunterfahren"), "options: the tooltip without its suffix");
    SetValue(HKEY_LOCAL_MACHINE, kRun, "Lichtaus+", REG_SZ, tray.exe + " /x");   // with an argument: not autostart
    SetValue(HKEY_CURRENT_USER, kPolicies, "NoClose", REG_BINARY, std::string("\2\0\0\0", 4));   // neither on nor off
    // A high word (here an accelerator's 1) does not change the command.
    tray.Post(WM_COMMAND, MAKEWPARAM(IDM_OPTIONS, 1));
    HWND options = WaitFor(tray.Id(), "#32770", kOptions);
    CHECK_EQ("checked 132 137 140 143; disabled 140", Shown(options), "options as loaded");
    std::string labels;
    for (int id = IDC_ACTION_SHUTDOWN_DIALOG; id <= IDC_AUTOSTART; ++id) labels += Text(GetDlgItem(options, id)) + "|";
    CHECK_EQ("Windows &beenden...|Windows &herunterfahren|Windows neu &starten|MS-DOS-&Modus starten|"
             "Be&nutzer abmelden|einfacher &Klick|&Doppelklick|&QuickInfo \"Lichtaus+\" anzeigen|"
             "und &Computer ausschalten|ohne &Warmstart|\"Abm&elden\" ausblenden|\"Beenden\" a&usblenden|"
             "Bestätigung an&fordern|Au&tostart aktivieren|", labels, "options: each control's label");
    for (LPARAM click : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP}) tray.Click(click);
    CHECK(StaysQuiet(tray.Id(), options), "busy: clicks on the icon start nothing");

    // Clicks as the user makes them: each action enables its own sub-option.
    const struct { int id; const char* shown; } clicks[] = {
        {IDC_SINGLE_CLICK, "checked 132 136 140 143; disabled 140"},
        {IDC_ACTION_RESTART, "checked 133 136 140 143; disabled 139"},
        {IDC_ACTION_SHUTDOWN_DIALOG, "checked 131 136 140 143; disabled 139 140"},
        {IDC_ACTION_SHUT_DOWN, "checked 132 136 140 143; disabled 140"},
        {IDC_ACTION_MSDOS_MODE, "checked 134 136 140 143; disabled 139 140"},
        {IDC_ACTION_LOG_OFF, "checked 135 136 140 143; disabled 139 140"},
        {IDC_QUICK_INFO, "checked 135 136 138 140 143; disabled 139 140"},
        {IDC_HIDE_LOG_OFF, "checked 135 136 138 140 141 143; disabled 139 140"},
        {IDC_HIDE_SHUT_DOWN, "checked 135 136 138 140 141 142 143; disabled 139 140"},
        {IDC_AUTOSTART, "checked 135 136 138 140 141 142 143 144; disabled 139 140"},
    };
    for (const auto& click : clicks) {
        DWORD_PTR result;
        SendMessageTimeoutA(GetDlgItem(options, click.id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kWait, &result);
        CHECK_EQ(click.shown, Shown(options), "after a click on " + std::to_string(click.id));
    }
    Answer(tray, kOptionsBox, IDOK, "options, OK");
    CHECK_EQ(kSection + "Menüpunkt=Benutzer abmelden\r\nAusschalten=Nein\r\nWarmstart=Nein\r\n"
                        "Ausführen=Einfacher Klick\r\nBestätigung=Ja\r\nQuickInfo=Ja\r\n",
             ReadFile(tray.ini), "options saved");
    const std::string path = tray.exe;
    CHECK_EQ("HKLM Run=" + path + "\nHKLM DisplayName=Lichtaus+\nHKLM UninstallString=" + path +
                 " /uninstall\nHKCU policy key\nHKCU NoLogoff=01000000\nHKCU NoClose=01000000\n",
             Registry(), "options saved");
    CHECK(tray.HasIcon("Benutzer abmelden - Lichtaus+"), "the tooltip follows the saved options");

    // Opened again, the dialog shows what was saved, the registry included; but Task Manager switched autostart
    // off, and switching it on removes that mark.
    const char approved[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
    SetValue(HKEY_LOCAL_MACHINE, approved, "Lichtaus+", REG_BINARY, std::string("\3\0\0\0\0\0\0\0\1\2\3\4", 12));
    options = tray.Options();
    CHECK_EQ("checked 135 136 138 140 141 142 143; disabled 139 140", Shown(options), "reopened, off in Task Manager");
    PostMessageA(GetDlgItem(options, IDC_AUTOSTART), BM_CLICK, 0, 0);
    Answer(tray, kOptionsBox, IDOK, "options, autostart on again");
    CHECK(RegGetValueA(HKEY_LOCAL_MACHINE, approved, "Lichtaus+", RRF_RT_ANY, nullptr, nullptr, nullptr), "mark gone");
    // No longer busy: a single click runs the default action.
    tray.Click(WM_LBUTTONDOWN);
    Answer(tray, Question("Benutzer abmelden"), IDCANCEL, "a click after the dialog");
    tray.Close("Benutzer abmelden - Lichtaus+", "options");
}

// A standard user beside an administrator's autostart, uninstall entry and
// policies: Options shows them, greys the policies, adds no second entry, and
// says so when autostart cannot be switched off. Then an administrator's OK
// after the user's own entries leaves one of each, for every user.
void StandardUser()
{
    ClearRegistry();
    Tray tray("standard", "Ausschalten=Nein\r\n");
    SetValue(HKEY_LOCAL_MACHINE, kRun, "Lichtaus+", REG_SZ, tray.exe);
    SetValue(HKEY_LOCAL_MACHINE, kUninstall, "DisplayName", REG_SZ, "Lichtaus+");
    SetValue(HKEY_LOCAL_MACHINE, kUninstall, "UninstallString", REG_SZ, tray.exe + " /uninstall");
    SetValue(HKEY_CURRENT_USER, kPolicies, "NoLogoff", REG_DWORD, std::string("\1\0\0", 3));
    SetValue(HKEY_CURRENT_USER, kPolicies, "NoClose", REG_DWORD, std::string("\0\1\0", 3));   // 256: off
    SetValue(HKEY_LOCAL_MACHINE, kPolicies, "NoClose", REG_BINARY, std::string("\1\0\0\0", 4));   // on for all
    const std::string administrators = Registry();
    PlayStandardUser(true);
    const std::string autostartLeft =
        "Lichtaus+|Der Autostart von Lichtaus+ konnte nicht ausgeschaltet werden.\n\nDer Eintrag gilt für alle "
        "Benutzer dieses Computers, und nur ein\nAdministrator darf ihn entfernen. Lichtaus+ wird deshalb weiterhin\n"
        "bei jeder Anmeldung gestartet.\n\nEin Administrator kann ihn entfernen: Lichtaus+ beenden, als\n"
        "Administrator neu starten und in den Optionen \"Autostart aktivieren\"\nausschalten.|1";
    for (bool autostartOff : {false, true}) {
        HWND options = tray.Options();
        CHECK_EQ("checked 131 137 138 141 142 144; disabled 139 140 141 142", Shown(options), "standard user: options");
        if (autostartOff) PostMessageA(GetDlgItem(options, IDC_AUTOSTART), BM_CLICK, 0, 0);
        Answer(tray, kOptionsBox, IDOK, "standard user: options");
        if (autostartOff) Answer(tray, autostartLeft, IDOK, "standard user: autostart off");
        CHECK_EQ(administrators, Registry(), "standard user: no entry of the user's own");
    }
    PlayStandardUser(false);
    ClearRegistry();
    SetValue(HKEY_CURRENT_USER, kRun, "Lichtaus+", REG_SZ, tray.exe);
    SetValue(HKEY_CURRENT_USER, kUninstall, "DisplayName", REG_SZ, "Lichtaus+");
    tray.Post(WM_COMMAND, IDM_OPTIONS);
    Answer(tray, kOptionsBox, IDOK, "administrator after a user");
    CHECK_EQ("HKLM Run=" + tray.exe + "\nHKLM DisplayName=Lichtaus+\nHKLM UninstallString=" + tray.exe +
                 " /uninstall\nHKCU policy key\nHKCU NoLogoff=00000000\nHKCU NoClose=00000000\n",
             Registry(), "administrator after a user: one entry each");
    // Only the Run key refused, and no administrator's value there: the user's own.
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kRun, "Lichtaus+");
    test::Refuse(HKEY_LOCAL_MACHINE, kRun);
    PostMessageA(GetDlgItem(tray.Options(), IDC_AUTOSTART), BM_CLICK, 0, 0);
    Answer(tray, kOptionsBox, IDOK, "run key refused");
    CHECK_EQ("HKLM DisplayName=Lichtaus+\nHKLM UninstallString=" + tray.exe + " /uninstall\nHKCU policy key\nHKCU "
             "NoLogoff=00000000\nHKCU NoClose=00000000\nHKCU Run=" + tray.exe + "\n", Registry(), "run key refused");
    // Both refused: switching autostart on fails, and the user is told.
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRun, "Lichtaus+");
    test::Refuse(HKEY_CURRENT_USER, kRun);
    PostMessageA(GetDlgItem(tray.Options(), IDC_AUTOSTART), BM_CLICK, 0, 0);
    Answer(tray, kOptionsBox, IDOK, "both run keys refused");
    Answer(tray, "Lichtaus+|Der Autostart von Lichtaus+ konnte nicht eingeschaltet werden.\n\nWindows lässt Lichtaus+ "
           "den Eintrag weder für alle Benutzer dieses\nComputers noch für Sie allein schreiben.\n\nEin Administrator "
           "kann ihn einschalten: Lichtaus+ beenden, als\nAdministrator neu starten und in den Optionen \"Autostart "
           "aktivieren\"\neinschalten. Hat ein Administrator ihn im Task-Manager unter\n\"Autostart\" deaktiviert, "
           "kann er ihn dort wieder aktivieren.|1", IDOK, "both run keys refused");
    test::Refuse(HKEY_CURRENT_USER, kRun, false);
    test::Refuse(HKEY_LOCAL_MACHINE, kRun, false);
    tray.Close(kDefaultTip, "standard user");
}

// Started from a folder whose name the ANSI code page cannot hold, it keeps its settings beside itself.
void FolderOutsideTheCodePage()
{
    const std::filesystem::path folder = std::filesystem::path(test::TempPath()) / L"\u0141ukasz";
    std::filesystem::create_directory(folder);
    std::filesystem::copy_file(LICHTAUS_EXE, folder / "Lichtaus+.exe");
    WCHAR shortPath[MAX_PATH];   // the name the ANSI functions can start it by; Wine tells it the long one
    GetShortPathNameW((folder / "Lichtaus+.exe").c_str(), shortPath, MAX_PATH);
    for (bool first : {true, false}) {
        Program program(std::filesystem::path(shortPath).string(), "");
        HWND window = WaitFor(program.Id(), "Lichtaus+WndClass", nullptr, false);
        if (first) Answer(program, kGreetingBox, IDOK, "first start outside the code page");
        if (first) Answer(program, kOptionsBox, IDOK, "first start outside the code page: options");
        CHECK(first || StaysQuiet(program.Id()), "folder outside the code page: no first start after the first");
        PostMessageA(window, RegisterWindowMessageA("Lichtaus+CloseLichtaus"), 0, 0);
        CHECK_EQ(0ul, program.WaitForExit(), "folder outside the code page: exit code");
    }
    CHECK(std::filesystem::exists(folder / "Lichtaus+.ini"), "folder outside the code page: the settings beside it");
    std::filesystem::remove_all(folder);
}

// Which of `names` the running process has loaded, in that order.
std::string Loaded(DWORD processId, std::initializer_list<std::string> names)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    std::string loaded;
    for (const std::string& name : names) {
        MODULEENTRY32 module = {sizeof module};
        for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module))
            if (!lstrcmpiA(module.szModule, name.c_str())) loaded += name + " ";
    }
    CloseHandle(snapshot);
    return loaded;
}

// No common controls library, from anywhere: no dialog holds a common control. No COM either until a launch
// needs it (Wine's own message boxes and dialogs load ole32, so only a quiet start shows that). shell32, which
// the program imports, shows that the list of loaded DLLs was read at all.
void NoNeedlessDlls()
{
    Tray tray("dlls", "QuickInfo=Ja\r\n");
    CHECK(tray.HasIcon(kDefaultTip), "DLLs: the icon");
    CHECK_EQ("shell32.dll ", Loaded(tray.Id(), {"comctl32.dll", "ole32.dll", "shell32.dll"}), "DLLs at a tray start");
    for (auto [command, box] : {std::pair(IDM_OPTIONS, kOptionsBox), {IDM_ABOUT, kAboutBox}}) {
        tray.Post(WM_COMMAND, command);
        WaitFor(tray.Id(), "#32770");
        CHECK_EQ("shell32.dll ", Loaded(tray.Id(), {"comctl32.dll", "shell32.dll"}), "DLLs with a dialog");
        Answer(tray, box, IDCANCEL, "DLLs: a dialog");
    }
    tray.Close(kDefaultTip, "DLLs");
}

// Any settings file means no first start: quiet, the tooltip and the Options
// dialog's default action as loaded, the file left as it was.
void StartsWithSettings()
{
    const struct { std::string folder, settings, tip; int radio; } cases[] = {
        {"only msdos", "MS-DOS-Modus=x.pif\r\n", kDefaultTip, IDC_ACTION_SHUTDOWN_DIALOG},
        {"odd case", "Menüpunkt=windows NEU starten\r\nQuickInfo=Ja\r\n", "windows NEU starten - Lichtaus+",
         IDC_ACTION_RESTART},
        {"no suffix", "Menüpunkt=MS-DOS-Modus starten\r\nQuickInfo=nein\r\n", "MS-DOS-Modus starten",
         IDC_ACTION_MSDOS_MODE},
        // A settings file path of 128 characters, one more than OpenFile takes.
        {std::string(128 - test::TempPath().size() - sizeof "\\Lichtaus+.ini" + 1, 'd'),
         "Menüpunkt=Neustart\r\nQuickInfo=Vielleicht\r\n", kDefaultTip, IDC_ACTION_SHUTDOWN_DIALOG},
    };
    for (const auto& c : cases) {
        Tray tray(c.folder, c.settings);
        CHECK(tray.HasIcon(c.tip), c.folder + ": tooltip " + c.tip);
        CHECK(StaysQuiet(tray.Id()), c.folder + ": no first start");
        HWND options = tray.Options();
        CHECK_EQ(BST_CHECKED, SendDlgItemMessageA(options, c.radio, BM_GETCHECK, 0, 0), c.folder + ": default action");
        Answer(tray, kOptionsBox, IDCANCEL, c.folder);
        tray.Close(c.tip, c.folder);
        CHECK_EQ(kSection + c.settings, ReadFile(tray.ini), c.folder + ": file unchanged");
    }
}

// The mouse on the icon: the configured click runs the default action, which
// asks first; the settings stay as they were when the question is cancelled
// and when the program is closed while it is open.
void Clicks()
{
    const std::string single = "Menüpunkt=Windows neu starten\r\nAusführen=Einfacher Klick\r\n" + kAsks;
    const std::string dbl = "Menüpunkt=MS-DOS-Modus starten\r\nAusführen=doppelklick\r\n" + kAsks;
    enum Outcome { kNothing, kQuestionCancelled, kClosedDuringQuestion };
    const struct { const std::string& settings; std::string label; LPARAM click; Outcome outcome; } cases[] = {
        {single, "Windows neu starten", WM_LBUTTONDOWN, kQuestionCancelled},
        {single, "Windows neu starten", WM_LBUTTONDBLCLK, kNothing},
        {dbl, "MS-DOS-Modus starten", WM_LBUTTONDOWN, kNothing},
        {dbl, "MS-DOS-Modus starten", WM_LBUTTONDBLCLK, kQuestionCancelled},
        {dbl, "MS-DOS-Modus starten", WM_RBUTTONDOWN, kNothing},
        {dbl, "MS-DOS-Modus starten", WM_LBUTTONDBLCLK, kClosedDuringQuestion},
    };
    for (const auto& c : cases) {
        const std::string what = "mouse message " + std::to_string(c.click) + " on " + c.label;
        Tray tray("clicks", c.settings);
        tray.Click(c.click);
        if (c.outcome == kNothing)
            CHECK(StaysQuiet(tray.Id()), what + ": nothing happens");
        else if (c.outcome == kQuestionCancelled)
            Answer(tray, Question(c.label), IDCANCEL, what);
        else CHECK(WaitFor(tray.Id(), "#32770", "Lichtaus+"), what + ": the question");
        tray.Close(c.label + " - Lichtaus+", what);
        CHECK_EQ(kSection + c.settings, ReadFile(tray.ini), what + ": settings unchanged");
    }
}

// One running tray program: the icon as a restarted taskbar loses it and the
// two messages that add it again, neither leaving two icons; a second start;
// the popup menu, opened by the right button released on the icon in Wine's
// taskbar, its items chosen by mnemonic, "^" and ">" moving up and right.
void RunningTray()
{
    // Beside an instance started as administrator, whose marker this start may not open: a second start too.
    PSECURITY_DESCRIPTOR denied = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(D;;GA;;;WD)", SDDL_REVISION_1, &denied, nullptr);
    SECURITY_ATTRIBUTES elevated = {sizeof elevated, denied, FALSE};
    HANDLE marker = CreateFileMappingA(INVALID_HANDLE_VALUE, &elevated, PAGE_READONLY, 0, 32, "Lichtaus+");
    Folder beside("beside elevated");
    Answer(Program(beside.exe, ""), kAboutBox, IDOK, "beside an elevated instance");
    CloseHandle(marker);
    LocalFree(denied);

    Tray tray("running", kAsks);
    CHECK(tray.HasIcon(kDefaultTip), "running: icon");
    for (const char* name : {"Lichtaus+AddTrayIcon", "TaskbarCreated"}) {
        DWORD_PTR result;
        SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA(name), 0, 0, SMTO_ABORTIFHUNG, kWait, &result);
        CHECK_EQ(1, CountTrayIcons(kDefaultTip), std::string(name) + " while shown");
        NOTIFYICONDATAA record = {NOTIFYICONDATAA_V1_SIZE, tray.window};
        Shell_NotifyIconA(NIM_DELETE, &record);
        SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA(name), 0, 0, SMTO_ABORTIFHUNG, kWait, &result);
        CHECK_EQ(1, CountTrayIcons(kDefaultTip), std::string(name) + " after the icon was lost");
    }
    CHECK(StaysQuiet(tray.Id()), "running: nothing shown");

    Program second(tray.exe, "");
    Answer(second, kAboutBox, IDOK, "second start");
    CHECK_EQ(0ul, second.WaitForExit(), "second start: exit code");
    CHECK_EQ(1, CountTrayIcons(kDefaultTip), "second start: no second icon");
    // The About dialog asks which program opens a ".html" file made for it.
    CHECK_EQ("<absent>", ReadFile(test::TempPath() + "Lichtaus+.html"), "about: its probe file is gone again");

    const struct { const char* keys; std::string box; int button; } cases[] = {
        {"h", Question("Windows herunterfahren"), IDCANCEL}, {"n", Question("Windows neu starten"), IDCANCEL},
        {"m", Question("MS-DOS-Modus starten"), IDCANCEL},   {"a", Question("Benutzer abmelden"), IDCANCEL},
        {"^>o", kOptionsBox, IDCANCEL},                       {"^>n", kAboutBox, IDOK},
        {"^>b", "", 0},   // "Beenden" ends the program
    };
    for (const auto& c : cases) {
        const std::string what = std::string("menu keys ") + c.keys;
        HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
        for (const Icon& icon : TrayIcons()) {
            LPARAM point = MAKELPARAM((icon.rect.left + icon.rect.right) / 2, (icon.rect.top + icon.rect.bottom) / 2);
            PostMessageA(taskbar, WM_RBUTTONDOWN, MK_RBUTTON, point);
            PostMessageA(taskbar, WM_RBUTTONUP, 0, point);
        }
        HWND menu = WaitFor(tray.Id(), "#32768");
        CHECK(menu, what + ": menu open");
        for (const char* key = c.keys; *key; ++key) {
            if (*key == '^' || *key == '>')
                PostMessageA(menu, WM_KEYDOWN, *key == '^' ? VK_UP : VK_RIGHT, 1);
            else PostMessageA(menu, WM_CHAR, *key, 1);
            WaitUntil([&] { return *key != '>' || Windows(tray.Id(), "#32768").size() == 2; });
        }
        if (!c.box.empty()) Answer(tray, c.box, c.button, what);
    }
    CHECK_EQ(0ul, tray.WaitForExit(), "menu: Beenden ends the program");
    CHECK_EQ(0, CountTrayIcons(kDefaultTip), "menu: Beenden removes the icon");
}

// Whether the picture's opaque pixels are on the screen somewhere in `place`
// (Wine paints the transparent ones its own way).
bool Shows(const RECT& place, const std::string& source)
{
    int width = 0, height = 0, w = place.right - place.left, h = place.bottom - place.top;
    std::vector<DWORD> picture = art::Pixels(source, &width, &height);
    BITMAPINFO info = {{sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB}};
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    DWORD* shown = nullptr;
    HBITMAP copy = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&shown), nullptr, 0);
    SelectObject(dc, copy);
    BitBlt(dc, 0, 0, w, h, screen, place.left, place.top, SRCCOPY);
    GdiFlush();
    bool found = false;
    for (int dy = 0; dy + height <= h; ++dy)
        for (int dx = 0; dx + width <= w && !found; ++dx) {
            found = width > 0;
            for (int i = 0; found && i < width * height; ++i)
                found = picture[i] == art::kTransparent ||
                        picture[i] == (shown[(dy + i / width) * w + dx + i % width] & 0xFFFFFF);
        }
    DeleteDC(dc), DeleteObject(copy), ReleaseDC(nullptr, screen);
    return found;
}

// The texts of the dialog's controls that do not fit them, measured in the
// dialog's font at this scaling; a check box or radio button gives its box
// and gap, a push button its edges.
std::string Clipped(HWND dialog)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, CreateFontA(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0,
                                               0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif"));
    std::string clipped;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(control, GWL_STYLE);
        char kind[16] = {};
        GetClassNameA(control, kind, sizeof kind);
        bool button = lstrcmpiA(kind, "Button") == 0;
        bool box = button && (style & 0xF) != BS_PUSHBUTTON && (style & 0xF) != BS_GROUPBOX;
        RECT room = {};
        GetClientRect(control, &room);
        room.right -= box ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : button ? 2 * GetSystemMetrics(SM_CXEDGE) : 0;
        RECT needed = {0, 0, room.right, 0};
        std::string text = Text(control);
        UINT lines = text.find('\n') == std::string::npos ? DT_SINGLELINE : DT_WORDBREAK;
        DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | lines);
        bool clips = needed.right > room.right || needed.bottom > room.bottom;
        if ((style & SS_TYPEMASK) != SS_BITMAP && !text.empty() && clips) clipped += text + ";";
    }
    DeleteObject(SelectObject(dc, old)), ReleaseDC(nullptr, dc);
    return clipped;
}

// At 150 % display scaling (run with "scaled" in a prefix at 144 DPI): the
// notification area shows each default action's picture drawn for 24 pixels,
// and every control of the Options and About dialogs holds its whole text.
void Scaled()
{
    const char* labels[] = {"Windows beenden...", "Windows herunterfahren", "Windows neu starten",
                            "MS-DOS-Modus starten", "Benutzer abmelden"};
    for (int i = 0; i < 5; ++i) {
        Tray tray("scaled", "Menüpunkt=" + std::string(labels[i]) + "\r\nQuickInfo=Nein\r\n");
        const std::string source = "icon" + std::to_string(IDI_SHUTDOWN_DIALOG + i) + "-24.txt";
        CHECK(WaitUntil([&] {
            for (Icon icon : TrayIcons())
                if (icon.tip == labels[i] && MapWindowPoints(FindWindowA("Shell_TrayWnd", nullptr), nullptr,
                                                             reinterpret_cast<POINT*>(&icon.rect), 2) >= 0)
                    return Shows(icon.rect, source);
            return false;
        }), std::string(labels[i]) + ": the tray shows " + source);
        for (auto [command, caption] : {std::pair(IDM_OPTIONS, kOptions), {IDM_ABOUT, "Info über Lichtaus+"}}) {
            tray.Post(WM_COMMAND, command);
            HWND dialog = WaitFor(tray.Id(), "#32770", caption);
            CHECK_EQ("", Clipped(dialog), std::string(caption) + ": texts that do not fit");
            Answer(tray, caption == kOptions ? kOptionsBox : kAboutBox, IDCANCEL, caption);
        }
        tray.Close(labels[i], labels[i]);
    }
}

} // namespace

int main(int argc, char**)
{
    if (test::RefuseOutsideWine()) return 1;
    if (argc > 1) {
        Scaled();
        return test::Finish("scaled");
    }
    CommandLineStarts();
    FirstStart();
    OptionsFromTheTray();
    StandardUser();
    FolderOutsideTheCodePage();
    NoNeedlessDlls();
    StartsWithSettings();
    Clicks();
    RunningTray();
    ClearRegistry();
    return test::Finish("e2e");
}
