// keyvane-sandbox end to end where pictures are made (Linux): the demo session, pictures kept when a
// script fails, modules that render refuses, settings and window places that outlive a run, the
// default home, and the console's trace. commandline_program_test holds the cases of every platform.
#include <gtest/gtest.h>

#include <algorithm>

#include "sandbox/pictures/png_file.h"
#include "sandbox_program.h"

using namespace sandbox_test;

namespace {

bool isHeldGrey(const sandbox::pictures::Picture& picture, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * picture.width + x) * 4;
    return picture.rgba[at] == 156 && picture.rgba[at + 1] == 156 && picture.rgba[at + 2] == 156;
}

sandbox::pictures::Picture readPicture(const std::filesystem::path& file) {
    sandbox::pictures::Picture picture;
    std::string error;
    EXPECT_TRUE(sandbox::pictures::readPng(file, picture, error)) << error;
    return picture;
}

}  // namespace

TEST(Program, TheDemoSessionWritesItsPicturesAndSaysWhere) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder / "out");
    const ProgramRun run = runSandbox({"run", KEYVANE_DEMO_SESSION, "--home", "home"}, folder.path());
    ASSERT_EQ(run.status, 0) << run.err;
    // The pictures without the overlay say why, and the capture says it once per cause.
    EXPECT_EQ(run.err,
              "snapshot out/demo-menu.png: no overlay: no match is running ('game local' or 'game online' "
              "starts one)\n"
              "record out/demo.gif: no overlay from game time 1.52 s: no match is running ('game local' or "
              "'game online' starts one)\n"
              "record out/demo.gif: no overlay from game time 6.72 s: the match has ended ('match running' "
              "starts another)\n"
              "snapshot out/demo-ended.png: no overlay: the match has ended ('match running' starts another)\n");
    for (const char* name :
         {"demo-menu", "demo-idle", "demo-drive", "demo-jump", "demo-small", "demo-moved", "demo-ended"}) {
        const auto picture = folder / ("out/" + std::string(name) + ".png");
        EXPECT_TRUE(std::filesystem::is_regular_file(picture)) << picture;
        EXPECT_NE(run.out.find(picture.string()), std::string::npos) << run.out;
    }
    EXPECT_EQ(readText(folder / "home/bakkesmod/cfg/keyvane.cfg"),
              "kvanescale \"1.250000\"\nkvanetransparency \"0.500000\"\n");
}

TEST(Program, ABadLineStopsTheScriptWithItsLineNumberAndKeepsEarlierPictures) {
    ScratchFolder folder;
    writeText(folder / "bad.session", "# comment\n"
                                      "snapshot first.png\n"
                                      "hold A Shift\n"
                                      "snapshot never.png\n");
    const ProgramRun run = runSandbox({"run", "bad.session", "--home", "home"}, folder.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "snapshot first.png: no overlay: the window is not open yet (the plugin's timer opens it at "
                       "game time 1.00 s, in 1.00 s)\n"
                       "bad.session:3: unknown key name 'Shift' (did you mean LeftShift?)\n");
    EXPECT_TRUE(std::filesystem::exists(folder / "first.png"));
    EXPECT_FALSE(std::filesystem::exists(folder / "never.png"));
}

TEST(Program, AFileThatIsNotAModuleIsRefusedInOneLine) {
    ScratchFolder folder;
    writeText(folder / "fake.so", "not a library\n");
    writeText(folder / "empty.session", "");
    const ProgramRun run = runSandbox({"run", "empty.session", "--module", "fake.so", "--home", "home"}, folder.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("keyvane-sandbox: " + (folder / "fake.so").string() + ": not a loadable module", 0), 0u)
        << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;

    const ProgramRun missing =
        runSandbox({"render", "--out", "x.png", "--module", "gone.so", "--home", "home"}, folder.path());
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "keyvane-sandbox: " + (folder / "gone.so").string() + ": no such module file\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "x.png"));
}

