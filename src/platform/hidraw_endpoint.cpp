#include "platform/hidraw_endpoint.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <vector>

#include "core/device/event_semaphore.h"
#include "core/device/request_block.h"
#include "core/util/bytes.h"
#include "platform/hidraw_discovery.h"

namespace orlix::platform {

namespace {

// As many events as the driver's semaphore can count.
constexpr size_t kMaxPendingEvents = 8000;
// Report id of the keyboard's unnumbered reports.
constexpr uint8_t kReportId = 0;

constexpr uint32_t kGenericRead = 0x80000000;
constexpr uint32_t kGenericWrite = 0x40000000;

class SystemHidrawIo : public HidrawIo {
 public:
  int open(const std::filesystem::path& node, int flags) override {
    int fd = ::open(node.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return -errno;
    int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
      int e = errno;
      ::close(fd);
      return -e;
    }
    std::lock_guard lock(mutex_);
    wake_[fd] = wake;
    return fd;
  }

  void close(int fd) override {
    {
      std::lock_guard lock(mutex_);
      auto it = wake_.find(fd);
      if (it != wake_.end()) {
        ::close(it->second);
        wake_.erase(it);
      }
    }
    ::close(fd);
  }

  int setFeature(int fd, std::span<const uint8_t> report) override {
    std::vector<uint8_t> buf(report.begin(), report.end());
    int r = ::ioctl(fd, HIDIOCSFEATURE(buf.size()), buf.data());
    return r < 0 ? -errno : r;
  }

  int getFeature(int fd, std::span<uint8_t> report) override {
    int r = ::ioctl(fd, HIDIOCGFEATURE(report.size()), report.data());
    return r < 0 ? -errno : r;
  }

  int readReport(int fd, std::span<uint8_t> buffer) override {
    int wake = wakeOf(fd);
    if (wake < 0) return -EBADF;
    while (true) {
      pollfd p[2] = {{fd, POLLIN, 0}, {wake, POLLIN, 0}};
      int r = ::poll(p, 2, -1);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) return -errno;
      if (p[1].revents & POLLIN) return 0;
      // After an unplug the node reports hang-up and every read fails.
      if (p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return -ENODEV;
      if (!(p[0].revents & POLLIN)) continue;
      ssize_t n = ::read(fd, buffer.data(), buffer.size());
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (n < 0) return -errno;
      if (n == 0) return -ENODEV;
      return int(n);
    }
  }

  void cancelRead(int fd) override {
    int wake = wakeOf(fd);
    if (wake < 0) return;
    uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(wake, &one, sizeof one);
  }

 private:
  int wakeOf(int fd) {
    std::lock_guard lock(mutex_);
    auto it = wake_.find(fd);
    return it == wake_.end() ? -1 : it->second;
  }
  std::mutex mutex_;
  std::map<int, int> wake_;
};

}  // namespace

std::shared_ptr<HidrawIo> systemHidrawIo() {
  static auto io = std::make_shared<SystemHidrawIo>();
  return io;
}

HidrawDriverEndpoint::HidrawDriverEndpoint(std::filesystem::path node, std::shared_ptr<HidrawIo> io)
    : node_(std::move(node)), io_(std::move(io)) {}

HidrawDriverEndpoint::~HidrawDriverEndpoint() { close(); }

bool HidrawDriverEndpoint::open() {
  std::lock_guard lock(fdMutex_);
  if (fd_ >= 0) return true;
  int fd = io_->open(node_, O_RDWR);
  if (fd < 0) {
    error_ = std::strerror(-fd);
    return false;
  }
  error_.clear();
  fd_ = fd;
  reader_ = std::thread([this, fd] { readLoop(fd); });
  return true;
}

void HidrawDriverEndpoint::close() {
  std::unique_lock lock(fdMutex_);
  int fd = fd_.exchange(-1);
  if (fd < 0) return;
  io_->cancelRead(fd);
  if (reader_.joinable()) reader_.join();
  io_->close(fd);
  semaphore_ = 0;
  std::lock_guard events(eventsMutex_);
  events_.clear();
}

bool HidrawDriverEndpoint::control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) {
  std::shared_lock lock(fdMutex_);
  int fd = fd_;
  if (fd < 0) return false;

  if (code == driver::kEventControlCode) {
    if (out.size() < 4) return false;
    uint32_t word = 0;
    {
      std::lock_guard events(eventsMutex_);
      if (events_.empty()) return false;
      word = events_.front();
      events_.pop_front();
    }
    // The driver fills the caller's buffer: its input, with the event word first.
    std::memmove(out.data(), in.data(), std::min(in.size(), out.size()));
    putU32(out, 0, word);
    return true;
  }
  if (code != driver::kRequestControlCode) return false;

  auto request = driver::decode(in);
  if (!request) return false;
  switch (request->code) {
    case driver::kRequestRegister:
      semaphore_ = request->semaphore;
      return true;
    case driver::kRequestRelease:
      semaphore_ = 0;
      return true;
    case driver::kRequestTransfer:
      if (request->direction == driver::kDirectionToKeyboard) return transferOut(fd, request->payload);
      return transferIn(fd, request->count, in, out);
    default:
      return false;
  }
}

