// The colour editor's decisions: every change of the current profile's whole-keyboard colour goes
// through applyColor; clicks on the palette strip and the presets, the number fields' key releases,
// Default and OK decide what the two arrays hold. The window only translates its messages and paints.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "settings/settings_image.h"
#include "ui/scale.h"

namespace q7 {

enum class ColourField { Red, Green, Blue };

class ColourEditorView {
public:
  virtual ~ColourEditorView() = default;
  // The three fields show r, g and b in decimal (at most 5 characters, white on black).
  virtual void showFields(uint8_t r, uint8_t g, uint8_t b) = 0;
  virtual std::u16string fieldText(ColourField field) = 0;
  virtual void setFieldText(ColourField field, std::u16string_view text) = 0;
  virtual void paintSwatch(uint32_t colour) = 0; // 0x00BBGGRR
  // The colour the window shows at a client point, 0x00BBGGRR.
  virtual uint32_t shownColourAt(int x, int y) = 0;
  virtual void endEditor(int result) = 0;
  // The arrays could not be stored: the system's text for the error code.
  virtual void showStoreError(uint32_t code) = 0;
};

// A field's number: decimal digits after optional blanks, empty or not a number 0, as large as
// the text says (saturated, never wrapping).
uint32_t fieldNumber(std::u16string_view text);
// The channel a field commits: its number, at most 255.
uint8_t fieldChannel(std::u16string_view text);

class ColourEditor {
public:
  static constexpr unsigned kEnterKey = 13;

  // Shows the current profile of image.
  ColourEditor(SettingsImage& image, Registry& registry, ColourEditorView& view);

  // Every change of the colour: the fields, the current profile's entries (status 1), the swatch.
  void applyColor(uint8_t r, uint8_t g, uint8_t b);
  // On creation and every paint: the current profile's stored colour again (typed digits go).
  void showStored();
  // A profile switch that came while the editor is open: show the new current profile.
  void followProfile();

  // A click on the window's body at a client point of a window drawn at scale; the caller passes
  // it on afterwards. The point is matched against the tables at the table pixel it lies in, and
  // the palette strip gives the colour shown at the point itself.
  void onClick(int x, int y, Scale scale = {});
  // A key released in one of the number fields.
  void onFieldKeyUp(unsigned virtualKey);
  void onOk();
  void onCancel();
  void onDefault();

  int shownProfile() const { return shown_; }

private:
  void commitFields();
  void store(uint32_t colour);

  SettingsImage& image_;
  Registry& registry_;
  ColourEditorView& view_;
  int shown_;
};

} // namespace q7
