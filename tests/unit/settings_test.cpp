// The settings file through Wine's real profile-string functions: defaults,
// validation, over-long values, the existence test and storing.
#include <gtest/gtest.h>

#include "src/config/default_actions.h"
#include "support/program_state.h"
#include "support/temp_file.h"

namespace {

using test::FakeWindows;

const char kDefaults[] = "Windows beenden...|Ja|Ja|Doppelklick|Ja|Nein";

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ResetProgramState();
        lstrcpyA(program::settingsPath, file.Path());
    }
    test::TempFile file{"lichtaus-settings-test.ini"};

    // Loads into a poisoned record, so that a field the load left alone shows.
    static std::string Load()
    {
        memset(&config::settings, 0x5A, sizeof config::settings);
        config::LoadSettings();
        const config::Settings& s = config::settings;
        return std::string(s.menuepunkt) + "|" + s.ausschalten + "|" + s.warmstart + "|" + s.ausfuehren + "|" +
               s.quickInfo + "|" + s.bestaetigung;
    }
};

TEST_F(Settings, WithoutAFileTheDefaultsAreLoaded)
{
    EXPECT_EQ(kDefaults, Load());
    EXPECT_FALSE(config::SettingsFileExists());
    EXPECT_FALSE(file.Exists());   // loading never writes
}

TEST_F(Settings, ValuesAreValidatedAsWholeTextsAndKeptInTheirLetterCase)
{
    const struct {
        const char* lines;
        const char* held;
    } cases[] = {
        {"Menüpunkt=windows NEU starten", "windows NEU starten|Ja|Ja|Doppelklick|Ja|Nein"},
        {"Menüpunkt=Windows beenden", kDefaults},
        {"Menüpunkt=Benutzer abmelden x", kDefaults},
        {"Ausschalten=1\r\nWarmstart=nein", "Windows beenden...|Ja|nein|Doppelklick|Ja|Nein"},
        {"Ausschalten=NEIN\r\nQuickInfo=Nee", "Windows beenden...|NEIN|Ja|Doppelklick|Ja|Nein"},
        {"Ausführen=", kDefaults},
        {"Ausführen=einfacher klick", "Windows beenden...|Ja|Ja|einfacher klick|Ja|Nein"},
        {"Bestätigung=", "Windows beenden...|Ja|Ja|Doppelklick|Ja|"},   // not validated: stays empty
        {"Bestätigung=Yes", "Windows beenden...|Ja|Ja|Doppelklick|Ja|Yes"},
        {"MS-DOS-Modus=MS-DOS-Modus.pif", kDefaults},   // a file with this key alone exists all the same
    };
    for (const auto& c : cases) {
        std::string contents = std::string("[Lichtaus+ Optionen]\r\n") + c.lines + "\r\n";
        file.Write(contents);
        EXPECT_EQ(c.held, Load()) << c.lines;
        EXPECT_EQ(contents, file.Read()) << "the load must not correct the file";
        EXPECT_TRUE(config::SettingsFileExists()) << c.lines;
    }
}

TEST_F(Settings, OverLongValuesForEveryKeyAreCutToTheirFields)
{
    const std::string tail(70000, 'x');
    std::string text = "[Lichtaus+ Optionen]\r\n";
    for (const char* line : {"Menüpunkt=Benutzer abmelden", "Ausschalten=Nein", "Warmstart=Nein",
                             "Ausführen=Einfacher Klick", "QuickInfo=Nein", "Bestätigung=Ja", "MS-DOS-Modus=C:\\"})
        text += line + tail + "\r\n";
    file.Write(text);
    // A cut validated value is no longer allowed; a cut "Bestätigung" stays cut.
    EXPECT_EQ("Windows beenden...|Ja|Ja|Doppelklick|Ja|Jaxxxxx", Load());

    struct {
        char file[config::kMsDosModeCapacity];
        char guard[16];
    } read;
    memset(&read, 0x5A, sizeof read);
    config::ReadMsDosModeFile(read.file);
    EXPECT_EQ("C:\\" + tail.substr(0, 256), read.file);
    EXPECT_EQ(std::string(sizeof read.guard, 0x5A), std::string(read.guard, sizeof read.guard));
}