TEST(Program, AModuleWithAnotherInterfaceVersionIsRefusedWithTheValuesFound) {
    ScratchFolder folder;
    const ProgramRun run = runSandbox(
        {"render", "--out", "x.png", "--module", KEYVANE_WRONG_VERSION_MODULE, "--home", "home"}, folder.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, std::string("keyvane-sandbox: ") + KEYVANE_WRONG_VERSION_MODULE +
                           ": plugin record has interface version 94 and kind 1; this host loads version 95, "
                           "kind 1\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "x.png"));
}

TEST(Program, SettingsAndTheWindowPlacePersistAcrossRunsInOneHome) {
    ScratchFolder folder;
    writeText(folder / "first.session", "kvanescale 0.5\n"
                                        "kvanetransparency 0.25\n"
                                        "game local\n"
                                        "wait 1.5\n"
                                        "drag 100 50\n");
    ASSERT_EQ(runSandbox({"run", "first.session", "--home", "home"}, folder.path()).status, 0);

    writeText(folder / "second.session", "kvanescale\n"
                                         "kvanetransparency\n"
                                         "game local\n"
                                         "hold A\n"
                                         "wait 1.5\n"
                                         "snapshot second.png\n");
    const ProgramRun second = runSandbox({"run", "second.session", "--home", "home"}, folder.path());
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_NE(second.out.find("0.500000"), std::string::npos) << second.out;
    EXPECT_NE(second.out.find("0.250000"), std::string::npos) << second.out;
    // At scale 0.5 the A cap spans 203..228 x 190..215 from a window at (128, 128); dragged by
    // (100, 50) it spans 303..328 x 240..265.
    const auto picture = readPicture(folder / "second.png");
    EXPECT_TRUE(isHeldGrey(picture, 305, 242));
    EXPECT_TRUE(isHeldGrey(picture, 326, 263));
    EXPECT_FALSE(isHeldGrey(picture, 205, 192));
}

TEST(Program, WithoutHomeASessionLivesInTheUsersStateFolderNamedOnceAndLeavesTheWorkingFolderAlone) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder / "work");
    writeText(folder / "work/scale.session", "kvanescale 0.5\nsnapshot out/a.png\n");
    // A picture's folder is the user's to make: the session makes none, and names the one missing.
    const ProgramRun refused = runSandbox({"run", "scale.session"}, folder / "work");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(
        refused.err.find("scale.session:2: snapshot: the folder " + (folder / "work/out").string() + " does not exist"),
        std::string::npos)
        << refused.err;
    std::filesystem::create_directory(folder / "work/out");
    const ProgramRun run = runSandbox({"run", "scale.session"}, folder / "work");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto home = stateFolderIn(folder / "work") / "keyvane-sandbox";
    EXPECT_EQ(run.err.rfind("keyvane-sandbox: home " + home.string() +
                                " (settings and window places; --home DIR for another)\nsnapshot out/a.png: no overlay",
                            0),
              0u)
        << run.err;
    EXPECT_EQ(readText(home / "bakkesmod/cfg/keyvane.cfg"),
              "kvanescale \"0.500000\"\nkvanetransparency \"0.000000\"\n");
    EXPECT_TRUE(std::filesystem::exists(home / "imgui.ini"));
    // The working folder holds the script, the picture asked for and the test's own state folder.
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "work")) {
        entries.push_back(entry.path().filename().string());
    }
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"out", "scale.session", "state"}));

    // The next run without --home finds the same settings.
    writeText(folder / "work/input", "kvanescale\n");
    const ProgramRun console = runSandbox({"console"}, folder / "work", "input");
    EXPECT_EQ(console.out, "kvanescale \"0.500000\"\n");
}

