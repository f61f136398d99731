// A session's pictures made offscreen: every frame asked for is drawn over the backdrop in an EGL
// context of its own (offscreen_gl.h) and read back, then written as a PNG picture or added to an
// animated GIF capture.
#pragma once

#include "sandbox/session/picture_maker.h"

namespace sandbox::pictures {

// The picture maker of a session on this machine: the factory a session calls once its Dear ImGui
// context is current. Its reason names the missing EGL when there is none.
session::PictureMakerFactory offscreenPictures();

}  // namespace sandbox::pictures
