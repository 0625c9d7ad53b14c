#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "WindowHandle.h"

// The operating-system services the hot-key registry uses. Failing calls report their
// reason through GetLastError(), as the registry expects.
class IHotKeyPlatform {
public:
    virtual ~IHotKeyPlatform() = default;

    // File name of the running executable, without folder and extension.
    virtual std::string ExecutableName() = 0;
    // Milliseconds since system start, wrapping at 32 bits.
    virtual std::uint32_t GetTickCount() = 0;

    // Adds a string to the process-wide atom table: a string atom (0xC000-0xFFFF), or 0 on failure.
    virtual std::uint16_t GlobalAddAtom(const std::string& s) = 0;
    virtual void GlobalDeleteAtom(std::uint16_t atom) = 0;

    // Grabs the key combination system-wide; presses reach hwnd as WM_HOTKEY with id as wParam.
    // Modifiers: 1 Alt, 2 Control, 4 Shift, 8 Super. Returns false on failure.
    virtual bool RegisterHotKey(HWND hwnd, std::int32_t id, std::int32_t modifiers,
                                std::int32_t virtualKey) = 0;
    virtual void UnregisterHotKey(HWND hwnd, std::int32_t id) = 0;

    // The code of the last failed call above.
    virtual std::uint32_t GetLastError() = 0;
    // Writes the text for an error code into buffer (at most size characters, no terminator
    // counted) and returns the number of characters written; 0 when there is no text.
    virtual std::size_t FormatMessage(std::uint32_t code, char* buffer, std::size_t size) = 0;

    virtual bool IsIconic(HWND hwnd) = 0;
    // Restores a minimised window; returns once the window is restored.
    virtual void SendRestore(HWND hwnd) = 0;
};
