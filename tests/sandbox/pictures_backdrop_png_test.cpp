// The sandbox's backdrop and PNG files: the backdrop never uses the two colours the overlay's caps
// are checked by, and pictures survive the trip through a file upright and exact.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "sandbox/pictures/backdrop.h"
#include "sandbox/pictures/png_file.h"
#include "support/scratch_folder.h"

using namespace sandbox::pictures;

TEST(Backdrop, CornersAreTheSkyAboveAndThePitchBelowWithTheCheckerOnOddSquares) {
    // Worked out from the gradient ends (34, 48, 86) at the top and (30, 92, 58) at the bottom,
    // with 10 added on the squares where (column + row) of 32-pixel squares is odd.
    EXPECT_EQ(backdropPixel(0, 0, 1280, 720), (Rgb{34, 48, 86}));
    EXPECT_EQ(backdropPixel(32, 0, 1280, 720), (Rgb{44, 58, 96}));
    // Row 32: 34 - 128 / 719 = 34, 48 + 1408 / 719 = 49, 86 - 896 / 719 = 85 (quotients truncated).
    EXPECT_EQ(backdropPixel(32, 32, 1280, 720), (Rgb{34, 49, 85}));
    EXPECT_EQ(backdropPixel(0, 719, 1280, 720), (Rgb{30, 92, 58}));  // 719 / 32 = 22: even
    EXPECT_EQ(backdropPixel(32, 719, 1280, 720), (Rgb{40, 102, 68}));
    // Half-way down, on square row 11 (lifted): 34 - 1440 / 719 = 32, 48 + 15840 / 719 = 70 and
    // 86 - 10080 / 719 = 72, each quotient truncated toward zero, then 10 more.
    EXPECT_EQ(backdropPixel(0, 360, 1280, 720), (Rgb{42, 80, 82}));
}

TEST(Backdrop, NeverPureBlackNorTheHeldGreyOnAnyScreen) {
    for (const auto& [width, height] :
         {std::pair{1280, 720}, std::pair{16, 16}, std::pair{1920, 1080}, std::pair{16, 8192}, std::pair{700, 1}}) {
        const auto image = backdropImage(width, height);
        ASSERT_EQ(image.size(), static_cast<std::size_t>(width) * height * 4);
        for (std::size_t at = 0; at < image.size(); at += 4) {
            const Rgb colour{image[at], image[at + 1], image[at + 2]};
            ASSERT_NE(colour, (Rgb{0, 0, 0})) << width << 'x' << height << " pixel " << at / 4;
            ASSERT_NE(colour, (Rgb{156, 156, 156})) << width << 'x' << height << " pixel " << at / 4;
            ASSERT_EQ(image[at + 3], 255);
        }
    }
}

namespace {

Picture threeByTwo() {
    // Rows top to bottom: red green blue / white black grey.
    return Picture{
        3, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255, 0, 0, 0, 255, 156, 156, 156, 255}};
}

}  // namespace

TEST(PngFiles, FlippingReversesRowsAndTwiceRestores) {
    Picture picture = threeByTwo();
    flipRows(picture);
    EXPECT_EQ(std::vector<std::uint8_t>(picture.rgba.begin(), picture.rgba.begin() + 4),
              (std::vector<std::uint8_t>{255, 255, 255, 255}));
    EXPECT_EQ(std::vector<std::uint8_t>(picture.rgba.begin() + 12, picture.rgba.begin() + 16),
              (std::vector<std::uint8_t>{255, 0, 0, 255}));
    flipRows(picture);
    EXPECT_EQ(picture.rgba, threeByTwo().rgba);

    Picture oddRows{1, 3, {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3}};
    flipRows(oddRows);
    EXPECT_EQ(oddRows.rgba, (std::vector<std::uint8_t>{3, 3, 3, 3, 2, 2, 2, 2, 1, 1, 1, 1}));
}

TEST(PngFiles, AWrittenPictureReadsBackExactlyAndMissingFoldersAreMade) {
    const testsupport::ScratchFolder folder("kv-png");
    const auto file = folder / "deeper" / "still" / "p.png";
    std::string error;
    ASSERT_TRUE(writePng(file, threeByTwo(), error)) << error;
    Picture back;
    ASSERT_TRUE(readPng(file, back, error)) << error;
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.height, 2);
    EXPECT_EQ(back.rgba, threeByTwo().rgba);
}

TEST(PngFiles, FailuresSayWhichFileInOneLine) {
    const testsupport::ScratchFolder folder("kv-png");
    std::string error;
    // A file where a folder should be.
    const auto blocker = folder / "blocker";
    ASSERT_TRUE(writePng(blocker.string() + ".png", threeByTwo(), error));
    std::filesystem::rename(blocker.string() + ".png", blocker);
    EXPECT_FALSE(writePng(blocker / "p.png", threeByTwo(), error));
    EXPECT_NE(error.find((blocker / "p.png").string()), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);

    Picture picture;
    const auto text = folder / "text.png";
    std::ofstream(text) << "not a picture\n";
    EXPECT_FALSE(readPng(text, picture, error));
    EXPECT_NE(error.find("text.png"), std::string::npos) << error;
    EXPECT_FALSE(readPng(folder / "missing.png", picture, error));
    EXPECT_NE(error.find("missing.png"), std::string::npos) << error;
}
