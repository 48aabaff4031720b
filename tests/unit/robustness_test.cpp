// The program at the edges of what Windows hands it: the longest paths,
// damaged or unusually encoded settings files, policy values of any type and
// size, registry keys that cannot be opened, and a shell that is missing or
// refuses. Nothing may crash, write past a buffer or take up garbage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "src/actions/exit_actions.h"
#include "src/app/paths.h"
#include "src/config/command_text.h"
#include "src/ui/tray_icon.h"
#include "support/program_state.h"
#include "support/registry_sandbox.h"
#include "support/temp_file.h"

namespace {

using test::FakeWindows;
using Calls = std::vector<std::string>;
using Bytes = std::vector<BYTE>;

constexpr unsigned char kPoison = 0x5A;
const char kRestartProgram[] = "C:\\Users\\Test User\\Temp\\Lichtaus+Restart.exe";
const std::string kOnBytes("\x01\0\0\0", 4);

// Every byte after the text's terminator, up to `size`, still holds the poison.
::testing::AssertionResult PoisonKeptAfterText(const char* buffer, size_t size)
{
    const char* end = static_cast<const char*>(memchr(buffer, 0, size));
    if (!end)
        return ::testing::AssertionFailure() << "no terminator within " << size << " bytes";
    for (const char* p = end + 1; p < buffer + size; ++p) {
        if (static_cast<unsigned char>(*p) != kPoison)
            return ::testing::AssertionFailure() << "byte " << (p - buffer) << " written past the text";
    }
    return ::testing::AssertionSuccess();
}

// A registry value as its type and every byte, so that a stray byte shows.
std::string Value(DWORD type, const std::string& bytes)
{
    return test::Format("%lu:", type) + bytes;
}
std::string Stored(HKEY root, const char* path, const char* name)
{
    DWORD type = 0;
    Bytes data;
    if (!test::ReadValue(root, path, name, &type, &data))
        return "<absent>";
    return Value(type, std::string(data.begin(), data.end()));
}
std::string Text(const std::string& text)
{
    return Value(REG_SZ, text + '\0');
}

// ---- The longest executable paths and every value built from them ----

std::string modulePath;

// A path of 259 characters, the most Windows gives: `head`, a folder of x's
// to fill it up, and `tail`.
std::string Longest(const std::string& head, const std::string& tail)
{
    return head + std::string(259 - head.size() - tail.size(), 'x') + tail;
}

struct LongPath {
    std::string exe, settings;
    bool quoted;   // the path has a blank
};

std::vector<LongPath> LongestPaths()
{
    const std::string blanks = Longest("C:\\Program Files\\Lichtaus Plus\\", "\\Lichtaus+.exe");
    const std::string dots = Longest("C:\\My.Tools\\v2.12\\", "\\Lichtaus+.exe");
    const std::string blanksNoDot = Longest("C:\\Program Files\\", "\\Lichtaus Plus");
    return {
        {blanks, blanks.substr(0, 255) + ".ini", true},
        {dots, dots.substr(0, 255) + ".ini", false},
        // No extension: the cut falls inside a folder name.
        {Longest("C:\\My.Tools\\v2.12\\", "\\Lichtaus+"), "C:\\My.Tools\\v2.ini", false},
        {Longest("C:\\Dokumente und Einstellungen\\Anna B.\\", "\\Lichtaus"), "C:\\Dokumente und Einstellungen\\Anna B.ini",
         true},
        {blanksNoDot, blanksNoDot + ".ini", true},   // 263 characters
    };
}

// The paths from a scripted module name, the shell namespace failing.
void DerivePaths(const std::string& exe)
{
    test::ResetProgramState();
    memset(program::exeLongPath, kPoison, sizeof program::exeLongPath);
    memset(program::settingsPath, kPoison, sizeof program::settingsPath);
    modulePath = exe;
    os::GetModuleFileNameA = [](HMODULE, LPSTR buffer, DWORD size) WINAPI_LAMBDA -> DWORD {
        lstrcpynA(buffer, modulePath.c_str(), size);
        return lstrlenA(buffer);
    };
    os::SHGetDesktopFolder = [](IShellFolder** folder) WINAPI_LAMBDA -> HRESULT {
        *folder = nullptr;
        return E_FAIL;
    };
    app::DeriveProgramPaths();
}

TEST(LongestPaths, EveryStoredValueIsTheWholePathQuotedExactlyWhenItHasABlank)
{
    test::RegistrySandbox registry;
    for (const LongPath& c : LongestPaths()) {
        ASSERT_EQ(259u, c.exe.size());
        FakeWindows fake;
        DerivePaths(c.exe);
        EXPECT_EQ(c.exe, program::exeLongPath);
        EXPECT_EQ(c.settings, program::settingsPath);
        EXPECT_TRUE(PoisonKeptAfterText(program::settingsPath, sizeof program::settingsPath)) << c.exe;

        const std::string command = c.quoted ? "\"" + c.exe + "\"" : c.exe;
        char uninstall[config::kQuotedPathCapacity + 11 + 16];
        memset(uninstall, kPoison, sizeof uninstall);
        config::FormatExecutableCommand(uninstall, "/uninstall");
        EXPECT_EQ(command + " /uninstall", uninstall);
        EXPECT_TRUE(PoisonKeptAfterText(uninstall, sizeof uninstall)) << c.exe;
        char runOnce[config::kRunOnceCommandCapacity];
        memset(runOnce, kPoison, sizeof runOnce);
        config::FormatRunOnceCommand(runOnce, kRestartProgram);
        EXPECT_EQ(command + " " + kRestartProgram, runOnce);
        EXPECT_TRUE(PoisonKeptAfterText(runOnce, sizeof runOnce)) << c.exe;

        config::SetAutostart(true);
        config::WriteUninstallEntry();
        config::WriteRunOnceEntry(kRestartProgram);
        EXPECT_EQ(Text(command), Stored(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
        EXPECT_EQ(Text(command + " /uninstall"), Stored(HKEY_LOCAL_MACHINE, test::kUninstallKey, "UninstallString"));
        EXPECT_EQ(Text(command + " " + kRestartProgram), Stored(HKEY_LOCAL_MACHINE, test::kRunOnceKey, "Lichtaus+"));
    }
}

// The Run value of the longest paths, bare or quoted, must read back whole,
// or the Options dialog shows autostart off right after an OK switched it on.
TEST(LongestPaths, AutostartOfTheLongestPathsReadsBackAsOn)
{
    test::RegistrySandbox registry;
    for (const LongPath& c : LongestPaths()) {
        FakeWindows fake;
        DerivePaths(c.exe);
        config::SetAutostart(true);
        EXPECT_TRUE(config::IsAutostartOn()) << c.exe;
    }
}

// ---- The settings file through Wine's real profile-string functions ----

const char kDefaults[] = "Windows beenden...|Ja|Ja|Doppelklick|Ja|Nein";
const char kChosenLines[] = "Menüpunkt=Benutzer abmelden\r\nAusschalten=Nein\r\nWarmstart=Nein\r\n"
                            "Ausführen=Einfacher Klick\r\nQuickInfo=Nein\r\nBestätigung=Ja\r\n";
const char kChosen[] = "Benutzer abmelden|Nein|Nein|Einfacher Klick|Nein|Ja";

std::string Junk(size_t size, unsigned seed)
{
    std::string bytes;
    for (; bytes.size() < size; seed = seed * 1103515245 + 12345)
        bytes += static_cast<char>(seed >> 16);   // NULs included
    return bytes;
}

// Code page 1252 text as UTF-16 LE or as UTF-8, without a BOM.
std::string Encoded(const std::string& text, bool utf8)
{
    std::wstring wide(text.size(), L'\0');
    MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), &wide[0], static_cast<int>(wide.size()));
    if (!utf8)
        return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
    std::string bytes(wide.size() * 3, '\0');
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0],
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
    return bytes;
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ResetProgramState();
        lstrcpyA(program::settingsPath, file.Path());
    }
    test::TempFile file{"lichtaus-robustness-test.ini"};

    // Loads into a poisoned record, so that a field the load left alone shows.
    static std::string Load()
    {
        memset(&config::settings, kPoison, sizeof config::settings);
        config::LoadSettings();
        const config::Settings& s = config::settings;
        return std::string(s.menuepunkt) + "|" + s.ausschalten + "|" + s.warmstart + "|" + s.ausfuehren + "|" +
               s.quickInfo + "|" + s.bestaetigung;
    }
    // Every field is terminated, and every validated one holds an allowed value.
    static ::testing::AssertionResult Sound()
    {
        const config::Settings& s = config::settings;
        const struct {
            const char* field;
            size_t size;
            const char* allowed;   // lower case, each between bars; nullptr: any text
        } fields[] = {
            {s.menuepunkt, sizeof s.menuepunkt,
             "|windows beenden...|windows herunterfahren|windows neu starten|ms-dos-modus starten|benutzer abmelden|"},
            {s.ausschalten, sizeof s.ausschalten, "|ja|nein|"},
            {s.warmstart, sizeof s.warmstart, "|ja|nein|"},
            {s.ausfuehren, sizeof s.ausfuehren, "|einfacher klick|doppelklick|"},
            {s.quickInfo, sizeof s.quickInfo, "|ja|nein|"},
            {s.bestaetigung, sizeof s.bestaetigung, nullptr},
        };
        for (const auto& f : fields) {
            if (!memchr(f.field, 0, f.size))
                return ::testing::AssertionFailure() << "a field without terminator";
            std::string value = "|" + std::string(f.field) + "|";
            CharLowerA(&value[0]);
            if (f.allowed && !strstr(f.allowed, value.c_str()))
                return ::testing::AssertionFailure() << "not an allowed value: " << f.field;
        }
        return ::testing::AssertionSuccess();
    }
};

