// The "/uninstall" flow and its texts.
#include "uninstall.h"

#include "../config/registry.h"
#include "../os/os.h"
#include "../program/message_box.h"

namespace app {
namespace {

constexpr char kFilesText[] = "Lichtaus+ Dateien:\n- Lichtaus+.exe\n- Lichtaus+.txt\n- Lichtaus+.ini";
constexpr char kUninstalledText[] = "Lichtaus+ deinstalliert.\n\nLöschen Sie jetzt die ";
constexpr char kNotUninstalledText[] = "Lichtaus+ ist nicht vollständig deinstalliert.\n\n";
constexpr char kMachineEntriesLeftText[] =
    "Folgende Einträge gelten für alle Benutzer dieses Computers, und\n"
    "nur ein Administrator darf sie entfernen:\n";
constexpr char kAutostartLeftLine[] = "- der Autostart von Lichtaus+\n";
constexpr char kUninstallEntryLeftLine[] = "- der Eintrag in der Liste der installierten Programme\n";
constexpr char kMachineEntriesRemedyText[] =
    "\nEin Administrator entfernt sie, indem er \"Lichtaus+.exe /uninstall\"\n"
    "als Administrator ausführt.\n\n";
constexpr char kPoliciesLeftText[] =
    "Im Startmenü bleibt ausgeblendet, was nur ein Administrator wieder\n"
    "einblenden darf:\n";
constexpr char kNoLogoffLeftLine[] = "- \"Abmelden\"\n";
constexpr char kNoCloseLeftLine[] = "- \"Beenden\"\n";
constexpr char kPoliciesRemedyText[] =
    "\nGehört Ihr Konto zu den Administratoren, führen Sie dazu\n"
    "\"Lichtaus+.exe /uninstall\" als Administrator aus. Sonst hebt ein\n"
    "Administrator die Richtlinien \"NoLogoff\" und \"NoClose\" Ihres\n"
    "Kontos auf.\n\n";
constexpr char kDeleteLaterText[] = "Löschen Sie erst danach die ";

} // namespace

void RunUninstallFlow()
{
    if (program::ShowMessage("Soll Lichtaus+ wirklich deinstalliert werden?", MB_ICONQUESTION | MB_YESNO,
                             "Lichtaus+ Deinstallation") != IDYES)
        return;

    config::UninstallLeftovers left = config::RemoveAllEntries();
    bool machineEntriesLeft = left.autostart || left.uninstallEntry;
    bool policiesLeft = left.noLogoff || left.noClose;
    if (!machineEntriesLeft && !policiesLeft) {
        char text[sizeof kUninstalledText + sizeof kFilesText];
        os::lstrcatA(os::lstrcpyA(text, kUninstalledText), kFilesText);
        program::ShowMessage(text, MB_ICONINFORMATION);
        return;
    }
    char text[sizeof kNotUninstalledText + sizeof kMachineEntriesLeftText + sizeof kAutostartLeftLine +
              sizeof kUninstallEntryLeftLine + sizeof kMachineEntriesRemedyText + sizeof kPoliciesLeftText +
              sizeof kNoLogoffLeftLine + sizeof kNoCloseLeftLine + sizeof kPoliciesRemedyText +
              sizeof kDeleteLaterText + sizeof kFilesText];
    os::lstrcpyA(text, kNotUninstalledText);
    const struct {
        bool shown;
        const char* line;
    } parts[] = {
        {machineEntriesLeft, kMachineEntriesLeftText}, {left.autostart, kAutostartLeftLine},
        {left.uninstallEntry, kUninstallEntryLeftLine}, {machineEntriesLeft, kMachineEntriesRemedyText},
        {policiesLeft, kPoliciesLeftText},             {left.noLogoff, kNoLogoffLeftLine},
        {left.noClose, kNoCloseLeftLine},              {policiesLeft, kPoliciesRemedyText},
    };
    for (const auto& part : parts) {
        if (part.shown)
            os::lstrcatA(text, part.line);
    }
    os::lstrcatA(os::lstrcatA(text, kDeleteLaterText), kFilesText);
    program::ShowMessage(text, MB_ICONERROR);
}

} // namespace app
