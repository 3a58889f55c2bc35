#include "tools/skingen/image_files.h"

#include <stb/stb_image_write.h>

#include <fstream>

namespace q7::skin {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 2; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

} // namespace

bool writeJpeg(const std::string& path, const Canvas& canvas) {
  const std::vector<uint8_t> rgb = canvas.rgb8();
  return stbi_write_jpg(path.c_str(), canvas.width(), canvas.height(), 3, rgb.data(), kJpegQuality) != 0;
}

bool writeBmp(const std::string& path, const Mask& mask) {
  const std::vector<uint8_t> rgb = mask.rgb8();
  return stbi_write_bmp(path.c_str(), mask.width(), mask.height(), 3, rgb.data()) != 0;
}

std::vector<uint8_t> oneBitBmp(const Mask& mask) {
  const uint32_t w = static_cast<uint32_t>(mask.width()), h = static_cast<uint32_t>(mask.height());
  const uint32_t stride = (w + 31) / 32 * 4; // rows are padded to four bytes
  constexpr uint32_t kHeaders = 14 + 40 + 2 * 4;
  std::vector<uint8_t> out;
  out.reserve(kHeaders + stride * h);
  // BITMAPFILEHEADER
  out.push_back('B');
  out.push_back('M');
  put32(out, kHeaders + stride * h);
  put32(out, 0);
  put32(out, kHeaders);
  // BITMAPINFOHEADER: bottom-up rows, 1 bit per pixel, uncompressed, two colours.
  put32(out, 40);
  put32(out, w);
  put32(out, h);
  put16(out, 1);
  put16(out, 1);
  put32(out, 0);
  put32(out, stride * h);
  put32(out, 0);
  put32(out, 0);
  put32(out, 2);
  put32(out, 2);
  // The colour table (blue, green, red, 0): index 0 black (inside), 1 white (outside).
  put32(out, 0x00000000);
  put32(out, 0x00FFFFFF);
  for (uint32_t row = 0; row < h; ++row) {
    const int y = static_cast<int>(h - 1 - row);
    std::vector<uint8_t> bits(stride, 0);
    for (uint32_t x = 0; x < w; ++x)
      if (!mask.at(static_cast<int>(x), y)) bits[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), bits.begin(), bits.end());
  }
  return out;
}

bool writeOneBitBmp(const std::string& path, const Mask& mask) {
  const std::vector<uint8_t> bytes = oneBitBmp(mask);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return static_cast<bool>(file);
}

} // namespace q7::skin
