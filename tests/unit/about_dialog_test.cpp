// The About dialog procedure: the browser lookup through a probe file in the
// temporary directory, closing on deactivation, and the chain that opens the
// e-mail and web links (shell, then browser, then the link shown in a box).
#include <gtest/gtest.h>

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

    // The link a button opens: the file of its first launch.
    std::string LinkOf(WPARAM button)
    {
        fake.calls.clear();
        Send(WM_COMMAND, button);
        Calls launches = fake.Calls("ShellExecuteA");
        if (launches.empty())
            return "";
        const std::string head = "ShellExecuteA(NULL,NULL,", tail = ",NULL,NULL,1)";
        const std::string& call = launches[0];
        EXPECT_EQ(0u, call.find(head));
        EXPECT_EQ(call.size() - tail.size(), call.rfind(tail));
        return call.substr(head.size(), call.size() - head.size() - tail.size());
    }
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
        if (c.existing) {
            FILE* file = fopen(path.c_str(), "wb");
            ASSERT_NE(nullptr, file);
            fputs(c.existing, file);
            fclose(file);
        }
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

TEST_F(AboutDialog, ATempDirectoryWithoutRoomForTheProbeNameIsSkipped)
{
    // The probe path holds 259 characters and its NUL: 245 for the directory
    // and 14 for "Lichtaus+.html".
    const struct {
        size_t length;
        bool looksUp;
    } cases[] = {{245, true}, {246, false}, {259, false}};
    for (const auto& c : cases) {
        fake.tempPath = "C:\\" + std::string(c.length - 4, 't') + "\\";
        ASSERT_EQ(c.length, fake.tempPath.size());
        fake.calls.clear();
        EXPECT_EQ(TRUE, Send(WM_INITDIALOG));
        Calls lookup = fake.Calls("FindExecutableA");
        if (c.looksUp) {
            ASSERT_EQ(1u, lookup.size());
            EXPECT_EQ(test::Format("FindExecutableA(%sLichtaus+.html,NULL)", fake.tempPath.c_str()), lookup[0]);
        } else {
            EXPECT_TRUE(lookup.empty()) << c.length;
            EXPECT_TRUE(fake.Calls("OpenFile").empty()) << c.length;
        }
    }
}

TEST_F(AboutDialog, WithoutATempDirectoryNothingIsLookedUpAndTheFallbackIsSkipped)
{
    Send(WM_INITDIALOG);   // a browser from an earlier opening
    os::GetTempPathA = [](DWORD, LPSTR) WINAPI_LAMBDA -> DWORD { return 0; };
    fake.calls.clear();
    EXPECT_EQ(TRUE, Send(WM_INITDIALOG));
    EXPECT_TRUE(fake.Calls({"OpenFile", "FindExecutableA"}).empty());

    fake.shellExecuteResults = {{2, ERROR_FILE_NOT_FOUND}};
    Send(WM_COMMAND, IDC_WEB_PAGE);
    EXPECT_EQ(1u, fake.Calls("ShellExecuteA").size()) << "no stale browser may be started";
    EXPECT_EQ(1u, fake.Calls("MessageBoxA").size());
}

TEST_F(AboutDialog, LosingActivationPostsOkWithTheButtonOtherStatesPostNothing)
{
    const struct {
        WPARAM wParam;
        Calls posted;
    } cases[] = {
        {WA_INACTIVE, {test::Format("PostMessageA(dialog,0x111,1,%d)", 0x10000 + IDOK)}},
        {MAKEWPARAM(WA_INACTIVE, 1), {test::Format("PostMessageA(dialog,0x111,1,%d)", 0x10000 + IDOK)}},   // minimised
        {WA_ACTIVE, {}},
        {WA_CLICKACTIVE, {}},
        {MAKEWPARAM(WA_ACTIVE, 1), {}},
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        EXPECT_EQ(TRUE, Send(WM_ACTIVATE, c.wParam)) << std::hex << c.wParam;
        EXPECT_EQ(c.posted, fake.calls) << std::hex << c.wParam;
    }
}

TEST_F(AboutDialog, OkAndCancelEndTheDialogOtherCommandsAndMessagesDoNothing)
{
    const struct {
        UINT message;
        WPARAM wParam;
        INT_PTR result;
        Calls calls;
    } cases[] = {
        {WM_COMMAND, IDOK, TRUE, {"EndDialog(dialog,0)"}},
        {WM_COMMAND, IDCANCEL, TRUE, {"EndDialog(dialog,0)"}},
        // The whole wParam counts: a notification other than a click is none.
        {WM_COMMAND, MAKEWPARAM(IDOK, 1), FALSE, {}},
        {WM_COMMAND, MAKEWPARAM(IDC_EMAIL, 1), FALSE, {}},
        {WM_COMMAND, MAKEWPARAM(IDC_WEB_PAGE, BN_DOUBLECLICKED), FALSE, {}},
        {WM_COMMAND, 149, FALSE, {}},
        {WM_COMMAND, 152, FALSE, {}},
        {WM_CLOSE, 0, FALSE, {}},
        {WM_DESTROY, 0, FALSE, {}},
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        EXPECT_EQ(c.result, Send(c.message, c.wParam)) << std::hex << c.message << " " << c.wParam;
        EXPECT_EQ(c.calls, fake.calls) << std::hex << c.message << " " << c.wParam;
    }
}

TEST_F(AboutDialog, TheButtonsOpenTheMailAddressWithItsSubjectAndTheWebPage)
{
    Send(WM_INITDIALOG);
    const std::string mail = LinkOf(IDC_EMAIL);
    const std::string web = LinkOf(IDC_WEB_PAGE);
    const std::string subject = "?subject=Lichtaus+ v2.12";
    EXPECT_EQ(0u, mail.find("mailto:")) << mail;
    EXPECT_NE(std::string::npos, mail.find('@')) << mail;
    ASSERT_GT(mail.size(), subject.size());
    EXPECT_EQ(subject, mail.substr(mail.size() - subject.size()));
    EXPECT_TRUE(web.find("http://") == 0 || web.find("https://") == 0) << web;
}

// The shell first; on "file not found" the browser with the link; when that
// is not found either, the link in an error box. Any other failure ends it.
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
        {{{5, ERROR_ACCESS_DENIED}}, 42, {kShell}},
        {{{2, ERROR_FILE_NOT_FOUND}, {5, ERROR_ACCESS_DENIED}}, 42, {kShell, kBrowser}},
        // No browser known: straight to the box.
        {{{2, ERROR_FILE_NOT_FOUND}}, SE_ERR_NOASSOC, {kShell, kBox}},
        {{{2, ERROR_FILE_NOT_FOUND}}, 32, {kShell, kBox}},
        {{{5, ERROR_ACCESS_DENIED}}, 2, {kShell}},
    };
    for (WPARAM button : {IDC_EMAIL, IDC_WEB_PAGE}) {
        Send(WM_INITDIALOG);
        const std::string link = LinkOf(button);
        ASSERT_FALSE(link.empty());
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
