#include "ui/hover_tracking.h"

#include <gtest/gtest.h>

namespace q7 {
namespace {

TEST(HoverTracking, StepsByFamilyAndSituation) {
  struct Case {
    const char* name;
    ButtonFamily family;
    MouseMoveFacts facts;
    MouseMoveSteps steps;
  };
  const auto B = ButtonFamily::Bitmap, I = ButtonFamily::Image;
  const Case cases[] = {
      {"bitmap button entered", B, {}, {.requestLeave = true, .setHover = true, .capture = true, .repaint = true}},
      {"image button entered", I, {}, {.setHover = true, .capture = true, .repaint = true, .forwardToParent = true}},
      {"entered again after a click gave the capture away",
       B,
       {.hover = true},
       {.setHover = true, .capture = true, .repaint = true}},
      {"image button, application inactive", I, {.appHasActiveWindow = false}, {.forwardToParent = true}},
      {"bitmap button, application inactive", B, {.appHasActiveWindow = false}, {}},
      {"left, mouse button up",
       B,
       {.hover = true, .holdsCapture = true, .otherWindowUnderCursor = true},
       {.clearHover = true, .release = true, .repaint = true}},
      {"dragged out while pressed keeps the capture",
       I,
       {.leftDown = true, .hover = true, .holdsCapture = true, .otherWindowUnderCursor = true},
       {.clearHover = true, .repaint = true, .forwardToParent = true}},
      {"pressed elsewhere and dragged in", I, {.leftDown = true}, {}},
      {"still over the button", B, {.hover = true, .holdsCapture = true}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(mouseMoveSteps(c.family, c.facts), c.steps) << c.name;
}

} // namespace
} // namespace q7
