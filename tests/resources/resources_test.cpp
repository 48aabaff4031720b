// The icons and the About picture drawn from the executable, pixel for pixel against res/art: nothing else shows them.
#include <algorithm>
#include <vector>

#include "res/resource_ids.h"
#include "tests/art_source.h"
#include "tests/check.h"

namespace {

constexpr DWORD kBackground = art::kTransparent;   // behind an icon: in no picture

// An image as Windows draws it, icons over the background colour; the pixels' top byte is no colour.
std::vector<DWORD> Drawn(HMODULE module, int id, int width, int height)
{
    BITMAPINFO info = {{sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB}};
    HDC dc = CreateCompatibleDC(nullptr);
    DWORD* bits = nullptr;
    HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    SelectObject(dc, target);
    std::fill_n(bits, width * height, kBackground);
    UINT type = id == IDB_ABOUT ? IMAGE_BITMAP : IMAGE_ICON;
    HANDLE image = LoadImageA(module, MAKEINTRESOURCEA(id), type, width, height, 0);
    DrawStateA(dc, nullptr, nullptr, LPARAM(image), 0, 0, 0, width, height, type == IMAGE_ICON ? DST_ICON : DST_BITMAP);
    GdiFlush();
    std::vector<DWORD> pixels(bits, bits + width * height);
    DeleteDC(dc);
    DeleteObject(target);
    return pixels;
}

} // namespace

int main()
{
    HMODULE exe = LoadLibraryExA(RESOURCES_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    std::vector<std::pair<int, std::string>> images = {{IDB_ABOUT, "about1100.txt"}};
    for (int id : {IDI_SHUTDOWN_DIALOG, IDI_SHUT_DOWN, IDI_RESTART, IDI_MSDOS_MODE, IDI_LOG_OFF})
        for (const char* size : {"-16", "-20", "-24", "-32"})
            images.push_back({id, "icon" + std::to_string(id) + size + ".txt"});
    for (const auto& [id, source] : images) {
        int width = 0, height = 0;
        std::vector<DWORD> expected = art::Pixels(source, &width, &height);
        std::vector<DWORD> drawn = Drawn(exe, id, width, height);
        auto first = std::ranges::mismatch(drawn, expected, {}, [](DWORD pixel) { return pixel & 0xFFFFFF; }).in1;
        CHECK(width > 0 && first == drawn.end(),
              source + ": drawn otherwise from pixel " + std::to_string(first - drawn.begin()));
    }
    return test::Finish("resources");
}
