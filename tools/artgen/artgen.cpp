// artgen: turns the text pixel sources in res/art into the icon files and the
// RLE4-compressed About bitmap that the resource script embeds. Host tool, no dependencies.
//
//   artgen ico <out.ico> <src.txt>...     (32, 24, 20 and 16 pixels square)
//   artgen bmp <out.bmp> <src.txt>
//
// Source format (see res/art/README.md): "size W H", "colour C INDEX NAME" and
// "transparent C" lines (and "#" comments), then "pixels" and exactly H rows of W characters.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const int kTransparent = -1;

struct PaletteEntry {
    const char* name;
    uint8_t r, g, b;
};

// The standard 16-colour Windows palette, in the order of the colour indices.
const PaletteEntry kPalette[16] = {
    {"black", 0x00, 0x00, 0x00},  {"maroon", 0x80, 0x00, 0x00}, {"green", 0x00, 0x80, 0x00},
    {"olive", 0x80, 0x80, 0x00},  {"navy", 0x00, 0x00, 0x80},   {"purple", 0x80, 0x00, 0x80},
    {"teal", 0x00, 0x80, 0x80},   {"silver", 0xC0, 0xC0, 0xC0}, {"grey", 0x80, 0x80, 0x80},
    {"red", 0xFF, 0x00, 0x00},    {"lime", 0x00, 0xFF, 0x00},   {"yellow", 0xFF, 0xFF, 0x00},
    {"blue", 0x00, 0x00, 0xFF},   {"fuchsia", 0xFF, 0x00, 0xFF}, {"aqua", 0x00, 0xFF, 0xFF},
    {"white", 0xFF, 0xFF, 0xFF},
};

struct Picture {
    int width = 0, height = 0;
    std::vector<int> pixels;  // row-major, top row first; 0..15 or kTransparent
    int at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Thrown as a plain message; main prints it and fails. Keeps every check a one-liner.
struct Failure {
    std::string message;
};

[[noreturn]] void fail(const std::string& file, int line, const std::string& what) {
    throw Failure{file + ":" + std::to_string(line) + ": " + what};
}

bool isBlankOrComment(const std::string& s) {
    size_t i = s.find_first_not_of(" \t");
    return i == std::string::npos || s[i] == '#';
}

Picture readSource(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw Failure{file + ": cannot open"};
    int legend[256];
    for (int& v : legend) v = -2;  // -2: not in the legend
    Picture pic;
    bool sized = false, inPixels = false;
    int row = 0, lineNo = 0;
    std::string line;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (inPixels && row < pic.height) {
            if (static_cast<int>(line.size()) != pic.width)
                fail(file, lineNo, "row " + std::to_string(row + 1) + " has " + std::to_string(line.size()) +
                                       " pixels, expected " + std::to_string(pic.width));
            for (int x = 0; x < pic.width; ++x) {
                unsigned char c = static_cast<unsigned char>(line[x]);
                if (legend[c] == -2)
                    fail(file, lineNo, std::string("column ") + std::to_string(x + 1) + ": character '" +
                                           static_cast<char>(c) + "' is not in the legend");
                pic.pixels.push_back(legend[c]);
            }
            ++row;
            continue;
        }
        if (isBlankOrComment(line)) continue;
        if (inPixels) fail(file, lineNo, "text after the last of " + std::to_string(pic.height) + " rows");
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "size") {
            if (!(words >> pic.width >> pic.height) || pic.width < 1 || pic.height < 1 || pic.width > 1024 ||
                pic.height > 1024)
                fail(file, lineNo, "expected: size WIDTH HEIGHT");
            sized = true;
        } else if (key == "colour" || key == "transparent") {
            std::string ch, index, name;
            words >> ch;
            if (ch.size() != 1 || ch[0] == '#' || static_cast<unsigned char>(ch[0]) < 0x21 ||
                static_cast<unsigned char>(ch[0]) > 0x7E)
                fail(file, lineNo, "legend character must be one printable character other than '#'");
            unsigned char c = static_cast<unsigned char>(ch[0]);
            if (legend[c] != -2) fail(file, lineNo, std::string("character '") + ch + "' is already in the legend");
            if (key == "transparent") {
                legend[c] = kTransparent;
            } else {
                words >> index >> name;
                int i = -1;
                if (!index.empty() && index.find_first_not_of("0123456789") == std::string::npos && index.size() <= 2)
                    i = std::stoi(index);
                if (i < 0 || i > 15) fail(file, lineNo, "expected: colour CHAR INDEX(0-15) NAME");
                if (name != kPalette[i].name)
                    fail(file, lineNo, "colour " + std::to_string(i) + " is " + kPalette[i].name + ", not '" + name + "'");
                legend[c] = i;
            }
        } else if (key == "pixels") {
            if (!sized) fail(file, lineNo, "'pixels' before 'size'");
            inPixels = true;
        } else {
            fail(file, lineNo, "unknown keyword '" + key + "'");
        }
        std::string extra;
        if (words >> extra) fail(file, lineNo, "unexpected '" + extra + "'");
    }
    if (!inPixels) fail(file, lineNo, "no 'pixels' section");
    if (row < pic.height)
        fail(file, lineNo, "only " + std::to_string(row) + " rows, expected " + std::to_string(pic.height));
    return pic;
}

