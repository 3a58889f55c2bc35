// Native build only: the Windows code pages that glibc's iconv stands in for are really there
// under the names we give them, and the ones we leave out convert to nothing.
#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace q7 {
namespace {

TEST(CodePagePosix, EveryMappedCodePageIsAvailable) {
  const uint32_t available[] = {
      37,    420,   437,   708,   737,   775,   850,   852,   857,   861,   862,   866,   869,   870,   874,
      875,   932,   936,   949,   950,   1026,  1140,  1141,  1142,  1143,  1144,  1145,  1146,  1147,  1148,
      1149,  1250,  1251,  1252,  1253,  1254,  1255,  1256,  1257,  1258,  1361,  10000, 10007, 10029, 10079,
      20106, 20107, 20108, 20127, 20273, 20277, 20278, 20280, 20284, 20285, 20290, 20423, 20424, 20866, 20873,
      20880, 20905, 21025, 21866, 28591, 28592, 28593, 28594, 28595, 28596, 28597, 28598, 28599, 28605, 38598,
      50220, 50221, 50222, 50225, 50930, 50933, 50935, 50937, 50939, 51932, 51936, 51949, 65000, 65001};
  for (uint32_t cp : available) EXPECT_GT(measureMultiByte(cp, "A", 1), 0u) << cp;
  for (uint32_t cp : {720u, 1200u, 1201u, 10004u, 20000u, 29001u, 52936u, 57002u})
    EXPECT_EQ(measureMultiByte(cp, "A", 1), 0u) << cp;
}

TEST(CodePagePosix, IconvReplacesWhatItCannotDecode) {
  // 0x98 is no character in glibc's Windows-1251 table; a Shift-JIS lead byte cut off at the end.
  const std::pair<uint32_t, std::string> cases[] = {{1251, "a\x98"
                                                           "b"},
                                                    {932, "a\x93"}};
  for (const auto& [cp, bytes] : cases) {
    std::u16string out(measureMultiByte(cp, bytes.data(), bytes.size()), u'\0');
    out.resize(convertMultiByte(cp, bytes.data(), bytes.size(), out.data(), out.size()));
    EXPECT_EQ(out.substr(0, 1), u"a") << cp;
    EXPECT_NE(out.find(u'\uFFFD'), std::u16string::npos) << cp;
  }
}

} // namespace
} // namespace q7
