// What a screen reader says for each key of the keyboard view: its label and what the key does
// ("Q, disabled", "F1, macro Reload"), in the words of section ACCESS of the string file.
#pragma once

#include <string>
#include <string_view>

#include "app/key_labels.h"
#include "keys/key_record.h"
#include "text/access_text.h"

namespace q7 {

namespace access_text {
// %1 the key's label; %2 what it does.
inline constexpr AccessText kKeyDisabled{u"KEYDISABLED", u"%1, disabled"};
inline constexpr AccessText kKeyMacro{u"KEYMACRO", u"%1, macro %2"};
inline constexpr AccessText kKeyMacroUnnamed{u"KEYMACRO0", u"%1, macro"};
inline constexpr AccessText kKeySingle{u"KEYSINGLE", u"%1, sends %2"};
inline constexpr AccessText kKeyProgram{u"KEYPROGRAM", u"%1, starts %2"};
inline constexpr AccessText kKeyOther{u"KEYOTHER", u"%1, assigned"};
} // namespace access_text

// The name of a key: its label alone for a key with its own function, else label and function.
// target is what keyFunctionText gives for the record (the macro's own name, the target key's
// name, the program). An empty label (a hidden position) gives an empty name.
std::u16string keyAccessibleName(std::u16string_view label, const KeyRecord& record, std::u16string_view target,
                                 TextLookup lookup);

} // namespace q7
