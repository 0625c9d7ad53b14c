#include "PedalModels.h"

#include <array>
#include <cstdio>

namespace {

constexpr std::array kModels = {
    PedalModel{0x05f3, 0x00ff, "VEC/Infinity IN-USB-1/2/3", PedalFamily::Vec},
    PedalModel{0x0911, 0x1844, "Philips ACC2310/ACC2320", PedalFamily::Philips},
    PedalModel{0x0911, 0x091a, "Philips ACC2330", PedalFamily::Philips},
    PedalModel{0x07b4, 0x0218, "Olympus RS-28", PedalFamily::Olympus},
    PedalModel{0x0c45, 0x7403, "PCsensor FootSwitch", PedalFamily::Keyboard},
    PedalModel{0x0c45, 0x7404, "PCsensor FootSwitch", PedalFamily::Keyboard},
    PedalModel{0x413d, 0x2107, "PCsensor FootSwitch", PedalFamily::Keyboard},
    PedalModel{0x1a86, 0xe026, "PCsensor FootSwitch", PedalFamily::Keyboard},
    PedalModel{0x1a86, 0xe02d, "PCsensor FootSwitch", PedalFamily::Keyboard},
    PedalModel{0x3553, 0xb001, "PCsensor FootSwitch", PedalFamily::Keyboard},
};

}  // namespace

std::span<const PedalModel> pedalModels() {
    return kModels;
}

const PedalModel* findPedalModel(std::uint16_t vendor, std::uint16_t product) {
    for (const PedalModel& m : kModels) {
        if (m.vendor == vendor && m.product == product)
            return &m;
    }
    return nullptr;
}

std::string usbIdText(std::uint16_t vendor, std::uint16_t product) {
    char text[16];
    std::snprintf(text, sizeof text, "%04x:%04x", vendor, product);
    return text;
}
