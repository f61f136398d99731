// What this build of keyvane-sandbox shows: on Linux, pictures made offscreen and the live window
// (with_pictures.cpp); on Windows neither (without_pictures.cpp), where a session still builds every
// frame as the game does but rasterises none.
#pragma once

#include <iosfwd>

#include "sandbox/session/picture_maker.h"
#include "sandbox/session/session.h"

namespace sandbox::commandline {

bool buildMakesPictures();

// What makes a session's pictures here; empty without pictures.
session::PictureMakerFactory sessionPictures();

// keyvane-sandbox live; returns the exit status.
int runLiveWindow(const session::SessionOptions& options, std::ostream& out, std::ostream& err);

}  // namespace sandbox::commandline
