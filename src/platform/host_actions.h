#pragma once
// The host actions on Linux: opening with the desktop's opener (xdg-open, or
// the program ORLIX_OPENER names), playing a sound with paplay or aplay, and
// starting a program from the program folder or PATH. Everything is started
// detached and without a shell; nothing waits for it, and a missing helper
// program makes the action do nothing.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/runtime/host_actions.h"

namespace orlix::platform {

class LinuxHostActions : public HostActions {
 public:
  explicit LinuxHostActions(std::filesystem::path programFolder) : programFolder_(std::move(programFolder)) {}
  // A text wrapped in one pair of double quotes is opened as the path inside
  // them, passed as one argument (as the Windows shell reads it).
  void open(const std::u16string& target) override;
  void playSound(const std::u16string& file) override;
  void startProgram(const std::string& name, const std::vector<std::string>& args) override;

 private:
  std::filesystem::path programFolder_;
};

// The text without one surrounding pair of double quotes.
std::string unquoteOnce(std::string text);
// An executable by name: a name with a slash as it stands, else the first on PATH.
std::optional<std::filesystem::path> findExecutable(const std::string& name);
// Starts program with args (argv[0] is the program) in its own session with
// stdin from /dev/null, and does not wait for it. False when it could not be started.
bool startDetached(const std::filesystem::path& program, const std::vector<std::string>& args);

}  // namespace orlix::platform
