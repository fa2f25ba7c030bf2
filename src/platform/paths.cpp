#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#ifndef ORLIX_INSTALL_DATADIR
#define ORLIX_INSTALL_DATADIR "/usr/local/share/orlix"
#endif

namespace orlix::platform {

namespace {
std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

fs::path home() {
  std::string h = env("HOME");
  return h.empty() ? fs::path("/tmp") : fs::path(h);
}
}  // namespace

fs::path executableFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::current_path(ec);
  return exe.parent_path();
}

fs::path programFolder(const std::string& override) {
  if (!override.empty()) return fs::absolute(override);
  std::string e = env("ORLIX_ROOT");
  if (!e.empty()) return fs::absolute(e);
  std::error_code ec;
  fs::path exe = executableFolder();
  if (fs::is_directory(exe / "skins", ec) || fs::is_directory(exe / "Language", ec)) return exe;
  return fs::path(ORLIX_INSTALL_DATADIR);
}

fs::path dataFolder(const fs::path& programFolder) {
  if (::access(programFolder.c_str(), W_OK) == 0) return programFolder;
  std::string x = env("XDG_DATA_HOME");
  fs::path base = x.empty() ? home() / ".local" / "share" : fs::path(x);
  return base / "orlix";
}

fs::path configFolder(const std::string& override) {
  if (!override.empty()) return fs::absolute(override);
  std::string e = env("ORLIX_CONFIG_DIR");
  if (!e.empty()) return fs::absolute(e);
  std::string x = env("XDG_CONFIG_HOME");
  fs::path base = x.empty() ? home() / ".config" : fs::path(x);
  return base / "orlix";
}

fs::path runtimeFolder() {
  std::string x = env("XDG_RUNTIME_DIR");
  if (!x.empty()) return fs::path(x) / "orlix";
  return fs::path("/tmp") / ("orlix-" + std::to_string(::getuid()));
}

fs::path stateFolder() {
  std::string x = env("XDG_STATE_HOME");
  fs::path base = x.empty() ? home() / ".local" / "state" : fs::path(x);
  return base / "orlix";
}

fs::path defaultVkbdSocket() {
  std::string e = env("ORLIX_VKBD_SOCKET");
  if (!e.empty()) return fs::path(e);
  return runtimeFolder() / "umorlixdrv.sock";
}

bool ensureFolder(const fs::path& folder) {
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return true;
  if (!folder.has_parent_path() || folder.parent_path() == folder) return false;
  if (!ensureFolder(folder.parent_path())) return false;
  if (::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) return fs::is_directory(folder, ec);
  return false;
}

bool writeFileAtomically(const fs::path& file, const void* data, size_t size) {
  fs::path tmp = file;
  tmp += ".tmp-" + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const char* p = static_cast<const char*>(data);
  size_t left = size;
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ::close(fd);
      ::unlink(tmp.c_str());
      return false;
    }
    p += n;
    left -= size_t(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  if (::rename(tmp.c_str(), file.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace orlix::platform
