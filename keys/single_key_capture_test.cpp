#include "keys/single_key_capture.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/fakes/german_keyboard_text.h"

namespace q7::single_key_dialog {
namespace {

TEST(SingleKeyCapture, TheLastReportBeforeOkIsHandedBackAndWithoutOneTheGivenCode) {
  test::GermanKeyboardText keyboard;
  struct Case {
    uint8_t given;
    std::vector<uintptr_t> reports; // wParams in arrival order
    uint8_t handedBack;
    const char16_t* shownName;
  };
  const Case cases[] = {
      {0x41, {}, 0x41, u"A"},                  // OK without a key: the key's own code
      {0, {}, 0, u""},                         // insert mode without a key: 0, which the editor ignores
      {0x41, {'A', 'A', 'B', 'B'}, 'B', u"B"}, // press and release A, then B
      {0x41, {0x1A2}, 0xA2, u"LCtrl"},         // only the low byte of wParam is the key
      {0x41, {0x0D, 0x1B}, 0x1B, u"Esc"},      // Enter and Escape are keys like any other here
      {0x10, {0xBC}, 0xBC, u","},              // a code without a fixed name: the layout's character
  };
  for (const Case& c : cases) {
    Capture capture(c.given, Mode::Assign, false, keyboard);
    for (uintptr_t r : c.reports) capture.onReport(r);
    EXPECT_EQ(capture.captured(), c.handedBack) << int(c.given);
    EXPECT_EQ(capture.capturedName(), c.shownName) << int(c.given);
  }
}

TEST(SingleKeyCapture, CurrentKeyNamesTheGivenCodeWhateverIsCaptured) {
  test::GermanKeyboardText keyboard;
  // The ISO key left of Enter is handed over as the low byte of its code 1003.
  Capture iso(static_cast<uint8_t>(1003 & 0xFF), Mode::Assign, false, keyboard);
  iso.onReport('Q');
  EXPECT_EQ(iso.currentName(), u"#");
  EXPECT_EQ(iso.capturedName(), u"Q");
  // German legends rename the captured key and the current key alike.
  Capture german(0x59, Mode::Assign, true, keyboard);
  german.onReport(0x5A);
  EXPECT_EQ(german.currentName(), u"Z");
  EXPECT_EQ(german.capturedName(), u"Y");
}

TEST(SingleKeyCapture, CapturedNameIsBlackOnTheAssignPanelAndWhiteOnTheInsertPanel) {
  test::GermanKeyboardText keyboard;
  EXPECT_EQ(Capture(0x41, Mode::Assign, false, keyboard).capturedColour(), 0x00000000u);
  EXPECT_EQ(Capture(0, Mode::Insert, false, keyboard).capturedColour(), 0x00FFFFFFu);
}

} // namespace
} // namespace q7::single_key_dialog
