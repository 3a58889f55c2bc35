#include "lighting/colour_editor.h"

#include <algorithm>

#include "lighting/colour_editor_layout.h"
#include "lighting/whole_key_colour.h"
#include "settings/registry_store.h"
#include "ui/dialog_result.h"

namespace q7 {

namespace {

constexpr uint32_t colourOf(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint32_t>(b) << 16 | static_cast<uint32_t>(g) << 8 | r;
}

constexpr ColourField kFields[] = {ColourField::Red, ColourField::Green, ColourField::Blue};

} // namespace

uint32_t fieldNumber(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  uint64_t n = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
    n = std::min<uint64_t>(n * 10 + static_cast<uint64_t>(text[i] - u'0'), UINT32_MAX);
  return static_cast<uint32_t>(n);
}

uint8_t fieldChannel(std::u16string_view text) {
  return static_cast<uint8_t>(std::min<uint32_t>(fieldNumber(text), 255));
}

ColourEditor::ColourEditor(SettingsImage& image, Registry& registry, ColourEditorView& view)
    : image_(image), registry_(registry), view_(view), shown_(image.currentIndex()) {}

void ColourEditor::store(uint32_t colour) {
  const int p = image_.currentIndex();
  image_.WholeKeyColorStatus[p] = 1;
  image_.WholeKeyColor[p] = colour;
}

void ColourEditor::applyColor(uint8_t r, uint8_t g, uint8_t b) {
  view_.showFields(r, g, b);
  const uint32_t colour = colourOf(r, g, b);
  store(colour);
  view_.paintSwatch(colour);
}

void ColourEditor::showStored() {
  const uint32_t c = image_.WholeKeyColor[image_.currentIndex()];
  applyColor(colour_editor::red(c), colour_editor::green(c), colour_editor::blue(c));
}

void ColourEditor::followProfile() {
  if (image_.currentIndex() == shown_) return;
  shown_ = image_.currentIndex();
  showStored();
}

void ColourEditor::commitFields() {
  const uint32_t colour =
      colourOf(fieldChannel(view_.fieldText(ColourField::Red)), fieldChannel(view_.fieldText(ColourField::Green)),
               fieldChannel(view_.fieldText(ColourField::Blue)));
  store(colour);
  view_.paintSwatch(colour);
}

void ColourEditor::onClick(int x, int y, Scale scale) {
  const int tableX = scale.unscale(x), tableY = scale.unscale(y);
  if (colour_editor::kPaletteStrip.contains(tableX, tableY)) {
    const uint32_t c = view_.shownColourAt(x, y);
    applyColor(colour_editor::red(c), colour_editor::green(c), colour_editor::blue(c));
    return;
  }
  for (const colour_editor::Preset& preset : colour_editor::kPresets) {
    if (preset.rect.contains(tableX, tableY)) {
      applyColor(colour_editor::red(preset.colour), colour_editor::green(preset.colour),
                 colour_editor::blue(preset.colour));
      break; // the first hit wins
    }
  }
  // Any click on the body commits what the fields show.
  commitFields();
}

void ColourEditor::onFieldKeyUp(unsigned virtualKey) {
  for (ColourField f : kFields)
    if (fieldNumber(view_.fieldText(f)) > 255) view_.setFieldText(f, u"255");
  if (virtualKey == kEnterKey) commitFields();
}

void ColourEditor::onOk() {
  // The arrays count as stored only when the registry took them; otherwise the close puts back
  // what the registry still holds.
  if (const uint32_t error = saveWholeKeyColours(registry_, image_, image_.currentIndex()); error != 0) {
    view_.showStoreError(error);
    return;
  }
  image_.WholeKeyColorSaved = true;
}

void ColourEditor::onCancel() { view_.endEditor(kResultNo); }

void ColourEditor::onDefault() { applyColor(0, 0, 0); }

} // namespace q7
