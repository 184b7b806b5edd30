// Picture files read from disk: their names and their decoding.
#pragma once

#include <string>

#include "PictureDecode.h"

namespace tavlin {

// True for the names the import dialog lists: .bmp, .jpg, .jpeg, .gif, .png
// in any case.
bool IsPictureFileName(const std::string& path);

// Reads and decodes a picture file (DecodePicture); an unreadable or
// overlarge file is a TavlinError naming it too.
Picture LoadPicture(const std::string& path);

}  // namespace tavlin
