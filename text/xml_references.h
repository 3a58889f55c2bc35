// Character references in element text: "&#123;", "&#x1F600;" and the HTML 4.01 entity names
// plus "apos".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace q7::xml {

// Appends in to out with every reference replaced by its character. A candidate is "&", one to
// nine ASCII units other than ";", then ";"; a candidate that names nothing (or code point 0, or
// one beyond U+10FFFF) is copied as written.
void appendDecoded(std::u16string_view in, std::u16string& out);

// The code point an entity name stands for, nothing when it is not an entity. Names match
// without regard to ASCII case; of two entities whose names differ only in case ("Auml" and
// "auml") the exact match wins, and a name matching neither exactly gives the capitalised one.
std::optional<uint32_t> entityCodePoint(std::u16string_view name);

} // namespace q7::xml
