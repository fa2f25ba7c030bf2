#include "platform/vkbd_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>

#include "core/util/bytes.h"
#include "platform/paths.h"

namespace orlix::platform {

namespace fs = std::filesystem;

namespace {
// A client whose queued answers pass this is not read from (nor its buffered
// requests served) until it has taken them: a burst of requests costs at most
// this much plus one answer, however many the burst holds.
constexpr size_t kReadPause = 256 << 10;
// Notices still queue for a client that stopped reading; past this it is dropped.
constexpr size_t kMaxPendingOutput = 4 << 20;
// How long the listening socket rests when accept runs out of descriptors.
constexpr int kAcceptBackoffMs = 100;

bool writeAllFd(int fd, const std::string& text) {
  size_t off = 0;
  while (off < text.size()) {
    ssize_t n = ::write(fd, text.data() + off, text.size() - off);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    off += size_t(n);
  }
  return true;
}
}  // namespace

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
  if (memoryDirty_) saveMemory();
  for (auto& c : clients_) ::close(c->fd);
  releaseSocket();
  if (lockFd_ >= 0) ::close(lockFd_);
  if (logFd_ >= 0) ::close(logFd_);
  for (int fd : wakePipe_)
    if (fd >= 0) ::close(fd);
  keyboard_.onLog = nullptr;
  keyboard_.onMemoryWritten = nullptr;
}

void VkbdServer::releaseSocket() {
  if (listenFd_ < 0) return;
  ::close(listenFd_);
  listenFd_ = -1;
  // Remove the socket only while it is still the one bound here.
  struct stat st {};
  if (::lstat(socketPath_.c_str(), &st) == 0 && st.st_dev == socketDev_ && st.st_ino == socketIno_)
    ::unlink(socketPath_.c_str());
}

bool VkbdServer::listen() {
  if (!ensureFolder(stateFolder_)) {
    error_ = "cannot create the state folder " + stateFolder_.string();
    return false;
  }
  // The default socket folder is shared ground when it falls back to /tmp:
  // only a private folder of this user is used.
  fs::path socketFolder = socketPath_.parent_path();
  if (socketFolder == runtimeFolder()) {
    std::string why;
    if (!ensurePrivateFolder(socketFolder, &why)) {
      error_ = "unsafe socket folder " + why;
      return false;
    }
  } else if (!ensureFolder(socketFolder)) {
    error_ = "cannot create the socket folder " + socketFolder.string();
    return false;
  }
  std::string p = socketPath_.string();
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (p.size() >= sizeof addr.sun_path) {
    error_ = "socket path too long: " + p;
    return false;
  }
  std::memcpy(addr.sun_path, p.c_str(), p.size() + 1);
  // One daemon per socket. The lock, not a probe of the socket, decides: a
  // probe, an unlink and a bind by two daemons starting at once can interleave.
  fs::path lockFile = socketPath_;
  lockFile += ".lock";
  lockFd_ = openNoFollow(lockFile, O_RDWR | O_CREAT);
  if (lockFd_ < 0) {
    error_ = "cannot open the lock " + lockFile.string() + ": " + std::strerror(errno);
    return false;
  }
  if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    error_ = "a virtual keyboard is already running at " + p;
    return false;
  }
  // A daemon that takes no lock (an older build) may still answer there. The
  // probe does not wait: a full listen queue (EAGAIN) also means someone is there.
  int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (probe >= 0) {
    int r = ::connect(probe, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    int err = errno;
    ::close(probe);
    if (r == 0 || err == EAGAIN || err == EINPROGRESS) {
      error_ = "a virtual keyboard is already running at " + p;
      return false;
    }
  }

  {
    int fd = openNoFollow(stateFolder_ / "memory.bin", O_RDONLY);
    if (fd < 0 && errno == ELOOP) {
      error_ = (stateFolder_ / "memory.bin").string() + " is a symbolic link";
      return false;
    }
    if (fd >= 0) {
      std::vector<uint8_t> bytes(VirtualKeyboard::kMemorySize);
      size_t got = 0;
      while (got < bytes.size()) {
        ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += size_t(n);
      }
      ::close(fd);
      bytes.resize(got);
      keyboard_.loadMemory(bytes);
    }
  }
  logFd_ = openNoFollow(stateFolder_ / "transfers.log", O_WRONLY | O_CREAT | O_TRUNC);
  if (logFd_ < 0) {
    error_ = "cannot write " + (stateFolder_ / "transfers.log").string() + ": " + std::strerror(errno);
    return false;
  }
  saveMemory();
  keyboard_.onLog = [this](VirtualKeyboard::LogKind k, std::span<const uint8_t> b) { log(k, b); };
  keyboard_.onMemoryWritten = [this](std::span<const uint8_t>) {
    // Hundreds of writes come in one apply: memory.bin follows shortly after,
    // not once per write, so no client waits on the disk for each of them.
    if (!memoryDirty_) memoryDue_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(kMemorySaveDelayMs);
    memoryDirty_ = true;
  };

  ::unlink(p.c_str());
  listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  // The socket file is made private as it is created; a chmod after bind would
  // leave a moment in which others may connect.
  mode_t oldMask = ::umask(0177);
  bool bound = listenFd_ >= 0 && ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  int bindErr = errno;
  ::umask(oldMask);
  if (!bound || ::listen(listenFd_, 16) != 0) {
    error_ = "cannot listen at " + p + ": " + std::strerror(bound ? errno : bindErr);
    if (listenFd_ >= 0) {
      ::close(listenFd_);
      if (bound) ::unlink(p.c_str());
    }
    listenFd_ = -1;
    return false;
  }
  struct stat st {};
  if (::lstat(p.c_str(), &st) == 0) {
    socketDev_ = st.st_dev;
    socketIno_ = st.st_ino;
  }
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
    auto now = std::chrono::steady_clock::now();
    bool listening = now >= acceptPausedUntil_;
    std::vector<pollfd> fds;
    fds.push_back({listening ? listenFd_ : -1, POLLIN, 0});
    fds.push_back({wakePipe_[0], POLLIN, 0});
    for (auto& c : clients_) {
      short ev = c->out.size() < kReadPause ? POLLIN : 0;
      if (!c->out.empty()) ev |= POLLOUT;
      fds.push_back({c->fd, ev, 0});
    }
    int timeout = -1;
    auto until = [&](std::chrono::steady_clock::time_point t) {
      auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t - now).count() + 1;
      int left = int(std::max<long long>(ms, 0));
      timeout = timeout < 0 ? left : std::min(timeout, left);
    };
    if (memoryDirty_) until(memoryDue_);
    if (!listening) until(acceptPausedUntil_);
    int n = ::poll(fds.data(), fds.size(), timeout);
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
      // Requests held back while the answers queued are served as they drain.
      if (ok && running_) ok = serveBuffered(c);
      if (!ok || (c.closing && c.out.empty())) drop(i);
      if (!running_) break;
    }
    if (fds[0].revents & POLLIN) accept();
    if (memoryDirty_ && std::chrono::steady_clock::now() >= memoryDue_) saveMemory();
  }
  if (memoryDirty_) saveMemory();
  // Deliver what is still queued (the answer to a shutdown request).
  for (auto& c : clients_)
    if (!c->out.empty()) [[maybe_unused]] auto w = ::send(c->fd, c->out.data(), c->out.size(), MSG_NOSIGNAL);
}

