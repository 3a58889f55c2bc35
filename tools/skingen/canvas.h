// A small anti-aliased raster: an RGB canvas, shapes given by signed distance functions, and the
// fills, strokes and glows the skin pictures are painted with.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "ui/rect.h"

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

class Canvas {
public:
  Canvas(int width, int height, Rgb fill);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  void set(int x, int y, Rgb c) { pixels_[static_cast<size_t>(y) * width_ + x] = c; }
  void blend(int x, int y, Rgb c, float alpha);

  // Painting is limited to the clip rectangle (the whole canvas by default).
  void setClip(const Rect& clip);
  void resetClip();

  // Anti-aliased painting of a shape within the bounds (grown a little for the soft edge).
  void fill(const Shape& shape, const Rect& bounds, const Paint& paint, float opacity = 1);
  void stroke(const Shape& shape, const Rect& bounds, float width, const Paint& paint, float opacity = 1);
  // A stroke that lies just inside the outline.
  void innerStroke(const Shape& shape, const Rect& bounds, float width, const Paint& paint, float opacity = 1);
  // A soft light (or shadow) around the shape's outside, fading over radius pixels.
  void glow(const Shape& shape, const Rect& bounds, float radius, Rgb colour, float strength);

  // Copies a piece of another canvas of the same size.
  void copyFrom(const Canvas& other, const Rect& piece);

  std::vector<uint8_t> rgb8() const;

private:
  Rect clipped(const Rect& r, int grow) const;
  int width_, height_;
  Rect clip_;
  std::vector<Rgb> pixels_;
};

// A one-bit picture: true where a shape covers the pixel's centre.
class Mask {
public:
  Mask(int width, int height) : width_(width), height_(height), bits_(static_cast<size_t>(width) * height, false) {}
  static Mask of(const Shape& shape, int width, int height, float dx = 0, float dy = 0);

  int width() const { return width_; }
  int height() const { return height_; }
  bool at(int x, int y) const { return bits_[static_cast<size_t>(y) * width_ + x]; }
  void set(int x, int y, bool v) { bits_[static_cast<size_t>(y) * width_ + x] = v; }

  // White (255,255,255) where the shape is not, black where it is: the mask files' convention.
  std::vector<uint8_t> rgb8() const;

private:
  int width_, height_;
  std::vector<bool> bits_;
};

} // namespace q7::skin
