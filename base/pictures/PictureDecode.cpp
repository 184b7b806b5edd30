#include "PictureDecode.h"

#include <cstring>

#include "TavlinError.h"

namespace tavlin {

PictureFormat DetectPictureFormat(const std::uint8_t* data, std::size_t size) {
  auto startsWith = [&](const char* magic, std::size_t n) {
    return size >= n && std::memcmp(data, magic, n) == 0;
  };
  if (startsWith("\x89PNG\r\n\x1a\n", 8)) return PictureFormat::Png;
  if (startsWith("\xFF\xD8\xFF", 3)) return PictureFormat::Jpeg;
  if (startsWith("GIF87a", 6) || startsWith("GIF89a", 6)) return PictureFormat::Gif;
  if (startsWith("BM", 2)) return PictureFormat::Bmp;
  return PictureFormat::Unknown;
}

Picture DecodePicture(const std::uint8_t* data, std::size_t size, const std::string& name) {
  if (size == 0) throw TavlinError(name, "the picture file is empty");
  switch (DetectPictureFormat(data, size)) {
    case PictureFormat::Bmp:
      return DecodeBmp(data, size, name);
    case PictureFormat::Png:
      return DecodePng(data, size, name);
    case PictureFormat::Jpeg:
      return DecodeJpeg(data, size, name);
    case PictureFormat::Gif:
      return DecodeGif(data, size, name);
    case PictureFormat::Unknown:
      break;
  }
  throw TavlinError(name, "not a BMP, PNG, JPEG or GIF picture");
}

}  // namespace tavlin
