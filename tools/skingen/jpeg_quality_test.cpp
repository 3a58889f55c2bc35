// The quality each state picture is stored at: as small as it can be while the difference from the
// quality-100 picture stays invisible, for the pictures the build writes and for pictures made here.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "tools/skingen/image_files.h"
#include "tools/skingen/skin_set.h"
#include "ui/scale.h"

namespace q7::skin {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> fileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(JpegQuality, PsnrOfKnownDifferences) {
  const auto flat = [](int w, int h, uint8_t v) { return Rgb8{w, h, std::vector<uint8_t>(size_t(w) * h * 3, v)}; };
  Rgb8 oneChannel = flat(4, 2, 100);
  oneChannel.pixels[0] = 110; // one of 24 values off by 10: mean square error 100 / 24
  const struct {
    const char* name;
    Rgb8 a, b;
    double expected;
  } cases[] = {
      {"every value off by one", flat(4, 2, 100), flat(4, 2, 101), 10 * std::log10(255.0 * 255.0)},
      {"every value off by 255", flat(3, 3, 0), flat(3, 3, 255), 0.0},
      {"one value off by ten", flat(4, 2, 100), oneChannel, 10 * std::log10(255.0 * 255.0 * 24 / 100)},
      {"different sizes", flat(4, 2, 100), flat(2, 4, 100), 0.0},
  };
  for (const auto& c : cases) EXPECT_NEAR(psnr(c.a, c.b), c.expected, 1e-9) << c.name;
  EXPECT_EQ(psnr(flat(4, 2, 7), flat(4, 2, 7)), std::numeric_limits<double>::infinity());
}

// Pictures that need little and much of the quality: the chosen one keeps both bounds and is
// smaller than the reference; a smooth picture needs far less than one of fine detail.
TEST(JpegQuality, ChosenPicturesKeepTheBoundsAndAreSmaller) {
  Canvas smooth(240, 128, Rgb{0, 0, 0});
  for (int y = 0; y < smooth.height(); ++y)
    for (int x = 0; x < smooth.width(); ++x) smooth.set(x, y, Rgb{30 + x * 0.2f, 40 + y * 0.3f, 60 + (x + y) * 0.1f});
  Canvas fine(120, 64, Rgb{0, 0, 0});
  for (int y = 0; y < fine.height(); ++y)
    for (int x = 0; x < fine.width(); ++x) {
      const float v = static_cast<float>((x * 37 + y * 91 + (x * y) % 7 * 29) % 256);
      fine.set(x, y, (x + y) % 3 ? Rgb{v, 255 - v, static_cast<float>((x * 5) % 256)} : Rgb{255, 255, 255});
    }
  for (const Canvas* c : {&smooth, &fine}) {
    const ChosenJpeg chosen = chooseJpeg(*c);
    ASSERT_FALSE(chosen.bytes.empty());
    const std::vector<uint8_t> best = encodeJpeg(*c, kReferenceJpegQuality);
    const Rgb8 reference = decodePicture(best), picture = decodePicture(chosen.bytes);
    EXPECT_GE(psnr(reference, picture), kMinJpegPsnr) << chosen.quality;
    EXPECT_GE(worstTilePsnr(reference, picture, kJpegTile), kMinJpegTilePsnr) << chosen.quality;
    EXPECT_LE(chosen.bytes.size(), best.size());
  }
  EXPECT_LT(chooseJpeg(smooth).bytes.size() * 2, encodeJpeg(smooth, kReferenceJpegQuality).size());
  EXPECT_GT(chooseJpeg(fine).quality, chooseJpeg(smooth).quality);
}

TEST(JpegQuality, WorstTileFindsTheOneDamagedTile) {
  Rgb8 a{40, 20, std::vector<uint8_t>(40 * 20 * 3, 90)}, b = a;
  b.pixels[(static_cast<size_t>(18) * 40 + 37) * 3 + 1] = 190; // one value in the last, partial tile
  // One error of 100 among the 8 x 4 x 3 values of the partial corner tile; among all 2400 overall.
  EXPECT_NEAR(worstTilePsnr(a, b, 16), 10 * std::log10(255.0 * 255.0 * 96 / 10000), 1e-9);
  EXPECT_NEAR(psnr(a, b), 10 * std::log10(255.0 * 255.0 * 2400 / 10000), 1e-9);
  EXPECT_EQ(worstTilePsnr(a, a, 16), std::numeric_limits<double>::infinity());
}

// Every state picture of the English set, as the build wrote it, at every scale: drawn again here,
// encoded at quality 100 and compared with the file.
TEST(JpegQuality, EveryWrittenPictureStaysWithinTheBoundOfItsQuality100Picture) {
  struct Collect : SkinSink {
    void image(std::string_view name, const Canvas& picture) override {
      images.insert_or_assign(std::string(name), picture);
    }
    void mask(std::string_view, const Mask&) override {}
    std::map<std::string, Canvas> images;
  };
  std::vector<std::pair<std::string, Scale>> sets{{"", Scale{}}};
  for (const SkinSet& s : kScaledSkinSets) sets.emplace_back(std::string(s.folder), Scale{s.dpi});
  for (const auto& [folder, scale] : sets) {
    Collect drawn;
    drawSkinSet(u"EN", drawn, scale);
    ASSERT_EQ(drawn.images.size(), 28u) << folder;
    size_t written = 0, reference = 0;
    for (const auto& [name, canvas] : drawn.images) {
      const fs::path path = fs::path(SKIN_SETS_DIR) / "EN" / folder / name;
      const std::vector<uint8_t> file = fileBytes(path), best = encodeJpeg(canvas, kReferenceJpegQuality);
      const Rgb8 picture = decodePicture(file);
      ASSERT_EQ(picture.width, canvas.width()) << path;
      EXPECT_GE(psnr(decodePicture(best), picture), kMinJpegPsnr) << path;
      EXPECT_GE(worstTilePsnr(decodePicture(best), picture, kJpegTile), kMinJpegTilePsnr) << path;
      written += file.size();
      reference += best.size();
    }
    EXPECT_LT(written, reference * 9 / 10) << folder << ": the set is not smaller than at quality 100";
  }
}

} // namespace
} // namespace q7::skin
