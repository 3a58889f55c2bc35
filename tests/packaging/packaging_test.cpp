// What a Windows user downloads, used as a user uses it: the portable zip unpacked into a folder,
// the installer run silently in a language, an upgrade over an older version, and the uninstaller.
// Every case runs in a fresh Wine prefix.
#include <gtest/gtest.h>

#include "app/keyboard_layout_tables.h"
#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"
#include "q7_version.h"
#include "text/string_lookup.h"
#include "ui/scale.h"

#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

namespace q7::e2e {
namespace {

constexpr DWORD kWaitMs = 60000;
const wchar_t* const kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Q7PrismoConfig";
const wchar_t* const kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* const kSettingsKey = L"Software\\VORTAN\\Q7";

std::wstring wide(const char* s) { return std::wstring(s, s + strlen(s)); }

std::wstring knownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result + L"\\";
}

std::wstring installFolder() { return knownFolder(FOLDERID_LocalAppData) + L"Programs\\Q7 Prismo Config\\"; }
std::wstring shortcutPath() { return knownFolder(FOLDERID_Programs) + L"Q7 Prismo Config.lnk"; }

bool fileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string fileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names of the files (not folders) in a folder, sorted.
std::vector<std::wstring> filesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  while (FindNextFileW(find, &found));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

std::wstring wide(std::string_view s) { return std::wstring(s.begin(), s.end()); }
std::string narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

ULONGLONG writeTime(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// A skin folder holds, beside its 96-DPI pictures, a sub-folder for each larger display with the
// same file names, each file byte for byte the one of the language's set it came from and not older
// than its 96-DPI file.
void expectSkinSetWithScaledFolders(const std::wstring& skins, const std::wstring& source) {
  const std::vector<std::wstring> names = filesIn(skins);
  EXPECT_GE(names.size(), 39u) << narrow(skins);
  EXPECT_EQ(names, filesIn(source)) << narrow(skins);
  for (const SkinSet& set : kScaledSkinSets) {
    const std::wstring folder = skins + L"\\" + wide(set.folder), from = source + L"\\" + wide(set.folder);
    EXPECT_EQ(filesIn(folder), names) << narrow(folder) << ": the same file names as the 96-DPI set";
    for (const std::wstring& name : names) {
      const std::string bytes = fileBytes(folder + L"\\" + name);
      EXPECT_FALSE(bytes.empty()) << narrow(folder + L"\\" + name);
      EXPECT_EQ(bytes, fileBytes(from + L"\\" + name)) << narrow(folder + L"\\" + name);
      EXPECT_NE(bytes, fileBytes(skins + L"\\" + name)) << narrow(name) << ": drawn at its scale";
      // The program passes over a scaled picture that is older than its 96-DPI picture.
      EXPECT_GE(writeTime(folder + L"\\" + name), writeTime(skins + L"\\" + name)) << narrow(folder + L"\\" + name);
    }
  }
}

// A text value of the current user's registry; "" when missing.
std::wstring registryText(const wchar_t* key, const wchar_t* name) {
  wchar_t text[1024] = {};
  DWORD size = sizeof text - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return L"";
  return text;
}

DWORD registryNumber(const wchar_t* key, const wchar_t* name) {
  DWORD value = 0, size = sizeof value;
  RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
  return value;
}

// The language code of a string file, read as the program reads it.
std::u16string languageOf(const std::wstring& stringFile) {
  setStringFilePath(std::u16string(stringFile.begin(), stringFile.end()));
  return lookupString(u"MAIN", u"LANG");
}

// The version a file's version resource gives, "major.minor.patch" from the fixed numbers, and
// its version texts, which must agree.
struct FileVersion {
  std::string fixed, fileText, productText, originalName;
};

FileVersion versionOf(const std::wstring& path) {
  FileVersion v;
  DWORD ignored = 0;
  std::vector<char> block(GetFileVersionInfoSizeW(path.c_str(), &ignored));
  if (block.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) return v;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) && fixed)
    v.fixed = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) +
              "." + std::to_string(HIWORD(fixed->dwFileVersionLS));
  auto text = [&](const wchar_t* name) {
    wchar_t* value = nullptr;
    std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &size) || !value)
      return std::string();
    return std::string(value, value + wcslen(value));
  };
  v.fileText = text(L"FileVersion");
  v.productText = text(L"ProductVersion");
  v.originalName = text(L"OriginalFilename");
  return v;
}

