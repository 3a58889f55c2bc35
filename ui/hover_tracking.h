// What a skinned button does with a mouse move: take the hover look and the capture when the mouse
// comes over it, give them up when the mouse leaves, never while it is being pressed.
#pragma once

namespace q7 {

// CBitmapBtn (graphics-library images) or CBitmapBtn2 (device bitmaps).
enum class ButtonFamily { Image, Bitmap };

struct MouseMoveFacts {
  bool leftDown = false;          // the left mouse button is down
  bool hover = false;             // the button shows the hover look
  bool holdsCapture = false;      // the button holds the mouse capture
  bool appHasActiveWindow = true; // the application has an active window
  bool hasParent = true;
  bool otherWindowUnderCursor = false; // a window is under the cursor and it is not the button
};

struct MouseMoveSteps {
  bool requestLeave = false; // ask for a mouse-leave notification
  bool setHover = false;
  bool clearHover = false;
  bool capture = false;
  bool release = false;
  bool repaint = false;
  bool forwardToParent = false; // post the move, in screen coordinates, to the parent
  constexpr bool operator==(const MouseMoveSteps&) const = default;
};

// The steps after the button's default processing of the move.
MouseMoveSteps mouseMoveSteps(ButtonFamily family, const MouseMoveFacts& facts);

} // namespace q7
