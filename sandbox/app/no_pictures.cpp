// The renderer of a build without OpenGL: frames are built in full by the host's Dear ImGui context
// and then dropped. A session still runs every command but snapshot and record, which say why they
// cannot.
#include "frame_renderer.h"
#include "gif_recording.h"
#include "live_mode.h"
#include "offscreen_gl.h"
#include "pictures.h"
#include "script_runner.h"

#include <ostream>

namespace sandbox::app {

std::unique_ptr<OffscreenGl> OffscreenGl::create(std::string&) { return std::unique_ptr<OffscreenGl>(new OffscreenGl); }
OffscreenGl::~OffscreenGl() = default;

FrameRenderer::FrameRenderer(int width, int height, RenderTarget) : width_(width), height_(height) {}
FrameRenderer::~FrameRenderer() = default;
void FrameRenderer::draw(ImDrawData*) {}
Picture FrameRenderer::readBack() const { return Picture{}; }

std::unique_ptr<GifRecording> GifRecording::start(const std::filesystem::path&, int, int, std::string& error)
{
    error = kPicturesNeedLinux;
    return nullptr;
}
GifRecording::~GifRecording() = default;
bool GifRecording::addFrame(const Picture&, double, std::string& error)
{
    error = kPicturesNeedLinux;
    return false;
}
bool GifRecording::finish(std::string&) { return true; }

int runLive(const SessionOptions&, std::ostream&, std::ostream& err)
{
    err << "keyvane-sandbox: live: " << kPicturesNeedLinux << '\n';
    return kExitBadInput;
}

}  // namespace sandbox::app
