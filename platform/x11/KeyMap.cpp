#include "KeyMap.h"

#include <X11/keysym.h>

#include <utility>

namespace {

// Named keys; the punctuation rows are the virtual keys' positions on a US layout.
constexpr std::pair<std::int32_t, std::uint32_t> kNamed[] = {
    {0x08, XK_BackSpace},    {0x09, XK_Tab},        {0x0C, XK_Clear},        {0x0D, XK_Return},
    {0x13, XK_Pause},        {0x1B, XK_Escape},     {0x20, XK_space},        {0x21, XK_Page_Up},
    {0x22, XK_Page_Down},    {0x23, XK_End},        {0x24, XK_Home},         {0x25, XK_Left},
    {0x26, XK_Up},           {0x27, XK_Right},      {0x28, XK_Down},         {0x2C, XK_Print},
    {0x2D, XK_Insert},       {0x2E, XK_Delete},     {0x2F, XK_Help},         {0x5D, XK_Menu},
    {0x6A, XK_KP_Multiply},  {0x6B, XK_KP_Add},     {0x6C, XK_KP_Separator}, {0x6D, XK_KP_Subtract},
    {0x6E, XK_KP_Decimal},   {0x6F, XK_KP_Divide},  {0x91, XK_Scroll_Lock},  {0xBA, XK_semicolon},
    {0xBB, XK_equal},        {0xBC, XK_comma},      {0xBD, XK_minus},        {0xBE, XK_period},
    {0xBF, XK_slash},        {0xC0, XK_grave},      {0xDB, XK_bracketleft},  {0xDC, XK_backslash},
    {0xDD, XK_bracketright}, {0xDE, XK_apostrophe}, {0x03, XK_Break},
};

std::uint32_t offset(std::int32_t from, std::int32_t virtualKey, std::uint32_t first) {
    return first + static_cast<std::uint32_t>(virtualKey - from);
}

}  // namespace

std::optional<std::uint32_t> keysymForVirtualKey(std::int32_t virtualKey) {
    if (virtualKey >= 0x70 && virtualKey <= 0x87)
        return offset(0x70, virtualKey, XK_F1);
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return offset('A', virtualKey, XK_a);
    if (virtualKey >= '0' && virtualKey <= '9')
        return offset('0', virtualKey, XK_0);
    if (virtualKey >= 0x60 && virtualKey <= 0x69)
        return offset(0x60, virtualKey, XK_KP_0);
    for (const auto& [vk, keysym] : kNamed) {
        if (vk == virtualKey)
            return keysym;
    }
    return std::nullopt;
}
