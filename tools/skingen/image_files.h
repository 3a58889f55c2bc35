// Writing the skin files: JPEG state pictures and 24-bit BMP masks.
#pragma once

#include <string>

#include "tools/skingen/canvas.h"

namespace q7::skin {

inline constexpr int kJpegQuality = 100; // the quantisation of every frequency is 1: nothing but rounding is lost

bool writeJpeg(const std::string& path, const Canvas& canvas);
bool writeBmp(const std::string& path, const Mask& mask);

} // namespace q7::skin
