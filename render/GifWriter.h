// Writing the NXT display as an animated GIF (giflib): one frame per display,
// enlarged with nearest pixels, looping for ever.
//
// Colours are the display's own, exact. The global palette has two entries,
// white (index 0) and black (1); a frame that shows the grey #AFAFAF of a
// number box's background or a sprite's never-drawn pixels carries a local
// palette of four entries: white, black, grey and an unused black.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "NXTDisplay.h"

struct GifFileType;

namespace tavlin {

// The delay between frames in hundredths of a second for a speed in frames
// per second (1..100): 100 / fps, rounded.
int GifDelayForFps(int fps);

// An animated GIF built in memory, frame by frame. Throws TavlinError
// (without a file name) when giflib fails.
class GifAnimationWriter {
 public:
  // Every frame is 100 zoom x 64 zoom pixels (zoom 1..32) and shows for
  // `delayCentiseconds`; it loops for ever, or plays once without `loop`.
  GifAnimationWriter(int zoom, int delayCentiseconds, bool loop = true);
  ~GifAnimationWriter();
  GifAnimationWriter(const GifAnimationWriter&) = delete;
  GifAnimationWriter& operator=(const GifAnimationWriter&) = delete;

  void AddFrame(const NXTDisplay& display);
  int FrameCount() const { return frames_; }
  // The whole file; at least one frame must have been added.
  std::vector<std::uint8_t> Finish();

 private:
  void Check(int result);

  int zoom_;
  int delay_;
  int frames_ = 0;
  std::vector<std::uint8_t> out_;
  std::vector<std::uint8_t> line_;
  GifFileType* gif_ = nullptr;
};

// Writes the animation's file atomically: a failed write leaves no file
// behind and an existing file as it was. Throws TavlinError naming the file.
void WriteGifFile(const std::string& path, GifAnimationWriter& animation);

}  // namespace tavlin
