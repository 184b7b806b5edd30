#include "PictureFile.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "FileIO.h"

namespace tavlin {

bool IsPictureFileName(const std::string& path) {
  std::string ext = LowerExtension(path);
  return ext == ".bmp" || ext == ".jpg" || ext == ".jpeg" || ext == ".gif" || ext == ".png";
}

Picture LoadPicture(const std::string& path) {
  std::error_code ec;
  auto bytes = std::filesystem::file_size(path, ec);
  if (!ec && bytes > kMaxPictureFileBytes)
    throw TavlinError(path,
                      "the file is too large for a picture (" + std::to_string(bytes) + " bytes)");
  std::vector<std::uint8_t> data = ReadFileBytes(path, kMaxPictureFileBytes);
  return DecodePicture(data.data(), data.size(), path);
}

}  // namespace tavlin
