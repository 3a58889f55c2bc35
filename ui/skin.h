// Skin pictures: the whole-window state images and masks of the "Skins" folder, as device bitmaps
// (SkinBitmap) or as images of the graphics library (SkinImage), and the pieces cut out of them.
// A missing or undecodable file gives an empty picture; callers draw a plain face instead.
#pragma once

#include "platform/win32/windows_only.h"

#include <gdiplus.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/handles.h"
#include "ui/scale.h"

namespace q7 {

// A device bitmap of a whole picture, or of the part of a picture that a window can show (the
// rest of it lies outside the window's shape): then it holds the part, placed at origin() within a
// picture of width() x height(). Copies share the bitmap, which goes with the last of them.
class SkinBitmap {
public:
  SkinBitmap() = default;
  explicit SkinBitmap(HBITMAP bitmap); // takes ownership
  // The part `part` (its own bitmap, taken) of a picture of width x height, placed at (x, y).
  static SkinBitmap part(SkinBitmap part, int x, int y, int width, int height);
  HBITMAP get() const { return bitmap_ ? bitmap_->get() : nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Where the held bitmap lies in the picture, and its size.
  POINT origin() const { return {x_, y_}; }
  int heldWidth() const { return heldWidth_; }
  int heldHeight() const { return heldHeight_; }
  explicit operator bool() const { return bitmap_ && *bitmap_; }

private:
  std::shared_ptr<win32::UniqueGdi<HBITMAP>> bitmap_;
  int width_ = 0, height_ = 0;
  int x_ = 0, y_ = 0, heldWidth_ = 0, heldHeight_ = 0;
};

class SkinImage {
public:
  SkinImage() = default;
  explicit SkinImage(std::unique_ptr<Gdiplus::Bitmap> image);
  Gdiplus::Bitmap* get() const { return image_.get(); }
  int width() const { return image_ ? static_cast<int>(image_->GetWidth()) : 0; }
  int height() const { return image_ ? static_cast<int>(image_->GetHeight()) : 0; }
  explicit operator bool() const { return static_cast<bool>(image_); }

private:
  std::unique_ptr<Gdiplus::Bitmap> image_;
};

// The whole file in one read into one movable block, decoded by the system's picture decoder
// (JPEG or BMP); the bitmap keeps the picture's colours exactly.
SkinBitmap loadSkinBitmap(const std::wstring& path);

// The header of a top-down DIB of width x height at bitsPerPixel.
BITMAPINFO topDownDib(int width, int height, int bitsPerPixel);
// A picture's pixels as the region scan reads them: 32 bits, top-down, 0x00RRGGBB; empty when they
// cannot be read.
std::vector<uint32_t> pixelsOf(const SkinBitmap& picture);
// The graphics library's load from file. Needs a running GDI+ session.
SkinImage loadSkinImage(const std::wstring& path);

// The piece (left,top)-(right,bottom) of source as a new screen-compatible bitmap; nothing for a
// source without a bitmap or an empty piece. Parts of the piece outside the source show the plain face.
SkinBitmap cutBitmap(const SkinBitmap& source, int left, int top, int right, int bottom);
// The piece at (x, y) of width x height, pixel format unchanged; nothing when source is empty or
// the piece does not lie inside it.
SkinImage cutImage(const SkinImage& source, int x, int y, int width, int height);

// The same piece of a device bitmap as an image of the graphics library, for owners that load
// their pictures once as device bitmaps; cut as cutBitmap cuts.
SkinImage cutImage(const SkinBitmap& source, int x, int y, int width, int height);
// Draws picture one to one at (0, 0) of dc, or the plain face over width x height where there is none.
void paintSkinFace(HDC dc, const SkinBitmap& picture, int width, int height);
// Draws the piece at (x, y) of width x height of source at (0, 0) of dc, as a piece cut with
// cutBitmap would show: the plain face where there is no source or the piece leaves it.
void paintSkinPiece(HDC dc, const SkinBitmap* source, int x, int y, int width, int height);

// How a picture is brought to another scale: smoothly for the state pictures, pixel by pixel for
// masks (a mask keeps its two colours exactly).
enum class Resample { Smooth, Nearest };

// The skin file `name` for a window at `scale`. A display above 96 DPI reads the file of the skin
// set that serves it (a sub-folder of "Skins") when that file exists and is not older than the
// 96-DPI file (a user's own 96-DPI skin copied over ours is never hidden by our older scaled set);
// otherwise the 96-DPI file. A picture drawn for another DPI than the window's is resampled to the
// window's scale.
SkinBitmap loadScaledSkin(std::wstring_view name, Scale scale, Resample how = Resample::Smooth);
// The picture at width x height, resampled as `how` says; the picture itself when it has that size.
SkinBitmap resampled(SkinBitmap picture, int width, int height, Resample how);

// The full path of a skin file: the program's drive and folder, "Skins\", the file's literal name.
std::wstring skinFile(std::wstring_view name);
// The folder (with trailing backslash) whose "Skins" folder is read instead of the program's;
// empty to return to the program's folder. For tests.
void setSkinBaseFolder(std::wstring folder);

} // namespace q7
