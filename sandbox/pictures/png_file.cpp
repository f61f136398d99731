// PNG files through Debian's stb library (the same static libstb that builds Dear ImGui's fonts).
#include "sandbox/pictures/png_file.h"

#include <algorithm>

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include "sandbox/pictures/whole_file.h"

namespace sandbox::pictures {

void flipRows(Picture& picture) {
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 4;
    for (int top = 0, bottom = picture.height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(picture.rgba.begin() + top * rowBytes, picture.rgba.begin() + (top + 1) * rowBytes,
                         picture.rgba.begin() + bottom * rowBytes);
    }
}

bool writePng(const std::filesystem::path& file, const Picture& picture, std::string& error) {
    // The screen is opaque, so the alpha channel carries nothing; RGB keeps the files small.
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(picture.width) * picture.height * 3);
    for (std::size_t pixel = 0; pixel < rgb.size() / 3; ++pixel) {
        std::copy_n(picture.rgba.begin() + pixel * 4, 3, rgb.begin() + pixel * 3);
    }
    WholeFile out(file, error);
    if (!out.opened()) return false;
    const auto append = [](void* context, void* bytes, int count) {
        static_cast<WholeFile*>(context)->write(bytes, static_cast<std::size_t>(count));
    };
    if (!stbi_write_png_to_func(append, &out, picture.width, picture.height, 3, rgb.data(), picture.width * 3)) {
        error = "cannot encode " + file.string() + "; the file is as it was";
        return false;
    }
    return out.putInPlace(error);
}

bool readPng(const std::filesystem::path& file, Picture& picture, std::string& error) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load(file.string().c_str(), &width, &height, &channels, 4);
    if (!pixels) {
        error = "cannot read " + file.string() + ": " + stbi_failure_reason();
        return false;
    }
    picture.width = width;
    picture.height = height;
    picture.rgba.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
    stbi_image_free(pixels);
    return true;
}

}  // namespace sandbox::pictures