TEST_F(SettingsFile, DamagedFilesLoadOnlyAllowedValuesAndStayAsTheyWere)
{
    const std::string section = std::string("[Lichtaus+ Optionen]\r\n") + kChosenLines;
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> oneOf;   // what the load may give; empty: anything sound
    } cases[] = {
        {"random bytes", Junk(4096, 1), {kDefaults}},
        {"random bytes, then the section", Junk(4096, 2) + "\r\n" + section, {kDefaults, kChosen}},
        {"the section, then random bytes", section + Junk(4096, 3), {kDefaults, kChosen}},
        {"control and high bytes as values",
         "[Lichtaus+ Optionen]\r\nMenüpunkt=\x01\x7f\xff\r\nAusschalten=\x80\x81\r\nAusführen=\x1b[2J\r\n"
         "Bestätigung=\xfe\xfe\xfe\xfe\xfe\xfe\xfe\xfe\xfe\r\n",
         {}},
        // Wine takes the first of two equal keys.
        {"duplicate keys",
         "[Lichtaus+ Optionen]\r\nMenüpunkt=Benutzer abmelden\r\nAusschalten=kaputt\r\nQuickInfo=Nein\r\n"
         "Menüpunkt=Windows neu starten\r\nAusschalten=Nein\r\nQuickInfo=Ja\r\n",
         {"Benutzer abmelden|Ja|Ja|Doppelklick|Nein|Nein", "Windows neu starten|Nein|Ja|Doppelklick|Ja|Nein"}},
        // Wine reads only the first of two equal section headers.
        {"a repeated section",
         "[Lichtaus+ Optionen]\r\nWarmstart=Nein\r\n[Andere]\r\nX=1\r\n[Lichtaus+ Optionen]\r\nQuickInfo=Nein\r\n",
         {"Windows beenden...|Ja|Nein|Doppelklick|Ja|Nein", "Windows beenden...|Ja|Nein|Doppelklick|Nein|Nein"}},
    };
    for (const auto& c : cases) {
        file.Write(c.bytes);
        const std::string held = Load();
        EXPECT_TRUE(Sound()) << c.name;
        if (!c.oneOf.empty()) {
            EXPECT_NE(c.oneOf.end(), std::find(c.oneOf.begin(), c.oneOf.end(), held)) << c.name << ": " << held;
        }
        EXPECT_TRUE(config::SettingsFileExists()) << c.name << ": an existing file is no first start";
        EXPECT_EQ(c.bytes, file.Read()) << c.name;
    }
}

