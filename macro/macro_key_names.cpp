#include "macro/macro_key_names.h"

#include "platform/codepage.h"

namespace q7 {

namespace {

struct FixedName {
  uint8_t vk;
  const char16_t* name;
};

// 68 codes with a fixed name ("Enter" serves both 0x0D and 0x2B).
constexpr FixedName kFixedNames[] = {
    {0x01, u"LeftButton"}, {0x02, u"RightButton"}, {0x04, u"MiddleButton"}, {0x08, u"BkSpace"}, {0x09, u"Tab"},
    {0x0C, u"Clr"},        {0x0D, u"Enter"},       {0x10, u"Shift"},        {0x11, u"Ctrl"},    {0x12, u"Alt"},
    {0x13, u"Pause"},      {0x14, u"CapsLock"},    {0x1B, u"Esc"},          {0x20, u"Space"},   {0x21, u"PgUp"},
    {0x22, u"PgDown"},     {0x23, u"End"},         {0x24, u"Home"},         {0x25, u"Left"},    {0x26, u"Up"},
    {0x27, u"Right"},      {0x28, u"Down"},        {0x29, u"Select"},       {0x2A, u"Print"},   {0x2B, u"Enter"},
    {0x2C, u"PrtSrn"},     {0x2D, u"Insert"},      {0x2E, u"Delete"},       {0x2F, u"Help"},    {0x5B, u"LWin"},
    {0x5C, u"RWin"},       {0x5D, u"App"},         {0x60, u"(0)"},          {0x61, u"(1)"},     {0x62, u"(2)"},
    {0x63, u"(3)"},        {0x64, u"(4)"},         {0x65, u"(5)"},          {0x66, u"(6)"},     {0x67, u"(7)"},
    {0x68, u"(8)"},        {0x69, u"(9)"},         {0x6A, u"(*)"},          {0x6B, u"(+)"},     {0x6C, u"\\"},
    {0x6D, u"(-)"},        {0x6E, u"(.)"},         {0x6F, u"(/)"},          {0x70, u"F1"},      {0x71, u"F2"},
    {0x72, u"F3"},         {0x73, u"F4"},          {0x74, u"F5"},           {0x75, u"F6"},      {0x76, u"F7"},
    {0x77, u"F8"},         {0x78, u"F9"},          {0x79, u"F10"},          {0x7A, u"F11"},     {0x7B, u"F12"},
    {0x90, u"NumLock"},    {0x91, u"ScrollLock"},  {0xA0, u"LShift"},       {0xA1, u"RShift"},  {0xA2, u"LCtrl"},
    {0xA3, u"RCtrl"},      {0xA4, u"LAlt"},        {0xA5, u"RAlt"},
};
static_assert(std::size(kFixedNames) == 68);

} // namespace

std::u16string macroKeyName(uint8_t vk, KeyboardText& keyboard) {
  for (const FixedName& f : kFixedNames)
    if (f.vk == vk) return f.name;
  if (vk == 0xFF) return {};
  const std::optional<uint8_t> byte = keyboard.unshiftedCharacter(vk);
  if (!byte || *byte == 0) return {};
  char c = static_cast<char>(*byte);
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  // The layout gives a byte of the system's code page.
  char16_t text[4] = {};
  const size_t units = convertMultiByte(kAnsiCodePage, &c, 1, text, std::size(text));
  return std::u16string(text, units);
}

} // namespace q7
