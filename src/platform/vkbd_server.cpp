#include "platform/vkbd_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "core/util/bytes.h"
#include "platform/paths.h"

namespace orlix::platform {

namespace {
constexpr size_t kMaxPendingOutput = 4 << 20;  // a client that stops reading is dropped
}

struct VkbdServer::Client {
  int fd = -1;
  vkbd::FrameReader reader;
  std::vector<uint8_t> out;
  VirtualKeyboard::Session session;
  bool deviceOpen = false;
  bool closing = false;
};

VkbdServer::VkbdServer(VirtualKeyboard& keyboard, std::filesystem::path socketPath,
                       std::filesystem::path stateFolder)
    : keyboard_(keyboard), socketPath_(std::move(socketPath)), stateFolder_(std::move(stateFolder)) {
  start_ = std::chrono::steady_clock::now();
}

VkbdServer::~VkbdServer() {
  for (auto& c : clients_) ::close(c->fd);
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    ::unlink(socketPath_.c_str());
  }
  for (int fd : wakePipe_)
    if (fd >= 0) ::close(fd);
  keyboard_.onLog = nullptr;
  keyboard_.onMemoryWritten = nullptr;
}

bool VkbdServer::listen() {
  if (!ensureFolder(stateFolder_)) {
    error_ = "cannot create the state folder " + stateFolder_.string();
    return false;
  }
  {
    std::ifstream mem(stateFolder_ / "memory.bin", std::ios::binary);
    if (mem) {
      std::vector<uint8_t> bytes(VirtualKeyboard::kMemorySize);
      mem.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
      bytes.resize(size_t(mem.gcount()));
      keyboard_.loadMemory(bytes);
    }
  }
  logFile_.open(stateFolder_ / "transfers.log", std::ios::out | std::ios::trunc);
  if (!logFile_) {
    error_ = "cannot write " + (stateFolder_ / "transfers.log").string();
    return false;
  }
  saveMemory(keyboard_.memory());
  keyboard_.onLog = [this](VirtualKeyboard::LogKind k, std::span<const uint8_t> b) { log(k, b); };
  keyboard_.onMemoryWritten = [this](std::span<const uint8_t> m) { saveMemory(m); };

  if (!ensureFolder(socketPath_.parent_path())) {
    error_ = "cannot create the socket folder " + socketPath_.parent_path().string();
    return false;
  }
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::string p = socketPath_.string();
  if (p.size() >= sizeof addr.sun_path) {
    error_ = "socket path too long: " + p;
    return false;
  }
  std::memcpy(addr.sun_path, p.c_str(), p.size() + 1);
  // A socket file nobody answers on is left over from a daemon that died.
  int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (::connect(probe, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
    ::close(probe);
    error_ = "a virtual keyboard is already running at " + p;
    return false;
  }
  ::close(probe);
  ::unlink(p.c_str());
  listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 16) != 0) {
    error_ = "cannot listen at " + p + ": " + std::strerror(errno);
    return false;
  }
  ::chmod(p.c_str(), 0600);
  if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
    error_ = "cannot create a pipe";
    return false;
  }
  return true;
}

void VkbdServer::stop() {
  running_ = false;
  if (wakePipe_[1] >= 0) {
    char c = 1;
    [[maybe_unused]] auto n = ::write(wakePipe_[1], &c, 1);
  }
}

void VkbdServer::run() {
  running_ = true;
  while (running_) {
    std::vector<pollfd> fds;
    fds.push_back({listenFd_, POLLIN, 0});
    fds.push_back({wakePipe_[0], POLLIN, 0});
    for (auto& c : clients_) {
      short ev = POLLIN;
      if (!c->out.empty()) ev |= POLLOUT;
      fds.push_back({c->fd, ev, 0});
    }
    int n = ::poll(fds.data(), fds.size(), -1);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents) break;
    // Walk clients from the back so drop() keeps earlier indexes valid.
    for (size_t i = clients_.size(); i-- > 0;) {
      Client& c = *clients_[i];
      short re = fds[i + 2].revents;
      bool ok = true;
      if (re & (POLLIN | POLLHUP | POLLERR)) ok = readFrom(c);
      if (ok && !c.out.empty()) {
        ssize_t w = ::send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (w > 0) c.out.erase(c.out.begin(), c.out.begin() + w);
        else if (w < 0 && errno != EAGAIN && errno != EINTR) ok = false;
      }
      if (!ok || (c.closing && c.out.empty())) drop(i);
    }
    if (fds[0].revents & POLLIN) accept();
  }
  // Deliver what is still queued (the answer to a shutdown request).
  for (auto& c : clients_)
    if (!c->out.empty()) [[maybe_unused]] auto w = ::send(c->fd, c->out.data(), c->out.size(), MSG_NOSIGNAL);
}

void VkbdServer::accept() {
  while (true) {
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    auto c = std::make_unique<Client>();
    c->fd = fd;
    Client* raw = c.get();
    c->session.signal = [this, raw](uint32_t handle) {
      send(*raw, vkbd::encodeU32(vkbd::kSignal, handle));
      return true;
    };
    clients_.push_back(std::move(c));
  }
}

