// At 150 % display scaling (this test's prefix runs at 144 DPI): the
// notification area shows each default action's picture drawn for 24 pixels,
// and every control of the Options and About dialogs holds its whole text.
#include "e2e/driver.h"
#include "res/resource_ids.h"
#include "tests/art_source.h"
#include "tests/check.h"

using namespace e2e;

namespace {

// Whether the picture's opaque pixels are on the screen somewhere in `place`
// (Wine paints the transparent ones its own way).
bool Shows(const RECT& place, const std::string& source)
{
    int width = 0, height = 0, w = place.right - place.left, h = place.bottom - place.top;
    std::vector<DWORD> picture = art::Pixels(source, &width, &height);
    BITMAPINFO info = {{sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB}};
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    DWORD* shown = nullptr;
    HBITMAP copy = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&shown), nullptr, 0);
    SelectObject(dc, copy);
    BitBlt(dc, 0, 0, w, h, screen, place.left, place.top, SRCCOPY);
    GdiFlush();
    bool found = false;
    for (int dy = 0; dy + height <= h; ++dy)
        for (int dx = 0; dx + width <= w && !found; ++dx) {
            found = width > 0;
            for (int i = 0; found && i < width * height; ++i)
                found = picture[i] == art::kTransparent || picture[i] == (shown[(dy + i / width) * w + dx + i % width] & 0xFFFFFF);
        }
    DeleteDC(dc);
    DeleteObject(copy);
    ReleaseDC(nullptr, screen);
    return found;
}

// The texts of the dialog's controls that do not fit them, measured in the
// dialog's font at this scaling; a check box or radio button gives its box
// and gap, a push button its edges.
std::string Clipped(HWND dialog)
{
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontA(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                             0, 0, 0, 0, "MS Sans Serif");
    HGDIOBJ old = SelectObject(dc, font);
    std::string clipped;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(control, GWL_STYLE);
        char kind[16] = {};
        GetClassNameA(control, kind, sizeof kind);
        bool button = lstrcmpiA(kind, "Button") == 0, box = button && (style & 0xF) != BS_PUSHBUTTON && (style & 0xF) != BS_GROUPBOX;
        RECT room;
        GetClientRect(control, &room);
        room.right -= box ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : button ? 2 * GetSystemMetrics(SM_CXEDGE) : 0;
        RECT needed = {0, 0, room.right, 0};
        std::string text = Text(control);
        DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | (text.find('\n') == std::string::npos ? DT_SINGLELINE : DT_WORDBREAK));
        if ((style & SS_TYPEMASK) != SS_BITMAP && !text.empty() && (needed.right > room.right || needed.bottom > room.bottom))
            clipped += text + ";";
    }
    DeleteObject(SelectObject(dc, old));
    ReleaseDC(nullptr, dc);
    return clipped;
}

} // namespace

int main()
{
    if (test::RefuseOutsideWine())
        return 1;
    const char* labels[] = {"Windows beenden...", "Windows herunterfahren", "Windows neu starten", "MS-DOS-Modus starten",
                            "Benutzer abmelden"};
    for (int i = 0; i < 5; ++i) {
        Folder folder("scaled", "[Lichtaus+ Optionen]\r\nMenüpunkt=" + std::string(labels[i]) + "\r\nQuickInfo=Nein\r\n");
        Program tray(folder.exe, "");
        HWND window = WaitFor(tray.Id(), "Lichtaus+WndClass", nullptr, false);
        const std::string source = "icon" + std::to_string(IDI_SHUTDOWN_DIALOG + i) + "-24.txt";
        CHECK(WaitUntil([&] {
            for (Icon icon : TrayIcons())
                if (icon.tip == labels[i] && MapWindowPoints(FindWindowA("Shell_TrayWnd", nullptr), nullptr,
                                                             reinterpret_cast<POINT*>(&icon.rect), 2) >= 0)
                    return Shows(icon.rect, source);
            return false;
        }), std::string(labels[i]) + ": the tray shows " + source);
        for (auto [command, caption] : {std::pair(IDM_OPTIONS, "Lichtaus+ Optionen"), {IDM_ABOUT, "Info über Lichtaus+"}}) {
            if (i > 0)
                break;   // the dialogs are the same whatever the default action
            PostMessageA(window, WM_COMMAND, command, 0);
            HWND dialog = WaitFor(tray.Id(), "#32770", caption);
            CHECK_EQ("", Clipped(dialog), std::string(caption) + ": texts that do not fit");
            Press(dialog, IDCANCEL);
            WaitUntil([&] { return !IsWindow(dialog); });
        }
        PostMessageA(window, WM_COMMAND, IDM_CLOSE, 0);
        CHECK_EQ(0ul, tray.WaitForExit(), std::string(labels[i]) + ": exit code");
    }
    return test::Finish("scaled");
}
