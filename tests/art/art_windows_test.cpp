// Checks the generated files through Windows itself: LoadImageA must accept them, and what
// Windows draws must be the source pixels, with the background showing where the icons are clear.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "art/art_formats.h"

namespace {

const std::string kSourceDir = ART_SRC_DIR;
const std::string kOutputDir = ART_OUT_DIR;

// A colour that is in no picture: where it survives, the icon was transparent.
const uint32_t kBackground = 0x123456;

// A 32-bit top-down DIB section selected into a memory DC, for drawing and reading back.
class Canvas {
  public:
    Canvas(int width, int height) : width_(width) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height; ++i) bits_[i] = kBackground;
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    bool ok() const { return dc_ && bitmap_ && bits_; }
    HDC dc() const { return dc_; }
    uint32_t at(int x, int y) const {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }

  private:
    int width_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

uint32_t expectedColour(int pixel) { return pixel == art::kNone ? kBackground : art::kVgaPalette[pixel]; }

// Compares a drawn canvas with a source picture and names the first few differing pixels.
void expectCanvasShows(const Canvas& canvas, const art::Picture& source, const std::string& what) {
    int differences = 0;
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            uint32_t want = expectedColour(source.at(x, y)), got = canvas.at(x, y);
            if (want != got && ++differences <= 5)
                ADD_FAILURE() << what << ": pixel " << x << "," << y << " is " << std::hex << got << ", expected "
                              << want;
        }
    EXPECT_EQ(0, differences) << what;
}

TEST(ArtThroughWindows, EachIconDrawsItsSourceAtBothSizes) {
    for (int id = 1000; id <= 1004; ++id) {
        const std::string path = kOutputDir + "/icon" + std::to_string(id) + ".ico";
        for (int size : {32, 16}) {
            const std::string source = kSourceDir + "/icon" + std::to_string(id) + "-" + std::to_string(size) + ".txt";
            art::Picture expected;
            std::string error;
            ASSERT_TRUE(art::readSource(source, expected, error)) << error;
            HICON icon = static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
            ASSERT_NE(nullptr, icon) << path << " at " << size << ": error " << GetLastError();
            Canvas canvas(size, size);
            ASSERT_TRUE(canvas.ok());
            EXPECT_TRUE(DrawIconEx(canvas.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL));
            expectCanvasShows(canvas, expected, path + " at " + std::to_string(size));
            DestroyIcon(icon);
        }
    }
}

TEST(ArtThroughWindows, AboutBitmapLoadsAndDecodesToItsSource) {
    const std::string path = kOutputDir + "/about1100.bmp";
    art::Picture expected;
    std::string error;
    ASSERT_TRUE(art::readSource(kSourceDir + "/about1100.txt", expected, error)) << error;
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(nullptr, bitmap) << path << ": error " << GetLastError();
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(96, info.bmWidth);
    EXPECT_EQ(120, info.bmHeight);
    Canvas canvas(expected.width, expected.height);
    ASSERT_TRUE(canvas.ok());
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, bitmap);
    EXPECT_TRUE(BitBlt(canvas.dc(), 0, 0, expected.width, expected.height, source, 0, 0, SRCCOPY));
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(bitmap);
    expectCanvasShows(canvas, expected, path);
}

}  // namespace
