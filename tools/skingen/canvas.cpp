#include "tools/skingen/canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace q7::skin {

namespace {

float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

float length(float x, float y) { return std::sqrt(x * x + y * y); }

} // namespace

Paint solid(Rgb colour) {
  return [colour](float, float) { return colour; };
}

Paint vertical(Rgb top, Rgb bottom, float y0, float y1) {
  return [=](float, float y) { return mix(top, bottom, clamp01((y - y0) / std::max(1.0f, y1 - y0))); };
}

Paint horizontal(Rgb left, Rgb right, float x0, float x1) {
  return [=](float x, float) { return mix(left, right, clamp01((x - x0) / std::max(1.0f, x1 - x0))); };
}

Shape box(float left, float top, float right, float bottom, float radius) {
  const float cx = (left + right) / 2, cy = (top + bottom) / 2;
  const float hx = (right - left) / 2, hy = (bottom - top) / 2;
  radius = std::min({radius, hx, hy});
  return [=](float x, float y) {
    const float qx = std::abs(x - cx) - hx + radius, qy = std::abs(y - cy) - hy + radius;
    return length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - radius;
  };
}

Shape box(const Rect& r, float radius) {
  return box(static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right),
             static_cast<float>(r.bottom), radius);
}

Shape polygon(std::vector<Point> v) {
  return [v = std::move(v)](float px, float py) {
    float d = (px - v[0].x) * (px - v[0].x) + (py - v[0].y) * (py - v[0].y);
    float s = 1;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
      const float ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
      const float wx = px - v[i].x, wy = py - v[i].y;
      const float t = std::clamp((wx * ex + wy * ey) / (ex * ex + ey * ey), 0.0f, 1.0f);
      const float bx = wx - ex * t, by = wy - ey * t;
      d = std::min(d, bx * bx + by * by);
      const bool c1 = py >= v[i].y, c2 = py<v[j].y, c3 = ex * wy> ey * wx;
      if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
  };
}

Shape chamfered(const Rect& r, float tl, float tr, float br, float bl) {
  const float l = static_cast<float>(r.left), t = static_cast<float>(r.top);
  const float rr = static_cast<float>(r.right), b = static_cast<float>(r.bottom);
  return polygon(
      {{l + tl, t}, {rr - tr, t}, {rr, t + tr}, {rr, b - br}, {rr - br, b}, {l + bl, b}, {l, b - bl}, {l, t + tl}});
}

Shape circle(float cx, float cy, float radius) {
  return [=](float x, float y) { return length(x - cx, y - cy) - radius; };
}

Shape segment(Point a, Point b, float width) {
  return [=](float x, float y) {
    const float ex = b.x - a.x, ey = b.y - a.y, wx = x - a.x, wy = y - a.y;
    const float len2 = ex * ex + ey * ey;
    const float t = len2 > 0 ? std::clamp((wx * ex + wy * ey) / len2, 0.0f, 1.0f) : 0.0f;
    return length(wx - ex * t, wy - ey * t) - width / 2;
  };
}

Shape offset(Shape shape, float by) {
  return [shape = std::move(shape), by](float x, float y) { return shape(x, y) - by; };
}

Shape intersection(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](float x, float y) { return std::max(a(x, y), b(x, y)); };
}

Shape subtraction(Shape from, Shape cut) {
  return [from = std::move(from), cut = std::move(cut)](float x, float y) { return std::max(from(x, y), -cut(x, y)); };
}

Shape unite(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](float x, float y) { return std::min(a(x, y), b(x, y)); };
}

Canvas::Canvas(int width, int height, Rgb fill, Scale scale)
    : grid_(scale), size_{width, height}, width_(scale.px(width)),
      height_(scale.px(height)), clip_{0, 0, width_, height_}, pixels_(static_cast<size_t>(width_) * height_, fill) {}

