// The build without OpenGL (Windows): frames are built in full by the host's Dear ImGui context and
// then dropped. A session still runs every command but snapshot and record, which say why they
// cannot, and there is no live window.
#include <ostream>

#include "sandbox/commandline/picture_support.h"
#include "sandbox/session/line_loop.h"

namespace sandbox::commandline {

using session::kExitBadInput;
using session::kPicturesNeedLinux;
using session::PictureMakerFactory;
using session::SessionOptions;

bool buildMakesPictures() { return false; }

PictureMakerFactory sessionPictures() { return {}; }

int runLiveWindow(const SessionOptions&, std::ostream&, std::ostream& err) {
    err << "keyvane-sandbox: live: " << kPicturesNeedLinux << '\n';
    return kExitBadInput;
}

}  // namespace sandbox::commandline
