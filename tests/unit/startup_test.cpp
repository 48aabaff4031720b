// Process start in its order: the hidden window, paths and family, then the
// tray program (single instance, messages, settings, icon, first start) or
// one command-line action; and the message loop.
#include <gtest/gtest.h>

#include "src/app/startup.h"
#include "support/program_state.h"
#include "support/registry_sandbox.h"
#include "support/temp_file.h"

namespace {

using test::FakeWindows;
using Calls = std::vector<std::string>;

FakeWindows& Fake()
{
    return *FakeWindows::current;
}

// Scripted answers for the start-up calls that FakeWindows leaves real.
struct Start {
    BOOL classRegistered = TRUE;
    HWND window = test::kTrayWindow;
    HANDLE mapping = reinterpret_cast<HANDLE>(0x6E01);
    DWORD mappingError = 0;
    std::string modulePath;
};
Start start;

class StartUp : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ResetProgramState();
        start = Start{};
        start.modulePath = std::string(exe.Path());
        os::InitCommonControls = []() WINAPI_LAMBDA { Fake().Record("InitCommonControls()"); };
        os::RegisterClassA = [](const WNDCLASSA* c) WINAPI_LAMBDA -> ATOM {
            Fake().Record(test::Format("RegisterClassA(%s,style=%u,extra=%d/%d,icon=%p,brush=%d,menu=%p,cursor=%s)",
                                       c->lpszClassName, c->style, c->cbClsExtra, c->cbWndExtra, c->hIcon,
                                       static_cast<int>(reinterpret_cast<INT_PTR>(c->hbrBackground)), c->lpszMenuName,
                                       c->hCursor ? "arrow" : "none"));
            return static_cast<ATOM>(start.classRegistered);
        };
        os::CreateWindowExA = [](DWORD ex, LPCSTR cls, LPCSTR name, DWORD style, int x, int y, int w, int h, HWND parent,
                                 HMENU menu, HINSTANCE, LPVOID parameter) WINAPI_LAMBDA -> HWND {
            Fake().Record(test::Format("CreateWindowExA(0x%lx,%s,%s,0x%lx,%d,%d,%d,%d,%p,%p,%p)", ex, cls, name, style,
                                       x, y, w, h, parent, menu, parameter));
            return start.window;
        };
        os::GetModuleFileNameA = [](HMODULE, LPSTR buffer, DWORD size) WINAPI_LAMBDA -> DWORD {
            lstrcpynA(buffer, start.modulePath.c_str(), size);
            return lstrlenA(buffer);
        };
        os::CreateFileMappingA = [](HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect, DWORD high, DWORD low,
                                    LPCSTR name) WINAPI_LAMBDA -> HANDLE {
            Fake().Record(test::Format("CreateFileMappingA(%s,0x%lx,%lu,%lu,%s)",
                                       file == INVALID_HANDLE_VALUE ? "paging file" : "file", protect, high, low, name));
            SetLastError(start.mappingError);
            return start.mapping;
        };
        os::RegisterWindowMessageA = [](LPCSTR name) WINAPI_LAMBDA -> UINT {
            Fake().Record(test::Format("RegisterWindowMessageA(%s)", name));
            return 0xC000 + static_cast<UINT>(Fake().Calls("RegisterWindowMessageA").size());
        };
    }
    test::TempFile exe{"Lichtaus startup test.exe"};
    test::TempFile settings{"Lichtaus startup test.ini"};
    test::RegistrySandbox registry;
    FakeWindows fake;

    Calls StartCalls() const
    {
        return fake.Calls({"InitCommonControls", "RegisterClassA", "CreateWindowExA", "CreateFileMappingA",
                           "RegisterWindowMessageA", "Shell_NotifyIconA", "MessageBoxA", "DialogBoxParamA",
                           "GetPrivateProfileStringA", "OpenFile"});
    }
};

const char kRegisterClass[] = "RegisterClassA(Lichtaus+WndClass,style=0,extra=0/0,icon=00000000,brush=6,menu=00000000,cursor=arrow)";
const char kCreateWindow[] = "CreateWindowExA(0x80,Lichtaus+WndClass,Lichtaus+,0x80000000,-100,-100,0,0,00000000,00000000,00000000)";
const char kMapping[] = "CreateFileMappingA(paging file,0x2,0,32,Lichtaus+)";

TEST_F(StartUp, FirstStartAddsTheIconThenGreetsThenOpensTheOptions)
{
    EXPECT_EQ(1, app::StartUp(GetModuleHandleA(nullptr), ""));
    // Each call begins as listed; the six settings are read before the icon
    // shows one of them.
    const char kRead[] = "GetPrivateProfileStringA(Lichtaus+ Optionen,";
    const Calls expected = {"InitCommonControls()", kRegisterClass, kCreateWindow, kMapping,
                            "RegisterWindowMessageA(Lichtaus+AddTrayIcon)",
                            "RegisterWindowMessageA(Lichtaus+CloseLichtaus)", "RegisterWindowMessageA(TaskbarCreated)",
                            kRead, kRead, kRead, kRead, kRead, kRead,
                            "Shell_NotifyIconA(NIM_DELETE", "Shell_NotifyIconA(NIM_ADD", "Shell_NotifyIconA(NIM_MODIFY",
                            test::Format("OpenFile(%s,0x4000)", settings.Path()),
                            "MessageBoxA(NULL,Lichtaus+ Installation\n\nLichtaus+ hat keine Konfigurationsdatei",
                            "DialogBoxParamA(LAOptions,tray,0)"};
    const Calls calls = StartCalls();
    ASSERT_EQ(expected.size(), calls.size()) << testing::PrintToString(calls);
    for (size_t i = 0; i < calls.size(); ++i)
        EXPECT_EQ(0u, calls[i].find(expected[i])) << calls[i];
    EXPECT_NE(std::string::npos, calls[17].find("Viel Spa\xdf mit Lichtaus+.|Lichtaus+|0x10040)"));
    EXPECT_EQ(0xC001u, program::addTrayIconMessage);
    EXPECT_EQ(0xC002u, program::closeProgramMessage);
    EXPECT_EQ(0xC003u, program::taskbarCreatedMessage);
}

