// The skin's rectangle, frame and placement arithmetic, and the button state machine,
// built natively with the sanitizers.

#include <gtest/gtest.h>

#include "skin/ButtonStates.h"
#include "skin/Geometry.h"

TEST(SkinGeometry, IntersectAndUnion) {
    const IntRect a{0, 0, 10, 10};
    const IntRect b{5, 5, 20, 20};
    EXPECT_EQ(Intersect(a, b), (IntRect{5, 5, 10, 10}));
    EXPECT_EQ(Intersect(a, IntRect{10, 0, 20, 10}), IntRect{}) << "touching edges share nothing";
    EXPECT_EQ(Union(a, b), (IntRect{0, 0, 20, 20}));
    EXPECT_EQ(Union(IntRect{}, b), b) << "an empty rectangle adds nothing";
    EXPECT_EQ(Union(IntRect{3, 3, 3, 9}, IntRect{}), IntRect{});
    EXPECT_TRUE(a.Contains(0, 0));
    EXPECT_FALSE(a.Contains(10, 5)) << "right and bottom are outside";
    EXPECT_FALSE(IntRect{}.Contains(0, 0));
}

TEST(SkinGeometry, PositionedRectangles) {
    const IntRect parent{100, 50, 400, 250};
    EXPECT_EQ(PositionedRect(95, 15, true, 209, 46, false, {}), (IntRect{95, 15, 304, 61}));
    EXPECT_EQ(PositionedRect(10, 20, false, 0, 0, true, parent), (IntRect{10, 20, 300, 200}))
        << "reaches the parent's edges once shifted by its corner";
    EXPECT_EQ(PositionedRect(10, 20, false, 0, 0, false, {}), (IntRect{10, 20, 0, 0}));
}

TEST(SkinGeometry, FrameGrids) {
    EXPECT_EQ(ShrinkToFrame({11, 237, 461, 278}, 18, 1), (IntRect{11, 237, 36, 278}));
    EXPECT_EQ(ShrinkToFrame({425, 275, 1017, 325}, 4, 1), (IntRect{425, 275, 573, 325}));
    EXPECT_EQ(ShrinkToFrame({0, 0, 10, 10}, 0, 0), (IntRect{0, 0, 10, 10})) << "no division by zero";
}

TEST(SkinGeometry, FrameSources) {
    struct Case {
        FrameDraw draw;
        SourceRect expected;
    };
    const Case cases[] = {
        // The runner's frame 17 of 18 starts at x = 425.
        {{450, 41, 18, 1, 17, 0, false, false, true, 25, 41}, {425, 0, 25, 41}},
        // Mirrored: frame 1 of a 4 x 1 strip is read from 2 x frame width backwards.
        {{136, 34, 4, 1, 1, 0, true, false, true, 34, 34}, {68, 0, -34, 34}},
        {{136, 34, 4, 1, 1, 0, false, true, true, 34, 34}, {34, 34, 34, -34}},
        // Unstretched: the source is as large as the destination (the progress fill).
        {{536, 14, 1, 1, 0, 0, false, false, false, 268, 14}, {0, 0, 268, 14}},
        {{536, 14, 1, 1, 0, 0, false, false, false, 0, 14}, {0, 0, 0, 14}},
        // Stretched: one frame, whatever the destination.
        {{592, 50, 4, 1, 3, 0, false, false, true, 300, 100}, {444, 0, 148, 50}},
    };
    for (const Case& c : cases) EXPECT_EQ(FrameSource(c.draw), c.expected);
}

TEST(SkinGeometry, AlphaAndCentring) {
    EXPECT_EQ(ClampAlpha(300), 255u);
    EXPECT_EQ(ClampAlpha(61), 61u);
    EXPECT_FLOAT_EQ(AlphaScale(255), 255 * 0.003921569f);
    EXPECT_FLOAT_EQ(AlphaScale(0), 0.0f);
    EXPECT_EQ(CenteredOrigin({0, 0, 1920, 1040}, 600, 350), (IntPoint{660, 345}));
    EXPECT_EQ(CenteredOrigin({0, 0, 100, 100}, 301, 301), (IntPoint{-100, -100})) << "truncates toward zero";
    EXPECT_EQ(CenteredOrigin({100, 100, 700, 450}, 600, 350), (IntPoint{100, 100}));
}

