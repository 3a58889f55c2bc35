// The whole-keyboard colour command's protocol around one run of the colour editor: the current
// profile's entries of the two arrays are put aside before the run and put back after it unless
// the editor's OK stored them.
#pragma once

#include <cstdint>

#include "settings/settings_image.h"

namespace q7 {

class WholeKeyColourRun {
public:
  // Puts entry p of both arrays aside and clears WholeKeyColorSaved.
  WholeKeyColourRun(SettingsImage& image, int p);
  WholeKeyColourRun(const WholeKeyColourRun&) = delete;
  WholeKeyColourRun& operator=(const WholeKeyColourRun&) = delete;
  // The run has ended: without a stored OK, entry p (the one put aside, whatever the current profile
  // is now) gets its values back.
  ~WholeKeyColourRun();

private:
  SettingsImage& image_;
  int profile_;
  uint8_t status_;
  uint32_t colour_;
};

} // namespace q7
