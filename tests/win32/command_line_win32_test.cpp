// Q7Config.exe's command line as a whole process against Wine's registry: a digest over every
// value under the program's key shows what an export and an import keep and change.
#include "platform/win32/windows_only.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_registry.h"
#include "settings/registry_names.h"
#include "settings/registry_store.h"
#include "settings/settings_image.h"

namespace q7 {
namespace {

const wchar_t* const kKey = L"Software\\VORTAN\\Q7";

// Every key path, value name, type and data under HKCU\path, in name order.
void collect(HKEY parent, const std::wstring& path, std::map<std::wstring, std::string>& out) {
  HKEY key;
  if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  out[path + L"\\"] = "";
  std::vector<wchar_t> name(16384);
  std::vector<BYTE> data(1 << 20);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size()), type = 0, dataSize = static_cast<DWORD>(data.size());
    if (RegEnumValueW(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) != ERROR_SUCCESS) break;
    std::string entry(reinterpret_cast<const char*>(&type), sizeof type);
    entry.append(reinterpret_cast<const char*>(data.data()), dataSize);
    out[path + L"|" + std::wstring(name.data(), nameSize)] = std::move(entry);
  }
  std::vector<std::wstring> subkeys;
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    if (RegEnumKeyExW(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.emplace_back(name.data(), nameSize);
  }
  RegCloseKey(key);
  for (const std::wstring& s : subkeys) collect(parent, path + L"\\" + s, out);
}

struct Digest {
  uint64_t hash = 0;
  size_t values = 0;
  bool operator==(const Digest&) const = default;
};

Digest digest() {
  std::map<std::wstring, std::string> entries;
  collect(HKEY_CURRENT_USER, kKey, entries);
  uint64_t h = 0xcbf29ce484222325ull;
  auto add = [&](const void* p, size_t n) {
    for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<const uint8_t*>(p)[i]) * 0x100000001b3ull;
  };
  for (const auto& [name, data] : entries) {
    const uint64_t sizes[2] = {name.size(), data.size()};
    add(sizes, sizeof sizes);
    add(name.data(), name.size() * sizeof(wchar_t));
    add(data.data(), data.size());
  }
  return {h, entries.size()};
}

void storeSettings() {
  win32::Win32Registry registry;
  auto image = std::make_unique<SettingsImage>();
  ASSERT_TRUE(loadSettings(registry, *image));
  image->header().ProfileCurrent = 5;
  for (int p = 0; p < kProfileCount; ++p) {
    image->profile(p).Button[10].KeyColor = 0x00101010u * static_cast<uint32_t>(p + 1);
    image->profile(p).KeySets[19].ProfileButton[100].KeyColor = 0x00ABCDEFu - static_cast<uint32_t>(p);
    image->profile(p).LinkExe[2][0] = static_cast<char16_t>(u'a' + p);
  }
  ASSERT_EQ(saveSettings(registry, *image), 0u);
  image->WholeKeyColor[4] = 0x00FF00FF;
  ASSERT_EQ(saveWholeKeyColours(registry, *image, 3), 0u);
  auto key = registry.open(kMainKeyPath);
  const uint32_t language = 0x0407;
  ASSERT_EQ(key->write(kLanguageValue, &language, sizeof language), 0u);
}

// Settings that differ from an exported file's, so that any value written from it would show.
void changeOneStoredValue() {
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  const BYTE totle = 7;
  ASSERT_EQ(RegSetValueExW(key, L"ProfileTotle", 0, REG_BINARY, &totle, 1), ERROR_SUCCESS);
  RegCloseKey(key);
}

std::wstring tempFile(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + name;
}

std::string readAll(const std::wstring& path) {
  HANDLE f =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(f, nullptr), '\0');
  DWORD got = 0;
  if (!bytes.empty()) ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(f);
  bytes.resize(got);
  return bytes;
}

bool writeAll(const std::wstring& path, const std::string& bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  const bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) && done == bytes.size();
  CloseHandle(f);
  return ok;
}

