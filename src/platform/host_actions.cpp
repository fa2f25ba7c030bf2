#include "platform/host_actions.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "core/util/utf8_utf16.h"

namespace orlix::platform {

namespace fs = std::filesystem;

std::string unquoteOnce(std::string text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return text;
}

std::optional<fs::path> findExecutable(const std::string& name) {
  if (name.empty()) return std::nullopt;
  if (name.find('/') != std::string::npos) {
    if (::access(name.c_str(), X_OK) == 0) return fs::path(name);
    return std::nullopt;
  }
  const char* path = std::getenv("PATH");
  std::string p = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= p.size()) {
    size_t end = p.find(':', start);
    if (end == std::string::npos) end = p.size();
    fs::path candidate = fs::path(end > start ? p.substr(start, end - start) : ".") / name;
    std::error_code ec;
    if (::access(candidate.c_str(), X_OK) == 0 && !fs::is_directory(candidate, ec)) return candidate;
    start = end + 1;
  }
  return std::nullopt;
}

bool startDetached(const fs::path& program, const std::vector<std::string>& args) {
  // Everything the child needs is prepared here: between fork and exec only
  // async-signal-safe calls are made.
  std::string file = program.string();
  std::vector<std::string> owned = args;
  std::vector<char*> argv;
  for (auto& a : owned) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) {
    ::setsid();
    pid_t grandchild = ::fork();
    if (grandchild == 0) {
      int null = ::open("/dev/null", O_RDONLY);
      if (null >= 0) ::dup2(null, 0);
      ::execv(file.c_str(), argv.data());
      ::_exit(127);
    }
    ::_exit(grandchild < 0 ? 1 : 0);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void LinuxHostActions::open(const std::u16string& target) {
  const char* opener = std::getenv("ORLIX_OPENER");
  std::string name = opener && *opener ? opener : "xdg-open";
  auto program = findExecutable(name);
  if (!program) return;
  startDetached(*program, {program->string(), unquoteOnce(utf16ToUtf8(target))});
}

void LinuxHostActions::playSound(const std::u16string& file) {
  for (const char* player : {"paplay", "aplay"}) {
    if (auto program = findExecutable(player)) {
      startDetached(*program, {program->string(), utf16ToUtf8(file)});
      return;
    }
  }
}

void LinuxHostActions::startProgram(const std::string& name, const std::vector<std::string>& args) {
  if (name.empty() || name.find('/') != std::string::npos) return;
  std::optional<fs::path> program;
  fs::path local = programFolder_ / name;
  std::error_code ec;
  if (!programFolder_.empty() && ::access(local.c_str(), X_OK) == 0 && !fs::is_directory(local, ec))
    program = local;
  else
    program = findExecutable(name);
  if (!program) return;
  std::vector<std::string> argv{program->string()};
  argv.insert(argv.end(), args.begin(), args.end());
  startDetached(*program, argv);
}

}  // namespace orlix::platform
