#pragma once
// The virtual keyboard daemon: serves a VirtualKeyboard to any number of clients
// on a Unix socket, keeps its memory in <state>/memory.bin and logs every
// transfer to <state>/transfers.log. One daemon per socket: it holds
// <socket>.lock with flock while it runs.

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/device/virtual_keyboard.h"
#include "core/device/vkbd_protocol.h"

namespace orlix::platform {

class VkbdServer {
 public:
  VkbdServer(VirtualKeyboard& keyboard, std::filesystem::path socketPath, std::filesystem::path stateFolder);
  ~VkbdServer();

  // Prepares the state folder (loading memory.bin when present), takes the
  // socket's lock and binds the socket, replacing a stale one. False with
  // error() when another daemon holds the lock or answers there, a state file
  // is a symbolic link, or the socket cannot be made.
  bool listen();
  // Serves until a client asks for shutdown or stop() is called. memory.bin is
  // rewritten at most every kMemorySaveDelayMs while memory writes come in,
  // before a close request is answered, when a client goes and when run() ends.
  void run();
  static constexpr int kMemorySaveDelayMs = 100;
  // Safe from a signal handler.
  void stop();
  const std::string& error() const { return error_; }

 private:
  struct Client;
  void accept();
  bool readFrom(Client& c);
  void handle(Client& c, const vkbd::Frame& f);
  void send(Client& c, std::vector<uint8_t> bytes);
  void broadcast(uint8_t type);
  void unplug();
  void drop(size_t i);
  void log(VirtualKeyboard::LogKind kind, std::span<const uint8_t> bytes);
  void saveMemory();
  void releaseSocket();
  bool serveBuffered(Client& c);
  std::string status() const;

  VirtualKeyboard& keyboard_;
  std::filesystem::path socketPath_, stateFolder_;
  std::string error_;
  int listenFd_ = -1;
  int lockFd_ = -1;
  int logFd_ = -1;
  // The socket file this daemon bound: only that one is removed at exit.
  dev_t socketDev_ = 0;
  ino_t socketIno_ = 0;
  int wakePipe_[2] = {-1, -1};
  bool memoryDirty_ = false;
  std::chrono::steady_clock::time_point memoryDue_;
  uint64_t memorySaves_ = 0;
  // An unplug asked for "after N transfers": how many are still to come.
  uint32_t unplugAfter_ = 0;
  bool unplugDue_ = false;
  // Set when accept ran out of descriptors: the listening socket rests until then.
  std::chrono::steady_clock::time_point acceptPausedUntil_;
  std::atomic<bool> running_{false};  // cleared by stop() from other threads and signal handlers
  std::vector<std::unique_ptr<Client>> clients_;
  uint64_t seq_ = 0;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace orlix::platform