TEST_F(StartUp, WithASettingsFileThereIsNoGreeting)
{
    settings.Write("[Lichtaus+ Optionen]\r\nMen\xfcpunkt=Benutzer abmelden\r\n");
    EXPECT_EQ(1, app::StartUp(GetModuleHandleA(nullptr), ""));
    EXPECT_TRUE(fake.Calls({"MessageBoxA", "DialogBoxParamA"}).empty());
    EXPECT_STREQ("Benutzer abmelden", config::settings.menuepunkt);
}

TEST_F(StartUp, ASecondInstanceShowsTheAboutDialogAndLeaves)
{
    start.mappingError = ERROR_ALREADY_EXISTS;
    EXPECT_EQ(0, app::StartUp(GetModuleHandleA(nullptr), ""));
    EXPECT_EQ((Calls{"InitCommonControls()", kRegisterClass, kCreateWindow, kMapping, "DialogBoxParamA(LAAbout,tray,0)"}),
              StartCalls());
    EXPECT_EQ(0u, program::addTrayIconMessage);
}

TEST_F(StartUp, AMappingThatCannotBeMadeLetsTheStartGoOnAsTheOnlyInstance)
{
    start.mapping = nullptr;
    start.mappingError = ERROR_ALREADY_EXISTS;
    EXPECT_EQ(1, app::StartUp(GetModuleHandleA(nullptr), ""));
    EXPECT_EQ(Calls{"DialogBoxParamA(LAOptions,tray,0)"}, fake.Calls("DialogBoxParamA"));
}

TEST_F(StartUp, AFailedClassOrWindowEndsTheStartSilently)
{
    start.classRegistered = FALSE;
    EXPECT_EQ(0, app::StartUp(GetModuleHandleA(nullptr), ""));
    EXPECT_EQ((Calls{"InitCommonControls()", kRegisterClass}), StartCalls());

    fake.calls.clear();
    start = Start{};
    start.window = nullptr;
    EXPECT_EQ(0, app::StartUp(GetModuleHandleA(nullptr), "/s"));
    EXPECT_EQ((Calls{"InitCommonControls()", kRegisterClass, kCreateWindow}), StartCalls());
    EXPECT_TRUE(fake.Calls({"ExitWindowsEx", "InitiateSystemShutdownA"}).empty());
}

TEST_F(StartUp, CommandLineModeLoadsNoSettingsAndRegistersNothing)
{
    settings.Write("[Lichtaus+ Optionen]\r\nBest\xe4tigung=Ja\r\n");
    EXPECT_EQ(0, app::StartUp(GetModuleHandleA(nullptr), "/r"));
    // The file's "Bestätigung" is not read: the action does not ask.
    EXPECT_EQ((Calls{"InitCommonControls()", kRegisterClass, kCreateWindow}), StartCalls());
    EXPECT_EQ(Calls{"ExitWindowsEx(2,0)"}, fake.Calls("ExitWindowsEx"));
    EXPECT_STREQ(exe.Path(), program::exeLongPath);
    EXPECT_STREQ(settings.Path(), program::settingsPath);
}

TEST(MessageLoop, DispatchesUntilQuitAndWaitsWhenTheQueueIsEmpty)
{
    FakeWindows fake;
    static int step;
    step = 0;
    os::PeekMessageA = [](LPMSG message, HWND, UINT, UINT, UINT remove) WINAPI_LAMBDA -> BOOL {
        Fake().Record(test::Format("PeekMessageA(%u)", remove));
        static const UINT script[] = {WM_TIMER, 0, WM_COMMAND, WM_QUIT, WM_PAINT};
        UINT next = script[step++];
        if (!next)
            return FALSE;
        message->message = next;
        return TRUE;
    };
    os::TranslateMessage = [](const MSG* m) WINAPI_LAMBDA -> BOOL {
        Fake().Record(test::Format("TranslateMessage(0x%x)", m->message));
        return FALSE;
    };
    os::DispatchMessageA = [](const MSG* m) WINAPI_LAMBDA -> LRESULT {
        Fake().Record(test::Format("DispatchMessageA(0x%x)", m->message));
        return 0;
    };
    os::WaitMessage = []() WINAPI_LAMBDA -> BOOL {
        Fake().Record("WaitMessage()");
        return TRUE;
    };
    app::RunMessageLoop();
    EXPECT_EQ((Calls{"PeekMessageA(1)", "TranslateMessage(0x113)", "DispatchMessageA(0x113)", "PeekMessageA(1)",
                     "WaitMessage()", "PeekMessageA(1)", "TranslateMessage(0x111)", "DispatchMessageA(0x111)",
                     "PeekMessageA(1)"}),
              fake.calls);
}

} // namespace
