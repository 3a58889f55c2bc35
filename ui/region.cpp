#include "ui/region.h"

#include <cstring>
#include <vector>

#include "ui/mask_runs.h"

namespace q7 {

namespace {
// Far above any mask of ours; larger bitmaps are not masks.
constexpr size_t kMaxMaskPixels = size_t{16} << 20;
} // namespace

win32::UniqueGdi<HRGN> regionFromMask(const SkinBitmap& mask, COLORREF keyColour) {
  if (!mask || mask.width() <= 0 || mask.height() <= 0) return {};
  const int w = mask.width(), h = mask.height();
  if (static_cast<size_t>(w) * static_cast<size_t>(h) > kMaxMaskPixels) return {};

  const std::vector<uint32_t> pixels = pixelsOf(mask);
  if (pixels.empty()) return {};

  win32::UniqueGdi<HRGN> region(CreateRectRgn(0, 0, 0, 0));
  if (!region) return {};
  const uint32_t keyRgb = (GetRValue(keyColour) << 16) | (GetGValue(keyColour) << 8) | GetBValue(keyColour);
  std::vector<BYTE> data;
  bool failed = false;
  scanMaskRuns(pixels, w, h, keyRgb, [&](std::span<const Rect> batch) {
    data.assign(sizeof(RGNDATAHEADER) + batch.size() * sizeof(RECT), 0);
    RGNDATAHEADER header{};
    header.dwSize = sizeof header;
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(batch.size());
    header.nRgnSize = static_cast<DWORD>(batch.size() * sizeof(RECT));
    header.rcBound = RECT{0, 0, w, h};
    std::memcpy(data.data(), &header, sizeof header);
    for (size_t i = 0; i < batch.size(); ++i) {
      const RECT r{batch[i].left, batch[i].top, batch[i].right, batch[i].bottom};
      std::memcpy(data.data() + sizeof header + i * sizeof r, &r, sizeof r);
    }
    win32::UniqueGdi<HRGN> part(
        ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data())));
    if (!part || CombineRgn(region.get(), region.get(), part.get(), RGN_OR) == ERROR) failed = true;
  });
  if (failed) return {};
  return region;
}

} // namespace q7
