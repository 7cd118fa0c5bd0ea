// Writes a picture as a PNG file: 8-bit RGB, no interlacing, one deflate stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gallery {

// rgb holds height rows of width pixels, three bytes each (red, green, blue). False when the file
// cannot be written.
bool WritePng(const std::wstring& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace gallery
