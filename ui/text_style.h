// How a skinned window paints one of its own texts. Colours are 0x00BBGGRR.
#pragma once

#include <cstdint>

namespace q7 {

struct TextStyle {
  const char* face;
  int height; // pixels
  int weight;
  uint32_t colour;
};

} // namespace q7
