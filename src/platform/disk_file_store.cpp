#include "platform/disk_file_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "platform/paths.h"

namespace orlix::platform {

namespace {
FileError fromErrno(int e) {
  switch (e) {
    case ENOENT:
    case ENOTDIR: return FileError::NotFound;
    case EACCES:
    case EPERM:
    case EROFS: return FileError::AccessDenied;
    default: return FileError::Other;
  }
}

// Opens a regular file for reading; -1 with error set otherwise.
int openRegularFile(const std::string& path, FileError& error, off_t* size = nullptr) {
  // Opened without waiting: a named pipe or a device given as a file would
  // otherwise block the program until someone writes to it.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = fromErrno(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    error = FileError::Other;
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (size) *size = st.st_size;
  return fd;
}

// Reads until `into` is full or the file ends; the count, or -1 with errno.
ssize_t readFully(int fd, uint8_t* into, size_t room) {
  size_t got = 0;
  while (got < room) {
    ssize_t n = ::read(fd, into + got, room - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += size_t(n);
  }
  return ssize_t(got);
}
}  // namespace

std::optional<std::vector<uint8_t>> DiskFileStore::read(const std::string& path, size_t maxBytes, FileError& error) {
  off_t size = 0;
  int fd = openRegularFile(path, error, &size);
  if (fd < 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  // Room for the whole file at once: a macro library is 2 MB.
  bytes.reserve(std::min<size_t>(size_t(std::max<off_t>(size, 0)), maxBytes));
  uint8_t buf[65536];
  while (bytes.size() < maxBytes) {
    ssize_t n = ::read(fd, buf, std::min(sizeof buf, maxBytes - bytes.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = fromErrno(errno);
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.insert(bytes.end(), buf, buf + n);
  }
  ::close(fd);
  error = FileError::None;
  return bytes;
}

std::optional<size_t> DiskFileStore::readInto(const std::string& path, std::span<uint8_t> into, FileError& error) {
  int fd = openRegularFile(path, error);
  if (fd < 0) return std::nullopt;
  ssize_t n = readFully(fd, into.data(), into.size());
  if (n < 0) {
    error = fromErrno(errno);
    std::fill(into.begin(), into.end(), uint8_t(0));
    ::close(fd);
    return std::nullopt;
  }
  ::close(fd);
  error = FileError::None;
  return size_t(n);
}

FileError DiskFileStore::write(const std::string& path, std::span<const uint8_t> bytes) {
  if (writeFileAtomically(path, bytes.data(), bytes.size())) return FileError::None;
  // Tell why as the open of the file itself would have.
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) return FileError::NotFound;
  if (::access(folder.c_str(), W_OK) != 0) return fromErrno(errno);
  return FileError::Other;
}

bool DiskFileStore::exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace orlix::platform
