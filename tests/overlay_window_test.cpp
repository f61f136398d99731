// The overlay window: its size, place, flags, border and background as the library holds them after
// a frame, and the open/close protocol and game-state gate as the host's journal shows them.
#include <cmath>

#include <gtest/gtest.h>

#include "support/config_text.h"
#include "support/overlay_frame.h"

namespace {

using sandbox::GameMode;
using sandbox::JournalEntry;
using testsupport::OverlaySession;

// The window background's colour, or 0 when the library drew none. The background comes first and
// is left out when clear, so its vertices are those beyond a frame with a clear background's; their
// number depends on the release (the host's rounds a window's corners by default).
ImU32 backgroundColour(OverlaySession& session, int clearFrameVertices) {
    const auto& v = session.window()->DrawList->VtxBuffer;
    return v.Size > clearFrameVertices ? v[0].col : 0;
}

TEST(OverlayWindow, SizeFollowsTheScaleWhileTheFirstPositionDoesNot) {
    OverlaySession session;
    for (auto [text, width, height] : {std::tuple{"1.0", 768.0f, 384.0f}, std::tuple{"0.5", 384.0f, 192.0f},
                                       std::tuple{"2.0", 1536.0f, 768.0f}, std::tuple{"0.25", 192.0f, 96.0f}}) {
        session.set(std::string("kvanescale ") + text);
        session.frame();
        ImGuiWindow* window = session.window();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->Size.x, width) << text;
        EXPECT_EQ(window->Size.y, height) << text;
        EXPECT_EQ(window->Pos.x, 128.0f);
        EXPECT_EQ(window->Pos.y, 128.0f);
    }
}

TEST(OverlayWindow, ADraggedWindowStaysWhereTheUserLeftIt) {
    OverlaySession session;
    session.frame();
    // Drag it by the mouse, as a user would: press inside, move, release.
    session.ui->setMouse(ImVec2(400, 300), false);
    session.frame();
    session.ui->setMouse(ImVec2(400, 300), true);
    session.frame();
    session.ui->setMouse(ImVec2(250, 420), true);
    session.frame();
    session.ui->setMouse(ImVec2(250, 420), false);
    session.frame();
    for (int i = 0; i < 3; ++i) session.frame();
    EXPECT_EQ(session.window()->Pos.x, -22.0f);
    EXPECT_EQ(session.window()->Pos.y, 248.0f);
}

TEST(OverlayWindow, HasItsThreeFlagsNoBorderAndGivesTheStyleBack) {
    OverlaySession session;
    session.frame();
    ImGuiWindow* window = session.window();
    EXPECT_EQ(window->Flags, ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse);
    EXPECT_EQ(window->WindowBorderSize, 0.0f);
    EXPECT_EQ(session.style().WindowBorderSize, 1.0f);  // the host's own value again
    ImGui::SetCurrentContext(session.ui->context());
    EXPECT_EQ(testsupport::pushedStyleVariables(*GImGui), 0);
    EXPECT_TRUE(window->Collapsed == false && window->Hidden == false);
}

TEST(OverlayWindow, BackgroundAlphaIsTheTransparencyClampedAndNanIsClear) {
    OverlaySession session;
    session.frame();  // the default transparency, 0
    const int clearFrameVertices = session.window()->DrawList->VtxBuffer.Size;
    struct Case {
        const char* value;
        int alpha;
    };
    for (const Case& c : {Case{"0", 0}, Case{"0.5", 128}, Case{"1", 255}, Case{"2", 255}, Case{"-1", 0}, Case{"nan", 0},
                          Case{"inf", 255}, Case{"-inf", 0}}) {
        session.set(std::string("kvanetransparency ") + c.value);
        session.frame();
        ASSERT_TRUE(session.drawnInLastFrame()) << c.value;
        const ImU32 colour = backgroundColour(session, clearFrameVertices);
        EXPECT_EQ(static_cast<int>(colour >> IM_COL32_A_SHIFT), c.alpha) << c.value;
        if (c.alpha > 0) {
            // The dark style's window background (0.06 grey), only its alpha replaced.
            EXPECT_EQ(colour & 0x00FFFFFFu, IM_COL32(15, 15, 15, 0)) << c.value;
        }
    }
}

