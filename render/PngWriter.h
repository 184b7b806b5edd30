// Writing pictures as PNG files (8-bit RGB) with libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DisplayImage.h"

namespace tavlin {

// The PNG file of a picture, in memory. Throws TavlinError (without a file
// name) when libpng fails or the picture is empty.
std::vector<std::uint8_t> EncodePng(const RgbImage& image);

// Writes a picture as a PNG file atomically: a failed write leaves no file
// behind and an existing file as it was. Throws TavlinError naming the file.
void WritePngFile(const std::string& path, const RgbImage& image);

}  // namespace tavlin