// The program, where the shortcut points.
std::wstring shortcutTarget(const std::wstring& link) {
  std::wstring target;
  CoInitialize(nullptr);
  IShellLinkW* shell = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&shell)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t path[MAX_PATH] = {};
      if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) && SUCCEEDED(shell->GetPath(path, MAX_PATH, nullptr, 0)))
        target = path;
      file->Release();
    }
    shell->Release();
  }
  CoUninitialize();
  return target;
}

bool sameFile(const std::wstring& a, const std::wstring& b) {
  return lstrcmpiW(a.c_str(), b.c_str()) == 0 ||
         lstrcmpiW((a + L"\\").c_str(), b.c_str()) == 0; // folders with or without the last backslash
}

HWND monitorWindow() { return FindWindowW(nullptr, L"Q7PrismoMon"); }

// The monitor that an installer started, which takes a moment to open its window.
HWND waitForMonitor() {
  const ULONGLONG end = GetTickCount64() + kWaitMs;
  HWND monitor = monitorWindow();
  for (; !monitor && GetTickCount64() < end; monitor = monitorWindow()) Sleep(50);
  return monitor;
}

class Package : public ::testing::Test {
protected:
  void SetUp() override {
    SetEnvironmentVariableW(L"Q7MON_LOG", monitorLogPath().c_str());
    DeleteFileW(monitorLogPath().c_str());
    // Shortcuts must not turn into menu entries of the machine that runs the tests.
    HKEY overrides;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &overrides, nullptr) == ERROR_SUCCESS) {
      RegSetValueExW(overrides, L"winemenubuilder.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
      RegCloseKey(overrides);
    }
  }

  // Runs an installer or uninstaller to its end; gives its exit code.
  static DWORD run(const std::wstring& exe, const std::wstring& args) {
    Process p(exe, args);
    EXPECT_TRUE(p.started()) << "cannot start " << std::string(exe.begin(), exe.end());
    return p.wait(kWaitMs);
  }
  static DWORD install(const wchar_t* setup, const std::wstring& args) { return run(setup, L"/S " + args); }

  // Runs the uninstaller as the system's uninstall list does; it hands over to a copy of itself
  // and ends at once, so wait for the entry, which goes last.
  static bool uninstall(const std::wstring& args) {
    std::wstring command = registryText(kUninstallKey, L"UninstallString");
    if (command.size() < 2 || command.front() != L'"') return false;
    const std::wstring exe = command.substr(1, command.find(L'"', 1) - 1);
    if (run(exe, L"/S " + args) != 0) return false;
    const ULONGLONG end = GetTickCount64() + kWaitMs;
    while (keyExists(kUninstallKey)) {
      if (GetTickCount64() > end) return false;
      Sleep(100);
    }
    pumpFor(500);
    return true;
  }

  // Starts the program from a folder and waits until it shows its first profile.
  HWND start(const std::wstring& exe) {
    program = Process(exe);
    EXPECT_TRUE(program.started());
    HWND main = waitForWindow(program.id(), kWaitMs);
    EXPECT_NE(main, nullptr);
    EXPECT_GE(waitForLog(1542, kWaitMs), 0);
    pumpFor(300);
    return main;
  }

  // Every key of the layout has its button where the layout puts it.
  static void expectKeyboard(HWND main, KeyLayout layout) {
    int keys = 0;
    for (int k = 0; k < kKeyCount; ++k) {
      if (!keyVisible(layout, k)) continue;
      const Rect r = keyRectangle(layout, k);
      const bool there = childAt(main, r.left, r.top, r.right, r.bottom) != nullptr;
      EXPECT_TRUE(there) << "no key button at position " << k;
      keys += there;
    }
    EXPECT_EQ(keys, visibleKeyCount(layout));
  }

  static HWND control(HWND main, main_window::Control id) {
    const Rect r = main_window::control(id).rect;
    return childAt(main, r.left, r.top, r.right, r.bottom);
  }

  Process program;
};

// ---- The portable zip ----