// Little-endian byte sink for the Windows file structures.
struct Bytes {
    std::vector<uint8_t> data;
    void u8(unsigned v) { data.push_back(static_cast<uint8_t>(v)); }
    void u16(unsigned v) { u8(v & 0xFF), u8(v >> 8 & 0xFF); }
    void u32(uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); }
    void append(const Bytes& b) { data.insert(data.end(), b.data.begin(), b.data.end()); }
    uint32_t size() const { return static_cast<uint32_t>(data.size()); }
};

const uint32_t kBiRgb = 0, kBiRle4 = 2;

void infoHeader(Bytes& out, int width, int height, uint32_t compression, uint32_t imageSize) {
    out.u32(40);
    out.u32(width);
    out.u32(height);
    out.u16(1);   // planes
    out.u16(4);   // bits per pixel
    out.u32(compression);
    out.u32(imageSize);
    out.u32(0);   // pixels per metre, x and y: not meaningful for screen art
    out.u32(0);
    out.u32(16);  // colours used: stated outright rather than implied by the depth
    out.u32(0);   // all colours important
}

void palette(Bytes& out) {
    for (const PaletteEntry& p : kPalette) out.u8(p.b), out.u8(p.g), out.u8(p.r), out.u8(0);
}

// One icon image: the DIB with doubled height, 4-bit colour rows then the 1-bit mask, both bottom-up.
Bytes iconImage(const Picture& pic) {
    int xorStride = (pic.width * 4 + 31) / 32 * 4;
    int andStride = (pic.width + 31) / 32 * 4;
    Bytes out;
    infoHeader(out, pic.width, pic.height * 2, kBiRgb, (xorStride + andStride) * pic.height);
    palette(out);
    for (int y = pic.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(xorStride, 0);
        for (int x = 0; x < pic.width; ++x) {
            int c = pic.at(x, y);
            if (c == kTransparent) c = 0;  // the mask shows the screen through; colour 0 leaves it untouched
            row[x / 2] |= static_cast<uint8_t>(x % 2 ? c : c << 4);
        }
        out.data.insert(out.data.end(), row.begin(), row.end());
    }
    for (int y = pic.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(andStride, 0);
        for (int x = 0; x < pic.width; ++x)
            if (pic.at(x, y) == kTransparent) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.data.insert(out.data.end(), row.begin(), row.end());
    }
    return out;
}

void requireSize(const std::string& file, const Picture& pic, int size) {
    if (pic.width != size || pic.height != size)
        throw Failure{file + ": is " + std::to_string(pic.width) + "x" + std::to_string(pic.height) + ", expected " +
                      std::to_string(size) + "x" + std::to_string(size)};
}

// The images in the order given; their sizes are those Windows asks for at
// 100, 125, 150 and 200 % display scaling and for the large icon.
Bytes makeIcon(const std::vector<std::string>& sources) {
    std::vector<Picture> pictures;
    for (const std::string& source : sources) {
        pictures.push_back(readSource(source));
        const Picture& pic = pictures.back();
        if (pic.width != 16 && pic.width != 20 && pic.width != 24 && pic.width != 32)
            throw Failure{source + ": icons are 16, 20, 24 or 32 pixels square"};
        requireSize(source, pic, pic.width);
    }
    Bytes dir, body;
    dir.u16(0), dir.u16(1), dir.u16(static_cast<unsigned>(pictures.size()));  // reserved, type icon, count
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(pictures.size());
    for (const Picture& picture : pictures) {
        const Picture* pic = &picture;
        Bytes image = iconImage(*pic);
        dir.u8(pic->width), dir.u8(pic->height), dir.u8(16), dir.u8(0);
        dir.u16(1), dir.u16(4);
        dir.u32(image.size()), dir.u32(offset);
        offset += image.size();
        body.append(image);
    }
    dir.append(body);
    return dir;
}

