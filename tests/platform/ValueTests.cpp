// The property-list value: the phone's number and string conversions, copies with one change,
// and the defaults that absent or malformed records read as.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/foundation/Value.h"

namespace {
constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();
constexpr uint64_t kMaxU64 = std::numeric_limits<uint64_t>::max();
}  // namespace

TEST(ValueNumbers, IntegerFromEachKind) {
    EXPECT_EQ(Value(true).integerValue(), 1);
    EXPECT_EQ(Value(false).integerValue(), 0);
    EXPECT_EQ(Value(-42).integerValue(), -42);
    EXPECT_EQ(Value(3.9).integerValue(), 3);     // truncation toward zero
    EXPECT_EQ(Value(-3.9).integerValue(), -3);
    EXPECT_EQ(Value(2.5f).intValue(), 2);
    EXPECT_EQ(Value("  42abc").integerValue(), 42);
    EXPECT_EQ(Value("\t-17 persons").integerValue(), -17);
    EXPECT_EQ(Value("+8").integerValue(), 8);
    EXPECT_EQ(Value("3.5").integerValue(), 3);
    EXPECT_EQ(Value("007").integerValue(), 7);
    EXPECT_EQ(Value("abc").integerValue(), 0);
    EXPECT_EQ(Value("").integerValue(), 0);
    EXPECT_EQ(Value("99999999999999999999999").integerValue(), kMax64);  // saturates
    EXPECT_EQ(Value("-99999999999999999999999").integerValue(), kMin64);
    EXPECT_EQ(Value("-9223372036854775808").integerValue(), kMin64);
    EXPECT_EQ(Value::date(1.8e9).integerValue(), 1800000000);
    EXPECT_EQ(Value::array({1}).integerValue(), 0);
    EXPECT_EQ(Value::data({1, 2}).integerValue(), 0);
}

TEST(ValueNumbers, RealFromEachKind) {
    EXPECT_DOUBLE_EQ(Value("3.5").doubleValue(), 3.5);
    EXPECT_DOUBLE_EQ(Value("  -2.25e2xyz").doubleValue(), -225.0);
    EXPECT_FLOAT_EQ(Value("3.5").floatValue(), 3.5f);
    EXPECT_DOUBLE_EQ(Value("junk").doubleValue(), 0.0);
    EXPECT_DOUBLE_EQ(Value("nan").doubleValue(), 0.0);
    EXPECT_DOUBLE_EQ(Value(7).doubleValue(), 7.0);
    EXPECT_DOUBLE_EQ(Value(true).doubleValue(), 1.0);
    EXPECT_DOUBLE_EQ(Value(18446744073709551615ull).doubleValue(), 18446744073709551615.0);
    EXPECT_DOUBLE_EQ(Value(1.5f).doubleValue(), 1.5);
    EXPECT_TRUE(Value(1.5f).isSinglePrecision());
    EXPECT_FALSE(Value(1.5).isSinglePrecision());
}

TEST(ValueNumbers, DoublesOutOfRangeSaturateAndNaNIsZero) {
    EXPECT_EQ(Value(1e300).integerValue(), kMax64);
    EXPECT_EQ(Value(-1e300).integerValue(), kMin64);
    EXPECT_EQ(Value(9.3e18).integerValue(), kMax64);
    EXPECT_EQ(Value(1e300).unsignedValue(), kMaxU64);
    EXPECT_EQ(Value(std::numeric_limits<double>::infinity()).integerValue(), kMax64);
    EXPECT_EQ(Value(-std::numeric_limits<double>::infinity()).integerValue(), kMin64);
    EXPECT_EQ(Value(std::nan("")).integerValue(), 0);
    EXPECT_EQ(Value(std::nan("")).unsignedValue(), 0u);
    EXPECT_EQ(Value(1.8446744073709552e19).unsignedValue(), kMaxU64);
    EXPECT_EQ(Value(1e19).unsignedValue(), 10000000000000000000ull);
}

TEST(ValueNumbers, UnsignedAboveTwoToTheSixtyThree) {
    const uint64_t big = 9223372036854775813ull;  // 2^63 + 5
    Value v(big);
    EXPECT_TRUE(v.isUnsigned());
    EXPECT_EQ(v.unsignedValue(), big);
    EXPECT_EQ(v.stringValue(), "9223372036854775813");
    EXPECT_EQ(v.integerValue(), static_cast<int64_t>(big));  // the bits, as longLongValue gives
    EXPECT_TRUE(v.boolValue());
    EXPECT_EQ(Value(-1).unsignedValue(), kMaxU64);
    EXPECT_EQ(Value(kMaxU64).stringValue(), "18446744073709551615");
}

