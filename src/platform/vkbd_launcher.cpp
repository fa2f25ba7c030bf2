#include "platform/vkbd_launcher.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/paths.h"
#include "platform/vkbd_client.h"

extern char** environ;

#ifndef ORLIX_INSTALL_BINDIR
#define ORLIX_INSTALL_BINDIR "/usr/local/bin"
#endif

namespace orlix::platform {

std::filesystem::path findVkbdProgram() {
  std::error_code ec;
  std::vector<std::filesystem::path> candidates{executableFolder() / "orlix-vkbd",
                                                std::filesystem::path(ORLIX_INSTALL_BINDIR) / "orlix-vkbd"};
  if (const char* path = std::getenv("PATH")) {
    std::string p = path;
    size_t start = 0;
    while (start <= p.size()) {
      size_t end = p.find(':', start);
      if (end == std::string::npos) end = p.size();
      if (end > start) candidates.push_back(std::filesystem::path(p.substr(start, end - start)) / "orlix-vkbd");
      start = end + 1;
    }
  }
  for (auto& c : candidates)
    if (::access(c.c_str(), X_OK) == 0) return c;
  return {};
}

bool vkbdAnswers(const std::filesystem::path& socket) {
  VkbdConnection c;
  return c.connect(socket, 1000);
}

bool startVkbd(const std::filesystem::path& socket, const std::filesystem::path& state, std::string& error,
               int timeoutMs) {
  if (vkbdAnswers(socket)) return true;
  auto program = findVkbdProgram();
  if (program.empty()) {
    error = "orlix-vkbd was not found beside orlixctl or on PATH";
    return false;
  }
  std::vector<std::string> args{program.string(), "--socket", socket.string(), "--daemon"};
  if (!state.empty()) {
    args.push_back("--state");
    args.push_back(state.string());
  }
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    error = "cannot start " + program.string();
    return false;
  }
  // With --daemon the program forks once more and its first process exits when
  // the socket is ready (or with an error), so this wait is short.
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    error = "orlix-vkbd could not start (is another one running, or is the socket folder writable?)";
    return false;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    if (vkbdAnswers(socket)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  error = "orlix-vkbd did not answer at " + socket.string();
  return false;
}

}  // namespace orlix::platform
