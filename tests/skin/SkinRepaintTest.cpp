// Repainting only what changed: a label's text, drawn once and copied at every paint, comes
// out pixel for pixel as GDI+ draws the string in place; the parts a progress tick
// invalidates, painted alone, give the picture a full repaint gives; and the setters ask
// for no more than they change.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "SkinTestSupport.h"
#include "skin/SkinGraphics.h"
#include "skin/SkinLabel.h"
#include "support/TestSupport.h"

using namespace Gdiplus::DllExports;

namespace {

// Every pixel differs from its neighbours, so that text blended over the wrong pixel, or a
// picture read from the wrong place, shows.
PixelImage Gradient(int width, int height, uint32_t alpha, int salt) {
    PixelImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.At(x, y) = alpha << 24 | static_cast<uint32_t>((x * 3 + salt) & 0xFF) << 16 |
                             static_cast<uint32_t>((y * 5 + x) & 0xFF) << 8 | static_cast<uint32_t>((x + y * 7) & 0xFF);
    return image;
}

// The window's back buffer as it stands, byte for byte.
std::vector<uint8_t> Pixels(const SkinWindow& window) {
    const BackBuffer& picture = window.Picture();
    return {picture.Pixels(), picture.Pixels() + static_cast<size_t>(picture.Width()) * picture.Height() * 4};
}

// The pixels of the first difference, for a failure message.
std::string FirstDifference(const std::vector<uint8_t>& got, const std::vector<uint8_t>& expected, int width) {
    for (size_t i = 0; i < got.size() && i < expected.size(); i += 4) {
        if (std::memcmp(&got[i], &expected[i], 4) == 0) continue;
        const size_t pixel = i / 4;
        return "at (" + std::to_string(pixel % width) + ", " + std::to_string(pixel / width) + "): " +
               Describe({got[i], got[i + 1], got[i + 2], got[i + 3]}) + " instead of " +
               Describe({expected[i], expected[i + 1], expected[i + 2], expected[i + 3]});
    }
    return got.size() == expected.size() ? "none" : "sizes differ";
}

// What the label's text looked like when each paint drew the string itself: GDI+'s own
// DrawString over `base`, through the label's clip, with a font, format and brush made as
// the label makes its own.
std::vector<uint8_t> DrawnInPlace(std::vector<uint8_t> base, int width, int height, const LabelStyle& style,
                                  const std::wstring& text, const RECT& box, const IntRect& clip) {
    GpBitmap* rawBitmap = nullptr;
    GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB, base.data(), &rawBitmap);
    GdipBitmapPtr bitmap(rawBitmap);
    GpGraphics* rawGraphics = nullptr;
    GdipGetImageGraphicsContext(bitmap.get(), &rawGraphics);
    GdipGraphicsPtr graphics(rawGraphics);
    GdipFontPtr font = CreateSkinFont(style.fontFamily, style.sizePoints);
    GpStringFormat* rawFormat = nullptr;
    GdipCreateStringFormat(0, LANG_NEUTRAL, &rawFormat);
    GdipFormatPtr format(rawFormat);
    GpSolidFill* rawBrush = nullptr;
    GdipCreateSolidFill(style.color, &rawBrush);
    GdipBrushPtr brush(rawBrush);
    EXPECT_TRUE(graphics && font && format && brush);
    ApplyTreeGraphicsSettings(graphics.get());
    GdipSetClipRectI(graphics.get(), clip.left, clip.top, clip.Width(), clip.Height(), Gdiplus::CombineModeReplace);
    const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(box.left), static_cast<Gdiplus::REAL>(box.top),
                                static_cast<Gdiplus::REAL>(box.right - box.left),
                                static_cast<Gdiplus::REAL>(box.bottom - box.top));
    EXPECT_EQ(GdipDrawString(graphics.get(), text.c_str(), -1, font.get(), &layout, format.get(), brush.get()),
              Gdiplus::Ok);
    graphics.reset();
    bitmap.reset();
    return base;
}