struct ProgramRun {
  DWORD exitCode = STILL_ACTIVE;
  std::string out, err;
};

// Runs Q7Config.exe with its standard output and error redirected to files.
ProgramRun runProgram(const std::wstring& args) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const std::wstring outPath = tempFile(L"q7-out.txt"), errPath = tempFile(L"q7-err.txt");
  HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  HANDLE err = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out;
  si.hStdError = err;
  const std::wstring exe = std::wstring(Q7_DIST_DIR) + L"\\Q7Config.exe";
  std::wstring cmd = L"\"" + exe + L"\" " + args;
  PROCESS_INFORMATION pi{};
  ProgramRun run;
  if (CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    if (WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0)
      GetExitCodeProcess(pi.hProcess, &run.exitCode);
    else
      TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  CloseHandle(out);
  CloseHandle(err);
  run.out = readAll(outPath);
  run.err = readAll(errPath);
  return run;
}

int lineCount(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

std::wstring quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

TEST(CommandLineWin32, ExportAllThenImportAllIntoAClearedKeyGivesTheSameValues) {
  storeSettings();
  const Digest stored = digest();
  ASSERT_GT(stored.values, 20000u);
  const std::wstring file = tempFile(L"all settings.q7b");
  const ProgramRun exported = runProgram(L"--export-all " + quoted(file));
  EXPECT_EQ(exported.exitCode, 0u) << exported.err;
  EXPECT_NE(exported.out.find("Exported all settings"), std::string::npos) << exported.out;
  EXPECT_EQ(lineCount(exported.out), 1);
  EXPECT_TRUE(exported.err.empty());
  EXPECT_EQ(digest(), stored); // an export writes nothing

  ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, kKey), ERROR_SUCCESS);
  ASSERT_EQ(digest().values, 0u);
  const ProgramRun imported = runProgram(L"--import-all " + quoted(file));
  EXPECT_EQ(imported.exitCode, 0u) << imported.err;
  EXPECT_NE(imported.out.find("Imported all settings"), std::string::npos) << imported.out;
  EXPECT_EQ(digest(), stored);

  // Over stored settings: a value the backup lacks goes too (a higher profile's arrays would win).
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VORTAN\\Q7\\Profile8", 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  const BYTE status[9] = {1, 1, 1};
  ASSERT_EQ(RegSetValueExW(key, L"WholeKeyColorStatus", 0, REG_BINARY, status, sizeof status), ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_NE(digest(), stored);
  EXPECT_EQ(runProgram(L"--import-all " + quoted(file)).exitCode, 0u);
  EXPECT_EQ(digest(), stored);
}

struct BadFile {
  const char* name;
  std::string (*make)(const std::string& good);
  const char* reason;
};

