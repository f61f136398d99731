// Every figure the overlay's picture depends on, and the whole-pixel rules its layout follows.
// "Scaled" figures are multiplied by the scale setting; all others are screen pixels and never scale.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include <imgui.h>

#include "overlay/ImGuiRelease.h"

namespace layout {

// Window.
inline constexpr float kWindowLeft = 128.0f;  // first use only; the user may drag it
inline constexpr float kWindowTop = 128.0f;
inline constexpr float kWindowWidth = 768.0f;   // scaled; the widest scaled figure
inline constexpr float kWindowHeight = 384.0f;  // scaled
// Widest window drawn, in pixels: 2^30, leaving the other half of the 32-bit pixel range to the
// window's position. Wider scaled windows are not drawn at all.
inline constexpr float kLargestWindowWidth = 1073741824.0f;
inline constexpr ImGuiWindowFlags kWindowFlags =
    ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse;

// Keyboard origin: the content origin moved by this much. Keyboard and mouse are placed from it.
inline constexpr float kKeyboardOffsetX = 12.0f;
inline constexpr float kKeyboardOffsetY = 24.0f;

// Keyboard.
inline constexpr float kKeyUnit = 50.0f;             // scaled; cap height, plain cap width
inline constexpr std::int64_t kKeyGap = 5;           // between caps and between rows
inline constexpr float kNumberRowIndent = 75.0f;     // the number row starts this far right
inline constexpr float kCapsLockWidth = 116.0f;      // scaled
inline constexpr float kLeftShiftWidth = 132.0f;     // scaled
inline constexpr float kControlWidth = 82.0f;        // scaled; Ctrl and Alt alike
inline constexpr std::int64_t kTabWidthUnits = 2;    // Tab is this many key units wide
inline constexpr std::int64_t kSpaceWidthUnits = 4;  // Space: this many units plus one gap
// Measured text widths round up to whole pixels unless the excess is this small.
inline constexpr float kTextWidthRounding = 0.95f;

// Mouse.
inline constexpr float kMouseLeft = 500.0f;         // scaled, from the keyboard origin
inline constexpr float kMouseTop = 45.0f;           // from the keyboard origin
inline constexpr float kMouseButtonWidth = 80.0f;   // scaled
inline constexpr float kMouseHeight = 200.0f;       // scaled
inline constexpr float kMouseStripWidth = 20.0f;    // scaled, kept fractional
inline constexpr float kMouseCornerRadius = 40.0f;  // never scaled; the library limits it

// The corner sets of the rectangles, in the names of the library release compiled against.
inline constexpr imgui_release::CornerSet kSquareCorners = imgui_release::kSquareCorners;
inline constexpr imgui_release::CornerSet kTopLeftCorner = imgui_release::kTopLeftCorner;
inline constexpr imgui_release::CornerSet kTopRightCorner = imgui_release::kTopRightCorner;

// Colours, packed once per frame without the style's global alpha: caps stay opaque whatever the
// window background's transparency.
struct Rgba {
    float red, green, blue, alpha;
};
inline constexpr Rgba kHeldFill{156.0f / 255.0f, 156.0f / 255.0f, 156.0f / 255.0f, 1.0f};
inline constexpr Rgba kIdleFill{0.0f, 0.0f, 0.0f, 1.0f};
inline constexpr Rgba kTextColour{1.0f, 1.0f, 1.0f, 1.0f};

inline ImU32 packed(Rgba colour) {
    return ImGui::ColorConvertFloat4ToU32(ImVec4(colour.red, colour.green, colour.blue, colour.alpha));
}

// Float to whole pixels, toward zero. Defined for every float because the scale comes unchecked
// from the console: out-of-range values saturate and NaN gives 0.
inline std::int32_t truncate(float value) {
    constexpr float kTwoTo31 = 2147483648.0f;
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= kTwoTo31) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < -kTwoTo31) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

// Sums and products of truncated sizes are formed in 64 bits, where saturated sizes cannot
// overflow, and become floats only where the layout adds them to one.
inline float pixels(std::int64_t wholePixels) { return static_cast<float>(wholePixels); }

// A measured text width as the labels are centred by it: whole pixels, rounded up unless the excess
// is under 0.05, which is how the host's release of the library measures a text.
inline float roundedTextWidth(float measuredWidth) { return pixels(truncate(measuredWidth + kTextWidthRounding)); }

}  // namespace layout
