// Skin pictures, pieces and regions against Wine's picture decoder, GDI and GDI+.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <gdiplus.h>

#include <vector>

#include "ui/mask_runs.h"
#include "ui/region.h"
#include "ui/skin.h"
#include "ui_support.h"

namespace q7 {
namespace {

using namespace uitest;

COLORREF gradient(int x, int y) { return RGB(x % 256, y % 256, (x / 256) * 40 + 7); }

COLORREF bitmapPixel(const SkinBitmap& b, int x, int y) {
  win32::UniqueDc dc(CreateCompatibleDC(nullptr));
  win32::Selection s(dc.get(), b.get());
  return GetPixel(dc.get(), x, y);
}

COLORREF imagePixel(const SkinImage& i, int x, int y) {
  Gdiplus::Color c;
  i.get()->GetPixel(x, y, &c);
  return RGB(c.GetR(), c.GetG(), c.GetB());
}

class SkinPictures : public ::testing::Test {
protected:
  GdiplusSession gdiplus;
  TempSkins skins;
};

TEST_F(SkinPictures, LoadsWithItsSizeAndExactColours) {
  writeBmp(skins.path(L"pic.jpg"), 300, 40, gradient); // the decoder goes by content, not by name
  const SkinBitmap b = loadSkinBitmap(skins.path(L"pic.jpg"));
  ASSERT_TRUE(b);
  EXPECT_EQ(b.width(), 300);
  EXPECT_EQ(b.height(), 40);
  for (auto [x, y] : {std::pair{0, 0}, {299, 39}, {260, 17}}) EXPECT_EQ(bitmapPixel(b, x, y), gradient(x, y));
  writeBmp(skins.path(L"near white.bmp"), 2, 1, [](int x, int) { return x ? RGB(254, 255, 255) : RGB(255, 255, 255); });
  EXPECT_EQ(bitmapPixel(loadSkinBitmap(skins.path(L"near white.bmp")), 1, 0), RGB(254, 255, 255));

  const SkinImage i = loadSkinImage(skins.path(L"pic.jpg"));
  ASSERT_TRUE(i);
  EXPECT_EQ(i.width(), 300);
  EXPECT_EQ(i.height(), 40);
  EXPECT_EQ(imagePixel(i, 260, 17), gradient(260, 17));
}

TEST_F(SkinPictures, DecodesJpeg) {
  // A JPEG written by the graphics library, one flat colour.
  Gdiplus::Bitmap source(64, 32, PixelFormat24bppRGB);
  {
    Gdiplus::Graphics g(&source);
    Gdiplus::SolidBrush brush(Gdiplus::Color(255, 200, 60, 30));
    g.FillRectangle(&brush, 0, 0, 64, 32);
  }
  UINT count = 0, bytes = 0;
  Gdiplus::GetImageEncodersSize(&count, &bytes);
  std::vector<BYTE> buffer(bytes);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::GetImageEncoders(count, bytes, encoders);
  const CLSID* jpeg = nullptr;
  for (UINT e = 0; e < count; ++e)
    if (std::wstring(encoders[e].MimeType) == L"image/jpeg") jpeg = &encoders[e].Clsid;
  ASSERT_NE(jpeg, nullptr);
  ASSERT_EQ(source.Save(skins.path(L"flat.jpg").c_str(), jpeg, nullptr), Gdiplus::Ok);

  const SkinBitmap b = loadSkinBitmap(skins.path(L"flat.jpg"));
  ASSERT_TRUE(b);
  EXPECT_EQ(b.width(), 64);
  EXPECT_EQ(b.height(), 32);
  EXPECT_TRUE(similar(bitmapPixel(b, 30, 15), RGB(200, 60, 30), 8));
}

TEST_F(SkinPictures, MissingOrUndecodableGivesNothing) {
  writeBytes(skins.path(L"empty.jpg"), "");
  writeBytes(skins.path(L"text.jpg"), "just some text, no picture at all");
  writeBytes(skins.path(L"header.jpg"), "\xFF\xD8\xFF\xE0 and nothing after the marker");
  for (const wchar_t* name : {L"missing.jpg", L"empty.jpg", L"text.jpg", L"header.jpg"}) {
    EXPECT_FALSE(loadSkinBitmap(skins.path(name))) << name;
    EXPECT_FALSE(loadSkinImage(skins.path(name))) << name;
  }
  EXPECT_FALSE(loadSkinBitmap(skins.path(L"")));
}

TEST_F(SkinPictures, CutsPiecesOfTheRequestedSize) {
  writeBmp(skins.path(L"main.bmp"), 1000, 720, gradient);
  const SkinBitmap whole = loadSkinBitmap(skins.path(L"main.bmp"));
  const SkinBitmap piece = cutBitmap(whole, 530, 519, 650, 535);
  ASSERT_TRUE(piece);
  EXPECT_EQ(piece.width(), 120);
  EXPECT_EQ(piece.height(), 16);
  EXPECT_EQ(bitmapPixel(piece, 0, 0), gradient(530, 519));
  EXPECT_EQ(bitmapPixel(piece, 119, 15), gradient(649, 534));
  EXPECT_FALSE(cutBitmap(SkinBitmap(), 530, 519, 650, 535)) << "no source, no piece";
  EXPECT_FALSE(cutBitmap(whole, 650, 519, 530, 535)) << "turned round";

  const SkinImage image = loadSkinImage(skins.path(L"main.bmp"));
  const SkinImage cut = cutImage(image, 530, 519, 120, 16);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut.width(), 120);
  EXPECT_EQ(cut.height(), 16);
  EXPECT_EQ(cut.get()->GetPixelFormat(), image.get()->GetPixelFormat());
  EXPECT_EQ(imagePixel(cut, 119, 15), gradient(649, 534));
  EXPECT_FALSE(cutImage(SkinImage(), 0, 0, 10, 10));
  EXPECT_FALSE(cutImage(image, 990, 0, 20, 10)) << "reaching past the picture";
  EXPECT_FALSE(cutImage(image, -1, 0, 20, 10));
}

// The region of a mask written as a file and loaded as the program loads it.
win32::UniqueGdi<HRGN> maskRegion(const TempSkins& skins, int w, int h, const std::function<COLORREF(int, int)>& at) {
  writeBmp(skins.path(L"mask.bmp"), w, h, at);
  return regionFromMask(loadSkinBitmap(skins.path(L"mask.bmp")), kMaskKeyColour);
}

win32::UniqueGdi<HRGN> regionOf(const std::vector<RECT>& rects) {
  win32::UniqueGdi<HRGN> r(CreateRectRgn(0, 0, 0, 0));
  for (const RECT& x : rects) {
    win32::UniqueGdi<HRGN> part(CreateRectRgnIndirect(&x));
    CombineRgn(r.get(), r.get(), part.get(), RGN_OR);
  }
  return r;
}

TEST_F(SkinPictures, RegionsCoverEveryPixelThatIsNotExactWhite) {
  const COLORREF W = RGB(255, 255, 255), B = RGB(0, 0, 0);
  struct Case {
    const char* name;
    int w, h;
    std::function<COLORREF(int, int)> at;
    std::vector<RECT> expected;
  };
  const Case cases[] = {
      {"all white", 6, 4, [&](int, int) { return W; }, {}},
      {"no white", 6, 4, [](int x, int y) { return RGB(x, y, 9); }, {{0, 0, 6, 4}}},
      {"(254,255,255) is kept",
       3,
       2,
       [&](int x, int y) { return x == 1 && y == 1 ? RGB(254, 255, 255) : W; },
       {{1, 1, 2, 2}}},
      {"black white black black",
       4,
       3,
       [&](int x, int y) { return y == 2 && x != 1 ? B : W; },
       {{0, 2, 1, 3}, {2, 2, 4, 3}}},
  };
  for (const Case& c : cases) {
    win32::UniqueGdi<HRGN> region = maskRegion(skins, c.w, c.h, c.at);
    ASSERT_TRUE(region) << c.name;
    RECT box{};
    if (c.expected.empty())
      EXPECT_EQ(GetRgnBox(region.get(), &box), NULLREGION) << c.name;
    else
      EXPECT_TRUE(EqualRgn(region.get(), regionOf(c.expected).get())) << c.name;
  }
  EXPECT_FALSE(regionFromMask(SkinBitmap(), kMaskKeyColour)) << "no mask, no region";
}

TEST_F(SkinPictures, AMaskOfManyRunsGivesTheRegionOfOnePiece) {
  // A checkerboard of 120 x 50: 3000 runs, more than one batch.
  const int w = 120, h = 50;
  auto at = [](int x, int y) { return (x + y) % 2 ? RGB(255, 255, 255) : RGB(30, 30, 30); };
  win32::UniqueGdi<HRGN> batched = maskRegion(skins, w, h, at);
  ASSERT_TRUE(batched);

  std::vector<BYTE> data(sizeof(RGNDATAHEADER));
  std::vector<RECT> rects;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (at(x, y) != RGB(255, 255, 255)) rects.push_back({x, y, x + 1, y + 1});
  ASSERT_GT(rects.size(), kRunBatch);
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  *header = RGNDATAHEADER{sizeof(RGNDATAHEADER), RDH_RECTANGLES, static_cast<DWORD>(rects.size()),
                          static_cast<DWORD>(rects.size() * sizeof(RECT)), RECT{0, 0, w, h}};
  const BYTE* raw = reinterpret_cast<const BYTE*>(rects.data());
  data.insert(data.end(), raw, raw + rects.size() * sizeof(RECT));
  win32::UniqueGdi<HRGN> onePiece(
      ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data())));
  ASSERT_TRUE(onePiece);
  EXPECT_TRUE(EqualRgn(batched.get(), onePiece.get()));
}