// Stores settings, exports them, changes one value, then imports each bad file: every import must
// exit non-zero with its reason on one line and leave the digest as it was. Each half of the cases
// runs in a prefix of its own, to keep a case within its time on a busy machine.
void expectRefused(const std::vector<BadFile>& cases) {
  storeSettings();
  const std::wstring file = tempFile(L"all.q7b");
  ASSERT_EQ(runProgram(L"--export-all " + quoted(file)).exitCode, 0u);
  const std::string good = readAll(file);
  ASSERT_GT(good.size(), 60000000u);
  changeOneStoredValue();
  const Digest before = digest();
  const std::wstring bad = tempFile(L"bad.q7b");
  for (const BadFile& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(writeAll(bad, c.make(good)));
    const ProgramRun r = runProgram(L"--import-all " + quoted(bad));
    EXPECT_NE(r.exitCode, 0u);
    EXPECT_NE(r.exitCode, STILL_ACTIVE);
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    EXPECT_EQ(lineCount(r.err), 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(digest(), before);
  }
}

TEST(CommandLineWin32, ACutFlippedOrOtherVersionFileExitsNonZeroAndChangesNothing) {
  expectRefused({
      {"cut", [](const std::string& g) { return g.substr(0, g.size() - 4096); }, "cut short"},
      {"flipped byte",
       [](const std::string& g) {
         std::string f = g;
         f[g.size() / 3] ^= 0x40;
         return f;
       },
       "checksum"},
      {"other version",
       [](const std::string& g) {
         std::string f = g;
         f[8] = 2;
         return f;
       },
       "version 2"},
  });
}

TEST(CommandLineWin32, AFileOfWrongSizesOrNoBackupExitsNonZeroAndChangesNothing) {
  expectRefused({
      {"wrong profile size",
       [](const std::string& g) {
         std::string f = g;
         f[24] ^= 1;
         return f;
       },
       "sizes"},
      {"one byte longer", [](const std::string& g) { return g + '\0'; }, "sizes"},
      {"not a backup", [](const std::string&) { return std::string("hello"); }, "not a settings backup"},
  });
  const Digest before = digest();
  const ProgramRun missing = runProgram(L"--import-all " + quoted(tempFile(L"none.q7b")));
  EXPECT_NE(missing.exitCode, 0u);
  EXPECT_NE(missing.err.find("Cannot open"), std::string::npos) << missing.err;
  EXPECT_EQ(digest(), before);
}

TEST(CommandLineWin32, AnImportWhileTheProgramsMutexIsHeldIsRefused) {
  storeSettings();
  const std::wstring file = tempFile(L"all.q7b");
  const std::wstring profile = tempFile(L"two.prof");
  ASSERT_EQ(runProgram(L"--export-all " + quoted(file)).exitCode, 0u);
  ASSERT_EQ(runProgram(L"--export 2 " + quoted(profile)).exitCode, 0u);
  changeOneStoredValue();
  const Digest before = digest();

  HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Q7 Configuration"); // as the running program holds it
  ASSERT_NE(mutex, nullptr);
  for (const std::wstring& args : {L"--import-all " + quoted(file), L"--import 4 " + quoted(profile)}) {
    const ProgramRun r = runProgram(args);
    EXPECT_EQ(r.exitCode, 4u);
    EXPECT_NE(r.err.find("is running"), std::string::npos) << r.err;
    EXPECT_EQ(digest(), before);
  }
  const ProgramRun exported = runProgram(L"--export-all " + quoted(tempFile(L"again.q7b")));
  EXPECT_EQ(exported.exitCode, 0u) << exported.err; // an export reads what is stored meanwhile
  ReleaseMutex(mutex);
  CloseHandle(mutex);

  const ProgramRun imported = runProgram(L"--import 4 " + quoted(profile));
  EXPECT_EQ(imported.exitCode, 0u) << imported.err;
  EXPECT_NE(digest(), before);
  std::vector<uint8_t> two(3100), four(3100);
  win32::Win32Registry registry;
  ASSERT_TRUE(registry.open(profileKeyPath(2))->read(u"Button010", two.data(), two.size()));
  ASSERT_TRUE(registry.open(profileKeyPath(4))->read(u"Button010", four.data(), four.size()));
  EXPECT_EQ(two, four);
}

TEST(CommandLineWin32, HelpAndBadArgumentsAnswerOnTheirHandles) {
  const ProgramRun help = runProgram(L"--help");
  EXPECT_EQ(help.exitCode, 0u);
  EXPECT_NE(help.out.find("--export-all FILE"), std::string::npos) << help.out;
  const ProgramRun bad = runProgram(L"--import 9 x.prof");
  EXPECT_EQ(bad.exitCode, 1u);
  EXPECT_NE(bad.err.find("0 to 8"), std::string::npos) << bad.err;
  EXPECT_EQ(lineCount(bad.err), 1);
  const ProgramRun nothing = runProgram(L"--export-all " + quoted(tempFile(L"x.q7b")));
  EXPECT_NE(nothing.exitCode, 0u); // nothing stored in a fresh prefix
  EXPECT_EQ(digest().values, 0u);
}

} // namespace
} // namespace q7