TEST_F(SettingsFile, OtherEncodingsAndLineEndsAreReadAndKeptByAStore)
{
    const std::string text = std::string("[Lichtaus+ Optionen]\r\n") + kChosenLines;
    const std::string bare = text.substr(0, text.size() - 2);
    auto withLineEnds = [&](char end) {
        std::string converted;
        for (char ch : bare) {
            if (ch != '\r')
                converted += ch == '\n' ? end : ch;
        }
        return converted;
    };
    const struct {
        const char* name;
        std::string bytes;
        const char* held;
    } cases[] = {
        {"UTF-16 LE with BOM", "\xff\xfe" + Encoded(text, false), kChosen},
        {"UTF-8 with BOM", "\xef\xbb\xbf" + Encoded(text, true), kChosen},
        // Without a BOM the bytes are code page 1252: keys with umlauts are other keys.
        {"UTF-8 without BOM", Encoded(text, true), "Windows beenden...|Nein|Nein|Doppelklick|Nein|Nein"},
        {"no final line end", bare, kChosen},
        {"LF line ends", withLineEnds('\n'), kChosen},
        {"CR line ends", withLineEnds('\r'), kChosen},
    };
    for (const auto& c : cases) {
        file.Write(c.bytes);
        EXPECT_EQ(c.held, Load()) << c.name;
        config::StoreSetting("QuickInfo", "Ja");
        EXPECT_EQ(c.bytes.substr(0, 3), file.Read().substr(0, 3)) << c.name << ": the encoding must stay";
        Load();
        EXPECT_STREQ("Ja", config::settings.quickInfo) << c.name;
        EXPECT_TRUE(Sound()) << c.name;
    }
}

