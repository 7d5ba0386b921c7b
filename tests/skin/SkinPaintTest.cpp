// What the element tree paints, read back from real windows through WM_PRINTCLIENT:
// frames of strips, opacity, mirroring, cropping and clipping, text in the CJK font, and
// the per-pixel alpha of layered windows.

#include <gtest/gtest.h>

#include <memory>

#include "SkinTestSupport.h"
#include "skin/SkinLabel.h"
#include "skin/SkinWindow.h"
#include "support/TestSupport.h"

namespace {

constexpr uint32_t kFrameColours[4] = {0xFFE01010, 0xFF10E010, 0xFF1010E0, 0xFFE0E010};

Bgra Opaque(uint32_t argb) {
    return {static_cast<uint8_t>(argb & 0xFF), static_cast<uint8_t>((argb >> 8) & 0xFF),
            static_cast<uint8_t>((argb >> 16) & 0xFF), 255};
}

// A window for drawing tests: shown off to the side, with a solid background picture.
class PaintTest : public ::testing::Test {
protected:
    std::wstring Fixture(const wchar_t* name, const PixelImage& image) {
        const std::wstring path = dir_ / name;
        EXPECT_TRUE(WriteFileBytes(path, EncodePng(image)));
        return path;
    }

    RecordingWindow& Window(int width, int height, uint32_t background = 0xFF202838, DWORD exStyle = 0) {
        const std::wstring path = Fixture(L"background.png", PixelImage(width, height, background));
        const RECT screen{40, 40, 40 + width, 40 + height};
        window_ = std::make_unique<RecordingWindow>(screen, ImageFile(path.c_str()), UniqueClassName(L"Paint").c_str(),
                                                    nullptr, exStyle, WS_POPUP, 0);
        EXPECT_TRUE(window_->Handle());
        ShowQuietly(*window_);
        return *window_;
    }

    ScratchDir dir_;
    std::unique_ptr<RecordingWindow> window_;
};

}  // namespace

TEST_F(PaintTest, StripShowsOneFrameAtATime) {
    PixelImage strip(40, 10);
    for (int frame = 0; frame < 4; ++frame) strip.FillRect(frame * 10, 0, frame * 10 + 10, 10, kFrameColours[frame]);
    const std::wstring path = Fixture(L"strip.png", strip);
    RecordingWindow& window = Window(100, 60);
    auto* element = new SkinElement(20, 30, ImageFile(path.c_str()), &window);
    element->SetFrameGrid(4, 1);
    const RECT one = element->GetRect();
    EXPECT_EQ(one.right - one.left, 10);
    EXPECT_EQ(one.bottom - one.top, 10);
    for (int frame = 0; frame < 4; ++frame) {
        element->SetFrame(frame, 0);
        const WindowPicture picture(window.Handle());
        for (auto [x, y] : {std::pair{20, 30}, {29, 39}, {25, 35}})
            EXPECT_TRUE(Near(picture.At(x, y), Opaque(kFrameColours[frame])))
                << frame << ": " << Describe(picture.At(x, y));
        EXPECT_TRUE(Near(picture.At(30, 35), Opaque(0xFF202838))) << "nothing beyond the frame";
    }
}

TEST_F(PaintTest, RunnerFrame17StartsAt425) {
    RecordingWindow& window = Window(100, 60, 0xFF000000);
    auto* runner = new SkinElement(RECT{10, 5, 460, 46}, ImageResource(1114), &window);
    runner->SetFrameGrid(18, 1);
    EXPECT_EQ(runner->GetRect().right - runner->GetRect().left, 25);
    runner->SetFrame(17, 0);
    const WindowPicture drawn(window.Handle());

    // Frame 17 is the strip's pixels from x = 425, over the window's black.
    SkinImagePtr strip = LoadImageFromResource(nullptr, kImageResourceType, MAKEINTRESOURCEW(1114));
    ASSERT_TRUE(strip);
    int compared = 0;
    int matching = 0;
    for (int y = 0; y < 41; ++y) {
        for (int x = 0; x < 25; ++x) {
            ++compared;
            matching += Near(drawn.At(10 + x, 5 + y), PremultipliedPixel(*strip, 425 + x, y, true), 3) ? 1 : 0;
        }
    }
    EXPECT_GE(matching, compared - 5) << matching << " of " << compared << " pixels match frame 17";
}

