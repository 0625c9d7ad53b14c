/* Presses keys as a user would, through KWin's fake-input protocol: KWin hands them to
 * whatever has the focus, and to its global shortcuts first. Usage: press_keys CODE...
 * (Linux key codes: F1 59, F2 60, F3 61). KWin offers the protocol only to a program whose
 * desktop entry names it in X-KDE-Wayland-Interfaces. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wayland-client.h>

#include "fake-input-client-protocol.h"

static struct org_kde_kwin_fake_input* fake;

static void global(void* data, struct wl_registry* registry, uint32_t name,
                   const char* interface, uint32_t version) {
    (void)data;
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        fake = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
}

static void global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data, (void)registry, (void)name;
}

static const struct wl_registry_listener listener = {global, global_remove};

int main(int argc, char** argv) {
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "press_keys: no Wayland display\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, NULL);
    wl_display_roundtrip(display);
    if (!fake) {
        fprintf(stderr, "press_keys: the compositor offers no org_kde_kwin_fake_input v4\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(fake, "Pellucor tests", "presses test keys");
    for (int i = 1; i < argc; ++i) {
        const uint32_t code = (uint32_t)strtoul(argv[i], NULL, 10);
        org_kde_kwin_fake_input_keyboard_key(fake, code, WL_KEYBOARD_KEY_STATE_PRESSED);
        org_kde_kwin_fake_input_keyboard_key(fake, code, WL_KEYBOARD_KEY_STATE_RELEASED);
    }
    if (wl_display_roundtrip(display) < 0) {
        fprintf(stderr, "press_keys: the compositor closed the connection\n");
        return 1;
    }
    wl_display_disconnect(display);
    return 0;
}
