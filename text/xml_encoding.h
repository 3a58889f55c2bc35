// From the bytes of a file to the document's UTF-16 text: byte-order marks, the UTF-8 test, the
// encoding a document declares, and encoding names to Windows code pages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace q7::xml {

// The detection block: byte-order marks and declared encodings are looked for only in it.
inline constexpr size_t kDetectionBlock = 1024;

// Decodes a whole file. Without a byte-order mark, the encoding comes from the first
// kDetectionBlock bytes (a declaration, else UTF-8 when the file starts with "<"), then from the
// UTF-8 test; every zero unit is removed. Works in place: bytes is changed.
std::u16string decodeXmlBytes(char* bytes, size_t size);

// True unless a byte of 0x80 or more starts a sequence that is cut short or whose following
// bytes lack the high bit (lead bytes 0xB8-0xBF and 0xF8-0xFF always fail).
bool passesUtf8Test(const unsigned char* bytes, size_t size);

// The encoding a document declares in its first block (already decoded): the "encoding" of an
// <?xml ...?> declaration, or in an <html> document the charset of a
// <meta http-equiv="Content-Type" content="...; charset=NAME">. Nothing when none is declared.
std::optional<std::u16string> declaredEncoding(std::u16string_view firstBlock);

// The code page an encoding name selects in the table of 254 names (compared without regard to
// ASCII case); nothing when the name is not there or has 100 or more units.
std::optional<uint32_t> tableCodePage(std::u16string_view name);

} // namespace q7::xml
