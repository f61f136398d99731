// The Linux build: offscreen pictures and the live window.
#include "sandbox/commandline/picture_support.h"
#include "sandbox/live/live_window.h"
#include "sandbox/pictures/offscreen_pictures.h"

namespace sandbox::commandline {

using session::PictureMakerFactory;
using session::SessionOptions;

bool buildMakesPictures() { return true; }

PictureMakerFactory sessionPictures() { return pictures::offscreenPictures(); }

int runLiveWindow(const SessionOptions& options, std::ostream& out, std::ostream& err) {
    return live::runLive(options, out, err);
}

}  // namespace sandbox::commandline
