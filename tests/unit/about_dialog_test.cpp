// The About dialog procedure: the browser lookup through a probe file in the
// temporary directory, closing on deactivation, and the chain that opens the
// e-mail and web links (shell, then browser, then the link shown in a box).
#include <gtest/gtest.h>

#include <fstream>

#include "res/resource_ids.h"
#include "src/ui/dialogs.h"
#include "support/program_state.h"

namespace {

using test::FakeWindows;
using Calls = std::vector<std::string>;

INT_PTR Send(UINT message, WPARAM wParam = 0)
{
    return ui::AboutDialogProc(test::kDialog, message, wParam, 0);
}

// What the probe file looked like when the shell was asked about it.
decltype(os::FindExecutableA) recordedFindExecutable;
std::string probeSeen;

HINSTANCE WINAPI FindExecutableSeeingTheProbe(LPCSTR file, LPCSTR directory, LPSTR result)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(file, GetFileExInfoStandard, &data))
        probeSeen = test::Format("present, %lu bytes", data.nFileSizeLow);
    else
        probeSeen = "absent";
    return recordedFindExecutable(file, directory, result);
}

class AboutDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ResetProgramState();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        directory = test::Format("%sabout-test-%lu\\", temp, GetCurrentProcessId());
        CreateDirectoryA(directory.c_str(), nullptr);
        probe = directory + "Lichtaus+.html";
        fake.tempPath = directory;
        recordedFindExecutable = os::FindExecutableA;
        os::FindExecutableA = FindExecutableSeeingTheProbe;
        probeSeen.clear();
    }
    void TearDown() override
    {
        DeleteFileA(probe.c_str());
        RemoveDirectoryA(directory.c_str());
    }
    FakeWindows fake;
    std::string directory;
    std::string probe;
};

TEST_F(AboutDialog, InitAsksTheShellAboutAFreshEmptyProbeFileAndDeletesIt)
{
    // A deep temporary directory too: its probe path is longer than the 128
    // characters OpenFile takes.
    const std::string deep = directory + std::string(120, 'd') + "\\";
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    const struct {
        std::string directory;
        const char* existing;   // nullptr: no such file before
    } cases[] = {{directory, nullptr}, {directory, "<html>left over from before</html>"},
                 {deep, nullptr}, {deep, "<html>left over from before</html>"}};
    for (const auto& c : cases) {
        const std::string path = c.directory + "Lichtaus+.html";
        if (c.existing)
            std::ofstream(path, std::ios::binary) << c.existing;
        fake.tempPath = c.directory;
        fake.calls.clear();
        probeSeen.clear();
        EXPECT_EQ(TRUE, Send(WM_INITDIALOG));
        EXPECT_EQ(Calls{test::Format("FindExecutableA(%s,NULL)", path.c_str())}, fake.Calls("FindExecutableA"));
        EXPECT_EQ("present, 0 bytes", probeSeen) << path.size() << (c.existing ? " existing" : "");
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()))
            << "the probe file must be gone: " << path.size() << (c.existing ? " existing" : "");
        DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(deep.c_str());
}

// The probe path holds 259 characters and its NUL: 245 for the directory and
// 14 for "Lichtaus+.html". Without room for it, or without a temporary
// directory, nothing is looked up and no browser found before is started.
TEST_F(AboutDialog, WithoutRoomForTheProbeNothingIsLookedUpAndTheBrowserIsForgotten)
{
    for (size_t length : {245u, 246u, 0u}) {
        fake.tempPath = directory;
        Send(WM_INITDIALOG);   // an earlier opening found the browser
        if (length)
            fake.tempPath = "C:\\" + std::string(length - 4, 't') + "\\";
        else
            os::GetTempPathA = [](DWORD, LPSTR) WINAPI_LAMBDA -> DWORD { return 0; };
        fake.calls.clear();
        EXPECT_EQ(TRUE, Send(WM_INITDIALOG));
        const Calls lookup = {test::Format("FindExecutableA(%sLichtaus+.html,NULL)", fake.tempPath.c_str())};
        EXPECT_EQ(length == 245 ? lookup : Calls{}, fake.Calls({"OpenFile", "FindExecutableA"})) << length;
        fake.shellExecuteResults = {{2, ERROR_FILE_NOT_FOUND}, {2, ERROR_FILE_NOT_FOUND}};
        Send(WM_COMMAND, IDC_WEB_PAGE);
        EXPECT_EQ(length == 245 ? 2u : 1u, fake.Calls("ShellExecuteA").size()) << length;
    }
}

