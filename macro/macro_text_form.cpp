#include "macro/macro_text_form.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace q7 {

namespace {

struct TextKey {
  uint8_t vk;
  const char* name;
};

// One name per code, named after the key it denotes on a US keyboard. Digits and letters are named
// by themselves; the keypad's keys start with "Num".
constexpr TextKey kTextKeys[] = {
    {0x01, "LeftButton"},
    {0x02, "RightButton"},
    {0x04, "MiddleButton"},
    {0x05, "XButton1"},
    {0x06, "XButton2"},
    {0x08, "Backspace"},
    {0x09, "Tab"},
    {0x0C, "Clear"},
    {0x0D, "Enter"},
    {0x10, "Shift"},
    {0x11, "Ctrl"},
    {0x12, "Alt"},
    {0x13, "Pause"},
    {0x14, "CapsLock"},
    {0x1B, "Escape"},
    {0x20, "Space"},
    {0x21, "PageUp"},
    {0x22, "PageDown"},
    {0x23, "End"},
    {0x24, "Home"},
    {0x25, "Left"},
    {0x26, "Up"},
    {0x27, "Right"},
    {0x28, "Down"},
    {0x29, "Select"},
    {0x2A, "Print"},
    {0x2B, "Execute"},
    {0x2C, "PrintScreen"},
    {0x2D, "Insert"},
    {0x2E, "Delete"},
    {0x2F, "Help"},
    {0x30, "0"},
    {0x31, "1"},
    {0x32, "2"},
    {0x33, "3"},
    {0x34, "4"},
    {0x35, "5"},
    {0x36, "6"},
    {0x37, "7"},
    {0x38, "8"},
    {0x39, "9"},
    {0x41, "A"},
    {0x42, "B"},
    {0x43, "C"},
    {0x44, "D"},
    {0x45, "E"},
    {0x46, "F"},
    {0x47, "G"},
    {0x48, "H"},
    {0x49, "I"},
    {0x4A, "J"},
    {0x4B, "K"},
    {0x4C, "L"},
    {0x4D, "M"},
    {0x4E, "N"},
    {0x4F, "O"},
    {0x50, "P"},
    {0x51, "Q"},
    {0x52, "R"},
    {0x53, "S"},
    {0x54, "T"},
    {0x55, "U"},
    {0x56, "V"},
    {0x57, "W"},
    {0x58, "X"},
    {0x59, "Y"},
    {0x5A, "Z"},
    {0x5B, "LWin"},
    {0x5C, "RWin"},
    {0x5D, "Menu"},
    {0x5F, "Sleep"},
    {0x60, "Num0"},
    {0x61, "Num1"},
    {0x62, "Num2"},
    {0x63, "Num3"},
    {0x64, "Num4"},
    {0x65, "Num5"},
    {0x66, "Num6"},
    {0x67, "Num7"},
    {0x68, "Num8"},
    {0x69, "Num9"},
    {0x6A, "NumMultiply"},
    {0x6B, "NumPlus"},
    {0x6C, "NumEnter"},
    {0x6D, "NumMinus"},
    {0x6E, "NumDecimal"},
    {0x6F, "NumDivide"},
    {0x70, "F1"},
    {0x71, "F2"},
    {0x72, "F3"},
    {0x73, "F4"},
    {0x74, "F5"},
    {0x75, "F6"},
    {0x76, "F7"},
    {0x77, "F8"},
    {0x78, "F9"},
    {0x79, "F10"},
    {0x7A, "F11"},
    {0x7B, "F12"},
    {0x7C, "F13"},
    {0x7D, "F14"},
    {0x7E, "F15"},
    {0x7F, "F16"},
    {0x80, "F17"},
    {0x81, "F18"},
    {0x82, "F19"},
    {0x83, "F20"},
    {0x84, "F21"},
    {0x85, "F22"},
    {0x86, "F23"},
    {0x87, "F24"},
    {0x90, "NumLock"},
    {0x91, "ScrollLock"},
    {0xA0, "LShift"},
    {0xA1, "RShift"},
    {0xA2, "LCtrl"},
    {0xA3, "RCtrl"},
    {0xA4, "LAlt"},
    {0xA5, "RAlt"},
    {0xAD, "Mute"},
    {0xAE, "VolumeDown"},
    {0xAF, "VolumeUp"},
    {0xB0, "NextTrack"},
    {0xB1, "PreviousTrack"},
    {0xB2, "StopMedia"},
    {0xB3, "PlayPause"},
    {0xBA, "Semicolon"},
    {0xBB, "Equal"},
    {0xBC, "Comma"},
    {0xBD, "Minus"},
    {0xBE, "Period"},
    {0xBF, "Slash"},
    {0xC0, "Grave"},
    {0xDB, "LBracket"},
    {0xDC, "Backslash"},
    {0xDD, "RBracket"},
    {0xDE, "Quote"},
    {0xE2, "IntlBackslash"},
};

constexpr char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool sameWord(std::u16string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(static_cast<char16_t>(static_cast<unsigned char>(b[i])))) return false;
  return true;
}

std::u16string ascii(std::string_view s) { return std::u16string(s.begin(), s.end()); }

std::string hexByte(uint8_t b) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", b);
  return text;
}

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

