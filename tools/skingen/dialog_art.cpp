// The dialogs: each a dark panel on the white, cut-away field of the canvas, with its buttons in
// their three looks.
#include <algorithm>
#include <cmath>
#include <vector>

#include "app/about_layout.h"
#include "app/warning_dialog_layout.h"
#include "keys/linked_programs_layout.h"
#include "keys/single_key_dialog_layout.h"
#include "lighting/colour_editor_layout.h"
#include "macro/macro_editor_layout.h"
#include "tools/skingen/text.h"
#include "tools/skingen/windows_art.h"

namespace q7::skin {

using namespace palette;

namespace {

Shape panelShape(const Rect& panel) { return chamfered(panel, 14, 4, 14, 4); }

// A slightly lighter band across the top of a panel, where its title stands.
void titleBand(Canvas& canvas, const Rect& panel, int bottom) {
  const Rect band{panel.left, panel.top, panel.right, bottom};
  canvas.fill(intersection(offset(panelShape(panel), -1), box(band)), band,
              vertical(hex(0x23262e), hex(0x1c1f25), band.top, band.bottom));
  canvas.fill(box(panel.left + 1.0f, bottom - 0.5f, panel.right - 1.0f, bottom + 0.5f), band, solid(kEdge));
}

// A round badge with a sign, the emblem of a question or a notice.
void badge(Canvas& canvas, float cx, float cy, float radius, std::u16string_view sign, Rgb colour) {
  const Rect around{static_cast<int>(cx - radius) - 8, static_cast<int>(cy - radius) - 8,
                    static_cast<int>(cx + radius) + 8, static_cast<int>(cy + radius) + 8};
  canvas.glow(circle(cx, cy, radius), around, 4, colour, 0.35f);
  canvas.fill(circle(cx, cy, radius), around, solid(hex(0x15171c)));
  canvas.stroke(circle(cx, cy, radius - 1), around, 2, solid(colour));
  const Faces& f = faces();
  const float size = radius * 1.5f;
  const auto [capTop, capHeight] = f.bold.capitals(size);
  f.bold.draw(canvas, sign, size, cx - f.bold.width(sign, size) / 2, cy - capHeight / 2 - capTop, colour);
}

// A light field for a key name written in black.
void lightField(Canvas& canvas, const Rect& r, Rgb edge) {
  const Rect outer{r.left - 2, r.top - 2, r.right + 2, r.bottom + 2};
  canvas.fill(box(outer, 3), outer, vertical(hex(0xe8ebf0), hex(0xc3c8d1), outer.top, outer.bottom));
  canvas.innerStroke(box(outer, 3), outer, 1, solid(edge));
}

void slantedButton(Canvas& canvas, const Rect& r, Size mask, State state) {
  darkButton(canvas, r, placed(slantedFace(mask), r), state);
}

} // namespace

void drawStates(const Canvas& base, const std::function<void(Canvas&, State)>& controls, SkinSink& sink,
                std::initializer_list<std::pair<State, std::string_view>> files) {
  for (const auto& [state, name] : files) {
    Canvas canvas = base;
    controls(canvas, state);
    sink.image(name, canvas);
  }
}

Mask dialogPanel(Canvas& canvas, const Rect& panel, Rgb accent) {
  const Shape shape = panelShape(panel);
  const Mask mask = Mask::of(shape, canvas.size().width, canvas.size().height, canvas.scale());
  body(canvas, mask, vertical(hex(0x1b1e24), hex(0x121418), panel.top, panel.bottom), kEdge);
  canvas.setClip(panel);
  canvas.innerStroke(shape, panel, 1, solid(hex(0x363c48)));
  accentLine(canvas, {panel.left + 16.0f, panel.top + 1.5f}, {panel.left + panel.width() * 0.45f, panel.top + 1.5f},
             accent, 1.6f);
  accentLine(canvas, {panel.right - 40.0f, panel.bottom - 1.5f}, {panel.right - 16.0f, panel.bottom - 1.5f}, accent,
             1.2f);
  canvas.resetClip();
  return mask;
}

void drawMacroEditor(SkinSink& sink, Scale scale) {
  using namespace macro_editor;
  Canvas base(kSize.width, kSize.height, kCutAway, scale);
  const Mask mask = dialogPanel(base, kPanel, kVioletMid);
  titleBand(base, kPanel, 124);
  plate(base, chamfered({462, 128, 714, 462}, 8, 0, 8, 0), {462, 128, 714, 462}, 0.8f);
  for (const Rect& card : {Rect{728, 134, 938, 216}, Rect{728, 240, 938, 346}, Rect{728, 362, 938, 458}})
    plate(base, chamfered(card, 0, 8, 0, 8), card, 0.8f);
  for (const Heading& h : kHeadings)
    if (h.text != u"MACRONAME") // right-aligned beside the name field
      base.fill(box(h.rect.left + 1.0f, h.rect.bottom + 1.0f, h.rect.left + 28.0f, h.rect.bottom + 2.5f), h.rect,
                solid(kVioletMid));
  for (const Rect& r : {kNameField, kPauseField, kCountField, kEventList, kPreviewField}) fieldFrame(base, r);

  const auto controls = [](Canvas& canvas, State state) {
    for (const ControlEntry& c : kControls) {
      switch (c.kind) {
      case ControlKind::Close:
        iconButton(canvas, c.rect, Icon::Close, state);
        break;
      case ControlKind::Record:
        iconButton(canvas, c.rect, Icon::Record, state);
        break;
      case ControlKind::Stop:
        iconButton(canvas, c.rect, Icon::Stop, state);
        break;
      case ControlKind::Text:
        darkButton(canvas, c.rect, box(c.rect, 3), state);
        break;
      case ControlKind::Option:
        optionButton(canvas, c.rect, state);
        break;
      }
    }
  };
  drawStates(base, controls, sink,
             {{State::Normal, kNormalImage}, {State::Over, kOverImage}, {State::Down, kDownImage}});
  sink.mask(kWindowMask, mask);
}

void drawSingleKeyDialog(SkinSink& sink, Scale scale) {
  using namespace single_key_dialog;
  Canvas base(kSize.width, kSize.height, kCutAway, scale);
  const Mask mask = dialogPanel(base, kAssignSkin.panel, kVioletMid);
  titleBand(base, kAssignSkin.panel, 540);
  lightField(base, kAssign.current, hex(0x7c8493));
  lightField(base, kAssign.captured, kViolet);

  const auto controls = [](Canvas& canvas, State state) {
    slantedButton(canvas, kAssign.ok, kOkButtonMaskSize, state);
    slantedButton(canvas, kAssign.cancel, kCancelButtonMaskSize, state);
  };
  drawStates(base, controls, sink,
             {{State::Normal, kAssignSkin.normal}, {State::Over, kAssignSkin.over}, {State::Down, kAssignSkin.down}});
  sink.mask(kAssignSkin.mask, mask);
  for (const auto& [file, size] :
       {std::pair{kOkButtonMask, kOkButtonMaskSize}, {kCancelButtonMask, kCancelButtonMaskSize}})
    sink.mask(file, slantedButtonMask(size, scale));
}

void drawLinkedPrograms(SkinSink& sink, Scale scale) {
  using namespace linked_programs;
  Canvas base(kSize.width, kSize.height, kCutAway, scale);
  dialogPanel(base, kSkin.panel, kVioletMid);
  for (const Slot& s : kSlots) fieldFrame(base, s.text);

  const auto controls = [](Canvas& canvas, State state) {
    for (const Slot& s : kSlots) iconButton(canvas, s.browse, Icon::Browse, state);
    darkButton(canvas, kClear, box(kClear, 3), state);
    slantedButton(canvas, kCancel, kCancelButtonMaskSize, state);
    slantedButton(canvas, kOk, kOkButtonMaskSize, state);
  };
  drawStates(base, controls, sink,
             {{State::Normal, kSkin.normal}, {State::Over, kSkin.over}, {State::Down, kSkin.down}});
  // Its mask is the single-key dialog's.
}

void drawWarnings(SkinSink& sink, Scale scale) {
  using namespace warning;
  // Each family shows the buttons of the kinds that wear it, where its panel shows them.
  const auto familyButtons = [](const SkinFamily* family) {
    std::vector<Rect> rects;
    for (const KindLayout& k : kKinds) {
      if (k.skins != family) continue;
      for (int i = 0; i < k.buttonCount; ++i) {
        const Rect& r = k.buttons[i].rect;
        const bool onPanel = r.left >= family->panel.left && r.right <= family->panel.right &&
                             r.top >= family->panel.top && r.bottom <= family->panel.bottom;
        if (onPanel && std::find(rects.begin(), rects.end(), r) == rects.end()) rects.push_back(r);
      }
    }
    return rects;
  };

  const struct {
    const SkinFamily* family;
    Rgb accent;
    const char16_t* sign;
    bool writesMask;
  } families[] = {
      {&kDefaultSkins, kVioletMid, u"!", false}, // its mask is the single-key dialog's
      {&kWarningSkins, kVioletMid, u"?", true},
      {&kWarning1Skins, kAlarm, u"!", false},
  };
  for (const auto& f : families) {
    Canvas base(kWindowWidth, kWindowHeight, kCutAway, scale);
    const Rect& panel = f.family->panel;
    const Mask mask = dialogPanel(base, panel, f.accent);
    const bool large = f.family == &kDefaultSkins;
    if (large) {
      titleBand(base, panel, 545);
      badge(base, 553, 588, 18, f.sign, f.accent);
    } else {
      base.fill(box(panel.left + 8.0f, panel.top + 22.0f, panel.left + 11.0f, panel.top + 90.0f, 1.5f), panel,
                solid(f.accent));
      badge(base, panel.right - 26.0f, panel.top + 26.0f, 13, f.sign, f.accent);
    }
    const std::vector<Rect> buttons = familyButtons(f.family);
    const auto controls = [&](Canvas& canvas, State state) {
      for (const Rect& r : buttons) darkButton(canvas, r, box(r, 3), state);
    };
    drawStates(base, controls, sink,
               {{State::Normal, f.family->normal}, {State::Over, f.family->over}, {State::Down, f.family->down}});
    if (f.writesMask) sink.mask(f.family->mask, mask);
  }
}

void drawColourEditor(SkinSink& sink, Scale scale) {
  using namespace colour_editor;
  Canvas base(kSize.width, kSize.height, kCutAway, scale);
  const Mask mask = dialogPanel(base, kPanel, kVioletMid);
  titleBand(base, kPanel, 542);

  // The swatch's frame, the preset row and the palette strip with their wells.
  fieldFrame(base, kSwatch);
  const Rect presetRow{kPresets[0].rect.left - 3, kPresets[0].rect.top - 3, kPresets[kPresetCount - 1].rect.right + 3,
                       kPresets[0].rect.bottom + 3};
  well(base, presetRow, 3);
  for (const Preset& p : kPresets) {
    const Rgb c{static_cast<float>(red(p.colour)), static_cast<float>(green(p.colour)),
                static_cast<float>(blue(p.colour))};
    base.forEachPixel(p.rect, 0, [&](int x, int y, float, float) { base.set(x, y, c); });
  }
  well(base, {kPaletteStrip.left - 3, kPaletteStrip.top - 3, kPaletteStrip.right + 3, kPaletteStrip.bottom + 3}, 3);
  base.forEachPixel(kPaletteStrip, 0, [&](int x, int y, float cx, float) {
    // Hue runs once round the circle from red, at full saturation and value.
    const float h = (cx - kPaletteStrip.left) / kPaletteStrip.width() * 6;
    const float f = h - std::floor(h);
    const float up = 255 * f, down = 255 * (1 - f);
    Rgb c;
    switch (static_cast<int>(h)) {
    case 0:
      c = {255, up, 0};
      break;
    case 1:
      c = {down, 255, 0};
      break;
    case 2:
      c = {0, 255, up};
      break;
    case 3:
      c = {0, down, 255};
      break;
    case 4:
      c = {up, 0, 255};
      break;
    default:
      c = {255, 0, down};
      break;
    }
    base.set(x, y, c);
  });
  for (const Rect& r : {kRedField, kGreenField, kBlueField}) fieldFrame(base, r);

  const auto controls = [](Canvas& canvas, State state) {
    for (const ControlEntry& c : kControls) {
      switch (c.kind) {
      case ControlKind::Caption:
        break; // texts on the panel
      case ControlKind::Button:
        slantedButton(canvas, c.rect, c.mask == kOkButtonMask ? kOkButtonMaskSize : kCancelButtonMaskSize, state);
        break;
      case ControlKind::DarkButton:
        lightButton(canvas, c.rect, box(c.rect, 3), state);
        break;
      }
    }
  };
  drawStates(base, controls, sink,
             {{State::Normal, kNormalImage}, {State::Over, kOverImage}, {State::Down, kDownImage}});
  sink.mask(kWindowMask, mask);
}

void drawAbout(SkinSink& sink, Scale scale) {
  using namespace about_window;
  Canvas base(kSize.width, kSize.height, kCutAway, scale);
  const Shape shape = box(kPanel, 16);
  const Mask mask = Mask::of(shape, kSize.width, kSize.height, scale);
  body(base, mask, vertical(hex(0x1d2027), hex(0x111317), kPanel.top, kPanel.bottom), kEdge);
  base.innerStroke(shape, kPanel, 1, solid(hex(0x363c48)));
  hatch(base, offset(shape, -2), kPanel);
  accentLine(base, {60, kSize.height - 1.5f}, {kSize.width - 60.0f, kSize.height - 1.5f}, kVioletMid, 1.4f);
  const Faces& f = faces();
  const float size = 44;
  const auto [capTop, capHeight] = f.bold.capitals(size);
  const float w = f.bold.width(u"Q7", size, -1);
  const float x = (kLogo.left + kLogo.right - w) / 2, y = (kLogo.top + kLogo.bottom - capHeight) / 2 - capTop;
  f.bold.draw(base, u"Q7", size, x + 1, y + 1, kVioletDeep, -1);
  f.bold.draw(base, u"Q7", size, x, y, kViolet, -1);
  base.fill(box(kTitleText.left + 120.0f, kTitleText.top - 6.0f, kTitleText.right - 120.0f, kTitleText.top - 5.0f),
            kPanel, solid(kFaint));

  const auto controls = [](Canvas& canvas, State state) {
    iconButton(canvas, kHomePage, Icon::Globe, state);
    iconButton(canvas, kSupport, Icon::Support, state);
    iconButton(canvas, kClose, Icon::Close, state);
  };
  drawStates(base, controls, sink,
             {{State::Normal, kNormalImage}, {State::Over, kOverImage}, {State::Down, kDownImage}});
  sink.mask(kWindowMask, mask);
}

} // namespace q7::skin
