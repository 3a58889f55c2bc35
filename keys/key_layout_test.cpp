#include "keys/key_layout.h"

#include <gtest/gtest.h>

namespace q7 {
namespace {

TEST(KeyLayout, ChosenByTheExactLanguageCode) {
  const struct {
    const char16_t* code;
    KeyLayout layout;
  } cases[] = {
      {u"UK", KeyLayout::Iso},   {u"FR", KeyLayout::Iso},  {u"DE", KeyLayout::Iso},   {u"JP", KeyLayout::Japanese},
      {u"US", KeyLayout::Ansi},  {u"", KeyLayout::Ansi},   {u"jp", KeyLayout::Ansi},  {u"de", KeyLayout::Ansi},
      {u"JP ", KeyLayout::Ansi}, {u"EN", KeyLayout::Ansi}, {u"UKX", KeyLayout::Ansi},
  };
  for (const auto& c : cases) EXPECT_EQ(keyLayoutFor(c.code), c.layout) << "case " << (&c - cases);
}

} // namespace
} // namespace q7
