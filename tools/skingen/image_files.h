// Writing the skin files: JPEG state pictures and BMP masks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/skingen/canvas.h"

namespace q7::skin {

inline constexpr int kJpegQuality = 100; // the quantisation of every frequency is 1: nothing but rounding is lost

bool writeJpeg(const std::string& path, const Canvas& canvas);
// A 24-bit BMP: the masks of the 96-DPI set.
bool writeBmp(const std::string& path, const Mask& mask);
// A 1-bit BMP with a two-colour table (black inside, white outside): the masks of the scaled sets,
// a twenty-fourth of the size.
std::vector<uint8_t> oneBitBmp(const Mask& mask);
bool writeOneBitBmp(const std::string& path, const Mask& mask);

} // namespace q7::skin
