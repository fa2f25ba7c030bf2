// Host-function latency: from the virtual keyboard reporting a press of a
// host-function key to the opener program being started by the window program.
//
//   host_latency_bench SOCKET FIFO [PRESSES]
//
// Sends PRESSES press events (key 9, host function 2) to the virtual keyboard
// at SOCKET, one at a time, and reads from FIFO the time the opener stamped
// when it started (bench/opener_stamp). Prints p50, p90, p99 and the maximum.
// bench/host_latency.sh sets up the window program, the key and the opener.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "core/device/virtual_keyboard.h"
#include "core/device/vkbd_protocol.h"
#include "core/util/bytes.h"
#include "platform/vkbd_client.h"

namespace {
long long nowNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

// One stamp line from the FIFO within timeoutMs; -1 when none came.
long long readStamp(int fd, std::string& pending, int timeoutMs) {
  const long long deadline = nowNs() + (long long)timeoutMs * 1000000LL;
  while (true) {
    if (auto nl = pending.find('\n'); nl != std::string::npos) {
      long long v = std::atoll(pending.substr(0, nl).c_str());
      pending.erase(0, nl + 1);
      return v;
    }
    int left = int((deadline - nowNs()) / 1000000LL);
    if (left <= 0) return -1;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, left) <= 0) continue;
    char buf[256];
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) pending.append(buf, size_t(n));
  }
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: host_latency_bench SOCKET FIFO [PRESSES]\n");
    return 2;
  }
  const int presses = argc > 3 ? std::atoi(argv[3]) : 1000;
  // Read and write: the FIFO stays open between the openers' writes.
  int fifo = ::open(argv[2], O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fifo < 0) {
    std::perror(argv[2]);
    return 1;
  }
  orlix::platform::VkbdConnection keyboard;
  if (!keyboard.connect(argv[1])) {
    std::fprintf(stderr, "host_latency_bench: %s\n", keyboard.error().c_str());
    return 1;
  }
  uint8_t word[4];
  orlix::putU32(word, 0, orlix::VirtualKeyboard::hostKeyEvent(9, 2));
  std::string pending;
  std::vector<double> ms;
  int lost = 0;
  for (int i = 0; i < presses; ++i) {
    const long long sent = nowNs();
    auto answer = keyboard.request(orlix::vkbd::kEvent, word);
    if (!answer || answer->type == orlix::vkbd::kError) {
      std::fprintf(stderr, "host_latency_bench: the virtual keyboard refused the press\n");
      return 1;
    }
    long long started = readStamp(fifo, pending, 2000);
    if (started < 0) {
      ++lost;
      continue;
    }
    ms.push_back(double(started - sent) / 1e6);
    // The opener has ended its write; let it exit before the next press.
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (ms.empty()) {
    std::fprintf(stderr, "host_latency_bench: no opener started\n");
    return 1;
  }
  std::sort(ms.begin(), ms.end());
  auto at = [&](double q) { return ms[std::min(ms.size() - 1, size_t(q * double(ms.size())))]; };
  std::printf("host function latency over %zu presses (%d without an opener): p50 %.2f ms, p90 %.2f ms, "
              "p99 %.2f ms, max %.2f ms\n",
              ms.size(), lost, at(0.50), at(0.90), at(0.99), ms.back());
  return lost == 0 && at(0.99) <= 5.0 ? 0 : 1;
}
