#include "monitor/elevation_notice.h"

namespace q7 {

bool runsAboveUs(const FrontProcess& front, bool weAreElevated) {
  if (weAreElevated) return false;
  if (!front.opened) return front.accessDenied;
  return front.tokenRead && front.elevated;
}

bool ElevationNotice::frontChanged(const FrontProcess& front) {
  if (shown_ || !runsAboveUs(front, weAreElevated_)) return false;
  shown_ = true;
  return true;
}

} // namespace q7
