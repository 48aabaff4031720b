// The pixels of a picture in res/art as the colours Windows shows, top row first.
#pragma once

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

namespace art {

// The standard 16-colour palette, as 0x00RRGGBB.
constexpr DWORD kPalette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr DWORD kTransparent = 0x010203;   // in no picture: the one character without a colour

inline std::vector<DWORD> Pixels(const std::string& file, int* width, int* height)
{
    std::ifstream source(std::string(ART_DIR) + "/" + file);
    std::vector<DWORD> colours(256, kTransparent);
    std::vector<DWORD> pixels;
    char c = 0;
    unsigned index = 0;
    for (std::string line; std::getline(source, line);) {
        sscanf(line.c_str(), "size %d %d", width, height);
        if (sscanf(line.c_str(), "colour %c %u", &c, &index) == 2)
            colours[static_cast<unsigned char>(c)] = kPalette[index & 15];
        if (line.starts_with("pixels"))
            for (int row = 0; row < *height && std::getline(source, line); ++row)
                for (char pixel : line.substr(0, *width))
                    pixels.push_back(colours[static_cast<unsigned char>(pixel)]);
    }
    return pixels;
}

} // namespace art
