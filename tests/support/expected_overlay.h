// The overlay's picture worked out by hand from its layout rules: every cap, text and mouse part of
// one frame as shapes with absolute coordinates, measured once. Tests compare what the plugin drew
// with them; the benchmarks replay them as the least that drawing the same picture can cost.
#pragma once

#include <cfloat>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include <imgui.h>

#include "overlay/ImGuiRelease.h"

namespace testsupport {

inline constexpr const char* kWindowTitle = "Keyvane Display";
inline constexpr ImU32 kHeld = IM_COL32(156, 156, 156, 255);
inline constexpr ImU32 kIdle = IM_COL32(0, 0, 0, 255);
inline constexpr ImU32 kWhite = IM_COL32(255, 255, 255, 255);

// One cap relative to the keyboard origin, as worked out by hand for one scale.
struct Cap {
    const char* key;   // the game key whose state it shows
    const char* text;  // what it shows
    int left, top, width;
    bool integerHalving = false;  // Alt and Space centre on a whole pixel
};

// The mouse relative to the keyboard origin: left edge, button width, height, strip width.
struct Mouse {
    int left, width, height;
    float strip;
};

struct Layout {
    float scale;
    int unit;
    std::vector<Cap> caps;
    Mouse mouse;
};

inline std::vector<Cap> capsAt(int unit, std::initializer_list<int> rowTops, std::initializer_list<int> numberLefts,
                               int tabWidth, std::initializer_list<int> tabRow, int capsWidth,
                               std::initializer_list<int> capsRow, int shiftWidth, std::initializer_list<int> shiftRow,
                               int ctrlWidth, int altLeft, int spaceLeft, int spaceWidth) {
    const std::vector<int> tops(rowTops);
    std::vector<Cap> caps;
    const char* numbers[][2] = {{"One", "1"}, {"Two", "2"}, {"Three", "3"}, {"Four", "4"}, {"Five", "5"}};
    int i = 0;
    for (int left : numberLefts) {
        caps.push_back({numbers[i][0], numbers[i][1], left, tops[0], unit});
        ++i;
    }
    caps.push_back({"Tab", "Tab", 0, tops[1], tabWidth});
    const char* tabKeys[] = {"A", "Z", "E", "R", "T"};
    i = 0;
    for (int left : tabRow) caps.push_back({tabKeys[i], tabKeys[i], left, tops[1], unit}), ++i;
    caps.push_back({"CapsLock", "Caps", 0, tops[2], capsWidth});
    const char* capsKeys[] = {"Q", "S", "D", "F", "G"};
    i = 0;
    for (int left : capsRow) caps.push_back({capsKeys[i], capsKeys[i], left, tops[2], unit}), ++i;
    caps.push_back({"LeftShift", "Shift", 0, tops[3], shiftWidth});
    const char* shiftKeys[] = {"W", "X", "C", "V"};
    i = 0;
    for (int left : shiftRow) caps.push_back({shiftKeys[i], shiftKeys[i], left, tops[3], unit}), ++i;
    caps.push_back({"LeftControl", "Ctrl", 0, tops[4], ctrlWidth});
    caps.push_back({"LeftAlt", "Alt", altLeft, tops[4], ctrlWidth, true});
    caps.push_back({"SpaceBar", "Space", spaceLeft, tops[4], spaceWidth, true});
    return caps;
}

inline const Layout kScale1{1.0f,
                            50,
                            capsAt(50, {0, 55, 110, 165, 220}, {75, 130, 185, 240, 295}, 100, {105, 160, 215, 270, 325},
                                   116, {121, 176, 231, 286, 341}, 132, {137, 192, 247, 302}, 82, 137, 224, 205),
                            {500, 80, 200, 20.0f}};

// One filled rectangle or one text, with everything the draw list's call takes.
struct Shape {
    bool isText;
    ImVec2 min;  // a text's position
    ImVec2 max;
    ImU32 colour;
    float radius;
    imgui_release::CornerSet corners;
    const char* text;
};

// The shapes of one frame, in the order the overlay draws them.
class ExpectedOverlay {
public:
    void rect(ImVec2 min, ImVec2 max, ImU32 colour, float radius = 0.0f,
              imgui_release::CornerSet corners = imgui_release::kSquareCorners) {
        shapes_.push_back({false, min, max, colour, radius, corners, nullptr});
    }

    // A cap with its text centred the way the overlay centres it: the measured width rounded up
    // unless the excess is under 0.05, halved as a float, or, for Alt and Space, the whole-pixel
    // cap halved in integers first. Measured now, with the current font at its current size.
    void cap(float left, float top, int width, int unit, const char* text, bool held, bool integerHalving = false) {
        rect(ImVec2(left, top), ImVec2(left + static_cast<float>(width), top + static_cast<float>(unit)),
             held ? kHeld : kIdle);
        // The raw measure: this release's CalcTextSize already rounds the width up on its own.
        const ImVec2 measured = ImGui::GetFont()->CalcTextSizeA(ImGui::GetFontSize(), FLT_MAX, -1.0f, text);
        const float textWidth = static_cast<float>(static_cast<int>(measured.x + 0.95f));
        const float centre = integerHalving ? static_cast<float>(static_cast<int>(left) + width / 2)
                                            : left + static_cast<float>(width) * 0.5f;
        const ImVec2 at(centre - textWidth * 0.5f, top + static_cast<float>(unit) * 0.5f - measured.y * 0.5f);
        shapes_.push_back({true, at, at, kWhite, 0.0f, 0, text});
    }

    // Emits every shape into the list, from the coordinates worked out before.
    void drawInto(ImDrawList& list) const {
        for (const Shape& shape : shapes_) {
            if (shape.isText) {
                list.AddText(shape.min, shape.colour, shape.text);
            } else {
                list.AddRectFilled(shape.min, shape.max, shape.colour, shape.radius, shape.corners);
            }
        }
    }

    const std::vector<Shape>& shapes() const { return shapes_; }

private:
    std::vector<Shape> shapes_;
};

// The whole expected picture for a layout placed at a whole-pixel keyboard origin.
inline void drawExpected(ExpectedOverlay& expected, const Layout& layout, ImVec2 origin,
                         const std::set<std::string>& held) {
    for (const Cap& cap : layout.caps) {
        expected.cap(origin.x + static_cast<float>(cap.left), origin.y + static_cast<float>(cap.top), cap.width,
                     layout.unit, cap.text, held.count(cap.key) > 0, cap.integerHalving);
    }
    const Mouse& m = layout.mouse;
    const float left = origin.x + static_cast<float>(m.left);
    const float middle = left + static_cast<float>(m.width);  // G
    const float right = origin.x + static_cast<float>(m.left + 2 * m.width) + m.strip;
    const float top = origin.y + 45.0f;
    const float bottom = top + static_cast<float>(m.height);
    const float mid = top + static_cast<float>(m.height) * 0.5f;
    auto colour = [&](const char* key) { return held.count(key) ? kHeld : kIdle; };
    expected.rect(ImVec2(left, top), ImVec2(middle, bottom), colour("LeftMouseButton"), 40.0f,
                  imgui_release::kTopLeftCorner);
    expected.rect(ImVec2(middle, top), ImVec2(middle + m.strip, mid), colour("MiddleMouseButton"));
    expected.rect(ImVec2(middle, mid), ImVec2(middle + m.strip, bottom), kIdle);
    expected.rect(ImVec2(middle + m.strip, top), ImVec2(right, bottom), colour("RightMouseButton"), 40.0f,
                  imgui_release::kTopRightCorner);
}

}  // namespace testsupport
