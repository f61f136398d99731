// The recut replays the capture as a viewer would (each frame drawn over the last on a canvas of
// the screen's size) and records the canvas's area again, so the frames keep their timing.
#include "sandbox/pictures/gif_recut.h"

#include <gif_lib.h>

#include <memory>

#include "sandbox/pictures/gif_recording.h"
#include "sandbox/pictures/picture_area.h"

namespace sandbox::pictures {

using session::PictureArea;
namespace {

struct GifCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

// Draws one saved frame over the canvas, as a frame that disposes of nothing is shown.
void drawOver(Picture& canvas, const SavedImage& image, const ColorMapObject* screenColours) {
    const GifImageDesc& desc = image.ImageDesc;
    const ColorMapObject* colours = desc.ColorMap ? desc.ColorMap : screenColours;
    if (!colours) return;
    for (int y = 0; y < desc.Height; ++y) {
        const int row = desc.Top + y;
        if (row < 0 || row >= canvas.height) continue;
        for (int x = 0; x < desc.Width; ++x) {
            const int column = desc.Left + x;
            if (column < 0 || column >= canvas.width) continue;
            const int index = image.RasterBits[static_cast<std::size_t>(y) * desc.Width + x];
            if (index >= colours->ColorCount) continue;
            const GifColorType& colour = colours->Colors[index];
            auto* pixel = &canvas.rgba[(static_cast<std::size_t>(row) * canvas.width + column) * 4];
            pixel[0] = colour.Red;
            pixel[1] = colour.Green;
            pixel[2] = colour.Blue;
            pixel[3] = 255;
        }
    }
}

}  // namespace

bool recutGif(const std::filesystem::path& whole, const std::filesystem::path& out, const PictureArea& area,
              std::string& error) {
    int code = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpenFileName(whole.c_str(), &code));
    if (!gif || DGifSlurp(gif.get()) != GIF_OK) {
        error = "reading the whole capture back failed (" + std::string(GifErrorString(gif ? gif->Error : code)) + ")";
        return false;
    }
    Picture canvas;
    canvas.width = gif->SWidth;
    canvas.height = gif->SHeight;
    canvas.rgba.assign(static_cast<std::size_t>(canvas.width) * canvas.height * 4, 0);
    const Picture first = pictureArea(canvas, area);
    auto recording = GifRecording::start(out, first.width, first.height, error);
    if (!recording) return false;
    for (int frame = 0; frame < gif->ImageCount; ++frame) {
        drawOver(canvas, gif->SavedImages[frame], gif->SColorMap);
        GraphicsControlBlock control{};
        control.DelayTime = kShortestGifFrameCentiseconds;
        DGifSavedExtensionToGCB(gif.get(), frame, &control);
        if (!recording->addFrame(pictureArea(canvas, area), control.DelayTime / 100.0, error)) return false;
    }
    return recording->finish(error);
}

}  // namespace sandbox::pictures
