// The artwork in the resources (sizes, frame strips, alpha) and the two image loaders on
// real files and resources, including what they must refuse without leaking.

#include <gtest/gtest.h>
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include <map>
#include <set>

#include "SkinTestSupport.h"
#include "skin/SkinImage.h"
#include "support/TestSupport.h"

using namespace Gdiplus::DllExports;

namespace {

struct CatalogueEntry {
    int id;
    int width;
    int height;
    int frames;
    bool hasTransparency;  // some pixels are fully transparent
};

// Button strips have rounded, transparent corners; the window background is opaque (the
// main window is not layered); the glow is translucent everywhere.
const CatalogueEntry kCatalogue[] = {
    {1101, 600, 350, 1, false}, {1102, 598, 200, 1, true}, {1103, 598, 430, 1, true}, {1106, 598, 37, 1, false},
    {1107, 136, 34, 4, true},   {1108, 136, 34, 4, true},  {1110, 592, 50, 4, true},  {1111, 540, 18, 1, true},
    {1112, 100, 12, 4, true},   {1113, 536, 14, 1, true},  {1114, 450, 41, 18, true}, {1115, 416, 18, 1, true},
    {1116, 209, 46, 1, true},   {1117, 440, 184, 1, true}, {1118, 356, 32, 4, true},  {1119, 356, 32, 4, true},
};

// Straight (not premultiplied) ARGB pixels of an image, read through GDI+.
std::vector<uint32_t> ReadPixels(const SkinImage& image) {
    const int width = static_cast<int>(image.Width());
    const int height = static_cast<int>(image.Height());
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    Gdiplus::GpRect all(0, 0, width, height);
    Gdiplus::BitmapData data{};
    data.Width = width;
    data.Height = height;
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pixels.data();
    auto* bitmap = static_cast<GpBitmap*>(image.Native());
    EXPECT_EQ(GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                 PixelFormat32bppARGB, &data),
              Gdiplus::Ok);
    GdipBitmapUnlockBits(bitmap, &data);
    return pixels;
}

std::vector<uint32_t> Frame(const std::vector<uint32_t>& pixels, int width, int height, int frames, int index) {
    const int frameWidth = width / frames;
    std::vector<uint32_t> frame;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < frameWidth; ++x)
            frame.push_back(pixels[static_cast<size_t>(y) * width + index * frameWidth + x]);
    return frame;
}

// Memory in use by the process (private bytes do not move under Wine; the working set does).
size_t WorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage;
}

}  // namespace

TEST(ImageCatalogue, EveryResourceHasItsSizeFramesAndAlpha) {
    for (const CatalogueEntry& entry : kCatalogue) {
        SCOPED_TRACE("IMAGE " + std::to_string(entry.id));
        SkinImagePtr image = LoadImageFromResource(nullptr, kImageResourceType, MAKEINTRESOURCEW(entry.id));
        ASSERT_TRUE(image);
        EXPECT_EQ(image->Width(), static_cast<uint32_t>(entry.width));
        EXPECT_EQ(image->Height(), static_cast<uint32_t>(entry.height));
        EXPECT_EQ(entry.width % entry.frames, 0);

        Gdiplus::PixelFormat format = 0;
        GdipGetImagePixelFormat(image->Native(), &format);
        EXPECT_TRUE(format & PixelFormatAlpha) << "pixel format " << std::hex << format;

        const std::vector<uint32_t> pixels = ReadPixels(*image);
        std::set<uint32_t> alphas;
        for (uint32_t pixel : pixels) alphas.insert(pixel >> 24);
        EXPECT_EQ(alphas.count(0) > 0, entry.hasTransparency);
        if (entry.id == 1103) {
            EXPECT_LE(*alphas.rbegin(), 61u) << "the glow stays faint";
            EXPECT_GT(*alphas.rbegin(), 30u) << "but is there";
        } else {
            EXPECT_GT(*alphas.rbegin(), 150u);
        }

        // Every frame of a strip shows something, and no two frames are the same picture.
        if (entry.frames > 1) {
            std::set<std::vector<uint32_t>> distinct;
            for (int index = 0; index < entry.frames; ++index) {
                std::vector<uint32_t> frame = Frame(pixels, entry.width, entry.height, entry.frames, index);
                int visible = 0;
                for (uint32_t pixel : frame) visible += (pixel >> 24) > 128 ? 1 : 0;
                EXPECT_GT(visible, 10) << "frame " << index;
                distinct.insert(std::move(frame));
            }
            // The runner's frame 0 is the stride's first step again (frame 1).
            EXPECT_EQ(distinct.size(), static_cast<size_t>(entry.id == 1114 ? entry.frames - 1 : entry.frames));
        }
    }
}

TEST(ImageCatalogue, UnlistedNumbersAreNotInTheResources) {
    for (int id : {1100, 1104, 1105, 1109, 1120}) {
        EXPECT_FALSE(LoadImageFromResource(nullptr, kImageResourceType, MAKEINTRESOURCEW(id))) << id;
    }
}

