// Reader for 16-bit Windows NE files; see ne_reader.h. Every read is bounds
// checked, so a corrupt file yields a message instead of undefined behaviour.
#include "ne_reader.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <utility>

namespace ne {
namespace {

constexpr const char* kChainEnd = "; the last site of a chain must hold 0xFFFF";

struct Malformed {
    std::string what;
};

std::string hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

class Parser {
public:
    explicit Parser(Image& image) : image_(image), bytes_(image.bytes) {}

    void parse() {
        read_dos_header();
        read_ne_header();
        read_segment_table();
        read_name_tables();
        read_module_refs();
        read_entry_table();
        for (std::size_t i = 0; i < image_.segments.size(); ++i) read_relocations(i);
    }

private:
    [[noreturn]] static void fail(std::string what) { throw Malformed{std::move(what)}; }

    void need(std::uint32_t at, std::uint32_t size, const char* what) const {
        if (at > bytes_.size() || size > bytes_.size() - at)
            fail(std::string(what) + " at " + hex(at) + " lies beyond the end of the file (" +
                 std::to_string(bytes_.size()) + " bytes)");
    }
    std::uint8_t u8(std::uint32_t at, const char* what) const {
        need(at, 1, what);
        return bytes_[at];
    }
    std::uint16_t u16(std::uint32_t at, const char* what) const {
        need(at, 2, what);
        return static_cast<std::uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
    }
    std::uint32_t u32(std::uint32_t at, const char* what) const {
        return u16(at, what) | static_cast<std::uint32_t>(u16(at + 2, what)) << 16;
    }
    std::uint32_t ne(std::uint16_t offset) const { return image_.ne_offset + offset; }

    void read_dos_header() {
        need(0, 0x40, "DOS header");
        if (bytes_[0] != 'M' || bytes_[1] != 'Z') fail("no \"MZ\" signature at the start of the file");
        image_.ne_offset = u32(0x3C, "e_lfanew");
    }

    void read_ne_header() {
        const std::uint32_t at = image_.ne_offset;
        need(at, 0x40, "NE header");
        if (bytes_[at] != 'N' || bytes_[at + 1] != 'E') fail("no \"NE\" signature at " + hex(at));
        Header& h = image_.header;
        h.linker_major = u8(at + 0x02, "header");
        h.linker_minor = u8(at + 0x03, "header");
        h.entry_table_offset = u16(at + 0x04, "header");
        h.entry_table_length = u16(at + 0x06, "header");
        h.crc = u32(at + 0x08, "header");
        h.flags = u16(at + 0x0C, "header");
        h.auto_data_segment = u16(at + 0x0E, "header");
        h.heap_size = u16(at + 0x10, "header");
        h.stack_size = u16(at + 0x12, "header");
        h.ip = u16(at + 0x14, "header");
        h.cs = u16(at + 0x16, "header");
        h.sp = u16(at + 0x18, "header");
        h.ss = u16(at + 0x1A, "header");
        h.segment_count = u16(at + 0x1C, "header");
        h.module_ref_count = u16(at + 0x1E, "header");
        h.nonresident_names_length = u16(at + 0x20, "header");
        h.segment_table_offset = u16(at + 0x22, "header");
        h.resource_table_offset = u16(at + 0x24, "header");
        h.resident_names_offset = u16(at + 0x26, "header");
        h.module_refs_offset = u16(at + 0x28, "header");
        h.imported_names_offset = u16(at + 0x2A, "header");
        h.nonresident_names_file_offset = u32(at + 0x2C, "header");
        h.movable_entry_count = u16(at + 0x30, "header");
        h.alignment_shift = u16(at + 0x32, "header");
        h.resource_segment_count = u16(at + 0x34, "header");
        h.target_os = u8(at + 0x36, "header");
        h.other_flags = u8(at + 0x37, "header");
        h.fastload_offset = u16(at + 0x38, "header");
        h.fastload_length = u16(at + 0x3A, "header");
        h.min_code_swap = u16(at + 0x3C, "header");
        h.expected_windows_version = u16(at + 0x3E, "header");

        // The loader sizes the tables by the distance to the next one, so
        // they must come in this order.
        const std::pair<std::uint16_t, const char*> order[] = {
            {0x40, "end of the NE header"},
            {h.segment_table_offset, "segment table"},
            {h.resource_table_offset, "resource table"},
            {h.resident_names_offset, "resident name table"},
            {h.module_refs_offset, "module reference table"},
            {h.imported_names_offset, "imported names table"},
            {h.entry_table_offset, "entry table"},
        };
        for (std::size_t i = 1; i < std::size(order); ++i)
            if (order[i].first < order[i - 1].first)
                fail(std::string(order[i].second) + " offset " + hex(order[i].first) + " lies before the " +
                     order[i - 1].second);
        if (h.segment_table_offset + 8u * h.segment_count > h.resource_table_offset)
            fail("segment table overlaps the resource table");
        if (h.module_refs_offset + 2u * h.module_ref_count > h.imported_names_offset)
            fail("module reference table overlaps the imported names table");
        need(ne(h.entry_table_offset), h.entry_table_length, "entry table");
        if (h.alignment_shift > 15) fail("sector shift " + std::to_string(h.alignment_shift) + " is out of range");
        image_.resource_table_length = h.resident_names_offset - h.resource_table_offset;
    }

