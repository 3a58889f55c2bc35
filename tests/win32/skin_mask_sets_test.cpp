// The masks of the skin sets (one bit a pixel) read as the program reads every mask: the system's
// picture decoder, a device-independent copy, the 32-bit scan and the region cut from it. Each file
// is also read here byte by byte, so the two readings can be compared pixel for pixel; and a user's
// mask of 24 bits a pixel still gives the same shape.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ui/region.h"
#include "ui/scale.h"
#include "ui/skin.h"

namespace q7 {
namespace {

std::wstring wide(std::string_view s) { return std::wstring(s.begin(), s.end()); }
std::string narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

std::vector<std::wstring> masksIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*.bmp").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (FindNextFileW(find, &found));
  FindClose(find);
  return names;
}

// A 1-bit BMP read by hand: true where the pixel's colour is black.
struct OneBit {
  int width = 0, height = 0;
  std::vector<bool> black;
};
OneBit readOneBit(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  const std::vector<uint8_t> b{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto u32 = [&](size_t at) {
    return uint32_t{b[at]} | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
  };
  OneBit m;
  if (b.size() < 62 || b[0] != 'B' || b[1] != 'M' || b[28] != 1) return m;
  const int w = static_cast<int>(u32(18)), h = static_cast<int>(u32(22));
  const size_t bits = u32(10), stride = (static_cast<size_t>(w) + 31) / 32 * 4;
  if (w <= 0 || h <= 0 || bits + stride * h > b.size()) return m;
  const bool zeroIsBlack = b[54] == 0 && b[55] == 0 && b[56] == 0; // the colour table's first entry
  m.width = w;
  m.height = h;
  m.black.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool set = b[bits + (h - 1 - y) * stride + x / 8] & (0x80 >> (x % 8));
      m.black[static_cast<size_t>(y) * w + x] = set != zeroIsBlack;
    }
  return m;
}

TEST(ScaledSkinMasks, ReadAsTheProgramReadsThemWithEveryPixelAndTheirShape) {
  const std::wstring skins = std::wstring(Q7_DIST_DIR) + L"\\Skins\\";
  const std::vector<std::wstring> names = masksIn(skins);
  ASSERT_GE(names.size(), 11u);
  for (const SkinSet& set : kScaledSkinSets)
    for (const std::wstring& name : names) {
      const std::wstring path = skins + wide(set.folder) + L"\\" + name;
      const std::string where = narrow(path);
      const OneBit file = readOneBit(path);
      ASSERT_GT(file.width, 0) << where << ": not a 1-bit BMP";

      const SkinBitmap base = loadSkinBitmap(skins + name);
      const SkinBitmap mask = loadSkinBitmap(path);
      ASSERT_TRUE(base && mask) << where;
      EXPECT_EQ(mask.width(), Scale{set.dpi}.px(base.width())) << where;
      EXPECT_EQ(mask.height(), Scale{set.dpi}.px(base.height())) << where;
      ASSERT_EQ(mask.width(), file.width) << where;
      ASSERT_EQ(mask.height(), file.height) << where;

      const std::vector<uint32_t> pixels = pixelsOf(mask);
      ASSERT_EQ(pixels.size(), file.black.size()) << where;
      Rect box{file.width, file.height, 0, 0};
      for (int y = 0; y < file.height; ++y)
        for (int x = 0; x < file.width; ++x) {
          const bool black = file.black[static_cast<size_t>(y) * file.width + x];
          ASSERT_EQ(pixels[static_cast<size_t>(y) * file.width + x] & 0xFFFFFF, black ? 0u : 0xFFFFFFu)
              << where << " at " << x << "," << y;
          if (black)
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                   std::max(box.bottom, y + 1)};
        }
      ASSERT_FALSE(box.empty()) << where;

      const win32::UniqueGdi<HRGN> region = regionFromMask(mask, kMaskKeyColour);
      ASSERT_TRUE(region) << where;
      RECT r{};
      GetRgnBox(region.get(), &r);
      EXPECT_EQ((Rect{r.left, r.top, r.right, r.bottom}), box) << where;
      for (const auto& [x, y] : {std::pair{box.left, box.top},
                                 {(box.left + box.right) / 2, (box.top + box.bottom) / 2},
                                 {box.right - 1, box.bottom - 1}})
        EXPECT_EQ(PtInRegion(region.get(), x, y) != 0,
                  static_cast<bool>(file.black[static_cast<size_t>(y) * file.width + x]))
            << where << " at " << x << "," << y;
    }
}

// A 24-bit BMP (bottom-up rows padded to four bytes) of the same pixels: black inside, white outside.
bool writeTwentyFourBit(const std::wstring& path, const OneBit& m) {
  const uint32_t stride = (static_cast<uint32_t>(m.width) * 3 + 3) / 4 * 4, size = 54 + stride * m.height;
  std::string b(size, '\0');
  const auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(m.width));
  put32(22, static_cast<uint32_t>(m.height));
  b[26] = 1;
  b[28] = 24;
  for (int y = 0; y < m.height; ++y)
    for (int x = 0; x < m.width; ++x)
      if (!m.black[static_cast<size_t>(y) * m.width + x])
        for (int c = 0; c < 3; ++c) b[54 + (m.height - 1 - y) * stride + x * 3 + c] = static_cast<char>(0xFF);
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out.write(b.data(), static_cast<std::streamsize>(b.size()));
  return static_cast<bool>(out);
}

// The 96-DPI masks ship with one bit a pixel too; each one written again with 24 bits a pixel, as
// a user's own mask may be, gives exactly the region of the shipped file.
TEST(SkinMasks, ShippedMasksAreOneBitAndA24BitMaskGivesTheSameShape) {
  const std::wstring skins = std::wstring(Q7_DIST_DIR) + L"\\Skins\\";
  const std::vector<std::wstring> names = masksIn(skins);
  ASSERT_GE(names.size(), 11u);
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring copy = std::wstring(temp) + L"q7-mask-24.bmp";
  for (const std::wstring& name : names) {
    const std::string where = narrow(name);
    const OneBit file = readOneBit(skins + name);
    ASSERT_GT(file.width, 0) << where << ": not a 1-bit BMP";
    ASSERT_TRUE(writeTwentyFourBit(copy, file)) << where;
    const SkinBitmap shipped = loadSkinBitmap(skins + name), user = loadSkinBitmap(copy);
    ASSERT_TRUE(shipped && user) << where;
    const win32::UniqueGdi<HRGN> a = regionFromMask(shipped, kMaskKeyColour), b = regionFromMask(user, kMaskKeyColour);
    ASSERT_TRUE(a && b) << where;
    RECT box{};
    EXPECT_NE(GetRgnBox(a.get(), &box), NULLREGION) << where;
    EXPECT_TRUE(EqualRgn(a.get(), b.get())) << where;
  }
  DeleteFileW(copy.c_str());
}

} // namespace
} // namespace q7
