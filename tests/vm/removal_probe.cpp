// Reports the keyboard removals the window program's device monitor receives
// from the system (udev), for the virtual machine test:
//   removal_probe SECONDS
// Prints "watching" once the monitor listens, then "removal NAME" and exits 0
// at the first keyboard removal; exits 1 when none came in time, 2 when this
// build or machine has no udev monitor.
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/presence_monitor.h"

int main(int argc, char** argv) {
  using namespace orlix::platform;
  int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  DeviceMonitor monitor;
  if (!monitor.watchSystem()) {
    std::puts("no udev monitor");
    return 2;
  }
  std::puts("watching");
  std::fflush(stdout);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{monitor.fd(), POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    for (auto& change : monitor.drain()) {
      if (!isKeyboardRemoval(change)) continue;
      std::printf("removal %s\n", change.interfaceName.c_str());
      return 0;
    }
  }
  std::puts("no removal");
  return 1;
}
