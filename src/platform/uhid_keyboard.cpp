#include "platform/uhid_keyboard.h"

#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "core/device/event_semaphore.h"
#include "core/device/request_block.h"
#include "core/util/bytes.h"
#include "platform/hidraw_discovery.h"
#include "platform/vkbd_client.h"

namespace orlix::platform {

namespace {

// Usage page 0xFF01, usage 1, application collection; inside it bytes 0..255:
// a 4-byte input report (usage 2) and a 512-byte feature report (usage 3).
// No report ids: both reports are report 0, as the keyboard's driver sends them.
constexpr uint8_t kDescriptor[] = {
    0x06, 0x01, 0xFF,  // Usage Page (0xFF01)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x09, 0x02,        //   Usage (2)
    0x95, 0x04,        //   Report Count (4)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x09, 0x03,        //   Usage (3)
    0x96, 0x00, 0x02,  //   Report Count (512)
    0xB1, 0x02,        //   Feature (Data, Variable, Absolute)
    0xC0,              // End Collection
};

constexpr uint16_t kUhidErrorIo = EIO;

}  // namespace

std::span<const uint8_t> uhidReportDescriptor() { return kDescriptor; }

UhidKeyboard::UhidKeyboard(DriverEndpoint& driver) : driver_(driver) {
  semaphore_ = std::make_shared<EventSemaphore>(8000);
  semaphoreHandle_ = semaphores::add(semaphore_);
}

UhidKeyboard::~UhidKeyboard() {
  detach();
  semaphore_->shutdown();
  semaphores::remove(semaphoreHandle_);
}

bool UhidKeyboard::attach() {
  if (attached_) return true;
  if (!driver_.open()) return false;
  auto block = driver::registerRequest(semaphoreHandle_);
  if (!driver_.control(driver::kRequestControlCode, block, {})) {
    driver_.close();
    return false;
  }
  attached_ = true;
  return true;
}

void UhidKeyboard::detach() {
  if (!attached_.exchange(false)) return;
  auto block = driver::releaseRequest();
  driver_.control(driver::kRequestControlCode, block, {});
  driver_.close();
}

std::optional<uhid_event> UhidKeyboard::answer(const uhid_event& request) {
  uhid_event reply{};
  if (request.type == UHID_SET_REPORT) {
    const auto& r = request.u.set_report;
    reply.type = UHID_SET_REPORT_REPLY;
    reply.u.set_report_reply.id = r.id;
    reply.u.set_report_reply.err = kUhidErrorIo;
    // hidraw passes the report id byte on: data[0] is 0, the transfer follows.
    size_t size = std::min<size_t>(r.size, UHID_DATA_MAX);
    if (r.rtype != UHID_FEATURE_REPORT || r.rnum != 0 || size < 1 || r.data[0] != 0 ||
        size - 1 > driver::kMaxTransfer)
      return reply;
    auto block = driver::transferRequest({r.data + 1, size - 1});
    if (driver_.control(driver::kRequestControlCode, block, {})) reply.u.set_report_reply.err = 0;
    return reply;
  }
  if (request.type == UHID_GET_REPORT) {
    const auto& r = request.u.get_report;
    reply.type = UHID_GET_REPORT_REPLY;
    reply.u.get_report_reply.id = r.id;
    reply.u.get_report_reply.err = kUhidErrorIo;
    if (r.rtype != UHID_FEATURE_REPORT || r.rnum != 0) return reply;
    auto block = driver::readRequest();
    driver::RequestBlock out = block;
    if (!driver_.control(driver::kRequestControlCode, block, out)) return reply;
    // The report id byte first, then the driver's 8-byte reply; hidraw copies
    // this to the caller's buffer as it stands.
    reply.u.get_report_reply.err = 0;
    reply.u.get_report_reply.size = uint16_t(1 + driver::kReplySize);
    reply.u.get_report_reply.data[0] = 0;
    std::copy_n(out.begin() + driver::kOffPayload, driver::kReplySize, reply.u.get_report_reply.data + 1);
    return reply;
  }
  return std::nullopt;
}

bool UhidKeyboard::waitForEvent() { return semaphore_->acquire(); }

void UhidKeyboard::stopWaiting() { semaphore_->shutdown(); }

std::optional<uint32_t> UhidKeyboard::fetchEvent() {
  if (!attached_) return std::nullopt;
  auto buffer = driver::eventBuffer();
  if (!driver_.control(driver::kEventControlCode, buffer, buffer)) return std::nullopt;
  return getU32(buffer, 0);
}

uhid_event UhidKeyboard::createRequest() {
  uhid_event e{};
  e.type = UHID_CREATE2;
  auto& c = e.u.create2;
  std::snprintf(reinterpret_cast<char*>(c.name), sizeof c.name, "Orlix Gaming Keyboard (orlix-vkbd)");
  // The "inputN" end names the USB interface, as on the real keyboard's node.
  std::snprintf(reinterpret_cast<char*>(c.phys), sizeof c.phys, "orlix-vkbd/input%d", kVendorInterfaceNumber);
  c.rd_size = uint16_t(sizeof kDescriptor);
  c.bus = BUS_USB;
  c.vendor = kKeyboardVendorId;
  c.product = kKeyboardProductId;
  c.version = 0x0100;
  c.country = 0;
  std::memcpy(c.rd_data, kDescriptor, sizeof kDescriptor);
  return e;
}

uhid_event UhidKeyboard::inputReport(uint32_t word) {
  uhid_event e{};
  e.type = UHID_INPUT2;
  e.u.input2.size = uint16_t(kUhidInputReportSize);
  putU32(std::span<uint8_t>(e.u.input2.data, kUhidInputReportSize), 0, word);
  return e;
}

UhidFront::UhidFront(std::filesystem::path socket, std::filesystem::path node)
    : socket_(std::move(socket)), node_(std::move(node)) {
  endpoint_ = std::make_unique<SocketDriverEndpoint>(socket_);
  keyboard_ = std::make_unique<UhidKeyboard>(*endpoint_);
}

UhidFront::~UhidFront() {
  stop();
  // The keyboard talks through the endpoint: it goes first.
  keyboard_.reset();
  endpoint_.reset();
  if (fd_ >= 0) ::close(fd_);
  if (wake_ >= 0) ::close(wake_);
}

bool UhidFront::open() {
  if (fd_ >= 0) return true;
  fd_ = ::open(node_.c_str(), O_RDWR | O_CLOEXEC);
  if (fd_ < 0) {
    int e = errno;
    error_ = "cannot open " + node_.string() + ": " + std::strerror(e);
    if (e == EACCES || e == EPERM) error_ += " (--uhid needs root or read-write access to " + node_.string() + ")";
    else if (e == ENOENT) error_ += " (is the uhid module loaded? modprobe uhid)";
    return false;
  }
  wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_ < 0) {
    error_ = std::string("cannot create an eventfd: ") + std::strerror(errno);
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  return true;
}

void UhidFront::start() {
  if (fd_ < 0 || serveThread_.joinable()) return;
  // Presence notices arrive on the connection's reader thread, which must not
  // send requests itself: they are handed to the serving thread.
  endpoint_->onPresenceChange = [this](bool plugged) { post(plugged); };
  serveThread_ = std::thread([this] { serve(); });
  eventThread_ = std::thread([this] { forwardEvents(); });
}

void UhidFront::stop() {
  if (!serveThread_.joinable()) return;
  stopping_ = true;
  uint64_t one = 1;
  [[maybe_unused]] auto n = ::write(wake_, &one, sizeof one);
  keyboard_->stopWaiting();
  if (eventThread_.joinable()) eventThread_.join();
  serveThread_.join();
  endpoint_->onPresenceChange = nullptr;
  // Later requests (the release on destruction) fail at once instead of
  // waiting for a daemon that no longer answers.
  endpoint_->connection().disconnect();
}

void UhidFront::post(bool plugged) {
  {
    std::lock_guard lock(changesMutex_);
    changes_.push_back(plugged);
  }
  uint64_t one = 1;
  [[maybe_unused]] auto n = ::write(wake_, &one, sizeof one);
}

bool UhidFront::write(const uhid_event& event) {
  ssize_t n;
  do n = ::write(fd_, &event, sizeof event);
  while (n < 0 && errno == EINTR);
  return n == ssize_t(sizeof event);
}

void UhidFront::plug() {
  if (created_ || !keyboard_->attach()) return;
  if (!write(UhidKeyboard::createRequest())) {
    std::cerr << "orlix-vkbd: cannot create the uhid device: " << std::strerror(errno) << "\n";
    keyboard_->detach();
    return;
  }
  created_ = true;
}

void UhidFront::unplug() {
  if (created_) {
    uhid_event e{};
    e.type = UHID_DESTROY;
    write(e);
    created_ = false;
  }
  keyboard_->detach();
}

void UhidFront::serve() {
  plug();
  if (!created_) std::cerr << "orlix-vkbd: the uhid keyboard waits for the virtual keyboard to be plugged\n";
  auto event = std::make_unique<uhid_event>();
  while (!stopping_) {
    pollfd p[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
    int r = ::poll(p, 2, -1);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) break;
    if (p[1].revents & POLLIN) {
      uint64_t count;
      [[maybe_unused]] auto n = ::read(wake_, &count, sizeof count);
      std::vector<bool> changes;
      {
        std::lock_guard lock(changesMutex_);
        changes.swap(changes_);
      }
      for (bool plugged : changes) {
        if (stopping_) break;
        if (plugged) plug();
        else unplug();
      }
    }
    if (stopping_) break;
    if (p[0].revents & (POLLERR | POLLHUP | POLLNVAL)) break;
    if (!(p[0].revents & POLLIN)) continue;
    *event = {};
    ssize_t n = ::read(fd_, event.get(), sizeof *event);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) break;
    if (auto reply = keyboard_->answer(*event)) write(*reply);
  }
  // The daemon no longer serves its socket at this point: only the device goes.
  if (created_) {
    uhid_event e{};
    e.type = UHID_DESTROY;
    write(e);
    created_ = false;
  }
}

void UhidFront::forwardEvents() {
  while (keyboard_->waitForEvent()) {
    if (stopping_) break;
    if (auto word = keyboard_->fetchEvent()) write(UhidKeyboard::inputReport(*word));
  }
}

}  // namespace orlix::platform
