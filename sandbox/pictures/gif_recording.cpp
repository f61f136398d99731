// Encoding frames with giflib: one application extension for looping, then per frame a graphics
// control block (its delay) and an image of the changed rectangle with its own colour table.
#include "sandbox/pictures/gif_recording.h"

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "sandbox/pictures/whole_file.h"

namespace sandbox::pictures {
namespace {

constexpr long kLongestGifDelay = 65535;  // hundredths of a second in one frame's 16-bit delay

int writeToFile(GifFileType* gif, const GifByteType* bytes, int count) {
    return static_cast<WholeFile*>(gif->UserData)->write(bytes, static_cast<std::size_t>(count)) ? count : 0;
}

long centiseconds(double seconds) { return std::lround(seconds * 100.0); }

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

// The smallest rectangle holding every pixel that differs; 1x1 at the origin when none does, since
// every GIF frame must hold at least one pixel.
Rect changedRect(const Picture& before, const Picture& after) {
    int left = after.width, top = after.height, right = -1, bottom = -1;
    const auto* a = before.rgba.data();
    const auto* b = after.rgba.data();
    for (int y = 0; y < after.height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * after.width * 4;
        for (int x = 0; x < after.width; ++x) {
            const std::size_t at = row + static_cast<std::size_t>(x) * 4;
            if (a[at] == b[at] && a[at + 1] == b[at + 1] && a[at + 2] == b[at + 2]) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return Rect{0, 0, 1, 1};
    return Rect{left, top, right - left + 1, bottom - top + 1};
}

// The rectangle's pixels as colour indices and the table they index.
struct IndexedPixels {
    std::vector<GifByteType> indices;
    std::vector<GifColorType> colours;
};

bool indexExactly(const Picture& picture, const Rect& rect, IndexedPixels& indexed) {
    std::unordered_map<std::uint32_t, GifByteType> known;
    indexed.indices.clear();
    indexed.colours.clear();
    for (int y = rect.top; y < rect.top + rect.height; ++y) {
        for (int x = rect.left; x < rect.left + rect.width; ++x) {
            const auto* pixel = &picture.rgba[(static_cast<std::size_t>(y) * picture.width + x) * 4];
            const std::uint32_t key = pixel[0] | (pixel[1] << 8) | (pixel[2] << 16);
            auto found = known.find(key);
            if (found == known.end()) {
                if (indexed.colours.size() == 256) return false;
                found = known.emplace(key, static_cast<GifByteType>(indexed.colours.size())).first;
                indexed.colours.push_back(GifColorType{pixel[0], pixel[1], pixel[2]});
            }
            indexed.indices.push_back(found->second);
        }
    }
    return true;
}

bool indexByMedianCut(const Picture& picture, const Rect& rect, IndexedPixels& indexed) {
    const std::size_t count = static_cast<std::size_t>(rect.width) * rect.height;
    std::vector<GifByteType> red(count), green(count), blue(count);
    std::size_t at = 0;
    for (int y = rect.top; y < rect.top + rect.height; ++y) {
        for (int x = rect.left; x < rect.left + rect.width; ++x, ++at) {
            const auto* pixel = &picture.rgba[(static_cast<std::size_t>(y) * picture.width + x) * 4];
            red[at] = pixel[0];
            green[at] = pixel[1];
            blue[at] = pixel[2];
        }
    }
    int size = 256;
    indexed.colours.assign(256, GifColorType{0, 0, 0});
    indexed.indices.assign(count, 0);
    if (GifQuantizeBuffer(static_cast<unsigned>(rect.width), static_cast<unsigned>(rect.height), &size, red.data(),
                          green.data(), blue.data(), indexed.indices.data(), indexed.colours.data()) != GIF_OK) {
        return false;
    }
    indexed.colours.resize(static_cast<std::size_t>(size));
    return true;
}

}  // namespace

std::unique_ptr<GifRecording> GifRecording::start(const std::filesystem::path& file, int width, int height,
                                                  std::string& error) {
    if (std::filesystem::is_directory(file)) {
        error = file.string() + ": it is a folder";
        return nullptr;
    }
    // The capture goes to a temporary, so the file is the old one until the capture ends whole.
    auto out = std::make_unique<WholeFile>(file, error);
    if (!out->opened()) return nullptr;
    int code = 0;
    GifFileType* gif = EGifOpen(out.get(), writeToFile, &code);
    if (!gif) {
        error = "cannot create " + file.string() + ": " + GifErrorString(code);
        return nullptr;
    }
    std::unique_ptr<GifRecording> recording(new GifRecording);
    recording->file_ = file;
    recording->out_ = std::move(out);
    recording->gif_ = gif;
    recording->width_ = width;
    recording->height_ = height;
    EGifSetGifVersion(gif, true);
    // Every frame brings its own colour table, so the screen has none.
    if (EGifPutScreenDesc(gif, width, height, 8, 0, nullptr) != GIF_OK) {
        error = recording->failure("writing the screen");
        return nullptr;
    }
    // Loop forever, in the extension every browser reads for it.
    GifByteType loopForever[3] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") != GIF_OK ||
        EGifPutExtensionBlock(gif, 3, loopForever) != GIF_OK || EGifPutExtensionTrailer(gif) != GIF_OK) {
        error = recording->failure("writing the loop");
        return nullptr;
    }
    return recording;
}

GifRecording::~GifRecording() {
    if (gif_) EGifCloseFile(gif_, nullptr);
}

std::string GifRecording::failure(const char* step) const {
    // A write that failed has the system's reason (no space left on device); giflib knows less.
    const std::string reason = out_ ? out_->writeFailure() : std::string();
    return file_.string() + ": " + step + " failed (" + (reason.empty() ? GifErrorString(gif_->Error) : reason) + ")";
}

bool GifRecording::addFrame(const Picture& picture, double seconds, std::string& error) {
    if (picture.width != width_ || picture.height != height_) {
        error = file_.string() + ": a frame of another size than the recording";
        return false;
    }
    if (started_ && picture.rgba == pending_.rgba) {
        now_ += seconds;
        return true;
    }
    if (started_) {
        const long shown = centiseconds(now_) - centiseconds(pendingStart_);
        if (shown >= kShortestGifFrameCentiseconds) {
            if (!writeFrame(pending_, shown, error)) return false;
            pendingStart_ = now_;
        }
        // A shorter frame is replaced by this one, which then starts where it started.
    }
    pending_ = picture;
    started_ = true;
    now_ += seconds;
    return true;
}

bool GifRecording::finish(std::string& error) {
    if (started_) {
        const long shown =
            std::max<long>(centiseconds(now_) - centiseconds(pendingStart_), kShortestGifFrameCentiseconds);
        if (!writeFrame(pending_, shown, error)) return false;
        started_ = false;
    }
    int code = 0;
    const int closed = EGifCloseFile(gif_, &code);
    gif_ = nullptr;
    // A failed write is the file's to tell (a full disk); giflib's own failures come after.
    std::unique_ptr<WholeFile> out = std::move(out_);
    if (!out->putInPlace(error)) return false;
    if (closed != GIF_OK) {
        error = file_.string() + ": closing failed (" + GifErrorString(code) + ")";
        return false;
    }
    return true;
}

bool GifRecording::writeFrame(const Picture& picture, long centiseconds, std::string& error) {
    // A frame longer than one delay can say is written again, unchanged, for the rest.
    while (centiseconds > 0) {
        const long delay = std::min(centiseconds, kLongestGifDelay);
        centiseconds -= delay;
        const Rect rect = written_.rgba.empty() ? Rect{0, 0, width_, height_} : changedRect(written_, picture);
        IndexedPixels indexed;
        if (!indexExactly(picture, rect, indexed) && !indexByMedianCut(picture, rect, indexed)) {
            error = file_.string() + ": reducing a frame to 256 colours failed";
            return false;
        }
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;  // the next frame draws over this one
        control.UserInputFlag = false;
        control.DelayTime = static_cast<int>(delay);
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType controlBytes[4];
        EGifGCBToExtension(&control, controlBytes);
        const int tableBits = std::max(1, GifBitSize(static_cast<int>(indexed.colours.size())));
        ColorMapObject* table = GifMakeMapObject(1 << tableBits, nullptr);
        if (!table) {
            error = file_.string() + ": out of memory for a colour table";
            return false;
        }
        std::copy(indexed.colours.begin(), indexed.colours.end(), table->Colors);
        bool written = EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, 4, controlBytes) == GIF_OK &&
                       EGifPutImageDesc(gif_, rect.left, rect.top, rect.width, rect.height, false, table) == GIF_OK;
        for (int row = 0; written && row < rect.height; ++row) {
            written = EGifPutLine(gif_, indexed.indices.data() + static_cast<std::size_t>(row) * rect.width,
                                  rect.width) == GIF_OK;
        }
        GifFreeMapObject(table);
        if (!written) {
            error = failure("writing a frame");
            return false;
        }
        written_ = picture;
    }
    return true;
}

}  // namespace sandbox::pictures
