// Checks that the built icons and About bitmap are well-formed Windows files that decode
// exactly to their text sources in res/art, and that the RLE4 decoder used for that is right.

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "art/art_formats.h"

namespace {

const std::string kSourceDir = ART_SRC_DIR;
const std::string kOutputDir = ART_OUT_DIR;

std::string rowText(const art::Picture& p, int y) {
    std::string s;
    for (int x = 0; x < p.width; ++x) s += p.at(x, y) == art::kNone ? '.' : "0123456789ABCDEF"[p.at(x, y)];
    return s;
}

// Compares row by row so that a failure shows the rows that differ, not one pixel.
void expectSamePicture(const art::Picture& expected, const art::Picture& actual, const std::string& what) {
    ASSERT_EQ(expected.width, actual.width) << what;
    ASSERT_EQ(expected.height, actual.height) << what;
    for (int y = 0; y < expected.height; ++y)
        EXPECT_EQ(rowText(expected, y), rowText(actual, y)) << what << ", row " << y << " from the top";
}

art::Picture decodeRle4OrFail(const std::vector<uint8_t>& bytes, int width, int height) {
    art::Picture p;
    std::string error;
    EXPECT_TRUE(art::decodeRle4(bytes.data(), bytes.size(), width, height, p, error)) << error;
    return p;
}

art::Picture rows(const std::vector<std::string>& text) {
    art::Picture p{static_cast<int>(text[0].size()), static_cast<int>(text.size()), {}};
    for (const std::string& row : text)
        for (char c : row) p.pixels.push_back(c == '.' ? art::kNone : c <= '9' ? c - '0' : c - 'A' + 10);
    return p;
}

// The decoder is checked on hand-made streams first, so that it cannot simply agree
// with a wrong encoder.
TEST(Rle4Decoder, DecodesRunsAbsoluteModeAndLineEndsBottomUp) {
    // Bottom row: an odd-length encoded run (1 2 1 2) then a pair (3 4).
    // Top row: five absolute pixels padded to a 16-bit boundary, then a one-pixel run.
    const std::vector<uint8_t> stream = {0x04, 0x12, 0x02, 0x34, 0x00, 0x00,
                                         0x00, 0x05, 0x56, 0x78, 0x90, 0x00, 0x01, 0xA0, 0x00, 0x01};
    expectSamePicture(rows({"56789A", "121234"}), decodeRle4OrFail(stream, 6, 2), "hand-made stream");
}

TEST(Rle4Decoder, AbsoluteRunOfThreeNeedsNoPadding) {
    expectSamePicture(rows({"123"}), decodeRle4OrFail({0x00, 0x03, 0x12, 0x30, 0x00, 0x01}, 3, 1), "3 absolute");
    expectSamePicture(rows({"1234"}), decodeRle4OrFail({0x00, 0x04, 0x12, 0x34, 0x00, 0x01}, 4, 1), "4 absolute");
}

TEST(Rle4Decoder, EarlyLineEndAndDeltaLeavePixelsUnwritten) {
    // Row 0: one pixel, then end of line. Delta (2, 1) from the start of row 1 to row 2, x 2.
    const std::vector<uint8_t> stream = {0x01, 0x10, 0x00, 0x00, 0x00, 0x02, 0x02, 0x01, 0x02, 0xCD, 0x00, 0x01};
    expectSamePicture(rows({"..CD", "....", "1..."}), decodeRle4OrFail(stream, 4, 3), "delta stream");
}

TEST(Rle4Decoder, RejectsMalformedStreams) {
    struct Case {
        const char* what;
        std::vector<uint8_t> stream;
        int width, height;
    };
    const Case cases[] = {
        {"encoded run past the row end", {0x05, 0x11, 0x00, 0x01}, 4, 1},
        {"absolute run past the row end", {0x00, 0x05, 0x11, 0x11, 0x10, 0x00, 0x00, 0x01}, 4, 1},
        {"no end of bitmap", {0x04, 0x11}, 4, 1},
        {"odd trailing byte", {0x04, 0x11, 0x00}, 4, 1},
        {"absolute run missing its padding byte", {0x00, 0x05, 0x12, 0x34, 0x50, 0x00, 0x01}, 6, 1},
        {"bytes after end of bitmap", {0x04, 0x11, 0x00, 0x01, 0x00, 0x00}, 4, 1},
        {"run above the top row", {0x04, 0x11, 0x00, 0x00, 0x04, 0x11, 0x00, 0x01}, 4, 1},
        {"delta out of the picture", {0x00, 0x02, 0x05, 0x00, 0x00, 0x01}, 4, 1},
        {"truncated delta", {0x00, 0x02, 0x01}, 4, 1},
    };
    for (const Case& c : cases) {
        art::Picture p;
        std::string error;
        EXPECT_FALSE(art::decodeRle4(c.stream.data(), c.stream.size(), c.width, c.height, p, error)) << c.what;
    }
}

struct IconCase {
    int id;
    int mustShow;                  // the colour that tells this icon apart in the tray
    std::vector<int> mustNotShow;  // the other actions' telling colours
};

void PrintTo(const IconCase& c, std::ostream* os) { *os << "icon " << c.id; }

const int kRed = 9, kLime = 10, kYellow = 11, kBlue = 12, kAqua = 14;

class IconFileTest : public testing::TestWithParam<IconCase> {};

TEST_P(IconFileTest, DirectoryHoldsA32And16PixelImageWith16Colours) {
    const std::string path = kOutputDir + "/icon" + std::to_string(GetParam().id) + ".ico";
    const std::vector<uint8_t> file = art::readFile(path);
    art::IconFile icon;
    std::string error;
    ASSERT_TRUE(art::decodeIcon(file, icon, error)) << path << ": " << error;
    EXPECT_EQ(0, icon.reserved);
    EXPECT_EQ(1, icon.type);
    ASSERT_EQ(2u, icon.images.size());
    const int sizes[] = {32, 16};
    uint32_t expectedOffset = 6 + 16 * 2;
    for (size_t i = 0; i < 2; ++i) {
        const art::IconImage& img = icon.images[i];
        const int n = sizes[i];
        SCOPED_TRACE(path + ", image " + std::to_string(i));
        EXPECT_EQ(n, img.width);
        EXPECT_EQ(n, img.height);
        EXPECT_EQ(16, img.colorCount);
        EXPECT_EQ(0, img.reserved);
        EXPECT_EQ(1, img.planes);
        EXPECT_EQ(4, img.bitCount);
        EXPECT_EQ(expectedOffset, img.offset) << "images follow the directory back to back";
        // Header, palette, 4-bit rows and 1-bit mask rows, each row padded to 32 bits.
        const uint32_t pixelBytes = n * n / 2 + 4 * n;
        EXPECT_EQ(40u + 64u + pixelBytes, img.bytes);
        EXPECT_EQ(n, img.dib.width);
        EXPECT_EQ(2 * n, img.dib.height);
        EXPECT_EQ(1, img.dib.planes);
        EXPECT_TRUE(img.dib.sizeImage == 0 || img.dib.sizeImage == pixelBytes) << img.dib.sizeImage;
        EXPECT_TRUE(img.dib.clrUsed == 0 || img.dib.clrUsed == 16) << img.dib.clrUsed;
        EXPECT_EQ(art::kVgaPalette, img.dib.palette);
        EXPECT_TRUE(img.maskedPixelsAreZero) << "a masked pixel must be colour 0, or it tints the screen";
        expectedOffset += img.bytes;
    }
    EXPECT_EQ(expectedOffset, file.size()) << "nothing follows the last image";
}

TEST_P(IconFileTest, ImagesDecodeToTheirSources) {
    art::IconFile icon;
    std::string error;
    const std::string path = kOutputDir + "/icon" + std::to_string(GetParam().id) + ".ico";
    ASSERT_TRUE(art::decodeIcon(art::readFile(path), icon, error)) << path << ": " << error;
    ASSERT_EQ(2u, icon.images.size());
    const char* suffixes[] = {"-32.txt", "-16.txt"};
    for (size_t i = 0; i < 2; ++i) {
        const std::string source = kSourceDir + "/icon" + std::to_string(GetParam().id) + suffixes[i];
        art::Picture expected;
        ASSERT_TRUE(art::readSource(source, expected, error)) << error;
        expectSamePicture(expected, icon.images[i].picture, path + " against " + source);
    }
}

// The tray shows only the 16x16 image: it must be the right action's picture and
// must let the taskbar show through around it.
TEST_P(IconFileTest, TrayImageShowsItsActionsColourAndLetsTheTaskbarThrough) {
    art::Picture small;
    std::string error;
    ASSERT_TRUE(art::readSource(kSourceDir + "/icon" + std::to_string(GetParam().id) + "-16.txt", small, error))
        << error;
    auto count = [&](int colour) {
        int n = 0;
        for (int v : small.pixels) n += v == colour;
        return n;
    };
    EXPECT_GE(count(GetParam().mustShow), 4);
    for (int other : GetParam().mustNotShow) EXPECT_EQ(0, count(other)) << "colour " << other;
    EXPECT_GT(count(art::kNone), 0);
}

INSTANTIATE_TEST_SUITE_P(Icons, IconFileTest,
                         testing::Values(IconCase{1000, kAqua, {kRed, kLime}}, IconCase{1001, kRed, {kAqua, kLime}},
                                         IconCase{1002, kLime, {kRed, kAqua}},
                                         IconCase{1003, kBlue, {kRed, kLime, kAqua}},
                                         IconCase{1004, kYellow, {kRed, kLime, kAqua, kBlue}}),
                         [](const testing::TestParamInfo<IconCase>& info) { return std::to_string(info.param.id); });

TEST(AboutBitmap, HeadersDescribeA96By120Rle4PictureWithTheStandardPalette) {
    const std::string path = kOutputDir + "/about1100.bmp";
    const std::vector<uint8_t> file = art::readFile(path);
    art::BitmapFile bmp;
    std::string error;
    ASSERT_TRUE(art::decodeBitmap(file, bmp, error)) << path << ": " << error;
    EXPECT_EQ(file.size(), bmp.fileSize);
    EXPECT_EQ(0u, bmp.reserved);
    EXPECT_EQ(14u + 40u + 64u, bmp.offBits) << "the palette is followed directly by the pixels";
    EXPECT_EQ(96, bmp.dib.width);
    EXPECT_EQ(120, bmp.dib.height) << "positive: bottom-up";
    EXPECT_EQ(1, bmp.dib.planes);
    EXPECT_EQ(4, bmp.dib.bitCount);
    EXPECT_EQ(2u, bmp.dib.compression) << "BI_RLE4";
    EXPECT_EQ(bmp.dataBytes, bmp.dib.sizeImage) << "the compressed size";
    EXPECT_TRUE(bmp.dib.clrUsed == 0 || bmp.dib.clrUsed == 16) << bmp.dib.clrUsed;
    EXPECT_EQ(art::kVgaPalette, bmp.dib.palette);
    EXPECT_LT(bmp.dataBytes, 96u * 120u / 2u) << "compression must beat the plain 4-bit rows";
}

TEST(AboutBitmap, DecodesToItsSourceWithEveryPixelWritten) {
    art::BitmapFile bmp;
    std::string error;
    ASSERT_TRUE(art::decodeBitmap(art::readFile(kOutputDir + "/about1100.bmp"), bmp, error)) << error;
    art::Picture expected;
    ASSERT_TRUE(art::readSource(kSourceDir + "/about1100.txt", expected, error)) << error;
    // The source has no transparent pixels, so any kNone left by the decoder is a pixel
    // the stream skipped, and shows up in the row comparison as '.'.
    expectSamePicture(expected, bmp.picture, "about1100.bmp against about1100.txt");
}

}  // namespace
