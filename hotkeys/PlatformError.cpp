#include "PlatformError.h"

std::string_view platformErrorText(std::uint32_t code) {
    switch (static_cast<PlatformError>(code)) {
        case PlatformError::None:
            return "The operation completed successfully.";
        case PlatformError::KeyInUse:
            return "Another program already uses this key combination.";
        case PlatformError::KeyRegisteredHere:
            return "This key combination is already registered as a hot key by this program.";
        case PlatformError::UnknownKeyCode:
            return "The key code is not supported for hot keys.";
        case PlatformError::KeyNotOnKeyboard:
            return "The key does not exist on the current keyboard layout.";
        case PlatformError::BadModifiers:
            return "Only Alt, Control, Shift and the Windows key can be combined with a hot key.";
        case PlatformError::IdInUse:
            return "The hot-key id is already registered for this window.";
        case PlatformError::IdNotRegistered:
            return "No hot key is registered under this id for this window.";
        case PlatformError::GrabFailed:
            return "The X server refused to grab the key combination.";
        case PlatformError::NoDisplay:
            return "There is no connection to an X11 display.";
        case PlatformError::EmptyAtom:
            return "An atom cannot be made from an empty string.";
        case PlatformError::AtomTooLong:
            return "The atom string is longer than 255 characters.";
        case PlatformError::AtomTableFull:
            return "The atom table is full.";
        case PlatformError::UnknownAtom:
            return "The atom does not exist.";
    }
    return {};
}