TEST_F(PaintTest, OpacityBlendsOverWhatIsBelow) {
    const std::wstring red = Fixture(L"red.png", PixelImage(20, 20, 0xFFFF0000));
    RecordingWindow& window = Window(60, 40, 0xFF0000FF);
    auto* element = new SkinElement(10, 10, ImageFile(red.c_str()), &window);

    element->SetAlpha(128);
    EXPECT_TRUE(Near(WindowPicture(window.Handle()).At(15, 15), {127, 0, 128, 255}, 3))
        << Describe(WindowPicture(window.Handle()).At(15, 15));
    element->SetAlpha(0);
    EXPECT_TRUE(Near(WindowPicture(window.Handle()).At(15, 15), {255, 0, 0, 255}));
    element->SetAlpha(300);
    EXPECT_EQ(element->GetAlpha(), 255u);
    EXPECT_TRUE(Near(WindowPicture(window.Handle()).At(15, 15), {0, 0, 255, 255}));
}

TEST_F(PaintTest, MirroringReadsTheFrameBackwards) {
    // Two 10 x 10 frames; each has a left and a right half of its own colour, frame 1 also
    // a top and bottom difference in its right half.
    PixelImage strip(20, 10);
    strip.FillRect(0, 0, 5, 10, 0xFF800000);
    strip.FillRect(5, 0, 10, 10, 0xFF008000);
    strip.FillRect(10, 0, 15, 10, 0xFFFF0000);
    strip.FillRect(15, 0, 20, 5, 0xFF00FF00);
    strip.FillRect(15, 5, 20, 10, 0xFF0000FF);
    const std::wstring path = Fixture(L"halves.png", strip);
    RecordingWindow& window = Window(60, 40);
    auto* element = new SkinElement(10, 10, ImageFile(path.c_str()), &window);
    element->SetFrameGrid(2, 1);
    element->SetFrame(1, 0);

    struct Case {
        int flipX, flipY;
        uint32_t topLeft, topRight, bottomRight;
    };
    const Case cases[] = {
        {0, 0, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF},
        {1, 0, 0xFF00FF00, 0xFFFF0000, 0xFFFF0000},
        {0, 1, 0xFFFF0000, 0xFF0000FF, 0xFF00FF00},
        {1, 1, 0xFF0000FF, 0xFFFF0000, 0xFFFF0000},
    };
    for (const Case& c : cases) {
        element->SetFlip(c.flipX, c.flipY);
        EXPECT_EQ(element->GetFlip().x, c.flipX);
        const WindowPicture picture(window.Handle());
        SCOPED_TRACE("flip " + std::to_string(c.flipX) + "," + std::to_string(c.flipY));
        EXPECT_TRUE(Near(picture.At(11, 11), Opaque(c.topLeft), 3)) << Describe(picture.At(11, 11));
        EXPECT_TRUE(Near(picture.At(18, 11), Opaque(c.topRight), 3)) << Describe(picture.At(18, 11));
        EXPECT_TRUE(Near(picture.At(18, 18), Opaque(c.bottomRight), 3)) << Describe(picture.At(18, 18));
    }
}

TEST_F(PaintTest, UnstretchedFillIsRevealedFromItsLeftEdge) {
    RecordingWindow& window = Window(600, 100, 0xFF000000);
    auto* fill = new SkinElement(RECT{31, 52, 31, 66}, ImageResource(1113), &window);
    EXPECT_EQ(WindowPicture(window.Handle()).CountDifferent({0, 0, 600, 100}, {0, 0, 0, 255}, 0), 0)
        << "zero width shows nothing";

    const RECT half{31, 52, 31 + 268, 66};
    fill->SetRect(&half, 0);
    const WindowPicture revealed(window.Handle());
    auto* whole = new SkinElement(31, 70, ImageResource(1113), &window);  // the image at full size below
    const WindowPicture reference(window.Handle());
    for (int x = 31; x < 31 + 268; x += 7) {
        for (int y = 0; y < 14; y += 3) {
            ASSERT_TRUE(Near(revealed.At(x, 52 + y), reference.At(x, 70 + y), 2))
                << "x " << x << " y " << y << ": " << Describe(revealed.At(x, 52 + y));
        }
    }
    EXPECT_EQ(revealed.CountDifferent({31 + 268, 52, 600, 66}, {0, 0, 0, 255}, 0), 0) << "nothing right of 268";
    delete whole;
}

