// GIF decoding through giflib: the first image of the file, placed on the
// logical screen, with transparent and uncovered pixels white. Only the
// records up to the first image are read, so an animation with thousands of
// frames costs no more than its first.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "PictureDecode.h"
#include "TavlinError.h"

namespace tavlin {

namespace {

struct GifSource {
  const std::uint8_t* Data = nullptr;
  std::size_t Size = 0;
  std::size_t Pos = 0;
};

int GifRead(GifFileType* gif, GifByteType* out, int count) {
  auto* source = static_cast<GifSource*>(gif->UserData);
  if (count <= 0) return 0;
  std::size_t n = std::min(std::size_t(count), source->Size - source->Pos);
  std::memcpy(out, source->Data + source->Pos, n);
  source->Pos += n;
  return int(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};

std::string GifErrorText(int code) {
  const char* text = GifErrorString(code);
  return text != nullptr ? std::string(text) : "error " + std::to_string(code);
}

}  // namespace

Picture DecodeGif(const std::uint8_t* data, std::size_t size, const std::string& name) {
  GifSource source{data, size, 0};
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, GifRead, &error));
  if (!gif) throw TavlinError(name, "damaged GIF picture: " + GifErrorText(error));
  auto fail = [&](const std::string& reason) -> void {
    throw TavlinError(name, "damaged GIF picture: " + reason);
  };
  auto failGif = [&]() { fail(GifErrorText(gif->Error)); };

  int transparent = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) failGif();
    if (type == IMAGE_DESC_RECORD_TYPE) break;
    if (type == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) failGif();
      if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4) {
        GraphicsControlBlock control{};
        if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
          transparent = control.TransparentColor;
      }
      while (block != nullptr)
        if (DGifGetExtensionNext(gif.get(), &block) == GIF_ERROR) failGif();
      continue;
    }
    if (type == TERMINATE_RECORD_TYPE) fail("the file holds no image");
    fail("unknown record");
  }
  if (DGifGetImageDesc(gif.get()) == GIF_ERROR) failGif();

  const GifImageDesc& frame = gif->Image;
  if (frame.Width <= 0 || frame.Height <= 0 || frame.Left < 0 || frame.Top < 0)
    fail("the first image has no pixels");
  const ColorMapObject* colours = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
  if (colours == nullptr || colours->Colors == nullptr || colours->ColorCount <= 0)
    fail("the picture has no colour table");

  // The picture is the logical screen, widened where a broken file puts the
  // first image beyond it.
  std::int64_t width = std::max<std::int64_t>(gif->SWidth, std::int64_t(frame.Left) + frame.Width);
  std::int64_t height =
      std::max<std::int64_t>(gif->SHeight, std::int64_t(frame.Top) + frame.Height);
  CheckPictureSize(width, height, name);

  Picture picture;
  picture.Width = int(width);
  picture.Height = int(height);
  picture.Pixels.assign(std::size_t(width) * std::size_t(height), kWhite);
  std::vector<GifPixelType> line(std::size_t(frame.Width));

  auto storeRow = [&](int row) {
    Rgb* out = picture.Pixels.data() + std::size_t(frame.Top + row) * std::size_t(width) +
               std::size_t(frame.Left);
    for (int x = 0; x < frame.Width; ++x) {
      int index = line[std::size_t(x)];
      if (index == transparent) continue;
      if (index < colours->ColorCount) {
        const GifColorType& c = colours->Colors[index];
        out[x] = RgbOf(c.Red, c.Green, c.Blue);
      } else {
        out[x] = kBlack;
      }
    }
  };

  if (frame.Interlace) {
    static constexpr int kOffsets[4] = {0, 4, 2, 1};
    static constexpr int kSteps[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int row = kOffsets[pass]; row < frame.Height; row += kSteps[pass]) {
        if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR) failGif();
        storeRow(row);
      }
  } else {
    for (int row = 0; row < frame.Height; ++row) {
      if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR) failGif();
      storeRow(row);
    }
  }
  return picture;
}

}  // namespace tavlin