TEST_F(SettingsFile, TheSectionAtTheEndOfAMegabyteIsFoundAndAStoreKeepsTheRest)
{
    std::string filler;
    for (int n = 0; filler.size() < 1024 * 1024; ++n)
        filler += test::Format("[Abschnitt %d]\r\n; Kommentar %d\r\nSchlüssel=Wert %d\r\n", n, n, n);
    const std::string before = filler + "[Lichtaus+ Optionen]\r\n" + kChosenLines;
    file.Write(before);
    EXPECT_EQ(kChosen, Load());
    config::StoreSetting("Warmstart", "Ja");
    std::string after = before;
    after.replace(after.find("Warmstart=Nein", filler.size()), 14, "Warmstart=Ja");
    EXPECT_TRUE(after == file.Read()) << "the file changed beyond the one key";
}

TEST_F(SettingsFile, OverLongValuesForEveryKeyAreCutToTheirFields)
{
    const std::string tail(70000, 'x');
    std::string text = "[Lichtaus+ Optionen]\r\n";
    for (const char* line : {"Menüpunkt=Benutzer abmelden", "Ausschalten=Nein", "Warmstart=Nein",
                             "Ausführen=Einfacher Klick", "QuickInfo=Nein", "Bestätigung=Ja", "MS-DOS-Modus=C:\\"})
        text += line + tail + "\r\n";
    file.Write(text);
    // A cut validated value is no longer allowed; a cut "Bestätigung" stays cut.
    EXPECT_EQ("Windows beenden...|Ja|Ja|Doppelklick|Ja|Jaxxxxx", Load());
    EXPECT_TRUE(Sound());

    struct {
        char file[config::kMsDosModeCapacity];
        char guard[16];
    } read;
    memset(&read, kPoison, sizeof read);
    config::ReadMsDosModeFile(read.file);
    EXPECT_EQ("C:\\" + tail.substr(0, 256), read.file);
    EXPECT_EQ(std::string(sizeof read.guard, kPoison), std::string(read.guard, sizeof read.guard));
}

// A folder cannot be opened as a file, so it is no settings file: the defaults
// and a first start, whose OK then cannot write.
TEST_F(SettingsFile, AFolderInTheFilesPlaceGivesTheDefaultsAndAFirstStart)
{
    RemoveDirectoryA(file.Path());
    ASSERT_TRUE(CreateDirectoryA(file.Path(), nullptr));
    EXPECT_EQ(kDefaults, Load());
    EXPECT_FALSE(config::SettingsFileExists());
    config::StoreSetting("QuickInfo", "Nein");
    EXPECT_STREQ("Nein", config::settings.quickInfo);
    RemoveDirectoryA(file.Path());
}

