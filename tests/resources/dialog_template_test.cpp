// The Options and About dialog templates, control by control.
#include <gtest/gtest.h>

#include "res/resource_ids.h"
#include "resources/resource_reader.h"

namespace {

using resources::Wide;

struct Control {
    int id;
    WORD classOrdinal;
    DWORD style;
    const char* text;
    short x, y, cx, cy;
};

void ExpectDialog(const char* name, const char* caption, short cx, short cy, const std::vector<Control>& controls)
{
    std::vector<BYTE> data = resources::Load(RT_DIALOG, name);
    ASSERT_FALSE(data.empty()) << "no German " << name;
    resources::Dialog dialog = resources::ParseDialog(data);
    EXPECT_EQ(0x90C808C4u, dialog.style);
    EXPECT_EQ(0u, dialog.exStyle);
    EXPECT_EQ(90, dialog.x);
    EXPECT_EQ(35, dialog.y);
    EXPECT_EQ(cx, dialog.cx);
    EXPECT_EQ(cy, dialog.cy);
    EXPECT_EQ(L"", dialog.menu);
    EXPECT_EQ(L"", dialog.className);
    EXPECT_EQ(Wide(caption), dialog.caption);
    EXPECT_EQ(8, dialog.pointSize);
    EXPECT_EQ(L"MS Sans Serif", dialog.fontName);
    ASSERT_EQ(controls.size(), dialog.items.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const Control& want = controls[i];
        const resources::DialogItem& item = dialog.items[i];
        SCOPED_TRACE(testing::Message() << name << " control #" << i + 1 << " (id " << want.id << ")");
        EXPECT_EQ(static_cast<WORD>(want.id), item.id);
        EXPECT_EQ(want.classOrdinal, item.classOrdinal) << "class must be the predefined ordinal";
        EXPECT_EQ(want.style, item.style) << std::hex << item.style;
        EXPECT_EQ(0u, item.exStyle);
        if (want.text)
            EXPECT_EQ(Wide(want.text), item.text);
        EXPECT_EQ(want.x, item.x);
        EXPECT_EQ(want.y, item.y);
        EXPECT_EQ(want.cx, item.cx);
        EXPECT_EQ(want.cy, item.cy);
    }
}

constexpr WORD kButton = 0x0080;
constexpr WORD kStatic = 0x0082;

TEST(DialogTemplates, Options)
{
    ExpectDialog("LAOptions", "Lichtaus+ Optionen", 270, 150,
                 {
                     {IDOK, kButton, 0x50010000, "&OK", 145, 129, 50, 14},
                     {IDCANCEL, kButton, 0x50010000, "&Abbrechen", 210, 129, 50, 14},
                     {-1, kButton, 0x50020007, "Menüpunkt aktivieren", 5, 5, 125, 97},
                     {131, kButton, 0x50000009, "Windows &beenden...", 10, 16, 85, 10},
                     {132, kButton, 0x50000009, "Windows &herunterfahren", 10, 28, 97, 10},
                     {139, kButton, 0x50010003, "und &Computer ausschalten", 21, 40, 104, 10},
                     {133, kButton, 0x50000009, "Windows neu &starten", 10, 52, 87, 10},
                     {140, kButton, 0x50010003, "ohne &Warmstart", 21, 64, 70, 10},
                     {134, kButton, 0x50000009, "MS-DOS-&Modus starten", 10, 76, 97, 10},
                     {135, kButton, 0x50000009, "Be&nutzer abmelden", 10, 88, 81, 10},
                     {-1, kButton, 0x50020007, "Mausoptionen", 5, 106, 125, 38},
                     {136, kButton, 0x50000009, "einfacher &Klick", 11, 117, 67, 10},
                     {137, kButton, 0x50000009, "&Doppelklick", 11, 129, 57, 10},
                     {-1, kButton, 0x50000007, "Startmenü", 140, 5, 125, 56},
                     {141, kButton, 0x50010003, "\"Abm&elden\" ausblenden", 145, 16, 97, 10},
                     {142, kButton, 0x50010003, "\"Beenden\" a&usblenden", 145, 28, 94, 10},
                     {-1, kButton, 0x50000007, "Allgemeine Optionen", 140, 64, 125, 50},
                     {144, kButton, 0x50010003, "Au&tostart aktivieren", 145, 75, 81, 10},
                     {143, kButton, 0x50010003, "Bestätigung an&fordern", 145, 87, 89, 10},
                     {138, kButton, 0x50010003, "&QuickInfo \"Lichtaus+\" anzeigen", 145, 99, 116, 10},
                     {-1, kStatic, 0x50020000, "Änderungen werden erst nach\neinem Neustart wirksam.", 147, 40, 100, 16},
                 });
}

TEST(DialogTemplates, About)
{
    ExpectDialog("LAAbout", "Info über Lichtaus+", 180, 125,
                 {
                     {IDOK, kButton, 0x50010000, "&OK", 115, 105, 50, 14},
                     {-1, kStatic, 0x50020001, nullptr, 75, 8, 100, 90},
                     {IDC_EMAIL, kButton, 0x50010000, "&E-Mail", 13, 87, 50, 14},
                     {IDC_WEB_PAGE, kButton, 0x50010000, "&Webseite", 13, 105, 50, 14},
                     {-1, kStatic, 0x5000100E, nullptr, 5, 5, 64, 74},
                 });
}

TEST(DialogTemplates, AboutNoteHasElevenLinesAndThePictureIsBitmap1100)
{
    resources::Dialog dialog = resources::ParseDialog(resources::Load(RT_DIALOG, "LAAbout"));
    ASSERT_EQ(5u, dialog.items.size());
    std::wstring note = dialog.items[1].text;
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = note.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(note.substr(start, end - start));
    lines.push_back(note.substr(start));
    ASSERT_EQ(11u, lines.size());
    EXPECT_EQ(std::wstring::npos, note.find(L'\r'));
    EXPECT_EQ(L"Lichtaus+", lines[0]);
    EXPECT_EQ(L"Version 2.12", lines[1]);
    EXPECT_EQ(L"", lines[2]);
    EXPECT_FALSE(lines[3].empty());
    EXPECT_EQ(L"Mai 2000", lines[4]);
    EXPECT_EQ(L"", lines[5]);
    EXPECT_EQ(L"", lines[7]);
    EXPECT_EQ(L"Wenn Sie sich per E-Mail als", lines[8]);
    EXPECT_EQ(L"Nutzer anmelden, werden Sie", lines[9]);
    EXPECT_EQ(Wide("über Neuerungen informiert."), lines[10]);

    EXPECT_EQ(IDB_ABOUT, dialog.items[4].textOrdinal);
}

} // namespace