// Bytes that absolute mode takes for n pixels: two nibbles a byte, padded to a 16-bit boundary.
int absoluteBytes(int n) { return ((n + 1) / 2 + 1) / 2 * 2; }

// Encodes one row with the fewest bytes. An encoded run repeats a pair of colours, so any
// one or two pixels, and any stretch that alternates between two colours, is one 2-byte code;
// absolute mode (3 to 255 pixels) covers the rest. A short dynamic programme over the
// row picks the cheapest mix, which matters for the dithered parts of the picture.
void encodeRowRle4(Bytes& out, const std::vector<int>& row) {
    int n = static_cast<int>(row.size());
    std::vector<int> cost(n + 1, 0), take(n + 1, 0);
    std::vector<bool> absolute(n + 1, false);
    for (int x = n - 1; x >= 0; --x) {
        cost[x] = -1;
        for (int len = 1; len <= 255 && x + len <= n; ++len) {
            if (len >= 3 && row[x + len - 1] != row[x + len - 3]) break;
            int c = 2 + cost[x + len];
            if (cost[x] < 0 || c < cost[x]) cost[x] = c, take[x] = len, absolute[x] = false;
        }
        for (int len = 3; len <= 255 && x + len <= n; ++len) {
            int c = 2 + absoluteBytes(len) + cost[x + len];
            if (c < cost[x]) cost[x] = c, take[x] = len, absolute[x] = true;
        }
    }
    for (int x = 0; x < n; x += take[x]) {
        int len = take[x];
        if (!absolute[x]) {
            out.u8(len);
            out.u8(row[x] << 4 | (len > 1 ? row[x + 1] : 0));
            continue;
        }
        out.u8(0), out.u8(len);
        std::vector<uint8_t> packed(absoluteBytes(len), 0);
        for (int i = 0; i < len; ++i) packed[i / 2] |= static_cast<uint8_t>(i % 2 ? row[x + i] : row[x + i] << 4);
        out.data.insert(out.data.end(), packed.begin(), packed.end());
    }
}

Bytes makeBitmap(const std::string& src) {
    Picture pic = readSource(src);
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x)
            if (pic.at(x, y) == kTransparent)
                throw Failure{src + ": pixel " + std::to_string(x) + "," + std::to_string(y) +
                              " is transparent; a bitmap has no mask"};
    Bytes rle;
    for (int y = pic.height - 1; y >= 0; --y) {
        std::vector<int> row(pic.pixels.begin() + static_cast<long>(y) * pic.width,
                             pic.pixels.begin() + static_cast<long>(y + 1) * pic.width);
        encodeRowRle4(rle, row);
        rle.u8(0), rle.u8(y == 0 ? 1 : 0);  // end of line, or end of bitmap after the top row
    }
    Bytes out;
    const uint32_t headers = 14 + 40 + 64;
    out.u8('B'), out.u8('M');
    out.u32(headers + rle.size());
    out.u16(0), out.u16(0);
    out.u32(headers);
    infoHeader(out, pic.width, pic.height, kBiRle4, rle.size());
    palette(out);
    out.append(rle);
    return out;
}

void writeFile(const std::string& path, const Bytes& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw Failure{path + ": cannot create"};
    bool ok = std::fwrite(bytes.data.data(), 1, bytes.data.size(), f) == bytes.data.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::remove(path.c_str());
        throw Failure{path + ": write failed"};
    }
}

int usage() {
    std::fprintf(stderr,
                 "usage: artgen ico <out.ico> <src.txt>...\n"
                 "       artgen bmp <out.bmp> <src.txt>\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string mode = argv[1];
    try {
        if (mode == "ico" && argc >= 4)
            writeFile(argv[2], makeIcon(std::vector<std::string>(argv + 3, argv + argc)));
        else if (mode == "bmp" && argc == 4)
            writeFile(argv[2], makeBitmap(argv[3]));
        else
            return usage();
    } catch (const Failure& f) {
        std::fprintf(stderr, "artgen: %s\n", f.message.c_str());
        return 1;
    }
    return 0;
}
