#include "platform/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/paths.h"

namespace orlix::platform {

namespace {

constexpr size_t kMaxWord = 64;
constexpr int kPeerWaitMs = 100;

// An abstract socket address: a leading NUL, then the name (no file is made).
socklen_t abstractAddress(std::string_view name, sockaddr_un& addr) {
  std::string full = std::string(name) + "-" + std::to_string(::getuid());
  addr = {};
  addr.sun_family = AF_UNIX;
  size_t n = std::min(full.size(), sizeof addr.sun_path - 1);
  std::memcpy(addr.sun_path + 1, full.data(), n);
  return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + n);
}

bool sameUser(int fd) {
  ucred cred{};
  socklen_t len = sizeof cred;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::getuid();
}

std::string readWord(int fd) {
  std::string word;
  char buf[kMaxWord];
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPeerWaitMs);
  while (word.size() < kMaxWord) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, int(left.count())) <= 0) break;
    ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    word.append(buf, size_t(n));
    if (word.find('\n') != std::string::npos) break;
  }
  auto end = word.find_first_of("\r\n");
  if (end != std::string::npos) word.resize(end);
  if (word.size() > kMaxWord) word.resize(kMaxWord);
  return word;
}

}  // namespace

SingleInstance::SingleInstance(std::string name, std::filesystem::path lockFolder)
    : name_(std::move(name)), lockFolder_(lockFolder.empty() ? runtimeFolder() : std::move(lockFolder)) {}

SingleInstance::~SingleInstance() {
  if (listenFd_ >= 0) ::close(listenFd_);
  if (lockFd_ >= 0) ::close(lockFd_);  // closing the descriptor releases the flock
}

SingleInstance::Result SingleInstance::acquire() {
  if (listenFd_ >= 0) return Result::First;
  if (lockFd_ < 0 && ensurePrivateFolder(lockFolder_)) {
    auto file = lockFolder_ / (name_ + ".lock");
    // No link is followed: a link planted under the lock's name must never get
    // another file truncated.
    int fd = openNoFollow(file, O_RDWR | O_CREAT);
    if (fd >= 0) {
      if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return Result::Second;
      }
      lockFd_ = fd;
      std::string pid = std::to_string(::getpid()) + "\n";
      if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] auto n = ::pwrite(fd, pid.data(), pid.size(), 0);
      }
    }
  }
  sockaddr_un addr;
  socklen_t len = abstractAddress(name_, addr);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return Result::First;  // no socket: still the only copy the lock knows of
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || ::listen(fd, 8) != 0) {
    bool taken = errno == EADDRINUSE;
    ::close(fd);
    // With the lock held this copy is first whoever holds the name: anyone can
    // bind an abstract name, so a name taken by another user must not stop the
    // program. It then runs without the channel.
    if (taken && lockFd_ < 0) return Result::Second;
    return Result::First;
  }
  listenFd_ = fd;
  return Result::First;
}

std::vector<std::string> SingleInstance::drain() {
  std::vector<std::string> words;
  if (listenFd_ < 0) return words;
  while (true) {
    int c = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (c < 0) {
      if (errno == EINTR) continue;
      break;  // EAGAIN: nobody else is waiting
    }
    if (sameUser(c)) {
      std::string w = readWord(c);
      if (!w.empty()) words.push_back(std::move(w));
    }
    ::close(c);
  }
  return words;
}

bool SingleInstance::signalFirst(std::string_view word, std::string_view name, int timeoutMs) {
  sockaddr_un addr;
  socklen_t len = abstractAddress(name, addr);
  std::string line = std::string(word) + "\n";
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (true) {
    // Non-blocking: a first copy that is stopped with a full listen queue must
    // not hold this one up past the deadline (connect then fails with EAGAIN).
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0) {
      // Words go only to a copy of this user, never to whoever took the name.
      if (!sameUser(fd)) {
        ::close(fd);
        return false;
      }
      bool ok = ::send(fd, line.data(), line.size(), MSG_NOSIGNAL) == ssize_t(line.size());
      ::close(fd);
      return ok;
    }
    ::close(fd);
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace orlix::platform
