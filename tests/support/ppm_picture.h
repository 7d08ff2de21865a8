// Pictures POV-Ray renders as binary PPM (+FP), read for pixel checks.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "support/mesh_builder.h"

namespace vertoko::test {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::array<int, 3>> pixels;  // 0..255, row by row from the top
    const std::array<int, 3>& At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y * width + x)];
    }
};

// A binary PPM: comments after the magic number, 8 or 16 bits per channel
// (of 16 bits, the high byte). Empty when the file is no whole P6 picture.
inline Picture ReadPpm(const std::string& path) {
    const std::string bytes = ReadBytes(path);
    Picture picture;
    std::size_t at = 0;
    std::vector<long> header;
    while (header.size() < 4 && at < bytes.size()) {
        const char c = bytes[at];
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            ++at;
        } else if (c == '#') {
            at = bytes.find('\n', at);
        } else {
            const std::size_t end = bytes.find_first_of(" \t\r\n", at);
            const std::string word = bytes.substr(at, end - at);
            header.push_back(header.empty() ? (word == "P6" ? 6 : -1) : std::stol(word));
            at = end;
        }
    }
    if (header.size() < 4 || header[0] != 6) return picture;
    ++at;  // the one blank after the largest value
    picture.width = static_cast<int>(header[1]);
    picture.height = static_cast<int>(header[2]);
    const std::size_t step = header[3] > 255 ? 2 : 1;
    const auto count = static_cast<std::size_t>(picture.width) * picture.height;
    if (bytes.size() < at + count * 3 * step) return {};
    for (std::size_t i = 0; i < count; ++i) {
        std::array<int, 3> rgb{};
        for (std::size_t c = 0; c < 3; ++c)
            rgb[c] = static_cast<unsigned char>(bytes[at + (i * 3 + c) * step]);
        picture.pixels.push_back(rgb);
    }
    return picture;
}

}  // namespace vertoko::test