TEST(Program, TheConsoleHelpsAndQuitsAndTheTraceShowsEveryCallInItsPlace) {
    ScratchFolder folder;
    writeText(folder / "input", "help\ngame online\ntick\nhold Ctrl\nquit\nkvanescale 3\n");
    const ProgramRun run = runSandbox({"console", "--home", "home", "--trace"}, folder.path(), "input");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out.rfind("The session language", 0), 0u) << run.out;
    // The trace and the messages share standard error, each at the moment it happens.
    const std::size_t load = run.err.find("trace: GameWrapper::SetTimeout(<function>, 1)\n");
    const std::size_t tick = run.err.find("trace: GameWrapper::IsKeyPressed(");
    const std::size_t message = run.err.find("<stdin>:4: unknown key name 'Ctrl' (did you mean LeftControl?)\n");
    EXPECT_NE(load, std::string::npos) << run.err;
    EXPECT_NE(tick, std::string::npos) << run.err;
    EXPECT_NE(message, std::string::npos) << run.err;
    EXPECT_LT(load, tick);
    EXPECT_LT(tick, message);
    // One poll of the 28 watched keys in the one tick.
    std::size_t polls = 0;
    for (auto at = run.err.find("IsKeyPressed"); at != std::string::npos; at = run.err.find("IsKeyPressed", at + 1))
        ++polls;
    EXPECT_EQ(polls, 28u);
    // Nothing after quit ran: the scale is still the default.
    EXPECT_EQ(readText(folder / "home/bakkesmod/cfg/keyvane.cfg"),
              "kvanescale \"1.000000\"\nkvanetransparency \"0.000000\"\n");
}

TEST(Program, APictureWithoutTheOverlaySaysWhyFromTheHostsState) {
    ScratchFolder folder;
    writeText(folder / "hidden.session", "game online\n"
                                         "snapshot early.png\n"
                                         "record hidden.gif\n"
                                         "wait 1.5\n"
                                         "game training\n"
                                         "wait 0.5\n"
                                         "game local\n"
                                         "match ended\n"
                                         "wait 0.5\n"
                                         "record stop\n"
                                         "togglemenu keyvane\n"
                                         "snapshot closed.png --window\n");
    const ProgramRun run = runSandbox({"run", "hidden.session", "--home", "home"}, folder.path());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "snapshot early.png: no overlay: the window is not open yet (the plugin's timer opens it at game time "
              "1.00 s, in 1.00 s)\n"
              "record hidden.gif: no overlay from game time 0.02 s: the window is not open yet (the plugin's timer "
              "opens it at game time 1.00 s, in 0.98 s)\n"
              "record hidden.gif: no overlay from game time 1.52 s: the player is in custom training, and the "
              "plugin drew no window there\n"
              "record hidden.gif: no overlay from game time 2.02 s: the match has ended ('match running' starts "
              "another)\n"
              "hidden.session:12: snapshot --window: no overlay window to cut out: the window is closed ('togglemenu "
              "keyvane' opens it)\n");
}

TEST(Program, AWindowThatShowsEmptyOffScreenOrCutSaysSoFromTheUiContext) {
    ScratchFolder folder;
    writeText(folder / "shapes.session", "game online\n"
                                         "wait 1.5\n"
                                         "record shapes.gif\n"
                                         "kvanescale 1.6\n"
                                         "frame\n"
                                         "kvanescale nothing\n"
                                         "snapshot empty.png --window\n"
                                         "kvanescale 1\n"
                                         "drag 5000 5000\n"
                                         "record stop\n");
    const ProgramRun run = runSandbox({"run", "shapes.session", "--home", "home"}, folder.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "record shapes.gif: from game time 1.50 s: the overlay window is cut at the edge of the 1280x720 "
              "screen: 1152x592 of its 1228x614 pixels show (at (128, 128); a larger --screen or a drag shows it "
              "whole)\n"
              "record shapes.gif: from game time 1.50 s: the overlay window has no size: the library shows it empty "
              "at its smallest, 32x32 (kvanescale is \"nothing\"; 'kvanescale 1' gives it back its size)\n"
              "snapshot empty.png: the overlay window has no size: the library shows it empty at its smallest, 32x32 "
              "(kvanescale is \"nothing\"; 'kvanescale 1' gives it back its size)\n"
              // The recording follows the drag: first past the bottom edge, then only the kept corner.
              "record shapes.gif: from game time 1.50 s: the overlay window is cut at the edge of the 1280x720 "
              "screen: 768x381 of its 768x384 pixels show (at (339, 339); a larger --screen or a drag shows it "
              "whole)\n"
              "record shapes.gif: from game time 1.50 s: the overlay window is outside the 1280x720 screen at "
              "(704, 701): 576x19 of its 768x384 pixels show ('drag -704 -701' in a session brings it to the "
              "top-left corner; removing imgui.ini from the home puts it back in its first place)\n");
    // The place is kept: a later picture of the home says the same, and the drag it names brings it back.
    writeText(folder / "back.session", "game online\nwait 1.5\ndrag -1261 -701\nsnapshot back.png --window\n");
    const ProgramRun back = runSandbox({"run", "back.session", "--home", "home"}, folder.path());
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(back.err, "");
    EXPECT_EQ(readPicture(folder / "back.png").width, 768);
}

