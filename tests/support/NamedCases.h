#pragma once

#include <ostream>
#include <string>

namespace {

// Parameterised cases print as their names, never as raw bytes.
template <typename Case>
requires requires(const Case& c, std::ostream& os) {
    os << c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

// Names each parameterised test after its case.
constexpr auto byName = [](const auto& info) { return std::string(info.param.name); };

}  // namespace
