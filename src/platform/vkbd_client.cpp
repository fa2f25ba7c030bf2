#include "platform/vkbd_client.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "core/device/event_semaphore.h"
#include "core/util/bytes.h"
#include "platform/presence.h"

namespace orlix::platform {

namespace {
using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline) {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return ms > 0 ? int(ms) : 0;
}

// Writes all bytes by the deadline; false when the peer is gone or stopped reading.
bool writeAll(int fd, const std::vector<uint8_t>& bytes, Clock::time_point deadline) {
  size_t off = 0;
  while (off < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      pollfd p{fd, POLLOUT, 0};
      int left = msLeft(deadline);
      if (left == 0 || ::poll(&p, 1, left) <= 0) return false;
      continue;
    }
    if (n <= 0) return false;
    off += size_t(n);
  }
  return true;
}

// Connects by the deadline. A daemon that is stopped (its listen queue full)
// makes a blocking connect wait for ever; a non-blocking one says EAGAIN, and
// is tried again until the deadline.
int connectBy(const sockaddr_un& addr, Clock::time_point deadline) {
  while (true) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0) return fd;
    int err = errno;
    if (err == EINPROGRESS) {
      pollfd p{fd, POLLOUT, 0};
      int soErr = 0;
      socklen_t len = sizeof soErr;
      if (::poll(&p, 1, msLeft(deadline)) == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soErr, &len) == 0 &&
          soErr == 0)
        return fd;
      err = soErr ? soErr : ETIMEDOUT;
    }
    ::close(fd);
    if (err != EAGAIN || msLeft(deadline) == 0) {
      errno = err == EAGAIN ? ETIMEDOUT : err;
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(10, msLeft(deadline))));
  }
}
}  // namespace

VkbdConnection::~VkbdConnection() { disconnect(); }

bool VkbdConnection::connect(const std::filesystem::path& path, int timeoutMs) {
  disconnect();
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::string p = path.string();
  if (p.size() >= sizeof addr.sun_path) {
    error_ = "socket path too long: " + p;
    return false;
  }
  std::memcpy(addr.sun_path, p.c_str(), p.size() + 1);
  auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  fd_ = connectBy(addr, deadline);
  if (fd_ < 0) {
    error_ = "no virtual keyboard answers at " + p + " (" + std::strerror(errno) + ")";
    return false;
  }
  // The reader thread blocks in recv; writes poll with their own deadline.
  int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
  sent_ = received_ = 0;
  alive_ = true;
  reader_ = std::thread([this] { readLoop(); });
  uint8_t v[2];
  putU16(v, 0, vkbd::kProtocolVersion);
  auto hello = request(vkbd::kHello, v, std::max(1, msLeft(deadline)));
  if (!hello || hello->type != vkbd::kHelloOk || hello->body.size() < 2 ||
      getU16(hello->body, 0) != vkbd::kProtocolVersion) {
    error_ = hello ? "the virtual keyboard at " + p + " speaks another protocol"
                   : "the virtual keyboard at " + p + " does not answer";
    disconnect();
    return false;
  }
  return true;
}

void VkbdConnection::disconnect() {
  if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
  if (reader_.joinable()) reader_.join();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  alive_ = false;
  std::lock_guard lock(answerMutex_);
  answers_.clear();
}

std::optional<vkbd::Frame> VkbdConnection::request(uint8_t type, std::span<const uint8_t> body, int timeoutMs) {
  std::lock_guard one(requestMutex_);
  if (!alive_) return std::nullopt;
  auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  if (!writeAll(fd_, vkbd::encode(type, body), deadline)) {
    // A frame cut short leaves the stream unusable.
    alive_ = false;
    ::shutdown(fd_, SHUT_RDWR);
    return std::nullopt;
  }
  // The daemon answers every request exactly once and in order, so the n-th
  // answer is the n-th request's. Answers to requests that timed out before
  // are older than this one and are thrown away, never taken as its answer.
  uint64_t mine = ++sent_;
  std::unique_lock lock(answerMutex_);
  auto ready = [&] {
    while (!answers_.empty() && answers_.front().first < mine) answers_.pop_front();
    return !answers_.empty() || !alive_;
  };
  if (!answerCv_.wait_until(lock, deadline, ready)) return std::nullopt;
  if (answers_.empty()) return std::nullopt;
  vkbd::Frame f = std::move(answers_.front().second);
  answers_.pop_front();
  return f;
}

void VkbdConnection::readLoop() {
  vkbd::FrameReader reader;
  uint8_t buf[8192];
  while (true) {
    ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    reader.feed({buf, size_t(n)});
    while (auto f = reader.next()) {
      if (f->type >= vkbd::kSignal && f->type <= vkbd::kPlugged) {
        if (onNotice) onNotice(*f);
        continue;
      }
      {
        std::lock_guard lock(answerMutex_);
        answers_.emplace_back(++received_, std::move(*f));
      }
      answerCv_.notify_all();
    }
    if (reader.failed()) break;
  }
  {
    std::lock_guard lock(answerMutex_);
    alive_ = false;
  }
  answerCv_.notify_all();
  if (onNotice) onNotice(vkbd::Frame{0, {}});
}

SocketDriverEndpoint::SocketDriverEndpoint(std::filesystem::path socketPath) : path_(std::move(socketPath)) {
  connection_.onNotice = [this](const vkbd::Frame& f) {
    if (f.type == vkbd::kSignal && f.body.size() >= 4) {
      if (auto s = semaphores::find(getU32(f.body, 0))) s->release();
    } else if (f.type == vkbd::kUnplugged || f.type == 0) {
      if (onPresenceChange) onPresenceChange(false);
    } else if (f.type == vkbd::kPlugged) {
      if (onPresenceChange) onPresenceChange(true);
    }
  };
}

bool SocketDriverEndpoint::ensureConnected() {
  return connection_.connected() || connection_.connect(path_);
}

bool SocketDriverEndpoint::open() {
  if (!ensureConnected()) return false;
  auto r = connection_.request(vkbd::kOpen);
  return r && r->type == vkbd::kResult && !r->body.empty() && r->body[0] == 1;
}

bool SocketDriverEndpoint::control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) {
  if (!connection_.connected() || out.size() > vkbd::kMaxControlOutput) return false;
  std::vector<uint8_t> body(8 + in.size());
  putU32(body, 0, code);
  putU32(body, 4, uint32_t(out.size()));
  std::copy(in.begin(), in.end(), body.begin() + 8);
  auto r = connection_.request(vkbd::kControl, body);
  if (!r || r->type != vkbd::kControlResult || r->body.empty() || r->body[0] != 1) return false;
  if (r->body.size() != 1 + out.size()) return false;
  std::copy(r->body.begin() + 1, r->body.end(), out.begin());
  return true;
}

void SocketDriverEndpoint::close() {
  if (connection_.connected()) connection_.request(vkbd::kClose);
}

intptr_t VkbdHidLibrary::OpenHidDevice(uint32_t usagePage, uint32_t usage, uint32_t, uint32_t, uint32_t, uint32_t,
                                      uint32_t, uint32_t) {
  if (usagePage != 0xFF01 || usage != 1 || !virtualKeyboardPlugged(path_).value_or(false)) return 0;
  std::lock_guard lock(mutex_);
  intptr_t handle = next_++;
  open_.insert(handle);
  return handle;
}

void VkbdHidLibrary::closeHandle(intptr_t handle) {
  std::lock_guard lock(mutex_);
  open_.erase(handle);
}

size_t VkbdHidLibrary::openHandles() const {
  std::lock_guard lock(mutex_);
  return open_.size();
}

}  // namespace orlix::platform
