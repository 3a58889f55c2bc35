// Code page conversion without Windows: UTF-8, 1252 (the default "ANSI" code page here) and
// Latin-1 are decoded directly, everything else goes through glibc's iconv. Undecodable input is
// replaced the way MultiByteToWideChar replaces it, so both builds read a file alike.
#include "platform/codepage.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace q7 {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Output sink that either counts units (out is null) or writes them within a capacity.
struct Sink {
  char16_t* out;
  size_t capacity;
  size_t count = 0;
  void put(char16_t u) {
    if (out && count < capacity) out[count] = u;
    ++count;
  }
  void putAscii(const unsigned char* p, size_t length) {
    if (out && count < capacity) {
      const size_t room = capacity - count < length ? capacity - count : length;
      char16_t* to = out + count;
      size_t k = 0;
#ifdef __SSE2__
      const __m128i zero = _mm_setzero_si128();
      for (; k + 16 <= room; k += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + k), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + k + 8), _mm_unpackhi_epi8(bytes, zero));
      }
#endif
      for (; k < room; ++k) to[k] = p[k];
    }
    count += length;
  }
  size_t written() const { return out && count > capacity ? capacity : count; }
};

// UTF-8 with the "maximal subpart" rule: each ill-formed subsequence gives one U+FFFD and decoding
// resumes at the first byte that cannot continue it.
void decodeUtf8(const unsigned char* p, size_t n, Sink& sink) {
  size_t i = 0;
  while (i < n) {
    // ASCII runs dominate string files: find the run eight bytes at a time, then copy it.
    size_t run = i;
    for (uint64_t w; run + 8 <= n && (std::memcpy(&w, p + run, 8), !(w & 0x8080808080808080ull));) run += 8;
    while (run < n && p[run] < 0x80) ++run;
    if (run > i) {
      sink.putAscii(p + i, run - i);
      i = run;
      if (i >= n) break;
    }
    const unsigned b = p[i];
    int need;
    uint32_t cp;
    unsigned lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2, cp = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3, cp = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      sink.put(kReplacement);
      ++i;
      continue;
    }
    size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < need; ++k, ++j) {
      const unsigned c = j < n ? p[j] : 0;
      if (j >= n || !(k == 0 ? (c >= lo && c <= hi) : (c >= 0x80 && c <= 0xBF))) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok) {
      sink.put(kReplacement);
      i = j;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      sink.put(char16_t(0xD800 + (cp >> 10)));
      sink.put(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      sink.put(char16_t(cp));
    }
    i = j;
  }
}

