// The program's paths: the long-name form of the executable and the settings
// file beside it.
#include <gtest/gtest.h>

#include <string>

#include "src/app/paths.h"
#include "support/program_state.h"

namespace {

TEST(SettingsPath, ReplacesEverythingFromTheLastDot)
{
    const struct {
        const char* exe;
        const char* settings;
    } cases[] = {
        {"C:\\Tools\\prog.exe", "C:\\Tools\\prog.ini"},
        {"C:\\My.Tools\\prog", "C:\\My.ini"},                  // the cut falls inside the folder name
        {"C:\\Tools\\prog", "C:\\Tools\\prog.ini"},            // no dot at all: appended
        {"C:\\Tools\\Lichtaus+.backup.exe", "C:\\Tools\\Lichtaus+.backup.ini"},
    };
    for (const auto& c : cases) {
        char settings[program::kSettingsPathCapacity];
        app::MakeSettingsPath(c.exe, settings);
        EXPECT_STREQ(c.settings, settings) << c.exe;
    }
}

TEST(SettingsPath, TheLongestPathWithoutADotFitsItsBuffer)
{
    std::string exe = "C:\\" + std::string(program::kPathCapacity - 4, 'x');
    ASSERT_EQ(259u, exe.size());
    char settings[program::kSettingsPathCapacity + 8];
    memset(settings, 0x5A, sizeof settings);
    app::MakeSettingsPath(exe.c_str(), settings);
    EXPECT_EQ(exe + ".ini", settings);
    // Nothing was written past the terminator of the 263-character result.
    for (size_t i = exe.size() + 5; i < sizeof settings; ++i)
        EXPECT_EQ(0x5A, static_cast<unsigned char>(settings[i])) << "byte " << i;
}

class ProgramPaths : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ResetProgramState();
        program::exeLongPath[0] = program::settingsPath[0] = '\0';
    }
    void TearDown() override
    {
        DeleteFileA(longPath.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    // A real file in a folder with a long name, so the shell has something
    // to find; its 8.3 form is what a short-path start hands the program.
    void MakeFile()
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "Lichtaus Pfad Test.Ordner";
        CreateDirectoryA(folder.c_str(), nullptr);
        longPath = folder + "\\Lichtaus Programm.exe";
        HANDLE file = CreateFileA(longPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
        char shortPath[MAX_PATH];
        ASSERT_NE(0u, GetShortPathNameA(longPath.c_str(), shortPath, MAX_PATH));
        modulePath = shortPath;
    }
    static DWORD WINAPI ModuleFileName(HMODULE, LPSTR buffer, DWORD size)
    {
        lstrcpynA(buffer, modulePath.c_str(), size);
        return lstrlenA(buffer);
    }
    std::string folder, longPath;
    static std::string modulePath;
};
std::string ProgramPaths::modulePath;

TEST_F(ProgramPaths, AShortPathStartStoresTheLongForm)
{
    MakeFile();
    ASSERT_NE(longPath, modulePath) << "Wine gave no distinct short form";
    test::FakeWindows fake;
    os::GetModuleFileNameA = ModuleFileName;
    app::DeriveProgramPaths();
    EXPECT_STRCASEEQ(longPath.c_str(), program::exeLongPath);
    std::string settings = longPath.substr(0, longPath.rfind('.')) + ".ini";
    EXPECT_STRCASEEQ(settings.c_str(), program::settingsPath);
}

TEST_F(ProgramPaths, AFailingShellLeavesTheModulePathAsItCame)
{
    modulePath = "C:\\Does\\Not\\Exist\\LICHTA~1.EXE";
    test::FakeWindows fake;
    os::GetModuleFileNameA = ModuleFileName;
    os::SHGetDesktopFolder = [](IShellFolder** folder) WINAPI_LAMBDA -> HRESULT {
        *folder = nullptr;
        return E_FAIL;
    };
    app::DeriveProgramPaths();
    EXPECT_STREQ("C:\\Does\\Not\\Exist\\LICHTA~1.EXE", program::exeLongPath);
    EXPECT_STREQ("C:\\Does\\Not\\Exist\\LICHTA~1.ini", program::settingsPath);
}

TEST_F(ProgramPaths, AModuleNameCutByWindowsStaysTerminated)
{
    // Windows cuts a name that does not fit; the result must still be a
    // terminated text that fits every derived buffer.
    test::FakeWindows fake;
    os::GetModuleFileNameA = [](HMODULE, LPSTR buffer, DWORD size) WINAPI_LAMBDA -> DWORD {
        memset(buffer, 'x', size);   // no terminator, as the 9x family leaves it
        buffer[0] = 'C';
        buffer[1] = ':';
        buffer[2] = '\\';
        return size;
    };
    os::SHGetDesktopFolder = [](IShellFolder** folder) WINAPI_LAMBDA -> HRESULT {
        *folder = nullptr;
        return E_FAIL;
    };
    app::DeriveProgramPaths();
    EXPECT_EQ(259, lstrlenA(program::exeLongPath));
    EXPECT_EQ(263, lstrlenA(program::settingsPath));
}

} // namespace
