// Checks the built restart program image: a well-formed NE file with every
// property the embedding program relies on, and checks that notice each kind
// of damage a hand-laid header can suffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <string>

#include "ne_reader.h"
#include "restart_image_rules.h"

#ifndef RESTART_IMAGE_PATH
#error "RESTART_IMAGE_PATH must name the built restart program image"
#endif

namespace {

const ne::Bytes& image_bytes() {
    static const ne::Bytes bytes = ne::read_file(RESTART_IMAGE_PATH);
    return bytes;
}

// Why the bytes are not a good restart program: the reader's error or the
// rules' findings, one per line; empty when they are good.
std::string rejection(const ne::Bytes& bytes) {
    std::string error;
    const auto image = ne::read_image(bytes, &error);
    if (!image) return error;
    std::string found;
    for (const std::string& problem : restart_rules::problems(*image)) found += problem + "\n";
    return found;
}

ne::Image parsed_image() {
    std::string error;
    auto image = ne::read_image(image_bytes(), &error);
    EXPECT_TRUE(image) << error;
    return image ? *image : ne::Image{};
}

std::uint16_t word_at(const ne::Bytes& bytes, std::uint32_t at) {
    return static_cast<std::uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

void put_word(ne::Bytes& bytes, std::uint32_t at, std::uint16_t value) {
    bytes.at(at) = static_cast<std::uint8_t>(value);
    bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

class RestartImage : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(image_bytes().empty()) << "cannot read " << RESTART_IMAGE_PATH; }
};

TEST_F(RestartImage, IsAWellFormedNeFileWithEveryRequiredProperty) {
    EXPECT_EQ(rejection(image_bytes()), "");
}

TEST_F(RestartImage, Is3104BytesEndingWithItsLastSegment) {
    const ne::Image image = parsed_image();
    ASSERT_EQ(image.segments.size(), 2u);
    const std::uint32_t sector = 1u << image.header.alignment_shift;
    const std::uint32_t data_end = image.segments[1].file_offset + image.segments[1].length;
    EXPECT_EQ(image.bytes.size(), (data_end + sector - 1) / sector * sector) << "bytes after the data segment";
    EXPECT_EQ(image.bytes.size(), 3104u);
}

TEST_F(RestartImage, EachImportIsCalledOnceWithAChainEndingInFFFF) {
    const ne::Image image = parsed_image();
    ASSERT_FALSE(image.segments.empty());
    const ne::Segment& code = image.segments[0];
    ASSERT_EQ(code.relocations.size(), restart_rules::kImports.size());
    for (const ne::Relocation& r : code.relocations) {
        SCOPED_TRACE(image.import_of(r));
        ASSERT_EQ(r.sites.size(), 1u);
        EXPECT_EQ(word_at(image.bytes, code.file_offset + r.sites[0]), 0xFFFF);
    }
}

// DOS runs the stub when someone starts the file outside Windows: its image
// must be a complete little program that stops before the NE header.
TEST_F(RestartImage, DosStubIsAProgramThatPrintsALineBeforeTheNeHeader) {
    const ne::Image image = parsed_image();
    const ne::Bytes& b = image.bytes;
    const std::uint16_t last_page = word_at(b, 0x02), pages = word_at(b, 0x04);
    const std::uint32_t image_end = (pages - 1u) * 512u + (last_page ? last_page : 512u);
    const std::uint32_t code_start = word_at(b, 0x08) * 16u;
    EXPECT_LE(image_end, image.ne_offset);
    EXPECT_GE(word_at(b, 0x18), 0x40) << "e_lfarlc must mark a new-style header";
    ASSERT_LT(code_start + word_at(b, 0x14), image_end) << "entry point outside the DOS image";
    const char message[] = "This program requires Microsoft Windows.\r\n$";
    const auto begin = b.begin() + code_start, end = b.begin() + image_end;
    EXPECT_NE(std::search(begin, end, message, message + std::strlen(message)), end);
    const std::uint8_t print_call[] = {0xB4, 0x09, 0xCD, 0x21};  // mov ah, 9; int 21h
    EXPECT_NE(std::search(begin, end, std::begin(print_call), std::end(print_call)), end) << "prints nothing";
}

// Each way of damaging a copy of the image, and the words that the reader's
// error or the rules' findings must contain.
struct Damage {
    const char* name;
    std::function<void(const ne::Image& good, ne::Bytes& bytes)> apply;
    const char* expected;
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

const ne::Relocation& relocation_of(const ne::Image& image, const std::string& import) {
    for (const ne::Relocation& r : image.segments.at(0).relocations)
        if (image.import_of(r) == import) return r;
    throw std::runtime_error("no relocation for " + import);
}

std::uint32_t exit_windows_site(const ne::Image& image) {
    return image.segments.at(0).file_offset + relocation_of(image, "USER.7").sites.at(0);
}

std::uint32_t ne_field(const ne::Image& image, std::uint32_t offset) { return image.ne_offset + offset; }

const Damage kDamages[] = {
    {"ChainWordZero", [](auto& g, auto& b) { put_word(b, exit_windows_site(g), 0x0000); },
     "must hold 0xFFFF"},
    {"ChainIntoAnotherImport",
     [](auto& g, auto& b) { put_word(b, exit_windows_site(g), relocation_of(g, "USER.5").sites.at(0)); },
     "also patches"},
    {"ChainLoops",
     [](auto& g, auto& b) { put_word(b, exit_windows_site(g), relocation_of(g, "USER.7").sites.at(0)); },
     "the chain loops"},
    {"WindowsVersion300", [](auto& g, auto& b) { put_word(b, ne_field(g, 0x3E), 0x0300); },
     "expected Windows version"},
    {"SingleDataFlags", [](auto& g, auto& b) { put_word(b, ne_field(g, 0x0C), 0x0301); }, "module flags"},
    {"LibraryFlags", [](auto& g, auto& b) { put_word(b, ne_field(g, 0x0C), 0x8302); }, "module flags"},
    {"Os2Target", [](auto& g, auto& b) { b.at(ne_field(g, 0x36)) = 1; }, "target OS"},
    {"HeapSize", [](auto& g, auto& b) { put_word(b, ne_field(g, 0x10), 512); }, "local heap size"},
    {"StackSize", [](auto& g, auto& b) { put_word(b, ne_field(g, 0x12), 5120); }, "stack size"},
    {"EntryPointInDataSegment", [](auto& g, auto& b) { put_word(b, ne_field(g, 0x16), 2); }, "entry point"},
    {"ModuleNameChanged",
     [](auto& g, auto& b) { b.at(ne_field(g, g.header.resident_names_offset) + 7) = 'X'; }, "module name"},
    {"DescriptionUppercased",
     [](auto& g, auto& b) { std::memcpy(&b.at(g.header.nonresident_names_file_offset + 9), "EXE", 3); },
     "description"},
    {"ExitWindowsOrdinal6", [](auto& g, auto& b) { put_word(b, relocation_of(g, "USER.7").record_file_offset + 6, 6); },
     "imports are"},
    {"AdditiveFixup",
     [](auto& g, auto& b) { b.at(relocation_of(g, "USER.7").record_file_offset + 1) |= ne::kAdditive; },
     "not a far-pointer import by ordinal"},
    {"ModuleRenamed",
     [](auto& g, auto& b) {  // module reference 2 is USER: its name's last letter
         const std::uint16_t user = word_at(b, ne_field(g, g.header.module_refs_offset) + 2);
         b.at(ne_field(g, g.header.imported_names_offset) + user + 4) = 'X';
     },
     "imported module \"USEX\""},
    {"CodeAllocationGrown", [](auto& g, auto& b) { put_word(b, ne_field(g, g.header.segment_table_offset) + 6, 4096); },
     "segment 1 is not 2048 bytes of code"},
    {"InstanceDataUsed", [](auto& g, auto& b) { b.at(g.segments.at(1).file_offset + 0x0A) = 1; }, "instance data"},
    {"NoNeSignature", [](auto& g, auto& b) { b.at(g.ne_offset + 1) = 'X'; }, "no \"NE\" signature"},
    {"ResidentNamesUnterminated",
     [](auto& g, auto& b) { b.at(ne_field(g, g.header.module_refs_offset) - 1) = 5; }, "resident name table"},
    {"Truncated", [](auto& g, auto& b) { b.resize(g.segments.at(1).file_offset + 100); },
     "beyond the end of the file"},
};

class DamagedImage : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedImage, IsRejectedForThatReason) {
    ASSERT_FALSE(image_bytes().empty()) << "cannot read " << RESTART_IMAGE_PATH;
    const ne::Image good = parsed_image();
    ne::Bytes bytes = good.bytes;
    GetParam().apply(good, bytes);
    ASSERT_NE(bytes, good.bytes) << "the damage changed nothing";
    const std::string why = rejection(bytes);
    EXPECT_NE(why.find(GetParam().expected), std::string::npos)
        << "expected a rejection mentioning: " << GetParam().expected << "\ngot: " << why;
}

INSTANTIATE_TEST_SUITE_P(EachDamage, DamagedImage, ::testing::ValuesIn(kDamages),
                         [](const ::testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

}  // namespace
