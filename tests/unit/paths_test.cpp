// The program's paths: the long-name form of the executable and the settings
// file beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "src/app/paths.h"
#include "support/program_state.h"

namespace {

// Nothing is written past the result, which fits its buffer even for the
// longest path without a dot (259 characters, 263 with ".ini").
TEST(SettingsPath, ReplacesEverythingFromTheLastDot)
{
    const std::string longest = "C:\\" + std::string(256, 'x');
    const struct {
        std::string exe;
        std::string settings;
    } cases[] = {
        {"C:\\Tools\\prog.exe", "C:\\Tools\\prog.ini"},
        {"C:\\My.Tools\\prog", "C:\\My.ini"},                  // the cut falls inside the folder name
        {"C:\\Tools\\prog", "C:\\Tools\\prog.ini"},            // no dot at all: appended
        {"C:\\Tools\\Lichtaus+.backup.exe", "C:\\Tools\\Lichtaus+.backup.ini"},
        {longest, longest + ".ini"},
    };
    for (const auto& c : cases) {
        char settings[program::kSettingsPathCapacity + 8];
        memset(settings, 0x5A, sizeof settings);
        app::MakeSettingsPath(c.exe.c_str(), settings);
        EXPECT_EQ(c.settings, settings) << c.exe;
        const std::string rest(settings + c.settings.size() + 1, settings + sizeof settings);
        EXPECT_EQ(std::string(rest.size(), 0x5A), rest) << c.exe;
    }
}

std::string modulePath;

// As on the 9x family, a name that does not fit is cut and left without a
// terminator.
DWORD WINAPI ModuleFileName(HMODULE, LPSTR buffer, DWORD size)
{
    const DWORD length = std::min<DWORD>(modulePath.size() + 1, size);
    memcpy(buffer, modulePath.c_str(), length);
    return length == size ? size : length - 1;
}

TEST(ProgramPaths, AShortPathStartStoresTheLongForm)
{
    // A real file in a folder with a long name, so the shell has something to
    // find; its 8.3 form is what a short-path start hands the program.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "Lichtaus Pfad Test.Ordner";
    const std::string longPath = folder + "\\Lichtaus Programm.exe";
    CreateDirectoryA(folder.c_str(), nullptr);
    CloseHandle(CreateFileA(longPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(longPath.c_str(), shortPath, MAX_PATH);
    modulePath = shortPath;

    test::ResetProgramState();
    test::FakeWindows fake;
    os::GetModuleFileNameA = ModuleFileName;
    app::DeriveProgramPaths();
    DeleteFileA(longPath.c_str());
    RemoveDirectoryA(folder.c_str());

    ASSERT_NE(longPath, modulePath) << "Wine gave no distinct short form";
    EXPECT_STRCASEEQ(longPath.c_str(), program::exeLongPath);
    EXPECT_STRCASEEQ((folder + "\\Lichtaus Programm.ini").c_str(), program::settingsPath);
}

// A name Windows cut must still be a terminated text that fits every buffer
// derived from it.
TEST(ProgramPaths, AFailingShellLeavesTheModulePathAsItCame)
{
    const std::string cut = "C:\\" + std::string(256, 'x');
    const struct {
        std::string module;
        std::string exe;
        std::string settings;
    } cases[] = {
        {"C:\\Does\\Not\\Exist\\LICHTA~1.EXE", "C:\\Does\\Not\\Exist\\LICHTA~1.EXE", "C:\\Does\\Not\\Exist\\LICHTA~1.ini"},
        {cut + "yyyy", cut, cut + ".ini"},
    };
    for (const auto& c : cases) {
        modulePath = c.module;
        test::ResetProgramState();
        test::FakeWindows fake;
        os::GetModuleFileNameA = ModuleFileName;
        os::SHGetDesktopFolder = [](IShellFolder** folder) WINAPI_LAMBDA -> HRESULT {
            *folder = nullptr;
            return E_FAIL;
        };
        app::DeriveProgramPaths();
        EXPECT_EQ(c.exe, program::exeLongPath);
        EXPECT_EQ(c.settings, program::settingsPath);
    }
}

} // namespace
