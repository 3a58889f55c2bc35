// The store against the real registry: every run of this executable has a fresh prefix, so the
// first load is a real first run.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <cstring>
#include <string>
#include <vector>

#include "monitor/messages.h"
#include "monitor/monitor_link.h"
#include "platform/win32/win32_messenger.h"
#include "platform/win32/win32_registry.h"
#include "monitor/monitor_link.h"
#include "settings/registry_store.h"
#include "settings/settings_image.h"

namespace q7 {
namespace {

std::vector<uint8_t> rawValue(const std::wstring& path, const wchar_t* name, DWORD* type = nullptr) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  DWORD size = 0;
  std::vector<uint8_t> v;
  if (RegQueryValueExW(key, name, nullptr, type, nullptr, &size) == ERROR_SUCCESS) {
    v.resize(size);
    RegQueryValueExW(key, name, nullptr, type, v.data(), &size);
  }
  RegCloseKey(key);
  return v;
}

bool keyExists(const std::wstring& path) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::wstring w(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

// A stand-in monitor window in this process that counts the messages posted to it.
class MonitorWindow {
public:
  MonitorWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TestMonitor";
    RegisterClassW(&wc);
    wnd_ = CreateWindowExW(0, L"TestMonitor", L"Q7PrismoMon", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                           nullptr);
  }
  ~MonitorWindow() { DestroyWindow(wnd_); }
  std::vector<MSG> drain() {
    std::vector<MSG> got;
    MSG m;
    while (PeekMessageW(&m, wnd_, WM_USER, 0xBFFF, PM_REMOVE)) got.push_back(m);
    return got;
  }

private:
  static LRESULT CALLBACK proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
  HWND wnd_;
};

class StoreOnRealRegistry : public ::testing::Test {
protected:
  SettingsImage image;
  win32::Win32Registry registry;
  win32::Win32Messenger messenger;
  MonitorLink link{messenger};
};

TEST_F(StoreOnRealRegistry, FirstRunCreatesEveryKeyWithTheFactoryValues) {
  ASSERT_FALSE(keyExists(L"Software\\VORTAN\\Q7"));
  EXPECT_TRUE(loadSettings(registry, image));
  int keys = keyExists(L"Software\\VORTAN\\Q7") ? 1 : 0;
  for (int p = 0; p < kProfileCount; ++p) {
    keys += keyExists(w(profileKeyPath(p)));
    for (int j = 0; j < kKeySetCount; ++j) keys += keyExists(w(keySetKeyPath(p, j)));
  }
  EXPECT_EQ(keys, 190);
  DWORD type = 0;
  EXPECT_EQ(rawValue(L"Software\\VORTAN\\Q7", L"ProfileCurrent", &type), std::vector<uint8_t>{0});
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(image.header().ProfileCurrent, 1u);
  for (int p = 0; p < kProfileCount; ++p) {
    EXPECT_EQ(rawValue(w(profileKeyPath(p)), L"LEDIntensity"), std::vector<uint8_t>{4});
    EXPECT_EQ(rawValue(w(profileKeyPath(p)), L"LightingLED"), (std::vector<uint8_t>{0xFF, 0x00, 0xFF, 0x00}));
    EXPECT_EQ(rawValue(w(profileKeyPath(p)), L"Button113").size(), 3100u);
    const auto name = rawValue(w(keySetKeyPath(p, 0)), L"ProfileName");
    ASSERT_EQ(name.size(), 260u);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(name.data())), u"DEFAULT");
    const auto colour = rawValue(w(keySetKeyPath(p, 0)), L"ProfileButton037");
    ASSERT_EQ(colour.size(), 3100u);
    EXPECT_EQ(colour[3096], 0x80);
    EXPECT_EQ(colour[3098], 0xFF);
  }
  EXPECT_TRUE(rawValue(L"Software\\VORTAN\\Q7", L"Language").empty());
}

TEST_F(StoreOnRealRegistry, TwoSavesPostTwoNotificationsAndCommitEachTime) {
  MonitorWindow monitor;
  loadSettings(registry, image);
  image.key(1, 10).Kind = 10;
  saveSettings(registry, image);
  EXPECT_TRUE(link.notifySaved(1));
  EXPECT_FALSE(image.hasUnsavedChanges());
  image.key(1, 11).Kind = 9;
  saveSettings(registry, image);
  EXPECT_TRUE(link.notifySaved(1));
  EXPECT_FALSE(image.hasUnsavedChanges());
  const auto got = monitor.drain();
  ASSERT_EQ(got.size(), 2u);
  for (const MSG& m : got) {
    EXPECT_EQ(m.message, msg::kSettingsSaved);
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_EQ(m.lParam, 1);
  }
  EXPECT_EQ(rawValue(w(profileKeyPath(1)), L"Button011")[0], 9);
}

TEST_F(StoreOnRealRegistry, ForeignValuesAreReadWithinTheirSlots) {
  loadSettings(registry, image);
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, w(profileKeyPath(2)).c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  std::vector<uint8_t> longLink(900, 0x41);
  RegSetValueExW(key, L"LinkExe1", 0, REG_BINARY, longLink.data(), 900);
  const wchar_t text[] = L"notepad.exe";
  RegSetValueExW(key, L"LinkExe2", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text); // wrong type
  const uint32_t big = 0x0A0B0C0D;
  RegSetValueExW(key, L"FuncKey", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&big), 4);
  RegDeleteValueW(key, L"LightingLED");
  RegCloseKey(key);
  HKEY main;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VORTAN\\Q7", 0, KEY_ALL_ACCESS, &main), ERROR_SUCCESS);
  const uint8_t lang[4] = {9, 4, 0, 0};
  RegSetValueExW(main, L"Language", 0, REG_BINARY, lang, 4);
  RegCloseKey(main);

  loadSettings(registry, image);
  const ProfileRecord& r = image.profile(2);
  for (int i = 0; i < 260; ++i) ASSERT_EQ(r.LinkExe[1][i], 0x4141) << i; // cut to the slot
  EXPECT_EQ(std::u16string(r.LinkExe[2]), u"notepad.exe");               // text read as bytes
  EXPECT_EQ(r.LinkExe[3][0], 0);
  EXPECT_EQ(r.FuncKey, 0x0Du);  // four bytes into a one-byte value: the first byte only
  EXPECT_EQ(r.LightingLED, 0u); // missing value: the field stays zero
  EXPECT_EQ(image.header().Language, 0x0409u);
  EXPECT_FALSE(image.hasUnsavedChanges());
}

} // namespace
} // namespace q7
