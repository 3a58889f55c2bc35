// The whole-keyboard colour command's protocol around one run of the colour editor: the current
// profile's entries of the two arrays are put aside before the run and put back after it unless
// the editor's OK stored them.
#pragma once

#include <cstdint>

namespace q7 {

// Set by the colour editor's OK once the registry holds the arrays; cleared when a run begins.
extern bool WholeKeyColorSaved;

class WholeKeyColourRun {
public:
  // Puts entry p of both arrays aside and clears WholeKeyColorSaved.
  explicit WholeKeyColourRun(int p);
  WholeKeyColourRun(const WholeKeyColourRun&) = delete;
  WholeKeyColourRun& operator=(const WholeKeyColourRun&) = delete;
  // The run has ended: without a stored OK, entry p (the one put aside, whatever the current profile
  // is now) gets its values back.
  ~WholeKeyColourRun();

private:
  int profile_;
  uint8_t status_;
  uint32_t colour_;
};

} // namespace q7
