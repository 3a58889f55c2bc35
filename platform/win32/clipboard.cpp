#include "platform/win32/clipboard.h"

#include <cstring>

#include "platform/win32/handles.h"

namespace q7::win32 {

namespace {

// The clipboard open for as long as it lives. Another program may hold it for a moment: a few tries.
class OpenClipboardScope {
public:
  explicit OpenClipboardScope(HWND owner) {
    for (int attempt = 0; attempt < 5 && !open_; ++attempt) {
      open_ = OpenClipboard(owner) != FALSE;
      if (!open_) Sleep(10);
    }
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  ~OpenClipboardScope() {
    if (open_) CloseClipboard();
  }
  bool open() const { return open_; }

private:
  bool open_ = false;
};

} // namespace

bool putClipboardText(HWND owner, const std::u16string& text) {
  const size_t bytes = (text.size() + 1) * sizeof(char16_t);
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) return false;
  void* at = GlobalLock(memory.get());
  if (!at) return false;
  std::memcpy(at, text.c_str(), bytes);
  GlobalUnlock(memory.get());
  OpenClipboardScope clipboard(owner);
  if (!clipboard.open() || !EmptyClipboard()) return false;
  if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
  memory.release(); // the clipboard owns it now
  return true;
}

std::optional<std::u16string> clipboardText(HWND owner) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return std::nullopt;
  OpenClipboardScope clipboard(owner);
  if (!clipboard.open()) return std::nullopt;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return std::nullopt;
  const auto* chars = static_cast<const char16_t*>(GlobalLock(data));
  if (!chars) return std::nullopt;
  // Read within the block, whether or not another program ended its text.
  const size_t units = GlobalSize(data) / sizeof(char16_t);
  size_t length = 0;
  while (length < units && chars[length] != u'\0') ++length;
  std::u16string text(chars, length);
  GlobalUnlock(data);
  return text;
}

} // namespace q7::win32
