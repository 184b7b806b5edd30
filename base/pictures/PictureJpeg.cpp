// JPEG decoding through libjpeg. Errors leave libjpeg by longjmp, so every
// libjpeg call happens inside the small functions below, which hold no C++
// objects of their own; all state lives in JpegState, owned by the caller.
#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstring>

#include "PictureDecode.h"
#include "TavlinError.h"

namespace tavlin {

namespace {

// A progressive file may repeat scans without end; real pictures have a few dozen.
constexpr int kMaxJpegScans = 1000;
// Working memory libjpeg may take besides our pixels (progressive files keep
// all coefficients in memory).
constexpr long kMaxJpegWorkMemory = 512L * 1024 * 1024;

struct JpegState {
  jpeg_decompress_struct Info{};
  jpeg_error_mgr Errors{};
  jpeg_progress_mgr Progress{};
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX + 64] = {};
  bool Created = false;

  ~JpegState() {
    if (Created) jpeg_destroy_decompress(&Info);
  }
};

JpegState* StateOf(j_common_ptr info) { return static_cast<JpegState*>(info->client_data); }

[[noreturn]] void JpegAbort(JpegState& s, const char* reason) {
  std::snprintf(s.Message, sizeof s.Message, "%s", reason);
  std::longjmp(s.Jump, 1);
}

[[noreturn]] void JpegFail(j_common_ptr info) {
  JpegState* state = StateOf(info);
  (*info->err->format_message)(info, state->Message);
  std::longjmp(state->Jump, 1);
}

void JpegMessage(j_common_ptr info, int level) {
  // A file that ends early is only a warning to libjpeg, which fills the rest
  // with grey; we refuse it like any other damaged file.
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
    JpegAbort(*StateOf(info), "the file is cut short");
}

void JpegProgress(j_common_ptr info) {
  auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number > kMaxJpegScans) JpegAbort(*StateOf(info), "too many scans");
}

bool ReadJpegHeader(JpegState& s, const std::uint8_t* data, std::size_t size) {
  s.Info.err = jpeg_std_error(&s.Errors);
  s.Errors.error_exit = JpegFail;
  s.Errors.emit_message = JpegMessage;
  s.Info.client_data = &s;  // kept by jpeg_create_decompress
  if (setjmp(s.Jump)) return false;
  jpeg_create_decompress(&s.Info);
  s.Created = true;
  s.Info.mem->max_memory_to_use = kMaxJpegWorkMemory;
  s.Progress.progress_monitor = JpegProgress;
  s.Info.progress = &s.Progress;
  jpeg_mem_src(&s.Info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&s.Info, TRUE);
  if (s.Info.jpeg_color_space == JCS_CMYK || s.Info.jpeg_color_space == JCS_YCCK)
    s.Info.out_color_space = JCS_CMYK;
  else
    s.Info.out_color_space = JCS_RGB;
  return true;
}

// Appends the rows to `out` as they are decoded, through the row buffer
// `row`, which holds Width x 4 bytes.
bool ReadJpegRows(JpegState& s, std::vector<Rgb>& out, JSAMPLE* row) {
  if (setjmp(s.Jump)) return false;
  jpeg_start_decompress(&s.Info);
  const int components = s.Info.output_components;
  const bool cmyk = s.Info.out_color_space == JCS_CMYK;
  if (components != (cmyk ? 4 : 3)) JpegAbort(s, "unexpected colour layout");
  // `out` was sized from the header; the output must not be any larger.
  if (s.Info.output_width != s.Info.image_width || s.Info.output_height != s.Info.image_height)
    JpegAbort(s, "inconsistent size");
  const JDIMENSION width = s.Info.output_width;
  while (s.Info.output_scanline < s.Info.output_height) {
    JSAMPROW rows[1] = {row};
    if (jpeg_read_scanlines(&s.Info, rows, 1) != 1) JpegAbort(s, "no more rows");
    for (JDIMENSION x = 0; x < width; ++x) {
      const JSAMPLE* p = row + std::size_t(x) * std::size_t(components);
      if (cmyk) {
        // Adobe writes CMYK inverted: each byte is 255 minus the ink.
        unsigned k = p[3];
        out.push_back(RgbOf(int(p[0] * k / 255), int(p[1] * k / 255), int(p[2] * k / 255)));
      } else {
        out.push_back(RgbOf(p[0], p[1], p[2]));
      }
    }
  }
  jpeg_finish_decompress(&s.Info);
  return true;
}

}  // namespace

Picture DecodeJpeg(const std::uint8_t* data, std::size_t size, const std::string& name) {
  JpegState s;
  if (!ReadJpegHeader(s, data, size))
    throw TavlinError(name, std::string("damaged JPEG picture: ") + s.Message);
  CheckPictureSize(s.Info.image_width, s.Info.image_height, name);

  Picture picture;
  picture.Width = int(s.Info.image_width);
  picture.Height = int(s.Info.image_height);
  // Reserved, not filled: the pixels are written as the rows come, so a
  // damaged file whose header claims a large picture costs what it holds.
  picture.Pixels.reserve(std::size_t(picture.Width) * std::size_t(picture.Height));
  std::vector<JSAMPLE> row(std::size_t(picture.Width) * 4);
  if (!ReadJpegRows(s, picture.Pixels, row.data()))
    throw TavlinError(name, std::string("damaged JPEG picture: ") + s.Message);
  return picture;
}

}  // namespace tavlin
