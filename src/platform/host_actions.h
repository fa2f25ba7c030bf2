#pragma once
// The host actions on Linux: opening with the desktop's opener (xdg-open, or
// the command ORLIX_OPENER holds), playing a sound with paplay or aplay, and
// starting a program from the program folder or PATH. Everything is started
// detached and without a shell; nothing waits for it, and a missing helper
// program makes the action do nothing. An action text is always passed as a
// file or address, never as an option of the helper.

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
  // them, passed as one argument (as the Windows shell reads it). ORLIX_OPENER
  // may hold a command with arguments ("gio open"), split as a shell splits
  // words (quotes, backslashes) but never run by one; the target comes last.
  // An opener that cannot be split does nothing.
  void open(const std::u16string& target) override;
  void playSound(const std::u16string& file) override;
  void startProgram(const std::string& name, const std::vector<std::string>& args) override;

 private:
  std::filesystem::path programFolder_;
};

// The text without one surrounding pair of double quotes.
std::string unquoteOnce(std::string text);
// An action text as an argument that no program takes for an option: a
// relative path that starts with '-' gets "./" in front; absolute paths and
// addresses stay as they are.
std::string asOperand(std::string text);
// Splits a command line into words as a POSIX shell does, without expansions:
// blanks separate words; 'single quotes' keep everything; "double quotes" keep
// everything but \\, \", \$ and \` escapes; a backslash outside quotes keeps
// the next character. Nothing for an unterminated quote or a trailing backslash.
std::optional<std::vector<std::string>> splitWords(const std::string& line);
// Records that this program changed the environment variable name for itself
// (original: its value before, nothing when it was unset). Every program that
// startDetached starts gets the original back, so an override meant for this
// program (a Qt platform choice) is not imposed on the programs it opens.
void restoreInChildren(const std::string& name, std::optional<std::string> original);
// An executable by name: a name with a slash as it stands, else the first on PATH.
std::optional<std::filesystem::path> findExecutable(const std::string& name);
// With no session bus address set and no bus in the runtime folder, the bus
// library looks for a session bus by starting its launcher ("dbus-launch"),
// forking this program to do so. Where no launcher is installed (on PATH or
// at one of launchers), that can only fail: then the address is set to one
// that fails at once, and the programs this one starts get the environment as
// it was. True when it was set.
bool skipAbsentBusLauncher(const std::vector<std::filesystem::path>& launchers = {"/usr/bin/dbus-launch"});
// Starts program with args (argv[0] is the program) in its own session with
// stdin from /dev/null and the environment restoreInChildren asks for, and
// does not wait for it. False when it could not be started.
bool startDetached(const std::filesystem::path& program, const std::vector<std::string>& args);

}  // namespace orlix::platform
