// printf-style formats of the game's texts: every conversion, and the bad formats that must
// neither crash nor read past the arguments.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/resources/Format.h"

namespace {

std::string fmt(const std::string& format, std::vector<Value> args = {}) { return stringWithFormat(format, args); }

}  // namespace

TEST(Format, ObjectConversionPrintsAnyValueAsText) {
    EXPECT_EQ(fmt("/%@", {"title"}), "/title");
    EXPECT_EQ(fmt("%@ persons", {25}), "25 persons");
    EXPECT_EQ(fmt("%@", {2.5}), "2.5");
    EXPECT_EQ(fmt("%@", {1.5f}), "1.5");
    EXPECT_EQ(fmt("%@", {true}), "1");
    EXPECT_EQ(fmt("%@", {18446744073709551615ull}), "18446744073709551615");
    EXPECT_EQ(fmt("%@", {Value()}), "(null)");
    EXPECT_EQ(fmt("[%@]", {Value::array({1, "a"})}), "[(1, \"a\")]");
    EXPECT_EQ(fmt("%@ and %@", {"王様", "ゴールド"}), "王様 and ゴールド");
}

TEST(Format, IntegerConversionsTakeAnyNumber) {
    EXPECT_EQ(fmt("%d", {42}), "42");
    EXPECT_EQ(fmt("%i", {-7}), "-7");
    EXPECT_EQ(fmt("%ld %lu %lld %llu %zd", {1, 2, 3, 4, 5}), "1 2 3 4 5");
    EXPECT_EQ(fmt("%d", {3.99}), "3");           // reals truncate
    EXPECT_EQ(fmt("%d", {-3.99}), "-3");
    EXPECT_EQ(fmt("%d", {1e300}), "9223372036854775807");  // and saturate
    EXPECT_EQ(fmt("%d", {std::nan("")}), "0");
    EXPECT_EQ(fmt("%d", {true}), "1");
    // Never cut to 32 bits: gold beyond 2^31 prints whole.
    EXPECT_EQ(fmt("%d", {5000000000LL}), "5000000000");
    EXPECT_EQ(fmt("%d", {18446744073709551615ull}), "18446744073709551615");
}

TEST(Format, UnsignedConversionsWrapNegativesAsC) {
    EXPECT_EQ(fmt("%u", {-1}), "4294967295");
    EXPECT_EQ(fmt("%lu", {-1}), "18446744073709551615");
    EXPECT_EQ(fmt("%llu", {-2}), "18446744073709551614");
    EXPECT_EQ(fmt("%u", {-5000000000LL}), std::to_string(static_cast<uint64_t>(-5000000000LL)));
    EXPECT_EQ(fmt("%u", {4000000000u}), "4000000000");
    EXPECT_EQ(fmt("%u", {12}), "12");
    EXPECT_EQ(fmt("%u", {2.7}), "2");
    EXPECT_EQ(fmt("%u", {1e30}), "18446744073709551615");
    EXPECT_EQ(fmt("%x %X %o", {255, 255, 8}), "ff FF 10");
    EXPECT_EQ(fmt("%x", {-1}), "ffffffff");
    EXPECT_EQ(fmt("%#x %#o", {255, 8}), "0xff 010");
    EXPECT_EQ(fmt("%08X", {48879}), "0000BEEF");
}

TEST(Format, FloatingConversionsWithWidthPrecisionAndFlags) {
    EXPECT_EQ(fmt("%1.2f", {1.005}), "1.00");  // 1.005 is just below in binary
    EXPECT_EQ(fmt("%1.2f", {2.5}), "2.50");
    EXPECT_EQ(fmt("%.1f%%", {12.34}), "12.3%");
    EXPECT_EQ(fmt("%08.3f", {-3.14159}), "-003.142");
    EXPECT_EQ(fmt("%+.1f", {2.0}), "+2.0");
    EXPECT_EQ(fmt("%f", {1}), "1.000000");       // integers as doubles
    EXPECT_EQ(fmt("%.0f", {true}), "1");
    EXPECT_EQ(fmt("%e", {12345.678}), "1.234568e+04");
    EXPECT_EQ(fmt("%.3E", {0.5}), "5.000E-01");
    EXPECT_EQ(fmt("%g %g", {0.0001, 1e20}), "0.0001 1e+20");
    EXPECT_EQ(fmt("%G", {1e-10}), "1E-10");
    EXPECT_EQ(fmt("%a", {1.0}), "0x1p+0");
    EXPECT_EQ(fmt("%f", {std::numeric_limits<double>::infinity()}), "inf");
    EXPECT_EQ(fmt("%Lf", {0.5}), "0.500000");    // length modifiers are ignored
}

TEST(Format, WidthAndJustification) {
    EXPECT_EQ(fmt("[%5d]", {42}), "[   42]");
    EXPECT_EQ(fmt("[%-5d]", {42}), "[42   ]");
    EXPECT_EQ(fmt("[%05d]", {-42}), "[-0042]");
    EXPECT_EQ(fmt("[%+d] [%+d]", {5, -5}), "[+5] [-5]");
    EXPECT_EQ(fmt("[% d]", {5}), "[ 5]");
    EXPECT_EQ(fmt("[%.3d]", {7}), "[007]");
    EXPECT_EQ(fmt("[%'d]", {1234567}), "[1234567]");  // grouping is ignored
    // Text widths count characters, not bytes.
    EXPECT_EQ(fmt("[%5@]", {"王様"}), "[   王様]");
    EXPECT_EQ(fmt("[%-4s]", {"ab"}), "[ab  ]");
    EXPECT_EQ(fmt("[%.2@]", {"ゴールド"}), "[ゴー]");
    EXPECT_EQ(fmt("[%6.2s]", {"abcdef"}), "[    ab]");
}

