#include "RegionalNumber.h"

#include <QLocale>
#include <QString>
#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace {

constexpr int kSignificantDigits = 15;
// The largest magnitude whose text of 15 digits still reads back as a double: rounding the
// doubles above it to 15 digits gives 1.79769313486232E+308, which lies beyond the range.
constexpr double kLargestWritable = 1.79769313486231e308;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int digitValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

std::string withoutBlanks(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            compact.push_back(c);
    }
    return compact;
}

// &H1F, &O17: an unsigned integer in the given base, as far as its digits go.
double radixInteger(std::string_view digits, int base) {
    double value = 0.0;
    for (char c : digits) {
        const int d = digitValue(c);
        if (d >= base)
            break;
        value = value * base + d;
    }
    if (std::isinf(value))
        throw std::out_of_range("number beyond the range of a double");
    return value;
}

// Decimal exponent of the leading digit of mantissa × 10^exponent, saturated; only used to
// tell an overflow from an underflow once the conversion has refused the number.
long long orderOfMagnitude(std::string_view intDigits, std::string_view fracDigits,
                           long long exponent) {
    const auto firstInt = intDigits.find_first_not_of('0');
    if (firstInt != std::string_view::npos) {
        return static_cast<long long>(intDigits.size() - firstInt) - 1 + exponent;
    }
    const auto firstFrac = fracDigits.find_first_not_of('0');
    if (firstFrac == std::string_view::npos)
        return 0;
    return exponent - static_cast<long long>(firstFrac) - 1;
}

double decimalNumber(std::string_view s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';

    const std::size_t intStart = i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    const std::string_view intDigits = s.substr(intStart, i - intStart);
    std::string_view fracDigits;
    if (i < s.size() && s[i] == '.') {
        const std::size_t fracStart = ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        fracDigits = s.substr(fracStart, i - fracStart);
    }
    if (intDigits.empty() && fracDigits.empty())
        return 0.0;

    // The exponent only counts when at least one digit follows "e" and its sign.
    long long exponent = 0;
    std::string_view exponentText;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            negativeExponent = s[j++] == '-';
        const std::size_t expStart = j;
        while (j < s.size() && isDigit(s[j])) {
            exponent = std::min(exponent * 10 + (s[j] - '0'), 1'000'000'000LL);
            ++j;
        }
        if (j > expStart) {
            exponentText = s.substr(i, j - i);
            if (negativeExponent)
                exponent = -exponent;
        }
    }

    std::string normalized = intDigits.empty() ? std::string("0") : std::string(intDigits);
    if (!fracDigits.empty())
        normalized.append(".").append(fracDigits);
    normalized.append(exponentText);

    double magnitude = 0.0;
    const auto [end, error] =
        std::from_chars(normalized.data(), normalized.data() + normalized.size(), magnitude);
    if (error == std::errc::result_out_of_range) {
        if (orderOfMagnitude(intDigits, fracDigits, exponent) > 0) {
            throw std::out_of_range("number beyond the range of a double");
        }
        magnitude = 0.0;  // too small to hold: it reads as zero
    }
    return negative ? -magnitude : magnitude;
}

}  // namespace

std::string regionalDecimalSeparator() {
    const QString separator = QLocale().decimalPoint();
    return separator.isEmpty() ? std::string(".") : separator.toStdString();
}

std::string regionalNumberText(double value, std::string_view decimalSeparator) {
    if (value == 0.0)
        return "0";  // also -0, which is not negative
    const double written =
        std::abs(value) > kLargestWritable ? std::copysign(kLargestWritable, value) : value;
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), written,
                                      std::chars_format::general, kSignificantDigits);
    std::string text;
    for (const char* p = buffer.data(); p != result.ptr; ++p) {
        if (*p == '.') {
            text.append(decimalSeparator);
        } else if (*p == 'e') {
            text.push_back('E');
        } else {
            text.push_back(*p);
        }
    }
    return text;
}

std::string regionalNumberText(double value) {
    return regionalNumberText(value, regionalDecimalSeparator());
}

double lenientNumber(std::string_view text) {
    const std::string s = withoutBlanks(text);
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return radixInteger(std::string_view(s).substr(2), 16);
        if (s[1] == 'O' || s[1] == 'o')
            return radixInteger(std::string_view(s).substr(2), 8);
    }
    return decimalNumber(s);
}
