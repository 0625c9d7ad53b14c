// Prints how long the go-to command's reading and rewriting take for texts of 100,000
// characters of the shapes that cost most. The go-to should stay under 50 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "RegionalNumber.h"

namespace {

constexpr std::size_t kLength = 100'000;
volatile double g_sink = 0.0;  // keeps the reading from being optimised away

double millisecondsFor(const std::string& text) {
    const auto start = std::chrono::steady_clock::now();
    // As the go-to does: read, write the text back, read it again.
    try {
        const std::string written = regionalNumberText(lenientNumber(text), ",");
        g_sink = lenientNumber(written);
    } catch (const std::out_of_range&) {
        g_sink = -1.0;  // beyond a double: the go-to stops here with its message
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

std::string repeated(const std::string& unit) {
    std::string text;
    while (text.size() < kLength)
        text += unit;
    text.resize(kLength);
    return text;
}

}  // namespace

int main() {
    const std::vector<std::pair<const char*, std::string>> shapes{
        {"nines", repeated("9")},
        {"zeros then one", repeated("0") + "1"},
        {"fraction", "0." + repeated("3")},
        {"blanks between digits", repeated("1 ")},
        {"tabs and line feeds", repeated("\t\n") + "5"},
        {"hexadecimal", "&H" + repeated("F")},
        {"octal", "&O" + repeated("7")},
        {"long exponent", "1e" + repeated("9")},
        {"signs", repeated("-")},
        {"control characters", repeated("\x01\x02")},
    };
    double worst = 0.0;
    for (const auto& [name, text] : shapes) {
        double best = 1e9;
        for (int run = 0; run < 5; ++run)
            best = std::min(best, millisecondsFor(text));
        worst = std::max(worst, best);
        std::printf("%-24s %8.2f ms\n", name, best);
    }
    std::printf("worst of %zu-character texts: %.2f ms (limit 50 ms)\n", kLength, worst);
    return 0;
}
