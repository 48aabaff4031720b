// MS-DOS mode: the file named in the settings file is handed to the shell,
// or, when it is missing, the user is told and the settings file is opened.
#include <gtest/gtest.h>

#include <cstdio>

#include "src/actions/exit_actions.h"
#include "support/program_state.h"
#include "support/temp_file.h"

namespace {

using test::FakeWindows;
using Calls = std::vector<std::string>;

const char kFormat[] =
    "Die Datei '%s' konnte nicht gefunden werden.\n\n%s \xf6""ffnet jetzt folgende Datei:\n'%s'.\n\n"
    "Bitte tragen Sie statt '%s' den Dateinamen der\nDatei ein, die bei Ihrem System den MS-DOS-Modus startet.";

std::string NotFound(const std::string& file, const char* settings)
{
    std::vector<char> text(4096);
    snprintf(text.data(), text.size(), kFormat, file.c_str(), "Lichtaus+", settings, file.c_str());
    return text.data();
}

class MsDosMode : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ResetProgramState();
        lstrcpyA(program::settingsPath, settings.Path());
    }
    test::TempFile settings{"lichtaus-msdos-test.ini"};
    test::TempFile dosFile{"lichtaus-msdos-test.pif"};
    FakeWindows fake;

    Calls ActionCalls() const
    {
        return fake.Calls({"MessageBoxA", "OpenFile", "WritePrivateProfileStringA", "ShellExecuteA"});
    }
};

TEST_F(MsDosMode, AMissingDefaultFileIsReportedWrittenBackAndTheSettingsFileOpened)
{
    const struct {
        bool nt;
        const char* name;
    } cases[] = {{false, "MS-DOS-Modus.pif"}, {true, "Eingabeaufforderung.lnk"}};
    for (const auto& c : cases) {
        fake.calls.clear();
        DeleteFileA(settings.Path());
        program::ntFamily = c.nt;
        actions::StartMsDosMode();
        EXPECT_EQ((Calls{test::Format("OpenFile(%s,0x4000)", c.name),
                         test::Format("MessageBoxA(NULL,%s|Lichtaus+|0x10040)", NotFound(c.name, settings.Path()).c_str()),
                         test::Format("WritePrivateProfileStringA(Lichtaus+ Optionen,MS-DOS-Modus,%s)", c.name),
                         test::Format("ShellExecuteA(NULL,NULL,%s,NULL,NULL,1)", settings.Path())}),
                  ActionCalls());
        EXPECT_EQ(test::Format("[Lichtaus+ Optionen]\r\nMS-DOS-Modus=%s\r\n", c.name), settings.Read());
    }
}

TEST_F(MsDosMode, AnExistingFileIsOpenedByTheNameAsRead)
{
    dosFile.Write("pif");
    settings.Write(test::Format("[Lichtaus+ Optionen]\r\nMS-DOS-Modus=%s\r\n", dosFile.Path()));
    actions::StartMsDosMode();
    EXPECT_EQ((Calls{test::Format("OpenFile(%s,0x4000)", dosFile.Path()),
                     test::Format("ShellExecuteA(NULL,NULL,%s,NULL,NULL,1)", dosFile.Path())}),
              ActionCalls());
}

TEST_F(MsDosMode, AWrongOrEmptyNameIsWrittenBackUnchanged)
{
    for (const char* name : {"C:\\Falsch\\Modus.pif", ""}) {
        fake.calls.clear();
        std::string contents = test::Format("[Lichtaus+ Optionen]\r\nQuickInfo=Ja\r\nMS-DOS-Modus=%s\r\n", name);
        settings.Write(contents);
        actions::StartMsDosMode();
        Calls calls = ActionCalls();
        ASSERT_EQ(4u, calls.size()) << name;
        EXPECT_EQ(test::Format("MessageBoxA(NULL,%s|Lichtaus+|0x10040)", NotFound(name, settings.Path()).c_str()), calls[1]);
        EXPECT_EQ(test::Format("WritePrivateProfileStringA(Lichtaus+ Optionen,MS-DOS-Modus,%s)", name), calls[2]);
        EXPECT_EQ(contents, settings.Read());
    }
}

TEST_F(MsDosMode, AFileDeepInTheFolderTreeIsFound)
{
    test::LongFolder folder(220);
    std::string name = folder.Path() + "Modus.pif";
    HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
    config::WriteMsDosModeFile(name.c_str());
    actions::StartMsDosMode();
    EXPECT_EQ((Calls{test::Format("ShellExecuteA(NULL,NULL,%s,NULL,NULL,1)", name.c_str())}),
              fake.Calls({"MessageBoxA", "ShellExecuteA"}));
}

std::string shownMessage;

TEST_F(MsDosMode, TheLongestMessageIsShownWhole)
{
    // A 259-character name and a 263-character settings path (a 259-character
    // executable path without a dot): 971 characters.
    std::string name = "C:\\" + std::string(256, 'n');
    std::string path = "C:\\" + std::string(256, 's') + ".ini";
    ASSERT_EQ(263u, path.size());
    lstrcpyA(program::settingsPath, path.c_str());
    os::GetPrivateProfileStringA = [](LPCSTR, LPCSTR, LPCSTR, LPSTR buffer, DWORD size, LPCSTR) WINAPI_LAMBDA -> DWORD {
        std::string longest = "C:\\" + std::string(256, 'n');
        lstrcpynA(buffer, longest.c_str(), size);
        return lstrlenA(buffer);
    };
    os::WritePrivateProfileStringA = [](LPCSTR, LPCSTR, LPCSTR, LPCSTR) WINAPI_LAMBDA -> BOOL { return TRUE; };
    os::MessageBoxA = [](HWND, LPCSTR text, LPCSTR, UINT) WINAPI_LAMBDA -> int {
        shownMessage = text;
        return IDOK;
    };
    actions::StartMsDosMode();
    std::string expected = NotFound(name, path.c_str());
    EXPECT_EQ(971u, expected.size());
    EXPECT_EQ(expected, shownMessage);
}

} // namespace