// A folder in the settings file's place is no settings file, also past the
// 128 characters that OpenFile takes.
TEST_F(SettingsFile, AFolderDeepInTheTreeIsNoSettingsFileEither)
{
    test::LongFolder folder(200);
    const std::string path = folder.Path() + "Lichtaus+.ini";
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    lstrcpyA(program::settingsPath, path.c_str());
    EXPECT_EQ(kDefaults, Load());
    EXPECT_FALSE(config::SettingsFileExists());
    RemoveDirectoryA(path.c_str());
}

TEST_F(SettingsFile, StoringAllSixKeysKeepsTheUsersOtherLinesAndSections)
{
    // Written the way Wine writes (no blank lines, no blanks around "="),
    // which its rewrite keeps byte for byte.
    const char before[] = "; Einstellungen von Anna\r\n[Vorher]\r\nMenüpunkt=fremd\r\n# anderer Kommentar\r\n"
                          "[Lichtaus+ Optionen]\r\n; meine Wahl\r\nQuickInfo=Nein\r\nEigener Schlüssel=bleibt\r\n"
                          "Menüpunkt=windows NEU starten\r\nMS-DOS-Modus=C:\\DOS\\Modus.pif\r\nWarmstart=Nein\r\n"
                          "[Danach]\r\nBestätigung=fremd\r\n";
    const char after[] = "; Einstellungen von Anna\r\n[Vorher]\r\nMenüpunkt=fremd\r\n# anderer Kommentar\r\n"
                         "[Lichtaus+ Optionen]\r\n; meine Wahl\r\nQuickInfo=Ja\r\nEigener Schlüssel=bleibt\r\n"
                         "Menüpunkt=Windows beenden...\r\nMS-DOS-Modus=C:\\DOS\\Modus.pif\r\nWarmstart=Ja\r\n"
                         "Ausschalten=Ja\r\nAusführen=Doppelklick\r\nBestätigung=Nein\r\n"
                         "[Danach]\r\nBestätigung=fremd\r\n";
    file.Write(before);
    const char* const firstStartOk[][2] = {{"Menüpunkt", "Windows beenden..."}, {"Ausschalten", "Ja"},
                                           {"Warmstart", "Ja"}, {"Ausführen", "Doppelklick"},
                                           {"Bestätigung", "Nein"}, {"QuickInfo", "Ja"}};
    for (const auto& entry : firstStartOk)
        config::StoreSetting(entry[0], entry[1]);
    EXPECT_EQ(after, file.Read());
}

// ---- Registry values of any shape, keys that cannot be had, a missing shell ----

class ScriptedWindows : public ::testing::Test {
protected:
    void SetUp() override { test::ResetProgramState(); }
    test::RegistrySandbox registry;
    FakeWindows fake;
};

// Windows leaves the buffer undefined when a value does not fit, Wine leaves
// it alone: fill it, so that only a reader that discards it reads off.
decltype(os::RegQueryValueExA) recordedQuery;

