// The settings file through Wine's real profile-string functions: defaults,
// validation, the existence test and storing.
#include <gtest/gtest.h>

#include "support/program_state.h"
#include "support/temp_file.h"

namespace {

using test::FakeWindows;

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ResetProgramState();
        lstrcpyA(program::settingsPath, file.Path());
    }
    test::TempFile file{"lichtaus-settings-test.ini"};

    static std::string Held()
    {
        const config::Settings& s = config::settings;
        return std::string(s.menuepunkt) + "|" + s.ausschalten + "|" + s.warmstart + "|" + s.ausfuehren + "|" +
               s.quickInfo + "|" + s.bestaetigung;
    }
};

TEST_F(Settings, WithoutAFileTheDefaultsAreLoaded)
{
    config::LoadSettings();
    EXPECT_EQ("Windows beenden...|Ja|Ja|Doppelklick|Ja|Nein", Held());
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
        {"Menüpunkt=Windows beenden", "Windows beenden...|Ja|Ja|Doppelklick|Ja|Nein"},
        {"Menüpunkt=Benutzer abmelden x", "Windows beenden...|Ja|Ja|Doppelklick|Ja|Nein"},
        {"Ausschalten=1\r\nWarmstart=nein", "Windows beenden...|Ja|nein|Doppelklick|Ja|Nein"},
        {"Ausschalten=NEIN\r\nQuickInfo=Nee", "Windows beenden...|NEIN|Ja|Doppelklick|Ja|Nein"},
        {"Ausführen=", "Windows beenden...|Ja|Ja|Doppelklick|Ja|Nein"},
        {"Ausführen=einfacher klick", "Windows beenden...|Ja|Ja|einfacher klick|Ja|Nein"},
        {"Bestätigung=JA", "Windows beenden...|Ja|Ja|Doppelklick|Ja|JA"},
        {"Bestätigung=", "Windows beenden...|Ja|Ja|Doppelklick|Ja|"},     // not validated: stays empty
        {"Bestätigung=Yes", "Windows beenden...|Ja|Ja|Doppelklick|Ja|Yes"},
        // Longer than the field: cut to its capacity - 1, then not allowed.
        {"Menüpunkt=Windows herunterfahren und dann noch etwas mehr Text",
         "Windows beenden...|Ja|Ja|Doppelklick|Ja|Nein"},
        {"Ausführen=Doppelklickdoppelklickdoppelklick", "Windows beenden...|Ja|Ja|Doppelklick|Ja|Nein"},
        {"Bestätigung=Jaaaaaaaaaaaa", "Windows beenden...|Ja|Ja|Doppelklick|Ja|Jaaaaaa"},   // a cut value stays cut
    };
    for (const auto& c : cases) {
        std::string contents = std::string("[Lichtaus+ Optionen]\r\n") + c.lines + "\r\n";
        file.Write(contents);
        config::settings = {};
        config::LoadSettings();
        EXPECT_EQ(c.held, Held()) << c.lines;
        EXPECT_EQ(contents, file.Read()) << "the load must not correct the file";
    }
}

TEST_F(Settings, AFileHoldingOnlyTheMsDosKeyCountsAsExisting)
{
    file.Write("[Lichtaus+ Optionen]\r\nMS-DOS-Modus=MS-DOS-Modus.pif\r\n");
    EXPECT_TRUE(config::SettingsFileExists());
    config::LoadSettings();
    EXPECT_EQ("Windows beenden...|Ja|Ja|Doppelklick|Ja|Nein", Held());
}

TEST_F(Settings, ASettingsFileDeepInTheFolderTreeIsFound)
{
    // Past the 128 characters that OpenFile takes.
    test::LongFolder folder(200);
    std::string path = folder.Path() + "Lichtaus+.ini";
    lstrcpyA(program::settingsPath, path.c_str());
    EXPECT_FALSE(config::SettingsFileExists());
    config::StoreSetting("QuickInfo", "Nein");
    EXPECT_TRUE(config::SettingsFileExists());
    config::settings = {};
    config::LoadSettings();
    EXPECT_STREQ("Nein", config::settings.quickInfo);
}

TEST_F(Settings, StoringWritesTheKeyAndTheFieldInTheFirstStartOrder)
{
    config::LoadSettings();
    const char* const order[][2] = {{"Menüpunkt", "Windows beenden..."}, {"Ausschalten", "Ja"},
                                    {"Warmstart", "Ja"},                {"Ausführen", "Doppelklick"},
                                    {"Bestätigung", "Nein"},            {"QuickInfo", "Ja"}};
    for (const auto& entry : order)
        config::StoreSetting(entry[0], entry[1]);
    EXPECT_EQ("[Lichtaus+ Optionen]\r\nMen\xfcpunkt=Windows beenden...\r\nAusschalten=Ja\r\nWarmstart=Ja\r\n"
              "Ausf\xfchren=Doppelklick\r\nBest\xe4tigung=Nein\r\nQuickInfo=Ja\r\n",
              file.Read());
    EXPECT_TRUE(config::SettingsFileExists());
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

TEST_F(Settings, TheMsDosFileDefaultsByFamilyAndAnEmptyKeyStaysEmpty)
{
    char name[config::kMsDosModeCapacity];
    program::ntFamily = false;
    config::ReadMsDosModeFile(name);
    EXPECT_STREQ("MS-DOS-Modus.pif", name);
    program::ntFamily = true;
    config::ReadMsDosModeFile(name);
    EXPECT_STREQ("Eingabeaufforderung.lnk", name);

    file.Write("[Lichtaus+ Optionen]\r\nMS-DOS-Modus=\r\n");
    config::ReadMsDosModeFile(name);
    EXPECT_STREQ("", name);

    config::WriteMsDosModeFile("C:\\DOS\\Modus.pif");
    config::ReadMsDosModeFile(name);
    EXPECT_STREQ("C:\\DOS\\Modus.pif", name);
}

} // namespace
