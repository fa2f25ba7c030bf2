#pragma once
// One copy of the program per user: a lock file in the runtime folder, held
// with flock for the life of the first copy, and a local socket in the
// abstract namespace on which the first copy listens. A second copy finds the
// lock taken, connects, writes a word ("show": bring the window to the front,
// as a tray double-click does) and exits. orlixctl writes "reload" after it
// stored a change of the configuration, so the window takes the change up.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orlix::platform {

inline constexpr std::string_view kInstanceName = "OrlixConfig";
inline constexpr std::string_view kShowWindowWord = "show";
inline constexpr std::string_view kReloadWord = "reload";

class SingleInstance {
 public:
  enum class Result { First, Second };

  // name names the lock file (<lockFolder>/<name>.lock) and the socket
  // (abstract "<name>-<uid>"); tests pass their own.
  explicit SingleInstance(std::string name = std::string(kInstanceName), std::filesystem::path lockFolder = {});
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock and starts listening. The lock decides: Second when another
  // copy holds it. Only when the lock file cannot be made (a runtime folder
  // that is missing, not the user's own or open to others) does the socket
  // decide, so a broken runtime folder never stops the program. A socket name
  // taken by someone else while the lock is held leaves fd() at -1.
  Result acquire();

  // The listening socket (readable when a second copy connected); -1 unless First.
  int fd() const { return listenFd_; }
  // Accepts the waiting connections and returns the words that copies of this
  // user wrote; connections of other users are closed unread. Never waits long
  // for a silent peer.
  std::vector<std::string> drain();

  // From a second copy: connects to the first copy's socket and writes word,
  // retrying until timeoutMs (the first copy may be between lock and listen;
  // 0: one try). Never waits on a first copy whose listen queue is full.
  // True when the word was delivered; false, without writing, when the socket
  // belongs to another user.
  static bool signalFirst(std::string_view word = kShowWindowWord, std::string_view name = kInstanceName,
                          int timeoutMs = 2000);

 private:
  std::string name_;
  std::filesystem::path lockFolder_;
  int lockFd_ = -1;
  int listenFd_ = -1;
};

}  // namespace orlix::platform
