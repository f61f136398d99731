// The backdrop colours: a vertical gradient from an evening sky to a pitch, lightened on every other
// checkerboard square.
#include "sandbox/pictures/backdrop.h"

namespace sandbox::pictures {
namespace {

// Gradient ends, chosen so that no channel ever reaches 0 and the channels never all agree.
constexpr Rgb kSkyTop{34, 48, 86};
constexpr Rgb kPitchBottom{30, 92, 58};
constexpr int kCheckerLift = 10;  // added to every channel on the light squares

std::uint8_t blend(std::uint8_t top, std::uint8_t bottom, int y, int height) {
    const int span = height > 1 ? height - 1 : 1;
    return static_cast<std::uint8_t>(top + (static_cast<int>(bottom) - top) * y / span);
}

}  // namespace

Rgb backdropPixel(int x, int y, int width, int height) {
    (void)width;
    const bool lightSquare = ((x / kBackdropCheckerPixels) + (y / kBackdropCheckerPixels)) % 2 == 1;
    const int lift = lightSquare ? kCheckerLift : 0;
    return Rgb{static_cast<std::uint8_t>(blend(kSkyTop.r, kPitchBottom.r, y, height) + lift),
               static_cast<std::uint8_t>(blend(kSkyTop.g, kPitchBottom.g, y, height) + lift),
               static_cast<std::uint8_t>(blend(kSkyTop.b, kPitchBottom.b, y, height) + lift)};
}

std::vector<std::uint8_t> backdropImage(int width, int height) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    std::size_t at = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb colour = backdropPixel(x, y, width, height);
            pixels[at++] = colour.r;
            pixels[at++] = colour.g;
            pixels[at++] = colour.b;
            pixels[at++] = 255;
        }
    }
    return pixels;
}

}  // namespace sandbox::pictures
