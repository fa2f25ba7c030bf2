#pragma once
// What the configuration commands of orlixctl share: the configuration as the
// program holds it after its start (profile table, current profile, macro
// library), the folders it lives in, the system's messages printed for a
// terminal, the keyboard connection, and the apply.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cli/cli.h"
#include "core/app/text_source.h"
#include "core/app/user_notices.h"
#include "core/config/config_image.h"
#include "core/config/profiles.h"
#include "platform/paths.h"
#include "core/device/driver_channel.h"
#include "core/localization/language_strings.h"
#include "core/macros/macro_library.h"
#include "platform/disk_file_store.h"
#include "platform/file_registry.h"

namespace orlix::cli {

// The system's messages on the terminal: each is one line on the error stream.
class TerminalNotices : public UserNotices {
 public:
  explicit TerminalNotices(std::ostream& err) : err_(err) {}
  NoticeResult showInfo(const std::u16string& text, bool twoButtons = false) override;
  NoticeResult messageBox(const std::u16string& text, const std::u16string& caption, bool okCancel = false) override;
  void showTimedInfo(const std::u16string& text, int seconds) override;
  int shown() const { return shown_; }

 private:
  std::ostream& err_;
  int shown_ = 0;
};

// The data folder's files, with a count of the writes.
class SessionFiles : public platform::DiskFileStore {
 public:
  FileError write(const std::string& path, std::span<const uint8_t> bytes) override {
    ++writes_;
    return DiskFileStore::write(path, bytes);
  }
  int writes() const { return writes_; }

 private:
  int writes_ = 0;
};

class Session {
 public:
  explicit Session(Context& ctx);
  // Gives up the lock; then, when the session wrote anything, tells a running
  // window program of this user (--instance) to take the change up.
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  // The configuration as the program loads it at its start: the interface
  // language (--lang, else the one the program starts in), defaults, the
  // profile table and the current profile, and (when macros) the macro
  // library. False (after printing why) when the folders cannot be prepared or
  // the language asked for is unknown.
  // While the session lives it holds the data folder's lock, so the
  // read-modify-write of two orlixctl commands (an apply among them) never
  // interleave; a second one waits up to 30 s.
  bool open(bool macros);
  // Gives up the data folder's lock, for a command that only reads from here on.
  void releaseLock() { lock.reset(); }
  // Saves what a command changed: the profile table into the registry store and
  // the current profile's file. False (after printing why) when the file could
  // not be written.
  bool commit();
  // Saves the macro library as the keyboard page does.
  bool saveMacros();

  Context& ctx;
  std::filesystem::path programFolder, dataFolder, configFolder;
  std::unique_ptr<ConfigImage> image;
  SessionFiles files;
  std::unique_ptr<platform::FileRegistry> registry;
  TerminalNotices notices;
  localization::LanguageStrings strings;
  TextSource texts;
  std::unique_ptr<Profiles> profiles;
  std::unique_ptr<macros::MacroLibrary> macros;
  std::unique_ptr<platform::FolderLock> lock;
};

// The keyboard as the driver channel reaches it.
struct Keyboard {
  std::unique_ptr<DriverEndpoint> endpoint;
  std::unique_ptr<DriverChannel> channel;
  ~Keyboard();
};
// Opens the driver endpoint the options select and the channel on it; prints
// the reason and gives nothing when the keyboard cannot be reached. prepare,
// when given, sees the endpoint before it is opened (to set its hooks while no
// reader thread runs yet).
std::unique_ptr<Keyboard> connectKeyboard(Context& ctx, MessageTarget* window = nullptr,
                                          const std::function<void(DriverEndpoint&)>& prepare = {});

// A whole apply of the session's configuration (LED group commands, macros,
// key table) as the program's main window runs it; saves on success. Returns
// kExitOk, or kExitSettingError after printing "Setting Error".
int runApply(Session& s, Keyboard& keyboard);

// Key names for the command line. A key is named by its key index token
// ("a", "f1", "lctrl", "num1", ...; core/keys/key_index.h).
// HID usage of a key name (the usage of the key's default code); 0 when none.
uint8_t usageOfKeyName(std::string_view name);
// Command-line name of a HID usage: the token of the key whose default code
// carries it, else "usage:0xNN".
std::string nameOfUsage(uint8_t usage);

// The text as UTF-8 / UTF-16.
std::string narrow(std::u16string_view s);
std::u16string widen(std::string_view s);
std::string hex32(uint32_t v);

}  // namespace orlix::cli