TEST_F(ScriptedWindows, PolicyValuesOfAnyTypeAndSizeReadByTheirFirstByteAndWriteFourBytes)
{
    recordedQuery = os::RegQueryValueExA;
    os::RegQueryValueExA = [](HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                              LPDWORD size) WINAPI_LAMBDA -> LONG {
        const DWORD room = *size;
        const LONG result = recordedQuery(key, name, reserved, type, data, size);
        if (result == ERROR_MORE_DATA)
            memset(data, 1, room);
        return result;
    };
    const struct {
        Bytes data;
        BYTE read;
        std::string written;   // what a write of 1 after the read stores
    } sizes[] = {
        {{}, 0, kOnBytes},
        {{1}, 1, kOnBytes},
        {{1, 7, 7}, 1, std::string("\x01\x07\x07\0", 4)},
        {Bytes(100, 1), 0, kOnBytes},   // too long for the buffer: off
    };
    for (DWORD type : {REG_SZ, REG_DWORD, REG_BINARY}) {
        for (const auto& c : sizes) {
            const std::string label = test::Format("type %lu, %u bytes", type, static_cast<unsigned>(c.data.size()));
            test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose", type, c.data);
            HKEY key = config::OpenPolicyKey(true);
            EXPECT_EQ(c.read, config::ReadPolicyValue(key, "NoClose")) << label;
            config::WritePolicyValue(key, "NoClose", 1);
            config::ClosePolicyKey(key);
            EXPECT_EQ(Value(REG_BINARY, c.written), Stored(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose")) << label;

            // On, the actions lift the policy and put it back; off, they leave the value alone.
            const struct {
                const char* name;
                void (*action)();
                const char* sent;
            } readers[] = {
                {"NoClose", actions::ShowShutdownDialog,
                 c.read ? "SendMessageA(taskbar,0x10,0,0)" : "PostMessageA(taskbar,0x10,0,0)"},
                {"NoLogoff", actions::LogOff, "SendMessageA(tray,0x10,0,0)"},
            };
            for (const auto& a : readers) {
                test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, a.name, type, c.data);
                const std::string stored = Stored(HKEY_CURRENT_USER, test::kPolicyKey, a.name);
                fake.calls.clear();
                a.action();
                EXPECT_EQ(Calls{a.sent}, fake.Calls({"PostMessageA", "SendMessageA"})) << label << " " << a.name;
                EXPECT_EQ(c.read ? Value(REG_BINARY, c.written) : stored,
                          Stored(HKEY_CURRENT_USER, test::kPolicyKey, a.name))
                    << label << " " << a.name;
            }
        }
    }
}

TEST_F(ScriptedWindows, ARunValueOfAnotherProgramIsNotOursUntilAutostartIsSwitchedOn)
{
    const std::pair<DWORD, std::string> others[] = {
        {REG_SZ, std::string("C:\\Andere\\Werkzeug.exe /start") + '\0'},
        {REG_EXPAND_SZ, std::string("%ProgramFiles%\\Lichtaus+.exe") + '\0'},
        {REG_BINARY, std::string(300, 'C')},   // no terminator at all
    };
    for (const auto& other : others) {
        test::WriteValue(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", other.first,
                         Bytes(other.second.begin(), other.second.end()));
        EXPECT_FALSE(config::IsAutostartOn()) << other.first;
        config::SetAutostart(true);
        EXPECT_EQ(Text("C:\\Tools\\Lichtaus+.exe"), Stored(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
        EXPECT_TRUE(config::IsAutostartOn()) << other.first;
    }
}

// A refused open that still leaves a handle behind: it must never be used.
const HKEY kStaleKey = reinterpret_cast<HKEY>(0x5A5A5A5A);

TEST_F(ScriptedWindows, KeysThatCannotBeOpenedLeaveEveryOperationWithoutEffect)
{
    test::WriteText(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+", "C:\\Tools\\Lichtaus+.exe");
    test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose", REG_BINARY, {1, 0, 0, 0});
    test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoLogoff", REG_BINARY, {1, 0, 0, 0});
    os::RegOpenKeyExA = [](HKEY, LPCSTR, DWORD, REGSAM, PHKEY key) WINAPI_LAMBDA -> LONG {
        *key = kStaleKey;
        return ERROR_ACCESS_DENIED;
    };
    os::RegCreateKeyExA = [](HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY key,
                             LPDWORD) WINAPI_LAMBDA -> LONG {
        *key = kStaleKey;
        return ERROR_ACCESS_DENIED;
    };
    os::RegDeleteKeyA = [](HKEY, LPCSTR) WINAPI_LAMBDA -> LONG { return ERROR_ACCESS_DENIED; };

    for (bool create : {false, true}) {
        HKEY key = config::OpenPolicyKey(create);
        EXPECT_EQ(nullptr, key);
        EXPECT_EQ(0, config::ReadPolicyValue(key, "NoClose"));   // counts as off
        config::WritePolicyValue(key, "NoClose", 0);
        config::ClosePolicyKey(key);
    }
    EXPECT_FALSE(config::IsAutostartOn());
    config::SetAutostart(true);
    config::SetAutostart(false);
    config::WriteUninstallEntry();
    config::WriteRunOnceEntry(kRestartProgram);
    actions::ShowShutdownDialog();
    actions::LogOff();
    fake.messageBoxDefault = IDYES;
    config::RunUninstallFlow();

    EXPECT_EQ(Calls{}, fake.Calls({"RegQueryValueExA", "RegSetValueExA", "RegDeleteValueA", "RegCloseKey"}));
    EXPECT_EQ((Calls{"PostMessageA(taskbar,0x10,0,0)", "ExitWindowsEx(0,0)", "SendMessageA(tray,0x10,0,0)"}),
              fake.Calls({"PostMessageA", "SendMessageA", "ExitWindowsEx"}));
    const Calls boxes = fake.Calls("MessageBoxA");
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(0u, boxes[1].find("MessageBoxA(NULL,Lichtaus+ deinstalliert.")) << boxes[1];
    EXPECT_EQ(Text("C:\\Tools\\Lichtaus+.exe"), Stored(HKEY_LOCAL_MACHINE, test::kRunKey, "Lichtaus+"));
    EXPECT_EQ(Value(REG_BINARY, kOnBytes), Stored(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose"));
    EXPECT_EQ("<absent>", Stored(HKEY_LOCAL_MACHINE, test::kRunOnceKey, "Lichtaus+"));
    EXPECT_FALSE(test::KeyExists(HKEY_LOCAL_MACHINE, test::kUninstallKey));
}

TEST_F(ScriptedWindows, WithoutATaskbarTheShutdownDialogRequestGoesNowhereAndNoCloseIsRestored)
{
    os::FindWindowA = [](LPCSTR, LPCSTR) WINAPI_LAMBDA -> HWND { return nullptr; };
    const struct {
        int noClose;   // -1: no value
        const char* call;
        std::string after;
    } cases[] = {
        {-1, "PostMessageA(NULL,0x10,0,0)", "<absent>"},
        // Sending to no window returns 0 at once: the policy goes back on.
        {1, "SendMessageA(NULL,0x10,0,0)", Value(REG_BINARY, kOnBytes)},
    };
    for (const auto& c : cases) {
        test::RegistrySandbox::Clear();
        if (c.noClose >= 0)
            test::WriteValue(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose", REG_BINARY,
                             {static_cast<BYTE>(c.noClose), 0, 0, 0});
        fake.calls.clear();
        actions::ShowShutdownDialog();
        EXPECT_EQ(Calls{c.call}, fake.Calls({"PostMessageA", "SendMessageA", "MessageBoxA"})) << c.noClose;
        EXPECT_EQ(c.after, Stored(HKEY_CURRENT_USER, test::kPolicyKey, "NoClose")) << c.noClose;
    }
}

TEST_F(ScriptedWindows, ARefusedReAddKeepsTheShownPictureAndReleasesEachPictureOnce)
{
    fake.recordStorage = false;
    ui::ReleaseTrayIconImage();   // whatever an earlier test left shown
    fake.calls.clear();
    lstrcpyA(config::settings.menuepunkt, "Windows beenden...");
    ui::AddTrayIcon();            // picture 1 shown
    fake.notifyResults = {FALSE};
    ui::AddTrayIcon();            // the taskbar came back but refuses picture 2
    ui::ReleaseTrayIconImage();   // the program ends
    EXPECT_EQ((Calls{"DestroyIcon(2)", "DestroyIcon(1)"}), fake.Calls("DestroyIcon"));
}

TEST_F(ScriptedWindows, FailedLaunchesOfMsDosModeAreNotReported)
{
    test::TempFile settings{"lichtaus-robustness-msdos.ini"};
    test::TempFile dosFile{"lichtaus-robustness-msdos.pif"};
    lstrcpyA(program::settingsPath, settings.Path());
    for (bool present : {true, false}) {
        dosFile.Write("pif");
        if (!present)
            DeleteFileA(dosFile.Path());
        settings.Write(test::Format("[Lichtaus+ Optionen]\r\nMS-DOS-Modus=%s\r\n", dosFile.Path()));
        fake.calls.clear();
        fake.shellExecuteResults = {{SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION}, {0, ERROR_OUTOFMEMORY}};
        actions::StartMsDosMode();
        // At most the information that the file is missing; no box for the launch.
        const Calls boxes = fake.Calls("MessageBoxA");
        EXPECT_EQ(present ? 0u : 1u, boxes.size());
        for (const std::string& box : boxes)
            EXPECT_NE(std::string::npos, box.find("konnte nicht gefunden werden")) << box;
        EXPECT_EQ(1u, fake.Calls("ShellExecuteA").size()) << present;
    }
}

} // namespace
