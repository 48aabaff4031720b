// Reader for 16-bit Windows "new executable" (NE) files, for tests that check
// built images: headers, segment table, name tables, imports, entry table and
// every segment's relocations, with each offset and relocation chain checked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ne {

using Bytes = std::vector<std::uint8_t>;

// The 64-byte NE header, field by field (offsets relative to the header).
struct Header {
    std::uint8_t linker_major = 0, linker_minor = 0;
    std::uint16_t entry_table_offset = 0, entry_table_length = 0;
    std::uint32_t crc = 0;
    std::uint16_t flags = 0;
    std::uint16_t auto_data_segment = 0;
    std::uint16_t heap_size = 0, stack_size = 0;
    std::uint16_t ip = 0, cs = 0, sp = 0, ss = 0;
    std::uint16_t segment_count = 0, module_ref_count = 0;
    std::uint16_t nonresident_names_length = 0;
    std::uint16_t segment_table_offset = 0, resource_table_offset = 0;
    std::uint16_t resident_names_offset = 0, module_refs_offset = 0;
    std::uint16_t imported_names_offset = 0;
    std::uint32_t nonresident_names_file_offset = 0;  // from the start of the file
    std::uint16_t movable_entry_count = 0, alignment_shift = 0;
    std::uint16_t resource_segment_count = 0;
    std::uint8_t target_os = 0, other_flags = 0;
    std::uint16_t fastload_offset = 0, fastload_length = 0;
    std::uint16_t min_code_swap = 0;
    std::uint16_t expected_windows_version = 0;  // major in the high byte
};

// Where a relocation's target lies (low two bits of the record's second byte).
enum TargetType : std::uint8_t { kInternal = 0, kImportOrdinal = 1, kImportName = 2, kOsFixup = 3 };
constexpr std::uint8_t kAdditive = 4;

// What a relocation patches at each site (the record's first byte).
enum SourceType : std::uint8_t {
    kLowByte = 0, kSelector = 2, kFarPointer = 3, kOffset16 = 5, kFarPointer48 = 11, kOffset32 = 13
};

struct Relocation {
    std::uint8_t source_type = 0;
    std::uint8_t flags = 0;
    std::uint16_t offset = 0;   // first site in the segment
    std::uint16_t target1 = 0;  // module index for imports, segment number for internal targets
    std::uint16_t target2 = 0;  // ordinal, imported-name offset or offset in the target segment
    std::uint32_t record_file_offset = 0;
    // Every site the loader patches, in its order: the chain that starts at
    // `offset` and ends at the site holding 0xFFFF (additive: `offset` alone).
    std::vector<std::uint16_t> sites;

    TargetType target_type() const { return TargetType(flags & 3); }
    bool additive() const { return (flags & kAdditive) != 0; }
};

struct Segment {
    std::uint16_t sector = 0, length_field = 0, flags = 0, min_alloc_field = 0;
    std::uint32_t file_offset = 0;  // 0: no bytes in the file
    std::uint32_t length = 0;       // bytes in the file (a 0 field means 64 KiB)
    std::uint32_t min_alloc = 0;    // a 0 field means 64 KiB
    std::vector<Relocation> relocations;

    bool is_data() const { return (flags & 0x0001) != 0; }
    bool has_relocations() const { return (flags & 0x0100) != 0; }
};

struct Name {
    std::string text;
    std::uint16_t ordinal = 0;
    bool operator==(const Name& other) const { return text == other.text && ordinal == other.ordinal; }
};

struct EntryPoint {
    std::uint16_t ordinal = 0;
    std::uint8_t segment = 0;  // 0xFE: a constant, not an address
    std::uint8_t flags = 0;    // 1 exported, 2 uses the shared data segment
    std::uint16_t offset = 0;
    bool movable = false;
};

struct Image {
    Bytes bytes;                  // the whole file
    std::uint32_t ne_offset = 0;  // e_lfanew of the DOS header
    Header header;
    std::vector<Segment> segments;                 // [0] is segment 1
    std::uint32_t resource_table_length = 0;       // 0: no resources (the table is not decoded)
    std::vector<Name> resident_names;              // [0] is the module name
    std::vector<Name> nonresident_names;           // [0] is the description
    std::vector<std::string> modules;              // [0] is module reference 1
    std::vector<EntryPoint> entries;

    // "MODULE.ordinal" or "MODULE.name" for an imported relocation, "" otherwise.
    std::string import_of(const Relocation& relocation) const;
};

// Parses a whole NE file. On malformed input returns nothing and says why in
// *error: a table or segment outside the file, an unterminated name table, a
// bad module or name reference, or a relocation chain that leaves its segment,
// loops, or shares a site with another relocation (its last link must hold
// 0xFFFF).
std::optional<Image> read_image(Bytes bytes, std::string* error);

// The file's bytes; empty when it cannot be read.
Bytes read_file(const std::string& path);

}  // namespace ne
