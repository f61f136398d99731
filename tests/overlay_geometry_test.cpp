// The overlay's picture, read back from the window's draw list after a real frame: every cap, text
// and mouse part in order, with its corners, colour and rounding, at the worked scales.
#include <set>

#include <gtest/gtest.h>

#include "support/overlay_frame.h"

namespace {

using testsupport::capsAt;
using testsupport::drawExpected;
using testsupport::ExpectedOverlay;
using testsupport::kHeld;
using testsupport::kIdle;
using testsupport::kScale1;
using testsupport::Layout;
using testsupport::OverlaySession;
using testsupport::ReferenceDrawing;

const Layout kScale075{0.75f,
                       37,
                       capsAt(37, {0, 42, 84, 126, 168}, {75, 117, 159, 201, 243}, 74, {79, 121, 163, 205, 247}, 87,
                              {92, 134, 176, 218, 260}, 99, {104, 146, 188, 230}, 61, 103, 169, 153),
                       {375, 60, 150, 15.0f}};
const Layout kScale2{2.0f,
                     100,
                     capsAt(100, {0, 105, 210, 315, 420}, {75, 180, 285, 390, 495}, 200, {205, 310, 415, 520, 625}, 232,
                            {237, 342, 447, 552, 657}, 264, {269, 374, 479, 584}, 164, 269, 438, 405),
                     {1000, 160, 400, 40.0f}};
// Below 0.02 the key unit is 0: caps collapse but keep their 5-pixel gaps and their texts.
const Layout kScale001{0.01f,
                       0,
                       capsAt(0, {0, 5, 10, 15, 20}, {75, 80, 85, 90, 95}, 0, {5, 10, 15, 20, 25}, 1,
                              {6, 11, 16, 21, 26}, 1, {6, 11, 16, 21}, 0, 5, 10, 5),
                       {5, 0, 2, 0.01f * 20.0f}};

struct OverlayGeometry : ::testing::TestWithParam<Layout> {};

TEST_P(OverlayGeometry, EveryCapTextAndMousePartSitsWhereTheLayoutPutsIt) {
    const Layout& layout = GetParam();
    OverlaySession session;
    char command[64];
    std::snprintf(command, sizeof command, "kvanescale %.9g", static_cast<double>(layout.scale));
    session.set(command);
    for (const std::set<std::string>& held :
         {std::set<std::string>{},
          {"A"},
          {"LeftMouseButton", "SpaceBar"},
          {"MiddleMouseButton"},
          {"One", "Tab", "CapsLock", "LeftShift", "LeftControl", "LeftAlt", "RightMouseButton", "V"}}) {
        for (const auto& key : sandbox::Host::keyNames()) session.host.setKeyHeld(key, held.count(key) > 0);
        session.host.fireEvent(testsupport::kTickEvent);
        session.frame();
        ASSERT_TRUE(session.drawnInLastFrame());
        const ImVec2 origin = session.keyboardOrigin();
        ASSERT_EQ(origin.x, 148.0f);  // (128, 128) + padding (8, 8) + (12, 24)
        ASSERT_EQ(origin.y, 160.0f);
        const ImDrawList& drawn = *session.window()->DrawList;
        ExpectedOverlay shapes;
        drawExpected(shapes, layout, origin, held);
        const ReferenceDrawing expected(drawn, shapes);
        // Transparency 0: the library draws no background at all.
        EXPECT_TRUE(testsupport::drawsExactly(drawn, expected, 0)) << "scale " << layout.scale;
    }
}

std::string scaleName(const ::testing::TestParamInfo<Layout>& param) {
    const char* names[] = {"Scale1", "Scale075", "Scale2", "Scale001"};
    return names[param.index];
}

INSTANTIATE_TEST_SUITE_P(WorkedScales, OverlayGeometry, ::testing::Values(kScale1, kScale075, kScale2, kScale001),
                         scaleName);

TEST(OverlayOrigin, AFractionalOriginIsKeptByTheNumberRowAndTruncatedElsewhere) {
    OverlaySession session;
    session.style().WindowPadding = ImVec2(8.7f, 8.5f);
    session.frame();
    session.moveWindowTo(ImVec2(0.0f, 68.0f));
    session.frame();
    const ImVec2 origin = session.keyboardOrigin();
    ASSERT_FLOAT_EQ(origin.x, 20.7f);
    ASSERT_EQ(origin.y, 100.5f);
    const ImDrawList& drawn = *session.window()->DrawList;
    using testsupport::holdsRect;
    // Number row keeps the fraction; "One" starts 75 to the right of the origin.
    EXPECT_TRUE(holdsRect(drawn, ImVec2(origin.x + 75.0f, 100.5f), ImVec2(origin.x + 75.0f + 50.0f, 150.5f), kIdle));
    // The rows below are whole: 155, 210, 265, 320.
    EXPECT_TRUE(holdsRect(drawn, ImVec2(origin.x, 155.0f), ImVec2(origin.x + 100.0f, 205.0f), kIdle));
    EXPECT_TRUE(holdsRect(drawn, ImVec2(origin.x, 320.0f), ImVec2(origin.x + 82.0f, 370.0f), kIdle));
    // Alt: truncate(50 + (82 + 20.7) + 5) = 157; Space 157 + 82 + 5 = 244.
    EXPECT_TRUE(holdsRect(drawn, ImVec2(157.0f, 320.0f), ImVec2(239.0f, 370.0f), kIdle));
    EXPECT_TRUE(holdsRect(drawn, ImVec2(244.0f, 320.0f), ImVec2(449.0f, 370.0f), kIdle));
    // The mouse's middle strip: L = truncate(520.7) = 520, G = 600, top keeps the fraction.
    EXPECT_TRUE(holdsRect(drawn, ImVec2(600.0f, 145.5f), ImVec2(620.0f, 245.5f), kIdle));
}

TEST(OverlayOrigin, AMouseDraggedPastTheLeftEdgeTruncatesTowardZero) {
    OverlaySession session;
    session.style().WindowPadding = ImVec2(8.5f, 8.0f);
    session.frame();
    session.moveWindowTo(ImVec2(-531.0f, 128.0f));
    session.frame();
    ASSERT_EQ(session.keyboardOrigin().x, -510.5f);  // 500 + -510.5 = -10.5
    const ImDrawList& drawn = *session.window()->DrawList;
    // L = -10, so the middle strip starts at G = -10 + 80 = 70.
    EXPECT_TRUE(testsupport::holdsRect(drawn, ImVec2(70.0f, 205.0f), ImVec2(90.0f, 305.0f), kIdle));
    EXPECT_TRUE(testsupport::holdsRect(drawn, ImVec2(70.0f, 305.0f), ImVec2(90.0f, 405.0f), kIdle));
}

TEST(OverlayMouse, AtScale101TheStripKeepsItsFractionWhileTheEdgesStayWhole) {
    OverlaySession session;
    session.set("kvanescale 1.01");
    session.host.setKeyHeld("MiddleMouseButton", true);
    session.host.fireEvent(testsupport::kTickEvent);
    session.frame();
    const ImDrawList& drawn = *session.window()->DrawList;
    // Origin (148, 160): L = truncate(505 + 148) = 653, W = 80, H = 202, S = 20.2.
    const float strip = 1.01f * 20.0f;
    EXPECT_TRUE(testsupport::holdsRect(drawn, ImVec2(733.0f, 205.0f), ImVec2(733.0f + strip, 306.0f), kHeld));
    EXPECT_TRUE(testsupport::holdsRect(drawn, ImVec2(733.0f, 306.0f), ImVec2(733.0f + strip, 407.0f), kIdle));
}

TEST(OverlayText, WidthsRoundUpUnlessTheExcessIsTiny) {
    // A fractional font scale makes the host's measured widths fractional.
    for (float fontScale : {20.04f / 21.0f, 20.3f / 21.0f, 1.0f, 1.37f}) {
        OverlaySession session;
        ImGui::SetCurrentContext(session.ui->context());
        ImGui::GetIO().FontGlobalScale = fontScale;
        session.frame();
        const ImVec2 origin = session.keyboardOrigin();
        const ImDrawList& drawn = *session.window()->DrawList;
        ExpectedOverlay shapes;
        drawExpected(shapes, kScale1, origin, {});
        const ReferenceDrawing expected(drawn, shapes);
        EXPECT_TRUE(testsupport::drawsExactly(drawn, expected, 0)) << "font scale " << fontScale;
    }
}

}  // namespace
