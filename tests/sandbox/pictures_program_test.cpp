// What the player sees: pictures rendered by keyvane-sandbox against tests/reference, and exact colours
// probed inside caps, away from their labels, at positions worked out by hand.
//
// A small per-channel tolerance in the comparison absorbs rasteriser rounding.
//
// With the window at its first-use place (128, 128) and the dark style's 8-pixel padding, the
// keyboard origin is (148, 160). After a deliberate change to the picture, regenerate the references
// with KEYVANE_UPDATE_REFERENCES=1 and look at every one before committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <imgui.h>

#include "sandbox/pictures/png_file.h"
#include "sandbox_program.h"

using namespace sandbox_test;
using sandbox::pictures::Picture;

namespace {

constexpr int kTolerance = 3;  // per channel

struct Colour {
    int r, g, b;
    bool operator==(const Colour&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Colour& c) {
    return out << '(' << c.r << ", " << c.g << ", " << c.b << ')';
}

constexpr Colour kBlack{0, 0, 0};
constexpr Colour kHeld{156, 156, 156};
constexpr Colour kOpaqueWindow{15, 15, 15};  // the dark style's window background, 0.06 of 255

Colour at(const Picture& picture, int x, int y) {
    const std::size_t i = (static_cast<std::size_t>(y) * picture.width + x) * 4;
    return {picture.rgba[i], picture.rgba[i + 1], picture.rgba[i + 2]};
}

// Renders with these options and checks the picture against its reference; returns the picture.
Picture renderAndCompare(const std::string& name, std::vector<std::string> options) {
    ScratchFolder folder;
    options.insert(options.begin(), {"render", "--out", "picture.png", "--home", "home"});
    const ProgramRun run = runSandbox(options, folder.path());
    EXPECT_EQ(run.status, 0) << run.err;
    Picture picture;
    std::string error;
    EXPECT_TRUE(sandbox::pictures::readPng(folder / "picture.png", picture, error)) << error;

    const std::filesystem::path reference = std::filesystem::path(KEYVANE_REFERENCE_DIR) / (name + ".png");
    if (std::getenv("KEYVANE_UPDATE_REFERENCES")) {
        std::filesystem::copy_file(folder / "picture.png", reference,
                                   std::filesystem::copy_options::overwrite_existing);
        return picture;
    }
    Picture expected;
    EXPECT_TRUE(sandbox::pictures::readPng(reference, expected, error)) << error;
    if (expected.width != picture.width || expected.height != picture.height) {
        ADD_FAILURE() << name << ": size " << picture.width << 'x' << picture.height << ", reference " << expected.width
                      << 'x' << expected.height;
        return picture;
    }
    std::size_t differing = 0;
    int firstX = -1, firstY = -1;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const Colour got = at(picture, x, y), want = at(expected, x, y);
            if (std::abs(got.r - want.r) > kTolerance || std::abs(got.g - want.g) > kTolerance ||
                std::abs(got.b - want.b) > kTolerance) {
                if (differing++ == 0) firstX = x, firstY = y;
            }
        }
    }
    EXPECT_EQ(differing, 0u) << name << ": first difference at (" << firstX << ", " << firstY << ")";
    return picture;
}

}  // namespace

TEST(Pictures, ScaleOneWithAAndTheLeftButtonHeld) {
    const Picture picture = renderAndCompare("scale-1-held", {"--scale", "1", "--hold", "A,LeftMouseButton"});
    // A cap: 253..303 x 215..265; its label sits in the middle.
    EXPECT_EQ(at(picture, 255, 217), kHeld);
    EXPECT_EQ(at(picture, 301, 263), kHeld);
    // Z cap right of it (308..358) and Q below (269..319 x 270..320) stay black.
    EXPECT_EQ(at(picture, 310, 217), kBlack);
    EXPECT_EQ(at(picture, 271, 272), kBlack);
    // Left button 648..728 x 205..405, rounded only at its top-left; the middle strip's lower half
    // 728..748 x 305..405 and the right button 748..828 stay black.
    EXPECT_EQ(at(picture, 690, 395), kHeld);
    EXPECT_EQ(at(picture, 650, 300), kHeld);
    EXPECT_EQ(at(picture, 738, 395), kBlack);
    EXPECT_EQ(at(picture, 800, 300), kBlack);
    // Outside the left button's rounded corner, the backdrop shows through the clear window.
    EXPECT_NE(at(picture, 649, 206), kHeld);
}

TEST(Pictures, HalfScale) {
    const Picture picture = renderAndCompare("scale-0.5", {"--scale", "0.5"});
    // U = 25: Tab 148..198 x 190..215, A 203..228; the mouse 398..438 x 205..305 on the left.
    EXPECT_EQ(at(picture, 150, 192), kBlack);
    EXPECT_EQ(at(picture, 205, 192), kBlack);
    EXPECT_EQ(at(picture, 420, 300), kBlack);
    // The window is 384 x 192: just below it (y 320) nothing of the overlay is drawn.
    EXPECT_NE(at(picture, 150, 330), kBlack);
}

TEST(Pictures, DoubleScaleReachesPastTheScreen) {
    const Picture picture = renderAndCompare("scale-2", {"--scale", "2"});
    // U = 100: the number row still starts 75 pixels right of the origin, One 223..323 x 160..260;
    // Tab 148..348 x 265..365; the mouse from x 1148, cut by the screen's right edge.
    EXPECT_EQ(at(picture, 226, 163), kBlack);
    EXPECT_EQ(at(picture, 152, 268), kBlack);
    EXPECT_EQ(at(picture, 346, 363), kBlack);
    EXPECT_EQ(at(picture, 1275, 600), kBlack);
}