std::wstring unpacked() { return std::wstring(Q7_UNPACKED_DIR) + L"\\"; }

struct ShippedFile {
  const wchar_t* name;
  int manifestId; // 1 for a program, 2 for a library
};

class ShippedFiles : public Package, public ::testing::WithParamInterface<ShippedFile> {};

void PrintTo(const ShippedFile& f, std::ostream* os) { *os << std::string(f.name, f.name + wcslen(f.name)); }

TEST_P(ShippedFiles, CarryManifestIconAndTheProjectsVersion) {
  const std::wstring path = unpacked() + GetParam().name;
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(GetParam().manifestId), RT_MANIFEST);
  ASSERT_NE(manifest, nullptr);
  const char* data = static_cast<const char*>(LockResource(LoadResource(module, manifest)));
  const std::string text(data, SizeofResource(module, manifest));
  for (const char* part : {"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "<dpiAware", "<dpiAwareness",
                           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"})
    EXPECT_NE(text.find(part), std::string::npos) << "manifest lacks " << part;
  const std::string version = std::string("version=\"") + Q7_VERSION_TEXT + ".0\"";
  EXPECT_NE(text.find(version), std::string::npos) << "manifest's own version";
  int icons = 0;
  EnumResourceNamesW(
      module, RT_GROUP_ICON,
      [](HMODULE, LPCWSTR, LPWSTR, LONG_PTR count) -> BOOL { return ++*reinterpret_cast<int*>(count), TRUE; },
      reinterpret_cast<LONG_PTR>(&icons));
  EXPECT_GE(icons, 1) << "no icon";
  FreeLibrary(module);

  const FileVersion v = versionOf(path);
  EXPECT_EQ(v.fixed, Q7_VERSION_TEXT);
  EXPECT_EQ(v.fileText, Q7_VERSION_TEXT);
  EXPECT_EQ(v.productText, Q7_VERSION_TEXT);
  EXPECT_EQ(std::wstring(v.originalName.begin(), v.originalName.end()), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Zip, ShippedFiles,
                         ::testing::Values(ShippedFile{L"Q7Config.exe", 1}, ShippedFile{L"HID.exe", 1},
                                           ShippedFile{L"KBHook.dll", 2}),
                         [](const auto& info) {
                           std::wstring n = info.param.name;
                           return std::string(n.begin(), n.begin() + n.find(L'.'));
                         });

TEST_F(Package, ZipHoldsEveryLanguageWithItsSkinSetAndEnglishInstalled) {
  for (const wchar_t* code : {L"EN", L"UK", L"DE", L"FR", L"JP"}) {
    const std::wstring c = code;
    EXPECT_EQ(languageOf(unpacked() + L"lang\\Strings." + c + L".xml"), std::u16string(c.begin(), c.end()));
    EXPECT_FALSE(fileBytes(unpacked() + L"lang\\Skins." + c + L"\\main_normal.jpg").empty())
        << "no set for " << c.size();
    for (const SkinSet& set : kScaledSkinSets)
      EXPECT_EQ(filesIn(unpacked() + L"lang\\Skins." + c + L"\\" + wide(set.folder)),
                filesIn(unpacked() + L"lang\\Skins." + c))
          << narrow(c) << " " << set.folder;
  }
  EXPECT_EQ(languageOf(unpacked() + L"Strings.xml"), u"EN");
  // The installed set is the English one, and the sets differ where their keyboards do.
  const std::string installed = fileBytes(unpacked() + L"Skins\\main_normal.jpg");
  EXPECT_EQ(installed, fileBytes(unpacked() + L"lang\\Skins.EN\\main_normal.jpg"));
  EXPECT_NE(installed, fileBytes(unpacked() + L"lang\\Skins.DE\\main_normal.jpg"));
  EXPECT_NE(installed, fileBytes(unpacked() + L"lang\\Skins.JP\\main_normal.jpg"));
  expectSkinSetWithScaledFolders(unpacked() + L"Skins", unpacked() + L"lang\\Skins.EN");
  EXPECT_TRUE(fileExists(unpacked() + L"Help\\index.html"));
}

TEST_F(Package, UnpackedZipRunsWithTheEnglishKeyboard) {
  HWND main = start(unpacked() + L"Q7Config.exe");
  ASSERT_NE(main, nullptr);
  expectKeyboard(main, KeyLayout::Ansi);
}

// ---- The installer ----

TEST_F(Package, SilentInstallInGerman) {
  ASSERT_EQ(install(Q7_SETUP_EXE, L"/LANG=de"), 0u);
  const std::wstring folder = installFolder();
  for (const wchar_t* file : {L"Q7Config.exe", L"HID.exe", L"KBHook.dll", L"Help\\index.html", L"uninstall.exe"})
    EXPECT_TRUE(fileExists(folder + file)) << std::string(file, file + wcslen(file));
  EXPECT_EQ(languageOf(folder + L"Strings.xml"), u"DE");
  EXPECT_EQ(fileBytes(folder + L"Skins\\main_normal.jpg"), fileBytes(unpacked() + L"lang\\Skins.DE\\main_normal.jpg"))
      << "the German set";
  EXPECT_EQ(fileBytes(folder + L"Skins\\main_mask.bmp"), fileBytes(unpacked() + L"lang\\Skins.DE\\main_mask.bmp"));
  expectSkinSetWithScaledFolders(folder + L"Skins", unpacked() + L"lang\\Skins.DE");

  // The uninstall entry.
  EXPECT_EQ(registryText(kUninstallKey, L"DisplayName"), L"Q7 Prismo Config");
  EXPECT_EQ(registryText(kUninstallKey, L"DisplayVersion"), wide(Q7_VERSION_TEXT));
  EXPECT_EQ(registryText(kUninstallKey, L"Publisher"), wide(Q7_PUBLISHER));
  EXPECT_EQ(registryText(kUninstallKey, L"DisplayIcon"), folder + L"Q7Config.exe,0");
  EXPECT_EQ(registryText(kUninstallKey, L"UninstallString"), L"\"" + folder + L"uninstall.exe\"");
  EXPECT_TRUE(sameFile(registryText(kUninstallKey, L"InstallLocation"), folder));
  EXPECT_GT(registryNumber(kUninstallKey, L"EstimatedSize"), 1000u) << "size in KB";

  // The monitor starts at logon and was started by the install.
  EXPECT_EQ(registryText(kRunKey, L"Q7PrismoMonitor"), L"\"" + folder + L"HID.exe\"");
  EXPECT_NE(waitForMonitor(), nullptr);

  // The shortcut starts the installed program, which shows the German keyboard.
  const std::wstring target = shortcutTarget(shortcutPath());
  EXPECT_TRUE(sameFile(target, folder + L"Q7Config.exe")) << std::string(target.begin(), target.end());
  HWND monitor = monitorWindow();
  HWND main = start(target);
  ASSERT_NE(main, nullptr);
  expectKeyboard(main, KeyLayout::Iso);
  EXPECT_EQ(monitorWindow(), monitor) << "the program works with the monitor that the install started";
}

TEST_F(Package, UpgradeOverARunningOlderVersionKeepsSettingsAndLanguage) {
  ASSERT_EQ(install(Q7_PREVIOUS_SETUP_EXE, L"/LANG=FR"), 0u);
  EXPECT_EQ(registryText(kUninstallKey, L"DisplayVersion"), wide(Q7_PREVIOUS_VERSION));
  ASSERT_EQ(versionOf(installFolder() + L"Q7Config.exe").fixed, Q7_PREVIOUS_VERSION);

  // A setting saved with the older version; the program stays open, as does its monitor.
  HWND main = start(installFolder() + L"Q7Config.exe");
  ASSERT_NE(main, nullptr);
  click(control(main, main_window::Control::Profile2));
  ASSERT_GE(waitForLog(1542, kWaitMs, static_cast<size_t>(waitForLog(1542, 0)) + 1), 0);
  click(control(main, main_window::Control::Apply));
  ASSERT_GE(waitForLog(2026, kWaitMs), 0);
  ASSERT_TRUE(waitEnabled(main, true, kWaitMs));
  ASSERT_EQ(registryValue(kSettingsKey, L"ProfileCurrent"), std::vector<uint8_t>{2});
  HWND oldMonitor = monitorWindow();
  ASSERT_NE(oldMonitor, nullptr);

  ASSERT_EQ(install(Q7_SETUP_EXE, L""), 0u);
  EXPECT_EQ(program.wait(kWaitMs), 0u) << "the running program was closed";
  EXPECT_FALSE(IsWindow(oldMonitor)) << "the old monitor was ended";
  EXPECT_NE(waitForMonitor(), nullptr) << "the new monitor runs";

  EXPECT_EQ(registryValue(kSettingsKey, L"ProfileCurrent"), std::vector<uint8_t>{2});
  for (const wchar_t* file : {L"Q7Config.exe", L"HID.exe", L"KBHook.dll"})
    EXPECT_EQ(versionOf(installFolder() + file).fixed, Q7_VERSION_TEXT) << std::string(file, file + wcslen(file));
  EXPECT_EQ(registryText(kUninstallKey, L"DisplayVersion"), wide(Q7_VERSION_TEXT));
  EXPECT_EQ(languageOf(installFolder() + L"Strings.xml"), u"FR") << "the language chosen before";
  expectSkinSetWithScaledFolders(installFolder() + L"Skins", unpacked() + L"lang\\Skins.FR");
}

TEST_F(Package, WithoutAutostartNoLogonEntryAndNoMonitorUntilTheProgramStarts) {
  ASSERT_EQ(install(Q7_SETUP_EXE, L"/LANG=UK /NOAUTOSTART"), 0u);
  EXPECT_EQ(languageOf(installFolder() + L"Strings.xml"), u"UK");
  EXPECT_EQ(registryText(kRunKey, L"Q7PrismoMonitor"), L"");
  pumpFor(1000);
  EXPECT_EQ(monitorWindow(), nullptr);
  // An upgrade keeps the choice.
  ASSERT_EQ(install(Q7_SETUP_EXE, L""), 0u);
  EXPECT_EQ(registryText(kRunKey, L"Q7PrismoMonitor"), L"");
  HWND main = start(installFolder() + L"Q7Config.exe");
  ASSERT_NE(main, nullptr);
  EXPECT_NE(monitorWindow(), nullptr) << "the program starts its monitor";
  expectKeyboard(main, KeyLayout::Iso);
}

TEST_F(Package, ProgramThatDoesNotEndStopsTheInstallAndKeepsItsMonitor) {
  ASSERT_EQ(install(Q7_SETUP_EXE, L"/LANG=EN"), 0u);
  HWND main = start(installFolder() + L"Q7Config.exe");
  ASSERT_NE(main, nullptr);
  // The program asks whether to save an unsaved profile switch, and nobody answers: it cannot end.
  click(control(main, main_window::Control::Profile3));
  ASSERT_GE(waitForLog(1542, kWaitMs, static_cast<size_t>(waitForLog(1542, 0)) + 1), 0);
  click(control(main, main_window::Control::Close));
  ASSERT_NE(waitForOtherWindow(program.id(), main, kWaitMs), nullptr);

  EXPECT_NE(install(Q7_SETUP_EXE, L"/LANG=DE"), 0u);
  EXPECT_TRUE(program.running());
  EXPECT_NE(monitorWindow(), nullptr) << "the program keeps its monitor";
  EXPECT_EQ(languageOf(installFolder() + L"Strings.xml"), u"EN") << "nothing was replaced";
}

// The interactive installer's first page: every language once, the one it would install first and
// chosen (the system's, or the command line's when given).
struct SystemLanguage {
  const wchar_t* args;
  const wchar_t* first; // nullptr: the name of the system's language
};

// What a user of this system expects first: their own language where there is a string file for it.
std::wstring systemLanguageName() {
  const LANGID ui = GetUserDefaultUILanguage();
  if (ui == MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK)) return L"English (UK)";
  switch (PRIMARYLANGID(ui)) {
  case LANG_GERMAN:
    return L"Deutsch";
  case LANG_FRENCH:
    return L"Fran\u00e7ais";
  case LANG_JAPANESE:
    return L"\u65e5\u672c\u8a9e";
  default:
    return L"English (US)";
  }
}

class LanguagePage : public Package, public ::testing::WithParamInterface<SystemLanguage> {};

void PrintTo(const SystemLanguage& l, std::ostream* os) { *os << std::string(l.args, l.args + wcslen(l.args)); }

TEST_P(LanguagePage, OffersTheLanguageToInstallFirstAndAllFive) {
  Process setup(Q7_SETUP_EXE, GetParam().args);
  ASSERT_TRUE(setup.started());
  HWND list = nullptr;
  const ULONGLONG end = GetTickCount64() + kWaitMs;
  while (!list && GetTickCount64() < end) {
    for (HWND top : windowsOf(setup.id()))
      EnumChildWindows(
          top,
          [](HWND child, LPARAM found) -> BOOL {
            wchar_t name[32] = {};
            GetClassNameW(child, name, 32);
            if (lstrcmpiW(name, L"ComboBox") != 0 || !IsWindowVisible(child)) return TRUE;
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&list));
    if (!list) Sleep(100);
  }
  ASSERT_NE(list, nullptr) << "no language list";
  std::vector<std::wstring> offered;
  for (LRESULT i = 0, n = SendMessageW(list, CB_GETCOUNT, 0, 0); i < n; ++i) {
    wchar_t text[64] = {};
    if (SendMessageW(list, CB_GETLBTEXTLEN, i, 0) < 64)
      SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    offered.push_back(text);
  }
  ASSERT_EQ(offered.size(), 5u);
  EXPECT_EQ(offered[0], GetParam().first ? GetParam().first : systemLanguageName());
  EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 0);
  for (const wchar_t* name : {L"English (US)", L"English (UK)", L"Deutsch", L"Fran\u00e7ais", L"\u65e5\u672c\u8a9e"})
    EXPECT_EQ(std::count(offered.begin(), offered.end(), name), 1) << "offered once";
}

