// The look of the skin: colours and the widgets every window is drawn from (panels, key caps,
// buttons in their states, icons, fields).
#pragma once

#include <string_view>

#include "tools/skingen/canvas.h"
#include "ui/skin_canvas.h"

namespace q7::skin {

// The state image a picture shows: normal, hover ("over"), pressed ("down"), disabled.
enum class State { Normal, Over, Down, Disabled };

// How a key cap looks: at rest, carrying an assignment (down image), selected (over image).
enum class KeyLook { Default, Assigned, Selected };

enum class Icon { Minimise, Close, Help, Globe, Video, Chat, Record, Stop, Browse, Support };

namespace palette {
inline constexpr Rgb kCutAway = white;
inline constexpr Rgb kBodyTop = hex(0x17191f);
inline constexpr Rgb kBodyBottom = hex(0x0d0f13);
inline constexpr Rgb kEdge = hex(0x2c313b);
inline constexpr Rgb kPlateTop = hex(0x1c1f26);
inline constexpr Rgb kPlateBottom = hex(0x15171c);
inline constexpr Rgb kWell = hex(0x0b0c0f);
inline constexpr Rgb kInk = hex(0xeceef3);
inline constexpr Rgb kMuted = hex(0x8d95a5);
inline constexpr Rgb kFaint = hex(0x464c59);
inline constexpr Rgb kViolet = hex(0x9b6dff);
inline constexpr Rgb kVioletMid = hex(0x7438e8);
inline constexpr Rgb kVioletDeep = hex(0x4a1a94);
inline constexpr Rgb kRing = hex(0x4c1479);
inline constexpr Rgb kCyan = hex(0x2ee6ff);
inline constexpr Rgb kCyanDeep = hex(0x0b6a80);
inline constexpr Rgb kAlarm = hex(0xff3b5c);
inline constexpr Rgb kAlarmDeep = hex(0x9c1330);
} // namespace palette

// A shape placed at a rectangle: (x, y) relative to its top-left corner.
Shape placed(const Shape& shape, const Rect& at);

// The slanted face of the shaped buttons, in the mask's own pixels.
Shape slantedFace(Size mask);
// The mask of a slanted button. Neighbouring buttons share a slanted edge; at a scale each button's
// origin rounds to the device grid on its own, by up to half a device pixel either way, so the
// scaled mask gives up half a device pixel on each slanted side: two neighbours never share a pixel.
Mask slantedButtonMask(Size mask, Scale scale);

// Fills the pixels of the mask with the paint, and a few pixels around it with the edge colour, so
// that no white bleeds into the visible edge when the picture is compressed.
void body(Canvas& canvas, const Mask& mask, const Paint& paint, Rgb edge);

// A raised panel with a fine edge (the surface of a dialog or a group of controls).
void plate(Canvas& canvas, const Shape& shape, const Rect& bounds, float edgeOpacity = 1);
// A recessed well behind a text or a field.
void well(Canvas& canvas, const Rect& r, float radius = 3);
// A thin glowing line, the accent of a panel.
// Fine diagonal hatching, barely visible: a texture for large empty surfaces; fade (0 ... 1 at a
// point) lets it thin out.
void hatch(Canvas& canvas, const Shape& area, const Rect& bounds, const std::function<float(float, float)>& fade = {});
void accentLine(Canvas& canvas, Point a, Point b, Rgb colour, float width = 1.5f);

void keyCap(Canvas& canvas, const Rect& r, std::u16string_view legend, KeyLook look);

// A shaped button with a black caption in the normal state and a white one on hover and press.
void commandButton(Canvas& canvas, const Rect& r, const Shape& face, State state);
// A button with a black caption in every state.
void lightButton(Canvas& canvas, const Rect& r, const Shape& face, State state);
// A button with a white caption in every state.
void darkButton(Canvas& canvas, const Rect& r, const Shape& face, State state);
// A profile tab (black caption in every state).
void profileTab(Canvas& canvas, const Rect& r, State state);
void iconButton(Canvas& canvas, const Rect& r, Icon icon, State state);
// An option of a group: the over image shows it ticked.
void optionButton(Canvas& canvas, const Rect& r, State state);
// A frame just outside an edit field or a list, which paint their own inside.
void fieldFrame(Canvas& canvas, const Rect& field);

} // namespace q7::skin
