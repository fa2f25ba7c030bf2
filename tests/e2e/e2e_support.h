#pragma once
// Helpers for tests that run the built programs: a temporary folder, running a
// command with its output, and a virtual keyboard daemon for the test's life.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace orlix::e2e {

namespace fs = std::filesystem;

inline fs::path binDir() { return ORLIX_BIN_DIR; }

struct TempDir {
  fs::path path;
  TempDir() {
    char tmpl[] = "/tmp/orlix-e2e-XXXXXX";
    if (::mkdtemp(tmpl)) path = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

struct RunResult {
  int exitCode = -1;
  std::string output;  // stdout and stderr together
};

// Runs a shell command line (arguments of tests only, never user input).
inline RunResult run(const std::string& command) {
  RunResult r;
  FILE* p = ::popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  int status = ::pclose(p);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

// orlixctl of the build tree, talking to the virtual keyboard at socket.
inline std::string orlixctl(const fs::path& socket) {
  return "ORLIX_VKBD_SOCKET='" + socket.string() + "' '" + (binDir() / "orlixctl").string() + "'";
}

// A daemon on the test's own socket and state folder, stopped at the end.
struct Daemon {
  fs::path socket, state;
  bool started = false;
  explicit Daemon(const fs::path& dir) : socket(dir / "vkbd.sock"), state(dir / "state") {
    started = run(orlixctl(socket) + " sim start --state '" + state.string() + "'").exitCode == 0;
  }
  ~Daemon() { run(orlixctl(socket) + " sim stop"); }
};

}  // namespace orlix::e2e
