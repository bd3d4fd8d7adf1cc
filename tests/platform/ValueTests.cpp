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
constexpr double kInf = std::numeric_limits<double>::infinity();
}  // namespace

TEST(ValueNumbers, IntegerFromEachKind) {
    const std::pair<Value, int64_t> cases[] = {
        {true, 1}, {-42, -42}, {3.9, 3}, {-3.9, -3}, {2.5f, 2}, {Value::date(1.8e9), 1800000000},
        {"  42abc", 42}, {"\t-17 persons", -17}, {"+8", 8}, {"3.5", 3}, {"007", 7}, {"1e3", 1},
        {"0x10", 0}, {"abc", 0}, {"", 0}, {Value::array({1}), 0}, {Value::data({1, 2}), 0},
        {"99999999999999999999999", kMax64}, {"-99999999999999999999999", kMin64}, {"-9223372036854775808", kMin64},
        {1e300, kMax64}, {-1e300, kMin64}, {9.3e18, kMax64}, {kInf, kMax64}, {-kInf, kMin64}, {std::nan(""), 0}};
    for (const auto& [v, expected] : cases) EXPECT_EQ(v.integerValue(), expected) << v.debugDescription();
    EXPECT_EQ(Value("0x10").intValue(), 0);
    EXPECT_EQ(Value(1e300).unsignedValue(), kMaxU64);
    EXPECT_EQ(Value(std::nan("")).unsignedValue(), 0u);
    EXPECT_EQ(Value(1.8446744073709552e19).unsignedValue(), kMaxU64);
    EXPECT_EQ(Value(1e19).unsignedValue(), 10000000000000000000ull);
    EXPECT_EQ(Value(-1).unsignedValue(), kMaxU64);
}

TEST(ValueNumbers, RealFromTextReadsOnlyALeadingDecimalNumber) {
    const std::pair<const char*, double> cases[] = {
        {"3.5", 3.5}, {"  -2.25e2xyz", -225.0}, {".5", 0.5}, {"5.", 5.0}, {"-.5E1", -5.0}, {"+7", 7.0},
        {"1e", 1.0}, {"2e+x", 2.0}, {"3.5.1", 3.5}, {"junk", 0.0}, {".", 0.0}, {"-", 0.0}, {"", 0.0},
        // No hex, no words: the digits before the x, or nothing at all.
        {"0x10", 0.0}, {"0x1p3", 0.0}, {"-0x10", 0.0}, {"12x", 12.0},
        {"inf", 0.0}, {"-infinity", 0.0}, {"nan", 0.0}, {"NAN(1)", 0.0}, {"e5", 0.0}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(Value(text).doubleValue(), expected) << '"' << text << '"';
        EXPECT_EQ(Value(text).floatValue(), static_cast<float>(expected)) << '"' << text << '"';
    }
    EXPECT_EQ(Value("1e999").doubleValue(), kInf);  // overflow reads as the largest there is
    EXPECT_DOUBLE_EQ(Value(7).doubleValue(), 7.0);
    EXPECT_DOUBLE_EQ(Value(true).doubleValue(), 1.0);
    EXPECT_DOUBLE_EQ(Value(18446744073709551615ull).doubleValue(), 18446744073709551615.0);
    EXPECT_TRUE(Value(1.5f).isSinglePrecision());
    EXPECT_FALSE(Value(1.5).isSinglePrecision());
}

TEST(ValueNumbers, UnsignedAboveTwoToTheSixtyThree) {
    const uint64_t big = 9223372036854775813ull;  // 2^63 + 5
    Value v(big);
    EXPECT_TRUE(v.isUnsigned());
    EXPECT_EQ(v.unsignedValue(), big);
    EXPECT_EQ(v.stringValue(), "9223372036854775813");
    EXPECT_EQ(v.integerValue(), static_cast<int64_t>(big));  // the bits, as longLongValue gives
    EXPECT_TRUE(v.boolValue());
    EXPECT_EQ(Value(kMaxU64).stringValue(), "18446744073709551615");
}

TEST(ValueNumbers, BoolFromEachKind) {
    for (const Value& yes : {Value("YES"), Value("yes"), Value("true"), Value("  Y"), Value("007"), Value("-1"),
                             Value(2), Value(int64_t{1} << 40), Value(0.5)})
        EXPECT_TRUE(yes.boolValue()) << yes.debugDescription();
    for (const Value& no : {Value("no"), Value("NO"), Value("0"), Value("000"), Value("false"), Value(""), Value(0),
                            Value(0.0), Value(), Value::dictionary({{"a", 1}})})
        EXPECT_FALSE(no.boolValue()) << no.debugDescription();
}

