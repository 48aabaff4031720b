// Readers for the art tests, written apart from tools/artgen so that the two cannot
// share a mistake: the text pixel sources, icon files, and RLE4 bitmaps decoded strictly.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace art {

// Pixel value for a transparent icon pixel, or a bitmap pixel the RLE stream never wrote.
constexpr int kNone = -1;

// A picture, top row first; values 0..15 or kNone.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<int> pixels;
    int at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The standard 16-colour palette as 0x00RRGGBB.
extern const std::array<uint32_t, 16> kVgaPalette;

std::vector<uint8_t> readFile(const std::string& path);

// Reads a res/art source; returns false with a message on any fault.
bool readSource(const std::string& path, Picture& out, std::string& error);

struct DibHeader {
    uint32_t size = 0;
    int32_t width = 0, height = 0;
    uint16_t planes = 0, bitCount = 0;
    uint32_t compression = 0, sizeImage = 0, clrUsed = 0;
    std::array<uint32_t, 16> palette{};  // 0x00RRGGBB
};

struct IconImage {
    uint8_t width = 0, height = 0, colorCount = 0, reserved = 0;
    uint16_t planes = 0, bitCount = 0;
    uint32_t bytes = 0, offset = 0;
    DibHeader dib;
    Picture picture;  // transparent pixels are kNone
    bool maskedPixelsAreZero = true;  // colour 0 under every set mask bit
};

struct IconFile {
    uint16_t reserved = 0, type = 0, count = 0;
    std::vector<IconImage> images;
};

// Parses a 4-bit icon file: directory, each DIB, colour rows and mask.
bool decodeIcon(const std::vector<uint8_t>& file, IconFile& out, std::string& error);

// Decodes a BI_RLE4 stream into a bottom-up picture of the given size (returned top row
// first). Rejects runs that overrun a row or the picture, truncated codes, a missing
// end of bitmap and bytes after it. Pixels never written are kNone.
bool decodeRle4(const uint8_t* data, size_t size, int width, int height, Picture& out, std::string& error);

struct BitmapFile {
    uint16_t magic = 0;
    uint32_t fileSize = 0, reserved = 0, offBits = 0;
    DibHeader dib;
    uint32_t dataBytes = 0;  // bytes from offBits to the end of the file
    Picture picture;
};

// Parses a BM file holding a 4-bit BI_RLE4 DIB with a 16-entry palette.
bool decodeBitmap(const std::vector<uint8_t>& file, BitmapFile& out, std::string& error);

}  // namespace art
