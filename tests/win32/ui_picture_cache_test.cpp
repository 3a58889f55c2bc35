// The dialogs' picture cache against Wine's picture decoder, GDI and files: what a cached family
// keeps and shows, a file replaced while the program runs, and the prefetch.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <string>

#include "ui/picture_cache.h"
#include "ui/region.h"
#include "ui/skin.h"
#include "ui_support.h"

namespace q7 {
namespace {

using namespace uitest;

COLORREF gradient(int x, int y) { return RGB(x % 256, y % 256, 90); }

// The colour at (x, y) of a picture as a window paints it: the piece there, painted one to one.
COLORREF shown(const SkinBitmap& picture, int x, int y) {
  win32::WindowDc screen(nullptr);
  win32::UniqueDc dc(CreateCompatibleDC(screen.get()));
  win32::UniqueGdi<HBITMAP> target(CreateCompatibleBitmap(screen.get(), 1, 1));
  win32::Selection s(dc.get(), target.get());
  paintSkinPiece(dc.get(), &picture, x, y, 1, 1);
  return GetPixel(dc.get(), 0, 0);
}

// Sets a file's last write time a few seconds on, as a copy of a newer file would.
void touch(const std::wstring& path, int seconds) {
  HANDLE f = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME t{};
  GetFileTime(f, nullptr, nullptr, &t);
  ULARGE_INTEGER v{{t.dwLowDateTime, t.dwHighDateTime}};
  v.QuadPart += static_cast<ULONGLONG>(seconds) * 10'000'000;
  t = {v.LowPart, v.HighPart};
  SetFileTime(f, nullptr, nullptr, &t);
  CloseHandle(f);
}

class PictureCache : public ::testing::Test {
protected:
  void SetUp() override {
    clearPictureCache();
    for (const wchar_t* name : {L"n.bmp", L"o.bmp", L"d.bmp"}) writeBmp(skins.path(name), 200, 120, gradient);
    skins.mask(L"m.bmp", 200, 120, kPanel);
  }
  void TearDown() override { clearPictureCache(); }
  static constexpr Rect kPanel{40, 30, 150, 100};
  static constexpr SkinFamily kFamily{"n.bmp", "o.bmp", "d.bmp", "m.bmp", kPanel};
  TempSkins skins;
};

TEST_F(PictureCache, AFamilyKeepsOnlyItsPanelAndShowsWhatTheWholePictureShows) {
  const FamilyPictures p = familyPictures(kFamily, Scale{});
  for (const SkinBitmap* b : {&p.normal, &p.over, &p.down}) {
    ASSERT_TRUE(*b);
    EXPECT_EQ(b->width(), 200);
    EXPECT_EQ(b->height(), 120);
    EXPECT_EQ(b->heldWidth(), kPanel.width());
    EXPECT_EQ(b->heldHeight(), kPanel.height());
    EXPECT_EQ(b->origin().x, kPanel.left);
    EXPECT_EQ(b->origin().y, kPanel.top);
  }
  EXPECT_EQ(p.size.width, 200);
  EXPECT_EQ(p.size.height, 120);
  for (auto [x, y] : {std::pair{40, 30}, {149, 99}, {100, 64}}) EXPECT_EQ(shown(p.normal, x, y), gradient(x, y));
  // A button's piece cut from the cached picture holds the picture's pixels.
  const SkinBitmap piece = cutBitmap(p.over, 60, 40, 90, 60);
  ASSERT_TRUE(piece);
  EXPECT_EQ(shown(piece, 5, 7), gradient(65, 47));

  const win32::UniqueGdi<HRGN> shape = copyShape(p);
  const win32::UniqueGdi<HRGN> direct = regionFromMask(loadSkinBitmap(skins.path(L"m.bmp")), kMaskKeyColour);
  ASSERT_TRUE(shape && direct);
  EXPECT_TRUE(EqualRgn(shape.get(), direct.get()));
  EXPECT_EQ(cachedPictureBytes(), 3u * ((kPanel.width() * 3 + 3) / 4 * 4) * kPanel.height());
}

TEST_F(PictureCache, AFileReplacedWhileTheProgramRunsShowsAtTheNextOpening) {
  const FamilyPictures first = familyPictures(kFamily, Scale{});
  const FamilyPictures again = familyPictures(kFamily, Scale{});
  EXPECT_EQ(again.normal.get(), first.normal.get()) << "nothing changed: the cached picture";

  // Replaced by a picture of the same size and another colour.
  skins.solid(L"n.bmp", 200, 120, RGB(200, 20, 20));
  touch(skins.path(L"n.bmp"), 5);
  const FamilyPictures replaced = familyPictures(kFamily, Scale{});
  EXPECT_EQ(shown(replaced.normal, 100, 64), RGB(200, 20, 20));
  EXPECT_EQ(shown(replaced.over, 100, 64), gradient(100, 64));

  // The mask replaced by a larger panel: the kept part and the shape follow.
  skins.mask(L"m.bmp", 200, 120, {10, 10, 190, 110});
  touch(skins.path(L"m.bmp"), 5);
  const FamilyPictures wider = familyPictures(kFamily, Scale{});
  EXPECT_EQ(wider.over.heldWidth(), 180);
  EXPECT_EQ(shown(wider.over, 12, 12), gradient(12, 12));
  RECT box{};
  GetRgnBox(wider.shape->get(), &box);
  EXPECT_EQ((Rect{box.left, box.top, box.right, box.bottom}), (Rect{10, 10, 190, 110}));

  // A picture removed: the window gets none and paints the plain face.
  DeleteFileW(skins.path(L"d.bmp").c_str());
  EXPECT_FALSE(familyPictures(kFamily, Scale{}).down);
}

TEST_F(PictureCache, ThePrefetchFillsTheCacheAndAWindowBeforeItDecodesItsOwn) {
  // Before any prefetch: decoded for the asking window, and correct.
  const FamilyPictures own = familyPictures(kFamily, Scale{});
  EXPECT_EQ(shown(own.down, 100, 64), gradient(100, 64));
  clearPictureCache();
  EXPECT_EQ(cachedPictureBytes(), 0u);

  prefetchFamilies({&kFamily}, Scale{});
  ASSERT_TRUE(pumpUntil([] { return prefetchDone(); }, 20000));
  EXPECT_GT(cachedPictureBytes(), 0u);
  const FamilyPictures a = familyPictures(kFamily, Scale{}), b = familyPictures(kFamily, Scale{});
  EXPECT_EQ(a.normal.get(), b.normal.get());
  EXPECT_EQ(shown(a.normal, 149, 99), gradient(149, 99));
  // Another scale is a family of its own: the pictures at twice the size.
  const FamilyPictures twice = familyPictures(kFamily, Scale{192});
  EXPECT_EQ(twice.size.width, 400);
  EXPECT_EQ(twice.normal.origin().x, 80);
}

} // namespace
} // namespace q7