TEST(ValueNumbers, StringValueOfNumbersReadsLikeThePhone) {
    const std::pair<Value, const char*> cases[] = {
        {25, "25"}, {-3, "-3"}, {true, "1"}, {2.5, "2.5"}, {3.0, "3"}, {0.1, "0.1"}, {0.1f, "0.1"},
        {1.0 / 3.0, "0.3333333333333333"}, {-0.5, "-0.5"}, {0.0, "0"}, {Value(), ""}, {Value::array({1}), ""},
        // Whole amounts of gold print in full, not as exponents.
        {1e8, "100000000"}, {123456789012.0, "123456789012"}, {0.0001, "0.0001"},
        {1e-5, "1e-05"}, {1e17, "1e+17"}, {2.5e-7, "2.5e-07"}, {1.5e300, "1.5e+300"}};
    for (const auto& [v, text] : cases) EXPECT_EQ(v.stringValue(), text);
}

TEST(ValueEquality, NumbersCompareByValueAcrossKinds) {
    EXPECT_EQ(Value(1), Value(1.0));
    EXPECT_EQ(Value(true), Value(1));
    EXPECT_EQ(Value(1.5f), Value(1.5));
    EXPECT_NE(Value(0.1f), Value(0.1));
    EXPECT_NE(Value(true), Value(2));
    // -1 and 2^64 - 1 share their bits but are different numbers.
    EXPECT_NE(Value(-1), Value(kMaxU64));
    EXPECT_NE(Value(kMin64), Value(9223372036854775808ull));
    EXPECT_EQ(Value(kMax64), Value(static_cast<uint64_t>(kMax64)));
    EXPECT_NE(Value("1"), Value(1));
    EXPECT_EQ(Value(), Value(nullptr));
    EXPECT_NE(Value(), Value(0));
    EXPECT_NE(Value::date(5), Value(5.0));
    EXPECT_EQ(Value::array({1, "a"}), Value::array({1.0, "a"}));
    EXPECT_NE(Value::array({1}), Value::array({1, 2}));
    EXPECT_NE(Value({{"gold", 3}}), Value({{"gold", 4}}));
    EXPECT_NE(Value::data({1, 2}), Value::data({2, 1}));
}

TEST(ValueCopies, ChangesCopyAndLeaveTheOriginal) {
    const Value record{{"hp", 10}, {"name", "Ann"}};
    Value changed = record.with("hp", 12);
    EXPECT_EQ(record["hp"].intValue(), 10);
    EXPECT_EQ(changed, Value({{"hp", 12}, {"name", "Ann"}}));
    EXPECT_EQ(record.without("name"), Value({{"hp", 10}}));
    EXPECT_TRUE(record.contains("name"));
    EXPECT_EQ(record.without("absent"), record);

    const Value list = Value::array({1, 2});
    EXPECT_EQ(list.appending(3), Value::array({1, 2, 3}));
    EXPECT_EQ(list.replacingAt(0, 9), Value::array({9, 2}));
    EXPECT_EQ(list, Value::array({1, 2}));
    EXPECT_EQ(list.replacingAt(7, 9), list);  // out of range: an unchanged copy
    EXPECT_EQ(Value::array({1, 2, 3}).reversed(), Value::array({3, 2, 1}));

    // Nil grows into a new container; a container of the other kind starts afresh.
    EXPECT_EQ(Value().with("a", 1), Value({{"a", 1}}));
    EXPECT_EQ(Value().appending("x"), Value::array({"x"}));
    EXPECT_EQ(Value::array({1}).with("a", 1), Value({{"a", 1}}));
    EXPECT_EQ(Value(5).appending(1), Value::array({1}));

    // Shared contents stay put when a copy changes.
    Value a = Value::array({Value({{"k", 1}})});
    Value b = a.replacingAt(0, a[0].with("k", 2));
    EXPECT_EQ(a[0]["k"].intValue(), 1);
    EXPECT_EQ(b[0]["k"].intValue(), 2);
    EXPECT_EQ(a.debugDescription(), "({k = 1})");
}

TEST(ValueDefaults, AbsentFieldsAndWrongKindsReadAsZeroNoNilAndEmpty) {
    const Value& absent = Value({{"count", 3}})["missing"];
    EXPECT_TRUE(absent.isNil());
    EXPECT_EQ(absent.integerValue(), 0);
    EXPECT_DOUBLE_EQ(absent.doubleValue(), 0.0);
    EXPECT_FALSE(absent.boolValue());
    EXPECT_EQ(absent.stringValue(), "");
    EXPECT_TRUE(absent["deeper"]["still"].isNil());
    EXPECT_TRUE(Value::array({1})[5].isNil());
    EXPECT_TRUE(Value::array({1})[-1].isNil());
    EXPECT_TRUE(Value("text")["key"].isNil());
    EXPECT_TRUE(Value(7)[0].isNil());
    EXPECT_FALSE(Value(7).contains("x"));

    EXPECT_TRUE(Value(5).arrayValue().empty());
    EXPECT_TRUE(Value({{"a", 1}}).arrayValue().empty());
    EXPECT_TRUE(Value::array({1}).dictionaryValue().empty());
    EXPECT_TRUE(Value(3).dataValue().empty());
    EXPECT_EQ(Value(3).count(), 0u);
    EXPECT_TRUE(Value().empty());
    EXPECT_EQ(Value("abc").count(), 3u);
    EXPECT_EQ(Value::data({1, 2, 3}).count(), 3u);
}