TEST_F(PaintTest, ChildrenAreCutAtTheirParent) {
    const std::wstring grey = Fixture(L"grey.png", PixelImage(40, 40, 0xFF808080));
    const std::wstring white = Fixture(L"white.png", PixelImage(30, 30, 0xFFFFFFFF));
    RecordingWindow& window = Window(100, 100, 0xFF000000);
    auto* parent = new SkinElement(10, 10, ImageFile(grey.c_str()), &window);
    new SkinElement(25, 25, ImageFile(white.c_str()), parent);  // reaches 25 px beyond the parent
    const WindowPicture picture(window.Handle());
    EXPECT_TRUE(Near(picture.At(40, 40), {255, 255, 255, 255}));
    EXPECT_TRUE(Near(picture.At(49, 49), {255, 255, 255, 255}));
    EXPECT_TRUE(Near(picture.At(50, 50), {0, 0, 0, 255})) << "outside the parent: not drawn";
    EXPECT_TRUE(Near(picture.At(60, 45), {0, 0, 0, 255}));
    EXPECT_EQ(window.HitTest(55, 55), &window) << "nor hit there";
    EXPECT_NE(window.HitTest(45, 45), parent);
}

TEST_F(PaintTest, LabelDrawsChineseTextInsideItsBox) {
    RecordingWindow& window = Window(320, 80, 0xFF101828);
    const Bgra background = Opaque(0xFF101828);
    const RECT box{10, 10, 300, 40};
    auto* label = new SkinLabel(box, &window, LabelStyle{L"新宋体", 12, 0xFEFFFFFF});
    EXPECT_EQ(WindowPicture(window.Handle()).CountDifferent({0, 0, 320, 80}, background), 0);

    label->SetLabelText(L"安装路径：下载器");
    EXPECT_STREQ(label->GetLabelText(), L"安装路径：下载器");
    const WindowPicture picture(window.Handle());
    const int inside = picture.CountDifferent(box, background);
    EXPECT_GT(inside, 150) << "the glyphs are drawn";
    EXPECT_EQ(picture.CountDifferent({0, 0, 320, 80}, background), inside) << "and nothing outside the box";
    // Drawn glyphs, not boxes: the strokes of eight different characters leave many
    // partly covered pixels, a row of hollow boxes few.
    int partial = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            const Bgra p = picture.At(x, y);
            partial += p.r > 60 && p.r < 200 ? 1 : 0;
        }
    EXPECT_GT(partial, 40);
    // Other characters of the same count draw other strokes (boxes would look alike).
    label->SetLabelText(L"重新下载失败原因");
    const WindowPicture other(window.Handle());
    int changed = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) changed += Near(picture.At(x, y), other.At(x, y), 40) ? 0 : 1;
    EXPECT_GT(changed, 100);

    label->SetLabelText(nullptr);
    EXPECT_EQ(label->GetLabelText(), nullptr);
    EXPECT_EQ(WindowPicture(window.Handle()).CountDifferent({0, 0, 320, 80}, background), 0);
}

TEST_F(PaintTest, LabelWithoutStyleDrawsWhiteText) {
    RecordingWindow& window = Window(200, 40, 0xFF000000);
    auto* label = new SkinLabel(RECT{0, 0, 200, 40}, kNoImage, &window, nullptr, nullptr, nullptr);
    label->SetLabelText(L"宋体");
    const WindowPicture picture(window.Handle());
    int white = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            const Bgra p = picture.At(x, y);
            white += p.r > 240 && p.g > 240 && p.b > 240 ? 1 : 0;
        }
    EXPECT_GT(white, 10);
}

