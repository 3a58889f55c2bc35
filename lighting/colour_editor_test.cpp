#include "lighting/colour_editor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>

#include "fakes/memory_registry.h"
#include "lighting/colour_editor_layout.h"
#include "lighting/whole_key_colour.h"
#include "settings/registry_store.h"
#include "settings/settings_image.h"
#include "ui/dialog_result.h"

namespace q7 {
namespace {

struct FakeEditorView final : ColourEditorView {
  std::u16string fields[3];
  std::optional<uint32_t> swatch;
  int result = 0;
  std::vector<uint32_t> errors;

  void showFields(uint8_t r, uint8_t g, uint8_t b) override {
    fields[0] = number(r);
    fields[1] = number(g);
    fields[2] = number(b);
  }
  std::u16string fieldText(ColourField f) override { return fields[static_cast<int>(f)]; }
  void setFieldText(ColourField f, std::u16string_view text) override { fields[static_cast<int>(f)] = text; }
  void paintSwatch(uint32_t colour) override { swatch = colour; }
  std::vector<std::pair<int, int>> askedAt; // the points whose shown colour was asked
  // Stands for whatever picture the window shows: a colour made of the point itself.
  uint32_t shownColourAt(int x, int y) override {
    askedAt.emplace_back(x, y);
    return static_cast<uint32_t>(x - 700) | (y - 500) << 8 | 0x33u << 16;
  }
  void endEditor(int r) override { result = r; }
  void showStoreError(uint32_t code) override { errors.push_back(code); }

  static std::u16string number(int v) {
    std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
  }
  void type(std::u16string r, std::u16string g, std::u16string b) {
    fields[0] = std::move(r);
    fields[1] = std::move(g);
    fields[2] = std::move(b);
  }
};

constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return b << 16 | g << 8 | r; }

class ColourEditorTest : public ::testing::Test {
protected:
  void SetUp() override { image.header().ProfileCurrent = 3; }

  // One run of the whole-keyboard colour command: put aside, open (creation shows the stored
  // colour), whatever the user does, close.
  void run(const std::function<void(ColourEditor&)>& user) {
    WholeKeyColourRun command(image, image.currentIndex());
    ColourEditor editor(image, reg, view);
    editor.showStored();
    user(editor);
    editor.onCancel();
    EXPECT_EQ(view.result, kResultNo);
  }
  std::optional<std::vector<uint8_t>> storedIn(int p, const char16_t* name) {
    const auto* v = reg.value(profileKeyPath(p), name);
    return v ? std::optional(*v) : std::nullopt;
  }

