// Nearest-neighbour enlargement: every source pixel becomes a zoom x zoom block, so no colour is
// made up between caps and their labels.
#include "sandbox/pictures/picture_area.h"

#include <algorithm>
#include <cstring>

namespace sandbox::pictures {

using session::PictureArea;

Picture pictureArea(const Picture& picture, const PictureArea& area) {
    const bool whole = area.width <= 0 || area.height <= 0;
    const int left = whole ? 0 : std::clamp(area.left, 0, picture.width);
    const int top = whole ? 0 : std::clamp(area.top, 0, picture.height);
    const int right = whole ? picture.width : std::clamp(area.left + area.width, left, picture.width);
    const int bottom = whole ? picture.height : std::clamp(area.top + area.height, top, picture.height);
    const int zoom = std::max(area.zoom, 1);

    Picture out;
    out.width = (right - left) * zoom;
    out.height = (bottom - top) * zoom;
    out.rgba.resize(static_cast<std::size_t>(out.width) * out.height * 4);
    std::uint8_t* row = out.rgba.data();
    const std::size_t rowBytes = static_cast<std::size_t>(out.width) * 4;
    for (int y = top; y < bottom; ++y) {
        const std::uint8_t* source = picture.rgba.data() + (static_cast<std::size_t>(y) * picture.width + left) * 4;
        std::uint8_t* pixel = row;
        for (int x = left; x < right; ++x, source += 4) {
            for (int copy = 0; copy < zoom; ++copy, pixel += 4) std::memcpy(pixel, source, 4);
        }
        // The other rows of this block are copies of the first.
        for (int copy = 1; copy < zoom; ++copy) std::memcpy(row + rowBytes * copy, row, rowBytes);
        row += rowBytes * zoom;
    }
    return out;
}

}  // namespace sandbox::pictures
