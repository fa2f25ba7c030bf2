#include "platform/host_actions.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string_view>
#include <thread>

#include "core/util/utf8_utf16.h"

namespace orlix::platform {

namespace fs = std::filesystem;

std::string unquoteOnce(std::string text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return text;
}

std::string asOperand(std::string text) {
  if (!text.empty() && text.front() == '-') return "./" + text;
  return text;
}

std::optional<std::vector<std::string>> splitWords(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == ' ' || c == '\t' || c == '\n') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
      continue;
    }
    inWord = true;
    if (c == '\\') {
      if (++i == line.size()) return std::nullopt;
      if (line[i] != '\n') word += line[i];  // backslash-newline joins lines
    } else if (c == '\'') {
      size_t end = line.find('\'', i + 1);
      if (end == std::string::npos) return std::nullopt;
      word.append(line, i + 1, end - i - 1);
      i = end;
    } else if (c == '"') {
      for (++i;; ++i) {
        if (i == line.size()) return std::nullopt;
        if (line[i] == '"') break;
        if (line[i] == '\\' && i + 1 < line.size() && std::string_view("\\\"$`\n").find(line[i + 1]) != std::string_view::npos) {
          if (line[++i] != '\n') word += line[i];
        } else {
          word += line[i];
        }
      }
    } else {
      word += c;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

namespace {
std::mutex gChildEnvMutex;
std::map<std::string, std::optional<std::string>> gChildEnv;

// The environment for a started program: this one's, with the originals back.
std::vector<std::string> childEnvironment() {
  std::lock_guard lock(gChildEnvMutex);
  std::vector<std::string> env;
  for (char** e = environ; e && *e; ++e) {
    std::string entry = *e;
    std::string name = entry.substr(0, entry.find('='));
    if (!gChildEnv.count(name)) env.push_back(std::move(entry));
  }
  for (const auto& [name, value] : gChildEnv)
    if (value) env.push_back(name + "=" + *value);
  return env;
}
}  // namespace

void restoreInChildren(const std::string& name, std::optional<std::string> original) {
  std::lock_guard lock(gChildEnvMutex);
  gChildEnv[name] = std::move(original);
}

bool skipAbsentBusLauncher(const std::vector<fs::path>& launchers) {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address && *address) return false;
  std::error_code ec;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime && fs::exists(fs::path(runtime) / "bus", ec))
    return false;
  if (findExecutable("dbus-launch")) return false;
  for (const fs::path& launcher : launchers)
    if (::access(launcher.c_str(), X_OK) == 0) return false;
  restoreInChildren("DBUS_SESSION_BUS_ADDRESS", address ? std::optional<std::string>(address) : std::nullopt);
  // An address of no known kind: the bus library gives up on it without a launcher.
  ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
  return true;
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
  std::string file = program.string();
  std::vector<std::string> owned = args;
  std::vector<char*> argv;
  for (auto& a : owned) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envOwned = childEnvironment();
  std::vector<char*> envp;
  for (auto& e : envOwned) envp.push_back(e.data());
  envp.push_back(nullptr);

  // Spawned, not forked: a fork copies the page tables of the whole window
  // program (milliseconds), a spawn shares them until the exec. The program
  // runs in a session of its own, reading nothing.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = -1;
  int rc = ::posix_spawn(&pid, file.c_str(), &actions, &attr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return false;
  // Its end is waited for on a thread of its own, so it leaves no zombie and
  // nothing here waits for it.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

void LinuxHostActions::open(const std::u16string& target) {
  const char* opener = std::getenv("ORLIX_OPENER");
  auto command = splitWords(opener && *opener ? opener : "xdg-open");
  if (!command || command->empty()) return;
  auto program = findExecutable(command->front());
  if (!program) return;
  std::vector<std::string> argv{program->string()};
  argv.insert(argv.end(), command->begin() + 1, command->end());
  argv.push_back(asOperand(unquoteOnce(utf16ToUtf8(target))));
  startDetached(*program, argv);
}

void LinuxHostActions::playSound(const std::u16string& file) {
  for (const char* player : {"paplay", "aplay"}) {
    if (auto program = findExecutable(player)) {
      startDetached(*program, {program->string(), asOperand(utf16ToUtf8(file))});
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
