// The overlay centres its labels by its own text-width rule, so that every build draws the same
// picture. The rule is the host's release's: measured here against that library's own
// ImGui::CalcTextSize, label by label and at many font sizes; against a later release, the same
// measurements show exactly where the two releases round differently.
#include <cfloat>
#include <cmath>

#include <gtest/gtest.h>
#include <imgui.h>

#include "overlay/ImGuiRelease.h"
#include "overlay/Layout.h"
#include "sandbox/hostapp/ui_context.h"

namespace {

// Every label the overlay draws, and a few texts of other widths.
constexpr const char* kTexts[] = {
    "1",    "2",    "3",        "4",    "5",     "Tab", "A", "Z", "E", "R",    "T",   "Caps",  "Q",
    "S",    "D",    "F",        "G",    "Shift", "W",   "X", "C", "V", "Ctrl", "Alt", "Space", "Keyvane Display",
    "iiii", "WWWW", "1.000000", "mouse"};

TEST(TextMeasure, TheOverlaysWidthRuleIsTheHostLibrarysOwn) {
    sandbox::UiContext ui(ImVec2(1280, 720));
    ImGui::NewFrame();
    ImGui::Begin("measure");
    int measured = 0;
    int roundedOtherwise = 0;
    for (int step = 50; step <= 300; ++step) {
        ImGui::SetWindowFontScale(static_cast<float>(step) / 100.0f);
        for (const char* text : kTexts) {
            const float libraryWidth = ImGui::CalcTextSize(text).x;
            const float rawWidth = ImGui::GetFont()->CalcTextSizeA(ImGui::GetFontSize(), FLT_MAX, 0.0f, text).x;
            const float overlayWidth = layout::roundedTextWidth(rawWidth);
            ++measured;
            if (imgui_release::kCalcTextSizeRoundsLikeTheOverlay) {
                ASSERT_EQ(overlayWidth, libraryWidth) << '"' << text << "\" measured " << rawWidth;
                continue;
            }
            // Later releases round any excess up: they differ only where it is under 0.05.
            ASSERT_EQ(libraryWidth, std::floor(rawWidth + 0.99999f)) << text;
            if (overlayWidth != libraryWidth) {
                ASSERT_EQ(overlayWidth, std::floor(rawWidth)) << '"' << text << "\" measured " << rawWidth;
                ASSERT_LT(rawWidth - std::floor(rawWidth), 0.05f) << text;
                ++roundedOtherwise;
            }
        }
    }
    ImGui::End();
    ImGui::EndFrame();
    std::printf("%s: %d widths measured, %d rounded otherwise by ImGui::CalcTextSize\n", ImGui::GetVersion(), measured,
                roundedOtherwise);
    if (!imgui_release::kCalcTextSizeRoundsLikeTheOverlay) {
        // The sizes reach widths with a small excess, where the releases part.
        EXPECT_GT(roundedOtherwise, 0);
    }
}

}  // namespace