// Losing activation closes the dialog through its OK button; only a click on
// OK or Cancel ends it (the whole wParam counts).
TEST_F(AboutDialog, DeactivationAndClicksOnOkOrCancelEndTheDialogNothingElseDoes)
{
    const std::string post = test::Format("PostMessageA(dialog,0x111,1,%d)", 0x10000 + IDOK);
    const struct {
        UINT message;
        WPARAM wParam;
        INT_PTR result;
        Calls calls;
    } cases[] = {
        {WM_ACTIVATE, WA_INACTIVE, TRUE, {post}}, {WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), TRUE, {post}},   // minimised
        {WM_ACTIVATE, WA_CLICKACTIVE, TRUE, {}},  {WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 1), TRUE, {}},
        {WM_COMMAND, IDOK, TRUE, {"EndDialog(dialog,0)"}}, {WM_COMMAND, IDCANCEL, TRUE, {"EndDialog(dialog,0)"}},
        {WM_COMMAND, MAKEWPARAM(IDOK, 1), FALSE, {}}, {WM_COMMAND, MAKEWPARAM(IDC_WEB_PAGE, BN_DOUBLECLICKED), FALSE, {}},
        {WM_COMMAND, 149, FALSE, {}},             {WM_CLOSE, 0, FALSE, {}},
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        EXPECT_EQ(c.result, Send(c.message, c.wParam)) << std::hex << c.message << " " << c.wParam;
        EXPECT_EQ(c.calls, fake.calls) << std::hex << c.message << " " << c.wParam;
    }
}

// The e-mail button opens the address with its subject, the other the web
// page: by the shell first; on "file not found" by the browser; when that is
// not found either, the link is shown in an error box. Any other failure ends it.
TEST_F(AboutDialog, ALinkGoesToTheShellThenTheBrowserThenAnErrorBox)
{
    const char kShell[] = "ShellExecuteA(NULL,NULL,{link},NULL,NULL,1)";
    const char kBrowser[] = "ShellExecuteA(NULL,NULL,C:\\Browser\\browser.exe,{link},NULL,1)";
    const char kBox[] = "MessageBoxA(NULL,{link}|Lichtaus+|0x10010)";
    const struct {
        std::deque<std::pair<INT_PTR, DWORD>> launches;   // result, last error
        INT_PTR browserFound;                              // FindExecutableA's result
        Calls expected;
    } cases[] = {
        {{{42, 0}}, 42, {kShell}},
        {{{33, ERROR_FILE_NOT_FOUND}}, 42, {kShell}},   // above 32 is success, whatever the last error
        {{{2, ERROR_FILE_NOT_FOUND}, {42, 0}}, 42, {kShell, kBrowser}},
        {{{32, ERROR_FILE_NOT_FOUND}, {2, ERROR_FILE_NOT_FOUND}}, 42, {kShell, kBrowser, kBox}},
        {{{SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION}}, 42, {kShell}},
        {{{2, ERROR_FILE_NOT_FOUND}, {5, ERROR_ACCESS_DENIED}}, 42, {kShell, kBrowser}},
        // No browser known: straight to the box.
        {{{2, ERROR_FILE_NOT_FOUND}}, 32, {kShell, kBox}},
    };
    const std::pair<WPARAM, std::string> buttons[] = {{IDC_EMAIL, "mailto:lichtaus@example.org?subject=Lichtaus+ v2.12"},
                                                      {IDC_WEB_PAGE, "http://www.example.org/lichtaus/"}};
    for (const auto& [button, link] : buttons) {
        for (const auto& c : cases) {
            fake.findExecutableResult = c.browserFound;
            Send(WM_INITDIALOG);
            fake.calls.clear();
            fake.shellExecuteResults = c.launches;
            EXPECT_EQ(TRUE, Send(WM_COMMAND, button));
            Calls expected;
            for (std::string call : c.expected)
                expected.push_back(call.replace(call.find("{link}"), 6, link));
            EXPECT_EQ(expected, fake.Calls({"ShellExecuteA", "MessageBoxA"}))
                << "button " << button << ", first launch " << c.launches.front().first << "/"
                << c.launches.front().second << ", browser " << c.browserFound;
        }
    }
}

} // namespace