std::optional<uint8_t> hexPair(std::u16string_view word) {
  if (word.size() != 2 || hexDigit(word[0]) < 0 || hexDigit(word[1]) < 0) return std::nullopt;
  return static_cast<uint8_t>(hexDigit(word[0]) * 16 + hexDigit(word[1]));
}

constexpr bool blank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f'; }

// The blank-separated words of a line, up to its comment.
std::vector<std::u16string_view> words(std::u16string_view line) {
  if (const size_t hash = line.find(u'#'); hash != std::u16string_view::npos) line = line.substr(0, hash);
  std::vector<std::u16string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && blank(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !blank(line[i])) ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

// The event the editor itself writes for a key code or a pause; anything else is written raw.
bool writtenByEditor(const MacroEvent& e) {
  if (e.Reserved != 0) return false;
  if (e.isPause()) return e.Vk == 0 && e.State == 0;
  return e.Usage == hidUsage(e.Vk) && (e.State == kKeyPressed || e.State == 0) && e.PauseMs == 0;
}

} // namespace

std::u16string textKeyName(uint8_t vk) {
  for (const TextKey& k : kTextKeys)
    if (k.vk == vk) return ascii(k.name);
  return ascii("VK_" + hexByte(vk));
}

std::optional<uint8_t> textKeyCode(std::u16string_view name) {
  for (const TextKey& k : kTextKeys)
    if (sameWord(name, k.name)) return k.vk;
  if (name.size() == 5 && sameWord(name.substr(0, 3), "VK_")) return hexPair(name.substr(3));
  return std::nullopt;
}

std::u16string macroEventsText(const MacroEvent* events, size_t count) {
  std::u16string text;
  for (size_t i = 0; i < count; ++i) {
    const MacroEvent& e = events[i];
    if (!writtenByEditor(e)) {
      std::string line = "raw";
      uint8_t bytes[sizeof(MacroEvent)];
      std::memcpy(bytes, &e, sizeof e);
      for (uint8_t b : bytes) line += " " + hexByte(b);
      text += ascii(line);
    } else if (e.isPause()) {
      text += ascii("pause " + std::to_string(e.PauseMs));
    } else {
      text += ascii(e.pressed() ? "press " : "release ");
      text += textKeyName(e.Vk);
    }
    text += u"\r\n";
  }
  return text;
}

namespace {

struct LineEvent {
  std::optional<MacroEvent> event;
  std::optional<TextError> error;
};

LineEvent readLine(const std::vector<std::u16string_view>& w) {
  if (sameWord(w[0], "press") || sameWord(w[0], "release")) {
    const std::optional<uint8_t> vk = w.size() == 2 ? textKeyCode(w[1]) : std::nullopt;
    if (!vk) return {std::nullopt, TextError::UnknownKey};
    return {keyEvent(*vk, sameWord(w[0], "release")), std::nullopt};
  }
  if (sameWord(w[0], "pause")) {
    if (w.size() != 2 || w[1].empty() || w[1].size() > 5) return {std::nullopt, TextError::PauseOutOfRange};
    uint32_t ms = 0;
    for (char16_t c : w[1]) {
      if (c < u'0' || c > u'9') return {std::nullopt, TextError::PauseOutOfRange};
      ms = ms * 10 + static_cast<uint32_t>(c - u'0');
    }
    if (ms > 0xFFFF) return {std::nullopt, TextError::PauseOutOfRange};
    return {pauseEvent(static_cast<uint16_t>(ms)), std::nullopt};
  }
  if (sameWord(w[0], "raw")) {
    if (w.size() != 1 + sizeof(MacroEvent)) return {std::nullopt, TextError::BadRawEvent};
    uint8_t bytes[sizeof(MacroEvent)];
    for (size_t i = 0; i < sizeof bytes; ++i) {
      const std::optional<uint8_t> b = hexPair(w[1 + i]);
      if (!b) return {std::nullopt, TextError::BadRawEvent};
      bytes[i] = *b;
    }
    MacroEvent e{};
    std::memcpy(&e, bytes, sizeof e);
    return {e, std::nullopt};
  }
  return {std::nullopt, TextError::UnknownWord};
}

TextParse failed(TextError error, int line) { return {{}, error, line}; }

} // namespace

TextParse parseMacroText(std::u16string_view text) {
  TextParse result;
  int lineNumber = 0;
  int lastKeyLine = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == std::u16string_view::npos) end = text.size();
    const std::u16string_view line = text.substr(start, end - start);
    ++lineNumber;
    start = end + 1;
    const std::vector<std::u16string_view> w = words(line);
    if (w.empty()) continue;
    const LineEvent read = readLine(w);
    if (read.error) return failed(*read.error, lineNumber);
    const MacroEvent& e = *read.event;
    const bool wantKey = result.events.size() % 2 == 0;
    if (wantKey && e.isPause()) return failed(TextError::KeyExpected, lineNumber);
    if (!wantKey && !e.isPause()) return failed(TextError::PauseExpected, lineNumber);
    if (result.events.size() >= kMaxMacroEvents) return failed(TextError::TooManyEvents, lineNumber);
    result.events.push_back(e);
    if (wantKey) lastKeyLine = lineNumber;
  }
  if (result.events.size() % 2 != 0) return failed(TextError::MissingPause, lastKeyLine);
  if (result.events.empty()) return failed(TextError::NoEvents, lineNumber);
  return result;
}

} // namespace q7