TEST(ValueNumbers, BoolFromEachKind) {
    EXPECT_TRUE(Value("YES").boolValue());
    EXPECT_TRUE(Value("yes").boolValue());
    EXPECT_TRUE(Value("true").boolValue());
    EXPECT_TRUE(Value("  Y").boolValue());
    EXPECT_TRUE(Value("007").boolValue());
    EXPECT_TRUE(Value("-1").boolValue());
    EXPECT_FALSE(Value("no").boolValue());
    EXPECT_FALSE(Value("NO").boolValue());
    EXPECT_FALSE(Value("0").boolValue());
    EXPECT_FALSE(Value("000").boolValue());
    EXPECT_FALSE(Value("false").boolValue());
    EXPECT_FALSE(Value("").boolValue());
    EXPECT_TRUE(Value(2).boolValue());
    EXPECT_TRUE(Value(int64_t{1} << 40).boolValue());
    EXPECT_FALSE(Value(0).boolValue());
    EXPECT_TRUE(Value(0.5).boolValue());
    EXPECT_FALSE(Value(0.0).boolValue());
    EXPECT_FALSE(Value().boolValue());
    EXPECT_FALSE(Value::dictionary({{"a", 1}}).boolValue());
}

TEST(ValueNumbers, StringValueOfNumbersReadsLikeThePhone) {
    EXPECT_EQ(Value(25).stringValue(), "25");
    EXPECT_EQ(Value(-3).stringValue(), "-3");
    EXPECT_EQ(Value(true).stringValue(), "1");
    EXPECT_EQ(Value(2.5).stringValue(), "2.5");
    EXPECT_EQ(Value(3.0).stringValue(), "3");
    EXPECT_EQ(Value(0.1).stringValue(), "0.1");
    EXPECT_EQ(Value(0.1f).stringValue(), "0.1");
    EXPECT_EQ(Value(1.0 / 3.0).stringValue(), "0.3333333333333333");
    EXPECT_EQ(Value(-0.5).stringValue(), "-0.5");
    // Whole amounts of gold print in full, not as exponents.
    EXPECT_EQ(Value(1e8).stringValue(), "100000000");
    EXPECT_EQ(Value(1200000.0).stringValue(), "1200000");
    EXPECT_EQ(Value(123456789012.0).stringValue(), "123456789012");
    EXPECT_EQ(Value(0.0001).stringValue(), "0.0001");
    EXPECT_EQ(Value(1e-5).stringValue(), "1e-05");
    EXPECT_EQ(Value(1e17).stringValue(), "1e+17");
    EXPECT_EQ(Value(2.5e-7).stringValue(), "2.5e-07");
    EXPECT_EQ(Value(1.5e300).stringValue(), "1.5e+300");
    EXPECT_EQ(Value(0.0).stringValue(), "0");
    EXPECT_EQ(Value().stringValue(), "");
    EXPECT_EQ(Value::array({1}).stringValue(), "");
}

TEST(ValueEquality, NumbersCompareByValueAcrossKinds) {
    EXPECT_EQ(Value(1), Value(1.0));
    EXPECT_EQ(Value(1), Value(1u));
    EXPECT_EQ(Value(true), Value(1));
    EXPECT_EQ(Value(1.5f), Value(1.5));
    EXPECT_NE(Value(0.1f), Value(0.1));
    EXPECT_NE(Value(true), Value(2));
    // -1 and 2^64 - 1 share their bits but are different numbers.
    EXPECT_NE(Value(-1), Value(kMaxU64));
    EXPECT_NE(Value(kMin64), Value(9223372036854775808ull));
    EXPECT_EQ(Value(9223372036854775808ull), Value(9223372036854775808ull));
    EXPECT_EQ(Value(kMax64), Value(static_cast<uint64_t>(kMax64)));
    EXPECT_NE(Value("1"), Value(1));
    EXPECT_EQ(Value(), Value(nullptr));
    EXPECT_NE(Value(), Value(0));
    EXPECT_EQ(Value::date(5), Value::date(5));
    EXPECT_NE(Value::date(5), Value(5.0));
    EXPECT_EQ(Value::array({1, "a"}), Value::array({1.0, "a"}));
    EXPECT_NE(Value::array({1}), Value::array({1, 2}));
    EXPECT_EQ(Value({{"gold", 3}}), Value({{"gold", 3.0}}));
    EXPECT_NE(Value({{"gold", 3}}), Value({{"gold", 4}}));
    EXPECT_EQ(Value::data({1, 2}), Value::data({1, 2}));
    EXPECT_NE(Value::data({1, 2}), Value::data({2, 1}));
}

