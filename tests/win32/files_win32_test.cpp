// The file system as the program uses it outside profile transfers: the short form of a long path.
#include <gtest/gtest.h>

#include "platform/win32/windows_only.h"

#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/win32_files.h"

namespace q7::win32 {
namespace {

TEST(Win32Files, ALongPathHasAShortFormThatOpensTheSameFile) {
  wchar_t temp[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  std::wstring path = temp;
  for (const wchar_t c : {L'a', L'b'}) {
    path += std::wstring(60, c) + L" folder";
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    path += L"\\";
  }
  path += L"a long program name.exe";
  ASSERT_GT(path.size(), 130u);
  {
    UniqueFile f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(f);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(f.get(), "MZ", 2, &written, nullptr));
  }
  Win32Files files;
  const std::u16string shortForm = files.shortPath(std::u16string(path.begin(), path.end()));
  ASSERT_FALSE(shortForm.empty());
  EXPECT_LE(shortForm.size(), 130u);
  const std::wstring wideShort(shortForm.begin(), shortForm.end());
  EXPECT_EQ(wideShort.find(L' '), std::wstring::npos) << "8.3 names hold no spaces";
  UniqueFile f(CreateFileW(wideShort.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(f);
  char head[2] = {};
  DWORD got = 0;
  ASSERT_TRUE(ReadFile(f.get(), head, 2, &got, nullptr));
  EXPECT_EQ(std::string(head, got), "MZ");

  EXPECT_TRUE(files.shortPath(u"C:\\no such folder\\no such program.exe").empty());
}

} // namespace
} // namespace q7::win32
