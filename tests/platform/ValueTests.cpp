// The property-list value: the phone's number and string conversions, copies with one change,
// and the defaults that absent or malformed records read as.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/foundation/Value.h"

namespace {
constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max(), kMin64 = std::numeric_limits<int64_t>::min();
constexpr uint64_t kMaxU64 = std::numeric_limits<uint64_t>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();
}  // namespace

TEST(ValueNumbers, IntegersFromEachKindSaturateAndTextGivesOnlyItsLeadingDecimalNumber) {
    const std::pair<Value, int64_t> cases[] = {
        {true, 1}, {-3.9, -3}, {2.5f, 2}, {Value::date(1.8e9), 1800000000}, {"  42abc", 42}, {"\t-17 persons", -17}, {"+8", 8},
        {"3.5", 3}, {"1e3", 1}, {"0x10", 0}, {"abc", 0}, {Value::array({1}), 0}, {"-99999999999999999999999", kMin64},
        {"99999999999999999999999", kMax64}, {9.3e18, kMax64}, {-kInf, kMin64}, {std::nan(""), 0}, {Value(9223372036854775813ull), kMin64 + 5}};
    for (const auto& [v, expected] : cases) EXPECT_EQ(v.integerValue(), expected) << v.debugDescription();
    const std::pair<Value, uint64_t> unsignedCases[] = {{1e300, kMaxU64}, {std::nan(""), 0}, {1e19, 10000000000000000000ull}, {-1, kMaxU64}};
    for (const auto& [v, expected] : unsignedCases) EXPECT_EQ(v.unsignedValue(), expected) << v.debugDescription();
    const std::pair<const char*, double> reals[] = {
        {"  -2.25e2xyz", -225.0}, {".5", 0.5}, {"5.", 5.0}, {"-.5E1", -5.0}, {"2e+x", 2.0}, {"3.5.1", 3.5}, {".", 0.0}, {"-", 0.0},
        {"0x1p3", 0.0}, {"12x", 12.0}, {"-infinity", 0.0}, {"nan", 0.0}, {"e5", 0.0}, {"1e999", kInf}};
    for (const auto& [text, expected] : reals) {
        EXPECT_EQ(Value(text).doubleValue(), expected) << '"' << text << '"';
        EXPECT_EQ(Value(text).floatValue(), static_cast<float>(expected)) << '"' << text << '"';
    }
}

TEST(ValueNumbers, BoolsAndTextsOfNumbersReadLikeThePhone) {
    for (const Value& yes : {Value("YES"), Value("true"), Value("  Y"), Value("007"), Value("-1"), Value(int64_t{1} << 40), Value(0.5),
                             Value(9223372036854775813ull)})
        EXPECT_TRUE(yes.boolValue()) << yes.debugDescription();
    for (const Value& no : {Value("NO"), Value("000"), Value("false"), Value(""), Value(0.0), Value(), Value::dictionary({{"a", 1}})})
        EXPECT_FALSE(no.boolValue()) << no.debugDescription();
    const std::pair<Value, const char*> texts[] = {
        {-3, "-3"}, {true, "1"}, {3.0, "3"}, {0.1f, "0.1"}, {1.0 / 3.0, "0.3333333333333333"}, {Value(), ""}, {Value::array({1}), ""},
        {1e8, "100000000"}, {123456789012.0, "123456789012"}, {0.0001, "0.0001"}, {1e-5, "1e-05"}, {1e17, "1e+17"},
        {Value(9223372036854775813ull), "9223372036854775813"}, {Value(kMaxU64), "18446744073709551615"}};
    for (const auto& [v, text] : texts) EXPECT_EQ(v.stringValue(), text);
}

TEST(ValueEquality, NumbersCompareByValueAcrossKinds) {
    for (const auto& [a, b] : {std::pair{Value(1), Value(1.0)}, {Value(true), Value(1)}, {Value(1.5f), Value(1.5)}, {Value(), Value(nullptr)},
                               {Value(kMax64), Value(static_cast<uint64_t>(kMax64))}, {Value::array({1, "a"}), Value::array({1.0, "a"})}})
        EXPECT_EQ(a, b) << a.debugDescription();
    // -1 and 2^64 - 1 share their bits but are different numbers.
    for (const auto& [a, b] : {std::pair{Value(0.1f), Value(0.1)}, {Value(true), Value(2)}, {Value(-1), Value(kMaxU64)},
                               {Value(kMin64), Value(9223372036854775808ull)}, {Value("1"), Value(1)}, {Value(), Value(0)},
                               {Value::date(5), Value(5.0)}, {Value::array({1}), Value::array({1, 2})},
                               {Value::data({1, 2}), Value::data({2, 1})}})
        EXPECT_NE(a, b) << a.debugDescription();
}

TEST(ValueCopies, ChangesCopyAndLeaveTheOriginal) {
    const Value record{{"hp", 10}, {"name", "Ann"}}, list = Value::array({1, 2});
    // Out of range: an unchanged copy; nil grows into a new container, one of the other kind starts afresh.
    for (const auto& [copy, expected] :
         {std::pair{record.with("hp", 12), Value({{"hp", 12}, {"name", "Ann"}})}, {record.without("name"), Value({{"hp", 10}})},
          {record.without("absent"), record}, {list.appending(3).reversed(), Value::array({3, 2, 1})}, {list.replacingAt(7, 9), list},
          {list.replacingAt(0, 9), Value::array({9, 2})}, {Value().with("a", 1), Value({{"a", 1}})}, {list.with("a", 1), Value({{"a", 1}})},
          {Value().appending("x"), Value::array({"x"})}, {Value(5).appending(1), Value::array({1})}, {list, Value::array({1, 2})},
          {record, Value({{"hp", 10}, {"name", "Ann"}})}})
        EXPECT_EQ(copy, expected) << copy.debugDescription();
    // Shared contents stay put when a copy changes.
    const Value a = Value::array({Value({{"k", 1}})});
    EXPECT_EQ(a.replacingAt(0, a[0].with("k", 2)).debugDescription() + a.debugDescription(), "({k = 2})({k = 1})");
}

TEST(ValueDefaults, AbsentFieldsAndWrongKindsReadAsZeroNoNilAndEmpty) {
    const Value& absent = Value({{"count", 3}})["missing"];
    EXPECT_TRUE(absent.isNil() && absent.integerValue() == 0 && absent.doubleValue() == 0.0);
    EXPECT_FALSE(absent.boolValue() || absent.contains("x") || !absent.stringValue().empty());
    for (const Value& nil : {absent["deeper"]["still"], Value::array({1})[5], Value::array({1})[-1], Value("text")["key"], Value(7)[0]})
        EXPECT_TRUE(nil.isNil()) << nil.debugDescription();
    EXPECT_TRUE(Value(5).arrayValue().empty() && Value({{"a", 1}}).arrayValue().empty() && Value::array({1}).dictionaryValue().empty());
    EXPECT_TRUE(Value(3).dataValue().empty() && Value(3).count() == 0 && !Value(7).contains("x"));
}