bool HidrawDriverEndpoint::transferOut(int fd, std::span<const uint8_t> payload) {
  std::vector<uint8_t> report(1 + payload.size());
  report[0] = kReportId;
  std::copy(payload.begin(), payload.end(), report.begin() + 1);
  return io_->setFeature(fd, report) >= 0;
}

bool HidrawDriverEndpoint::transferIn(int fd, size_t count, std::span<const uint8_t> in, std::span<uint8_t> out) {
  if (out.size() < driver::kOffPayload + count) return false;
  std::vector<uint8_t> report(1 + count, 0);
  report[0] = kReportId;
  if (io_->getFeature(fd, report) < 0) return false;
  std::memmove(out.data(), in.data(), std::min(in.size(), out.size()));
  std::copy(report.begin() + 1, report.end(), out.begin() + driver::kOffPayload);
  return true;
}

void HidrawDriverEndpoint::readLoop(int fd) {
  std::vector<uint8_t> buffer(4096);
  while (true) {
    int n = io_->readReport(fd, buffer);
    if (n > 0) {
      onReport({buffer.data(), size_t(n)});
      ++reportsRead_;
      continue;
    }
    if (n < 0 && onHangUp) onHangUp();
    return;
  }
}

void HidrawDriverEndpoint::onReport(std::span<const uint8_t> report) {
  auto semaphore = semaphores::find(semaphore_);
  if (!semaphore) return;  // nobody registered: the event has no receiver
  uint32_t word = 0;
  for (size_t i = 0; i < 4 && i < report.size(); ++i) word |= uint32_t(report[i]) << (8 * i);
  {
    std::lock_guard events(eventsMutex_);
    if (events_.size() >= kMaxPendingEvents) return;
    events_.push_back(word);
  }
  if (!semaphore->release()) {
    std::lock_guard events(eventsMutex_);
    if (!events_.empty()) events_.pop_back();
  }
}

size_t HidrawDriverEndpoint::pendingEvents() const {
  std::lock_guard events(eventsMutex_);
  return events_.size();
}

HidrawHidLibrary::HidrawHidLibrary(std::filesystem::path sysfsRoot, std::shared_ptr<HidrawIo> io)
    : sysfsRoot_(std::move(sysfsRoot)), io_(std::move(io)) {}

intptr_t HidrawHidLibrary::OpenHidDevice(uint32_t usagePage, uint32_t usage, uint32_t, uint32_t, uint32_t, uint32_t,
                                         uint32_t, uint32_t access) {
  if (usagePage > 0xFFFF || usage > 0xFFFF) return 0;
  auto node = findKeyboardNode(sysfsRoot_, uint16_t(usagePage), uint16_t(usage));
  if (!node) return 0;
  bool read = access & kGenericRead, write = access & kGenericWrite;
  int flags = read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
  int fd = io_->open(node->devnode, flags);
  return fd < 0 ? 0 : intptr_t(fd) + 1;
}

void HidrawHidLibrary::closeHandle(intptr_t handle) {
  if (handle > 0) io_->close(int(handle - 1));
}

}  // namespace orlix::platform
