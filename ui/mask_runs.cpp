#include "ui/mask_runs.h"

#include <algorithm>
#include <vector>

namespace q7 {

void scanMaskRuns(std::span<const uint32_t> pixels, int width, int height, uint32_t keyRgb,
                  const std::function<void(std::span<const Rect>)>& onBatch) {
  if (width <= 0 || height <= 0) return;
  const size_t w = static_cast<size_t>(width);
  const size_t rows = std::min(static_cast<size_t>(height), pixels.size() / w);
  const uint32_t key = keyRgb & 0xFFFFFF;

  std::vector<Rect> runs;
  runs.reserve(kRunBufferStep);
  auto add = [&](const Rect& r) {
    if (runs.size() == runs.capacity()) runs.reserve(runs.capacity() + kRunBufferStep);
    runs.push_back(r);
    if (runs.size() == kRunBatch) {
      onBatch(runs);
      runs.clear();
    }
  };

  for (size_t y = 0; y < rows; ++y) {
    const uint32_t* row = pixels.data() + y * w;
    size_t x = 0;
    while (x < w) {
      while (x < w && (row[x] & 0xFFFFFF) == key) ++x;
      if (x == w) break;
      const size_t x0 = x;
      while (x < w && (row[x] & 0xFFFFFF) != key) ++x;
      const int top = static_cast<int>(y);
      add(Rect{static_cast<int>(x0), top, static_cast<int>(x), top + 1});
    }
  }
  if (!runs.empty()) onBatch(runs);
}

} // namespace q7
