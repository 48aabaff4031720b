// The icons and the About picture in the executable as Windows draws them,
// pixel for pixel against their text sources in res/art (nothing outside
// shows them in full; the restart program is compared where it is written).
#include <fstream>
#include <sstream>
#include <vector>

#include "res/resource_ids.h"
#include "tests/check.h"

namespace {

// The standard 16-colour palette, as 0x00RRGGBB.
constexpr DWORD kPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr DWORD kBackground = 0x010203;   // behind an icon: in no picture

// A source's pixels as colours, top row first.
std::vector<DWORD> Expected(const std::string& file, int* width, int* height)
{
    std::ifstream source(std::string(ART_DIR) + "/" + file);
    DWORD colours[256] = {};
    colours[0] = kBackground;
    std::vector<DWORD> pixels;
    for (std::string line, word; std::getline(source, line);) {
        std::istringstream fields(line);
        fields >> word;
        if (word == "size")
            fields >> *width >> *height;
        else if (word == "transparent" && fields >> word)
            colours[static_cast<unsigned char>(word[0])] = kBackground;
        else if (word == "colour") {
            unsigned index = 0;
            char c = 0;
            fields >> c >> index;
            colours[static_cast<unsigned char>(c)] = kPalette[index & 15];
        } else if (word == "pixels") {
            for (int row = 0; row < *height && std::getline(source, line); ++row)
                for (char c : line.substr(0, *width))
                    pixels.push_back(colours[static_cast<unsigned char>(c)]);
        }
    }
    return pixels;
}

// An image as Windows draws it: icons over the background colour.
std::vector<DWORD> Drawn(HMODULE module, int id, int width, int height)
{
    BITMAPINFO info = {{sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB}};
    std::vector<DWORD> pixels(width * height, kBackground);
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, target);
    memcpy(bits, pixels.data(), pixels.size() * 4);
    bool bitmap = id == IDB_ABOUT;
    HANDLE image = LoadImageA(module, MAKEINTRESOURCEA(id), bitmap ? IMAGE_BITMAP : IMAGE_ICON, width, height, 0);
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(image), 0, 0, 0, width, height, bitmap ? DST_BITMAP : DST_ICON);
    GdiFlush();
    memcpy(pixels.data(), bits, pixels.size() * 4);
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

} // namespace

int main()
{
    HMODULE exe = LoadLibraryExA(LICHTAUS_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    for (int id : {IDI_SHUTDOWN_DIALOG, IDI_SHUT_DOWN, IDI_RESTART, IDI_MSDOS_MODE, IDI_LOG_OFF, IDB_ABOUT}) {
        for (const char* size : {"-16", "-32"}) {
            if (id == IDB_ABOUT && size[1] == '3')
                break;   // one picture
            std::string source = id == IDB_ABOUT ? "about1100.txt" : "icon" + std::to_string(id) + size + ".txt";
            int width = 0, height = 0;
            std::vector<DWORD> expected = Expected(source, &width, &height);
            std::vector<DWORD> drawn = Drawn(exe, id, width, height);
            size_t wrong = 0;
            for (size_t i = 0; i < expected.size() && i < drawn.size(); ++i)
                wrong += expected[i] != drawn[i];
            CHECK(expected.size() == size_t(width * height) && wrong == 0,
                  source + ": " + std::to_string(wrong) + " pixels drawn otherwise");
        }
    }
    return test::Finish("resources");
}
