#pragma once

#include <string>
#include <string_view>

// Numbers as the user reads and types them in the window's text boxes.

// The decimal separator of the locale named by LC_ALL, else LC_NUMERIC, else LANG (the first
// one that is set and not empty); "." when none is set or the name is not a known locale.
std::string regionalDecimalSeparator();

// The decimal separator of a locale name such as "de_DE.UTF-8"; "." for "C", "POSIX",
// an empty or an unknown name.
std::string decimalSeparatorOf(std::string_view localeName);

// Shortest text of at most 15 significant digits: leading minus, no grouping, no blanks,
// whole numbers without separator, very large or small magnitudes with an exponent (1E+20).
std::string regionalNumberText(double value, std::string_view decimalSeparator);
std::string regionalNumberText(double value);

// The number at the start of a text, read the way a user's typing is meant: blanks, tabs and
// line feeds are ignored wherever they stand; then an optional sign, digits with at most one
// period and an optional exponent, or an &H / &O hexadecimal / octal integer. Reading stops at
// the first character that does not fit; a text without a leading number gives 0. A comma is
// never a decimal separator. Throws std::out_of_range when the number lies beyond a double.
double lenientNumber(std::string_view text);
