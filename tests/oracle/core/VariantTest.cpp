#include "oracle/core/Variant.h"

#include <gtest/gtest.h>

namespace oracle {
namespace {

TEST(Variant, KindsAndConversions) {
  EXPECT_EQ(Variant().type(), VariantType::Empty);
  EXPECT_EQ(Variant::null().type(), VariantType::Null);
  EXPECT_EQ(Variant(42).toString(), "42");
  EXPECT_EQ(Variant("12.5").toDouble(), 12.5);
  EXPECT_EQ(Variant(2.5).toInt(), 2);  // banker's rounding
  EXPECT_EQ(Variant(3.5).toInt(), 4);
  EXPECT_EQ(Variant(0.1).toString(), "0.1");
  EXPECT_EQ(Variant().toString(), "");
  EXPECT_EQ(Variant().toInt(), 0);
  EXPECT_EQ(Variant::fromDate(1.5).toDouble(), 1.5);
  EXPECT_TRUE(Variant(true).toBool());
}

TEST(Variant, FailedConversionsRaise) {
  EXPECT_THROW(Variant::null().toString(), VariantConversionError);
  EXPECT_THROW(Variant("abc").toDouble(), VariantConversionError);
  EXPECT_THROW(Variant("").toInt(), VariantConversionError);
  EXPECT_THROW(Variant::fromArray({}).toDouble(), VariantConversionError);
}

TEST(Variant, ArraysKeepBoundsAndCopyOnWrite) {
  Variant a = Variant::fromArray({5, {Variant(1), Variant(2)}});
  Variant b = a;
  b.array().items[0] = Variant(9);
  EXPECT_EQ(a.array().items[0], Variant(1));
  EXPECT_EQ(b.array().lowBound, 5);
  EXPECT_EQ(b.array().highBound(), 6);
  EXPECT_FALSE(a == b);
  EXPECT_EQ(Variant::fromArray({0, {Variant(65), Variant(66)}}).toBytes(),
            (Variant::Bytes{65, 66}));
  EXPECT_THROW(Variant::fromArray({0, {Variant(300)}}).toBytes(), VariantConversionError);
}

}  // namespace
}  // namespace oracle
