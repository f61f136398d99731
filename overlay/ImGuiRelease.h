// The one place that knows which Dear ImGui release the overlay is compiled against: the names that
// differ between the host's release (1.75) and Debian's 1.86, chosen by IMGUI_VERSION_NUM.
#pragma once

#include <imgui.h>

namespace imgui_release {

#if IMGUI_VERSION_NUM < 18200
// Up to 1.81 the corners to round are the four-bit mask ImDrawCornerFlags: top-left 1, top-right 2,
// bottom-left 4, bottom-right 8, and 0 rounds none of them.
using CornerSet = ImDrawCornerFlags;
inline constexpr CornerSet kSquareCorners = ImDrawCornerFlags_None;
inline constexpr CornerSet kTopLeftCorner = ImDrawCornerFlags_TopLeft;
inline constexpr CornerSet kTopRightCorner = ImDrawCornerFlags_TopRight;
#else
// From 1.82 they are bits of ImDrawFlags with other values, and 0 there means "every corner" once a
// radius is given, so square shapes name the empty set explicitly.
using CornerSet = ImDrawFlags;
inline constexpr CornerSet kSquareCorners = ImDrawFlags_RoundCornersNone;
inline constexpr CornerSet kTopLeftCorner = ImDrawFlags_RoundCornersTopLeft;
inline constexpr CornerSet kTopRightCorner = ImDrawFlags_RoundCornersTopRight;
#endif

// Up to 1.80, the host's 1.75 among them, ImGui::CalcTextSize rounds a measured width up as
// floor(w + 0.95), the rule the overlay centres its labels by; 1.81 changed it to floor(w + 0.99999).
inline constexpr bool kCalcTextSizeRoundsLikeTheOverlay = IMGUI_VERSION_NUM < 18100;

}  // namespace imgui_release
