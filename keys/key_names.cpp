#include "keys/key_names.h"

namespace q7 {
namespace {

struct FixedName {
  uint32_t code;
  const char16_t* text;
};

// Keys named alike in every language. The single-byte codes 0xEB, 0xEC and 0xEF … 0xF1 are the
// low bytes of the program's own codes 1003, 1004 and 1007 … 1009, as a single-key target
// stores them.
// clang-format off
constexpr FixedName kFixedNames[] = {
    {0x08, u"BKSP"},    {0x09, u"Tab"},     {0x0C, u"Clr"},     {0x0D, u"Enter"},   {0x2B, u"Enter"},
    {0x6C, u"Enter"},   {0x10, u"Shift"},   {0x12, u"Alt"},     {0x13, u"Pause"},   {0x14, u"Caps"},
    {0x1B, u"Esc"},     {0x20, u"Space"},   {0x21, u"Pg Up"},   {0x22, u"Pg Dn"},   {0x23, u"End"},
    {0x24, u"Home"},    {0x25, u"Left"},    {0x26, u"Up"},      {0x27, u"Right"},   {0x28, u"Down"},
    {0x29, u"Select"},  {0x2A, u"Print"},   {0x2C, u"Prt Sc"},  {0x2D, u"Insert"},  {0x2E, u"Delete"},
    {0x2F, u"Help"},    {0x5B, u"LWin"},    {0x5C, u"RWin"},    {0x5D, u"App"},
    {0x60, u"(0)"},     {0x61, u"(1)"},     {0x62, u"(2)"},     {0x63, u"(3)"},     {0x64, u"(4)"},
    {0x65, u"(5)"},     {0x66, u"(6)"},     {0x67, u"(7)"},     {0x68, u"(8)"},     {0x69, u"(9)"},
    {0x6A, u"(*)"},     {0x6B, u"(+)"},     {0x6D, u"(-)"},     {0x6E, u"(.)"},     {0x6F, u"(/)"},
    {0x70, u"F1"},      {0x71, u"F2"},      {0x72, u"F3"},      {0x73, u"F4"},      {0x74, u"F5"},
    {0x75, u"F6"},      {0x76, u"F7"},      {0x77, u"F8"},      {0x78, u"F9"},      {0x79, u"F10"},
    {0x7A, u"F11"},     {0x7B, u"F12"},     {0x90, u"Numlock"}, {0x91, u"ScrLock"},
    {0xA0, u"LShift"},  {0xA1, u"RShift"},  {0xA2, u"LCtrl"},   {0xA3, u"RCtrl"},   {0xA4, u"LAlt"},
    {0xA5, u"RAlt"},
    {0xDC, u"\\"},      {1005, u"\\"},      {0xEB, u"#"},       {1003, u"#"},       {0xEC, u"|"},
    {1004, u"|"},
    {0xEF, u"\u7121\u53D8\u63DB"},          {1007, u"\u7121\u53D8\u63DB"},
    {0xF0, u"\u53D8\u63DB"},                {1008, u"\u53D8\u63DB"},
    {0xF1, u"\u30AB\u30BF/\u3072\u3089"},   {1009, u"\u30AB\u30BF/\u3072\u3089"},
    {0xFF, u""},
};
// clang-format on

struct LanguageName {
  uint32_t code;
  const char16_t* german;
  const char16_t* other;
};

// Keys whose legend follows a German keyboard under the German legends.
// clang-format off
constexpr LanguageName kLanguageNames[] = {
    {0x59, u"Z", u"Y"},      {0x5A, u"Y", u"Z"},      {0xBA, u"\u00D6", u";"}, {0xBE, u"'", u"."},
    {0xBF, u".", u"/"},      {0xDB, u"\u00DC", u"{"}, {0xDD, u"+", u"}"},      {0xDE, u"\u00C4", u"'"},
};
// clang-format on

// A code-page byte as one character of the same number; a … z raised, NUL an empty text.
std::u16string characterText(std::optional<uint8_t> byte) {
  if (!byte || *byte == 0) return {};
  uint8_t c = *byte;
  if (c >= 'a' && c <= 'z') c = static_cast<uint8_t>(c - 'a' + 'A');
  return std::u16string(1, static_cast<char16_t>(c));
}

} // namespace

std::u16string keyName(uint32_t code, bool germanLegends, KeyboardText& keyboard) {
  for (const auto& entry : kFixedNames)
    if (entry.code == code) return entry.text;
  for (const auto& entry : kLanguageNames)
    if (entry.code == code) return germanLegends ? entry.german : entry.other;
  // Codes above a byte are the program's own and no layout has a character for them.
  if (code > 0xFF) return {};
  return characterText(keyboard.unshiftedCharacter(static_cast<uint8_t>(code)));
}

} // namespace q7
