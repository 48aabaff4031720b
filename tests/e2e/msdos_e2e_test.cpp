// "/d" on both families when the settings file names no MS-DOS mode file and
// the default file is missing: the message, the key written back, and the
// settings file handed to the shell (Wine opens it in Notepad).
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e/driver.h"
#include "support/registry_sandbox.h"

namespace {

constexpr DWORD kWait = 15000;

std::string NotFound(const char* file, const std::string& settings)
{
    char text[2048];
    snprintf(text, sizeof text,
             "Die Datei '%s' konnte nicht gefunden werden.\n\nLichtaus+ \xf6""ffnet jetzt folgende Datei:\n'%s'.\n\n"
             "Bitte tragen Sie statt '%s' den Dateinamen der\nDatei ein, die bei Ihrem System den MS-DOS-Modus "
             "startet.",
             file, settings.c_str(), file);
    return text;
}

// The Notepad window that shows `fileName`, waiting for it to come up.
HWND WaitForNotepad(const std::string& fileName)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWait; Sleep(20)) {
        for (HWND window = FindWindowA("Notepad", nullptr); window;
             window = FindWindowExA(nullptr, window, "Notepad", nullptr)) {
            if (e2e::WindowText(window).find(fileName) != std::string::npos)
                return window;
        }
    }
    return nullptr;
}

TEST(MsDosModeE2E, AMissingDefaultFileIsReportedWrittenIntoTheSettingsAndOpened)
{
    const struct {
        const char* exeName;
        bool win98;
        const char* defaultFile;
    } cases[] = {
        {"LichtausNT.exe", false, "Eingabeaufforderung.lnk"},
        {"Lichtaus98.exe", true, "MS-DOS-Modus.pif"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exeName);
        std::string appDefaults = std::string("Software\\Wine\\AppDefaults\\") + c.exeName;
        if (c.win98)
            test::WriteText(HKEY_CURRENT_USER, appDefaults.c_str(), "Version", "win98");
        e2e::TempFolder folder("msdos");
        std::string exe = e2e::CopyProgram(folder, c.exeName);
        std::string settings = exe.substr(0, exe.rfind('.')) + ".ini";
        std::string iniName = settings.substr(settings.rfind('\\') + 1);

        e2e::Program program;
        ASSERT_TRUE(program.Start(exe, "/d"));
        HWND box = e2e::WaitForWindow(program.Id(), "#32770", true, kWait);
        ASSERT_NE(nullptr, box);
        EXPECT_EQ("Lichtaus+", e2e::WindowText(box));
        EXPECT_EQ(NotFound(c.defaultFile, settings), e2e::MessageText(box));
        EXPECT_TRUE(e2e::HasButton(box, IDOK));
        EXPECT_FALSE(e2e::HasButton(box, IDCANCEL));
        EXPECT_EQ("<absent>", e2e::ReadFile(settings)) << "the key is written after the message";
        e2e::Press(box, IDOK);
        EXPECT_EQ(0u, program.WaitForExit(kWait));

        EXPECT_EQ(std::string("[Lichtaus+ Optionen]\r\nMS-DOS-Modus=") + c.defaultFile + "\r\n", e2e::ReadFile(settings));
        HWND notepad = WaitForNotepad(iniName);
        EXPECT_NE(nullptr, notepad) << "the settings file was not opened";
        if (notepad) {
            DWORD notepadProcess = 0;
            GetWindowThreadProcessId(notepad, &notepadProcess);
            PostMessageA(notepad, WM_CLOSE, 0, 0);
            HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, notepadProcess);
            WaitForSingleObject(process, kWait);
            CloseHandle(process);
        }
        RegDeleteKeyA(HKEY_CURRENT_USER, appDefaults.c_str());
    }
}

} // namespace
