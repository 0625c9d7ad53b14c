#pragma once

#include <string>
#include <string_view>

// Numbers as the user reads and types them in the window's text boxes.

// The user's decimal separator, from Qt's locale: the system's, as Qt read it at start. The
// program sets no other default locale; tests do, to try a decimal comma.
std::string regionalDecimalSeparator();

// Shortest text of at most 15 significant digits that reads back as a double: leading minus,
// no grouping, no blanks, whole numbers without separator, very large or small magnitudes with
// an exponent (1E+20).
std::string regionalNumberText(double value, std::string_view decimalSeparator);
std::string regionalNumberText(double value);

// The number at the start of a text, read the way a user's typing is meant: blanks, tabs and
// line feeds are ignored wherever they stand; then an optional sign, digits with at most one
// period and an optional exponent, or an &H / &O hexadecimal / octal integer. Reading stops at
// the first character that does not fit; a text without a leading number gives 0. A comma is
// never a decimal separator. Throws std::out_of_range when the number lies beyond a double.
double lenientNumber(std::string_view text);
