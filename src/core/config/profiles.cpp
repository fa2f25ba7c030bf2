#include "core/config/profiles.h"

#include <algorithm>

#include "core/config/profile_file.h"
#include "core/macros/macro_library.h"
#include "core/util/bytes.h"
#include "core/util/utf8_utf16.h"

namespace orlix {

namespace profile {
uint32_t recordMagic(const ProfileRecord& r) { return getU32(r, kRecMagic); }
bool isCurrent(const ProfileRecord& r) { return getU32(r, kRecCurrent) != 0; }

namespace {
std::u16string readText(const ProfileRecord& r, size_t off) {
  std::u16string s;
  for (size_t i = 0; i < kRecTextChars; ++i) {
    char16_t c = char16_t(getU16(r, off + 2 * i));
    if (c == 0) break;
    s.push_back(c);
  }
  return s;
}
void writeText(ProfileRecord& r, size_t off, std::u16string_view text) {
  std::fill_n(r.begin() + ptrdiff_t(off), 2 * kRecTextChars, 0);
  size_t n = std::min(text.size(), kRecTextChars - 1);
  for (size_t i = 0; i < n; ++i) putU16(r, off + 2 * i, text[i]);
}
}  // namespace

std::u16string recordName(const ProfileRecord& r) { return readText(r, kRecName); }
std::u16string recordPath(const ProfileRecord& r) { return readText(r, kRecPath); }
}  // namespace profile

namespace {
constexpr char16_t kOpenFailedText[] = u"Failed to open file, check whether there is a %s path?";
constexpr char16_t kNoPermissionText[] = u"Failed to create Profile, make sure you have permission to create files!";
// Every read of a profile file stops here: no file the system writes is longer.
constexpr size_t kMaxConfigurationSize = profile::kMaxProfileSize + macros::kMacroFileSize;

void setCurrentFlag(ProfileRecord& r, bool on) { putU32(r, profile::kRecCurrent, on ? 1 : 0); }
}  // namespace

Profiles::Profiles(ConfigImage& image, FileStore& files, Registry& registry, UserNotices& notices,
                   std::string dataFolder)
    : image_(image), files_(files), registry_(registry), notices_(notices), dataFolder_(std::move(dataFolder)) {
  if (!dataFolder_.empty() && dataFolder_.back() != '/') dataFolder_ += '/';
}

std::string Profiles::path(int k) const {
  return utf16ToUtf8(profile::recordPath(image_.profiles.records[size_t(k)]));
}

std::vector<uint8_t> Profiles::tableBytes() const {
  std::vector<uint8_t> out;
  out.reserve(profile::kProfileTableSize);
  for (const auto& r : image_.profiles.records) out.insert(out.end(), r.begin(), r.end());
  return out;
}

bool Profiles::loadProfile(const std::string& path, bool showMessages) {
  FileError error = FileError::None;
  auto bytes = files_.read(path, profile::kMaxProfileSize, error);
  if (!bytes) {
    if (error == FileError::NotFound && showMessages) {
      notices_.showInfo(formatOne(kOpenFailedText, utf8ToUtf16(path)));
      createProfile(path);
    }
    return false;
  }
  profile::readProfileImage(image_, *bytes);
  restoreLedCodesFromMap(image_);
  return true;
}

bool Profiles::saveProfile() {
  std::string p;
  FileError e = FileError::Other;
  auto write = [&] {
    p = path(current());
    e = files_.write(p, profile::serializeProfile(image_));
    return e == FileError::None;
  };
  bool ok = guard_ ? guard_->guard(StoredPart::Profile, write) : write();
  // Told once the write is over: a guard's lock is never held while a notice waits.
  if (e == FileError::NotFound) notices_.messageBox(formatOne(kOpenFailedText, utf8ToUtf16(p)), u"Info");
  return ok;
}

bool Profiles::createProfile(const std::string& path) {
  KeyTable previous = image_.keyTable;
  image_.keyTable = image_.defaultKeyTable;
  // The LED codes are the lighting key map's whatever a file says; a created
  // profile carries them too, or a first start (which loads no file) would send
  // lighting commands that name LED 0 for every key.
  restoreLedCodesFromMap(image_);
  FileError e = files_.write(path, profile::serializeCreatedProfile(image_));
  if (e == FileError::None) return true;
  image_.keyTable = previous;
  if (e == FileError::AccessDenied) notices_.showInfo(kNoPermissionText);
  return false;
}

void Profiles::loadProfileTableAtStartUp() {
  auto& table = image_.profiles;
  for (auto& r : table.records) r.fill(0);
  auto stored = registry_.read(kProfileRegistryKey, kProfileRegistryValue);
  if (stored && stored->size() <= profile::kProfileTableSize) {
    for (size_t i = 0; i < stored->size(); ++i)
      table.records[i / kProfileRecordSize][i % kProfileRecordSize] = (*stored)[i];
  } else {
    registry_.write(kProfileRegistryKey, kProfileRegistryValue, tableBytes());
  }

  static constexpr const char* kFileNames[] = {"Profile1.cfg", "Profile2.cfg", "Profile3.cfg", "Profile4.cfg",
                                               "Profile5.cfg"};
  for (int k = 0; k < kProfileCount; ++k) {
    auto& r = table.records[size_t(k)];
    std::u16string p = utf8ToUtf16(dataFolder_ + "Profile/" + kFileNames[k]);
    profile::writeText(r, profile::kRecPath, std::u16string_view(p).substr(0, profile::kRecTextChars - 1));
    putU32(r, profile::kRecMagic, profile::kProfileMagic);
  }
  int found = -1;
  for (int k = 0; k < kProfileCount && found < 0; ++k) {
    auto& r = table.records[size_t(k)];
    if (!profile::isCurrent(r)) continue;
    if (loadProfile(path(k), true)) {
      found = k;
    } else {
      setCurrentFlag(r, false);
      createProfile(path(k));
    }
  }
  for (int k = 0; k < kProfileCount; ++k) {
    std::string name = "Profile" + std::to_string(k + 1);
    profile::writeText(table.records[size_t(k)], profile::kRecName, utf8ToUtf16(name));
  }
  if (found < 0) {
    if (!loadProfile(path(0), false)) createProfile(path(0));
    setCurrentFlag(table.records[0], true);
    found = 0;
  }
  table.current = found;
}

bool Profiles::saveProfileTableAndProfile() {
  auto write = [this] {
    registry_.write(kProfileRegistryKey, kProfileRegistryValue, tableBytes());
    return saveProfile();
  };
  return guard_ ? guard_->guard(StoredPart::ProfileTable, write) : write();
}

void Profiles::switchProfile(int k, const ProfileHooks& hooks) {
  if (k < 0 || k >= kProfileCount || k == current()) return;
  if (hooks.showSelected) hooks.showSelected(k);
  auto& table = image_.profiles;
  setCurrentFlag(table.records[size_t(table.current)], false);
  table.current = k;
  setCurrentFlag(table.records[size_t(k)], true);
  if (!loadProfile(path(k), true)) createProfile(path(k));
  if (hooks.refreshAllKeys) hooks.refreshAllKeys();
  if (hooks.refreshLightingPage) hooks.refreshLightingPage();
}

bool isConfigurationFile(std::span<const uint8_t> bytes) {
  if (bytes.size() == profile::kCreatedProfileSize) return true;
  auto profileBytes = profile::wholeProfileLength(bytes);
  return profileBytes && (bytes.size() == *profileBytes || bytes.size() == *profileBytes + macros::kMacroFileSize);
}

bool Profiles::importConfiguration(const std::string& path, ImportError* error) {
  auto failed = [&](ImportError e) {
    if (error) *error = e;
    return false;
  };
  FileError readError = FileError::None;
  // One byte more than the largest configuration tells a longer file apart.
  auto bytes = files_.read(path, kMaxConfigurationSize + 1, readError);
  if (!bytes) return failed(ImportError::Unreadable);
  return importConfiguration(*bytes, error);
}

bool Profiles::importConfiguration(std::span<const uint8_t> bytes, ImportError* error) {
  // Anything else (a text file, Macro.cfg picked by mistake) would otherwise
  // become the profile and, after the next save, overwrite the user's files.
  if (!isConfigurationFile(bytes)) {
    if (error) *error = ImportError::NotAConfiguration;
    return false;
  }
  size_t used = profile::readProfileImage(image_, bytes);
  size_t n = std::min(bytes.size() - used, macros::kMacroFileSize);
  for (size_t i = 0; i < n; ++i)
    image_.macroLibrary[i / kMacroRecordSize][i % kMacroRecordSize] = bytes[used + i];
  if (error) *error = ImportError::None;
  return true;
}

FileError Profiles::exportConfiguration(const std::string& path) {
  auto bytes = profile::serializeProfile(image_);
  bytes.reserve(bytes.size() + macros::kMacroFileSize);
  for (const auto& r : image_.macroLibrary) bytes.insert(bytes.end(), r.begin(), r.end());
  return files_.write(path, bytes);
}

}  // namespace orlix
