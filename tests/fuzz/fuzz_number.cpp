// The go-to field's lenient reading and the number text written back into the field: no crash
// and no undefined behaviour for any text, and the text of every finite double reads back.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "RegionalNumber.h"

namespace {

[[noreturn]] void fault(const char* what, const std::string& text, double a, double b) {
    std::fprintf(stderr, "%s: \"%s\" %.17g %.17g\n", what, text.c_str(), a, b);
    std::abort();
}

// A plain decimal such as "-1.5e3", the part of the reading that the C library can judge.
bool plainDecimal(std::string_view text) {
    if (text.empty() || text.size() > 400)
        return false;
    bool digit = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-') {
            return false;
        }
    }
    return digit;
}

void readsLikeTheCLibrary(std::string_view text) {
    if (!plainDecimal(text))
        return;
    const std::string s(text);
    char* end = nullptr;
    errno = 0;
    const double expected = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size())
        return;  // the C library stops early too, but at other places; compare whole numbers only
    const bool overflow = errno == ERANGE && std::isinf(expected);
    try {
        const double read = lenientNumber(text);
        if (overflow)
            fault("overflow not reported", s, read, expected);
        if (read != expected)
            fault("reads another value than strtod", s, read, expected);
    } catch (const std::out_of_range&) {
        if (!overflow)
            fault("overflow reported for a double", s, 0, expected);
    }
}

// The go-to writes the number it read as text and reads that text back as its target.
void textReadsBack(double value) {
    const std::string text = regionalNumberText(value, ".");
    double back = 0.0;
    try {
        back = lenientNumber(text);
    } catch (const std::out_of_range&) {
        fault("text of a double does not read back", text, value, 0);
    }
    if (!(std::abs(back - value) <= std::abs(value) * 1e-14))
        fault("text reads back too far away", text, value, back);
    if (regionalNumberText(back, ".") != text)
        fault("text changes on a second round", text, value, back);
    char shortest[64];
    std::snprintf(shortest, sizeof shortest, "%.15g", value);
    if (std::strtod(shortest, nullptr) == value && back != value)
        fault("a double of 15 digits does not come back exactly", text, value, back);
    const std::string comma = regionalNumberText(value, ",");
    if (comma.find('.') != std::string::npos)
        fault("decimal point under a decimal comma", comma, value, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    bool beyondADouble = false;  // the go-to shows its message
    double read = 0.0;
    try {
        read = lenientNumber(text);
    } catch (const std::out_of_range&) {
        beyondADouble = true;
    }
    if (!beyondADouble) {
        if (!std::isfinite(read))
            fault("reading gives no finite number", std::string(text), read, 0);
        textReadsBack(read);
    }
    readsLikeTheCLibrary(text);
    if (size >= sizeof(double)) {
        double value = 0.0;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value))
            textReadsBack(value);
    }
    return 0;
}