void VkbdServer::accept() {
  while (true) {
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
      // Out of descriptors the connection stays queued and the socket stays
      // readable: polling it again at once would spin.
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
        acceptPausedUntil_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(kAcceptBackoffMs);
      return;
    }
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
  if (c.out.size() >= kReadPause) return true;  // hung up or not, its answers come first
  uint8_t buf[16384];
  ssize_t n = ::recv(c.fd, buf, sizeof buf, MSG_DONTWAIT);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
  if (n <= 0) return false;
  c.reader.feed({buf, size_t(n)});
  return serveBuffered(c);
}

bool VkbdServer::serveBuffered(Client& c) {
  while (!c.closing && c.out.size() < kReadPause) {
    auto f = c.reader.next();
    if (!f) break;
    handle(c, *f);
    if (!running_) return true;
  }
  if (c.reader.failed() && !c.closing) {
    // The stream cannot be resynchronised: answer, then hang up on this client only.
    send(c, vkbd::encodeText(vkbd::kError, c.reader.error()));
    c.closing = true;
  }
  return c.out.size() <= kMaxPendingOutput;
}

void VkbdServer::send(Client& c, std::vector<uint8_t> bytes) {
  c.out.insert(c.out.end(), bytes.begin(), bytes.end());
}

void VkbdServer::unplug() {
  unplugAfter_ = 0;
  keyboard_.setPlugged(false);
  for (auto& other : clients_) other->deviceOpen = false;
  broadcast(vkbd::kUnplugged);
}

void VkbdServer::broadcast(uint8_t type) {
  for (auto& c : clients_) send(*c, vkbd::encode(type));
}

void VkbdServer::drop(size_t i) {
  keyboard_.detach(clients_[i]->session);
  // A client that goes may be about to look at memory.bin.
  if (memoryDirty_) saveMemory();
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
      // What was written is on disk once the close is answered.
      if (memoryDirty_) saveMemory();
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
      // An unplug timed by transfers takes effect once this one is answered.
      if (unplugDue_) {
        unplugDue_ = false;
        std::vector<uint8_t> reply{uint8_t(ok ? 1 : 0)};
        if (ok) reply.insert(reply.end(), out.begin(), out.end());
        send(c, vkbd::encode(vkbd::kControlResult, reply));
        unplug();
        return;
      }
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
      if (b.size() == 4 && getU32(b, 0) > 0) {
        unplugAfter_ = getU32(b, 0);
        return result(true);
      }
      if (!b.empty() && b.size() != 4) return error("unplug takes nothing or a 32-bit transfer count");
      unplug();
      result(true);
      return;
    case vkbd::kPlug:
      unplugAfter_ = 0;
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
      // Done with everything a next daemon takes over before the answer:
      // whoever asked may start one at once.
      if (memoryDirty_) saveMemory();
      releaseSocket();
      if (lockFd_ >= 0) ::close(lockFd_);
      lockFd_ = -1;
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
  std::ostringstream line;
  line << ++seq_ << ' ' << ms << ' ' << dir << ' ' << bytes.size() << ' ' << toHex(bytes) << '\n';
  if (logFd_ >= 0) writeAllFd(logFd_, line.str());
  if (kind == VirtualKeyboard::LogKind::Out && unplugAfter_ > 0 && --unplugAfter_ == 0) unplugDue_ = true;
}

void VkbdServer::saveMemory() {
  auto mem = keyboard_.memory();
  memoryDirty_ = false;
  ++memorySaves_;
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
    << "transfers " << seq_ << "\n"
    << "memory-saves " << memorySaves_ << "\n";
  return s.str();
}

}  // namespace orlix::platform
