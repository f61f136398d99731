// The picture behind the overlay: a quiet pitch-like gradient with a faint checkerboard.
//
// The checkerboard makes the window's background transparency visible. It never uses pure black
// (0, 0, 0) nor the held grey (156, 156, 156), so every such pixel of a picture is one the overlay drew.
#pragma once

#include <cstdint>
#include <vector>

namespace sandbox::pictures {

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline constexpr int kBackdropCheckerPixels = 32;  // side of one checkerboard square

// The backdrop colour of pixel (x, y), row 0 at the top, on a screen of the given size.
Rgb backdropPixel(int x, int y, int width, int height);

// The whole backdrop as RGBA bytes, rows top to bottom, alpha 255.
std::vector<std::uint8_t> backdropImage(int width, int height);

}  // namespace sandbox::pictures