TEST(Pictures, TransparencyZeroShowsTheBackdropBetweenCaps) {
    const Picture picture = renderAndCompare("transparency-0", {"--transparency", "0"});
    // The empty space between Ctrl (148..230) and Alt (from 285) on the bottom row (380..430), and a
    // point of the window above the number row: the backdrop unchanged, worked out by hand from its
    // gradient: (34 - 4*y/719, 48 + 44*y/719, 86 - 28*y/719), each quotient truncated, 10 more on
    // squares of 32 pixels whose column plus row is odd.
    EXPECT_EQ(at(picture, 257, 405), (Colour{32, 72, 71}));  // square (8, 12): even
    EXPECT_EQ(at(picture, 140, 140), (Colour{34, 56, 81}));  // square (4, 4): even
    EXPECT_EQ(at(picture, 170, 140), (Colour{44, 66, 91}));  // square (5, 4): odd
}

TEST(Pictures, TransparencyOneMakesTheWindowOpaque) {
    const Picture picture = renderAndCompare("transparency-1", {"--transparency", "1"});
    // The window (128, 128) to (896, 512) has the corners of the host's style: rounded by 7 pixels in
    // the host's release, square in later ones.
    const int rounding = static_cast<int>(ImGuiStyle().WindowRounding);
    EXPECT_EQ(at(picture, 257, 405), kOpaqueWindow);
    EXPECT_EQ(at(picture, 130 + rounding, 130 + rounding), kOpaqueWindow);  // inside the top-left corner
    EXPECT_EQ(at(picture, 895 - rounding, 511 - rounding), kOpaqueWindow);  // inside the bottom-right one
    EXPECT_EQ(at(picture, 895, 320), kOpaqueWindow);                        // on its right edge
    EXPECT_NE(at(picture, 897, 513), kOpaqueWindow);
    EXPECT_EQ(at(picture, 255, 217), kBlack);  // caps stay opaque black
}

// The host's release (1.75) and Debian's (1.86) draw the same picture but for the rounded top corners
// of the two outer mouse buttons, which 1.75 divides into fewer segments, and, where the window's
// background shows, its corners, which the host's default style rounds by 7 pixels and later ones not.
// Both builds' pictures match their own references above; here the references of the two releases
// are held against each other, pixel for pixel, outside those corner squares: the buttons' r x r
// (r = 40 limited to one less than the button's width and height, at the keyboard origin (148, 160):
// the mouse's top is at 205) and the 768 x 384 window's 7 x 7 at (128, 128).
TEST(Pictures, ReleasesDifferOnlyInsideTheRoundedCorners) {
    struct Case {
        const char* name;
        int left, buttonWidth, buttonHeight, stripWidth;
        bool windowShows;
    };
    constexpr int kHostWindowRounding = 7;
    for (const Case& c : {Case{"scale-1-held", 648, 80, 200, 20, false}, Case{"scale-0.5", 398, 40, 100, 10, false},
                          Case{"scale-2", 1148, 160, 400, 40, false}, Case{"transparency-0", 648, 80, 200, 20, false},
                          Case{"transparency-1", 648, 80, 200, 20, true}}) {
        const std::filesystem::path root(KEYVANE_REFERENCE_ROOT);
        Picture older, newer;
        std::string error;
        ASSERT_TRUE(sandbox::pictures::readPng(root / "imgui-1.75" / (std::string(c.name) + ".png"), older, error))
            << error;
        ASSERT_TRUE(sandbox::pictures::readPng(root / "imgui-1.86" / (std::string(c.name) + ".png"), newer, error))
            << error;
        ASSERT_EQ(older.width, newer.width);
        ASSERT_EQ(older.height, newer.height);
        const int radius = std::min({40, c.buttonWidth - 1, c.buttonHeight - 1});
        const int right = c.left + 2 * c.buttonWidth + c.stripWidth;
        auto inButtonCorner = [&](int x, int y) {
            return y >= 205 && y < 205 + radius &&
                   ((x >= c.left && x < c.left + radius) || (x >= right - radius && x < right));
        };
        auto inWindowCorner = [&](int x, int y) {
            auto nearEnd = [](int v, int low, int high) {
                return (v >= low && v < low + kHostWindowRounding) || (v >= high - kHostWindowRounding && v < high);
            };
            return c.windowShows && nearEnd(x, 128, 896) && nearEnd(y, 128, 512);
        };
        int differing = 0, inButtonCorners = 0, inWindowCorners = 0;
        for (int y = 0; y < older.height; ++y) {
            for (int x = 0; x < older.width; ++x) {
                if (at(older, x, y) == at(newer, x, y)) continue;
                ++(inButtonCorner(x, y) ? inButtonCorners : inWindowCorner(x, y) ? inWindowCorners : differing);
            }
        }
        EXPECT_EQ(differing, 0) << c.name;
        std::printf("%s: %d pixels differ inside the buttons' two %d x %d corners, %d inside the window's\n", c.name,
                    inButtonCorners, radius, radius, inWindowCorners);
        // The corners do differ: the two sets are the two releases' own pictures, not copies.
        EXPECT_GT(inButtonCorners, 0) << c.name;
        EXPECT_EQ(inWindowCorners > 0, c.windowShows) << c.name;
    }
}
