// A small anti-aliased raster: an RGB canvas, shapes given by signed distance functions, and the
// fills, strokes and glows the skin pictures are painted with.
//
// Shapes, rectangles, widths and text sizes are given in table pixels (pixels of a 96-DPI display).
// A canvas or mask at another scale holds Scale::size of its table size in device pixels, and
// evaluates every shape at the table point of each device pixel's centre, with the soft edge one
// device pixel wide: a picture drawn at 200 % is drawn afresh, not stretched.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/rect.h"
#include "ui/scale.h"

namespace q7::skin {

struct Rgb {
  float r = 0, g = 0, b = 0; // 0 ... 255
  constexpr bool operator==(const Rgb&) const = default;
};

constexpr Rgb hex(uint32_t rrggbb) {
  return {static_cast<float>((rrggbb >> 16) & 0xFF), static_cast<float>((rrggbb >> 8) & 0xFF),
          static_cast<float>(rrggbb & 0xFF)};
}
constexpr Rgb mix(Rgb a, Rgb b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
constexpr Rgb white{255, 255, 255};
constexpr Rgb black{0, 0, 0};

struct Point {
  float x = 0, y = 0;
};

// A shape: the signed distance of a point to its outline, negative inside.
using Shape = std::function<float(float x, float y)>;

// Colour of a paint at a point.
using Paint = std::function<Rgb(float x, float y)>;

Paint solid(Rgb colour);
Paint vertical(Rgb top, Rgb bottom, float y0, float y1);
Paint horizontal(Rgb left, Rgb right, float x0, float x1);

Shape box(const Rect& r, float radius = 0);
Shape box(float left, float top, float right, float bottom, float radius = 0);
Shape polygon(std::vector<Point> points);
// A rectangle whose four corners are cut diagonally by the given lengths (top-left, top-right,
// bottom-right, bottom-left).
Shape chamfered(const Rect& r, float tl, float tr, float br, float bl);
Shape circle(float cx, float cy, float radius);
Shape segment(Point a, Point b, float width); // a stroke with round ends
Shape offset(Shape shape, float by);          // grown by a positive amount, shrunk by a negative one
Shape intersection(Shape a, Shape b);
Shape subtraction(Shape from, Shape cut);
Shape unite(Shape a, Shape b);

// Where the device pixels of a scale sit in table pixels.
class PixelGrid {
public:
  explicit PixelGrid(Scale scale = {})
      : scale_(scale), dpi_(static_cast<float>(scale.dpi)), devicePerTable_(dpi_ / kBaseDpi) {}

  Scale scale() const { return scale_; }
  // Device pixels per table pixel (1.5 at 144 DPI): turns a distance in table pixels into device pixels.
  float devicePerTable() const { return devicePerTable_; }
  // The table coordinate of the centre of device pixel v (v + 0.5 at 96 DPI). Multiplied before it
  // is divided, so that a centre that lies on a table pixel's edge lands on it exactly.
  float centre(int v) const { return (static_cast<float>(v) + 0.5f) * kBaseDpi / dpi_; }
  // A table coordinate in device pixels.
  float device(float v) const { return v * devicePerTable_; }

private:
  Scale scale_;
  float dpi_, devicePerTable_;
};

class Canvas {
public:
  // A canvas of width x height table pixels, held at the scale's size in device pixels.
  Canvas(int width, int height, Rgb fill, Scale scale = {});

  const PixelGrid& grid() const { return grid_; }
  Scale scale() const { return grid_.scale(); }
  Size size() const { return size_; } // in table pixels
  // Pixels are addressed in device pixels.
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  void set(int x, int y, Rgb c) { pixels_[static_cast<size_t>(y) * width_ + x] = c; }
  void blend(int x, int y, Rgb c, float alpha);

  // Painting is limited to the clip rectangle (the whole canvas by default), in table pixels.
  void setClip(const Rect& clip);
  void resetClip();

  // Calls visit(x, y, tx, ty) for every device pixel (x, y) of a table rectangle, grown by a margin
  // of table pixels and cut at the clip; (tx, ty) is the table point at the pixel's centre.
  template <typename Visit> void forEachPixel(const Rect& bounds, int grow, Visit visit) const {
    const Rect b = clipped(bounds, grow);
    for (int y = b.top; y < b.bottom; ++y) {
      const float ty = grid_.centre(y);
      for (int x = b.left; x < b.right; ++x) visit(x, y, grid_.centre(x), ty);
    }
  }

  // Anti-aliased painting of a shape within the bounds (grown a little for the soft edge).
  void fill(const Shape& shape, const Rect& bounds, const Paint& paint, float opacity = 1);
  void stroke(const Shape& shape, const Rect& bounds, float width, const Paint& paint, float opacity = 1);
  // A stroke that lies just inside the outline.
  void innerStroke(const Shape& shape, const Rect& bounds, float width, const Paint& paint, float opacity = 1);
  // A soft light (or shadow) around the shape's outside, fading over radius pixels.
  void glow(const Shape& shape, const Rect& bounds, float radius, Rgb colour, float strength);

  // Copies a piece (in table pixels) of another canvas of the same size and scale.
  void copyFrom(const Canvas& other, const Rect& piece);

  std::vector<uint8_t> rgb8() const;

private:
  // The device pixels of a table rectangle grown by a margin, within the clip.
  Rect clipped(const Rect& r, int grow) const;
  PixelGrid grid_;
  Size size_;
  int width_, height_;
  Rect clip_; // in device pixels
  std::vector<Rgb> pixels_;
};

// A one-bit picture: true where a shape covers the pixel's centre. At a scale, a centre that lies
// exactly on a left or top edge is outside and one on a right or bottom edge inside, as Scale::rect
// rounds: the mask of a rectangle holds exactly its scaled rectangle.
class Mask {
public:
  Mask(int width, int height, Scale scale = {})
      : scale_(scale), width_(width), height_(height), bits_(static_cast<size_t>(width) * height, false) {}
  // The mask of a shape over width x height table pixels, at the scale's size in device pixels.
  static Mask of(const Shape& shape, int width, int height, Scale scale = {});

  Scale scale() const { return scale_; }
  int width() const { return width_; }
  int height() const { return height_; }
  bool at(int x, int y) const { return bits_[static_cast<size_t>(y) * width_ + x]; }
  void set(int x, int y, bool v) { bits_[static_cast<size_t>(y) * width_ + x] = v; }

  // White (255,255,255) where the shape is not, black where it is: the mask files' convention.
  std::vector<uint8_t> rgb8() const;

private:
  Scale scale_;
  int width_, height_;
  std::vector<bool> bits_;
};

} // namespace q7::skin