    void read_segment_table() {
        const Header& h = image_.header;
        const unsigned shift = h.alignment_shift ? h.alignment_shift : 9;  // 0 means 512-byte sectors
        for (std::uint16_t i = 0; i < h.segment_count; ++i) {
            const std::uint32_t at = ne(h.segment_table_offset) + 8u * i;
            Segment s;
            s.sector = u16(at, "segment table");
            s.length_field = u16(at + 2, "segment table");
            s.flags = u16(at + 4, "segment table");
            s.min_alloc_field = u16(at + 6, "segment table");
            s.min_alloc = s.min_alloc_field ? s.min_alloc_field : 0x10000;
            if (s.sector) {
                s.file_offset = static_cast<std::uint32_t>(s.sector) << shift;
                s.length = s.length_field ? s.length_field : 0x10000;
                need(s.file_offset, s.length, ("segment " + std::to_string(i + 1)).c_str());
            }
            if (s.min_alloc < s.length)
                fail("segment " + std::to_string(i + 1) + " allocates " + std::to_string(s.min_alloc) +
                     " bytes for its " + std::to_string(s.length) + " bytes in the file");
            image_.segments.push_back(std::move(s));
        }
    }

    // Length-prefixed names with an ordinal word each, ended by a zero length.
    std::vector<Name> read_names(std::uint32_t at, std::uint32_t end, const char* table) const {
        need(at, end - at, table);
        std::vector<Name> names;
        for (;;) {
            if (at >= end) fail(std::string(table) + " has no terminating zero length");
            const std::uint8_t length = bytes_[at];
            if (length == 0) return names;
            if (end - at < 1u + length + 2u) fail(std::string(table) + " entry at " + hex(at) + " overruns the table");
            Name name;
            name.text.assign(reinterpret_cast<const char*>(&bytes_[at + 1]), length);
            name.ordinal = u16(at + 1 + length, table);
            names.push_back(std::move(name));
            at += 1u + length + 2u;
        }
    }

    void read_name_tables() {
        const Header& h = image_.header;
        image_.resident_names =
            read_names(ne(h.resident_names_offset), ne(h.module_refs_offset), "resident name table");
        if (h.nonresident_names_length)
            image_.nonresident_names = read_names(h.nonresident_names_file_offset,
                                                  h.nonresident_names_file_offset + h.nonresident_names_length,
                                                  "non-resident name table");
    }

    // A length-prefixed string at `offset` in the imported names table.
    std::string imported_name(std::uint16_t offset, const char* user) const {
        const Header& h = image_.header;
        const std::uint32_t table_length = h.entry_table_offset - h.imported_names_offset;
        if (offset >= table_length)
            fail(std::string(user) + " names offset " + hex(offset) + " outside the imported names table");
        const std::uint32_t at = ne(h.imported_names_offset) + offset;
        const std::uint8_t length = u8(at, "imported name");
        if (offset + 1u + length > table_length)
            fail(std::string(user) + " name at " + hex(offset) + " overruns the imported names table");
        return std::string(reinterpret_cast<const char*>(&bytes_[at + 1]), length);
    }

    void read_module_refs() {
        const Header& h = image_.header;
        for (std::uint16_t i = 0; i < h.module_ref_count; ++i) {
            const std::string name = imported_name(u16(ne(h.module_refs_offset) + 2u * i, "module reference"),
                                                   "module reference");
            if (name.empty()) fail("module reference " + std::to_string(i + 1) + " has an empty name");
            image_.modules.push_back(name);
        }
    }

    void read_entry_table() {
        const Header& h = image_.header;
        std::uint32_t at = ne(h.entry_table_offset);
        const std::uint32_t end = at + h.entry_table_length;
        std::uint16_t ordinal = 1;
        for (;;) {
            if (at >= end) fail("entry table has no terminating zero count");
            const std::uint8_t count = bytes_[at++];
            if (count == 0) return;
            if (at >= end) fail("entry table bundle at " + hex(at - 1) + " has no type byte");
            const std::uint8_t type = bytes_[at++];
            if (type == 0) {  // a gap in the ordinals
                ordinal = static_cast<std::uint16_t>(ordinal + count);
                continue;
            }
            if (type != 0xFF && type != 0xFE && type > image_.segments.size())
                fail("entry table names segment " + std::to_string(type) + ", which does not exist");
            const std::uint32_t size = type == 0xFF ? 6 : 3;
            if (end - at < count * size) fail("entry table bundle at " + hex(at - 2) + " overruns the table");
            for (std::uint8_t i = 0; i < count; ++i, at += size) {
                EntryPoint e;
                e.ordinal = ordinal++;
                e.flags = bytes_[at];
                e.movable = type == 0xFF;
                e.segment = e.movable ? bytes_[at + 3] : type;
                e.offset = u16(at + (e.movable ? 4 : 1), "entry table");
                image_.entries.push_back(e);
            }
        }
    }

