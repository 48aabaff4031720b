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

// A launch the shell refuses is not reported, neither of the file nor of the
// settings file.
const std::deque<std::pair<INT_PTR, DWORD>> kRefusedLaunches = {{SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},
                                                                {0, ERROR_OUTOFMEMORY}};

TEST_F(MsDosMode, AMissingFileIsReportedWrittenBackUnchangedAndTheSettingsFileOpened)
{
    const std::string wrong = "[Lichtaus+ Optionen]\r\nQuickInfo=Ja\r\nMS-DOS-Modus=C:\\Falsch\\Modus.pif\r\n";
    const std::string empty = "[Lichtaus+ Optionen]\r\nQuickInfo=Ja\r\nMS-DOS-Modus=\r\n";
    const struct {
        bool nt;
        std::string before;   // empty: no settings file
        const char* name;
        std::string after;
    } cases[] = {
        // Without the key, the family's default.
        {false, "", "MS-DOS-Modus.pif", "[Lichtaus+ Optionen]\r\nMS-DOS-Modus=MS-DOS-Modus.pif\r\n"},
        {true, "", "Eingabeaufforderung.lnk", "[Lichtaus+ Optionen]\r\nMS-DOS-Modus=Eingabeaufforderung.lnk\r\n"},
        {true, wrong, "C:\\Falsch\\Modus.pif", wrong},
        {true, empty, "", empty},   // an empty key stays empty
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        DeleteFileA(settings.Path());
        if (!c.before.empty())
            settings.Write(c.before);
        program::ntFamily = c.nt;
        fake.shellExecuteResults = kRefusedLaunches;
        actions::StartMsDosMode();
        EXPECT_EQ((Calls{test::Format("OpenFile(%s,0x4000)", c.name),
                         test::Format("MessageBoxA(NULL,%s|Lichtaus+|0x10040)", NotFound(c.name, settings.Path()).c_str()),
                         test::Format("WritePrivateProfileStringA(Lichtaus+ Optionen,MS-DOS-Modus,%s)", c.name),
                         test::Format("ShellExecuteA(NULL,NULL,%s,NULL,NULL,1)", settings.Path())}),
                  ActionCalls())
            << c.name;
        EXPECT_EQ(c.after, settings.Read()) << c.name;
    }
}

TEST_F(MsDosMode, AnExistingFileIsOpenedByTheNameAsRead)
{
    dosFile.Write("pif");
    settings.Write(test::Format("[Lichtaus+ Optionen]\r\nMS-DOS-Modus=%s\r\n", dosFile.Path()));
    fake.shellExecuteResults = kRefusedLaunches;
    actions::StartMsDosMode();
    EXPECT_EQ((Calls{test::Format("OpenFile(%s,0x4000)", dosFile.Path()),
                     test::Format("ShellExecuteA(NULL,NULL,%s,NULL,NULL,1)", dosFile.Path())}),
              ActionCalls());
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
