// Animated captures: what GifRecording writes, read back with giflib's own decoder, and the
// session's 'record' ... 'record stop' from a script.
#include <gtest/gtest.h>

#include <gif_lib.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "sandbox/pictures/gif_recording.h"
#include "sandbox/pictures/png_file.h"
#include "sandbox_program.h"
#include "support/posix_process.h"

using namespace sandbox::pictures;
using sandbox_test::ScratchFolder;

namespace {

// A GIF as a viewer shows it: every frame drawn over the ones before, with its delay.
struct ShownGif {
    int width = 0;
    int height = 0;
    bool loopsForever = false;
    std::vector<Picture> frames;
    std::vector<int> delays;               // hundredths of a second
    std::vector<GifImageDesc> rectangles;  // the part each frame stores
};

bool isLoopBlock(const ExtensionBlock* blocks, int count) {
    for (int i = 0; i + 1 < count; ++i) {
        if (blocks[i].Function == APPLICATION_EXT_FUNC_CODE && blocks[i].ByteCount == 11 &&
            std::memcmp(blocks[i].Bytes, "NETSCAPE2.0", 11) == 0 && blocks[i + 1].ByteCount == 3 &&
            blocks[i + 1].Bytes[0] == 1 && blocks[i + 1].Bytes[1] == 0 && blocks[i + 1].Bytes[2] == 0) {
            return true;
        }
    }
    return false;
}

ShownGif readGif(const std::filesystem::path& file) {
    ShownGif shown;
    int code = 0;
    GifFileType* gif = DGifOpenFileName(file.c_str(), &code);
    if (!gif) {
        ADD_FAILURE() << file << ": " << GifErrorString(code);
        return shown;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        ADD_FAILURE() << file << ": " << GifErrorString(gif->Error);
        DGifCloseFile(gif, &code);
        return shown;
    }
    shown.width = gif->SWidth;
    shown.height = gif->SHeight;
    shown.loopsForever = isLoopBlock(gif->ExtensionBlocks, gif->ExtensionBlockCount);
    Picture canvas{shown.width, shown.height,
                   std::vector<std::uint8_t>(static_cast<std::size_t>(shown.width) * shown.height * 4, 0)};
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        shown.loopsForever = shown.loopsForever || isLoopBlock(image.ExtensionBlocks, image.ExtensionBlockCount);
        GraphicsControlBlock control{};
        EXPECT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK);
        EXPECT_EQ(control.DisposalMode, DISPOSE_DO_NOT);
        const ColorMapObject* table = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        const GifImageDesc& rect = image.ImageDesc;
        for (int y = 0; y < rect.Height; ++y) {
            for (int x = 0; x < rect.Width; ++x) {
                const GifColorType colour = table->Colors[image.RasterBits[y * rect.Width + x]];
                auto* pixel = &canvas.rgba[(static_cast<std::size_t>(rect.Top + y) * shown.width + rect.Left + x) * 4];
                pixel[0] = colour.Red;
                pixel[1] = colour.Green;
                pixel[2] = colour.Blue;
                pixel[3] = 255;
            }
        }
        shown.frames.push_back(canvas);
        shown.delays.push_back(control.DelayTime);
        shown.rectangles.push_back(rect);
    }
    DGifCloseFile(gif, &code);
    return shown;
}

// A flat picture with one square of another colour.
Picture squareOn(int width, int height, std::uint8_t ground, int squareX, std::uint8_t square) {
    Picture picture{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool inside = x >= squareX && x < squareX + 4 && y >= 2 && y < 6;
            auto* pixel = &picture.rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            pixel[0] = pixel[1] = pixel[2] = inside ? square : ground;
            pixel[3] = 255;
        }
    }
    return picture;
}

std::unique_ptr<GifRecording> started(const std::filesystem::path& file, int width, int height) {
    std::string error;
    auto recording = GifRecording::start(file, width, height, error);
    EXPECT_NE(recording, nullptr) << error;
    return recording;
}

