// A pointer for tests on a headless wlroots compositor, which has no input
// device of its own: it joins the seat as a virtual pointer and moves and
// clicks as told, one command a line on standard input:
//
//   motion DX DY    move by (DX, DY) in layout pixels
//   absolute X Y W H  go to (X, Y) of a layout W x H pixels large
//   press | release the left button
//
// It answers "ok" once the compositor has handled each command, so that the
// caller knows the events are out. It prints "ready" once it is a pointer.
#include "virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <linux/input-event-codes.h>
#include <stdio.h>
#include <string.h>

struct globals {
    struct wl_seat* seat;
    struct zwlr_virtual_pointer_manager_v1* manager;
};

static void on_global(void* data, struct wl_registry* registry, uint32_t name,
                      const char* interface, uint32_t version) {
    (void)version;
    struct globals* found = data;
    if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        found->manager =
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
    else if (strcmp(interface, wl_seat_interface.name) == 0 && !found->seat)
        found->seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
}

static void on_global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data, (void)registry, (void)name;
}

static const struct wl_registry_listener registry_listener = {on_global, on_global_remove};

int main(void) {
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "wayland_pointer: cannot connect to the compositor\n");
        return 1;
    }
    struct globals found = {NULL, NULL};
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, &found);
    wl_display_roundtrip(display);
    if (!found.manager || !found.seat) {
        fprintf(stderr, "wayland_pointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    struct zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(found.manager, found.seat);
    wl_display_roundtrip(display);
    printf("ready\n");
    fflush(stdout);

    char line[128];
    uint32_t time = 0;
    while (fgets(line, sizeof line, stdin)) {
        double dx = 0, dy = 0;
        unsigned x = 0, y = 0, width = 0, height = 0;
        time += 10;
        if (sscanf(line, "absolute %u %u %u %u", &x, &y, &width, &height) == 4)
            zwlr_virtual_pointer_v1_motion_absolute(pointer, time, x, y, width, height);
        else if (sscanf(line, "motion %lf %lf", &dx, &dy) == 2)
            zwlr_virtual_pointer_v1_motion(pointer, time, wl_fixed_from_double(dx),
                                           wl_fixed_from_double(dy));
        else if (strncmp(line, "press", 5) == 0)
            zwlr_virtual_pointer_v1_button(pointer, time, BTN_LEFT, 1);
        else if (strncmp(line, "release", 7) == 0)
            zwlr_virtual_pointer_v1_button(pointer, time, BTN_LEFT, 0);
        else {
            fprintf(stderr, "wayland_pointer: unknown command %s", line);
            return 2;
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        if (wl_display_roundtrip(display) < 0)
            return 1;
        printf("ok\n");
        fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_disconnect(display);
    return 0;
}
