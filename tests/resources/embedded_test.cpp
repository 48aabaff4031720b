// The pictures and the restart program as the executable carries them: each
// must be exactly what the build generated (the art tests check those files
// against their sources, the restart tests the image against its format).
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "res/resource_ids.h"
#include "resources/resource_reader.h"

namespace {

std::vector<BYTE> ReadFileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

WORD Word(const std::vector<BYTE>& data, size_t at)
{
    return static_cast<WORD>(data[at] | data[at + 1] << 8);
}

DWORD Dword(const std::vector<BYTE>& data, size_t at)
{
    return Word(data, at) | static_cast<DWORD>(Word(data, at + 2)) << 16;
}

TEST(EmbeddedResources, EachIconGroupHoldsTheGeneratedImagesAt32And16Pixels)
{
    for (int group = IDI_SHUTDOWN_DIALOG; group <= IDI_LOG_OFF; ++group) {
        SCOPED_TRACE(group);
        std::vector<BYTE> directory = resources::Load(RT_GROUP_ICON, MAKEINTRESOURCEA(group));
        std::vector<BYTE> file = ReadFileBytes(std::string(ART_OUT_DIR) + "/icon" + std::to_string(group) + ".ico");
        ASSERT_GE(directory.size(), 6u + 2 * 14);
        ASSERT_FALSE(file.empty());
        ASSERT_EQ(1, Word(directory, 2));    // icons
        ASSERT_EQ(2, Word(directory, 4));    // two images
        const BYTE sizes[] = {32, 16};
        for (int i = 0; i < 2; ++i) {
            size_t entry = 6 + 14 * i, fileEntry = 6 + 16 * i;
            EXPECT_EQ(sizes[i], directory[entry]);
            EXPECT_EQ(sizes[i], directory[entry + 1]);
            EXPECT_EQ(16, directory[entry + 2]);        // colours
            EXPECT_EQ(4, Word(directory, entry + 6));   // bits per pixel
            std::vector<BYTE> image = resources::Load(RT_ICON, MAKEINTRESOURCEA(Word(directory, entry + 12)));
            ASSERT_EQ(Dword(directory, entry + 8), image.size());
            DWORD offset = Dword(file, fileEntry + 12);
            std::vector<BYTE> generated(file.begin() + offset, file.begin() + offset + Dword(file, fileEntry + 8));
            EXPECT_TRUE(image == generated) << "image " << i;
            // A 4-bit DIB of twice the height: the colour pixels and the mask.
            EXPECT_EQ(sizes[i] * 2, static_cast<int>(Dword(image, 8)));
            EXPECT_EQ(4, Word(image, 14));
        }
    }
}

TEST(EmbeddedResources, TheAboutPictureIsTheGeneratedRle4Bitmap)
{
    std::vector<BYTE> bitmap = resources::Load(RT_BITMAP, MAKEINTRESOURCEA(IDB_ABOUT));
    std::vector<BYTE> file = ReadFileBytes(std::string(ART_OUT_DIR) + "/about1100.bmp");
    ASSERT_GT(file.size(), 14u);
    EXPECT_TRUE(bitmap == std::vector<BYTE>(file.begin() + 14, file.end())) << "the file without its file header";
    ASSERT_GE(bitmap.size(), 40u + 64);
    EXPECT_EQ(96u, Dword(bitmap, 4));
    EXPECT_EQ(120u, Dword(bitmap, 8));   // positive: bottom-up
    EXPECT_EQ(4, Word(bitmap, 14));
    EXPECT_EQ(static_cast<DWORD>(BI_RLE4), Dword(bitmap, 16));
    EXPECT_EQ(bitmap.size() - 40 - 64, Dword(bitmap, 20));
}

TEST(EmbeddedResources, TheRestartProgramIsTheBuiltImageInGerman)
{
    std::vector<BYTE> image = resources::Load("EXE", MAKEINTRESOURCEA(IDR_RESTART_PROGRAM));
    std::vector<BYTE> built = ReadFileBytes(RESTART_IMAGE_PATH);
    ASSERT_FALSE(built.empty());
    EXPECT_TRUE(image == built);
    EXPECT_EQ(3104u, image.size());
    EXPECT_NE(nullptr, FindResourceA(resources::Exe(), MAKEINTRESOURCEA(IDR_RESTART_PROGRAM), "EXE"));
}

} // namespace