    static std::uint32_t site_size(std::uint8_t source_type) {
        switch (source_type) {
            case kLowByte: return 1;
            case kSelector: case kOffset16: return 2;
            case kFarPointer: case kOffset32: return 4;
            case kFarPointer48: return 6;
            default: fail("unknown relocation source type " + std::to_string(source_type));
        }
    }

    void check_target(const Relocation& r, const std::string& where) const {
        switch (r.target_type()) {
            case kImportOrdinal:
            case kImportName:
                if (r.target1 == 0 || r.target1 > image_.modules.size())
                    fail(where + " imports from module reference " + std::to_string(r.target1) +
                         ", which does not exist");
                if (r.target_type() == kImportOrdinal && r.target2 == 0) fail(where + " imports ordinal 0");
                if (r.target_type() == kImportName) imported_name(r.target2, where.c_str());
                break;
            case kInternal:
                if (r.target1 != 0xFF && (r.target1 == 0 || r.target1 > image_.segments.size()))
                    fail(where + " points into segment " + std::to_string(r.target1) + ", which does not exist");
                break;
            case kOsFixup:
                break;
        }
    }

    void read_relocations(std::size_t index) {
        Segment& segment = image_.segments[index];
        const std::string name = "segment " + std::to_string(index + 1);
        if (!segment.has_relocations()) return;
        if (!segment.file_offset) fail(name + " has relocations but no bytes in the file");
        std::uint32_t at = segment.file_offset + segment.length;
        const std::uint16_t count = u16(at, "relocation count");
        at += 2;
        need(at, 8u * count, (name + " relocation records").c_str());
        std::map<std::uint32_t, std::size_t> owner;  // patched byte -> relocation that patches it
        for (std::uint16_t i = 0; i < count; ++i, at += 8) {
            Relocation r;
            r.record_file_offset = at;
            r.source_type = bytes_[at];
            r.flags = bytes_[at + 1];
            r.offset = u16(at + 2, "relocation");
            r.target1 = u16(at + 4, "relocation");
            r.target2 = u16(at + 6, "relocation");
            const std::string where = name + " relocation " + std::to_string(i + 1);
            check_target(r, where);
            if (r.target_type() == kOsFixup) {  // floating-point emulator hints: nothing is patched
                segment.relocations.push_back(std::move(r));
                continue;
            }
            const std::uint32_t size = site_size(r.source_type);
            std::uint32_t site = r.offset;
            for (;;) {
                if (site + size > segment.length)
                    fail(where + " chain reaches offset " + hex(site) + ", outside the segment's " +
                         std::to_string(segment.length) + " bytes" + kChainEnd);
                for (std::uint32_t b = site; b < site + size; ++b) {
                    auto [it, fresh] = owner.emplace(b, i);
                    if (!fresh)
                        fail(where + " chain reaches offset " + hex(site) + ", which " +
                             (it->second == i ? std::string("it already patched (the chain loops)")
                                              : "relocation " + std::to_string(it->second + 1) + " also patches") +
                             kChainEnd);
                }
                r.sites.push_back(static_cast<std::uint16_t>(site));
                if (r.additive()) break;
                const std::uint16_t next = u16(segment.file_offset + site, "relocation chain");
                if (next == 0xFFFF) break;
                site = next;
            }
            segment.relocations.push_back(std::move(r));
        }
    }

    Image& image_;
    const Bytes& bytes_;
};

}  // namespace

std::string Image::import_of(const Relocation& relocation) const {
    const TargetType type = relocation.target_type();
    if (type != kImportOrdinal && type != kImportName) return {};
    if (relocation.target1 == 0 || relocation.target1 > modules.size()) return {};
    const std::string& module = modules[relocation.target1 - 1];
    if (type == kImportOrdinal) return module + "." + std::to_string(relocation.target2);
    const std::uint32_t at = ne_offset + header.imported_names_offset + relocation.target2;
    if (at >= bytes.size() || at + 1u + bytes[at] > bytes.size()) return {};
    return module + "." + std::string(reinterpret_cast<const char*>(&bytes[at + 1]), bytes[at]);
}

std::optional<Image> read_image(Bytes bytes, std::string* error) {
    Image image;
    image.bytes = std::move(bytes);
    try {
        Parser(image).parse();
    } catch (const Malformed& malformed) {
        if (error) *error = malformed.what;
        return std::nullopt;
    }
    if (error) error->clear();
    return image;
}

Bytes read_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace ne
