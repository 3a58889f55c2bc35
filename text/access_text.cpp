#include "text/access_text.h"

namespace q7 {

std::u16string accessText(const AccessText& text, TextLookup lookup) {
  std::u16string found = lookup ? lookup(u"ACCESS", text.key) : std::u16string();
  return found.empty() ? std::u16string(text.english) : found;
}

std::u16string fillAccessText(std::u16string_view text, std::u16string_view first, std::u16string_view second) {
  constexpr int kMostUses = 2;
  int uses[2] = {0, 0};
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'%' && i + 1 < text.size() && (text[i + 1] == u'1' || text[i + 1] == u'2')) {
      const int part = text[i + 1] - u'1';
      if (uses[part]++ < kMostUses) out += part == 0 ? first : second;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

} // namespace q7
