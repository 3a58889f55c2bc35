// libFuzzer target: any text as a macro pasted from the clipboard. Reading must neither crash nor
// accept what the editor cannot hold, and whatever it accepts comes back byte for byte when written
// out and read again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "macro/macro_text_form.h"

namespace {

void require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The bytes as UTF-16 units (as the clipboard gives text), and also one unit a byte.
  std::u16string wide(size / 2, u'\0');
  std::memcpy(wide.data(), data, wide.size() * 2);
  const std::u16string narrow(data, data + size);
  for (const std::u16string& text : {wide, narrow}) {
    const q7::TextParse parsed = q7::parseMacroText(text);
    if (parsed.error) {
      require(parsed.events.empty(), "nothing taken from a refused text");
      require(parsed.errorLine >= 1, "an error names its line");
      continue;
    }
    require(!parsed.events.empty() && parsed.events.size() % 2 == 0, "whole lines");
    require(parsed.events.size() <= q7::kMaxMacroEvents, "within the event slots");
    for (size_t i = 0; i < parsed.events.size(); ++i)
      require(parsed.events[i].isPause() == (i % 2 == 1), "a key event, then its pause");
    const q7::TextParse again = q7::parseMacroText(q7::macroEventsText(parsed.events.data(), parsed.events.size()));
    require(!again.error && again.events.size() == parsed.events.size() &&
                std::memcmp(again.events.data(), parsed.events.data(), parsed.events.size() * sizeof(q7::MacroEvent)) ==
                    0,
            "written out and read again byte for byte");
  }
  return 0;
}
