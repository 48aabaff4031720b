// The Windows-only restart: the restart program written from the resource,
// the RunOnce entry, the launch and its one error box.
#include <gtest/gtest.h>

#include "src/actions/exit_actions.h"
#include "support/program_state.h"
#include "support/registry_sandbox.h"
#include "support/temp_file.h"

namespace {

using test::FakeWindows;
using Calls = std::vector<std::string>;

class RestartWindowsOnly : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ResetProgramState("C:\\Program Files\\Lichtaus+\\Lichtaus+.exe", false);
        program::instance = LoadLibraryExA(LICHTAUS_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, program::instance);
        char directory[MAX_PATH];
        GetTempPathA(MAX_PATH, directory);
        fake.tempPath = directory;
    }
    void TearDown() override { FreeLibrary(program::instance); }
    test::TempFile restart{"Lichtaus+Restart.exe"};
    test::RegistrySandbox registry;
    FakeWindows fake;
};

TEST_F(RestartWindowsOnly, WritesTheImageLeavesRunOnceThenLaunches)
{
    restart.Write(std::string(10000, 'x'));   // a longer file of the same name
    actions::RestartWindowsOnly();

    std::string image = test::ReadFileBytes(RESTART_IMAGE_PATH);
    ASSERT_EQ(3104u, image.size());
    EXPECT_TRUE(restart.Read() == image) << "the file must be the image byte for byte";
    EXPECT_EQ(std::string("\"C:\\Program Files\\Lichtaus+\\Lichtaus+.exe\" ") + restart.Path(),
              test::ReadText(HKEY_LOCAL_MACHINE, test::kRunOnceKey, "Lichtaus+"));
    EXPECT_EQ((Calls{test::Format("OpenFile(%s,0x1001)", restart.Path()),
                     "RegCreateKeyExA(HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce,0,NULL,0,0x2001f,NULL,disp)",
                     test::Format("RegSetValueExA(Lichtaus+,1,\"C:\\Program Files\\Lichtaus+\\Lichtaus+.exe\" %s,%u)",
                                  restart.Path(), lstrlenA(program::exeLongPath) + 2 + 1 + lstrlenA(restart.Path()) + 1),
                     "RegCloseKey()",
                     test::Format("ShellExecuteA(NULL,NULL,%s,NULL,NULL,1)", restart.Path())}),
              fake.Calls({"OpenFile", "RegCreateKeyExA", "RegSetValueExA", "RegCloseKey", "ShellExecuteA", "MessageBoxA"}));
}

TEST_F(RestartWindowsOnly, ATemporaryDirectoryDeepInTheFolderTreeWorksToo)
{
    test::LongFolder temp(200);
    fake.tempPath = temp.Path();
    actions::RestartWindowsOnly();
    std::string path = temp.Path() + "Lichtaus+Restart.exe";
    EXPECT_TRUE(test::ReadFileBytes(path.c_str()) == test::ReadFileBytes(RESTART_IMAGE_PATH));
    EXPECT_TRUE(fake.Calls("MessageBoxA").empty());
}

TEST_F(RestartWindowsOnly, OnlyAMissingFileOnLaunchIsReportedAndRunOnceStays)
{
    const struct {
        DWORD error;
        bool reported;
    } cases[] = {{ERROR_FILE_NOT_FOUND, true}, {ERROR_PATH_NOT_FOUND, false}};
    for (const auto& c : cases) {
        fake.calls.clear();
        test::RegistrySandbox::Clear();
        fake.shellExecuteResults = {{2, c.error}};
        actions::RestartWindowsOnly();
        Calls expected;
        if (c.reported)
            expected.push_back("MessageBoxA(NULL,Windows neu starten|Lichtaus+|0x10010)");
        EXPECT_EQ(expected, fake.Calls("MessageBoxA")) << c.error;
        EXPECT_NE("<absent>", test::ReadText(HKEY_LOCAL_MACHINE, test::kRunOnceKey, "Lichtaus+")) << c.error;
    }
}

TEST_F(RestartWindowsOnly, WithoutRoomForTheProgramNothingIsWrittenAndTheUserIsTold)
{
    fake.tempPath = "C:\\" + std::string(270, 't') + "\\";
    actions::RestartWindowsOnly();
    EXPECT_EQ((Calls{"MessageBoxA(NULL,Windows neu starten|Lichtaus+|0x10010)"}),
              fake.Calls({"MessageBoxA", "OpenFile", "RegCreateKeyExA", "ShellExecuteA"}));
    EXPECT_EQ("<absent>", test::ReadText(HKEY_LOCAL_MACHINE, test::kRunOnceKey, "Lichtaus+"));
}

TEST_F(RestartWindowsOnly, TheLongestTemporaryDirectoryStillFits)
{
    // 259 characters from GetTempPathA, plus the 20-character name.
    fake.tempPath = "C:\\" + std::string(255, 't') + "\\";
    ASSERT_EQ(259u, fake.tempPath.size());
    actions::RestartWindowsOnly();
    std::string path = fake.tempPath + "Lichtaus+Restart.exe";
    EXPECT_EQ(path, program::restartProgramPath);
    EXPECT_EQ((Calls{test::Format("ShellExecuteA(NULL,NULL,%s,NULL,NULL,1)", path.c_str())}), fake.Calls("ShellExecuteA"));
}

TEST_F(RestartWindowsOnly, WithoutTheImageNothingIsWrittenAndTheUserIsTold)
{
    FreeLibrary(program::instance);
    program::instance = GetModuleHandleA(nullptr);   // the test program carries no restart image
    actions::RestartWindowsOnly();
    EXPECT_EQ((Calls{"MessageBoxA(NULL,Windows neu starten|Lichtaus+|0x10010)"}),
              fake.Calls({"MessageBoxA", "OpenFile", "RegCreateKeyExA", "ShellExecuteA"}));
    program::instance = LoadLibraryExA(LICHTAUS_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

} // namespace