class RepaintTest : public ::testing::Test {
protected:
    std::wstring Fixture(const wchar_t* name, const PixelImage& image) {
        const std::wstring path = dir_ / name;
        EXPECT_TRUE(WriteFileBytes(path, EncodePng(image)));
        return path;
    }

    RecordingWindow& Window(int width, int height) {
        const std::wstring path = Fixture(L"back.png", Gradient(width, height, 0xFF, 0));
        window_ = std::make_unique<RecordingWindow>(RECT{40, 40, 40 + width, 40 + height}, ImageFile(path.c_str()),
                                                    UniqueClassName(L"Repaint").c_str(), nullptr, 0, WS_POPUP, 0);
        EXPECT_TRUE(window_->Handle());
        ShowQuietly(*window_);
        return *window_;
    }

    // Paints what is invalid the way the screen gets it, and returns the picture.
    std::vector<uint8_t> PaintDirty() {
        UpdateWindow(window_->Handle());
        return Pixels(*window_);
    }

    // Paints everything again and returns the picture.
    std::vector<uint8_t> PaintAll() {
        const WindowPicture full(window_->Handle());
        return Pixels(*window_);
    }

    // What is waiting to be painted, emptied for the next step.
    RECT TakeUpdate() {
        RECT update{};
        GetUpdateRect(window_->Handle(), &update, FALSE);
        ValidateRect(window_->Handle(), nullptr);
        return update;
    }

    ScratchDir dir_;
    std::unique_ptr<RecordingWindow> window_;
};

}  // namespace

TEST_F(RepaintTest, LabelTextComesOutAsDrawStringDrawsItInPlace) {
    struct Case {
        const wchar_t* name;
        LabelStyle style;
        RECT box;  // relative to the panel, which starts at (20, 10)
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"size", {L"新宋体", 9, 0xFEC8C8C8}, {10, 12, 380, 37}, L"117.74M/941.90M"},
        {L"path", {L"新宋体", 9, 0xFEFFFFFF}, {11, 40, 381, 65}, L"安装路径：C:\\Program Files\\Halvane\\"},
        {L"translucent tip, wrapped", {L"新宋体", 9, 0x50FFFFFF}, {171, 70, 301, 130},
         L"新手提示：下载过程中可以随时暂停，继续时会从断点接着下载。"},
        {L"caption", {L"微软雅黑", 10, 0xFEFFFFFF}, {241, 13, 397, 35}, L"点击安装"},
        {L"cut by the panel", {L"新宋体", 9, 0xFEFFB23E}, {300, 100, 470, 131}, L"新手提示：Halvane 2.1"},
    };
    RecordingWindow& window = Window(460, 170);
    const std::wstring panelPath = Fixture(L"panel.png", Gradient(400, 140, 0xC0, 77));
    auto* panel = new SkinElement(20, 10, ImageFile(panelPath.c_str()), &window);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* label = new SkinLabel(c.box, panel, c.style);
        const std::vector<uint8_t> base = PaintAll();
        label->SetLabelText(c.text);
        const std::vector<uint8_t> painted = PaintDirty();
        const RECT box = label->GetRect();
        const IntRect clip = Intersect(ToIntRect(box), ToIntRect(panel->GetRect()));
        const std::vector<uint8_t> expected = DrawnInPlace(base, 460, 170, c.style, c.text, box, clip);
        EXPECT_NE(expected, base) << "the text draws something";
        EXPECT_EQ(painted, expected) << FirstDifference(painted, expected, 460);
        EXPECT_EQ(PaintAll(), expected) << "and a full repaint draws the same";
        delete label;
    }
}

