// The decisions of the process-wide skin picture cache that need no window: when a cached picture
// must be decoded again, and which part of a picture a skinned window can show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/rect.h"
#include "ui/skin_canvas.h"

namespace q7 {

// What a window checks of a skin file each time it opens: whether it exists, its last write time
// and its size.
struct FileStamp {
  bool exists = false;
  uint64_t writeTime = 0;
  uint64_t size = 0;
  bool operator==(const FileStamp&) const = default;
};

// A picture is read from the scaled set's file or the 96-DPI file, chosen by both files' stamps:
// both are kept with what was decoded, and a change of either decodes the picture again.
struct PictureStamps {
  FileStamp scaled, base;
  bool operator==(const PictureStamps&) const = default;
};

// True when a cache entry read under `cached` no longer shows what the files hold now: a file was
// replaced, written, grown, removed or added. An entry read from no file at all stays valid only
// while there is still none.
bool needsDecode(const PictureStamps& cached, const PictureStamps& now);

// The bounding box of the pixels a mask keeps (every pixel that is not the key colour, as
// scanMaskRuns reads them); an empty rectangle for a mask of nothing but the key colour.
Rect maskBounds(std::span<const uint32_t> pixels, int width, int height, uint32_t keyRgb);

// The part of a picture of `picture` size that a window shaped by a mask with bounds `box` shows:
// the box within the picture. Without a mask (an empty box from no mask at all) the whole picture.
Rect keptPart(const Rect& box, bool haveMask, Size picture);

// The bytes of the pixels of a device-independent bitmap: rows padded to four bytes.
size_t dibPixelBytes(Size size, int bitsPerPixel);

} // namespace q7
