// PNG decoding through libpng. libpng reports errors by longjmp, so every
// libpng call happens inside the two small functions below, which hold no
// C++ objects of their own; all state lives in PngState, owned by the caller.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "PictureDecode.h"
#include "TavlinError.h"

namespace tavlin {

namespace {

struct PngState {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  const std::uint8_t* Data = nullptr;
  std::size_t Size = 0;
  std::size_t Pos = 0;
  char Message[256] = {};
  png_uint_32 Width = 0;
  png_uint_32 Height = 0;

  ~PngState() {
    if (Png != nullptr) png_destroy_read_struct(&Png, Info != nullptr ? &Info : nullptr, nullptr);
  }
};

void PngError(png_structp png, png_const_charp message) {
  auto* state = static_cast<PngState*>(png_get_error_ptr(png));
  std::snprintf(state->Message, sizeof state->Message, "%s", message);
  png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void PngRead(png_structp png, png_bytep out, png_size_t count) {
  auto* state = static_cast<PngState*>(png_get_io_ptr(png));
  if (count > state->Size - state->Pos) png_error(png, "the file is cut short");
  std::memcpy(out, state->Data + state->Pos, count);
  state->Pos += count;
}

// Reads the header and sets up the conversion to 8-bit RGBA.
bool ReadPngHeader(PngState& s) {
  if (setjmp(png_jmpbuf(s.Png))) return false;
  png_set_read_fn(s.Png, &s, PngRead);
  png_set_user_limits(s.Png, kMaxPictureSide, kMaxPictureSide);
  // Ancillary chunks (text, ICC profiles) get a small budget; they are not used.
  png_set_chunk_cache_max(s.Png, 1000);
  png_set_chunk_malloc_max(s.Png, 8 * 1024 * 1024);
  // Text and other metadata are skipped unread: a damaged length there would
  // otherwise make libpng ask for a buffer of that size.
  static const png_byte kSkipped[] = "tEXt\0zTXt\0iTXt\0tIME\0eXIf\0iCCP\0sPLT\0pCAL\0sCAL\0hIST\0";
  png_set_keep_unknown_chunks(s.Png, PNG_HANDLE_CHUNK_NEVER, kSkipped, 10);
  png_read_info(s.Png, s.Info);
  s.Width = png_get_image_width(s.Png, s.Info);
  s.Height = png_get_image_height(s.Png, s.Info);
  int colourType = png_get_color_type(s.Png, s.Info);
  png_set_expand(s.Png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
  png_set_strip_16(s.Png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(s.Png);
  png_set_add_alpha(s.Png, 0xFF, PNG_FILLER_AFTER);  // only where there is no alpha yet
  png_set_interlace_handling(s.Png);
  png_read_update_info(s.Png, s.Info);
  if (png_get_rowbytes(s.Png, s.Info) != png_size_t(s.Width) * 4)
    png_error(s.Png, "unexpected row layout after conversion");
  return true;
}

bool ReadPngRows(PngState& s, png_bytepp rows) {
  if (setjmp(png_jmpbuf(s.Png))) return false;
  png_read_image(s.Png, rows);
  png_read_end(s.Png, nullptr);
  return true;
}

}  // namespace

Picture DecodePng(const std::uint8_t* data, std::size_t size, const std::string& name) {
  PngState s;
  s.Data = data;
  s.Size = size;
  s.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, PngError, PngWarning);
  if (s.Png == nullptr) throw TavlinError(name, "out of memory for the PNG decoder");
  s.Info = png_create_info_struct(s.Png);
  if (s.Info == nullptr) throw TavlinError(name, "out of memory for the PNG decoder");
  if (!ReadPngHeader(s)) throw TavlinError(name, std::string("damaged PNG picture: ") + s.Message);
  CheckPictureSize(s.Width, s.Height, name);

  // libpng writes R, G, B, A bytes straight into the pixel vector; the bytes
  // are turned into colour values afterwards.
  Picture picture;
  picture.Width = int(s.Width);
  picture.Height = int(s.Height);
  picture.Pixels.resize(std::size_t(s.Width) * s.Height);
  std::vector<png_bytep> rows(s.Height);
  for (png_uint_32 y = 0; y < s.Height; ++y)
    rows[y] = reinterpret_cast<png_bytep>(picture.Pixels.data() + std::size_t(y) * s.Width);
  if (!ReadPngRows(s, rows.data()))
    throw TavlinError(name, std::string("damaged PNG picture: ") + s.Message);

  for (Rgb& pixel : picture.Pixels) {
    std::uint8_t b[4];
    std::memcpy(b, &pixel, 4);
    unsigned a = b[3];
    if (a == 255) {
      pixel = RgbOf(b[0], b[1], b[2]);
    } else {
      // Transparent parts are shown on white.
      auto blend = [a](unsigned v) { return int((v * a + 255 * (255 - a) + 127) / 255); };
      pixel = RgbOf(blend(b[0]), blend(b[1]), blend(b[2]));
    }
  }
  return picture;
}

}  // namespace tavlin
