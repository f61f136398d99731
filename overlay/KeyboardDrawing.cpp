// The keyboard block: five rows of flat key caps with centred white labels, grey while held. Every
// size, truncation and order of float and integer arithmetic here is part of the picture.
#include <cfloat>
#include <cstdint>
#include <string_view>

#include <imgui.h>

#include "overlay/FrameDrawing.h"
#include "overlay/Layout.h"
#include "plugin/Keyvane.h"

using namespace layout;

namespace {

// Where one cap and its text go, worked out by each row from whole pixels or floats as its own rule
// says, so that values beyond float's exact integers round the row's way.
struct CapPlacement {
    float left;
    float top;
    float right;
    float bottom;
    float centreX;  // the text's centre
    float centreY;
};

// A cap whose left edge is a float and whose top edge is a whole row top.
CapPlacement edgeCap(float left, std::int32_t top, std::int64_t width, std::int32_t unit) {
    return {left,
            pixels(top),
            left + pixels(width),
            pixels(std::int64_t{top} + unit),
            left + pixels(width) * 0.5f,
            pixels(top) + pixels(unit) * 0.5f};
}

// A cap placed in whole pixels: its centre is halved in integers, half a pixel left of the exact
// centre for an odd width.
CapPlacement wholeCap(std::int64_t left, std::int32_t top, std::int64_t width, std::int32_t unit) {
    return {pixels(left),
            pixels(top),
            pixels(left + width),
            pixels(std::int64_t{top} + unit),
            pixels(left + width / 2),
            pixels(top) + pixels(unit) * 0.5f};
}

// The rectangle before its text, so that in the draw list each cap's text lies between its own
// rectangle and the next cap's.
void drawCap(ImDrawList* drawList, const FrameDrawing& frame, const CapPlacement& cap, const KeyState& key,
             std::string_view text) {
    const bool held = key.pressed.load(std::memory_order_relaxed);
    const char* textBegin = text.data();
    const char* textEnd = textBegin + text.size();
    // Measured unrounded, then rounded by the host release's rule rather than by whatever release
    // this module is compiled against, so that every build draws the same picture. The
    // measure changes nothing in the draw list, so it goes first: its work then overlaps the
    // rectangle's instead of waiting for it.
    const ImVec2 measured = frame.font->CalcTextSizeA(frame.fontSize, FLT_MAX, -1.0f, textBegin, textEnd);
    drawList->AddRectFilled(ImVec2(cap.left, cap.top), ImVec2(cap.right, cap.bottom), frame.fill(held), 0.0f,
                            kSquareCorners);
    const float textWidth = roundedTextWidth(measured.x);
    const ImVec2 textPos(cap.centreX - textWidth * 0.5f, cap.centreY - measured.y * 0.5f);
    // No font and size 0: the draw list's current font at its current size, which is all the short
    // form of AddText does before it calls this one.
    drawList->AddText(nullptr, 0.0f, textPos, frame.textColour, textBegin, textEnd);
}

// The top of row k >= 2, counted from the number row.
std::int32_t rowTop(std::int64_t row, std::int32_t unit, float originY) {
    return truncate(pixels(row * (std::int64_t{unit} + kKeyGap)) + originY);
}

// The plain caps after a special first cap start one gap after its right edge.
ImVec2 afterFirstCap(float originX, std::int64_t firstWidth, std::int32_t top) {
    return ImVec2((originX + pixels(firstWidth)) + pixels(kKeyGap), pixels(top));
}

}  // namespace

void Keyvane::drawKeyRow(ImDrawList* drawList, CapRow caps, ImVec2 start, const FrameDrawing& frame) const {
    const std::int32_t unit = frame.unit;
    for (std::size_t i = 0; i < caps.size(); ++i) {
        const auto column = static_cast<std::int64_t>(i);
        const float left = pixels(column * unit) + start.x + pixels(kKeyGap * column);
        const CapPlacement cap{left,
                               start.y,
                               left + frame.unitSize,
                               start.y + frame.unitSize,
                               left + frame.halfUnit,
                               start.y + frame.halfUnit};
        drawCap(drawList, frame, cap, *caps[i], caps[i]->label);
    }
}

void Keyvane::drawTabRow(ImDrawList* drawList, ImVec2 origin, const FrameDrawing& frame) const {
    const std::int32_t top = truncate((frame.unitSize + origin.y) + pixels(kKeyGap));
    drawCap(drawList, frame, edgeCap(origin.x, top, frame.tabWidth, frame.unit), *drawnKeys[kKeyTab], "Tab");
    const ImVec2 start((pixels(frame.tabWidth) + origin.x) + pixels(kKeyGap), pixels(top));
    drawKeyRow(drawList, drawnRow(kKeyA, 5), start, frame);
}

void Keyvane::drawCapsRow(ImDrawList* drawList, ImVec2 origin, const FrameDrawing& frame) const {
    const std::int32_t top = rowTop(2, frame.unit, origin.y);
    const std::int32_t width = frame.capsLockWidth;
    drawCap(drawList, frame, edgeCap(origin.x, top, width, frame.unit), *drawnKeys[kKeyCapsLock], "Caps");
    drawKeyRow(drawList, drawnRow(kKeyQ, 5), afterFirstCap(origin.x, width, top), frame);
}

void Keyvane::drawShiftRow(ImDrawList* drawList, ImVec2 origin, const FrameDrawing& frame) const {
    const std::int32_t top = rowTop(3, frame.unit, origin.y);
    const std::int32_t width = frame.leftShiftWidth;
    drawCap(drawList, frame, edgeCap(origin.x, top, width, frame.unit), *drawnKeys[kKeyLeftShift], "Shift");
    drawKeyRow(drawList, drawnRow(kKeyW, 4), afterFirstCap(origin.x, width, top), frame);
}

// Ctrl, then Alt one key unit and a gap further right, then Space: the gap after Ctrl stays empty.
void Keyvane::drawBottomRow(ImDrawList* drawList, ImVec2 origin, const FrameDrawing& frame) const {
    const std::int32_t unit = frame.unit;
    const std::int32_t top = rowTop(4, unit, origin.y);
    const std::int32_t controlWidth = frame.controlWidth;
    drawCap(drawList, frame, edgeCap(origin.x, top, controlWidth, unit), *drawnKeys[kKeyLeftControl], "Ctrl");

    const std::int32_t altLeft = truncate((frame.unitSize + (pixels(controlWidth) + origin.x)) + pixels(kKeyGap));
    drawCap(drawList, frame, wholeCap(altLeft, top, controlWidth, unit), *drawnKeys[kKeyLeftAlt], "Alt");

    const std::int64_t spaceLeft = std::int64_t{altLeft} + controlWidth + kKeyGap;
    drawCap(drawList, frame, wholeCap(spaceLeft, top, frame.spaceWidth, unit), *drawnKeys[kKeySpaceBar], "Space");
}
