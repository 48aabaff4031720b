// The real Lichtaus+.exe started beside a settings file of binary junk and
// beside one in UTF-16: it must come up quietly in the tray, use what it can
// read, leave the file alone and end with exit code 0 when its window closes.
#include <gtest/gtest.h>

#include "e2e/driver.h"

namespace {

constexpr DWORD kWait = 15000;
// Long enough for a message box that is coming to be up: the program shows
// its first-start message within milliseconds of creating its window.
constexpr DWORD kQuiet = 1000;

std::string Junk(size_t size)
{
    std::string bytes;
    for (unsigned seed = 7; bytes.size() < size; seed = seed * 1103515245 + 12345)
        bytes += static_cast<char>(seed >> 16);   // NULs included
    return bytes;
}

// Code page 1252 text as UTF-16 LE with its BOM.
std::string Utf16(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), &wide[0], static_cast<int>(wide.size()));
    return "\xff\xfe" + std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
}

bool StaysQuiet(DWORD processId)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < kQuiet; Sleep(20)) {
        if (e2e::FindVisibleWindow(processId))
            return false;
    }
    return true;
}

TEST(RobustnessE2E, AJunkOrUtf16SettingsFileStartsQuietlyAndEndsWithZero)
{
    const struct {
        const char* name;
        std::string contents;
        // A single click runs the default action, which asks first: the
        // question shows the label read from the file. nullptr: not clicked.
        const char* question;
    } cases[] = {
        {"junk", Junk(8192), nullptr},
        // MS-DOS mode, so that a value not read could not reach anything
        // worse than a message: the question proves all three were read.
        {"UTF-16", Utf16("[Lichtaus+ Optionen]\r\nMenüpunkt=MS-DOS-Modus starten\r\n"
                         "Ausführen=Einfacher Klick\r\nBestätigung=Ja\r\n"),
         "MS-DOS-Modus starten"},
    };
    for (const auto& c : cases) {
        e2e::TempFolder folder{"robust"};
        const std::string exe = e2e::CopyProgram(folder);
        const std::string settings = folder.File("Lichtaus+.ini");
        e2e::WriteFile(settings, c.contents);

        e2e::Program program;
        ASSERT_TRUE(program.Start(exe, "")) << c.name;
        HWND tray = e2e::WaitForWindow(program.Id(), "Lichtaus+WndClass", false, kWait);
        ASSERT_NE(nullptr, tray) << c.name;
        // The file exists, so this is no first start: no message, no dialog.
        EXPECT_TRUE(StaysQuiet(program.Id())) << c.name << ": " << e2e::WindowText(e2e::FindVisibleWindow(program.Id()));

        if (c.question) {
            PostMessageA(tray, WM_USER, 0, WM_LBUTTONDOWN);
            HWND box = e2e::WaitForWindow(program.Id(), "#32770", true, kWait);
            ASSERT_NE(nullptr, box) << c.name;
            EXPECT_EQ(c.question, e2e::MessageText(box)) << c.name;
            e2e::Press(box, IDCANCEL);
        }

        PostMessageA(tray, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, program.WaitForExit(kWait)) << c.name;
        EXPECT_EQ(c.contents, e2e::ReadFile(settings)) << c.name << ": loading must not change the file";
    }
}

} // namespace
