#include "tools/skingen/image_files.h"

#include <stb/stb_image_write.h>

namespace q7::skin {

bool writeJpeg(const std::string& path, const Canvas& canvas) {
  const std::vector<uint8_t> rgb = canvas.rgb8();
  return stbi_write_jpg(path.c_str(), canvas.width(), canvas.height(), 3, rgb.data(), kJpegQuality) != 0;
}

bool writeBmp(const std::string& path, const Mask& mask) {
  const std::vector<uint8_t> rgb = mask.rgb8();
  return stbi_write_bmp(path.c_str(), mask.width(), mask.height(), 3, rgb.data()) != 0;
}

} // namespace q7::skin
