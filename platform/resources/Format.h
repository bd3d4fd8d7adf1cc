#pragma once
// printf-style formats as the game's texts use them ("%@ left", "%1$@ needs %2$u gold").
//
// Conversions (length modifiers hh h l ll q L z j t are accepted and ignored):
//   %@        any value as text: strings as they are, numbers as their stringValue() ("1" for YES),
//             nil as "(null)", other values as their debugDescription().
//   %s %S     a string value.
//   %d %i     any number as a 64-bit integer (reals truncate and saturate, NaN is 0); an unsigned
//             value above 2^63 prints its own magnitude. Never cut to 32 bits.
//   %u %x %X %o
//             any number as an unsigned integer. A negative number wraps as C would: at 32 bits
//             when it fits an int and no l/ll/q/z/j/t modifier is given (%u of -1 is 4294967295),
//             otherwise at 64 bits (%lu of -1 is 18446744073709551615).
//   %f %F %e %E %g %G %a %A
//             any number as a double.
//   %c %C     a number as one character (its Unicode code point, written as UTF-8).
//   %%        a percent sign (flags and width between the two are ignored).
// Flags - + space # 0 and ' (ignored), a width and a precision apply as in C; for %@ %s %c
// width and precision count characters (code points), not bytes. Width and precision are capped
// at kMaxFormatWidth.
// Positional arguments: %1$@ %2$u, numbered from 1; a format uses them for every conversion or
// for none.
//
// What cannot be formatted is left out, the rest of the text is kept, and nothing reads past the
// arguments:
//   - a lone "%" or a conversion cut off by the end of the text ("%", "%5", "%-0."): left out;
//   - an unknown conversion ("%q", "%p", "%k") and "%n", which is refused: left out, and it uses
//     no argument;
//   - a "*" width or precision: the conversion is left out and uses no argument;
//   - a missing argument (past the end, or position 0 or beyond the list): left out;
//   - an argument of another kind (a string for %d or %f, a number for %s, anything but a number
//     for %c, a code point that is not a character for %c): left out, the argument is still used;
//   - a format mixing positional and plain conversions: every conversion is left out, the plain
//     text and "%%" are kept.
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

inline constexpr int kMaxFormatWidth = 512;

std::string stringWithFormat(const std::string& format, const std::vector<Value>& args);
