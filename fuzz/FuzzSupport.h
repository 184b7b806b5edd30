// What the fuzz targets share: a scratch folder of their own for the readers
// that touch files, made once per process and removed at its end.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tavlin::fuzz {

inline const std::filesystem::path& ScratchFolder() {
  struct Folder {
    std::filesystem::path path;
    Folder() {
      std::string pattern =
          (std::filesystem::temp_directory_path() / "tavlin-fuzz-XXXXXX").string();
      if (!mkdtemp(pattern.data())) std::abort();
      path = pattern;
    }
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static const Folder folder;
  return folder.path;
}

}  // namespace tavlin::fuzz