TEST(SkinGeometry, AnchoredResizeDamage) {
    struct Case {
        IntRect before, after;
        IntRect first, second;
    };
    const Case cases[] = {
        // The progress fill grows from nothing, then by five pixels, then shrinks.
        {{31, 252, 31, 266}, {31, 252, 36, 266}, {31, 252, 36, 266}, {}},
        {{31, 252, 299, 266}, {31, 252, 304, 266}, {299, 252, 304, 266}, {}},
        {{31, 252, 304, 266}, {31, 252, 299, 266}, {299, 252, 304, 266}, {}},
        // Wider and taller at once: the strip on the right and the one below.
        {{0, 0, 10, 10}, {0, 0, 12, 15}, {10, 0, 12, 15}, {0, 10, 12, 15}},
        // The same rectangle: nothing.
        {{5, 5, 9, 9}, {5, 5, 9, 9}, {}, {}},
        // A moved corner: everything either covers.
        {{0, 0, 10, 10}, {2, 0, 12, 10}, {0, 0, 12, 10}, {}},
    };
    for (const Case& c : cases) {
        const auto damage = AnchoredResizeDamage(c.before, c.after);
        EXPECT_EQ(damage[0], c.first);
        EXPECT_EQ(damage[1], c.second);
    }
}

TEST(SkinGeometry, CoalesceRects) {
    // Pieces of one rectangle (as a region hands them out, band by band) join up.
    EXPECT_EQ(CoalesceRects({{11, 237, 36, 255}, {11, 255, 36, 270}, {11, 270, 36, 278}}, 0, 8),
              (std::vector<IntRect>{{11, 237, 36, 278}}));
    // Far apart, they stay apart: the runner near the bar's end and the size text.
    const std::vector<IntRect> apart{{400, 237, 425, 278}, {30, 282, 130, 294}};
    EXPECT_EQ(CoalesceRects(apart, 1024, 8), apart);
    // Within the slack they join; beyond the count they join whatever it costs.
    EXPECT_EQ(CoalesceRects({{0, 0, 10, 10}, {12, 0, 22, 10}}, 20, 8), (std::vector<IntRect>{{0, 0, 22, 10}}));
    EXPECT_EQ(CoalesceRects(apart, 0, 1), (std::vector<IntRect>{{30, 237, 425, 294}}));
    // Overlaps count once; empty rectangles go.
    EXPECT_EQ(CoalesceRects({{0, 0, 10, 10}, {5, 0, 15, 10}, {3, 3, 3, 9}}, 0, 8),
              (std::vector<IntRect>{{0, 0, 15, 10}}));
    EXPECT_TRUE(CoalesceRects({{4, 4, 4, 4}}, 0, 8).empty());
}

TEST(ButtonStateMachine, Transitions) {
    struct Row {
        const char* steps;  // e: enter, l: leave, p: press, r: release, d: disable, n: enable, v: show/hide
        int frame;
        bool hover;
        bool pressed;
        int clicks;
    };
    const Row rows[] = {
        {"e", 1, true, false, 0},     {"el", 0, false, false, 0},   {"ep", 2, true, true, 0},
        {"epr", 1, true, false, 1},   {"eplr", 0, false, false, 0}, {"eple", 2, true, true, 0},
        {"epler", 1, true, false, 1}, {"eprpr", 1, true, false, 2}, {"ed", 3, false, false, 0},
        {"edn", 0, false, false, 0},  {"epv", 0, false, false, 0},  {"epvr", 0, false, false, 0},
    };
    for (const Row& row : rows) {
        ButtonStateMachine button;
        int clicks = 0;
        bool enabled = true;
        for (const char* step = row.steps; *step; ++step) {
            switch (*step) {
            case 'e':
                button.Enter();
                break;
            case 'l':
                button.Leave();
                break;
            case 'p':
                button.Press();
                break;
            case 'r':
                clicks += button.Release() ? 1 : 0;
                break;
            case 'd':
                button.Reset(enabled = false);
                break;
            case 'n':
                button.Reset(enabled = true);
                break;
            case 'v':
                button.Reset(enabled);
                break;
            }
        }
        SCOPED_TRACE(row.steps);
        EXPECT_EQ(button.FrameIndex(), row.frame);
        EXPECT_EQ(button.Hover(), row.hover);
        EXPECT_EQ(button.Pressed(), row.pressed);
        EXPECT_EQ(clicks, row.clicks);
    }
}
