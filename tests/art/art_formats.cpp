// Independent readers of the art sources and of the generated icon and bitmap files.

#include "art/art_formats.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace art {

const std::array<uint32_t, 16> kVgaPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

static const char* const kNames[16] = {"black", "maroon", "green", "olive",  "navy", "purple",  "teal", "silver",
                                       "grey",  "red",    "lime",  "yellow", "blue", "fuchsia", "aqua", "white"};

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool readSource(const std::string& path, Picture& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return error = path + ": cannot open", false;
    int legend[256];
    for (int& v : legend) v = -2;
    out = Picture{};
    bool inPixels = false;
    int lineNo = 0;
    std::string line;
    auto failAt = [&](const std::string& what) { return error = path + ":" + std::to_string(lineNo) + ": " + what, false; };
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (inPixels && static_cast<int>(out.pixels.size()) < out.width * out.height) {
            if (static_cast<int>(line.size()) != out.width) return failAt("wrong row length");
            for (char c : line) {
                int v = legend[static_cast<unsigned char>(c)];
                if (v == -2) return failAt(std::string("character not in legend: ") + c);
                out.pixels.push_back(v);
            }
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string key, ch, name;
        int index = -1;
        words >> key;
        if (key == "size") {
            words >> out.width >> out.height;
        } else if (key == "transparent") {
            words >> ch;
            legend[static_cast<unsigned char>(ch.at(0))] = kNone;
        } else if (key == "colour") {
            words >> ch >> index >> name;
            if (index < 0 || index > 15 || name != kNames[index]) return failAt("bad colour line");
            legend[static_cast<unsigned char>(ch.at(0))] = index;
        } else if (key == "pixels" && !inPixels && out.width > 0 && out.height > 0) {
            inPixels = true;
        } else {
            return failAt("unexpected line: " + line);
        }
    }
    if (static_cast<int>(out.pixels.size()) != out.width * out.height || !inPixels)
        return error = path + ": too few rows", false;
    return true;
}

namespace {

// Bounds-checked little-endian reads; every read past the end marks the reader bad.
struct Reader {
    const std::vector<uint8_t>& bytes;
    size_t pos;
    bool ok = true;
    uint32_t get(int n) {
        if (pos + n > bytes.size()) {
            ok = false;
            return 0;
        }
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) v |= static_cast<uint32_t>(bytes[pos + i]) << (8 * i);
        pos += n;
        return v;
    }
    uint8_t u8() { return static_cast<uint8_t>(get(1)); }
    uint16_t u16() { return static_cast<uint16_t>(get(2)); }
    uint32_t u32() { return get(4); }
};

bool readDibHeader(Reader& r, DibHeader& h) {
    h.size = r.u32();
    h.width = static_cast<int32_t>(r.u32());
    h.height = static_cast<int32_t>(r.u32());
    h.planes = r.u16();
    h.bitCount = r.u16();
    h.compression = r.u32();
    h.sizeImage = r.u32();
    r.u32(), r.u32();  // pixels per metre
    h.clrUsed = r.u32();
    r.u32();  // important colours
    for (uint32_t& c : h.palette) {
        uint8_t b = r.u8(), g = r.u8(), red = r.u8();
        r.u8();
        c = static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(g) << 8 | b;
    }
    return r.ok;
}

int nibble(const uint8_t* row, int x) { return x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4; }

}  // namespace

