#include "PngWriter.h"

#include <png.h>

#include <csetjmp>

#include "FileIO.h"

namespace tavlin {

namespace {

void AppendToBuffer(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// libpng reports errors through longjmp; the message is kept for the exception.
void OnPngError(png_structp png, png_const_charp message) {
  auto* text = static_cast<std::string*>(png_get_error_ptr(png));
  if (text) *text = message ? message : "PNG error";
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

}  // namespace

std::vector<std::uint8_t> EncodePng(const RgbImage& image) {
  if (image.Width <= 0 || image.Height <= 0 ||
      image.Pixels.size() != std::size_t(image.Width) * std::size_t(image.Height))
    throw TavlinError("", "empty picture");

  // Everything libpng may jump over is set up before setjmp.
  std::vector<std::uint8_t> out;
  std::string error;
  std::vector<png_byte> row(std::size_t(image.Width) * 3);
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, OnPngError, OnPngWarning);
  if (!png) throw TavlinError("", "cannot start the PNG encoder");
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    throw TavlinError("", "cannot start the PNG encoder");
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw TavlinError("", "PNG encoding failed: " + error);
  }
  png_set_write_fn(png, &out, AppendToBuffer, FlushNothing);
  png_set_IHDR(png, info, png_uint_32(image.Width), png_uint_32(image.Height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.Height; ++y) {
    for (int x = 0; x < image.Width; ++x) {
      const Rgb c = image.At(x, y);
      row[std::size_t(x) * 3 + 0] = png_byte((c >> 16) & 0xFF);
      row[std::size_t(x) * 3 + 1] = png_byte((c >> 8) & 0xFF);
      row[std::size_t(x) * 3 + 2] = png_byte(c & 0xFF);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

void WritePngFile(const std::string& path, const RgbImage& image) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = EncodePng(image);
  } catch (const TavlinError& e) {
    throw TavlinError(path, e.Reason());
  }
  WriteFileAtomic(path, bytes.data(), bytes.size());
}

}  // namespace tavlin
