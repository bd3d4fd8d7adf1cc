// printf-style formats of the game's texts: every conversion, and the bad formats that must
// neither crash nor read past the arguments.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/resources/Format.h"

namespace {

struct Case {
    const char* format;
    std::vector<Value> args;
    std::string expected;
};

void expectAll(const std::vector<Case>& cases) {
    for (const auto& c : cases) EXPECT_EQ(stringWithFormat(c.format, c.args), c.expected) << "format " << c.format;
}

std::string fmt(const std::string& format, std::vector<Value> args = {}) { return stringWithFormat(format, args); }

}  // namespace

TEST(Format, ObjectConversionPrintsAnyValueAndUserTextIsNeverAFormat) {
    expectAll({{"/%@", {"title"}, "/title"}, {"%@ persons", {25}, "25 persons"}, {"%@", {2.5}, "2.5"},
               {"%@", {true}, "1"}, {"%@", {18446744073709551615ull}, "18446744073709551615"}, {"%@", {Value()}, "(null)"},
               {"[%@]", {Value::array({1, "a"})}, "[(1, \"a\")]"}, {"%@ and %@", {"王様", "ゴールド"}, "王様 and ゴールド"},
               {"%@", {"%s%n%d%99999f"}, "%s%n%d%99999f"}, {"%s|%d", {"%d", 4}, "%d|4"}});
}

TEST(Format, IntegerAndUnsignedConversionsTakeAnyNumber) {
    expectAll({{"%d", {42}, "42"}, {"%ld %lu %lld %llu %zd", {1, 2, 3, 4, 5}, "1 2 3 4 5"},
               {"%d", {3.99}, "3"}, {"%d", {1e300}, "9223372036854775807"}, {"%d", {std::nan("")}, "0"},
               // Never cut to 32 bits: gold beyond 2^31 prints whole.
               {"%d", {5000000000LL}, "5000000000"}, {"%d", {18446744073709551615ull}, "18446744073709551615"},
               // Unsigned conversions wrap negatives as C does.
               {"%u", {-1}, "4294967295"}, {"%lu", {-1}, "18446744073709551615"},
               {"%u", {-5000000000LL}, std::to_string(static_cast<uint64_t>(-5000000000LL))},
               {"%u", {2.7}, "2"}, {"%u", {1e30}, "18446744073709551615"}, {"%x %X %o", {255, 255, 8}, "ff FF 10"},
               {"%x", {-1}, "ffffffff"}, {"%#x %#o", {255, 8}, "0xff 010"}, {"%08X", {48879}, "0000BEEF"}});
}

TEST(Format, FloatingConversionsWithWidthPrecisionAndFlags) {
    expectAll({{"%1.2f", {1.005}, "1.00"},  // 1.005 is just below in binary
               {"%.1f%%", {12.34}, "12.3%"}, {"%08.3f", {-3.14159}, "-003.142"}, {"%f", {1}, "1.000000"},
               {"%e", {12345.678}, "1.234568e+04"}, {"%.3E", {0.5}, "5.000E-01"}, {"%g %g", {0.0001, 1e20}, "0.0001 1e+20"},
               {"%a", {1.0}, "0x1p+0"}, {"%f", {std::numeric_limits<double>::infinity()}, "inf"},
               {"%Lf", {0.5}, "0.500000"}});  // length modifiers are ignored
}

TEST(Format, WidthsCharactersStringsAndPercent) {
    expectAll({{"[%5d]", {42}, "[   42]"}, {"[%-5d]", {42}, "[42   ]"}, {"[%05d]", {-42}, "[-0042]"},
               {"[% d]", {5}, "[ 5]"}, {"[%.3d]", {7}, "[007]"}, {"[%'d]", {1234567}, "[1234567]"},
               // Text widths count characters, not bytes.
               {"[%5@]", {"王様"}, "[   王様]"}, {"[%.2@]", {"ゴールド"}, "[ゴー]"}, {"[%6.2s]", {"abcdef"}, "[    ab]"},
               {"%c%c", {72, 105}, "Hi"}, {"%c", {0x738B}, "王"}, {"%C", {0x1F451}, "\xF0\x9F\x91\x91"},
               {"[%3c]", {65}, "[  A]"}, {"%s!", {"hello"}, "hello!"}, {"100%%", {}, "100%"}, {"%%d", {5}, "%d"},
               {"%5%", {}, "%"}, {"", {}, ""}});
}

TEST(Format, PositionalArgumentsReorder) {
    expectAll({{"%2$@ needs %1$u gold", {300, "Sword"}, "Sword needs 300 gold"}, {"%1$@%1$@%1$@", {"ha"}, "hahaha"},
               {"%2$05.1f|%1$-3d|", {7, 2.25}, "002.2|7  |"},
               // A position past the arguments, or position 0, is left out.
               {"<%3$@>", {"a", "b"}, "<>"}, {"<%0$@>", {"a"}, "<>"}, {"<%99999999999999999999$@>", {"a"}, "<>"}});
}

TEST(Format, BadFormatsNeverCrashAndLeaveTheConversionOut) {
    expectAll({// Missing arguments: only the conversions that have one are filled.
               {"%@ and %@", {"one"}, "one and "}, {"%d %d %d", {}, "  "},
               // A format cut off inside a conversion.
               {"%", {1}, ""}, {"100%", {1}, "100"}, {"abc %5", {1}, "abc "}, {"%1$", {1}, ""}, {"%ll", {1}, ""},
               // Unknown conversions use no argument; q is a length modifier with nothing after it.
               {"%y%d", {9}, "9"}, {"%q", {9}, ""}, {"a%qwb", {9}, "ab"}, {"%p %d", {9}, " 9"},
               // %n is refused and writes nothing anywhere.
               {"ab%n%d", {3}, "ab3"}, {"ab%hhn|", {3}, "ab|"},
               // '*' is not supported: the conversion is left out and uses no argument.
               {"[%*d]%d", {5, 6}, "[]5"},
               // Mixing positions with plain conversions: every conversion is left out.
               {"%1$@ %d", {"a", 2}, " "}, {"%d %2$d%%", {1, 2}, " %"},
               // An unknown byte of a multi-byte character goes out whole, not half.
               {"50%の", {}, "50"},
               // Arguments of another kind are left out but used.
               {"[%d][%d]", {"12", 5}, "[][5]"}, {"[%f][%@]", {Value::array(), "x"}, "[][x]"},
               {"[%s][%s]", {12, "ok"}, "[][ok]"}, {"[%c][%c][%c][%c]", {"A", 0, 0xD800, 0x110000}, "[][][][]"},
               {"[%u]", {Value::date(5)}, "[]"}});
}

TEST(Format, HugeWidthsAndPrecisionsAreCapped) {
    std::string wide = fmt("%999999999d", {1});
    EXPECT_EQ(wide.size(), static_cast<size_t>(kMaxFormatWidth));
    EXPECT_EQ(wide.back(), '1');
    EXPECT_EQ(fmt("%.99999999999999999999f", {1.0}).size(), static_cast<size_t>(kMaxFormatWidth) + 2);
    std::string big = fmt("%999999.999999f", {1e308});
    EXPECT_GE(big.size(), 309u + kMaxFormatWidth);
    EXPECT_LT(big.size(), 2000u);
    EXPECT_EQ(fmt("%9999999999@", {"x"}).size(), static_cast<size_t>(kMaxFormatWidth));
}
