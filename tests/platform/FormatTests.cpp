// printf-style formats of the game's texts: the conversions, and the bad formats that must
// neither crash nor read past the arguments.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/resources/Format.h"

struct FormatCase {
    const char* format;
    std::vector<Value> args;
    std::string expected;
};

static void expectAll(const std::vector<FormatCase>& cases) {
    for (const auto& c : cases) EXPECT_EQ(stringWithFormat(c.format, c.args), c.expected) << "format " << c.format;
}

TEST(Format, ConversionsTakeAnyValueAndUserTextIsNeverAFormat) {
    expectAll({{"%@ persons", {25}, "25 persons"}, {"%@", {2.5}, "2.5"}, {"%@", {Value()}, "(null)"}, {"%@", {"%s%n%d%99999f"}, "%s%n%d%99999f"},
               {"[%@]", {Value::array({1, "a"})}, "[(1, \"a\")]"}, {"%s|%d", {"%d", 4}, "%d|4"},
               // Integers are never cut to 32 bits; unsigned conversions wrap negatives as C does.
               {"%d", {3.99}, "3"}, {"%d", {5000000000LL}, "5000000000"}, {"%d", {18446744073709551615ull}, "18446744073709551615"},
               {"%ld %llu %zd", {1, 2, 3}, "1 2 3"}, {"%d", {std::nan("")}, "0"}, {"%u", {-1}, "4294967295"},
               {"%lu", {-1}, "18446744073709551615"},
               {"%u", {1e30}, "18446744073709551615"}, {"%x %X %o %#x", {255, 255, 8, 255}, "ff FF 10 0xff"}, {"%x", {-1}, "ffffffff"},
               {"%1.2f", {1.005}, "1.00"}, {"%.1f%%", {12.34}, "12.3%"}, {"%08.3f", {-3.14159}, "-003.142"}, {"%e", {12345.678}, "1.234568e+04"},
               {"%g %g", {0.0001, 1e20}, "0.0001 1e+20"}, {"%Lf", {0.5}, "0.500000"}});  // length modifiers are ignored
}

TEST(Format, WidthsCountCharactersAndPositionsReorder) {
    expectAll({{"[%5d]", {42}, "[   42]"}, {"[%-5d]", {42}, "[42   ]"}, {"[%05d]", {-42}, "[-0042]"}, {"[% d|%.3d]", {5, 7}, "[ 5|007]"},
               {"[%5@]", {"王様"}, "[   王様]"}, {"[%.2@]", {"ゴールド"}, "[ゴー]"}, {"[%6.2s]", {"abcdef"}, "[    ab]"}, {"%c%c", {72, 105}, "Hi"},
               {"%c", {0x738B}, "王"}, {"%C", {0x1F451}, "\xF0\x9F\x91\x91"}, {"100%%", {}, "100%"}, {"%5%", {}, "%"},
               {"%2$@ needs %1$u gold", {300, "Sword"}, "Sword needs 300 gold"}, {"%1$@%1$@", {"ha"}, "haha"},
               {"%2$05.1f|%1$-3d|", {7, 2.25}, "002.2|7  |"},
               // A position past the arguments, or position 0, is left out.
               {"<%3$@>", {"a", "b"}, "<>"}, {"<%0$@>", {"a"}, "<>"}, {"<%99999999999999999999$@>", {"a"}, "<>"}});
}

TEST(Format, BadFormatsNeverCrashAndLeaveTheConversionOut) {
    expectAll({{"%@ and %@", {"one"}, "one and "}, {"%d %d %d", {}, "  "},  // missing arguments
               {"%", {1}, ""}, {"abc %5", {1}, "abc "}, {"%1$", {1}, ""}, {"%ll", {1}, ""},  // cut off inside a conversion
               {"%y%d", {9}, "9"}, {"a%qwb", {9}, "ab"}, {"%p %d", {9}, " 9"},          // unknown conversions use no argument
               {"ab%n%d", {3}, "ab3"}, {"ab%hhn|", {3}, "ab|"},                          // %n writes nothing anywhere
               {"[%*d]%d", {5, 6}, "[]5"},                                               // no '*'
               {"%1$@ %d", {"a", 2}, " "}, {"%d %2$d%%", {1, 2}, " %"},                  // positions mixed with plain conversions
               {"50%の", {}, "50"},  // a multi-byte character after a lone % goes out whole or not at all
               {"[%d][%d]", {"12", 5}, "[][5]"}, {"[%f][%@]", {Value::array(), "x"}, "[][x]"}, {"[%s][%s]", {12, "ok"}, "[][ok]"},
               {"[%c][%c][%c][%c]", {"A", 0, 0xD800, 0x110000}, "[][][][]"}, {"[%u]", {Value::date(5)}, "[]"}});  // other kinds: left out, used
    const std::string wide = stringWithFormat("%999999999d", {1});
    EXPECT_TRUE(wide.size() == static_cast<size_t>(kMaxFormatWidth) && wide.back() == '1') << wide.size();
    EXPECT_EQ(stringWithFormat("%.99999999999999999999f", {1.0}).size(), static_cast<size_t>(kMaxFormatWidth) + 2);
    const std::string big = stringWithFormat("%999999.999999f", {1e308});
    EXPECT_TRUE(big.size() >= 309u + kMaxFormatWidth && big.size() < 2000u) << big.size();
    EXPECT_EQ(stringWithFormat("%9999999999@", {"x"}).size(), static_cast<size_t>(kMaxFormatWidth));
}
