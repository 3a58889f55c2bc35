// CWholeKeyboard: the colour editor. A skinned panel (colour_editor_layout.h) with a palette strip,
// nine presets, three number fields and a swatch; every decision is ColourEditor's, this window
// translates its messages and paints. Only its Cancel button closes it: Enter, Escape and the
// system's close do nothing.
#pragma once

#include "platform/win32/windows_only.h"

#include <string>

#include "lighting/colour_editor.h"
#include "text/string_lookup.h"
#include "ui/bitmap_btn2.h"
#include "ui/crledit.h"
#include "ui/skinned_dialog.h"

namespace q7 {

class CWholeKeyboard final : public SkinnedDialog<CWholeKeyboard>, private ColourEditorView {
public:
  using Lookup = std::u16string (*)(std::u16string_view section, std::u16string_view key);

  // Shows the current profile of image.
  CWholeKeyboard(HWND owner, SettingsImage& image, Registry& registry, Lookup lookup = lookupString);

  // Returns 2 when Cancel closed it.
  int runModal();
  // The main window shows another profile: the editor shows that profile's colour.
  void followProfile() { editor_.followProfile(); }

private:
  friend class SkinnedDialog<CWholeKeyboard>;
  void onCreate();
  void onInit();
  void onCommand(UINT code, ControlCommand bound);
  void onDialogCommand(UINT) {} // Enter, Escape and the system's close do nothing
  void onClose() {}
  void onScaleChanged();
  void onPaint();
  void paintTexts(HDC dc);
  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

  // ColourEditorView
  void showFields(uint8_t r, uint8_t g, uint8_t b) override;
  std::u16string fieldText(ColourField field) override;
  void setFieldText(ColourField field, std::u16string_view text) override;
  void paintSwatch(uint32_t colour) override;
  uint32_t shownColourAt(int x, int y) override;
  void endEditor(int result) override { end(result); }
  void showStoreError(uint32_t code) override;

  void drawSwatch(HDC dc) const;
  CCrledit& field(ColourField f) { return fields_[static_cast<int>(f)]; }

  Lookup lookup_;
  ColourEditor editor_;
  CBitmapBtn2 buttons_[8]; // by colour_editor::Control
  CCrledit fields_[3];     // red, green, blue
  uint32_t swatch_ = 0;
};

} // namespace q7
