#include "ui/picture_cache_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace q7 {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

TEST(PictureCacheRules, AnyChangeOfEitherFileDecodesAgain) {
  const FileStamp base{true, 1000, 2'160'054}, scaled{true, 2000, 362'942};
  const PictureStamps cached{scaled, base};
  const struct {
    const char* name;
    PictureStamps now;
    bool decode;
  } cases[] = {
      {"nothing changed", cached, false},
      {"96-DPI file written again, same size", {scaled, {true, 1001, 2'160'054}}, true},
      {"96-DPI file replaced by one of the same time, other size", {scaled, {true, 1000, 92'222}}, true},
      {"scaled file written again", {{true, 2500, 362'942}, base}, true},
      {"scaled file removed", {{}, base}, true},
      {"96-DPI file removed", {scaled, {}}, true},
      {"an older time written back (a copied skin)", {scaled, {true, 999, 2'160'054}}, true},
  };
  for (const auto& c : cases) EXPECT_EQ(needsDecode(cached, c.now), c.decode) << c.name;

  // A picture read from no file stays as it is until a file appears.
  const PictureStamps none{};
  EXPECT_FALSE(needsDecode(none, PictureStamps{}));
  EXPECT_TRUE(needsDecode(none, PictureStamps{{}, base}));
  EXPECT_TRUE(needsDecode(none, PictureStamps{scaled, {}}));
}

// A mask drawn from rows of '#' (kept) and '.' (white); 'n' is a near-white pixel, which is kept.
std::vector<uint32_t> mask(const std::vector<const char*>& rows) {
  std::vector<uint32_t> pixels;
  for (const char* row : rows)
    for (const char* c = row; *c; ++c) pixels.push_back(*c == '.' ? kWhite : *c == 'n' ? 0xFEFFFF : 0x102030);
  return pixels;
}

TEST(PictureCacheRules, MaskBoundsHoldEveryKeptPixelAndNoMore) {
  const struct {
    const char* name;
    std::vector<const char*> rows;
    Rect expected;
  } cases[] = {
      {"all white", {"....", "....", "...."}, {}},
      {"one pixel", {"....", "..#.", "...."}, {2, 1, 3, 2}},
      {"near white is kept", {"n...", "....", "...."}, {0, 0, 1, 1}},
      {"a panel with a tab", {"......", ".###..", ".#####", "......"}, {1, 1, 6, 3}},
      {"two corners", {"#....", ".....", "....#"}, {0, 0, 5, 3}},
      {"no white", {"##", "##"}, {0, 0, 2, 2}},
  };
  for (const auto& c : cases) {
    const int w = static_cast<int>(std::char_traits<char>::length(c.rows[0]));
    const int h = static_cast<int>(c.rows.size());
    EXPECT_EQ(maskBounds(mask(c.rows), w, h, kWhite), c.expected) << c.name;
  }
  // The high byte is not part of the colour; a short buffer is read as far as its whole rows reach.
  std::vector<uint32_t> pixels = mask({"....", ".#..", "...#"});
  for (uint32_t& p : pixels) p |= 0xFF000000;
  EXPECT_EQ(maskBounds(pixels, 4, 3, kWhite), (Rect{1, 1, 4, 3}));
  pixels.resize(8 + 3);
  EXPECT_EQ(maskBounds(pixels, 4, 3, kWhite), (Rect{1, 1, 2, 2}));
  EXPECT_EQ(maskBounds(pixels, 0, 3, kWhite), Rect{});
}

TEST(PictureCacheRules, KeptPartIsTheMaskBoxWithinThePicture) {
  const Size picture{1000, 720};
  const struct {
    const char* name;
    Rect box;
    bool haveMask;
    Rect expected;
  } cases[] = {
      {"a dialog's panel", {500, 500, 895, 648}, true, {500, 500, 895, 648}},
      {"a mask larger than the picture", {900, 600, 1100, 800}, true, {900, 600, 1000, 720}},
      {"a mask beside the picture", {1000, 0, 1100, 100}, true, {}},
      {"a mask of nothing but white", {}, true, {}},
      {"no mask: the whole picture", {}, false, {0, 0, 1000, 720}},
  };
  for (const auto& c : cases) EXPECT_EQ(keptPart(c.box, c.haveMask, picture), c.expected) << c.name;
}

TEST(PictureCacheRules, DibRowsArePaddedToFourBytes) {
  const struct {
    Size size;
    int bits;
    size_t bytes;
  } cases[] = {{{395, 148}, 24, 1188 * 148}, {{1000, 720}, 24, 3000 * 720}, {{3, 2}, 24, 12 * 2},
               {{33, 2}, 1, 8 * 2},          {{10, 10}, 32, 400},           {{0, 5}, 24, 0}};
  for (const auto& c : cases) EXPECT_EQ(dibPixelBytes(c.size, c.bits), c.bytes) << c.size.width << "x" << c.bits;
}

} // namespace
} // namespace q7