  SettingsImage image;
  test::MemoryRegistry reg;
  FakeEditorView view;
};

TEST_F(ColourEditorTest, ANeverSetProfileShowsBlackAndCancelPutsItsStateBack) {
  image.WholeKeyColor[3] = 0; // status 0: never set
  run([&](ColourEditor& editor) {
    EXPECT_EQ(view.fields[0] + view.fields[1] + view.fields[2], u"000");
    EXPECT_EQ(view.swatch, 0u);
    EXPECT_EQ(image.WholeKeyColorStatus[3], 1); // showing it sets it
    editor.onDefault();
    editor.onClick(600, 585); // preset 3
    EXPECT_EQ(image.WholeKeyColor[3], rgb(255, 243, 0));
  });
  EXPECT_EQ(image.WholeKeyColorStatus[3], 0);
  EXPECT_EQ(image.WholeKeyColor[3], 0u);
  EXPECT_FALSE(image.WholeKeyColorSaved);
  EXPECT_EQ(reg.writeCount, 0u);
}

TEST_F(ColourEditorTest, ClicksKeysAndButtonsDecideTheCurrentEntry) {
  struct Case {
    const char* name;
    std::function<void(ColourEditor&, FakeEditorView&)> act;
    uint32_t colour;             // image.WholeKeyColor[3] afterwards
    std::u16string_view r, g, b; // what the fields show afterwards
  };
  const Case cases[] = {
      {"preset 3", [](ColourEditor& e, FakeEditorView&) { e.onClick(598, 579); }, rgb(255, 243, 0), u"255", u"243",
       u"0"},
      {"preset 9 at its last pixel", [](ColourEditor& e, FakeEditorView&) { e.onClick(707, 592); }, rgb(255, 255, 255),
       u"255", u"255", u"255"},
      {"the border column between presets 1 and 2 commits the fields",
       [](ColourEditor& e, FakeEditorView& v) {
         v.type(u"1", u"2", u"3");
         e.onClick(581, 585);
       },
       rgb(1, 2, 3), u"1", u"2", u"3"},
      {"a click on the body commits, above 255 as 255",
       [](ColourEditor& e, FakeEditorView& v) {
         v.type(u"", u"99999", u"7");
         e.onClick(510, 700);
       },
       rgb(0, 255, 7), u"", u"99999", u"7"},
      {"the palette strip takes the colour shown at the point",
       [](ColourEditor& e, FakeEditorView& v) {
         v.type(u"9", u"9", u"9");
         e.onClick(720, 581);
       },
       rgb(20, 81, 0x33), u"20", u"81", u"51"},
      {"the strip's last pixel", [](ColourEditor& e, FakeEditorView&) { e.onClick(843, 594); }, rgb(143, 94, 0x33),
       u"143", u"94", u"51"},
      {"300 becomes 255 on the key release and stays uncommitted",
       [](ColourEditor& e, FakeEditorView& v) {
         v.type(u"300", u"12", u"256");
         e.onFieldKeyUp('0');
       },
       rgb(10, 20, 30), u"255", u"12", u"255"},
      {"Enter commits 12",
       [](ColourEditor& e, FakeEditorView& v) {
         v.type(u"12", u"20", u"30");
         e.onFieldKeyUp(ColourEditor::kEnterKey);
       },
       rgb(12, 20, 30), u"12", u"20", u"30"},
      {"Enter after 300 commits 255",
       [](ColourEditor& e, FakeEditorView& v) {
         v.type(u"300", u"", u"x");
         e.onFieldKeyUp(ColourEditor::kEnterKey);
       },
       rgb(255, 0, 0), u"255", u"", u"x"},
      {"Default", [](ColourEditor& e, FakeEditorView&) { e.onDefault(); }, 0, u"0", u"0", u"0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    image.WholeKeyColorStatus[3] = 0;
    image.WholeKeyColor[3] = rgb(10, 20, 30);
    image.WholeKeyColor[4] = rgb(1, 1, 1);
    ColourEditor editor(image, reg, view);
    editor.showStored();
    view.swatch.reset();
    c.act(editor, view);
    EXPECT_EQ(image.WholeKeyColor[3], c.colour);
    EXPECT_EQ(image.WholeKeyColorStatus[3], 1);
    if (view.swatch) {
      EXPECT_EQ(*view.swatch, c.colour);
    }
    EXPECT_EQ(view.fields[0], c.r);
    EXPECT_EQ(view.fields[1], c.g);
    EXPECT_EQ(view.fields[2], c.b);
    EXPECT_EQ(image.WholeKeyColor[4], rgb(1, 1, 1)); // other profiles are never touched
    EXPECT_EQ(image.WholeKeyColorStatus[4], 0);
  }
}

TEST_F(ColourEditorTest, OkStoresBothWholeArraysInTheCurrentProfilesKeyOnly) {
  image.WholeKeyColorStatus[7] = 1;
  image.WholeKeyColor[7] = rgb(7, 7, 7);
  reg.keys[profileKeyPath(5)][u"WholeKeyColor"] = {1, 2, 3};
  run([&](ColourEditor& editor) {
    editor.onClick(600, 585);
    editor.onOk();
    EXPECT_TRUE(image.WholeKeyColorSaved);
    // More changes after OK stay in memory, but reach the registry only with another OK.
    editor.onDefault();
  });
  std::vector<uint8_t> status(9, 0), colours(36, 0);
  status[3] = status[7] = 1;
  colours[12] = 255, colours[13] = 243, colours[14] = 0;
  colours[28] = colours[29] = colours[30] = 7;
  EXPECT_EQ(storedIn(3, u"WholeKeyColorStatus"), status);
  EXPECT_EQ(storedIn(3, u"WholeKeyColor"), colours);
  EXPECT_EQ(reg.writeCount, 2u);
  EXPECT_EQ(storedIn(5, u"WholeKeyColor"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(image.WholeKeyColorStatus[3], 1);
  EXPECT_EQ(image.WholeKeyColor[3], 0u); // Default after OK, kept in memory
}

TEST_F(ColourEditorTest, OkWithoutACommitStoresThePreviousColour) {
  image.WholeKeyColorStatus[3] = 1;
  image.WholeKeyColor[3] = rgb(40, 50, 60);
  run([&](ColourEditor& editor) {
    view.type(u"12", u"50", u"60"); // typed, neither Enter nor a click
    editor.onFieldKeyUp('2');
    editor.onOk();
  });
  EXPECT_EQ(storedIn(3, u"WholeKeyColor")->at(12), 40);
  EXPECT_EQ(image.WholeKeyColor[3], rgb(40, 50, 60));
}

TEST_F(ColourEditorTest, AnOkTheRegistryRefusedIsToldAndTheCloseRestores) {
  struct Case {
    const char* name;
    std::function<void(test::MemoryRegistry&)> breakIt;
    uint32_t code;
  };
  const Case cases[] = {
      {"colour value", [](test::MemoryRegistry& r) { r.unwritable.insert(u"WholeKeyColor"); }, 5},
      {"status value", [](test::MemoryRegistry& r) { r.unwritable.insert(u"WholeKeyColorStatus"); }, 5},
      {"profile key", [](test::MemoryRegistry& r) { r.unopenable.insert(profileKeyPath(3)); }, 5},
      {"main key", [](test::MemoryRegistry& r) { r.unopenable.insert(kMainKeyPath); }, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    reg = test::MemoryRegistry();
    view = FakeEditorView();
    c.breakIt(reg);
    image.WholeKeyColorStatus[3] = 1;
    image.WholeKeyColor[3] = rgb(40, 50, 60);
    run([&](ColourEditor& editor) {
      editor.onClick(600, 585);
      editor.onOk();
      EXPECT_FALSE(image.WholeKeyColorSaved);
    });
    EXPECT_EQ(view.errors, std::vector<uint32_t>{c.code});
    EXPECT_EQ(image.WholeKeyColor[3], rgb(40, 50, 60));
    EXPECT_EQ(image.WholeKeyColorStatus[3], 1);
  }
}

TEST_F(ColourEditorTest, FollowsAProfileSwitchAndRestoresTheEntryItPutAside) {
  image.WholeKeyColorStatus[5] = 1;
  image.WholeKeyColor[5] = rgb(5, 6, 7);
  run([&](ColourEditor& editor) {
    editor.onDefault();
    view.type(u"12", u"13", u"14"); // typed, not committed
    editor.followProfile();
    EXPECT_EQ(view.fields[0], u"12");  // no switch: nothing happens
    image.header().ProfileCurrent = 5; // the monitor switched the profile
    editor.followProfile();
    EXPECT_EQ(editor.shownProfile(), 5);
    EXPECT_EQ(view.fields[0] + u"," + view.fields[1] + u"," + view.fields[2], u"5,6,7");
    editor.onClick(598, 585);
    EXPECT_EQ(image.WholeKeyColor[5], rgb(255, 243, 0));
  });
  // Entry 3 was put aside and comes back; entry 5, changed after the switch, keeps what it got.
  EXPECT_EQ(image.WholeKeyColorStatus[3], 0);
  EXPECT_EQ(image.WholeKeyColor[3], 0u);
  EXPECT_EQ(image.WholeKeyColor[5], rgb(255, 243, 0));
}

TEST_F(ColourEditorTest, ARepaintReplacesTypedDigitsWithTheStoredColour) {
  image.WholeKeyColor[3] = rgb(1, 2, 3);
  ColourEditor editor(image, reg, view);
  editor.showStored();
  view.type(u"200", u"200", u"200");
  editor.showStored();
  EXPECT_EQ(view.fields[0] + view.fields[1] + view.fields[2], u"123");
  EXPECT_EQ(image.WholeKeyColor[3], rgb(1, 2, 3));
}

TEST_F(ColourEditorTest, AClickOnAScaledWindowHitsTheTablePixelItLiesInAndPicksTheShownPoint) {
  // Points of a window drawn at 144 or 192 DPI: a preset or the strip is hit exactly where its
  // scaled rectangle is drawn, and the strip's colour is read at the window point, not the table's.
  struct Case {
    const char* name;
    int dpi, x, y;
    uint32_t colour; // image.WholeKeyColor[3] afterwards (10, 20, 30: fields committed, nothing hit)
    std::optional<std::pair<int, int>> asked; // a strip pick: the point read, whose colour is stored
  };
  const Case cases[] = {
      {"preset 1's first scaled pixel at 192", 192, 2 * 567, 2 * 579, rgb(231, 0, 24), {}},
      {"preset 1's last scaled pixel at 192", 192, 2 * 580 - 1, 2 * 593 - 1, rgb(231, 0, 24), {}},
      {"left of preset 1 at 192", 192, 2 * 567 - 1, 2 * 585, rgb(10, 20, 30), {}},
      {"the border between presets 1 and 2 at 192", 192, 2 * 581, 2 * 585, rgb(10, 20, 30), {}},
      {"preset 9 at 192", 192, 2 * 707 + 1, 2 * 592 + 1, rgb(255, 255, 255), {}},
      {"preset 1 starts at 851 at 144 (567 * 1.5 rounded)", 144, 851, 870, rgb(231, 0, 24), {}},
      {"850 at 144 is left of preset 1", 144, 850, 870, rgb(10, 20, 30), {}},
      {"869 at 144 is preset 1's last column", 144, 869, 870, rgb(231, 0, 24), {}},
      {"870 at 144 is the border", 144, 870, 870, rgb(10, 20, 30), {}},
      {"the strip at 192, read where clicked", 192, 1500, 1170, 0, {{1500, 1170}}},
      {"below the strip at 192", 192, 1500, 2 * 595, rgb(10, 20, 30), {}},
      {"at 96 the table point itself", 96, 720, 581, 0, {{720, 581}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    image.WholeKeyColor[3] = rgb(10, 20, 30);
    ColourEditor editor(image, reg, view);
    editor.showStored();
    view.askedAt.clear();
    editor.onClick(c.x, c.y, Scale::of(c.dpi));
    // The fake's colour of a far point overflows its bytes; what counts is that the shown colour
    // is the one stored.
    if (c.asked) {
      ASSERT_EQ(view.askedAt.size(), 1u);
      EXPECT_EQ(view.askedAt[0], *c.asked);
      EXPECT_EQ(image.WholeKeyColor[3], view.shownColourAt(c.x, c.y) & 0xFFFFFF);
    } else {
      EXPECT_TRUE(view.askedAt.empty());
      EXPECT_EQ(image.WholeKeyColor[3], c.colour);
    }
  }
}

TEST(ColourFields, NumbersAndChannels) {
  const struct {
    std::u16string_view text;
    uint32_t number;
    uint8_t channel;
  } cases[] = {
      {u"", 0, 0},
      {u"0", 0, 0},
      {u"12", 12, 12},
      {u"255", 255, 255},
      {u"256", 256, 255},
      {u"99999", 99999, 255},
      {u" 7", 7, 7},
      {u"12ab", 12, 12},
      {u"x", 0, 0},
      {u"-5", 0, 0},
      {u"99999999999999999999", UINT32_MAX, 255},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(fieldNumber(c.text), c.number) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(fieldChannel(c.text), c.channel) << std::string(c.text.begin(), c.text.end());
  }
}

} // namespace
} // namespace q7
