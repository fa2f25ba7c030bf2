#include "platform/vkbd_client.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/device/event_semaphore.h"
#include "core/util/bytes.h"

namespace orlix::platform {

namespace {
bool writeAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t off = 0;
  while (off < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    off += size_t(n);
  }
  return true;
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
  fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    error_ = "no virtual keyboard answers at " + p + " (" + std::strerror(errno) + ")";
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    return false;
  }
  alive_ = true;
  reader_ = std::thread([this] { readLoop(); });
  uint8_t v[2];
  putU16(v, 0, vkbd::kProtocolVersion);
  auto hello = request(vkbd::kHello, v, timeoutMs);
  if (!hello || hello->type != vkbd::kHelloOk || hello->body.size() < 2 ||
      getU16(hello->body, 0) != vkbd::kProtocolVersion) {
    error_ = "the virtual keyboard at " + p + " speaks another protocol";
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
  {
    std::lock_guard lock(answerMutex_);
    answers_.clear();
  }
  if (!writeAll(fd_, vkbd::encode(type, body))) {
    alive_ = false;
    return std::nullopt;
  }
  std::unique_lock lock(answerMutex_);
  if (!answerCv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [&] { return !answers_.empty() || !alive_; }))
    return std::nullopt;
  if (answers_.empty()) return std::nullopt;
  vkbd::Frame f = std::move(answers_.front());
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
        answers_.push_back(std::move(*f));
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

}  // namespace orlix::platform
