#include "GifWriter.h"

#include <gif_lib.h>

#include <algorithm>

#include "FileIO.h"

namespace tavlin {

namespace {

int AppendToBuffer(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

std::string GifErrorText(int code) {
  const char* text = GifErrorString(code);
  return text != nullptr ? std::string(text) : "error " + std::to_string(code);
}

// giflib copies the colours of a map it is given; these live for one call.
struct ColourMap {
  explicit ColourMap(bool withGrey) {
    const GifColorType colours[4] = {{255, 255, 255}, {0, 0, 0}, {0xAF, 0xAF, 0xAF}, {0, 0, 0}};
    map = GifMakeMapObject(withGrey ? 4 : 2, colours);
    if (!map) throw TavlinError("", "out of memory for the GIF palette");
  }
  ~ColourMap() { GifFreeMapObject(map); }
  ColorMapObject* map;
};

GifByteType IndexOf(Rgb colour) { return colour == kBlack ? 1 : colour == kGrey ? 2 : 0; }

}  // namespace

int GifDelayForFps(int fps) { return (200 / std::clamp(fps, 1, 100) + 1) / 2; }

GifAnimationWriter::GifAnimationWriter(int zoom, int delayCentiseconds, bool loop)
    : zoom_(std::clamp(zoom, 1, 32)),
      delay_(std::clamp(delayCentiseconds, 0, 65535)),
      line_(std::size_t(NXTDisplay::kWidth) * std::size_t(zoom_)) {
  int error = 0;
  gif_ = EGifOpen(&out_, AppendToBuffer, &error);
  if (!gif_) throw TavlinError("", "cannot start the GIF encoder: " + GifErrorText(error));
  try {
    EGifSetGifVersion(gif_, true);  // GIF89a: delays and the loop need it
    ColourMap palette(false);
    Check(EGifPutScreenDesc(gif_, NXTDisplay::kWidth * zoom_, NXTDisplay::kHeight * zoom_, 8, 0,
                            palette.map));
    // Loop for ever: the NETSCAPE2.0 application block with a count of 0;
    // without it the animation plays once.
    if (loop) {
      static const GifByteType kNetscape[] = {'N', 'E', 'T', 'S', 'C', 'A',
                                              'P', 'E', '2', '.', '0'};
      static const GifByteType kLoopForever[] = {1, 0, 0};
      Check(EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE));
      Check(EGifPutExtensionBlock(gif_, sizeof kNetscape, kNetscape));
      Check(EGifPutExtensionBlock(gif_, sizeof kLoopForever, kLoopForever));
      Check(EGifPutExtensionTrailer(gif_));
    }
  } catch (...) {
    int error = 0;
    EGifCloseFile(gif_, &error);
    throw;
  }
}

GifAnimationWriter::~GifAnimationWriter() {
  if (gif_) {
    int error = 0;
    EGifCloseFile(gif_, &error);
  }
}

void GifAnimationWriter::Check(int result) {
  if (result != GIF_ERROR) return;
  throw TavlinError("", "GIF encoding failed: " + GifErrorText(gif_->Error));
}

void GifAnimationWriter::AddFrame(const NXTDisplay& display) {
  if (!gif_) throw TavlinError("", "GIF encoding failed: the animation is finished");
  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_DO_NOT;
  control.UserInputFlag = false;
  control.DelayTime = delay_;
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType extension[4];
  EGifGCBToExtension(&control, extension);
  Check(EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension));

  const Rgb* pixels = display.Pixels();
  const Rgb* end = pixels + std::size_t(NXTDisplay::kWidth) * NXTDisplay::kHeight;
  const bool grey = std::find(pixels, end, kGrey) != end;
  if (grey) {
    ColourMap palette(true);
    Check(EGifPutImageDesc(gif_, 0, 0, NXTDisplay::kWidth * zoom_, NXTDisplay::kHeight * zoom_,
                           false, palette.map));
  } else {
    // giflib forgets the last frame's local palette here without freeing it.
    if (gif_->Image.ColorMap) {
      GifFreeMapObject(gif_->Image.ColorMap);
      gif_->Image.ColorMap = nullptr;
    }
    Check(EGifPutImageDesc(gif_, 0, 0, NXTDisplay::kWidth * zoom_, NXTDisplay::kHeight * zoom_,
                           false, nullptr));
  }
  for (int row = 0; row < NXTDisplay::kHeight; ++row) {
    const Rgb* source = pixels + std::size_t(row) * NXTDisplay::kWidth;
    GifByteType* out = line_.data();
    for (int x = 0; x < NXTDisplay::kWidth; ++x, out += zoom_)
      std::fill(out, out + zoom_, IndexOf(source[x]));
    for (int k = 0; k < zoom_; ++k) Check(EGifPutLine(gif_, line_.data(), int(line_.size())));
  }
  ++frames_;
}

std::vector<std::uint8_t> GifAnimationWriter::Finish() {
  if (!gif_) throw TavlinError("", "GIF encoding failed: the animation is finished");
  if (frames_ == 0) throw TavlinError("", "an animation needs at least one frame");
  int error = 0;
  const int result = EGifCloseFile(gif_, &error);
  gif_ = nullptr;
  if (result == GIF_ERROR) throw TavlinError("", "GIF encoding failed: " + GifErrorText(error));
  return std::move(out_);
}

void WriteGifFile(const std::string& path, GifAnimationWriter& animation) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = animation.Finish();
  } catch (const TavlinError& e) {
    throw TavlinError(path, e.Reason());
  }
  WriteFileAtomic(path, bytes.data(), bytes.size());
}

}  // namespace tavlin