bool VkbdServer::readFrom(Client& c) {
  uint8_t buf[16384];
  ssize_t n = ::recv(c.fd, buf, sizeof buf, MSG_DONTWAIT);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
  if (n <= 0) return false;
  c.reader.feed({buf, size_t(n)});
  while (auto f = c.reader.next()) {
    handle(c, *f);
    if (!running_) return true;
  }
  if (c.reader.failed()) {
    // The stream cannot be resynchronised: answer, then hang up on this client only.
    send(c, vkbd::encodeText(vkbd::kError, c.reader.error()));
    c.closing = true;
  }
  return c.out.size() <= kMaxPendingOutput;
}

void VkbdServer::send(Client& c, std::vector<uint8_t> bytes) {
  c.out.insert(c.out.end(), bytes.begin(), bytes.end());
}

void VkbdServer::broadcast(uint8_t type) {
  for (auto& c : clients_) send(*c, vkbd::encode(type));
}

void VkbdServer::drop(size_t i) {
  keyboard_.detach(clients_[i]->session);
  ::close(clients_[i]->fd);
  clients_.erase(clients_.begin() + ptrdiff_t(i));
}

void VkbdServer::handle(Client& c, const vkbd::Frame& f) {
  auto result = [&](bool ok) {
    uint8_t b = ok ? 1 : 0;
    send(c, vkbd::encode(vkbd::kResult, {&b, 1}));
  };
  auto error = [&](const std::string& m) { send(c, vkbd::encodeText(vkbd::kError, m)); };
  const auto& b = f.body;
  switch (f.type) {
    case vkbd::kHello: {
      uint8_t v[2];
      putU16(v, 0, vkbd::kProtocolVersion);
      send(c, vkbd::encode(vkbd::kHelloOk, v));
      return;
    }
    case vkbd::kOpen:
      c.deviceOpen = keyboard_.plugged();
      result(c.deviceOpen);
      return;
    case vkbd::kClose:
      c.deviceOpen = false;
      keyboard_.detach(c.session);
      result(true);
      return;
    case vkbd::kControl: {
      if (b.size() < 8) return error("control request too short");
      uint32_t code = getU32(b, 0), outSize = getU32(b, 4);
      if (outSize > vkbd::kMaxControlOutput) return error("control output too large");
      std::vector<uint8_t> in(b.begin() + 8, b.end());
      std::vector<uint8_t> out(outSize);
      // The event request passes one buffer as input and output.
      if (outSize == in.size()) out = in;
      bool ok = c.deviceOpen && keyboard_.control(c.session, code, in, out);
      std::vector<uint8_t> reply;
      reply.push_back(ok ? 1 : 0);
      if (ok) reply.insert(reply.end(), out.begin(), out.end());
      send(c, vkbd::encode(vkbd::kControlResult, reply));
      return;
    }
    case vkbd::kStatus:
      send(c, vkbd::encodeText(vkbd::kText, status()));
      return;
    case vkbd::kEvent:
      if (b.size() != 4) return error("event needs a 32-bit word");
      result(keyboard_.pushEvent(getU32(b, 0)));
      return;
    case vkbd::kUnplug:
      keyboard_.setPlugged(false);
      for (auto& other : clients_) other->deviceOpen = false;
      broadcast(vkbd::kUnplugged);
      result(true);
      return;
    case vkbd::kPlug:
      keyboard_.setPlugged(true);
      broadcast(vkbd::kPlugged);
      result(true);
      return;
    case vkbd::kReset:
      keyboard_.reset();
      result(true);
      return;
    case vkbd::kDump: {
      auto mem = keyboard_.memory();
      send(c, vkbd::encode(vkbd::kMemory, mem));
      return;
    }
    case vkbd::kLighting: {
      std::string text;
      for (auto& cmd : keyboard_.lightingCommands()) text += toHex(cmd) + "\n";
      send(c, vkbd::encodeText(vkbd::kText, text));
      return;
    }
    case vkbd::kSetVersion:
      if (b.size() != 2) return error("version needs two bytes");
      keyboard_.setVersion(b[0], b[1]);
      result(true);
      return;
    case vkbd::kShutdown:
      result(true);
      running_ = false;
      return;
    default:
      return error("unknown request type " + std::to_string(f.type));
  }
}

void VkbdServer::log(VirtualKeyboard::LogKind kind, std::span<const uint8_t> bytes) {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
  const char* dir = kind == VirtualKeyboard::LogKind::Out ? "out" : kind == VirtualKeyboard::LogKind::In ? "in" : "evt";
  logFile_ << ++seq_ << ' ' << ms << ' ' << dir << ' ' << bytes.size() << ' ' << toHex(bytes) << '\n';
  logFile_.flush();
}

void VkbdServer::saveMemory(std::span<const uint8_t> mem) {
  writeFileAtomically(stateFolder_ / "memory.bin", mem.data(), mem.size());
}

std::string VkbdServer::status() const {
  std::ostringstream s;
  s << "plugged " << (keyboard_.plugged() ? "yes" : "no") << "\n"
    << "socket " << socketPath_.string() << "\n"
    << "state " << stateFolder_.string() << "\n"
    << "pid " << ::getpid() << "\n"
    << "clients " << clients_.size() << "\n"
    << "pending-events " << keyboard_.pendingEvents() << "\n"
    << "lighting-commands " << keyboard_.lightingCommands().size() << "\n"
    << "transfers " << seq_ << "\n";
  return s.str();
}

}  // namespace orlix::platform
