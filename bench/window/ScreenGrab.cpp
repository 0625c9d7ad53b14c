#include "ScreenGrab.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

ScreenGrab::ScreenGrab() {
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        throw std::runtime_error("cannot connect to the X display");
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    m_root = screen->root;
    // The decoding below assumes the usual layout of a 24-bit screen.
    bool usual = screen->root_depth == 24;
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem;
         xcb_depth_next(&depths)) {
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
             xcb_visualtype_next(&visuals)) {
            if (visuals.data->visual_id == screen->root_visual) {
                usual = usual && visuals.data->red_mask == 0xFF0000u &&
                        visuals.data->green_mask == 0x00FF00u &&
                        visuals.data->blue_mask == 0x0000FFu;
            }
        }
    }
    for (auto formats = xcb_setup_pixmap_formats_iterator(xcb_get_setup(m_connection)); formats.rem;
         xcb_format_next(&formats)) {
        if (formats.data->depth == 24) {
            usual = usual && formats.data->bits_per_pixel == 32;
        }
    }
    // Pixels are copied as host words: a little-endian host needs the same order.
    usual = usual && xcb_get_setup(m_connection)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    if (!usual) {
        xcb_disconnect(m_connection);
        throw std::runtime_error("the screen is not 24-bit true colour in 32-bit pixels");
    }
}

ScreenGrab::~ScreenGrab() {
    xcb_disconnect(m_connection);
}

ScreenImage ScreenGrab::grab(const ScreenRect& rect) {
    ScreenImage image;
    xcb_generic_error_t* error = nullptr;
    auto* reply = xcb_get_image_reply(
        m_connection,
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root,
                      static_cast<std::int16_t>(rect.x), static_cast<std::int16_t>(rect.y),
                      static_cast<std::uint16_t>(rect.width),
                      static_cast<std::uint16_t>(rect.height), 0xFFFFFFFFu),
        &error);
    std::free(error);
    if (!reply) {
        return image;
    }
    const auto bytes = static_cast<std::size_t>(xcb_get_image_data_length(reply));
    const std::size_t count = static_cast<std::size_t>(rect.width) * rect.height;
    if (bytes >= count * 4) {
        image.width = rect.width;
        image.height = rect.height;
        image.pixels.resize(count);
        std::memcpy(image.pixels.data(), xcb_get_image_data(reply), count * 4);
        for (auto& pixel : image.pixels)
            pixel &= 0xFFFFFFu;
    }
    std::free(reply);
    return image;
}
