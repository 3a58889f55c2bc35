// The process-wide cache of the skinned dialogs' pictures: per display scale, each family's three
// state pictures, each kept only for the part its mask lets a window show, and the mask's region.
// Each file's time and size are checked whenever a window takes its pictures, so a skin file
// replaced while the program runs shows at the next opening. The main window fills the cache in
// idle time after its first paint; a dialog that opens before then decodes its own pictures.
#pragma once

#include "platform/win32/windows_only.h"

#include <memory>
#include <vector>

#include "platform/win32/handles.h"
#include "ui/scale.h"
#include "ui/skin.h"
#include "ui/skin_canvas.h"
#include "ui/skin_family.h"

namespace q7 {

struct FamilyPictures {
  SkinBitmap normal, over, down;                       // the kept parts, placed in pictures of `size`
  Size size;                                           // the normal picture's size; 0 x 0 without one
  std::shared_ptr<const win32::UniqueGdi<HRGN>> shape; // the mask's region; none without a mask
};

// The family's pictures at the scale: from the cache while none of its files changed, otherwise
// decoded now (and cached).
FamilyPictures familyPictures(const SkinFamily& family, Scale scale);

// A copy of a family's shape for one window (SetWindowRgn takes the region it is given); none
// without a shape.
win32::UniqueGdi<HRGN> copyShape(const FamilyPictures& pictures);

// Decodes the families at the scale into the cache on a thread of idle priority; returns at once.
// A family asked for meanwhile is decoded by the window that asks.
void prefetchFamilies(std::vector<const SkinFamily*> families, Scale scale);
// True once the last prefetch has finished (for benchmarks and tests).
bool prefetchDone();

// The pixel bytes the cache holds in its kept parts (24 bits a pixel, rows padded to four bytes).
size_t cachedPictureBytes();
// Empties the cache (for tests and benchmarks).
void clearPictureCache();

} // namespace q7