bool decodeIcon(const std::vector<uint8_t>& file, IconFile& out, std::string& error) {
    Reader r{file, 0};
    out = IconFile{};
    out.reserved = r.u16();
    out.type = r.u16();
    out.count = r.u16();
    for (int i = 0; i < out.count && r.ok; ++i) {
        IconImage img;
        img.width = r.u8(), img.height = r.u8(), img.colorCount = r.u8(), img.reserved = r.u8();
        img.planes = r.u16(), img.bitCount = r.u16();
        img.bytes = r.u32(), img.offset = r.u32();
        out.images.push_back(img);
    }
    if (!r.ok) return error = "icon directory truncated", false;
    for (IconImage& img : out.images) {
        if (img.offset > file.size() || img.bytes > file.size() - img.offset)
            return error = "image lies outside the file", false;
        Reader d{file, img.offset};
        if (!readDibHeader(d, img.dib)) return error = "DIB header truncated", false;
        if (img.dib.size != 40 || img.dib.bitCount != 4 || img.dib.compression != 0 || img.dib.width <= 0 ||
            img.dib.height <= 0 || img.dib.height % 2 != 0)
            return error = "not an uncompressed 4-bit DIB with doubled height", false;
        const int w = img.dib.width, h = img.dib.height / 2;
        const size_t xorStride = (w * 4 + 31) / 32 * 4, andStride = (w + 31) / 32 * 4;
        const size_t pixelsAt = d.pos, maskAt = pixelsAt + xorStride * h, end = maskAt + andStride * h;
        if (end > img.offset + img.bytes) return error = "pixel rows run past the image's byte count", false;
        img.picture.width = w;
        img.picture.height = h;
        img.picture.pixels.assign(static_cast<size_t>(w) * h, 0);
        for (int y = 0; y < h; ++y) {  // rows are stored bottom-up
            const uint8_t* colours = &file[pixelsAt + xorStride * (h - 1 - y)];
            const uint8_t* mask = &file[maskAt + andStride * (h - 1 - y)];
            for (int x = 0; x < w; ++x) {
                bool transparent = mask[x / 8] & (0x80 >> (x % 8));
                int c = nibble(colours, x);
                if (transparent && c != 0) img.maskedPixelsAreZero = false;
                img.picture.pixels[static_cast<size_t>(y) * w + x] = transparent ? kNone : c;
            }
        }
    }
    return true;
}

bool decodeRle4(const uint8_t* data, size_t size, int width, int height, Picture& out, std::string& error) {
    out = Picture{width, height, std::vector<int>(static_cast<size_t>(width) * height, kNone)};
    int x = 0, row = 0;  // row 0 is the bottom row
    size_t i = 0;
    auto put = [&](int v) { out.pixels[static_cast<size_t>(height - 1 - row) * width + x++] = v; };
    auto at = [&](const std::string& what) { return error = what + " at byte " + std::to_string(i), false; };
    while (true) {
        if (i + 2 > size) return at("stream ends without end of bitmap");
        const int first = data[i], second = data[i + 1];
        if (first > 0) {  // encoded run: the two nibbles alternate
            if (row >= height) return at("run above the top row");
            if (x + first > width) return at("encoded run overruns the row");
            for (int k = 0; k < first; ++k) put(k % 2 ? second & 0x0F : second >> 4);
            i += 2;
        } else if (second == 0) {
            if (row >= height) return at("end of line above the top row");
            ++row, x = 0, i += 2;
        } else if (second == 1) {
            if (i + 2 != size) return at("bytes after end of bitmap");
            return true;
        } else if (second == 2) {
            if (i + 4 > size) return at("delta truncated");
            x += data[i + 2], row += data[i + 3];
            if (x > width || row >= height) return at("delta leaves the picture");
            i += 4;
        } else {  // absolute run, padded to a 16-bit boundary
            const size_t bytes = ((second + 1) / 2 + 1) / 2 * 2;
            if (i + 2 + bytes > size) return at("absolute run truncated");
            if (row >= height) return at("run above the top row");
            if (x + second > width) return at("absolute run overruns the row");
            for (int k = 0; k < second; ++k) put(nibble(&data[i + 2], k));
            i += 2 + bytes;
        }
    }
}

bool decodeBitmap(const std::vector<uint8_t>& file, BitmapFile& out, std::string& error) {
    Reader r{file, 0};
    out = BitmapFile{};
    out.magic = r.u16();
    out.fileSize = r.u32();
    out.reserved = r.u32();
    out.offBits = r.u32();
    if (!readDibHeader(r, out.dib)) return error = "headers truncated", false;
    if (out.magic != 0x4D42) return error = "no BM signature", false;
    if (out.dib.size != 40 || out.dib.bitCount != 4 || out.dib.compression != 2 || out.dib.width <= 0 ||
        out.dib.height <= 0)
        return error = "not a bottom-up 4-bit BI_RLE4 DIB", false;
    if (out.offBits < r.pos || out.offBits > file.size()) return error = "pixel offset outside the file", false;
    out.dataBytes = static_cast<uint32_t>(file.size() - out.offBits);
    return decodeRle4(file.data() + out.offBits, out.dataBytes, out.dib.width, out.dib.height, out.picture, error);
}

}  // namespace art
