#pragma once
// The window program's share of the stored configuration. orlixctl changes the
// same profile files, profile table and macro library while the window program
// runs, and the window program writes its whole image back on each save. So
// the window program remembers what it last read or wrote, and under the data
// folder's lock, before each write (and when orlixctl says it changed
// something), takes up what another process stored since: per key (code and
// extra record), per LED (state record and per-key lighting), the wave buffer
// with the lighting mode, and per macro record. What this process changed
// itself and has not stored yet is kept; everything else is taken from the
// files. A profile made current by another process is followed as a switch by
// the window is: it is loaded, and unstored edits of the old profile go.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app/text_source.h"
#include "core/app/user_notices.h"
#include "core/config/config_image.h"
#include "core/config/file_store.h"
#include "core/config/profiles.h"
#include "core/config/registry.h"
#include "core/config/write_guard.h"

namespace orlix {

// The data folder's lock between processes.
class ConfigFolderLock {
 public:
  virtual ~ConfigFolderLock() = default;
  // Waits a bounded time for the lock and holds it until the result is
  // dropped; nothing when another process kept it past the wait.
  virtual std::shared_ptr<void> acquire() = 0;
};

// What a take-up found stored by another process.
struct TakeUp {
  bool locked = false;           // false: the lock could not be had, nothing was read
  bool switchedProfile = false;  // another profile became current and was loaded
  bool profileChanged = false;   // key functions or lighting of the current profile were taken up
  bool macrosChanged = false;    // macro records were taken up
  bool changed() const { return switchedProfile || profileChanged || macrosChanged; }
};

// Shown when the lock stays with another process past the wait.
inline constexpr std::u16string_view kConfigBusyZh = u"另一个程序（orlixctl）正在修改配置，请稍后再试。";
inline constexpr std::u16string_view kConfigBusyEn =
    u"Another program (orlixctl) is changing the configuration. Please try again in a moment.";

// What the window program remembers of a stored macro record: a 128-bit
// digest in two independent lanes, so that the library is not kept twice (2 MB)
// just to tell whether a record changed. Records that differ in one 8-byte word
// never share a digest; others do with a chance of about 2^-128.
struct MacroDigest {
  uint64_t a = 0, b = 0;
  bool operator==(const MacroDigest&) const = default;
};
MacroDigest macroRecordDigest(const MacroRecord& record);

class ConfigSync : public WriteGuard {
 public:
  // Everything passed must outlive the object. Used from one thread (the one
  // that saves and loads).
  ConfigSync(ConfigImage& image, Profiles& profiles, FileStore& files, Registry& registry, std::string macroPath,
             ConfigFolderLock& lock, UserNotices& notices, TextSource texts);
  ~ConfigSync() override;

  // After a load: the image holds what is stored. rememberAll after the
  // start-up's loads, rememberProfile after a switch of profile by this process.
  void rememberAll();
  void rememberProfile();

  // The folder's lock for this process: held until the last copy of the result
  // goes; a hold while one is held shares it. Nothing after a bounded wait.
  std::shared_ptr<void> hold();
  // Under the lock, takes up what other processes stored since this process
  // last read or wrote it.
  TakeUp takeUp();
  // Takes the lock and takes up (or shares the lock held, whose taker took
  // up), runs write, and remembers part as written. When the lock cannot be
  // had nothing is written: the busy notice is shown and false returned; the
  // image keeps the change, so the next save stores it.
  bool guard(StoredPart part, const std::function<bool()>& write) override;
  // Called after a take-up that changed the image (also one inside a save).
  std::function<void(const TakeUp&)> onTakenUp;

  // The notice that another process keeps the lock (kConfigBusyZh / kConfigBusyEn).
  void showBusy();

 private:
  struct ProfileContent;
  TakeUp takeUpHeld();
  void takeUpProfile(TakeUp& r);
  void takeUpMacros(TakeUp& r);
  std::optional<int> storedCurrent();

  ConfigImage& image_;
  Profiles& profiles_;
  FileStore& files_;
  Registry& registry_;
  std::string macroPath_;
  ConfigFolderLock& lock_;
  UserNotices& notices_;
  TextSource texts_;
  std::weak_ptr<void> held_;
  int depth_ = 0;
  std::optional<int> storedCurrent_;
  std::unique_ptr<ProfileContent> profileBase_;
  void rememberMacros();
  std::vector<MacroDigest> macroBase_;  // one per record; empty until remembered
};

}  // namespace orlix
