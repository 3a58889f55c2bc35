#include "tools/skingen/art.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/skingen/text.h"

namespace q7::skin {

using namespace palette;

namespace {

float fx(int v) { return static_cast<float>(v); }

Rect grown(const Rect& r, int by) { return {r.left - by, r.top - by, r.right + by, r.bottom + by}; }

// Paints within the rectangle only: what a button shows is cut at its rectangle.
struct ClipTo {
  ClipTo(Canvas& c, const Rect& r) : canvas(c) { canvas.setClip(r); }
  ~ClipTo() { canvas.resetClip(); }
  Canvas& canvas;
};

struct FaceLook {
  Rgb top, bottom, edge, highlight;
  float edgeOpacity = 1, highlightOpacity = 0.35f;
};

void paintFace(Canvas& canvas, const Rect& r, const Shape& face, const FaceLook& f) {
  ClipTo clip(canvas, r);
  canvas.fill(face, r, vertical(f.top, f.bottom, fx(r.top), fx(r.bottom)));
  // A light line along the top edge, fading downwards.
  canvas.fill(intersection(face, box(fx(r.left), fx(r.top), fx(r.right), fx(r.top) + 1.6f)), r, solid(f.highlight),
              f.highlightOpacity);
  canvas.innerStroke(face, r, 1, solid(f.edge), f.edgeOpacity);
}

void drawIcon(Canvas& canvas, const Rect& r, Icon icon, Rgb ink) {
  const float cx = (r.left + r.right) / 2.0f, cy = (r.top + r.bottom) / 2.0f;
  const float s = std::min(r.width(), r.height()) * 0.5f; // half the icon's room
  const float w = std::max(1.4f, s * 0.2f);
  switch (icon) {
  case Icon::Minimise:
    canvas.fill(segment({cx - s * 0.5f, cy + s * 0.25f}, {cx + s * 0.5f, cy + s * 0.25f}, w), r, solid(ink));
    break;
  case Icon::Close:
    canvas.fill(unite(segment({cx - s * 0.42f, cy - s * 0.42f}, {cx + s * 0.42f, cy + s * 0.42f}, w),
                      segment({cx - s * 0.42f, cy + s * 0.42f}, {cx + s * 0.42f, cy - s * 0.42f}, w)),
                r, solid(ink));
    break;
  case Icon::Help:
  case Icon::Support: {
    if (icon == Icon::Support) canvas.stroke(circle(cx, cy, s * 0.78f), r, w * 0.8f, solid(ink));
    const float size = s * (icon == Icon::Support ? 1.25f : 1.6f);
    const Faces& f = faces();
    const float width = f.bold.width(u"?", size);
    const auto [capTop, capHeight] = f.bold.capitals(size);
    f.bold.draw(canvas, u"?", size, cx - width / 2, cy - capHeight / 2 - capTop, ink);
    break;
  }
  case Icon::Globe: {
    const float rad = s * 0.72f;
    canvas.stroke(circle(cx, cy, rad), r, w * 0.8f, solid(ink));
    // A meridian (an ellipse) and the equator.
    const Shape meridian = [=](float x, float y) {
      const float ex = (x - cx) / (rad * 0.45f), ey = (y - cy) / rad;
      return (std::sqrt(ex * ex + ey * ey) - 1) * rad * 0.45f;
    };
    canvas.stroke(meridian, r, w * 0.7f, solid(ink));
    canvas.fill(segment({cx - rad, cy}, {cx + rad, cy}, w * 0.7f), r, solid(ink));
    break;
  }
  case Icon::Video:
    canvas.fill(box(cx - s * 0.8f, cy - s * 0.55f, cx + s * 0.8f, cy + s * 0.55f, s * 0.25f), r, solid(ink));
    canvas.fill(polygon({{cx - s * 0.22f, cy - s * 0.3f}, {cx + s * 0.32f, cy}, {cx - s * 0.22f, cy + s * 0.3f}}), r,
                solid(hex(0x111318)));
    break;
  case Icon::Chat:
    canvas.fill(
        unite(
            box(cx - s * 0.75f, cy - s * 0.6f, cx + s * 0.75f, cy + s * 0.35f, s * 0.3f),
            polygon({{cx - s * 0.4f, cy + s * 0.2f}, {cx - s * 0.05f, cy + s * 0.3f}, {cx - s * 0.5f, cy + s * 0.7f}})),
        r, solid(ink));
    for (float dx : {-0.35f, 0.0f, 0.35f})
      canvas.fill(circle(cx + dx * s, cy - s * 0.12f, s * 0.1f), r, solid(hex(0x111318)));
    break;
  case Icon::Record:
    canvas.fill(circle(cx, cy, s * 0.62f), r, solid(ink));
    break;
  case Icon::Stop:
    canvas.fill(box(cx - s * 0.52f, cy - s * 0.52f, cx + s * 0.52f, cy + s * 0.52f, s * 0.12f), r, solid(ink));
    break;
  case Icon::Browse:
    for (float dx : {-0.55f, 0.0f, 0.55f})
      canvas.fill(circle(cx + dx * s, cy + s * 0.2f, std::max(0.9f, s * 0.16f)), r, solid(ink));
    break;
  }
}

// A key legend: one line when it fits, else two lines split at a blank or where a capital starts a
// word ("ScrLock"), else one smaller line. The keypad's "(7)" is printed as "7".
void drawLegend(Canvas& canvas, const Rect& r, std::u16string_view legend, Rgb colour) {
  if (legend.size() >= 3 && legend.front() == u'(' && legend.back() == u')')
    legend = legend.substr(1, legend.size() - 2);
  if (legend.empty()) return;
  const Face& face = faces().narrow;
  const Rect room{r.left + 3, r.top + 2, r.right - 3, r.bottom - 4}; // the cap's top face
  const bool wide = r.width() > 30;
  const Rect line = wide ? Rect{room.left + 2, room.top, room.right, room.bottom} : room;
  const Align align = wide ? Align::Left : Align::Centre;
  const float size = legend.size() == 1 ? 11.0f : 9.0f;
  if (face.width(legend, size) <= line.width()) {
    drawText(canvas, face, legend, size, line, align, colour);
    return;
  }
  size_t split = legend.find(u' ');
  for (size_t i = 1; split == std::u16string_view::npos && i + 1 < legend.size(); ++i)
    if (legend[i] >= u'A' && legend[i] <= u'Z' && legend[i - 1] >= u'a' && legend[i - 1] <= u'z') split = i;
  if (split == std::u16string_view::npos && legend.size() >= 7) split = legend.size() / 2; // "Num" "lock"
  if (split != std::u16string_view::npos) {
    const std::u16string_view first = legend.substr(0, split);
    const std::u16string_view second = legend.substr(legend[split] == u' ' ? split + 1 : split);
    const float small = 8.0f;
    const int mid = (room.top + room.bottom) / 2;
    drawText(canvas, face, first, small, {line.left, mid - 9, line.right, mid}, align, colour);
    drawText(canvas, face, second, small, {line.left, mid, line.right, mid + 9}, align, colour);
    return;
  }
  drawText(canvas, face, legend, size, line, align, colour);
}

} // namespace

Shape placed(const Shape& shape, const Rect& at) {
  const float dx = fx(at.left), dy = fx(at.top);
  return [shape, dx, dy](float x, float y) { return shape(x - dx, y - dy); };
}

Shape slantedFace(Size mask) {
  const float w = fx(mask.width), h = fx(mask.height);
  const float slant = std::round(h * 0.3f);
  return polygon({{slant, 0}, {w, 0}, {w - slant, h}, {0, h}});
}

Mask slantedButtonMask(Size mask, Scale scale) {
  const float half = scale.identity() ? 0.0f : 0.5f * kBaseDpi / scale.dpi; // half a device pixel
  const Shape face = slantedFace(mask);
  const Shape inset = [face, half](float x, float y) { return std::max(face(x - half, y), face(x + half, y)); };
  return Mask::of(inset, mask.width, mask.height, scale);
}

void body(Canvas& canvas, const Mask& mask, const Paint& paint, Rgb edge) {
  constexpr int kBleed = 3; // device pixels: what a compressed block can smear across the edge
  const int w = mask.width(), h = mask.height();
  // Pixels with a mask pixel within kBleed across and down: the mask grown by rows, then by columns.
  std::vector<char> rows(static_cast<size_t>(w) * h, 0);
  for (int y = 0; y < h; ++y) {
    int last = -1 - 2 * kBleed; // the last mask pixel at or left of x
    for (int x = 0; x < w + kBleed; ++x) {
      if (x < w && mask.at(x, y)) last = x;
      if (x >= kBleed && last >= x - 2 * kBleed) rows[static_cast<size_t>(y) * w + x - kBleed] = 1;
    }
  }
  const PixelGrid& grid = canvas.grid();
  for (int x = 0; x < w; ++x) {
    int last = -1 - 2 * kBleed;
    for (int y = 0; y < h + kBleed; ++y) {
      if (y < h && rows[static_cast<size_t>(y) * w + x]) last = y;
      const int at = y - kBleed;
      if (at < 0) continue;
      if (mask.at(x, at))
        canvas.set(x, at, paint(grid.centre(x), grid.centre(at)));
      else if (last >= at - kBleed)
        canvas.set(x, at, edge);
    }
  }
}

void plate(Canvas& canvas, const Shape& shape, const Rect& bounds, float edgeOpacity) {
  canvas.fill(shape, bounds, vertical(kPlateTop, kPlateBottom, fx(bounds.top), fx(bounds.bottom)));
  canvas.innerStroke(shape, bounds, 1, solid(kEdge), edgeOpacity);
  canvas.fill(
      intersection(offset(shape, -1), box(fx(bounds.left), fx(bounds.top) + 1, fx(bounds.right), fx(bounds.top) + 2)),
      bounds, solid(hex(0x3a404c)), 0.6f * edgeOpacity);
}

void well(Canvas& canvas, const Rect& r, float radius) {
  const Shape s = box(r, radius);
  canvas.fill(s, r, vertical(hex(0x08090b), hex(0x0f1115), fx(r.top), fx(r.bottom)));
  canvas.innerStroke(s, r, 1, solid(hex(0x262a33)));
}

void hatch(Canvas& canvas, const Shape& area, const Rect& bounds, const std::function<float(float, float)>& fade) {
  const Shape lines = [](float x, float y) {
    const float v = std::fmod(x + y, 7.0f);
    return std::abs(v - 3.5f) - 0.5f;
  };
  const Shape hatching = intersection(area, lines);
  const float k = canvas.grid().devicePerTable();
  canvas.forEachPixel(bounds, 0, [&](int x, int y, float cx, float cy) {
    const float coverage = std::clamp(0.5f - hatching(cx, cy) * k, 0.0f, 1.0f);
    if (coverage > 0) canvas.blend(x, y, hex(0x262a33), 0.5f * coverage * (fade ? fade(cx, cy) : 1.0f));
  });
}

void accentLine(Canvas& canvas, Point a, Point b, Rgb colour, float width) {
  const Rect bounds{static_cast<int>(std::min(a.x, b.x)) - 6, static_cast<int>(std::min(a.y, b.y)) - 6,
                    static_cast<int>(std::max(a.x, b.x)) + 6, static_cast<int>(std::max(a.y, b.y)) + 6};
  const Shape line = segment(a, b, width);
  canvas.glow(line, bounds, 3, colour, 0.35f);
  canvas.fill(line, bounds, solid(colour));
}

void keyCap(Canvas& canvas, const Rect& r, std::u16string_view legend, KeyLook look) {
  if (r.empty()) return;
  ClipTo clip(canvas, r);
  const float l = fx(r.left), t = fx(r.top), rr = fx(r.right), b = fx(r.bottom);
  const Shape skirt = box(l + 0.5f, t + 0.5f, rr - 0.5f, b - 0.5f, 3.5f);
  const Shape top = box(l + 2.5f, t + 1.5f, rr - 2.5f, b - 3.5f, 2.5f);
  Rgb legendColour;
  switch (look) {
  case KeyLook::Default:
    canvas.fill(skirt, r, vertical(hex(0x2a2e37), hex(0x1b1e24), t, b));
    canvas.innerStroke(skirt, r, 1, solid(hex(0x3b414d)), 0.8f);
    canvas.fill(top, r, vertical(hex(0x343a45), hex(0x2a2f38), t, b));
    legendColour = hex(0xc7ccd6);
    break;
  case KeyLook::Assigned:
    canvas.fill(skirt, r, vertical(hex(0x6a2fd6), hex(0x3d1380), t, b));
    canvas.innerStroke(skirt, r, 1, solid(kViolet));
    canvas.fill(top, r, vertical(hex(0x9563ff), hex(0x6f32e6), t, b));
    canvas.fill(intersection(top, box(l, t, rr, t + 3)), r, solid(hex(0xd9c8ff)), 0.35f);
    legendColour = white;
    break;
  case KeyLook::Selected:
    canvas.fill(skirt, r, vertical(hex(0x15505e), hex(0x0c2c35), t, b));
    canvas.fill(top, r, vertical(hex(0x23788a), hex(0x185968), t, b));
    canvas.innerStroke(skirt, r, 2, solid(kCyan));
    canvas.innerStroke(offset(skirt, -2), r, 1.5f, solid(kCyan), 0.3f);
    legendColour = hex(0xdffaff);
    break;
  }
  drawLegend(canvas, r, legend, legendColour);
}

void commandButton(Canvas& canvas, const Rect& r, const Shape& face, State state) {
  switch (state) {
  case State::Normal:
    paintFace(canvas, r, face, {hex(0xdfe3ea), hex(0xa7aeba), hex(0x6b7280), white, 1, 0.7f});
    break;
  case State::Over:
    paintFace(canvas, r, face, {hex(0xa67cff), hex(0x6a2fe0), hex(0xcbb6ff), white, 1, 0.45f});
    break;
  case State::Down:
    paintFace(canvas, r, face, {hex(0x3a0f7e), hex(0x55209f), hex(0x8b5cf6), black, 1, 0.4f});
    break;
  case State::Disabled:
    paintFace(canvas, r, face, {hex(0x8c929d), hex(0x6c727d), hex(0x545a66), white, 1, 0.3f});
    break;
  }
}

void lightButton(Canvas& canvas, const Rect& r, const Shape& face, State state) {
  switch (state) {
  case State::Normal:
    paintFace(canvas, r, face, {hex(0xdfe3ea), hex(0xa7aeba), hex(0x6b7280), white, 1, 0.7f});
    break;
  case State::Over:
    paintFace(canvas, r, face, {hex(0xf1ebff), hex(0xc6b3ff), kViolet, white, 1, 0.8f});
    break;
  case State::Down:
    paintFace(canvas, r, face, {hex(0xa98af5), hex(0xc8b6fb), kVioletMid, black, 1, 0.25f});
    break;
  case State::Disabled:
    paintFace(canvas, r, face, {hex(0x8c929d), hex(0x6c727d), hex(0x545a66), white, 1, 0.3f});
    break;
  }
}

void darkButton(Canvas& canvas, const Rect& r, const Shape& face, State state) {
  switch (state) {
  case State::Normal:
    paintFace(canvas, r, face, {hex(0x2d323d), hex(0x1e2128), hex(0x474e5c), hex(0x5a6170)});
    break;
  case State::Over:
    paintFace(canvas, r, face, {hex(0x3a3350), hex(0x2a2440), kViolet, hex(0xb89cff), 1, 0.5f});
    break;
  case State::Down:
    paintFace(canvas, r, face, {hex(0x5523b0), hex(0x7a3df0), hex(0xb99bff), black, 1, 0.3f});
    break;
  case State::Disabled:
    paintFace(canvas, r, face, {hex(0x22252c), hex(0x1a1c21), hex(0x30343d), hex(0x30343d)});
    break;
  }
}

void profileTab(Canvas& canvas, const Rect& r, State state) {
  const Shape face = chamfered(r, 8, 0, 8, 0);
  switch (state) {
  case State::Normal:
    paintFace(canvas, r, face, {hex(0xb4bac5), hex(0x8d94a1), hex(0x5d6472), white, 1, 0.6f});
    break;
  case State::Over:
    paintFace(canvas, r, face, {hex(0xdde1e8), hex(0xb3b9c4), hex(0x7c8493), white, 1, 0.8f});
    canvas.fill(box(fx(r.left) + 8, fx(r.bottom) - 3, fx(r.right) - 8, fx(r.bottom) - 1, 1), r, solid(kVioletMid));
    break;
  case State::Down:
    paintFace(canvas, r, face, {hex(0xe7ddff), hex(0xbfa8ff), kVioletMid, white, 1, 0.8f});
    canvas.fill(box(fx(r.left) + 6, fx(r.bottom) - 4, fx(r.right) - 6, fx(r.bottom) - 1, 1.5f), r, solid(kVioletMid));
    break;
  case State::Disabled:
    paintFace(canvas, r, face, {hex(0x7d838e), hex(0x666c77), hex(0x4f5561), white, 1, 0.3f});
    break;
  }
}

void iconButton(Canvas& canvas, const Rect& r, Icon icon, State state) {
  ClipTo clip(canvas, r);
  const Shape round = box(fx(r.left) + 0.5f, fx(r.top) + 0.5f, fx(r.right) - 0.5f, fx(r.bottom) - 0.5f, 4);
  const bool alarm = icon == Icon::Close;
  const bool record = icon == Icon::Record;
  Rgb ink = kMuted;
  switch (state) {
  case State::Normal:
    canvas.fill(round, r, solid(hex(0x1d2027)));
    canvas.innerStroke(round, r, 1, solid(hex(0x313642)));
    ink = record ? hex(0xb0304a) : kMuted;
    break;
  case State::Over:
    canvas.fill(round, r, solid(alarm ? kAlarm : hex(0x343a48)));
    canvas.innerStroke(round, r, 1, solid(alarm ? hex(0xff8da1) : kViolet));
    ink = record ? hex(0xff4466) : white;
    break;
  case State::Down:
    canvas.fill(round, r, solid(alarm ? kAlarmDeep : kVioletDeep));
    canvas.innerStroke(round, r, 1, solid(alarm ? kAlarm : kViolet));
    ink = record ? hex(0xff6680) : hex(0xe9ddff);
    break;
  case State::Disabled:
    canvas.fill(round, r, solid(hex(0x191b20)));
    ink = kFaint;
    break;
  }
  drawIcon(canvas, r, icon, ink);
}

void optionButton(Canvas& canvas, const Rect& r, State state) {
  ClipTo clip(canvas, r);
  const float cx = (r.left + r.right) / 2.0f, cy = (r.top + r.bottom) / 2.0f;
  const float rad = std::min(r.width(), r.height()) / 2.0f;
  canvas.fill(circle(cx, cy, rad), r, solid(hex(0x0b0c0f)));
  switch (state) {
  case State::Normal:
  case State::Disabled:
    canvas.stroke(circle(cx, cy, rad - 0.7f), r, 1.1f, solid(state == State::Normal ? hex(0x7a8291) : kFaint));
    break;
  case State::Over: // ticked
    canvas.stroke(circle(cx, cy, rad - 0.7f), r, 1.1f, solid(kViolet));
    canvas.fill(circle(cx, cy, rad - 2.0f), r, solid(hex(0xc9b3ff)));
    break;
  case State::Down:
    canvas.stroke(circle(cx, cy, rad - 0.7f), r, 1.1f, solid(kVioletMid));
    canvas.fill(circle(cx, cy, rad - 2.2f), r, solid(kVioletMid));
    break;
  }
}

void fieldFrame(Canvas& canvas, const Rect& field) {
  const Rect outer = grown(field, 2);
  const Shape frame = box(outer, 2.5f);
  canvas.fill(frame, outer, solid(kWell));
  canvas.innerStroke(frame, outer, 1, solid(hex(0x3a404c)));
}

} // namespace q7::skin
