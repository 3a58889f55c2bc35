// The main window: a dark body with a chamfered corner that carries the window buttons, the
// keyboard deck with its key caps, the profile tabs, the side column with the progress ring, the
// per-key buttons and the slanted command buttons.
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>

#include "app/main_window_layout.h"
#include "tools/skingen/text.h"
#include "tools/skingen/windows_art.h"

namespace q7::skin {

using namespace palette;
using main_window::Control;
using main_window::ControlKind;

namespace {

constexpr Rect kBody{20, 36, 980, 706};
constexpr float kCornerCut = 104; // the top-right chamfer along which the window buttons sit

Shape bodyShape() {
  const float l = kBody.left, t = kBody.top, r = kBody.right, b = kBody.bottom;
  return polygon({{l + 18, t},
                  {r - kCornerCut, t},
                  {r, t + kCornerCut},
                  {r, b - 18},
                  {r - 18, b},
                  {l + 18, b},
                  {l, b - 18},
                  {l, t + 18}});
}

Rect grown(const Rect& r, int dx, int dy) { return {r.left - dx, r.top - dy, r.right + dx, r.bottom + dy}; }

// The smallest rectangle around some controls, where the language places them.
Rect around(std::initializer_list<Control> ids, std::u16string_view languageCode) {
  Rect u = main_window::controlRect(*ids.begin(), languageCode);
  for (Control id : ids) {
    const Rect r = main_window::controlRect(id, languageCode);
    u = {std::min(u.left, r.left), std::min(u.top, r.top), std::max(u.right, r.right), std::max(u.bottom, r.bottom)};
  }
  return u;
}

Icon iconOf(Control id) {
  switch (id) {
  case Control::Close:
    return Icon::Close;
  case Control::Help:
    return Icon::Help;
  case Control::Minimise:
    return Icon::Minimise;
  case Control::WebLink1:
    return Icon::Globe;
  case Control::WebLink2:
    return Icon::Video;
  default:
    return Icon::Chat;
  }
}

void drawLogo(Canvas& canvas, const Rect& r) {
  const Faces& f = faces();
  const float q7Size = 40;
  const auto [capTop, capHeight] = f.bold.capitals(q7Size);
  const float top = r.top + (r.height() - capHeight) / 2.0f - capTop;
  const float q7Width = f.bold.width(u"Q7", q7Size, -1);
  f.bold.draw(canvas, u"Q7", q7Size, r.left + 6.0f, top + 1, kVioletDeep, -1); // a soft shadow
  f.bold.draw(canvas, u"Q7", q7Size, r.left + 5.0f, top, kViolet, -1);
  const float x = r.left + 5 + q7Width + 10;
  canvas.fill(box(x - 5, r.top + 10.0f, x - 3.5f, r.bottom - 10.0f), r, solid(kFaint));
  f.bold.draw(canvas, u"PRISMO", 17, x, r.top + 12.0f, kInk, 2.2f);
  f.regular.draw(canvas, u"GAMING KEYBOARD", 8.5f, x + 0.5f, r.top + 33.0f, kMuted, 1.6f);
}

void drawRingTrack(Canvas& canvas) {
  const auto& ring = main_window::kProgressRing;
  const float cx = (ring.arcBox.left + ring.arcBox.right) / 2.0f, cy = (ring.arcBox.top + ring.arcBox.bottom) / 2.0f;
  const float radius = ring.arcBox.width() / 2.0f;
  const Rect around{ring.arcBox.left - 20, ring.arcBox.top - 20, ring.arcBox.right + 20, ring.arcBox.bottom + 20};
  const Shape track = [=](float x, float y) {
    return std::abs(std::hypot(x - cx, y - cy) - radius) - (ring.penWidth / 2 + 1.5f);
  };
  canvas.fill(track, around, solid(kWell));
  canvas.innerStroke(track, around, 1, solid(hex(0x2a2e37)));
  // Fine ticks around the ring: one for every tenth of the keys.
  for (int i = 0; i < 40; ++i) {
    const float a = i * 2 * std::numbers::pi_v<float> / 40;
    const float r0 = radius + ring.penWidth / 2 + 4, r1 = r0 + (i % 10 == 0 ? 5.0f : 2.5f);
    canvas.fill(
        segment({cx + r0 * std::sin(a), cy - r0 * std::cos(a)}, {cx + r1 * std::sin(a), cy - r1 * std::cos(a)}, 1.1f),
        around, solid(i % 10 == 0 ? kViolet : kFaint));
  }
}

Canvas drawBase(const Mask& mask, std::u16string_view languageCode) {
  Canvas canvas(main_window::kSize.width, main_window::kSize.height, kCutAway, mask.scale());
  const Shape outline = bodyShape();
  body(canvas, mask, vertical(kBodyTop, kBodyBottom, kBody.top, kBody.bottom), kEdge);
  canvas.setClip(kBody);
  canvas.innerStroke(outline, kBody, 1, solid(kEdge));

  // Header and the free floor at the bottom right carry a fine hatching.
  const auto ramp = [](float v) { return std::clamp(v, 0.0f, 1.0f); };
  hatch(canvas, offset(outline, -3), {480, 548, 976, 702},
        [&](float x, float y) { return ramp((x - 480) / 260) * ramp((y - 548) / 80); });
  // Header: hatching, a violet line under it, a line along the chamfer.
  hatch(canvas, offset(outline, -3), {24, 40, 720, 136}, [&](float x, float) { return ramp(1 - (x - 40) / 680); });
  canvas.forEachPixel({40, 138, 700, 139}, 0, [&](int x, int y, float cx, float) {
    canvas.blend(x, y, kVioletMid, 0.9f * (1 - (cx - 0.5f - 40) / 660.0f)); // cx - 0.5: the pixel's left edge
  });
  accentLine(canvas, {880, 40}, {976, 136}, kVioletMid, 1.2f);
  accentLine(canvas, {24, 690}, {24, 560}, kVioletDeep, 1.2f);

  // Profile tabs sit on a rail.
  const Rect tabRail = grown(around({Control::Profile0, Control::Profile5}, languageCode), 7, 5);
  canvas.fill(box(tabRail, 4), tabRail, solid(hex(0x0e1014)));
  canvas.innerStroke(box(tabRail, 4), tabRail, 1, solid(hex(0x252932)));

  // Side column: reset button, ring of assigned keys, the selected key's name.
  const Rect held = around({Control::ResetProfile, Control::KeyName}, languageCode);
  const Rect column{held.left - 21, held.top - 28, held.right + 18, held.bottom + 3};
  plate(canvas, chamfered(column, 10, 0, 10, 0), column);
  drawRingTrack(canvas);
  const Rect name = grown(main_window::controlRect(Control::KeyName, languageCode), 4, 4);
  well(canvas, name, 5);
  canvas.fill(box(name.left + 6.0f, name.top, name.right - 6.0f, name.top + 1.5f), name, solid(kVioletMid));

  // Keyboard deck around the area of the keys.
  const Rect deck = grown(kKeyboardArea, 4, 4);
  plate(canvas, chamfered(deck, 12, 12, 12, 12), deck);
  const Rect inner = grown(deck, -5, -5);
  canvas.fill(chamfered(inner, 9, 9, 9, 9), inner, solid(hex(0x0c0d10)));
  accentLine(canvas, {deck.left + 40.0f, deck.bottom + 0.5f}, {deck.right - 40.0f, deck.bottom + 0.5f}, kVioletMid, 1);

  // The key function line under the deck.
  well(canvas, grown(main_window::controlRect(Control::KeyFunction, languageCode), 4, 4), 4);

  // Per-key buttons, command buttons and web links stand on their own plates.
  const Rect group = grown(
      around({Control::Macro, Control::SingleKey, Control::App, Control::Sync, Control::Disable, Control::Default},
             languageCode),
      13, 10);
  plate(canvas, chamfered(group, 0, 10, 0, 10), group);
  const Rect rail = grown(
      around({Control::Export, Control::Import, Control::Ok, Control::Cancel, Control::Apply}, languageCode), 5, 4);
  const float l = rail.left, t = rail.top, r = rail.right, b = rail.bottom;
  canvas.fill(polygon({{l + 9, t}, {r, t}, {r - 9, b}, {l, b}}), rail, solid(hex(0x0e1014)));
  const Rect links = grown(around({Control::WebLink1, Control::WebLink2, Control::WebLink3}, languageCode), 8, 6);
  canvas.fill(box(links, 6), links, solid(hex(0x111317)));
  canvas.resetClip();
  return canvas;
}

void drawControl(Canvas& canvas, const main_window::ControlEntry& c, const Rect& r, State state) {
  switch (c.kind) {
  case ControlKind::Picture:
    drawLogo(canvas, r);
    break;
  case ControlKind::IconButton:
    iconButton(canvas, r, iconOf(c.id), state);
    break;
  case ControlKind::CommandButton:
    commandButton(canvas, r, placed(slantedFace(c.mask->size), r), state);
    break;
  case ControlKind::ProfileButton:
    profileTab(canvas, r, state);
    break;
  case ControlKind::WhiteButton:
    darkButton(canvas, r, c.id == Control::ResetProfile ? box(r, 4) : chamfered(r, 0, 7, 0, 7), state);
    break;
  case ControlKind::Label:
    break; // the wells of the base picture
  }
}

} // namespace

void drawMainWindow(std::u16string_view languageCode, SkinSink& sink, Scale scale) {
  const Mask mask = Mask::of(bodyShape(), main_window::kSize.width, main_window::kSize.height, scale);
  const Canvas base = drawBase(mask, languageCode);
  const std::vector<KeyCap> keys = keyCapsFor(languageCode);

  const auto controls = [&](Canvas& canvas, State state) {
    for (const main_window::ControlEntry& c : main_window::kControls)
      drawControl(canvas, c, main_window::controlRect(c.id, languageCode), state);
    // The keys: default look in the normal picture, selected in the over picture, assigned in the
    // down picture.
    const KeyLook look = state == State::Over   ? KeyLook::Selected
                         : state == State::Down ? KeyLook::Assigned
                                                : KeyLook::Default;
    for (const KeyCap& k : keys) keyCap(canvas, k.rect, k.legend, look);
  };
  drawStates(base, controls, sink,
             {{State::Normal, main_window::kNormalImage},
              {State::Over, main_window::kOverImage},
              {State::Down, main_window::kDownImage},
              {State::Disabled, main_window::kDisableImage}});
  sink.mask(main_window::kWindowMask, mask);
  for (const main_window::ButtonMask* m :
       {&main_window::kButtonMask, &main_window::kButton4Mask, &main_window::kButton5Mask})
    sink.mask(m->file, slantedButtonMask(m->size, scale));
}

} // namespace q7::skin