TEST(OverlayWindow, AtScaleQuarterTheMouseReachesPastTheWindowAndIsClipped) {
    OverlaySession session;
    session.set("kvanescale 0.25");
    session.frame();
    ImGuiWindow* window = session.window();
    const ImDrawList& drawn = *window->DrawList;
    const float windowBottom = window->Pos.y + 96.0f;
    const ImDrawCmd& last = drawn.CmdBuffer.back();
    EXPECT_LE(last.ClipRect.w, windowBottom);
    // The mouse's bottom edge lies 24 + 45 + 50 = 119 below the content origin (136, 136): its
    // lower strip, L = truncate(125 + 148) = 273, G = 293, S = 5, reaches down to 255, unclipped.
    EXPECT_TRUE(testsupport::holdsRect(drawn, ImVec2(293.0f, 230.0f), ImVec2(298.0f, 255.0f), testsupport::kIdle));
    EXPECT_GT(255.0f, windowBottom);
}

// --- the protocol, through the host's journal ----------------------------------------------------

std::vector<JournalEntry> journalOfOneFrame(OverlaySession& session) {
    const auto start = session.host.journal().size();
    session.frame();
    return session.journalSince(start);
}

const JournalEntry kToggle{"CVarManagerWrapper::executeCommand", {"togglemenu keyvane", "true"}};
const JournalEntry kTraining{"GameWrapper::IsInCustomTraining", {}};
const JournalEntry kOnline{"GameWrapper::IsInOnlineGame", {}};
const JournalEntry kInGame{"GameWrapper::IsInGame", {}};
const JournalEntry kOnlineMatch{"GameWrapper::GetOnlineGame", {}};
const JournalEntry kHostedMatch{"GameWrapper::GetGameEventAsServer", {}};
const JournalEntry kNullTest{"ActorWrapper::IsNull", {"match"}};
const JournalEntry kNullTestOfNull{"ActorWrapper::IsNull", {"null"}};
const JournalEntry kEnded{"ServerWrapper::GetbMatchEnded", {"match"}};

TEST(OverlayProtocol, TheTimerOpensTheWindowOneSecondAfterLoad) {
    testsupport::PluginSession session(true, true);
    session.load();
    EXPECT_FALSE(session.keyvane().windowOpen);
    const auto start = session.host.journal().size();
    session.host.advance(0.99);
    EXPECT_FALSE(session.host.isWindowOpen("keyvane"));
    session.host.advance(0.01);
    EXPECT_EQ(session.journalSince(start), (std::vector<JournalEntry>{kToggle}));
    // The host opens it on the drawing thread, at the start of its next pass.
    EXPECT_FALSE(session.keyvane().windowOpen);
    session.ui->frame(session.host);
    EXPECT_TRUE(session.host.isWindowOpen("keyvane"));
    EXPECT_TRUE(session.keyvane().windowOpen);
}

TEST(OverlayProtocol, AClosedFlagAsksTheHostToCloseAndDrawsNothing) {
    OverlaySession session;
    session.frame();
    session.module->window()->OnClose();  // the plugin's view and the host's disagree
    EXPECT_EQ(journalOfOneFrame(session), (std::vector<JournalEntry>{kToggle}));
    EXPECT_FALSE(session.drawnInLastFrame());
    // The host closed its window at the end of that frame; the next frames call nothing.
    EXPECT_FALSE(session.host.isWindowOpen("keyvane"));
    EXPECT_TRUE(journalOfOneFrame(session).empty());
}

