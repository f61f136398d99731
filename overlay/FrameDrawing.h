// What every cap and mouse button of one frame is drawn from, worked out once per frame from the
// scale read for the frame: the sizes it gives, the three packed colours and the font the texts use.
#pragma once

#include <cstdint>

#include <imgui.h>

#include "overlay/Layout.h"

struct FrameDrawing {
    // The current font at its current size, as the window's begin left them.
    ImFont* font;
    float fontSize;
    ImU32 heldFill;
    ImU32 idleFill;
    ImU32 textColour;
    // Keyboard: the key unit and the special caps' widths, whole pixels.
    std::int32_t unit;
    float unitSize;  // the unit as a float, and half of it
    float halfUnit;
    std::int64_t tabWidth;
    std::int32_t capsLockWidth;
    std::int32_t leftShiftWidth;
    std::int32_t controlWidth;  // Ctrl and Alt alike
    std::int64_t spaceWidth;
    // Mouse: its scaled left offset (the origin is added before truncating), whole-pixel button
    // width and height, and the strip width kept fractional.
    float mouseLeftOffset;
    std::int32_t mouseButtonWidth;
    std::int32_t mouseHeight;
    float mouseStripWidth;

    ImU32 fill(bool held) const { return held ? heldFill : idleFill; }
};

// Call after the window has begun: its begin sets the font size the texts are measured at.
inline FrameDrawing frameDrawing(float scale) {
    using namespace layout;
    const std::int32_t unit = truncate(scale * kKeyUnit);
    return FrameDrawing{
        .font = ImGui::GetFont(),
        .fontSize = ImGui::GetFontSize(),
        .heldFill = packed(kHeldFill),
        .idleFill = packed(kIdleFill),
        .textColour = packed(kTextColour),
        .unit = unit,
        .unitSize = pixels(unit),
        .halfUnit = pixels(unit) * 0.5f,
        .tabWidth = kTabWidthUnits * unit,
        .capsLockWidth = truncate(scale * kCapsLockWidth),
        .leftShiftWidth = truncate(scale * kLeftShiftWidth),
        .controlWidth = truncate(scale * kControlWidth),
        .spaceWidth = kSpaceWidthUnits * unit + kKeyGap,
        .mouseLeftOffset = scale * kMouseLeft,
        .mouseButtonWidth = truncate(scale * kMouseButtonWidth),
        .mouseHeight = truncate(scale * kMouseHeight),
        .mouseStripWidth = scale * kMouseStripWidth,
    };
}
