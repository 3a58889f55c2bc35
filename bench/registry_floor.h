// The bare registry work of a save and a load: the same keys, value names and widths as the
// settings store uses, written or read with nothing else around them. The floor of the save and
// load figures of several benchmarks.
#pragma once

#include "platform/win32/windows_only.h"

#include <string>
#include <utility>
#include <vector>

#include "settings/settings_image.h"

namespace q7::bench {

// Every value of one key, with its width.
struct KeyValues {
  std::wstring path;
  std::vector<std::pair<std::wstring, DWORD>> values;
};

// forLoad: the reads of a load, which also take "Language", the two whole-keyboard colour values
// of every profile key and the linked programs at their full slot width.
std::vector<KeyValues> registryLayout(bool forLoad);
// The writes of a save (bytes taken from the image's working copy) and the reads of a load.
void floorWrite(const std::vector<KeyValues>& keys, const SettingsImage& image);
void floorRead(const std::vector<KeyValues>& keys);

} // namespace q7::bench
