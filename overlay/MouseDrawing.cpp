// The three-button mouse to the right of the keyboard: left button, a narrow middle strip whose
// upper half is the middle button, right button; outer top corners rounded.
#include <cstdint>

#include <imgui.h>

#include "overlay/FrameDrawing.h"
#include "overlay/Layout.h"
#include "plugin/Keyvane.h"

using namespace layout;

void Keyvane::drawMouse(ImDrawList* drawList, ImVec2 origin, const FrameDrawing& frame) const {
    // The left edge and the button sizes are whole pixels; the strip keeps its fraction, so the
    // right button's edges may fall between pixels.
    const std::int32_t left = truncate(frame.mouseLeftOffset + origin.x);
    const std::int32_t buttonWidth = frame.mouseButtonWidth;
    const float top = origin.y + kMouseTop;
    const float bottom = top + pixels(frame.mouseHeight);
    const float middle = top + pixels(frame.mouseHeight) * 0.5f;
    const float stripLeft = pixels(std::int64_t{left} + buttonWidth);
    const float stripRight = stripLeft + frame.mouseStripWidth;
    const float right = pixels(std::int64_t{left} + 2 * std::int64_t{buttonWidth}) + frame.mouseStripWidth;

    auto held = [this](std::size_t button) { return drawnKeys[button]->pressed.load(std::memory_order_relaxed); };
    drawList->AddRectFilled(ImVec2(pixels(left), top), ImVec2(stripLeft, bottom), frame.fill(held(kKeyLeftMouseButton)),
                            kMouseCornerRadius, kTopLeftCorner);
    drawList->AddRectFilled(ImVec2(stripLeft, top), ImVec2(stripRight, middle), frame.fill(held(kKeyMiddleMouseButton)),
                            0.0f, kSquareCorners);
    // The strip's lower half stands for no button and never lights up.
    drawList->AddRectFilled(ImVec2(stripLeft, middle), ImVec2(stripRight, bottom), frame.idleFill, 0.0f,
                            kSquareCorners);
    drawList->AddRectFilled(ImVec2(stripRight, top), ImVec2(right, bottom), frame.fill(held(kKeyRightMouseButton)),
                            kMouseCornerRadius, kTopRightCorner);
}
