#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// A failure of the hot-key registry: a number, the source that raised it and a description.
class HotKeyError : public std::runtime_error {
public:
    HotKeyError(std::int32_t number, std::string source, std::string description)
        : std::runtime_error(description),
          m_number(number),
          m_source(std::move(source)),
          m_description(std::move(description)) {}

    std::int32_t number() const noexcept { return m_number; }
    const std::string& source() const noexcept { return m_source; }
    const std::string& description() const noexcept { return m_description; }

private:
    std::int32_t m_number;
    std::string m_source;
    std::string m_description;
};
