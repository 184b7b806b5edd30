#include "FrameRenderer.h"

#include <algorithm>
#include <atomic>
#include <future>
#include <thread>
#include <vector>

namespace tavlin {

namespace {

// Frames drawn ahead of the one being used: enough to keep the threads busy,
// few enough to cost little memory (a display is 25 KiB).
constexpr int kBatch = 16;

}  // namespace

void RenderFramesInOrder(int frames, const FrameRenderFn& render, const FrameUseFn& use,
                         int threads) {
  if (threads <= 0) threads = int(std::thread::hardware_concurrency());
  threads = std::clamp(threads, 1, 16);
  if (threads == 1 || frames <= 1) {
    NXTDisplay display;
    for (int frame = 0; frame < frames; ++frame) {
      render(frame, display);
      use(frame, display);
    }
    return;
  }

  // One batch on all threads; the futures' destructors wait for the helpers
  // even when the calling thread's own share throws.
  auto renderBatch = [&](std::vector<NXTDisplay>& out, int start) {
    const int count = std::min(kBatch, frames - start);
    std::atomic<int> next{0};
    auto work = [&] {
      for (int i; (i = next.fetch_add(1)) < count;) render(start + i, out[std::size_t(i)]);
    };
    std::vector<std::future<void>> helpers;
    for (int t = 1; t < threads; ++t) helpers.push_back(std::async(std::launch::async, work));
    work();
    for (std::future<void>& h : helpers) h.get();
  };

  std::vector<NXTDisplay> ready(kBatch), coming(kBatch);
  renderBatch(ready, 0);
  for (int start = 0; start < frames; start += kBatch) {
    std::future<void> ahead;
    if (start + kBatch < frames)
      ahead = std::async(std::launch::async, renderBatch, std::ref(coming), start + kBatch);
    const int count = std::min(kBatch, frames - start);
    for (int i = 0; i < count; ++i) use(start + i, ready[std::size_t(i)]);
    if (ahead.valid()) ahead.get();
    std::swap(ready, coming);
  }
}

}  // namespace tavlin