void Canvas::blend(int x, int y, Rgb c, float alpha) {
  if (alpha <= 0 || !clip_.contains(x, y)) return;
  Rgb& p = pixels_[static_cast<size_t>(y) * width_ + x];
  p = mix(p, c, std::min(alpha, 1.0f));
}

void Canvas::setClip(const Rect& clip) {
  const Rect d = scale().rect(clip);
  clip_ = {std::max(d.left, 0), std::max(d.top, 0), std::min(d.right, width_), std::min(d.bottom, height_)};
}

void Canvas::resetClip() { clip_ = {0, 0, width_, height_}; }

Rect Canvas::clipped(const Rect& r, int grow) const {
  const Rect d = scale().rect({r.left - grow, r.top - grow, r.right + grow, r.bottom + grow});
  return {std::max(d.left, clip_.left), std::max(d.top, clip_.top), std::min(d.right, clip_.right),
          std::min(d.bottom, clip_.bottom)};
}

// Coverage is measured in device pixels: a distance in table pixels times devicePerTable.
void Canvas::fill(const Shape& shape, const Rect& bounds, const Paint& paint, float opacity) {
  const float k = grid_.devicePerTable();
  forEachPixel(bounds, 2, [&](int x, int y, float cx, float cy) {
    const float coverage = clamp01(0.5f - shape(cx, cy) * k);
    if (coverage > 0) blend(x, y, paint(cx, cy), coverage * opacity);
  });
}

void Canvas::stroke(const Shape& shape, const Rect& bounds, float width, const Paint& paint, float opacity) {
  const float k = grid_.devicePerTable();
  forEachPixel(bounds, 2 + static_cast<int>(width), [&](int x, int y, float cx, float cy) {
    const float coverage = clamp01(0.5f - (std::abs(shape(cx, cy)) - width / 2) * k);
    if (coverage > 0) blend(x, y, paint(cx, cy), coverage * opacity);
  });
}

void Canvas::innerStroke(const Shape& shape, const Rect& bounds, float width, const Paint& paint, float opacity) {
  stroke(offset(shape, -width / 2), bounds, width, paint, opacity);
}

void Canvas::glow(const Shape& shape, const Rect& bounds, float radius, Rgb colour, float strength) {
  const float k = grid_.devicePerTable();
  forEachPixel(bounds, static_cast<int>(radius * 2.5f) + 1, [&](int x, int y, float cx, float cy) {
    const float d = shape(cx, cy);
    if (d <= 0) return;
    const float e = d / radius;
    blend(x, y, colour, strength * std::exp(-e * e) * clamp01(d * k + 0.5f));
  });
}

void Canvas::copyFrom(const Canvas& other, const Rect& piece) {
  forEachPixel(piece, 0, [&](int x, int y, float, float) { set(x, y, other.at(x, y)); });
}

std::vector<uint8_t> Canvas::rgb8() const {
  std::vector<uint8_t> out;
  out.reserve(pixels_.size() * 3);
  for (const Rgb& p : pixels_)
    for (float v : {p.r, p.g, p.b}) out.push_back(static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f))));
  return out;
}

Mask Mask::of(const Shape& shape, int width, int height, Scale scale) {
  const PixelGrid grid(scale);
  // Centres fall on edges only at a scale; there the point moves a hair up and left (96-DPI centres
  // are never on an edge, and stay where they are).
  const float nudge = scale.identity() ? 0.0f : 1.0f / 1024;
  Mask m(scale.px(width), scale.px(height), scale);
  for (int y = 0; y < m.height(); ++y)
    for (int x = 0; x < m.width(); ++x) m.set(x, y, shape(grid.centre(x) - nudge, grid.centre(y) - nudge) < 0);
  return m;
}

std::vector<uint8_t> Mask::rgb8() const {
  std::vector<uint8_t> out;
  out.reserve(bits_.size() * 3);
  for (bool inside : bits_)
    for (int i = 0; i < 3; ++i) out.push_back(inside ? 0 : 255);
  return out;
}

} // namespace q7::skin
