#pragma once
// The virtual keyboard daemon: serves a VirtualKeyboard to any number of clients
// on a Unix socket, keeps its memory in <state>/memory.bin and logs every
// transfer to <state>/transfers.log.

#include <chrono>
#include <filesystem>
#include <fstream>
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

  // Prepares the state folder (loading memory.bin when present) and binds the
  // socket, replacing a stale one. False with error() when another daemon
  // answers there or the socket cannot be made.
  bool listen();
  // Serves until a client asks for shutdown or stop() is called.
  void run();
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
  void drop(size_t i);
  void log(VirtualKeyboard::LogKind kind, std::span<const uint8_t> bytes);
  void saveMemory(std::span<const uint8_t> memory);
  std::string status() const;

  VirtualKeyboard& keyboard_;
  std::filesystem::path socketPath_, stateFolder_;
  std::string error_;
  int listenFd_ = -1;
  int wakePipe_[2] = {-1, -1};
  bool running_ = false;
  std::vector<std::unique_ptr<Client>> clients_;
  std::ofstream logFile_;
  uint64_t seq_ = 0;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace orlix::platform
