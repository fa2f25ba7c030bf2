#pragma once
// One copy of the program per user: a lock file in the runtime folder, held
// with flock for the life of the first copy, and a local socket in the
// abstract namespace on which the first copy listens. A second copy finds the
// lock taken, connects, writes a word ("show": bring the window to the front,
// as a tray double-click does) and exits.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orlix::platform {

inline constexpr std::string_view kInstanceName = "OrlixConfig";
inline constexpr std::string_view kShowWindowWord = "show";

class SingleInstance {
 public:
  enum class Result { First, Second };

  // name names the lock file (<lockFolder>/<name>.lock) and the socket
  // (abstract "<name>-<uid>"); tests pass their own.
  explicit SingleInstance(std::string name = std::string(kInstanceName), std::filesystem::path lockFolder = {});
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock and starts listening. Second when another copy holds the
  // lock or the socket. When the lock file cannot be made the socket alone
  // decides, so a broken runtime folder never stops the program.
  Result acquire();

  // The listening socket (readable when a second copy connected); -1 unless First.
  int fd() const { return listenFd_; }
  // Accepts the waiting connections of this user's copies and returns the
  // words they wrote; never waits long for a silent peer.
  std::vector<std::string> drain();

  // From a second copy: connects to the first copy's socket and writes word,
  // retrying until timeoutMs (the first copy may be between lock and listen).
  // True when the word was delivered.
  static bool signalFirst(std::string_view word = kShowWindowWord, std::string_view name = kInstanceName,
                          int timeoutMs = 2000);

 private:
  std::string name_;
  std::filesystem::path lockFolder_;
  int lockFd_ = -1;
  int listenFd_ = -1;
};

}  // namespace orlix::platform
