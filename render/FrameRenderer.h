// Rendering the frames of an animation on all cores: the frames are drawn in
// batches on worker threads, and handed on in frame order on the calling
// thread while the next batch is drawn.
#pragma once

#include <functional>

#include "NXTDisplay.h"

namespace tavlin {

// Draws frame `frame` into `display`. Called from several threads at once:
// it may only read what the calls share (the document, the base parameters).
using FrameRenderFn = std::function<void(int frame, NXTDisplay& display)>;
// Takes a drawn frame, in order 0, 1, .. frames - 1, on the calling thread.
using FrameUseFn = std::function<void(int frame, const NXTDisplay& display)>;

// threads 0: one per core. An exception from either function ends the run
// after the threads have stopped and reaches the caller.
void RenderFramesInOrder(int frames, const FrameRenderFn& render, const FrameUseFn& use,
                         int threads = 0);

}  // namespace tavlin
