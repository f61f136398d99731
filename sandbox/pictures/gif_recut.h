// Cutting a finished animated capture down to one rectangle: a capture of the overlay window alone
// learns the rectangle that holds the window in every frame only when it ends.
#pragma once

#include <filesystem>
#include <string>

#include "sandbox/session/picture_maker.h"

namespace sandbox::pictures {

// Reads the GIF at whole, keeps area of every frame (each pixel repeated area.zoom times) with the
// frame's own delay, and writes the result to out. False and a one-line reason in error if not.
bool recutGif(const std::filesystem::path& whole, const std::filesystem::path& out, const session::PictureArea& area,
              std::string& error);

}  // namespace sandbox::pictures
