// Localised texts: the string file beside the program, read afresh on every lookup.
#pragma once

#include <string>
#include <string_view>

namespace q7 {

// The process-wide string file path; empty (every lookup gives "") until the main window sets it.
void setStringFilePath(std::u16string path);
const std::u16string& stringFilePath();

// The text of key in section, or the empty string on any failure.
std::u16string lookupString(std::u16string_view section, std::u16string_view key);

// A text lookup handed to code that must also run with a test's own texts; lookupString fits.
using TextLookup = std::u16string (*)(std::u16string_view section, std::u16string_view key);

} // namespace q7