TEST(Program, RenderWithoutHomeUsesAFreshHomeAndLeavesTheStoredSettingsAlone) {
    ScratchFolder folder;
    writeText(folder / "input", "kvanescale 1.5\n");
    ASSERT_EQ(runSandbox({"console"}, folder.path(), "input").status, 0);
    const auto stored = stateFolderIn(folder.path()) / "keyvane-sandbox/bakkesmod/cfg/keyvane.cfg";
    const std::string before = readText(stored);

    // Success is quiet; the trace names the fresh home.
    const ProgramRun quiet = runSandbox({"render", "--out", "x.png"}, folder.path());
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
    const ProgramRun run = runSandbox({"render", "--scale", "0.75", "--out", "x.png", "--trace"}, folder.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readText(stored), before);
    const std::string start = "keyvane-sandbox: home ";
    ASSERT_EQ(run.err.rfind(start, 0), 0u) << run.err;
    const std::filesystem::path home = run.err.substr(start.size(), run.err.find(',') - start.size());
    EXPECT_NE(run.err.find("removed at the end"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(home)) << home;
    EXPECT_TRUE(std::filesystem::exists(folder / "x.png"));
}

TEST(Program, WindowPicturesHoldTheOverlaysRectangleEachPixelRepeatedByTheZoom) {
    struct Case {
        std::vector<std::string> options;
        int width, height;
    };
    // The window is 768 x 384 at scale 1; a whole screen of 320 x 180 is the zoom's only other input.
    for (const Case& shot : std::vector<Case>{{{"--window"}, 768, 384},
                                              {{"--window", "--scale", "0.5", "--zoom", "3"}, 1152, 576},
                                              {{"--screen", "320x180", "--zoom", "2"}, 640, 360}}) {
        ScratchFolder folder;
        std::vector<std::string> arguments{"render", "--out", "one.png", "--home", "home"};
        arguments.insert(arguments.end(), shot.options.begin(), shot.options.end());
        ASSERT_EQ(runSandbox(arguments, folder.path()).status, 0);
        const auto picture = readPicture(folder / "one.png");
        EXPECT_EQ(picture.width, shot.width) << shot.options[0];
        EXPECT_EQ(picture.height, shot.height) << shot.options[0];
    }
    // Zoomed, every pixel is the unzoomed picture's pixel it covers: nearest neighbour, nothing blended.
    ScratchFolder folder;
    ASSERT_EQ(
        runSandbox({"render", "--out", "one.png", "--home", "home", "--window", "--hold", "A"}, folder.path()).status,
        0);
    ASSERT_EQ(runSandbox({"render", "--out", "two.png", "--home", "home", "--window", "--hold", "A", "--zoom", "2"},
                         folder.path())
                  .status,
              0);
    const auto one = readPicture(folder / "one.png");
    const auto two = readPicture(folder / "two.png");
    ASSERT_EQ(two.width, one.width * 2);
    std::size_t differing = 0;
    for (int y = 0; y < two.height; ++y) {
        for (int x = 0; x < two.width; ++x) {
            const std::size_t big = (static_cast<std::size_t>(y) * two.width + x) * 4;
            const std::size_t small = (static_cast<std::size_t>(y / 2) * one.width + x / 2) * 4;
            differing += !std::equal(&two.rgba[big], &two.rgba[big] + 4, &one.rgba[small]);
        }
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_TRUE(isHeldGrey(two, 262, 186));  // the A cap, above its label, at (131, 93) in the window

    // A capture of the window alone holds it in every frame: at scale 0.5 (384 x 192 at (128, 128))
    // dragged by (100, 50), then zoomed twice; the whole-screen file it was cut from is gone.
    writeText(folder / "moving.session", "game online\nkvanescale 0.5\nwait 1.5\nrecord moving.gif --window --zoom 2\n"
                                         "drag 100 50\nrecord stop\n");
    const ProgramRun moving = runSandbox({"run", "moving.session", "--home", "moving"}, folder.path());
    ASSERT_EQ(moving.status, 0) << moving.err;
    const std::string gif = readText(folder / "moving.gif");
    ASSERT_GT(gif.size(), 10u);
    const auto side = [&](std::size_t at) {
        return static_cast<unsigned char>(gif[at]) | static_cast<unsigned char>(gif[at + 1]) << 8;
    };
    EXPECT_EQ(side(6), (384 + 100) * 2);
    EXPECT_EQ(side(8), (192 + 50) * 2);
    EXPECT_FALSE(std::filesystem::exists(folder / ".moving.gif.whole"));
}

TEST(Program, APictureOrCaptureThatCannotBeWrittenWholeLeavesTheOldFileAndNoTemporary) {
    ScratchFolder folder;
    ASSERT_EQ(runSandbox({"render", "--out", "pic.png", "--home", "home"}, folder.path()).status, 0);
    const std::string picture = readText(folder / "pic.png");
    writeText(folder / "cap.gif", "an earlier capture");
    writeText(folder / "big.session", "kvanescale 3\nrecord cap.gif\nframe 3\nrecord stop\n");
    // bash counts the limit in KiB: 4 hold the settings and the window places, no picture.
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"render", "--scale", "0.5", "--out", "pic.png", "--home", "home"},
                                               {"run", "big.session", "--home", "home"}}) {
        const ProgramRun run = runSandboxInShell("ulimit -f 4; exec \"$@\"", arguments, folder.path());
        EXPECT_EQ(run.status, 2) << arguments[0] << ": " << run.err;
        EXPECT_NE(run.err.find("file too large"), std::string::npos) << run.err;
    }
    EXPECT_EQ(readText(folder / "pic.png"), picture);
    EXPECT_EQ(readText(folder / "cap.gif"), "an earlier capture");
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        entries.push_back(entry.path().filename().string());
    }
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"big.session", "cap.gif", "home", "pic.png"}));
}

