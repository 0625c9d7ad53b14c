#pragma once

#include <cstdint>
#include <span>
#include <string>

// How a family of pedals talks: HID families send a bit mask in hidraw reports, keyboard
// families pose as keyboards (or mice) and are read as input events.
enum class PedalFamily : std::uint8_t { Vec, Philips, Olympus, Keyboard };

struct PedalModel {
    std::uint16_t vendor;
    std::uint16_t product;
    const char* name;
    PedalFamily family;
};

// The pedals the program reads. The package's udev rule lists the same ids.
std::span<const PedalModel> pedalModels();

// The model with these USB ids, or nullptr.
const PedalModel* findPedalModel(std::uint16_t vendor, std::uint16_t product);

// True for the families read through hidraw, false for those read as input events.
constexpr bool readsHidraw(PedalFamily family) {
    return family != PedalFamily::Keyboard;
}

// "05f3:00ff"
std::string usbIdText(std::uint16_t vendor, std::uint16_t product);
