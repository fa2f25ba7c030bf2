#pragma once
// The five profiles: the profile table (its records, the current profile), the
// registry record of which profile is current, and load, save, create, switch,
// import and export of profile files. Messages go through the user notices.

#include <functional>
#include <string>

#include "core/app/user_notices.h"
#include "core/config/config_image.h"
#include "core/config/file_store.h"
#include "core/config/registry.h"
#include "core/config/write_guard.h"

namespace orlix {

namespace profile {
// Profile record fields (1740 bytes).
inline constexpr uint32_t kProfileMagic = 0xBEBE;
inline constexpr size_t kRecMagic = 0;
inline constexpr size_t kRecCurrent = 4;
inline constexpr size_t kRecName = 12;
inline constexpr size_t kRecPath = 532;
inline constexpr size_t kRecTextChars = 260;  // buffer, NUL included
static_assert(kRecPath + 2 * kRecTextChars + 688 == kProfileRecordSize);

inline constexpr size_t kProfileTableSize = kProfileRecordSize * kProfileCount;  // 8700

uint32_t recordMagic(const ProfileRecord& r);
bool isCurrent(const ProfileRecord& r);
std::u16string recordName(const ProfileRecord& r);
std::u16string recordPath(const ProfileRecord& r);
}  // namespace profile

enum class ImportError {
  None,
  Unreadable,         // the file cannot be opened or read (or is no regular file)
  NotAConfiguration,  // its size or layout is not one a configuration file has
};

// Whether bytes have the layout of a file that Create, Save profile or Export
// writes (see Profiles::importConfiguration).
bool isConfigurationFile(std::span<const uint8_t> bytes);

// Windows the profile operations refresh, when they exist.
struct ProfileHooks {
  std::function<void(int profile)> showSelected;  // profile buttons: k shown selected
  std::function<void()> refreshAllKeys;           // keyboard page
  std::function<void()> refreshLightingPage;      // lighting page
};

class Profiles {
 public:
  // dataFolder: where the folder "Profile" is (the program folder on Windows).
  // Everything passed must outlive the object.
  Profiles(ConfigImage& image, FileStore& files, Registry& registry, UserNotices& notices, std::string dataFolder);

  // Loads a profile file. A missing file (or folder) is reported when
  // showMessages, and the file is then created; other failures are silent.
  // The LED codes are refreshed from the lighting key map after a load.
  bool loadProfile(const std::string& path, bool showMessages);
  // Writes the current profile's file; true when it was written. The previous
  // file survives a failed write.
  bool saveProfile();
  // Makes the default key table the key table, sets the LED codes from the
  // lighting key map and writes blocks 1 to 3 to path.
  bool createProfile(const std::string& path);
  // The start-up: profile table from the registry, the current profile loaded
  // (or created), names and paths rebuilt.
  void loadProfileTableAtStartUp();
  // The answer to a successful apply: the profile table into the registry, then
  // the profile file. True when the profile file was written.
  bool saveProfileTableAndProfile();
  // Makes profile k (0..4) current and loads it (creating a missing file). Only
  // when k differs from the current profile; the registry is not written.
  void switchProfile(int k, const ProfileHooks& hooks = {});
  // Reads a configuration file (a profile file followed by the macro library)
  // into the image. Nothing is saved, sent or refreshed. False, with the image
  // untouched and *error saying why, when the file cannot be read or is not a
  // configuration file: its size must be that of a created profile, a whole
  // profile, or a whole profile followed by the whole macro library.
  bool importConfiguration(const std::string& path, ImportError* error = nullptr);
  // The same for a file's bytes already read (at most one byte more than the
  // largest configuration file tells a longer file apart).
  bool importConfiguration(std::span<const uint8_t> bytes, ImportError* error = nullptr);
  // Writes the current configuration and the whole macro library to path.
  FileError exportConfiguration(const std::string& path);

  int current() const { return image_.profiles.current; }
  const ConfigImage& image() const { return image_; }
  // Path of profile k's file, as its record holds it.
  std::string path(int k) const;
  // The profile table as stored in the registry (8700 bytes).
  std::vector<uint8_t> tableBytes() const;
  // Saves of the profile and the profile table run through guard from now on
  // (none: they write directly). guard must outlive the object.
  void setWriteGuard(WriteGuard* guard) { guard_ = guard; }

 private:
  ConfigImage& image_;
  FileStore& files_;
  Registry& registry_;
  UserNotices& notices_;
  std::string dataFolder_;
  WriteGuard* guard_ = nullptr;
};

}  // namespace orlix
