#include "lighting/whole_key_colour.h"

#include "settings/settings_image.h"

namespace q7 {

bool WholeKeyColorSaved = false;

WholeKeyColourRun::WholeKeyColourRun(int p)
    : profile_(safeProfileIndex(static_cast<uint32_t>(p))), status_(WholeKeyColorStatus[profile_]),
      colour_(WholeKeyColor[profile_]) {
  WholeKeyColorSaved = false;
}

WholeKeyColourRun::~WholeKeyColourRun() {
  if (WholeKeyColorSaved) return;
  WholeKeyColorStatus[profile_] = status_;
  WholeKeyColor[profile_] = colour_;
}

} // namespace q7