// A folder cannot be opened as a file, so it is no settings file, also past
// the 128 characters that OpenFile takes; a file stored there is found.
TEST_F(Settings, AFolderIsNoSettingsFileAndAStoredFileIsFoundAlsoDeepInTheTree)
{
    test::LongFolder deep(200);
    for (const std::string& path : {std::string(file.Path()), deep.Path() + "Lichtaus+.ini"}) {
        lstrcpyA(program::settingsPath, path.c_str());
        ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
        EXPECT_EQ(kDefaults, Load()) << path.size();
        EXPECT_FALSE(config::SettingsFileExists()) << path.size();
        RemoveDirectoryA(path.c_str());

        config::StoreSetting("QuickInfo", "Nein");
        EXPECT_TRUE(config::SettingsFileExists()) << path.size();
        EXPECT_EQ("Windows beenden...|Ja|Ja|Doppelklick|Nein|Nein", Load()) << path.size();
    }
}

TEST_F(Settings, DamagedOrOddFilesLoadAllowedValuesAndStayAsTheyWere)
{
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk += static_cast<char>((i * 7919 + 13) % 256);   // every byte value, NULs included
    const std::string section = "[Lichtaus+ Optionen]\r\nMen\xfcpunkt=Benutzer abmelden\r\nQuickInfo=Nein";
    const std::wstring wide = L"\xfeff[Lichtaus+ Optionen]\r\nMen\xfcpunkt=Benutzer abmelden\r\nQuickInfo=Nein\r\n";
    const struct {
        const char* name;
        std::string contents;
        const char* held;   // nullptr: any allowed values
    } cases[] = {
        {"binary junk", junk, nullptr},
        {"junk before the section", junk + "\r\n" + section + "\r\n", nullptr},
        {"a megabyte before the section", std::string(1 << 20, 'x') + "\r\n" + section + "\r\n",
         "Benutzer abmelden|Ja|Ja|Doppelklick|Nein|Nein"},
        {"no final line end", section, "Benutzer abmelden|Ja|Ja|Doppelklick|Nein|Nein"},
        {"duplicate keys: the first one counts", section + "\r\nQuickInfo=Ja\r\n",
         "Benutzer abmelden|Ja|Ja|Doppelklick|Nein|Nein"},
        {"UTF-16 with its mark", std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2),
         "Benutzer abmelden|Ja|Ja|Doppelklick|Nein|Nein"},
    };
    for (const auto& c : cases) {
        file.Write(c.contents);
        std::string held = Load();
        if (c.held) {
            EXPECT_EQ(c.held, held) << c.name;
        } else {
            EXPECT_NE(nullptr, config::FindDefaultAction(config::settings.menuepunkt)) << c.name;
            EXPECT_EQ(std::string::npos, held.find('\x5a')) << c.name << ": a field left unterminated";
        }
        EXPECT_TRUE(file.Read() == c.contents) << c.name << ": loading changed the file";
    }
}

TEST_F(Settings, StoringKeepsTheUsersOtherLinesAndSections)
{
    file.Write("; Lichtaus+\r\n[Andere]\r\nQuickInfo=fremd\r\n[Lichtaus+ Optionen]\r\nMS-DOS-Modus=C:\\D.pif\r\n"
               "QuickInfo=Ja\r\n[Noch eine]\r\nx=1\r\n");
    config::StoreSetting("QuickInfo", "Nein");
    config::StoreSetting("Warmstart", "Nein");
    EXPECT_EQ("; Lichtaus+\r\n[Andere]\r\nQuickInfo=fremd\r\n[Lichtaus+ Optionen]\r\nMS-DOS-Modus=C:\\D.pif\r\n"
              "QuickInfo=Nein\r\nWarmstart=Nein\r\n[Noch eine]\r\nx=1\r\n",
              file.Read());
}

TEST_F(Settings, AFailedWriteStillChangesTheSettingInMemory)
{
    file.Write("[Lichtaus+ Optionen]\r\nQuickInfo=Ja\r\n");
    config::LoadSettings();
    // A read-only file or folder: the write is refused.
    FakeWindows fake;
    os::WritePrivateProfileStringA = [](LPCSTR, LPCSTR, LPCSTR, LPCSTR) WINAPI_LAMBDA -> BOOL { return FALSE; };
    config::StoreSetting("QuickInfo", "Nein");
    config::StoreSetting("Menüpunkt", "Benutzer abmelden");
    EXPECT_STREQ("Nein", config::settings.quickInfo);
    EXPECT_STREQ("Benutzer abmelden", config::settings.menuepunkt);
    EXPECT_EQ("[Lichtaus+ Optionen]\r\nQuickInfo=Ja\r\n", file.Read());
}

} // namespace
