// The whole skin set: every picture and mask the program loads, drawn from the windows' tables.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/skingen/canvas.h"
#include "ui/scale.h"

namespace q7::skin {

// Receives the files of the set as they are drawn.
class SkinSink {
public:
  virtual ~SkinSink() = default;
  virtual void image(std::string_view fileName, const Canvas& picture) = 0; // a JPEG state picture
  virtual void mask(std::string_view fileName, const Mask& mask) = 0;       // a BMP mask
};

// A key cap of the main window: where it is and what it says.
struct KeyCap {
  Rect rect;
  std::u16string legend;
};

// The key caps of the keyboard layout that a language code chooses, with that language's legends.
std::vector<KeyCap> keyCapsFor(std::u16string_view languageCode);

// Draws the set for a language code (the keyboard layout, key legends and per-language button
// places follow from it) at a scale and hands every file to the sink.
void drawSkinSet(std::u16string_view languageCode, SkinSink& sink, Scale scale = {});

// Writes the 96-DPI set into a folder and each scaled set of kScaledSkinSets into its sub-folder,
// drawing the sets side by side; false when a file could not be written.
bool writeSkinSet(std::u16string_view languageCode, const std::string& folder);

} // namespace q7::skin
