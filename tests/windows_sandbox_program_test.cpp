// keyvane-sandbox.exe on Windows: sessions play as on Linux with every frame built, the settings
// file comes out in the platform's text form, and what needs pictures says so in one line.
#include <gtest/gtest.h>

#include "sandbox_program.h"

namespace {

using namespace sandbox_test;

constexpr const char* kNeedsLinux = "pictures need the Linux build of keyvane-sandbox";
// A Windows program's standard streams are in text mode: each line it prints ends in CR LF.
constexpr const char* kLineEnd = "\r\n";

TEST(WindowsProgram, UnloadLeavesTheSettingsFileInCrLfLines)
{
    ScratchFolder folder;
    writeText(folder / "scale.session", "kvanescale 1.5\nunload\n");
    const ProgramRun run = runSandbox({"run", "scale.session", "--home", "home"}, folder.path());
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string file = readText(folder / "home" / "bakkesmod" / "cfg" / "keyvane.cfg");
    EXPECT_EQ(file, "kvanescale \"1.500000\"\r\nkvanetransparency \"0.000000\"\r\n");
    EXPECT_EQ(file.size(), 53u);
}

TEST(WindowsProgram, AMatchPlaysWithFramesDragsAndReloadsWithoutPictures)
{
    ScratchFolder folder;
    writeText(folder / "match.session",
              "game online\n"
              "wait 1.5\n"
              "hold A LeftMouseButton\n"
              "tick\n"
              "frame 3\n"
              "drag 40 20\n"
              "kvanetransparency 0.5\n"
              "unload\n"
              "load\n"
              "kvanetransparency\n");
    const ProgramRun run = runSandbox({"run", "match.session", "--home", "home"}, folder.path());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::string("kvanetransparency \"0.500000\"") + kLineEnd);
    // The drag moved the window the host keeps in its settings file.
    EXPECT_NE(readText(folder / "home" / "imgui.ini").find("[Window][Keyvane Display]"), std::string::npos);
}

TEST(WindowsProgram, SnapshotRenderAndLiveSayInOneLineThatPicturesNeedLinux)
{
    ScratchFolder folder;
    writeText(folder / "picture.session", "snapshot a.png\n");
    const ProgramRun snapshot = runSandbox({"run", "picture.session", "--home", "home"}, folder.path());
    EXPECT_EQ(snapshot.status, 2);
    EXPECT_EQ(snapshot.err, std::string("picture.session:1: snapshot: ") + kNeedsLinux + kLineEnd);

    const ProgramRun render = runSandbox({"render", "--out", "x.png"}, folder.path());
    EXPECT_EQ(render.status, 2);
    EXPECT_EQ(render.err, std::string("keyvane-sandbox: render: ") + kNeedsLinux + kLineEnd);
    EXPECT_FALSE(std::filesystem::exists(folder / "x.png"));

    const ProgramRun live = runSandbox({"live"}, folder.path());
    EXPECT_EQ(live.status, 2);
    EXPECT_EQ(live.err, std::string("keyvane-sandbox: live: ") + kNeedsLinux + kLineEnd);
}

TEST(WindowsProgram, TheConsoleReadsTheSameLanguage)
{
    ScratchFolder folder;
    writeText(folder / "input", "kvanescale 0.75\nhold Nothing\nkvanescale\n");
    const ProgramRun run = runSandbox({"console", "--home", "home"}, folder.path(), folder / "input");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.out.find("kvanescale \"0.75\""), std::string::npos) << run.out;
    EXPECT_EQ(run.err.rfind("<stdin>:2: unknown key name 'Nothing'", 0), 0u) << run.err;
}

TEST(WindowsProgram, AFileThatIsNoLibraryIsRefusedWithTheSystemsReasonInOneLine)
{
    ScratchFolder folder;
    writeText(folder / "empty.session", "");
    writeText(folder / "fake.dll", "not a library\n");
    const ProgramRun run = runSandbox({"run", "empty.session", "--module", "fake.dll", "--home", "home"}, folder.path());
    EXPECT_EQ(run.status, 2);
    const std::string expectedStart = "keyvane-sandbox: " + (folder / "fake.dll").string() + ": not a loadable module (";
    EXPECT_EQ(run.err.rfind(expectedStart, 0), 0u) << run.err;
    EXPECT_GT(run.err.size(), expectedStart.size() + 3) << run.err;   // the system's reason is there
    EXPECT_EQ(run.err.find(kLineEnd), run.err.size() - 2) << run.err;
    EXPECT_EQ(run.err.find("%1"), std::string::npos) << run.err;
}

}  // namespace
