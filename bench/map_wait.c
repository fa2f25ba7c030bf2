/* Runs a command and prints the milliseconds from its start to the first
 * window mapped on the X display: the time until a person sees a window.
 *
 *   map_wait COMMAND [ARGS...]      (exit 1 when no window maps within 5 s)
 *
 * Listens on the root window for the structure changes of its children
 * before the command starts, so no map is missed. */
#include <poll.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <xcb/xcb.h>

extern char** environ;

static double nowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: map_wait COMMAND [ARGS...]\n");
    return 2;
  }
  xcb_connection_t* x = xcb_connect(NULL, NULL);
  if (xcb_connection_has_error(x)) {
    fprintf(stderr, "map_wait: no X display\n");
    return 2;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
  uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_request_check(x, xcb_change_window_attributes_checked(x, screen->root, XCB_CW_EVENT_MASK, &mask));

  pid_t pid;
  double start = nowMs();
  if (posix_spawnp(&pid, argv[1], NULL, NULL, argv + 1, environ) != 0) {
    perror(argv[1]);
    return 2;
  }
  int fd = xcb_get_file_descriptor(x);
  while (nowMs() - start < 5000) {
    xcb_generic_event_t* e;
    while ((e = xcb_poll_for_event(x))) {
      int mapped = (e->response_type & 0x7F) == XCB_MAP_NOTIFY;
      free(e);
      if (mapped) {
        printf("%.2f\n", nowMs() - start);
        waitpid(pid, NULL, WNOHANG);
        return 0;
      }
    }
    struct pollfd p = {fd, POLLIN, 0};
    poll(&p, 1, 50);
  }
  fprintf(stderr, "map_wait: no window mapped within 5 s\n");
  return 1;
}