TEST(Format, CharacterStringAndPercent) {
    EXPECT_EQ(fmt("%c%c", {72, 105}), "Hi");
    EXPECT_EQ(fmt("%c", {0x738B}), "王");
    EXPECT_EQ(fmt("%C", {0x1F451}), "\xF0\x9F\x91\x91");
    EXPECT_EQ(fmt("[%3c]", {65}), "[  A]");
    EXPECT_EQ(fmt("%s!", {"hello"}), "hello!");
    EXPECT_EQ(fmt("%ls", {"wide"}), "wide");
    EXPECT_EQ(fmt("100%%"), "100%");
    EXPECT_EQ(fmt("%%d", {5}), "%d");
    EXPECT_EQ(fmt("%5%"), "%");
    EXPECT_EQ(fmt("no conversions"), "no conversions");
    EXPECT_EQ(fmt(""), "");
}

TEST(Format, PositionalArgumentsReorder) {
    EXPECT_EQ(fmt("%2$@ needs %1$u gold", {300, "Sword"}), "Sword needs 300 gold");
    EXPECT_EQ(fmt("%1$@%1$@%1$@", {"ha"}), "hahaha");
    EXPECT_EQ(fmt("%2$05.1f|%1$-3d|", {7, 2.25}), "002.2|7  |");
    EXPECT_EQ(fmt("%2$@ %%", {"a", "b"}), "b %");
    // A position past the arguments, or position 0, is left out.
    EXPECT_EQ(fmt("<%3$@>", {"a", "b"}), "<>");
    EXPECT_EQ(fmt("<%0$@>", {"a"}), "<>");
    EXPECT_EQ(fmt("<%99999999999999999999$@>", {"a"}), "<>");
}

TEST(Format, BadFormatsNeverCrashAndLeaveTheConversionOut) {
    // Missing arguments: only the conversions that have one are filled.
    EXPECT_EQ(fmt("%@ and %@", {"one"}), "one and ");
    EXPECT_EQ(fmt("%d %d %d"), "  ");
    // A format cut off inside a conversion.
    EXPECT_EQ(fmt("%", {1}), "");
    EXPECT_EQ(fmt("100%", {1}), "100");
    EXPECT_EQ(fmt("abc %5", {1}), "abc ");
    EXPECT_EQ(fmt("abc %-0.", {1}), "abc ");
    EXPECT_EQ(fmt("%1$", {1}), "");
    EXPECT_EQ(fmt("%ll", {1}), "");
    // Unknown conversions use no argument.
    EXPECT_EQ(fmt("%y%d", {9}), "9");
    EXPECT_EQ(fmt("%q", {9}), "");       // q is a length modifier with nothing after it
    EXPECT_EQ(fmt("a%qwb", {9}), "ab");
    EXPECT_EQ(fmt("%p %d", {9}), " 9");
    EXPECT_EQ(fmt("%k|%@", {"x"}), "|x");
    // %n is refused and writes nothing anywhere.
    EXPECT_EQ(fmt("ab%n%d", {3}), "ab3");
    EXPECT_EQ(fmt("ab%hhn|", {3}), "ab|");
    // '*' is not supported: the conversion is left out and uses no argument.
    EXPECT_EQ(fmt("[%*d]%d", {5, 6}), "[]5");
    EXPECT_EQ(fmt("[%.*f]", {2}), "[]");
    // Mixing positions with plain conversions: every conversion is left out.
    EXPECT_EQ(fmt("%1$@ %d", {"a", 2}), " ");
    EXPECT_EQ(fmt("%d %2$d%%", {1, 2}), " %");
    // An unknown byte of a multi-byte character goes out whole, not half.
    EXPECT_EQ(fmt("50%の"), "50");
}

TEST(Format, ArgumentsOfAnotherKindAreLeftOutButUsed) {
    EXPECT_EQ(fmt("[%d][%d]", {"12", 5}), "[][5]");
    EXPECT_EQ(fmt("[%f][%@]", {Value::array(), "x"}), "[][x]");
    EXPECT_EQ(fmt("[%s][%s]", {12, "ok"}), "[][ok]");
    EXPECT_EQ(fmt("[%c][%c][%c][%c]", {"A", 0, 0xD800, 0x110000}), "[][][][]");
    EXPECT_EQ(fmt("[%u]", {Value::date(5)}), "[]");
    EXPECT_EQ(fmt("[%x]", {Value()}), "[]");
}

TEST(Format, HugeWidthsAndPrecisionsAreCapped) {
    std::string wide = fmt("%999999999d", {1});
    EXPECT_EQ(wide.size(), static_cast<size_t>(kMaxFormatWidth));
    EXPECT_EQ(wide.back(), '1');
    std::string precise = fmt("%.99999999999999999999f", {1.0});
    EXPECT_EQ(precise.size(), static_cast<size_t>(kMaxFormatWidth) + 2);
    std::string big = fmt("%999999.999999f", {1e308});
    EXPECT_GE(big.size(), 309u + kMaxFormatWidth);
    EXPECT_LT(big.size(), 2000u);
    EXPECT_EQ(fmt("%9999999999@", {"x"}).size(), static_cast<size_t>(kMaxFormatWidth));
}

TEST(Format, UserTextIsNeverAFormat) {
    // Conversions inside an argument stay as they are.
    EXPECT_EQ(fmt("%@", {"%s%n%d%99999f"}), "%s%n%d%99999f");
    EXPECT_EQ(fmt("%s|%d", {"%d", 4}), "%d|4");
}