void add(GifRecording& recording, const Picture& picture, int frames, double rate) {
    std::string error;
    for (int i = 0; i < frames; ++i) ASSERT_TRUE(recording.addFrame(picture, 1.0 / rate, error)) << error;
}

// Runs the program in `folder` as a child a test can signal, with the null device as standard input
// and its output in files there. A hang shows as a child still running when the test gives up.
std::function<void()> sandboxIn(const std::filesystem::path& folder, std::vector<std::string> arguments) {
    return [folder, arguments] {
        if (::chdir(folder.c_str()) != 0) ::_exit(127);
        ::dup2(::open("/dev/null", O_RDONLY), 0);
        ::dup2(::open(".program-out", O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(".program-err", O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        std::vector<char*> argv{const_cast<char*>(KEYVANE_SANDBOX_PROGRAM)};
        for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(KEYVANE_SANDBOX_PROGRAM, argv.data());
        ::_exit(127);
    };
}

constexpr auto kHangBound = std::chrono::seconds(60);

// Whether a file whose name starts with prefix appears in folder before the time is up.
bool appearsWithin(const std::filesystem::path& folder, const std::string& prefix, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (; std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().filename().string().starts_with(prefix)) return true;
        }
    }
    return false;
}

}  // namespace

TEST(GifRecording, StillFramesBecomeOneFrameThatLastsAsLongAndLaterFramesHoldOnlyWhatChanged) {
    ScratchFolder folder;
    const Picture idle = squareOn(32, 16, 40, 4, 0);
    const Picture held = squareOn(32, 16, 40, 4, 156);
    const Picture moved = squareOn(32, 16, 40, 20, 156);
    {
        auto recording = started(folder / "out/a.gif", 32, 16);  // its folder is made
        add(*recording, idle, 30, 60.0);                         // half a second at 60 frames a second
        add(*recording, held, 15, 60.0);                         // a quarter
        add(*recording, moved, 60, 60.0);                        // a second
        std::string error;
        ASSERT_TRUE(recording->finish(error)) << error;
    }
    const ShownGif shown = readGif(folder / "out/a.gif");
    EXPECT_EQ(shown.width, 32);
    EXPECT_EQ(shown.height, 16);
    EXPECT_TRUE(shown.loopsForever);
    ASSERT_EQ(shown.frames.size(), 3u);
    EXPECT_EQ(shown.delays, (std::vector<int>{50, 25, 100}));
    EXPECT_EQ(shown.frames[0].rgba, idle.rgba);  // few colours: kept exactly
    EXPECT_EQ(shown.frames[1].rgba, held.rgba);
    EXPECT_EQ(shown.frames[2].rgba, moved.rgba);
    // Frame 2 stores the 4x4 square alone; frame 3 the span from the old square to the new one.
    EXPECT_EQ(shown.rectangles[1].Left, 4);
    EXPECT_EQ(shown.rectangles[1].Top, 2);
    EXPECT_EQ(shown.rectangles[1].Width, 4);
    EXPECT_EQ(shown.rectangles[1].Height, 4);
    EXPECT_EQ(shown.rectangles[2].Left, 4);
    EXPECT_EQ(shown.rectangles[2].Width, 20);
}

TEST(GifRecording, FramesTooShortForABrowserGiveWayToTheNextWithoutLosingTime) {
    ScratchFolder folder;
    {
        auto recording = started(folder / "fast.gif", 16, 8);
        // At 100 frames a second each frame would last one hundredth, which browsers stretch.
        for (int i = 0; i < 9; ++i)
            add(*recording, squareOn(16, 8, 40, i % 3, static_cast<std::uint8_t>(100 + i)), 1, 100.0);
        add(*recording, squareOn(16, 8, 40, 8, 200), 40, 100.0);
        std::string error;
        ASSERT_TRUE(recording->finish(error)) << error;
    }
    const ShownGif shown = readGif(folder / "fast.gif");
    ASSERT_FALSE(shown.delays.empty());
    int total = 0;
    for (int delay : shown.delays) {
        EXPECT_GE(delay, kShortestGifFrameCentiseconds);
        total += delay;
    }
    EXPECT_EQ(total, 49);  // nine hundredths, then forty
    EXPECT_EQ(shown.frames.back().rgba, squareOn(16, 8, 40, 8, 200).rgba);
}

