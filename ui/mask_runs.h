// The shape a mask picture gives a window: every pixel that is not the key colour, as one-pixel-high
// runs, row by row. The regions are assembled from these runs by the Windows side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "platform/rect.h"

namespace q7 {

// Runs are handed over in batches of this many rectangles (the last one may be shorter), so that no
// single region request grows without bound.
inline constexpr size_t kRunBatch = 2000;
// The rectangle buffer grows in steps of this many entries.
inline constexpr size_t kRunBufferStep = 100;

// pixels: a top-down buffer of width x height 32-bit values holding 0xRRGGBB in the low 24 bits (the
// layout of a 32-bit device-independent bitmap); the high byte is ignored. keyRgb: the colour cut
// away, as 0xRRGGBB, matched exactly. A buffer shorter than width x height is scanned only as far
// as its complete rows reach. onBatch is not called for a mask without runs.
void scanMaskRuns(std::span<const uint32_t> pixels, int width, int height, uint32_t keyRgb,
                  const std::function<void(std::span<const Rect>)>& onBatch);

} // namespace q7