TEST_F(RepaintTest, ProgressTicksPaintedInPartsMatchAFullRepaint) {
    RecordingWindow& window = Window(600, 120);
    const std::wstring fillPath = Fixture(L"fill.png", Gradient(536, 14, 0xFF, 31));
    PixelImage strip = Gradient(100, 41, 0xFF, 99);
    strip.FillRect(0, 0, 100, 10, 0);  // transparent rows at the top of every frame, as the runner has
    const std::wstring runnerPath = Fixture(L"runner.png", strip);
    auto* fill = new SkinElement(RECT{31, 52, 31, 66}, ImageFile(fillPath.c_str()), &window);
    auto* runner = new SkinElement(RECT{11, 37, 111, 78}, ImageFile(runnerPath.c_str()), &window);
    runner->SetFrameGrid(4, 1);
    auto* size = new SkinLabel(RECT{30, 80, 400, 105}, &window, LabelStyle{L"新宋体", 9, 0xFEC8C8C8});
    auto* speed = new SkinLabel(RECT{240, 80, 650, 105}, &window, LabelStyle{L"新宋体", 9, 0xFEC8C8C8});
    auto* percent = new SkinLabel(RECT{280, 53, 430, 78}, &window, LabelStyle{L"新宋体", 9, 0xFEC8C8C8});
    auto* path = new SkinLabel(RECT{30, 25, 400, 50}, &window, LabelStyle{L"新宋体", 9, 0xFEFFFFFF});
    path->SetLabelText(L"安装路径：C:\\Program Files\\Halvane\\");
    PaintAll();

    int width = 0;
    for (int step = 1; step <= 48; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        width += 11;
        const RECT grown{31, 52, 31 + width, 66};
        fill->SetRect(&grown, 0);
        const RECT place{11 + width, 37, 36 + width, 78};
        runner->SetRect(&place, 1);
        runner->SetFrame(step % 4, 0);
        size->SetLabelText(std::to_wstring(step * 7) + L"." + std::to_wstring(step % 10) + L"4M/941.90M");
        speed->SetLabelText(step % 9 == 0 ? L"当前下载速度：0K/S" : L"当前下载速度：19M/S");
        percent->SetLabelText(step % 13 == 0 ? L"" : std::to_wstring(step * 2 / 5) + L"%");
        const std::vector<uint8_t> painted = PaintDirty();
        // Every third step, two more ticks are painted on top before the comparison.
        if (step % 3 != 0) continue;
        const std::vector<uint8_t> full = PaintAll();
        ASSERT_EQ(painted, full) << FirstDifference(painted, full, 600);
    }
}

TEST_F(RepaintTest, ChangesAskForNoMoreThanTheyChange) {
    RecordingWindow& window = Window(600, 120);
    const std::wstring fillPath = Fixture(L"fill.png", Gradient(536, 14, 0xFF, 31));
    auto* fill = new SkinElement(RECT{31, 52, 31, 66}, ImageFile(fillPath.c_str()), &window);
    auto* label = new SkinLabel(RECT{30, 80, 400, 105}, &window, LabelStyle{L"新宋体", 9, 0xFEC8C8C8});
    label->SetLabelText(L"117.74M/941.90M");
    PaintAll();
    TakeUpdate();

    label->SetLabelText(L"117.74M/941.90M");
    const RECT same = TakeUpdate();
    EXPECT_TRUE(IsRectEmpty(&same)) << "the same text again asks for nothing";

    const RECT half{31, 52, 299, 66};
    fill->SetRect(&half, 0);
    TakeUpdate();
    const RECT more{31, 52, 304, 66};
    fill->SetRect(&more, 0);
    const RECT grown = TakeUpdate();
    EXPECT_EQ(ToIntRect(grown), (IntRect{299, 52, 304, 66})) << "a growing fill redraws the pixels it gains";

    // A shorter text redraws where the longer one was, not the whole label.
    label->SetLabelText(L"1.00M/2.00M");
    const RECT old = TakeUpdate();
    EXPECT_GT(old.right - old.left, 40) << "the old text's pixels";
    EXPECT_LT(old.right - old.left, 200);
    EXPECT_GE(old.left, 30);
    EXPECT_GT(old.top, 80);
    EXPECT_LT(old.bottom, 105);
}
