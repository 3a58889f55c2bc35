#include "keys/key_record.h"

#include <gtest/gtest.h>

namespace q7 {
namespace {

TEST(KeyRecord, SingleKeySharesItsByteWithTheFirstEvent) {
  KeyRecord r{};
  r.Kind = static_cast<uint8_t>(KeyKind::SingleKey);
  r.setSingleKeyVk(0x41);
  const auto* b = reinterpret_cast<const uint8_t*>(&r);
  EXPECT_EQ(b[17], 0x41);
  for (size_t i = 0; i < sizeof r; ++i)
    if (i != 0 && i != 17) {
      ASSERT_EQ(b[i], 0) << "byte " << i;
    }
  EXPECT_TRUE(r.inUse());
}

TEST(KeyRecord, EventCountIsBoundedForReaders) {
  KeyRecord r{};
  for (uint32_t n : {0u, 340u}) {
    r.EventCount = n;
    EXPECT_EQ(r.boundedEventCount(), n);
  }
  for (uint32_t n : {341u, 0xFFFFFFFFu}) {
    r.EventCount = n;
    EXPECT_EQ(r.boundedEventCount(), 340u);
  }
}

} // namespace
} // namespace q7