// Moves a file's last write time an hour ahead: a picture the user copied in after ours.
void touchLater(const std::wstring& path) {
  win32::UniqueFile f(
      CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(f);
  FILETIME t{};
  GetSystemTimeAsFileTime(&t);
  ULARGE_INTEGER later{{t.dwLowDateTime, t.dwHighDateTime}};
  later.QuadPart += 36000000000ULL;
  t = {later.LowPart, later.HighPart};
  ASSERT_TRUE(SetFileTime(f.get(), nullptr, nullptr, &t));
}

TEST_F(SkinPictures, AScaledDisplayReadsItsOwnSetOrScalesThe96DpiPicture) {
  const COLORREF red = RGB(200, 20, 30), green = RGB(20, 180, 40);
  skins.solid(L"pic.bmp", 40, 20, red);
  ASSERT_TRUE(CreateDirectoryW(skins.path(L"150").c_str(), nullptr));
  skins.solid(L"150\\pic.bmp", 60, 30, green);
  struct Case {
    int dpi;
    int width, height;
    COLORREF colour;
  } cases[] = {
      {96, 40, 20, red},    // the 96-DPI picture itself
      {144, 60, 30, green}, // its own set, as drawn
      {120, 50, 25, green}, // the next larger set, scaled down
      {192, 80, 40, red},   // no set of 200 %: the 96-DPI picture scaled up
  };
  for (const Case& c : cases) {
    const SkinBitmap b = loadScaledSkin(L"pic.bmp", Scale{c.dpi});
    ASSERT_TRUE(b) << c.dpi;
    EXPECT_EQ(b.width(), c.width) << c.dpi;
    EXPECT_EQ(b.height(), c.height) << c.dpi;
    EXPECT_EQ(bitmapPixel(b, c.width / 2, c.height / 2), c.colour) << c.dpi;
  }
  // A 96-DPI picture newer than the scaled one (a user's own skin copied over ours) wins.
  touchLater(skins.path(L"pic.bmp"));
  const SkinBitmap b = loadScaledSkin(L"pic.bmp", Scale{144});
  EXPECT_EQ(b.width(), 60);
  EXPECT_EQ(bitmapPixel(b, 30, 15), red);
  // Nothing at all: nothing, as at 96 DPI.
  EXPECT_FALSE(loadScaledSkin(L"missing.bmp", Scale{192}));
}

TEST_F(SkinPictures, ScaledPicturesAreSmoothAndScaledMasksKeepTheirTwoColours) {
  skins.mask(L"mask.bmp", 30, 20, Rect{5, 4, 17, 13});
  const SkinBitmap mask = loadScaledSkin(L"mask.bmp", Scale{168}, Resample::Nearest);
  ASSERT_TRUE(mask);
  ASSERT_EQ(mask.width(), 53); // 52.5 rounded up, as the window's scaled size
  for (int y = 0; y < mask.height(); ++y)
    for (int x = 0; x < mask.width(); ++x) {
      const COLORREF c = bitmapPixel(mask, x, y);
      ASSERT_TRUE(c == RGB(0, 0, 0) || c == RGB(255, 255, 255)) << x << "," << y;
    }
  EXPECT_EQ(bitmapPixel(mask, Scale{168}.px(10), Scale{168}.px(8)), RGB(0, 0, 0));
  EXPECT_EQ(bitmapPixel(mask, Scale{168}.px(25), Scale{168}.px(8)), RGB(255, 255, 255));

  // A picture of two halves, enlarged: the filter leaves colours between the two at the seam.
  writeBmp(skins.path(L"halves.bmp"), 8, 4, [](int x, int) { return x < 4 ? RGB(0, 0, 0) : RGB(240, 240, 240); });
  const SkinBitmap halves = loadScaledSkin(L"halves.bmp", Scale{192});
  ASSERT_EQ(halves.width(), 16);
  bool between = false;
  for (int x = 0; x < 16; ++x) {
    const int g = GetGValue(bitmapPixel(halves, x, 4));
    between = between || (g > 20 && g < 220);
  }
  EXPECT_TRUE(between) << "smoothly scaled, not pixel by pixel";
  EXPECT_EQ(bitmapPixel(halves, 0, 4), RGB(0, 0, 0));
  EXPECT_EQ(bitmapPixel(halves, 15, 4), RGB(240, 240, 240));
}

TEST_F(SkinPictures, SkinFilesLiveInTheSkinsFolderBesideTheProgram) {
  setSkinBaseFolder({});
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder(self);
  folder.resize(folder.find_last_of(L'\\') + 1);
  EXPECT_EQ(skinFile(L"single key_mask.bmp"), folder + L"Skins\\single key_mask.bmp");
}

} // namespace
} // namespace q7