TEST(Program, AReaderThatClosesTheOutputStopsTheConsoleAsSigtermDoesWithTheCaptureFinishedAndSettingsSaved) {
    ScratchFolder folder;
    std::string input = "record cap.gif\nkvanescale 1.5\n";
    // Replies enough to find the pipe closed long after head has read its 10 bytes and gone.
    for (int i = 0; i < 300; ++i) input += "frame 2\nkvanescale\n";
    writeText(folder / "input", input);
    const ProgramRun run = runSandboxInShell("\"$@\" <input | head -c 10 >/dev/null; echo \"${PIPESTATUS[0]}\"",
                                             {"console", "--home", "home"}, folder.path());
    EXPECT_EQ(run.out, "141\n");
    const std::string stopped = "keyvane-sandbox: stopped by SIGPIPE (standard output was closed)\n";
    EXPECT_EQ(run.err.substr(run.err.size() - std::min(run.err.size(), stopped.size())), stopped) << run.err;
    const std::string capture = readText(folder / "cap.gif");
    EXPECT_EQ(capture.rfind("GIF89a", 0), 0u);
    EXPECT_EQ(capture.back(), ';');  // the trailer that ends every complete GIF
    EXPECT_EQ(readText(folder / "home/bakkesmod/cfg/keyvane.cfg"),
              "kvanescale \"1.500000\"\nkvanetransparency \"0.000000\"\n");
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "home/imgui.ini"));
}