TEST_F(PaintTest, UnknownFontFamilyStillDrawsText) {
    RecordingWindow& window = Window(200, 40, 0xFF000000);
    auto* label = new SkinLabel(RECT{0, 0, 200, 40}, &window, LabelStyle{L"No Such Family 42", 12, 0xFEFFFFFF});
    label->SetLabelText(L"Halvane 2.1");
    EXPECT_GT(WindowPicture(window.Handle()).CountDifferent({0, 0, 200, 40}, {0, 0, 0, 255}), 50);
}

TEST_F(PaintTest, LayeredWindowIsTransparentWhereNothingIsDrawn) {
    PixelImage half(100, 60);
    half.FillRect(0, 0, 50, 60, 0xFF00C000);
    half.FillRect(50, 0, 75, 60, 0x80FF0000);  // translucent red, then nothing
    const std::wstring path = Fixture(L"half.png", half);
    const RECT screen{60, 60, 160, 120};
    RecordingWindow window(screen, ImageFile(path.c_str()), UniqueClassName(L"Layered").c_str(), nullptr, WS_EX_LAYERED,
                           WS_POPUP, 0);
    ShowQuietly(window);
    const WindowPicture picture(window.Handle());
    EXPECT_TRUE(Near(picture.At(10, 10), {0, 0xC0, 0, 255}));
    EXPECT_TRUE(Near(picture.At(60, 10), {0, 0, 128, 128}, 3)) << "premultiplied: " << Describe(picture.At(60, 10));
    EXPECT_TRUE(Near(picture.At(90, 10), {0, 0, 0, 0}, 0));

    RecordingWindow empty(screen, kNoImage, UniqueClassName(L"Layered").c_str(), nullptr, WS_EX_LAYERED, WS_POPUP, 0);
    ShowQuietly(empty);
    EXPECT_EQ(WindowPicture(empty.Handle()).CountDifferent({0, 0, 100, 60}, {0, 0, 0, 0}, 0), 0);
}

TEST_F(PaintTest, PartialRepaintOfLargeImagesMatchesAFullOne) {
    // Every pixel of both pictures differs from its neighbours, so a source offset by one
    // pixel shows.
    PixelImage back(120, 80), panel(90, 50);
    for (int y = 0; y < back.height; ++y)
        for (int x = 0; x < back.width; ++x) back.At(x, y) = 0xFF000000u | (x * 2) << 16 | (y * 3) << 8 | 0x40;
    for (int y = 0; y < panel.height; ++y)
        for (int x = 0; x < panel.width; ++x) panel.At(x, y) = 0x80000000u | (x * 2) << 8 | (y * 5);
    const std::wstring panelPath = Fixture(L"panel.png", panel);
    const std::wstring backPath = Fixture(L"back.png", back);
    window_ = std::make_unique<RecordingWindow>(40, 40, ImageFile(backPath.c_str()),
                                                UniqueClassName(L"Partial").c_str(), nullptr, 0, WS_POPUP, 0);
    ShowQuietly(*window_);
    auto* element = new SkinElement(13, 7, ImageFile(panelPath.c_str()), window_.get());
    PumpUntilIdle();

    // Only a strip across both images is painted again.
    const RECT strip{20, 30, 70, 36};
    element->Invalidate(&strip);
    UpdateWindow(window_->Handle());
    const BackBuffer& partial = window_->Picture();
    std::vector<uint8_t> partialPixels(partial.Pixels(), partial.Pixels() + partial.Width() * partial.Height() * 4);
    const WindowPicture full(window_->Handle());
    int compared = 0;
    for (int y = strip.top; y < strip.bottom; ++y)
        for (int x = strip.left; x < strip.right; ++x) {
            const uint8_t* p = &partialPixels[(static_cast<size_t>(y) * partial.Width() + x) * 4];
            ASSERT_TRUE(Near({p[0], p[1], p[2], p[3]}, full.At(x, y), 1))
                << x << "," << y << ": " << Describe({p[0], p[1], p[2], p[3]}) << " vs " << Describe(full.At(x, y));
            ++compared;
        }
    EXPECT_EQ(compared, 300);
}
