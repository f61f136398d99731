// The Linux build: offscreen pictures and the live window.
#include "sandbox/commandline/picture_support.h"
#include "sandbox/live/live_window.h"
#include "sandbox/pictures/offscreen_pictures.h"

namespace sandbox::app {

bool buildMakesPictures() { return true; }

PictureMakerFactory sessionPictures() { return offscreenPictures(); }

int runLiveWindow(const SessionOptions& options, std::ostream& out, std::ostream& err) {
    return runLive(options, out, err);
}

}  // namespace sandbox::app
