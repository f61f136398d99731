// Cutting an area out of a picture and enlarging it by whole pixels, for snapshots of the overlay
// window alone at a size a person can read.
#pragma once

#include "sandbox/pictures/png_file.h"
#include "sandbox/session/picture_maker.h"

namespace sandbox::pictures {

// The area of picture (clipped to it; width 0 takes the whole picture), each pixel repeated
// area.zoom times across and down.
Picture pictureArea(const Picture& picture, const session::PictureArea& area);

}  // namespace sandbox::pictures
