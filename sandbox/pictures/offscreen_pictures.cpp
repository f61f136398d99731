// The offscreen picture maker: one EGL context and one renderer per session, shared by snapshots
// and recordings.
#include "sandbox/pictures/offscreen_pictures.h"

#include <system_error>

#include "sandbox/pictures/frame_renderer.h"
#include "sandbox/pictures/gif_recording.h"
#include "sandbox/pictures/gif_recut.h"
#include "sandbox/pictures/offscreen_gl.h"
#include "sandbox/pictures/picture_area.h"
#include "sandbox/pictures/png_file.h"

namespace sandbox::pictures {

using session::FrameRecording;
using session::PictureArea;
using session::PictureMaker;
using session::PictureMakerFactory;
namespace {

// "" for a step that worked, else its reason, never empty.
std::string reasonOf(bool worked, std::string error) {
    if (worked) return {};
    return error.empty() ? "failed" : error;
}

// Frames go to the GIF as drawn. A capture to be cut (one window's rectangle, or enlarged) goes to a
// whole-screen file beside the one asked for first, which finish cuts into it and removes.
class GifFrameRecording : public FrameRecording {
public:
    GifFrameRecording(FrameRenderer& renderer, std::unique_ptr<GifRecording> gif, std::filesystem::path cutFile)
        : renderer_(renderer), gif_(std::move(gif)), cutFile_(std::move(cutFile)) {}
    ~GifFrameRecording() override {
        if (cutFile_.empty()) return;
        gif_.reset();
        std::error_code ignored;
        std::filesystem::remove(wholeFile(cutFile_), ignored);
    }

    std::string addFrame(ImDrawData* frame, double seconds) override {
        renderer_.draw(frame);
        std::string error;
        const bool added = gif_->addFrame(renderer_.readBack(), seconds, error);
        return reasonOf(added, std::move(error));
    }
    bool hasFrames() const override { return gif_->hasFrames(); }
    std::string finish(const PictureArea& area) override {
        std::string error;
        if (!gif_->finish(error)) return reasonOf(false, std::move(error));
        if (cutFile_.empty()) return "";
        return reasonOf(recutGif(gif_->file(), cutFile_, area, error), std::move(error));
    }
    const std::filesystem::path& file() const override { return cutFile_.empty() ? gif_->file() : cutFile_; }

    static std::filesystem::path wholeFile(const std::filesystem::path& file) {
        // Appended piece by piece: GCC 12 at -O3 takes "." + name for an overlapping copy (-Wrestrict).
        std::string hidden(1, '.');
        hidden += file.filename().string();
        hidden += ".whole";
        return file.parent_path() / hidden;
    }

private:
    FrameRenderer& renderer_;
    std::unique_ptr<GifRecording> gif_;
    std::filesystem::path cutFile_;  // empty: the GIF is the file asked for
};

class OffscreenPictures : public PictureMaker {
public:
    OffscreenPictures(std::unique_ptr<OffscreenGl> gl, int width, int height)
        : gl_(std::move(gl)), renderer_(width, height, RenderTarget::OwnFramebuffer) {}

    std::string writeSnapshot(ImDrawData* frame, const std::filesystem::path& file, const PictureArea& area) override {
        renderer_.draw(frame);
        std::string error;
        const bool whole = area.width <= 0 && area.zoom <= 1;
        const bool written =
            writePng(file, whole ? renderer_.readBack() : pictureArea(renderer_.readBack(), area), error);
        return reasonOf(written, std::move(error));
    }

    std::unique_ptr<FrameRecording> startRecording(const std::filesystem::path& file, bool cutAtEnd,
                                                   std::string& error) override {
        const auto target = cutAtEnd ? GifFrameRecording::wholeFile(file) : file;
        auto gif = GifRecording::start(target, renderer_.width(), renderer_.height(), error);
        if (!gif) return nullptr;
        return std::make_unique<GifFrameRecording>(renderer_, std::move(gif),
                                                   cutAtEnd ? file : std::filesystem::path());
    }

private:
    // The context goes after the renderer that draws in it.
    std::unique_ptr<OffscreenGl> gl_;
    FrameRenderer renderer_;
};

}  // namespace

PictureMakerFactory offscreenPictures() {
    return [](int width, int height, std::string& error) -> std::unique_ptr<PictureMaker> {
        auto gl = OffscreenGl::create(error);
        if (!gl) return nullptr;
        return std::make_unique<OffscreenPictures>(std::move(gl), width, height);
    };
}

}  // namespace sandbox::pictures
