// Writing and reading PNG pictures (stb_image_write / stb_image) and turning the bottom-up rows that
// OpenGL reads back into the top-down rows a PNG holds.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace sandbox::pictures {

// An RGBA picture, rows top to bottom.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes
};

// Reverses the row order in place (OpenGL's first row is the bottom one).
void flipRows(Picture& picture);

// Writes an opaque RGB PNG, creating missing parent folders. The file changes only once the whole
// picture is written; false and a one-line reason in error if it cannot be.
bool writePng(const std::filesystem::path& file, const Picture& picture, std::string& error);

// Reads any PNG as RGBA. False and a one-line reason in error if it cannot.
bool readPng(const std::filesystem::path& file, Picture& picture, std::string& error);

}  // namespace sandbox::pictures
