#pragma once
// Helpers of the platform tests: temporary folders, small scripts, waiting for files.

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace testutil {

namespace fs = std::filesystem;

// A fresh folder, removed with everything in it when the object goes away.
struct TempFolder {
  fs::path path;
  TempFolder() {
    std::string t = (fs::temp_directory_path() / "orlix-test-XXXXXX").string();
    path = ::mkdtemp(t.data());
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

inline void writeScript(const fs::path& file, const std::string& body) {
  std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
  fs::permissions(file, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
}

inline std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Waits until the file exists and has stopped growing; its content, or "" on time-out.
inline std::string waitForFile(const fs::path& file, int timeoutMs = 10000) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    std::error_code ec;
    if (fs::exists(file, ec)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      return readFile(file);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return {};
}

// Waits until file is replaced by another (a new inode, as an atomic rewrite
// makes); false on time-out.
inline bool waitForReplacement(const fs::path& file, int timeoutMs = 10000) {
  struct stat before {};
  ::stat(file.c_str(), &before);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    struct stat now {};
    if (::stat(file.c_str(), &now) == 0 && now.st_ino != before.st_ino) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

// Sets an environment variable for the life of the object.
struct ScopedEnv {
  std::string name;
  std::string old;
  bool had;
  ScopedEnv(std::string n, const std::string& value) : name(std::move(n)) {
    const char* o = std::getenv(name.c_str());
    had = o != nullptr;
    if (o) old = o;
    ::setenv(name.c_str(), value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had) ::setenv(name.c_str(), old.c_str(), 1);
    else ::unsetenv(name.c_str());
  }
};

}  // namespace testutil