TEST(OverlayProtocol, TheGateAsksInItsOrderAndDrawsOnlyInARunningMatch) {
    OverlaySession session;
    struct Case {
        GameMode mode;
        bool ended;
        std::vector<JournalEntry> calls;
        bool drawn;
    };
    const Case cases[] = {
        {GameMode::CustomTraining, false, {kTraining}, false},
        {GameMode::OnlineMatch, false, {kTraining, kOnline, kOnlineMatch, kNullTest, kEnded}, true},
        {GameMode::LocalMatch, false, {kTraining, kOnline, kInGame, kHostedMatch, kNullTest, kEnded}, true},
        {GameMode::Menu, false, {kTraining, kOnline, kInGame, kNullTestOfNull}, false},
        {GameMode::OnlineMatch, true, {kTraining, kOnline, kOnlineMatch, kNullTest, kEnded}, false},
        {GameMode::LocalMatch, true, {kTraining, kOnline, kInGame, kHostedMatch, kNullTest, kEnded}, false},
    };
    for (const Case& c : cases) {
        session.host.setGameMode(c.mode);
        session.host.setMatchEnded(c.ended);
        EXPECT_EQ(journalOfOneFrame(session), c.calls) << static_cast<int>(c.mode) << " ended " << c.ended;
        EXPECT_EQ(session.drawnInLastFrame(), c.drawn) << static_cast<int>(c.mode) << " ended " << c.ended;
    }
}

TEST(OverlayProtocol, FixedAnswersInEveryStateAndIdempotentOpenClose) {
    testsupport::PluginSession session(true, true);
    session.load();
    auto* window = session.module->window();
    ASSERT_NE(window, nullptr);
    auto check = [&] {
        EXPECT_FALSE(window->ShouldBlockInput());
        EXPECT_FALSE(window->IsActiveOverlay());
        EXPECT_EQ(window->GetMenuName(), "keyvane");
        EXPECT_EQ(window->GetMenuTitle(), "Keyvane Display");
    };
    check();
    window->OnOpen();
    window->OnOpen();
    EXPECT_TRUE(session.keyvane().windowOpen);
    check();
    window->OnClose();
    window->OnClose();
    EXPECT_FALSE(session.keyvane().windowOpen);
    check();
}

// --- console values that must never take the game down --------------------------------------------

TEST(OverlayBadSettings, AnyScaleOrTransparencyLeavesTheGameRunning) {
    OverlaySession session;
    session.host.setKeyHeld("A", true);
    session.host.setKeyHeld("RightMouseButton", true);
    session.host.fireEvent(testsupport::kTickEvent);
    struct Case {
        const char* scale;
        bool drawn;
    };
    // Scales whose window would be 2^30 pixels wide or more are not drawn: the library's whole
    // pixels are 32-bit integers. 1398101 * 768 is just below 2^30.
    for (const Case& c :
         {Case{"nan", false}, Case{"inf", false}, Case{"-inf", false}, Case{"1e30", false}, Case{"-1e30", false},
          Case{"3e9", false}, Case{"1398102", false}, Case{"1398101", true}, Case{"-1398101", true}, Case{"-5", true},
          Case{"0", true}, Case{"banana", true}, Case{"1", true}}) {
        session.set(std::string("kvanescale ") + c.scale);
        for (const char* transparency : {"nan", "inf", "-1", "2", "0.5"}) {
            session.set(std::string("kvanetransparency ") + transparency);
            session.frame();
            EXPECT_EQ(session.drawnInLastFrame(), c.drawn) << c.scale << " / " << transparency;
            if (!c.drawn) continue;
            for (const auto& vertex : session.window()->DrawList->VtxBuffer) {
                ASSERT_TRUE(std::isfinite(vertex.pos.x) && std::isfinite(vertex.pos.y))
                    << c.scale << " / " << transparency;
            }
        }
    }
    // What the console gave is kept as given, in the fields and in the file.
    session.set("kvanescale nan");
    EXPECT_TRUE(std::isnan(session.keyvane().scale.load()));
    EXPECT_EQ(testsupport::readFile(session.home.configFile()), testsupport::configText("nan", "0.500000"));
}

}  // namespace
