/* Drives a wlroots compositor's pointer and keyboard for the end-to-end tests: a virtual pointer
 * and a virtual keyboard on the default seat, fed one command a line on standard input.
 *
 *   move X Y           the pointer to layout point X,Y (absolute, on a WIDTHxHEIGHT layout)
 *   button CODE 0|1    an evdev button (272 left, 273 right) up or down
 *   key CODE 0|1       an evdev key (42 left Shift, 29 left Ctrl) up or down
 *
 * Each command is answered with "ok" once the compositor has handled it (a round trip), so that
 * the caller can look at the screen straight after; an unknown command is answered "error ...".
 *
 * usage: velmo_wl_inject WIDTH HEIGHT   (WAYLAND_DISPLAY names the compositor)
 */
#define _GNU_SOURCE
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "virtual-pointer-unstable-v1-client-protocol.h"

static struct wl_seat* seat;
static struct zwlr_virtual_pointer_manager_v1* pointer_manager;
static struct zwp_virtual_keyboard_manager_v1* keyboard_manager;

static void global_added(void* data, struct wl_registry* registry, uint32_t name,
                         const char* interface, uint32_t version) {
    (void)data;
    (void)version;
    if (strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        pointer_manager =
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
    else if (strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
        keyboard_manager =
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1);
}

static void global_removed(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {global_added, global_removed};

static uint32_t now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (uint32_t)(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

/* The compositor reads the keyboard's layout from a file: the default (evdev rules) keymap. */
static int send_keymap(struct zwp_virtual_keyboard_v1* keyboard, struct xkb_keymap* keymap) {
    char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    if (!text) return -1;
    const size_t size = strlen(text) + 1;
    int fd = memfd_create("velmo-keymap", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, (off_t)size) != 0) {
        free(text);
        return -1;
    }
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, text + done, size - done);
        if (n <= 0) {
            free(text);
            close(fd);
            return -1;
        }
        done += (size_t)n;
    }
    free(text);
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, (uint32_t)size);
    close(fd);
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    const uint32_t width = (uint32_t)atoi(argv[1]), height = (uint32_t)atoi(argv[2]);
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "cannot connect to the Wayland compositor\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (!seat || !pointer_manager || !keyboard_manager) {
        fprintf(stderr, "the compositor offers no %s\n",
                !seat              ? "seat"
                : !pointer_manager ? "virtual pointer"
                                   : "virtual keyboard");
        return 1;
    }
    struct zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointer_manager, seat);
    struct zwp_virtual_keyboard_v1* keyboard =
        zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboard_manager, seat);

    struct xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    struct xkb_keymap* keymap =
        context ? xkb_keymap_new_from_names(context, NULL, XKB_KEYMAP_COMPILE_NO_FLAGS) : NULL;
    struct xkb_state* state = keymap ? xkb_state_new(keymap) : NULL;
    if (!state || send_keymap(keyboard, keymap) != 0) {
        fprintf(stderr, "cannot make a keymap\n");
        return 1;
    }
    if (wl_display_roundtrip(display) < 0) {
        fprintf(stderr, "the compositor refused the virtual devices\n");
        return 1;
    }
    printf("ready\n");
    fflush(stdout);

    char line[256];
    while (fgets(line, sizeof line, stdin)) {
        char verb[16];
        int a = 0, b = 0;
        const int fields = sscanf(line, "%15s %d %d", verb, &a, &b);
        if (fields == 3 && strcmp(verb, "move") == 0 && a >= 0 && b >= 0) {
            /* The middle of the pixel: its corner, scaled by the extent, may come out a hair
             * short and land on the pixel before. */
            zwlr_virtual_pointer_v1_motion_absolute(pointer, now_ms(), 2 * (uint32_t)a + 1,
                                                    2 * (uint32_t)b + 1, 2 * width, 2 * height);
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (fields == 3 && strcmp(verb, "button") == 0) {
            zwlr_virtual_pointer_v1_button(
                pointer, now_ms(), (uint32_t)a,
                b ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (fields == 3 && strcmp(verb, "key") == 0) {
            zwp_virtual_keyboard_v1_key(
                keyboard, now_ms(), (uint32_t)a,
                b ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
            /* evdev codes are X key codes less 8 */
            xkb_state_update_key(state, (xkb_keycode_t)a + 8, b ? XKB_KEY_DOWN : XKB_KEY_UP);
            zwp_virtual_keyboard_v1_modifiers(
                keyboard, xkb_state_serialize_mods(state, XKB_STATE_MODS_DEPRESSED),
                xkb_state_serialize_mods(state, XKB_STATE_MODS_LATCHED),
                xkb_state_serialize_mods(state, XKB_STATE_MODS_LOCKED),
                xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE));
        } else {
            printf("error: %s", line);
            fflush(stdout);
            continue;
        }
        if (wl_display_roundtrip(display) < 0) {
            fprintf(stderr, "lost the compositor\n");
            return 1;
        }
        printf("ok\n");
        fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    zwp_virtual_keyboard_v1_destroy(keyboard);
    xkb_state_unref(state);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    wl_display_disconnect(display);
    return 0;
}
