#include "tools/skingen/image_files.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>

namespace q7::skin {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 2; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void appendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return static_cast<bool>(file);
}

} // namespace

std::vector<uint8_t> encodeJpeg(const Canvas& canvas, int quality) {
  const std::vector<uint8_t> rgb = canvas.rgb8();
  std::vector<uint8_t> out;
  if (!stbi_write_jpg_to_func(appendBytes, &out, canvas.width(), canvas.height(), 3, rgb.data(), quality)) return {};
  return out;
}

Rgb8 decodePicture(std::span<const uint8_t> file) {
  Rgb8 picture;
  int channels = 0;
  stbi_uc* data =
      stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &picture.width, &picture.height, &channels, 3);
  if (!data) return {};
  picture.pixels.assign(data, data + static_cast<size_t>(picture.width) * picture.height * 3);
  stbi_image_free(data);
  return picture;
}

namespace {

bool sameShape(const Rgb8& a, const Rgb8& b) {
  return a.width == b.width && a.height == b.height && !a.pixels.empty() && a.pixels.size() == b.pixels.size() &&
         a.pixels.size() == static_cast<size_t>(a.width) * a.height * 3;
}

// Sum of squared differences over the pixels of (x0, y0)-(x1, y1).
double squaredError(const Rgb8& a, const Rgb8& b, int x0, int y0, int x1, int y1) {
  double squares = 0;
  for (int y = y0; y < y1; ++y) {
    const size_t row = static_cast<size_t>(y) * a.width * 3;
    for (size_t i = row + static_cast<size_t>(x0) * 3; i < row + static_cast<size_t>(x1) * 3; ++i) {
      const double d = static_cast<double>(a.pixels[i]) - b.pixels[i];
      squares += d * d;
    }
  }
  return squares;
}

double psnrOf(double squares, double values) {
  if (squares == 0) return std::numeric_limits<double>::infinity();
  return 10.0 * std::log10(255.0 * 255.0 * values / squares);
}

} // namespace

double psnr(const Rgb8& a, const Rgb8& b) {
  if (!sameShape(a, b)) return 0;
  return psnrOf(squaredError(a, b, 0, 0, a.width, a.height), static_cast<double>(a.pixels.size()));
}

double worstTilePsnr(const Rgb8& a, const Rgb8& b, int tile) {
  if (!sameShape(a, b) || tile <= 0) return 0;
  double worst = std::numeric_limits<double>::infinity();
  for (int y = 0; y < a.height; y += tile)
    for (int x = 0; x < a.width; x += tile) {
      const int x1 = std::min(x + tile, a.width), y1 = std::min(y + tile, a.height);
      worst = std::min(worst, psnrOf(squaredError(a, b, x, y, x1, y1), 3.0 * (x1 - x) * (y1 - y)));
    }
  return worst;
}

ChosenJpeg chooseJpeg(const Canvas& canvas) {
  ChosenJpeg best{kReferenceJpegQuality, encodeJpeg(canvas, kReferenceJpegQuality)};
  const Rgb8 reference = decodePicture(best.bytes);
  if (reference.pixels.empty()) return best;
  // The error grows as the quality falls, though not strictly at every step: a bisection finds the
  // boundary, and only a quality whose own picture was measured is taken.
  int low = kLowestJpegQuality, high = kReferenceJpegQuality - 1;
  while (low <= high) {
    const int quality = (low + high) / 2;
    std::vector<uint8_t> bytes = encodeJpeg(canvas, quality);
    const Rgb8 decoded = decodePicture(bytes);
    if (!decoded.pixels.empty() && psnr(reference, decoded) >= kMinJpegPsnr &&
        worstTilePsnr(reference, decoded, kJpegTile) >= kMinJpegTilePsnr) {
      if (bytes.size() < best.bytes.size()) best = {quality, std::move(bytes)};
      high = quality - 1;
    } else {
      low = quality + 1;
    }
  }
  return best;
}

bool writeJpeg(const std::string& path, const Canvas& canvas, bool exactColours) {
  const ChosenJpeg jpeg =
      exactColours ? ChosenJpeg{kReferenceJpegQuality, encodeJpeg(canvas, kReferenceJpegQuality)} : chooseJpeg(canvas);
  return !jpeg.bytes.empty() && writeFile(path, jpeg.bytes);
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

bool writeOneBitBmp(const std::string& path, const Mask& mask) { return writeFile(path, oneBitBmp(mask)); }

} // namespace q7::skin
