#include "ui/hover_tracking.h"

namespace q7 {

MouseMoveSteps mouseMoveSteps(ButtonFamily family, const MouseMoveFacts& f) {
  MouseMoveSteps s;
  // Dragged in from elsewhere with the button held: not ours to track.
  if (f.leftDown && !f.hover) return s;
  if (!f.holdsCapture && f.appHasActiveWindow && f.hasParent) {
    s.requestLeave = family == ButtonFamily::Bitmap && !f.hover;
    s.setHover = true;
    s.capture = true;
    s.repaint = true;
    if (family == ButtonFamily::Bitmap) return s;
  } else if (f.otherWindowUnderCursor) {
    if (f.hover) {
      s.clearHover = true;
      s.repaint = true;
    }
    // While pressed the push button keeps the capture until the release.
    if (!f.leftDown) s.release = true;
  }
  s.forwardToParent = family == ButtonFamily::Image;
  return s;
}

} // namespace q7
