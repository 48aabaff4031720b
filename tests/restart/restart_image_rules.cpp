// The restart program's required properties; see restart_image_rules.h.
#include "restart_image_rules.h"

#include <algorithm>
#include <cstdio>

namespace restart_rules {

const std::vector<std::string> kImports = {"KERNEL.91", "USER.5", "USER.7"};

namespace {

constexpr unsigned kCodeSize = 2048;
constexpr unsigned kDataSize = 510;
constexpr unsigned kInstanceDataSize = 16;  // DGROUP bytes that InitTask and LocalInit own
constexpr std::uint8_t kCallFar = 0x9A;

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

class Checker {
public:
    explicit Checker(const ne::Image& image) : image_(image), h_(image.header) {}

    std::vector<std::string> run() {
        check_header();
        check_segments();
        check_names();
        check_imports();
        return std::move(problems_);
    }

private:
    void expect(bool ok, const std::string& problem) {
        if (!ok) problems_.push_back(problem);
    }

    void check_header() {
        expect(image_.ne_offset == 0x80, "NE header at " + hex(image_.ne_offset) + " instead of 0x0080");
        expect(h_.target_os == 2, "target OS " + std::to_string(h_.target_os) + " instead of 2 (Windows)");
        expect(h_.expected_windows_version == 0x030A,
               "expected Windows version " + hex(h_.expected_windows_version) + " instead of 0x030A (3.10)");
        expect(h_.flags == 0x0302, "module flags " + hex(h_.flags) +
                                       " instead of 0x0302 (per-instance data, Windows application)");
        expect(h_.heap_size == 1024, "local heap size " + std::to_string(h_.heap_size) + " instead of 1024");
        expect(h_.stack_size == 10240, "stack size " + std::to_string(h_.stack_size) + " instead of 10240");
        expect(h_.auto_data_segment == 2,
               "automatic data segment " + std::to_string(h_.auto_data_segment) + " instead of 2");
        expect(h_.ss == h_.auto_data_segment && h_.sp == 0,
               "stack segment:pointer " + hex(h_.ss) + ":" + hex(h_.sp) +
                   " instead of the top of the automatic data segment");
        expect(image_.resource_table_length == 0 && h_.resource_segment_count == 0, "resources present");
        expect(image_.entries.empty(), "exports present (" + std::to_string(image_.entries.size()) + " entry points)");
    }

    void check_segments() {
        expect(image_.segments.size() == 2,
               "segment count " + std::to_string(image_.segments.size()) + " instead of 2");
        if (image_.segments.size() != 2) return;
        const ne::Segment& code = image_.segments[0];
        const ne::Segment& data = image_.segments[1];
        expect(!code.is_data() && code.length == kCodeSize && code.min_alloc == kCodeSize,
               "segment 1 is not 2048 bytes of code (length " + std::to_string(code.length) + ", allocation " +
                   std::to_string(code.min_alloc) + ", flags " + hex(code.flags) + ")");
        expect(data.is_data() && data.length == kDataSize && data.min_alloc == kDataSize,
               "segment 2 is not 510 bytes of data (length " + std::to_string(data.length) + ", allocation " +
                   std::to_string(data.min_alloc) + ", flags " + hex(data.flags) + ")");
        expect(data.relocations.empty(), "the data segment has relocations");
        expect(h_.cs == 1 && h_.ip < code.length,
               "entry point " + hex(h_.cs) + ":" + hex(h_.ip) + " is not inside the code segment");
        if (data.file_offset && data.length >= kInstanceDataSize) {
            const auto begin = image_.bytes.begin() + data.file_offset;
            expect(std::all_of(begin, begin + kInstanceDataSize, [](std::uint8_t b) { return b == 0; }),
                   "instance data (the first 16 bytes of the data segment) not zero");
        }
    }

    void check_names() {
        const std::vector<ne::Name> module_name = {{"RESTART", 0}};
        const std::vector<ne::Name> description = {{"RESTART.exe", 0}};
        expect(image_.resident_names == module_name,
               "module name (resident names) is not just \"RESTART\"" + first_name(image_.resident_names));
        expect(image_.nonresident_names == description,
               "description (non-resident names) is not just \"RESTART.exe\"" + first_name(image_.nonresident_names));
    }

    static std::string first_name(const std::vector<ne::Name>& names) {
        return names.empty() ? std::string(": table empty") : ": first entry \"" + names[0].text + "\"";
    }

    void check_imports() {
        for (const std::string& module : image_.modules)
            expect(module == "USER" || module == "KERNEL", "imported module \"" + module + "\" is not USER or KERNEL");
        if (image_.segments.empty()) return;
        const ne::Segment& code = image_.segments[0];
        std::vector<std::string> imports;
        for (const ne::Relocation& r : code.relocations) {
            const std::string target = image_.import_of(r);
            expect(r.target_type() == ne::kImportOrdinal && !r.additive() && r.source_type == ne::kFarPointer,
                   "relocation at " + hex(r.offset) + " is not a far-pointer import by ordinal (" + target + ")");
            for (std::uint16_t site : r.sites)
                expect(site > 0 && image_.bytes[code.file_offset + site - 1] == kCallFar,
                       "import " + target + " patches offset " + hex(site) + ", which is not a far call's operand");
            imports.push_back(target);
        }
        std::sort(imports.begin(), imports.end());
        std::string listed;
        for (const std::string& import : imports) listed += " " + import;
        expect(imports == kImports, "imports are" + listed + " instead of KERNEL.91 USER.5 USER.7");
    }

    const ne::Image& image_;
    const ne::Header& h_;
    std::vector<std::string> problems_;
};

}  // namespace

std::vector<std::string> problems(const ne::Image& image) { return Checker(image).run(); }

}  // namespace restart_rules
