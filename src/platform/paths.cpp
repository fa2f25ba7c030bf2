#include "platform/paths.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <cerrno>
#include <cstdlib>
#include <cstring>
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
  return programFolderBeside(executableFolder());
}

fs::path programFolderBeside(const fs::path& exe) {
  std::error_code ec;
  for (const char* marker : {"skins", "Language", "Profile"})
    if (fs::is_directory(exe / marker, ec)) return exe;
  fs::path relocated = exe.parent_path() / "share" / "orlix";
  if (exe.filename() == "bin" && fs::is_directory(relocated, ec)) return relocated.lexically_normal();
  return fs::path(ORLIX_INSTALL_DATADIR);
}

fs::path dataFolder(const fs::path& programFolder) {
  if (::access(programFolder.c_str(), W_OK) == 0) return programFolder;
  std::string x = env("XDG_DATA_HOME");
  fs::path base = x.empty() ? home() / ".local" / "share" : fs::path(x);
  return base / "orlix";
}

bool prepareDataFolder(const fs::path& programFolder, const fs::path& dataFolder) {
  std::error_code ec;
  if (fs::equivalent(programFolder, dataFolder, ec) || programFolder == dataFolder) return true;
  if (!ensureFolder(dataFolder / "Profile")) return false;
  fs::path macros = dataFolder / "Macro.cfg";
  fs::path shipped = programFolder / "Macro.cfg";
  if (fs::exists(macros, ec) || !fs::is_regular_file(shipped, ec)) return true;
  // Copy through a temporary name so a half-copied library is never taken for a whole one.
  fs::path tmp = macros;
  tmp += ".tmp-" + std::to_string(::getpid());
  if (!fs::copy_file(shipped, tmp, fs::copy_options::overwrite_existing, ec)) {
    fs::remove(tmp, ec);
    return false;
  }
  if (::link(tmp.c_str(), macros.c_str()) != 0 && errno != EEXIST) {
    fs::remove(tmp, ec);
    return false;
  }
  fs::remove(tmp, ec);
  return true;
}

fs::path preparedDataFolder(const fs::path& programFolder) {
  fs::path data = dataFolder(programFolder);
  prepareDataFolder(programFolder, data);
  removeStaleTemporaries(data);
  removeStaleTemporaries(data / "Profile");
  return data;
}

int removeStaleTemporaries(const fs::path& folder) {
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    auto at = name.rfind(".tmp-");
    if (at == std::string::npos || at == 0) continue;
    // <pid> or <pid>-<counter>, digits only.
    std::string rest = name.substr(at + 5);
    auto dash = rest.find('-');
    std::string pid = rest.substr(0, dash);
    std::string counter = dash == std::string::npos ? std::string("0") : rest.substr(dash + 1);
    auto digits = [](const std::string& t) {
      return !t.empty() && t.size() <= 10 && t.find_first_not_of("0123456789") == std::string::npos;
    };
    if (!digits(pid) || !digits(counter)) continue;
    long p = std::stol(pid);
    if (p <= 0 || (::kill(pid_t(p), 0) == 0 || errno == EPERM)) continue;  // its writer still runs
    if (!it->is_regular_file(ec) || it->is_symlink(ec)) continue;
    if (fs::remove(it->path(), ec)) ++removed;
  }
  return removed;
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

fs::path sysfsRoot() {
  std::string e = env("ORLIX_SYSFS_ROOT");
  return e.empty() ? fs::path("/sys") : fs::path(e);
}

bool ensureFolder(const fs::path& folder) {
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return true;
  if (!folder.has_parent_path() || folder.parent_path() == folder) return false;
  if (!ensureFolder(folder.parent_path())) return false;
  if (::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) return fs::is_directory(folder, ec);
  return false;
}

bool ensurePrivateFolder(const fs::path& folder, std::string* why) {
  auto refuse = [&](const std::string& reason) {
    if (why) *why = folder.string() + ": " + reason;
    return false;
  };
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    if (errno != ENOENT || !folder.has_parent_path() || !ensureFolder(folder.parent_path()) ||
        (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST))
      return refuse(std::string("cannot create the folder (") + std::strerror(errno) + ")");
  }
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0) return refuse(std::strerror(errno));
  if (!S_ISDIR(st.st_mode)) return refuse("not a folder");
  if (st.st_uid != ::getuid()) return refuse("owned by another user");
  if ((st.st_mode & 077) != 0) return refuse("open to other users (mode must be 0700)");
  return true;
}

int openNoFollow(const fs::path& file, int flags) {
  return ::open(file.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, 0600);
}

bool writeFileAtomically(const fs::path& file, const void* data, size_t size) {
  static std::atomic<unsigned> counter{0};
  fs::path tmp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    tmp = file;
    tmp += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  // A replaced file keeps its permissions (a user who made a profile private
  // keeps it private); a new one gets the umask's.
  struct stat old {};
  if (::stat(file.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
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
  if (::fsync(fd) != 0) {
    ::close(fd);
    ::unlink(tmp.c_str());
    return false;
  }
  if (::close(fd) != 0 || ::rename(tmp.c_str(), file.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  // The rename is only durable once the folder itself is on disk.
  fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

std::unique_ptr<FolderLock> FolderLock::acquire(const fs::path& folder, int timeoutMs, std::string& error) {
  fs::path file = folder / ".orlix.lock";
  int fd = openNoFollow(file, O_RDWR | O_CREAT);
  if (fd < 0) {
    error = "cannot open the lock " + file.string() + ": " + std::strerror(errno);
    return nullptr;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) {
      error = "cannot lock " + file.string() + ": " + std::strerror(errno);
      ::close(fd);
      return nullptr;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      error = "another orlixctl is still changing the configuration in " + folder.string();
      ::close(fd);
      return nullptr;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return std::unique_ptr<FolderLock>(new FolderLock(fd));
}

FolderLock::~FolderLock() { ::close(fd_); }  // closing releases the flock

}  // namespace orlix::platform
