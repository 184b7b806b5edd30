// Picture files (BMP, PNG, JPEG, GIF) decoded to RGB pixels: the one part of
// the model's code that links the image libraries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Picture.h"

namespace tavlin {

enum class PictureFormat { Bmp, Png, Jpeg, Gif, Unknown };

// The format by the file's first bytes (its signature), whatever its name says.
PictureFormat DetectPictureFormat(const std::uint8_t* data, std::size_t size);

// Decodes a picture file's bytes. Transparent pixels come out white; of an
// animated GIF only the first image is taken. Throws TavlinError naming
// `name` for anything it cannot decode: unknown format, damaged or cut-short
// data, a picture beyond the size limits.
Picture DecodePicture(const std::uint8_t* data, std::size_t size, const std::string& name);

// The decoders behind DecodePicture; each throws TavlinError(name, reason).
Picture DecodeBmp(const std::uint8_t* data, std::size_t size, const std::string& name);
Picture DecodePng(const std::uint8_t* data, std::size_t size, const std::string& name);
Picture DecodeJpeg(const std::uint8_t* data, std::size_t size, const std::string& name);
Picture DecodeGif(const std::uint8_t* data, std::size_t size, const std::string& name);

}  // namespace tavlin
