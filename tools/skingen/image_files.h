// Writing the skin files: JPEG state pictures and BMP masks.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/skingen/canvas.h"

namespace q7::skin {

// The reference every picture is held against: at quality 100 the quantisation of every frequency
// is 1 and nothing but rounding is lost.
inline constexpr int kReferenceJpegQuality = 100;
// A picture is stored at the lowest quality whose decoded pixels stay this close to the decoded
// reference (peak signal-to-noise ratio in dB): a difference nobody sees. Each tile of kJpegTile x
// kJpegTile pixels also keeps kMinJpegTilePsnr on its own, so that no small part (a label, the edge
// of a panel) loses what the flat rest of the picture makes up for.
inline constexpr double kMinJpegPsnr = 45.0;
inline constexpr int kJpegTile = 16;
inline constexpr double kMinJpegTilePsnr = 40.0;
// Below this quality the search does not look.
inline constexpr int kLowestJpegQuality = 50;

// Three bytes a pixel, rows top-down, no padding.
struct Rgb8 {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
};

// The canvas as a JPEG file's bytes at quality 1 ... 100; empty when it could not be encoded.
std::vector<uint8_t> encodeJpeg(const Canvas& canvas, int quality);
// A JPEG (or any picture the generator can read) decoded to three bytes a pixel; empty on failure.
Rgb8 decodePicture(std::span<const uint8_t> file);
// The peak signal-to-noise ratio of b against a in dB (peak 255, mean square error over every
// channel of every pixel); infinity for identical pictures, 0 for pictures of different sizes.
double psnr(const Rgb8& a, const Rgb8& b);
// The lowest psnr of b against a over the tiles of tile x tile pixels (those at the right and bottom
// edges may be smaller); 0 for pictures of different sizes.
double worstTilePsnr(const Rgb8& a, const Rgb8& b, int tile);

// The picture's JPEG at the lowest quality from kLowestJpegQuality up, found by bisection, whose
// decoded pixels keep kMinJpegPsnr over the picture and kMinJpegTilePsnr in every tile against the
// decoded reference; the reference itself when no lower quality does.
struct ChosenJpeg {
  int quality = 0;
  std::vector<uint8_t> bytes;
};
ChosenJpeg chooseJpeg(const Canvas& canvas);

// The chosen JPEG, or with exactColours the reference itself: a picture whose colours the user
// reads as values (the colour editor's swatches and hue strip) loses nothing but rounding.
bool writeJpeg(const std::string& path, const Canvas& canvas, bool exactColours = false);
// A 1-bit BMP with a two-colour table (black inside, white outside): every mask, a twenty-fourth
// of a 24-bit one.
std::vector<uint8_t> oneBitBmp(const Mask& mask);
bool writeOneBitBmp(const std::string& path, const Mask& mask);

} // namespace q7::skin
