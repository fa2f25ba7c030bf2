/* The opener the host-function latency bench gives the window program: the
 * first thing it does is write the monotonic clock, in nanoseconds, as one
 * line to the FIFO named by ORLIX_BENCH_FIFO. Linked statically so that its
 * own start costs next to nothing. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

int main(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  const char* fifo = getenv("ORLIX_BENCH_FIFO");
  if (!fifo) return 1;
  char line[32];
  int n = snprintf(line, sizeof line, "%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
  int fd = open(fifo, O_WRONLY);
  if (fd < 0) return 1;
  ssize_t w = write(fd, line, (size_t)n);
  close(fd);
  return w == n ? 0 : 1;
}
