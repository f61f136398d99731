// keyvane-sandbox.exe without pictures (Windows): what needs them says so in one line.
// commandline_program_test holds the cases of every platform.
#include <gtest/gtest.h>

#include "sandbox_program.h"

namespace {

using namespace sandbox_test;

constexpr const char* kNeedsLinux = "pictures need the Linux build of keyvane-sandbox";
const std::string kLineEnd = testsupport::kProgramLineEnd;

TEST(WindowsProgram, SnapshotRenderAndLiveSayInOneLineThatPicturesNeedLinux) {
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

}  // namespace