TEST(ImageLoading, RefusesWhatIsNoImage) {
    ScratchDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / L"empty.png", ""));
    ASSERT_TRUE(WriteFileBytes(dir / L"text.png", "this is not a picture at all\r\n"));
    std::string truncated = EncodePng(PixelImage(40, 40, 0xFF336699));
    truncated.resize(truncated.size() / 2);
    ASSERT_TRUE(WriteFileBytes(dir / L"truncated.png", truncated));

    EXPECT_FALSE(LoadImageFromFile(nullptr));
    EXPECT_FALSE(LoadImageFromFile(L""));
    EXPECT_FALSE(LoadImageFromFile((dir / L"missing.png").c_str()));
    EXPECT_FALSE(LoadImageFromFile((dir / L"empty.png").c_str()));
    EXPECT_FALSE(LoadImageFromFile((dir / L"text.png").c_str()));
    EXPECT_FALSE(LoadImageFromFile((dir / L"truncated.png").c_str()));
    EXPECT_FALSE(LoadImageFromResource(nullptr, L"NOSUCHTYPE", MAKEINTRESOURCEW(1101)));
    EXPECT_FALSE(LoadSkinImage(kNoImage));

    ASSERT_TRUE(WriteFileBytes(dir / L"good.png", EncodePng(PixelImage(40, 30, 0xFF336699))));
    SkinImagePtr good = LoadImageFromFile((dir / L"good.png").c_str());
    ASSERT_TRUE(good);
    EXPECT_EQ(good->Width(), 40u);
    EXPECT_EQ(good->Height(), 30u);
    EXPECT_EQ(good->LastStatus(), Gdiplus::Ok);
}

TEST(ImageLoading, RefusedAndReleasedImagesLeaveNothingBehind) {
    // Half a megabyte of junk: a block kept per failed load would show at once.
    ScratchDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / L"junk.png", std::string(512 * 1024, 'j')));
    ASSERT_TRUE(WriteFileBytes(dir / L"good.png", EncodePng(PixelImage(300, 300, 0x80FF0000))));
    for (int warmUp = 0; warmUp < 5; ++warmUp) {
        LoadImageFromFile((dir / L"junk.png").c_str());
        LoadImageFromFile((dir / L"good.png").c_str());
    }
    const size_t before = PrivateBytes();
    for (int round = 0; round < 200; ++round) {
        EXPECT_FALSE(LoadImageFromFile((dir / L"junk.png").c_str()));
        EXPECT_TRUE(LoadImageFromFile((dir / L"good.png").c_str()));
        EXPECT_TRUE(LoadImageFromResource(nullptr, kImageResourceType, MAKEINTRESOURCEW(1103)));
    }
    const size_t after = PrivateBytes();
    EXPECT_LT(after, before + 16 * 1024 * 1024) << "200 rounds grew private memory by " << (after - before);
}

TEST(ImageLoading, OneResourceGivesIndependentImages) {
    SkinImagePtr first = LoadImageFromResource(nullptr, kImageResourceType, MAKEINTRESOURCEW(1114));
    SkinImagePtr second = LoadImageFromResource(nullptr, kImageResourceType, MAKEINTRESOURCEW(1114));
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->Native(), second->Native());
    const std::vector<uint32_t> expected = ReadPixels(*first);
    first.reset();
    // The survivor still decodes and draws in full.
    EXPECT_EQ(second->Width(), 450u);
    EXPECT_EQ(ReadPixels(*second), expected);
    GpBitmap* target = nullptr;
    GdipCreateBitmapFromScan0(450, 41, 0, PixelFormat32bppPARGB, nullptr, &target);
    GdipBitmapPtr owned(target);
    GpGraphics* graphics = nullptr;
    GdipGetImageGraphicsContext(owned.get(), &graphics);
    GdipGraphicsPtr ownedGraphics(graphics);
    EXPECT_EQ(GdipDrawImageRectI(graphics, second->Native(), 0, 0, 450, 41), Gdiplus::Ok);
}

TEST(ImageLoading, PicturesKeepTheirPixelsAndHoldThemOnce) {
    // Every alpha from 0 to 255 and colours that differ pixel by pixel.
    PixelImage fixture(256, 300);
    for (int y = 0; y < fixture.height; ++y)
        for (int x = 0; x < fixture.width; ++x)
            fixture.At(x, y) = static_cast<uint32_t>(x) << 24 | static_cast<uint32_t>(y & 0xFF) << 16 |
                               static_cast<uint32_t>((x * 7 + y) & 0xFF) << 8 | static_cast<uint32_t>((x ^ y) & 0xFF);
    ScratchDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / L"ramp.png", EncodePng(fixture)));
    SkinImagePtr image = LoadImageFromFile((dir / L"ramp.png").c_str());
    ASSERT_TRUE(image);
    const std::vector<uint32_t> pixels = ReadPixels(*image);
    size_t different = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        // A fully transparent pixel has no colour to keep.
        const bool same = (fixture.argb[i] >> 24) == 0 ? pixels[i] >> 24 == 0 : pixels[i] == fixture.argb[i];
        different += same ? 0 : 1;
    }
    EXPECT_EQ(different, 0u);

    // Forty of the largest picture, 598 x 430: one copy of the pixels each, not the decoder's
    // second one as well.
    std::vector<SkinImagePtr> kept;
    kept.push_back(LoadImageFromResource(nullptr, kImageResourceType, MAKEINTRESOURCEW(1103)));
    const size_t before = WorkingSet();
    for (int i = 0; i < 40; ++i)
        kept.push_back(LoadImageFromResource(nullptr, kImageResourceType, MAKEINTRESOURCEW(1103)));
    const size_t each = (WorkingSet() - before) / 40;
    EXPECT_LT(each, 598 * 430 * 4 * 3 / 2) << each << " bytes a picture";
}