TEST(GifRecording, APictureOfManyColoursIsReducedToCloseOnes) {
    ScratchFolder folder;
    Picture gradient{64, 64, std::vector<std::uint8_t>(64 * 64 * 4)};
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            auto* pixel = &gradient.rgba[(static_cast<std::size_t>(y) * 64 + x) * 4];
            pixel[0] = static_cast<std::uint8_t>(x * 4);
            pixel[1] = static_cast<std::uint8_t>(y * 4);
            pixel[2] = static_cast<std::uint8_t>((x + y) * 2);
            pixel[3] = 255;
        }
    }
    {
        auto recording = started(folder / "many.gif", 64, 64);
        add(*recording, gradient, 1, 10.0);
        std::string error;
        ASSERT_TRUE(recording->finish(error)) << error;
    }
    const ShownGif shown = readGif(folder / "many.gif");
    ASSERT_EQ(shown.frames.size(), 1u);
    long error = 0;
    int worst = 0;
    for (std::size_t i = 0; i < gradient.rgba.size(); ++i) {
        const int off = std::abs(shown.frames[0].rgba[i] - gradient.rgba[i]);
        error += off;
        worst = std::max(worst, off);
    }
    const double meanError = static_cast<double>(error) / static_cast<double>(gradient.rgba.size());
    EXPECT_LE(meanError, 6.0);  // 4096 colours in 256: median cut keeps them close on average
    EXPECT_GT(worst, 0);
}

TEST(GifRecording, AFileThatCannotBeMadeIsRefusedWithItsReason) {
    ScratchFolder folder;
    sandbox_test::writeText(folder / "plain", "x");
    std::string error;
    EXPECT_EQ(GifRecording::start(folder / "plain/a.gif", 8, 8, error), nullptr);
    EXPECT_EQ(error, "cannot create " + (folder / "plain/a.gif").string() + ": not a directory");
    std::filesystem::create_directory(folder / "taken.gif");
    EXPECT_EQ(GifRecording::start(folder / "taken.gif", 8, 8, error), nullptr);
    EXPECT_EQ(error, (folder / "taken.gif").string() + ": it is a folder");
    std::string sizeError;
    auto recording = started(folder / "sized.gif", 8, 8);
    EXPECT_FALSE(recording->addFrame(squareOn(16, 8, 1, 1, 2), 0.1, sizeError));
    EXPECT_NE(sizeError, "");
}

TEST(GifRecording, ASessionRecordsWhatItDrawsUpToItsLastPicture) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder / "out");
    sandbox_test::writeText(folder / "rec.session", "wait 1.5\n"
                                                    "record out/rec.gif\n"
                                                    "game online\n"
                                                    "wait 0.5\n"
                                                    "hold A LeftMouseButton\n"
                                                    "wait 0.5\n"
                                                    "snapshot out/last.png\n"
                                                    "record stop\n"
                                                    "record stop\n");
    const auto run = sandbox_test::runSandbox({"run", "rec.session", "--home", "home"}, folder.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "rec.session:9: record stop: nothing is being recorded\n");
    EXPECT_NE(run.out.find((folder / "out/rec.gif").string()), std::string::npos) << run.out;
    const ShownGif shown = readGif(folder / "out/rec.gif");
    // The overlay with no key held for half a second, then the held keys for half a second and the
    // snapshot's frame: 0.5 s + 0.5 s + 1/60 s ends at 102 hundredths.
    ASSERT_EQ(shown.frames.size(), 2u);
    EXPECT_EQ(shown.delays, (std::vector<int>{50, 52}));
    EXPECT_EQ(shown.width, 1280);
    EXPECT_EQ(shown.height, 720);
    Picture last;
    std::string error;
    ASSERT_TRUE(readPng(folder / "out/last.png", last, error)) << error;
    EXPECT_EQ(shown.frames.back().rgba, last.rgba);

    // A session that ends while recording finishes the file itself.
    sandbox_test::writeText(folder / "open.session", "record open.gif\nframe 3\n");
    ASSERT_EQ(sandbox_test::runSandbox({"run", "open.session", "--home", "home"}, folder.path()).status, 0);
    EXPECT_EQ(readGif(folder / "open.gif").frames.size(), 1u);
}

