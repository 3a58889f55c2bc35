#include "keys/single_key_capture.h"

#include "keys/key_names.h"

namespace q7::single_key_dialog {

std::u16string Capture::capturedName() const { return keyName(captured_, germanLegends_, *keyboard_); }

std::u16string Capture::currentName() const { return keyName(given_, germanLegends_, *keyboard_); }

} // namespace q7::single_key_dialog