INSTANTIATE_TEST_SUITE_P(Setup, LanguagePage,
                         ::testing::Values(SystemLanguage{L"", nullptr},
                                           SystemLanguage{L"/LANG=jp", L"\u65e5\u672c\u8a9e"},
                                           SystemLanguage{L"/LANG=Uk", L"English (UK)"}),
                         [](const auto& info) {
                           const std::wstring a = info.param.args;
                           return a.empty() ? std::string("System") : std::string(a.begin() + 6, a.end());
                         });

struct UninstallCase {
  const wchar_t* args;
  bool settingsKept;
};

class Uninstall : public Package, public ::testing::WithParamInterface<UninstallCase> {};

void PrintTo(const UninstallCase& c, std::ostream* os) { *os << (c.settingsKept ? "keep" : "remove"); }

TEST_P(Uninstall, RemovesEverythingItMadeAndTheSettingsOnlyWhenAsked) {
  ASSERT_EQ(install(Q7_SETUP_EXE, L"/LANG=JP"), 0u);
  HWND main = start(shortcutTarget(shortcutPath()));
  ASSERT_NE(main, nullptr);
  // The user leaves it running.
  ASSERT_TRUE(keyExists(kSettingsKey)) << "the first start wrote the settings";
  // Something the user put into the program folder.
  { std::ofstream(std::filesystem::path(installFolder() + L"notes.txt")) << "mine"; }

  ASSERT_TRUE(uninstall(GetParam().args));
  for (const wchar_t* file :
       {L"Q7Config.exe", L"HID.exe", L"KBHook.dll", L"Strings.xml", L"uninstall.exe", L"Skins", L"Help", L"lang"})
    EXPECT_FALSE(fileExists(installFolder() + file)) << std::string(file, file + wcslen(file));
  EXPECT_TRUE(fileExists(installFolder() + L"notes.txt")) << "the user's own file stays";
  EXPECT_FALSE(fileExists(shortcutPath()));
  EXPECT_EQ(registryText(kRunKey, L"Q7PrismoMonitor"), L"");
  EXPECT_EQ(monitorWindow(), nullptr);
  EXPECT_FALSE(IsWindow(main)) << "the program was ended";
  EXPECT_EQ(keyExists(kSettingsKey), GetParam().settingsKept);
}

INSTANTIATE_TEST_SUITE_P(Settings, Uninstall,
                         ::testing::Values(UninstallCase{L"", true}, UninstallCase{L"/REMOVESETTINGS", false}),
                         [](const auto& info) { return std::string(info.param.settingsKept ? "Keep" : "Remove"); });

} // namespace
} // namespace q7::e2e