TEST(ValueCopies, ChangesCopyAndLeaveTheOriginal) {
    const Value record{{"hp", 10}, {"name", "Ann"}};
    Value changed = record.with("hp", 12);
    EXPECT_EQ(record["hp"].intValue(), 10);
    EXPECT_EQ(changed["hp"].intValue(), 12);
    EXPECT_EQ(changed["name"].stringValue(), "Ann");

    Value removed = record.without("name");
    EXPECT_TRUE(record.contains("name"));
    EXPECT_FALSE(removed.contains("name"));
    EXPECT_EQ(removed.count(), 1u);
    EXPECT_EQ(record.without("absent"), record);

    const Value list = Value::array({1, 2});
    Value longer = list.appending(3);
    EXPECT_EQ(list.count(), 2u);
    EXPECT_EQ(longer.count(), 3u);
    EXPECT_EQ(longer[2].intValue(), 3);

    Value replaced = list.replacingAt(0, 9);
    EXPECT_EQ(list[0].intValue(), 1);
    EXPECT_EQ(replaced[0].intValue(), 9);
    EXPECT_EQ(list.replacingAt(7, 9), list);  // out of range: an unchanged copy

    Value reversed = Value::array({1, 2, 3}).reversed();
    EXPECT_EQ(reversed, Value::array({3, 2, 1}));

    // Nil grows into a new container; a container of the other kind starts afresh.
    EXPECT_EQ(Value().with("a", 1), Value({{"a", 1}}));
    EXPECT_EQ(Value().appending("x"), Value::array({"x"}));
    EXPECT_EQ(Value::array({1}).with("a", 1), Value({{"a", 1}}));
    EXPECT_EQ(Value(5).appending(1), Value::array({1}));
}

TEST(ValueDefaults, AbsentFieldsReadAsZeroNoAndNil) {
    const Value record{{"count", 3}};
    const Value& absent = record["missing"];
    EXPECT_TRUE(absent.isNil());
    EXPECT_EQ(absent.integerValue(), 0);
    EXPECT_EQ(absent.unsignedValue(), 0u);
    EXPECT_DOUBLE_EQ(absent.doubleValue(), 0.0);
    EXPECT_FALSE(absent.boolValue());
    EXPECT_EQ(absent.stringValue(), "");
    EXPECT_TRUE(absent["deeper"]["still"].isNil());
    EXPECT_TRUE(Value::array({1})[5].isNil());
    EXPECT_TRUE(Value::array({1})[-1].isNil());
    EXPECT_TRUE(Value("text")["key"].isNil());
    EXPECT_TRUE(Value(7)[0].isNil());
    EXPECT_FALSE(Value(7).contains("x"));
}

TEST(ValueDefaults, ContainersOfTheWrongKindReadEmpty) {
    EXPECT_TRUE(Value(5).arrayValue().empty());
    EXPECT_TRUE(Value("abc").dictionaryValue().empty());
    EXPECT_TRUE(Value({{"a", 1}}).arrayValue().empty());
    EXPECT_TRUE(Value::array({1}).dictionaryValue().empty());
    EXPECT_TRUE(Value(3).dataValue().empty());
    EXPECT_EQ(Value(3).count(), 0u);
    EXPECT_TRUE(Value().empty());
    EXPECT_EQ(Value("abc").count(), 3u);
    EXPECT_EQ(Value::data({1, 2, 3}).count(), 3u);
}

TEST(ValueCopies, SharedContentsStayPutWhenCopiesChange) {
    Value a = Value::array({Value({{"k", 1}})});
    Value b = a;
    b = b.replacingAt(0, a[0].with("k", 2));
    EXPECT_EQ(a[0]["k"].intValue(), 1);
    EXPECT_EQ(b[0]["k"].intValue(), 2);
    EXPECT_EQ(a.debugDescription(), "({k = 1})");
}
