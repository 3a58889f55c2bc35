#include "ui/mask_runs.h"

#include <gtest/gtest.h>

#include <vector>

namespace q7 {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

struct Scan {
  std::vector<Rect> runs;
  std::vector<size_t> batchSizes;
};

Scan scan(const std::vector<uint32_t>& pixels, int width, int height) {
  Scan s;
  scanMaskRuns(pixels, width, height, kWhite, [&](std::span<const Rect> batch) {
    s.batchSizes.push_back(batch.size());
    s.runs.insert(s.runs.end(), batch.begin(), batch.end());
  });
  return s;
}

TEST(MaskRuns, AllWhiteGivesNoRunsAndNoBatch) {
  const Scan s = scan(std::vector<uint32_t>(6 * 4, kWhite), 6, 4);
  EXPECT_TRUE(s.runs.empty());
  EXPECT_TRUE(s.batchSizes.empty());
}

TEST(MaskRuns, NoWhiteGivesTheFullRectangleRowByRow) {
  const Scan s = scan(std::vector<uint32_t>(5 * 3, 0x123456), 5, 3);
  EXPECT_EQ(s.runs, (std::vector<Rect>{{0, 0, 5, 1}, {0, 1, 5, 2}, {0, 2, 5, 3}}));
}

TEST(MaskRuns, OnlyExactWhiteIsCutAway) {
  // Each near-white pixel sits between two white ones and must stay; the high byte never counts.
  struct Case {
    uint32_t pixel;
    bool kept;
  };
  const Case cases[] = {
      {0xFEFFFF, true},    {0xFFFEFF, true},    {0xFFFFFE, true},
      {0xFFFFFFFF, false}, {0x00FFFFFF, false}, {0x80FEFFFF, true},
  };
  for (const Case& c : cases) {
    const Scan s = scan({kWhite, c.pixel, kWhite}, 3, 1);
    if (c.kept)
      EXPECT_EQ(s.runs, (std::vector<Rect>{{1, 0, 2, 1}})) << std::hex << c.pixel;
    else
      EXPECT_TRUE(s.runs.empty()) << std::hex << c.pixel;
  }
}

TEST(MaskRuns, BlackWhiteBlackBlackRowGivesTwoRuns) {
  std::vector<uint32_t> pixels(4 * 3, kWhite);
  const uint32_t row[] = {kBlack, kWhite, kBlack, kBlack};
  std::copy(std::begin(row), std::end(row), pixels.begin() + 2 * 4);
  EXPECT_EQ(scan(pixels, 4, 3).runs, (std::vector<Rect>{{0, 2, 1, 3}, {2, 2, 4, 3}}));
}

TEST(MaskRuns, MoreThanOneBatchCoversExactlyWhatOnePieceCovers) {
  // A checkerboard of 101 x 50 pixels: 51 runs on even rows, 50 on odd ones, 2525 in all.
  const int w = 101, h = 50;
  std::vector<uint32_t> pixels(w * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) pixels[y * w + x] = (x + y) % 2 ? kWhite : 0x336699;
  const Scan s = scan(pixels, w, h);
  EXPECT_EQ(s.batchSizes, (std::vector<size_t>{kRunBatch, 2525 - kRunBatch}));

  std::vector<int> covered(w * h, 0);
  for (const Rect& r : s.runs) {
    ASSERT_TRUE(r.left >= 0 && r.right <= w && r.top >= 0 && r.bottom <= h && !r.empty());
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) ++covered[y * w + x];
  }
  for (int i = 0; i < w * h; ++i) ASSERT_EQ(covered[i], pixels[i] == kWhite ? 0 : 1) << "pixel " << i;
}

TEST(MaskRuns, BatchesHoldAtMostTheBatchSize) {
  // Exactly two full batches: nothing left for a third call.
  const int rows = 2 * static_cast<int>(kRunBatch);
  const Scan s = scan(std::vector<uint32_t>(rows, kBlack), 1, rows);
  EXPECT_EQ(s.batchSizes, (std::vector<size_t>{kRunBatch, kRunBatch}));
}

TEST(MaskRuns, BadSizesScanOnlyWhatTheBufferHolds) {
  const std::vector<uint32_t> pixels(10, kBlack); // two rows of 4 and a partial third
  EXPECT_EQ(scan(pixels, 4, 100).runs, (std::vector<Rect>{{0, 0, 4, 1}, {0, 1, 4, 2}}));
  EXPECT_TRUE(scan(pixels, 0, 3).runs.empty());
  EXPECT_TRUE(scan(pixels, -4, 3).runs.empty());
  EXPECT_TRUE(scan(pixels, 4, -1).runs.empty());
  EXPECT_TRUE(scan({}, 4, 3).runs.empty());
}

} // namespace
} // namespace q7
