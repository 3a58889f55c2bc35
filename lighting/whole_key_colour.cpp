#include "lighting/whole_key_colour.h"

namespace q7 {

WholeKeyColourRun::WholeKeyColourRun(SettingsImage& image, int p)
    : image_(image), profile_(safeProfileIndex(static_cast<uint32_t>(p))), status_(image.WholeKeyColorStatus[profile_]),
      colour_(image.WholeKeyColor[profile_]) {
  image_.WholeKeyColorSaved = false;
}

WholeKeyColourRun::~WholeKeyColourRun() {
  if (image_.WholeKeyColorSaved) return;
  image_.WholeKeyColorStatus[profile_] = status_;
  image_.WholeKeyColor[profile_] = colour_;
}

} // namespace q7