// Windows-1252 as Windows has it: the five bytes the standard leaves undefined map to the C1
// controls of the same value.
// clang-format off
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void decodeSingleByte(const unsigned char* p, size_t n, bool cp1252, Sink& sink) {
  for (size_t i = 0; i < n; ++i) {
    const unsigned b = p[i];
    sink.put(cp1252 && b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
  }
}

struct IconvName {
  uint32_t codePage;
  const char* name;
};
// clang-format on

// Windows code pages that glibc knows under these names. Code pages missing here (for example
// 720, the Mac Arabic, Greek and Turkish sets, ISCII, HZ, and 1200/1201, which Windows does not
// convert from bytes either) are not available and convert to nothing.
// clang-format off
constexpr IconvName kIconvNames[] = {
    {37, "IBM037"},       {420, "IBM420"},       {437, "IBM437"},       {708, "ASMO-708"},
    {737, "CP737"},       {775, "CP775"},        {850, "IBM850"},       {852, "IBM852"},
    {857, "IBM857"},      {861, "IBM861"},       {862, "IBM862"},       {866, "IBM866"},
    {869, "IBM869"},      {870, "IBM870"},       {874, "CP874"},        {875, "IBM875"},
    {932, "CP932"},       {936, "CP936"},        {949, "CP949"},        {950, "BIG5"},
    {1026, "IBM1026"},    {1140, "IBM1140"},     {1141, "IBM1141"},     {1142, "IBM1142"},
    {1143, "IBM1143"},    {1144, "IBM1144"},     {1145, "IBM1145"},     {1146, "IBM1146"},
    {1147, "IBM1147"},    {1148, "IBM1148"},     {1149, "IBM1149"},     {1250, "CP1250"},
    {1251, "CP1251"},     {1253, "CP1253"},      {1254, "CP1254"},      {1255, "CP1255"},
    {1256, "CP1256"},     {1257, "CP1257"},      {1258, "CP1258"},      {1361, "JOHAB"},
    {10000, "MACINTOSH"}, {10007, "MAC-CYRILLIC"}, {10029, "MAC-CENTRALEUROPE"}, {10079, "MAC-IS"},
    {20106, "ISO646-DE"}, {20107, "ISO646-SE"},  {20108, "ISO646-NO"},  {20127, "ANSI_X3.4-1968"},
    {20273, "IBM273"},    {20277, "IBM277"},     {20278, "IBM278"},     {20280, "IBM280"},
    {20284, "IBM284"},    {20285, "IBM285"},     {20290, "IBM290"},     {20423, "IBM423"},
    {20424, "IBM424"},    {20866, "KOI8-R"},     {20873, "IBM871"},     {20880, "IBM880"},
    {20905, "IBM905"},    {21025, "IBM1025"},    {21866, "KOI8-U"},     {28592, "ISO-8859-2"},
    {28593, "ISO-8859-3"}, {28594, "ISO-8859-4"}, {28595, "ISO-8859-5"}, {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"}, {28598, "ISO-8859-8"}, {28599, "ISO-8859-9"}, {28605, "ISO-8859-15"},
    {38598, "ISO-8859-8"}, {50220, "ISO-2022-JP"}, {50221, "ISO-2022-JP"}, {50222, "ISO-2022-JP"},
    {50225, "ISO-2022-KR"}, {50930, "IBM930"},   {50933, "IBM933"},     {50935, "IBM935"},
    {50937, "IBM937"},    {50939, "IBM939"},     {51932, "EUC-JP"},     {51936, "EUC-CN"},
    {51949, "EUC-KR"},    {65000, "UTF-7"},
};
// clang-format on

const char* iconvName(uint32_t codePage) {
  for (const IconvName& e : kIconvNames)
    if (e.codePage == codePage) return e.name;
  return nullptr;
}

// Runs iconv over the whole input into the sink; false when the code page is not available.
bool decodeIconv(const char* name, const char* bytes, size_t n, Sink& sink) {
  iconv_t cd = iconv_open("UTF-16LE", name);
  if (cd == iconv_t(-1)) return false;
  char* in = const_cast<char*>(bytes);
  size_t inLeft = n;
  char16_t buffer[1024];
  auto run = [&](bool flush) {
    char* out = reinterpret_cast<char*>(buffer);
    size_t outLeft = sizeof buffer;
    const size_t r = flush ? iconv(cd, nullptr, nullptr, &out, &outLeft) : iconv(cd, &in, &inLeft, &out, &outLeft);
    const int err = r == size_t(-1) ? errno : 0;
    for (size_t k = 0; k < (sizeof buffer - outLeft) / 2; ++k) sink.put(buffer[k]);
    return err;
  };
  while (inLeft > 0) {
    const int err = run(false);
    if (err == 0 || err == E2BIG) continue;
    if (err != EILSEQ && err != EINVAL) break;
    // An undecodable byte, or a sequence cut off by the end: one replacement, then go on after
    // that byte from the initial shift state.
    sink.put(kReplacement);
    ++in;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  run(true); // the shift state's closing output, if any
  iconv_close(cd);
  return true;
}

bool decode(uint32_t codePage, const char* bytes, size_t n, Sink& sink) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes);
  if (codePage == kAnsiCodePage) codePage = 1252;
  switch (codePage) {
  case kUtf8CodePage:
    decodeUtf8(p, n, sink);
    return true;
  case 1252:
    decodeSingleByte(p, n, true, sink);
    return true;
  case 28591:
    decodeSingleByte(p, n, false, sink);
    return true;
  default:
    if (const char* name = iconvName(codePage)) return decodeIconv(name, bytes, n, sink);
    return false;
  }
}

} // namespace

size_t measureMultiByte(uint32_t codePage, const char* bytes, size_t size) {
  Sink sink{nullptr, 0};
  return decode(codePage, bytes, size, sink) ? sink.count : 0;
}

size_t convertMultiByte(uint32_t codePage, const char* bytes, size_t size, char16_t* out, size_t capacity) {
  Sink sink{out, capacity};
  return decode(codePage, bytes, size, sink) ? sink.written() : 0;
}

} // namespace q7
