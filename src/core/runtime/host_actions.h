#pragma once
// What the host does for keys with host functions: open a file, folder or address
// with the desktop's opener, play a sound file, start a program. Failures are
// ignored by the callers, as the results are never used.

#include <string>
#include <vector>

namespace orlix {

class HostActions {
 public:
  virtual ~HostActions() = default;
  // Opens the text with the desktop's default handler (never through a shell).
  virtual void open(const std::u16string& target) = 0;
  // Plays a sound file asynchronously.
  virtual void playSound(const std::u16string& file) = 0;
  // Starts a program by name with arguments, detached. The name is looked up in
  // the program folder first, then on PATH.
  virtual void startProgram(const std::string& name, const std::vector<std::string>& args) = 0;
};

// Records the calls (tests).
class RecordingHostActions : public HostActions {
 public:
  struct Call {
    std::string what;  // "open", "sound", "start"
    std::u16string text;
    std::string program;
    std::vector<std::string> args;
  };
  std::vector<Call> calls;
  void open(const std::u16string& t) override { calls.push_back({"open", t, {}, {}}); }
  void playSound(const std::u16string& f) override { calls.push_back({"sound", f, {}, {}}); }
  void startProgram(const std::string& n, const std::vector<std::string>& a) override {
    calls.push_back({"start", u"", n, a});
  }
};

}  // namespace orlix
