// relocheck: proves that an executable's base relocations are complete. The
// build links the same objects twice at different image bases; applying the
// first image's relocations to its sections must then give the second
// image's sections byte for byte. A word the linker moved without recording
// a relocation would still point into the preferred base when Windows loads
// the program elsewhere. Host tool, no dependencies.
//
//   relocheck <image.exe> <same objects at another base.exe>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct Section {
    std::string name;
    uint32_t rva, virtualSize, rawSize, rawOffset;
};

struct Image {
    std::string file;
    Bytes bytes;
    uint32_t base = 0, relocRva = 0, relocSize = 0;
    std::vector<Section> sections;
};

[[noreturn]] void fail(const std::string& message) { throw message; }

uint32_t read16(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t read32(const Bytes& b, size_t at) { return read16(b, at) | read16(b, at + 2) << 16; }

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

// Reads the headers of a PE32 i386 image, whose fields sit at fixed offsets.
Image load(const std::string& file) {
    Image image{file, {}, 0, 0, 0, {}};
    std::ifstream in(file, std::ios::binary);
    if (!in) fail(file + ": cannot open");
    Bytes& b = image.bytes;
    b.assign(std::istreambuf_iterator<char>(in), {});
    auto need = [&](uint64_t end) { if (end > b.size()) fail(file + ": truncated or not a PE file"); };
    need(0x40);
    const uint32_t pe = read32(b, 0x3C), optional = pe + 24;
    need(uint64_t{pe} + 24 + 96 + 6 * 8);  // up to data directory 5, the base relocations
    if (read16(b, 0) != 0x5A4D || read32(b, pe) != 0x4550 || read16(b, pe + 4) != 0x14C || read16(b, optional) != 0x10B)
        fail(file + ": not a PE32 i386 file");
    const uint32_t count = read16(b, pe + 6), table = optional + read16(b, pe + 20);
    image.base = read32(b, optional + 28);
    if (read32(b, optional + 92) > 5) {  // a shorter directory list has no base relocations
        image.relocRva = read32(b, optional + 96 + 5 * 8);
        image.relocSize = read32(b, optional + 96 + 5 * 8 + 4);
    }
    need(uint64_t{table} + uint64_t{count} * 40);
    for (uint32_t h = table; h < table + count * 40; h += 40) {
        Section s{std::string(reinterpret_cast<const char*>(&b[h]), 8).c_str(), read32(b, h + 12), read32(b, h + 8),
                  read32(b, h + 16), read32(b, h + 20)};
        need(uint64_t{s.rawOffset} + s.rawSize);
        image.sections.push_back(s);
    }
    b.resize(b.size() + 3);  // a word read from a section's last bytes stays in the buffer
    return image;
}

// The file offset of the `length` bytes at `rva`, which must lie in one section's file data.
size_t offsetOf(const Image& image, uint32_t rva, uint32_t length) {
    for (const Section& s : image.sections)
        if (rva >= s.rva && uint64_t{rva} + length <= uint64_t{s.rva} + s.rawSize) return s.rawOffset + (rva - s.rva);
    fail(image.file + ": RVA " + hex(rva) + " is outside the file data of every section");
}

void check(const Image& one, const Image& two) {
    if (one.sections.size() != two.sections.size()) fail("the two images have different numbers of sections");
    // At equal bases every word would match unrelocated, proving nothing.
    if (one.base == two.base) fail("both images have the base " + hex(one.base));

    // Relocate a copy of the first image as the loader would at the second base.
    Bytes moved = one.bytes;
    const uint32_t delta = two.base - one.base;
    size_t applied = 0;
    for (uint32_t at = 0; at < one.relocSize;) {
        const size_t block = offsetOf(one, one.relocRva + at, 8);
        const uint32_t page = read32(one.bytes, block), size = read32(one.bytes, block + 4);
        if (size < 8 || size % 2 != 0 || size > one.relocSize - at) fail(one.file + ": malformed relocation block");
        offsetOf(one, one.relocRva + at, size);  // the whole block must lie in the file
        for (uint32_t e = 8; e < size; e += 2) {
            const uint32_t entry = read16(one.bytes, block + e), type = entry >> 12, rva = page + (entry & 0xFFF);
            if (type == 0) continue;  // IMAGE_REL_BASED_ABSOLUTE pads a block to a multiple of 4 bytes
            if (type != 3) fail(one.file + ": relocation of type " + std::to_string(type) + " at RVA " + hex(rva));
            const size_t word = offsetOf(one, rva, 4);
            const uint32_t value = read32(moved, word) + delta;
            for (int k = 0; k < 4; ++k) moved[word + k] = static_cast<uint8_t>(value >> (8 * k));
            ++applied;
        }
        at += size;
    }
    if (applied == 0) fail(one.file + " has no base relocations");

    // Headers are left out: they differ in ImageBase and CheckSum. Every section
    // is compared, .reloc included, so both links must record the same relocations.
    for (size_t i = 0; i < one.sections.size(); ++i) {
        const Section &a = one.sections[i], &b = two.sections[i];
        if (a.name != b.name || a.rva != b.rva || a.virtualSize != b.virtualSize || a.rawSize != b.rawSize)
            fail("section " + a.name + " differs in name, address or size between the two images");
        for (uint32_t k = 0; k < a.rawSize; ++k) {
            if (moved[a.rawOffset + k] == two.bytes[b.rawOffset + k]) continue;
            // The low bytes of a moved address often do not change, so the first
            // differing byte may lie inside the word: name the word that is off
            // by exactly the base difference, where a relocation is missing or doubled.
            uint32_t start = k;
            for (uint32_t j = k < 3 ? 0 : k - 3; j < k; ++j) {
                const uint32_t off = read32(two.bytes, b.rawOffset + j) - read32(moved, a.rawOffset + j);
                if (off == delta || off == 0 - delta) { start = j; break; }
            }
            fail("section " + a.name + " differs at RVA " + hex(a.rva + start) + ": " +
                 hex(read32(moved, a.rawOffset + start)) + " in " + one.file + " after relocation, " +
                 hex(read32(two.bytes, b.rawOffset + start)) + " in " + two.file +
                 "; a base relocation there is missing or wrong");
        }
    }
    std::printf("relocheck: %zu base relocations applied, all %zu sections match at %s and %s\n", applied,
                one.sections.size(), hex(one.base).c_str(), hex(two.base).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: relocheck <image.exe> <same objects at another base.exe>\n");
        return 2;
    }
    try {
        check(load(argv[1]), load(argv[2]));
        return 0;
    } catch (const std::string& message) {
        std::fprintf(stderr, "relocheck: %s\n", message.c_str());
        return 1;
    }
}
