// The program folder installed for another language: the string file picks the keyboard layout and
// the per-language button places, and the skin set drawn for that language shows under every key.
#include <gtest/gtest.h>

#include "app/keyboard_layout_tables.h"
#include "app/main_window_layout.h"
#include "driver.h"
#include "platform/win32/handles.h"
#include "ui/skin.h"

namespace q7::e2e {
namespace {

constexpr DWORD kWaitMs = 30000;

struct Installed {
  const wchar_t* language;
  KeyLayout layout;
};

void PrintTo(const Installed& i, std::ostream* os) {
  for (const wchar_t* c = i.language; *c; ++c) *os << static_cast<char>(*c);
}

class InstalledLanguage : public ::testing::TestWithParam<Installed> {
protected:
  void SetUp() override {
    SetEnvironmentVariableW(L"Q7MON_LOG", monitorLogPath().c_str());
    DeleteFileW(monitorLogPath().c_str());
    folder = freshFolder(GetParam().language);
    CreateDirectoryW((folder + L"Skins").c_str(), nullptr);
    for (const wchar_t* file : {L"Q7Config.exe", L"HID.exe", L"KBHook.dll"})
      ASSERT_TRUE(copyFile(distFolder() + file, folder + file)) << file;
    ASSERT_TRUE(copyFile(distFolder() + L"lang\\Strings." + GetParam().language + L".xml", folder + L"Strings.xml"));
    ASSERT_GT(copyFolder(std::wstring(Q7_TEST_SKINS_DIR) + L"\\" + GetParam().language + L"\\", folder + L"Skins\\"),
              30);

    program = Process(folder + L"Q7Config.exe");
    ASSERT_TRUE(program.started());
    main = waitForWindow(program.id(), kWaitMs);
    ASSERT_NE(main, nullptr);
    ASSERT_GE(waitForLog(1542, kWaitMs), 0);
    pumpFor(500);
  }

  // A skin picture of the installed set, read once.
  class Picture {
  public:
    Picture(const std::wstring& path) : bitmap_(loadSkinBitmap(path)), dc_(CreateCompatibleDC(nullptr)) {
      if (bitmap_) old_ = SelectObject(dc_.get(), bitmap_.get());
    }
    ~Picture() {
      if (old_) SelectObject(dc_.get(), old_);
    }
    COLORREF at(int x, int y) const { return bitmap_ ? GetPixel(dc_.get(), x, y) : CLR_INVALID; }

  private:
    SkinBitmap bitmap_;
    win32::UniqueDc dc_;
    HGDIOBJ old_ = nullptr;
  };
  Picture skin(const wchar_t* file) const { return Picture(folder + L"Skins\\" + file); }

  std::wstring folder;
  Process program;
  HWND main = nullptr;
};

bool similar(COLORREF a, COLORREF b) {
  auto d = [](int u, int v) { return u > v ? u - v : v - u; };
  return d(GetRValue(a), GetRValue(b)) <= 8 && d(GetGValue(a), GetGValue(b)) <= 8 && d(GetBValue(a), GetBValue(b)) <= 8;
}

TEST_P(InstalledLanguage, ShowsItsKeyboardOnItsOwnPictures) {
  const KeyLayout layout = GetParam().layout;
  const auto ansi = keyRectangles(KeyLayout::Ansi);
  const Picture normalPicture = skin(L"main_normal.jpg"), downPicture = skin(L"main_down.jpg");
  int keys = 0, movedKeys = 0;
  for (int k = 0; k < kKeyCount; ++k) {
    if (!keyVisible(layout, k)) continue;
    const Rect r = keyRectangle(layout, k);
    HWND key = childAt(main, r.left, r.top, r.right, r.bottom);
    EXPECT_NE(key, nullptr) << "no key button at position " << k;
    keys += key != nullptr;
    // The cap in its default look is this set's picture, also where the ANSI keyboard differs; and
    // the set has a cap there: its assigned look differs from the default one.
    const int x = (r.left + r.right) / 2, y = r.top + 3;
    const COLORREF normal = normalPicture.at(x, y);
    EXPECT_TRUE(similar(screenPixel(main, x, y), normal)) << "position " << k;
    EXPECT_FALSE(similar(normal, downPicture.at(x, y))) << "no key cap drawn at position " << k;
    // Just left of the key lies the gap between caps, which no look changes.
    const int gx = r.left - 2, gy = (r.top + r.bottom) / 2;
    EXPECT_TRUE(similar(normalPicture.at(gx, gy), downPicture.at(gx, gy)))
        << "a key cap runs over the left edge of position " << k;
    movedKeys += !(r == ansi[k]);
  }
  EXPECT_EQ(keys, visibleKeyCount(layout));
  EXPECT_GT(movedKeys, 0) << "the layout differs from the ANSI keyboard";
}

TEST_P(InstalledLanguage, PerKeyButtonsSitAtTheLanguagesPlaces) {
  const std::wstring language = GetParam().language;
  const std::u16string code(language.begin(), language.end());
  for (const main_window::ControlEntry& c : main_window::kControls) {
    const Rect r = main_window::controlRect(c.id, code);
    EXPECT_NE(childAt(main, r.left, r.top, r.right, r.bottom), nullptr) << "control " << static_cast<int>(c.id);
  }
}

INSTANTIATE_TEST_SUITE_P(Keyboards, InstalledLanguage,
                         ::testing::Values(Installed{L"UK", KeyLayout::Iso}, Installed{L"DE", KeyLayout::Iso},
                                           Installed{L"JP", KeyLayout::Japanese}),
                         [](const auto& info) {
                           const std::wstring l = info.param.language;
                           return std::string(l.begin(), l.end());
                         });

} // namespace
} // namespace q7::e2e