TEST(GifRecording, AStopSignalEndsALongWaitAtOnceWithTheCaptureFinishedAndTheSettingsSaved) {
    for (const auto& [signalNumber, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        ScratchFolder folder;
        sandbox_test::writeText(folder / "long.session", "record cap.gif\nwait 3600\n");
        testsupport::ChildProcess child(sandboxIn(folder.path(), {"run", "long.session", "--home", "home"}));
        ASSERT_TRUE(child.started());
        // The capture is written beside its name until it ends: its temporary shows the wait has begun.
        ASSERT_TRUE(appearsWithin(folder.path(), "cap.gif.", kHangBound)) << signalNumber;
        child.send(signalNumber);
        EXPECT_EQ(child.waitWithin(kHangBound), status) << signalNumber;
        EXPECT_EQ(readGif(folder / "cap.gif").frames.size(), 1u) << signalNumber;
        EXPECT_TRUE(std::filesystem::exists(folder / "home/bakkesmod/cfg/keyvane.cfg")) << signalNumber;
    }
}

TEST(GifRecording, ClosedStandardStreamsNeverReachTheCapture) {
    ScratchFolder folder;
    sandbox_test::writeText(folder / "s.session", "record cap.gif\nkvanescale\nframe 2\nrecord stop\nnosuchword\n");
    const std::string command = "cd '" + folder.path().string() +
                                "' && exec '" KEYVANE_SANDBOX_PROGRAM "' run s.session --home home <&- >&- 2>&-";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 2);
    EXPECT_EQ(readGif(folder / "cap.gif").frames.size(), 1u);
}

TEST(GifRecording, PipesInTheHomeOrAsPicturesAreLeftAloneWithAWarningAndNeverHang) {
    ScratchFolder folder;
    std::filesystem::create_directories(folder / "home");
    ASSERT_TRUE(testsupport::makeFifo(folder / "home/imgui.ini"));
    ASSERT_TRUE(testsupport::makeFifo(folder / "pipe.gif"));
    ASSERT_TRUE(testsupport::makeFifo(folder / "pipe.png"));
    const std::pair<std::string, std::string> scripts[] = {
        {"frame 2\nrecord pipe.gif\n", "s.session:2: record: " + (folder / "pipe.gif").string()},
        {"snapshot pipe.png\n", "s.session:1: snapshot: " + (folder / "pipe.png").string()},
    };
    for (const auto& [script, refusal] : scripts) {
        sandbox_test::writeText(folder / "s.session", script);
        testsupport::ChildProcess child(sandboxIn(folder.path(), {"run", "s.session", "--home", "home"}));
        EXPECT_EQ(child.waitWithin(kHangBound), 2) << script;
        EXPECT_EQ(sandbox_test::readText(folder / ".program-err"),
                  "keyvane-sandbox: " + (folder / "home/imgui.ini").string() +
                      " is a named pipe, not a file; window places are neither read nor saved\n" + refusal +
                      " is a named pipe, not a file; nothing was written\n");
    }
    for (const char* pipe : {"home/imgui.ini", "pipe.gif", "pipe.png"}) {
        EXPECT_TRUE(std::filesystem::is_fifo(folder / pipe)) << pipe;
    }
}
