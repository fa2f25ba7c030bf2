#include "core/config/config_sync.h"

#include <algorithm>
#include <cstring>

#include "core/config/profile_file.h"
#include "core/macros/macro_library.h"
#include "core/util/bytes.h"

namespace orlix {

// The parts of the image a profile file holds, as a load leaves them.
struct ConfigSync::ProfileContent {
  KeyTable keyTable{};
  std::array<KeyExtraRecord, kKeyCount> keyExtra{};
  std::array<LedStateRecord, kLedRecordCount> ledState{};
  std::array<PerKeyLightingRecord, kLedRecordCount> perKeyLighting{};
  uint32_t waveExtraLength = 0;
  LightingCommand waveExtra{};
  uint32_t lightingMode = 0;

  static std::unique_ptr<ProfileContent> of(const ConfigImage& image) {
    auto c = std::make_unique<ProfileContent>();
    c->keyTable = image.keyTable;
    c->keyExtra = image.keyExtra;
    c->ledState = image.ledState;
    c->perKeyLighting = image.perKeyLighting;
    c->waveExtraLength = image.waveExtraLength;
    c->waveExtra = image.waveExtra;
    c->lightingMode = image.lightingMode;
    return c;
  }
  void into(ConfigImage& image) const {
    image.keyTable = keyTable;
    image.keyExtra = keyExtra;
    image.ledState = ledState;
    image.perKeyLighting = perKeyLighting;
    image.waveExtraLength = waveExtraLength;
    image.waveExtra = waveExtra;
    image.lightingMode = lightingMode;
  }
};

namespace {

// Equal in every field a profile file holds for the record's effect.
bool sameLighting(const PerKeyLightingRecord& a, const PerKeyLightingRecord& b) {
  std::vector<uint8_t> x, y;
  profile::appendLightingRecord(a, x);
  profile::appendLightingRecord(b, y);
  return x == y;
}

}  // namespace

MacroDigest macroRecordDigest(const MacroRecord& record) {
  // Each lane's step is a bijection of its state for a given word: the first
  // word that differs parts the states, and only further differing words could
  // bring them together again.
  MacroDigest d{0x243F6A8885A308D3ull, 0x13198A2E03707344ull};
  auto step = [&d](uint64_t w) {
    d.a = (d.a ^ w) * 0x9E3779B97F4A7C15ull;
    d.a ^= d.a >> 29;
    d.b = (d.b + w) * 0xD6E8FEB86659FD93ull;
    d.b ^= d.b >> 32;
  };
  size_t i = 0;
  for (; i + 8 <= record.size(); i += 8) {
    uint64_t w;
    std::memcpy(&w, record.data() + i, 8);
    step(w);
  }
  uint64_t tail = 0;
  std::memcpy(&tail, record.data() + i, record.size() - i);
  step(tail);
  return d;
}

ConfigSync::ConfigSync(ConfigImage& image, Profiles& profiles, FileStore& files, Registry& registry,
                       std::string macroPath, ConfigFolderLock& lock, UserNotices& notices, TextSource texts)
    : image_(image), profiles_(profiles), files_(files), registry_(registry), macroPath_(std::move(macroPath)),
      lock_(lock), notices_(notices), texts_(std::move(texts)) {}

ConfigSync::~ConfigSync() = default;

void ConfigSync::rememberAll() {
  rememberProfile();
  rememberMacros();
  storedCurrent_ = storedCurrent();
}

void ConfigSync::rememberMacros() {
  macroBase_.resize(kMacroRecordCount);
  for (size_t i = 0; i < size_t(kMacroRecordCount); ++i) macroBase_[i] = macroRecordDigest(image_.macroLibrary[i]);
}

void ConfigSync::rememberProfile() { profileBase_ = ProfileContent::of(image_); }

std::shared_ptr<void> ConfigSync::hold() {
  if (auto held = held_.lock()) return held;
  auto held = lock_.acquire();
  held_ = held;
  return held;
}

void ConfigSync::showBusy() { notices_.showInfo(std::u16string(texts_.pick(kConfigBusyZh, kConfigBusyEn))); }

TakeUp ConfigSync::takeUp() {
  auto held = hold();
  if (!held) return {};
  return takeUpHeld();
}

bool ConfigSync::guard(StoredPart part, const std::function<bool()>& write) {
  // A save within a save (the profile table's, then the profile's) is one step.
  if (depth_ > 0) {
    bool ok = write();
    if (ok && part == StoredPart::Profile) rememberProfile();
    if (ok && part == StoredPart::ProfileTable) storedCurrent_ = image_.profiles.current;
    if (ok && part == StoredPart::Macros && !macroBase_.empty()) rememberMacros();
    return ok;
  }
  // A hold already taken (an apply's) took up when it was taken, and nobody
  // else has stored since; taking up again would only read what an apply's
  // worker may be reading.
  bool fresh = held_.expired();
  auto held = hold();
  if (!held) {
    showBusy();
    return false;
  }
  ++depth_;
  if (fresh) takeUpHeld();
  bool ok = write();
  if (ok && part == StoredPart::Profile) rememberProfile();
  if (ok && part == StoredPart::ProfileTable) storedCurrent_ = image_.profiles.current;
  if (ok && part == StoredPart::Macros && !macroBase_.empty()) rememberMacros();
  --depth_;
  return ok;
}

std::optional<int> ConfigSync::storedCurrent() {
  auto table = registry_.read(kProfileRegistryKey, kProfileRegistryValue);
  if (!table) return std::nullopt;
  for (int k = 0; k < kProfileCount; ++k) {
    size_t at = size_t(k) * kProfileRecordSize;
    if (table->size() >= at + kProfileRecordSize && getU32(*table, at + profile::kRecCurrent) != 0) return k;
  }
  return std::nullopt;
}

TakeUp ConfigSync::takeUpHeld() {
  TakeUp r;
  r.locked = true;
  // Nothing is known of what this process read: nothing to compare with.
  if (!profileBase_ || macroBase_.empty()) return r;

  auto current = storedCurrent();
  if (current && current != storedCurrent_) {
    // The window's own switch is not stored until its next apply: only a
    // change of the stored table is another process's.
    storedCurrent_ = current;
    if (*current != profiles_.current()) {
      profiles_.switchProfile(*current);
      rememberProfile();
      r.switchedProfile = true;
    }
  }
  if (!r.switchedProfile) takeUpProfile(r);
  takeUpMacros(r);
  if (r.changed() && onTakenUp) onTakenUp(r);
  return r;
}

void ConfigSync::takeUpProfile(TakeUp& r) {
  FileError error = FileError::None;
  auto bytes = files_.read(profiles_.path(profiles_.current()), profile::kMaxProfileSize, error);
  if (!bytes) return;
  // The file read as a load reads it; what a short file lacks stays as it was.
  // A scratch image only while taking up: it holds a whole macro library, too
  // much to keep for a comparison that happens on saves.
  std::unique_ptr<ConfigImage> scratch = makeConfigImage();
  ConfigImage& s = *scratch;
  profileBase_->into(s);
  profile::readProfileImage(s, *bytes);
  restoreLedCodesFromMap(s);
  auto theirs = ProfileContent::of(s);
  ProfileContent& base = *profileBase_;

  for (size_t k = 0; k < size_t(kKeyCount); ++k) {
    bool mineStored = image_.keyTable[k] == base.keyTable[k] && image_.keyExtra[k] == base.keyExtra[k];
    bool theirsChanged = theirs->keyTable[k] != base.keyTable[k] || theirs->keyExtra[k] != base.keyExtra[k];
    if (mineStored && theirsChanged) {
      image_.keyTable[k] = theirs->keyTable[k];
      image_.keyExtra[k] = theirs->keyExtra[k];
      r.profileChanged = true;
    }
  }
  for (size_t i = 0; i < size_t(kLedRecordCount); ++i) {
    // Record 112 has no per-key lighting in the file.
    bool stored = i < size_t(kLightingKeys);
    bool mineStored = image_.ledState[i] == base.ledState[i] &&
                      (!stored || sameLighting(image_.perKeyLighting[i], base.perKeyLighting[i]));
    bool theirsChanged = theirs->ledState[i] != base.ledState[i] ||
                         (stored && !sameLighting(theirs->perKeyLighting[i], base.perKeyLighting[i]));
    if (mineStored && theirsChanged) {
      image_.ledState[i] = theirs->ledState[i];
      if (stored) image_.perKeyLighting[i] = theirs->perKeyLighting[i];
      r.profileChanged = true;
    }
  }
  bool mineStored = image_.waveExtraLength == base.waveExtraLength && image_.waveExtra == base.waveExtra &&
                    image_.lightingMode == base.lightingMode;
  bool theirsChanged = theirs->waveExtraLength != base.waveExtraLength || theirs->waveExtra != base.waveExtra ||
                       theirs->lightingMode != base.lightingMode;
  if (mineStored && theirsChanged) {
    image_.waveExtraLength = theirs->waveExtraLength;
    image_.waveExtra = theirs->waveExtra;
    image_.lightingMode = theirs->lightingMode;
    r.profileChanged = true;
  }
  profileBase_ = std::move(theirs);
}

void ConfigSync::takeUpMacros(TakeUp& r) {
  FileError error = FileError::None;
  auto bytes = files_.read(macroPath_, macros::kMacroFileSize, error);
  if (!bytes) return;
  auto& base = macroBase_;
  MacroRecord theirs;
  for (size_t i = 0; i < size_t(kMacroRecordCount); ++i) {
    // A short file reads as zero records beyond its end, as a load reads it.
    theirs.fill(0);
    size_t at = i * kMacroRecordSize;
    if (at < bytes->size())
      std::copy_n(bytes->begin() + ptrdiff_t(at), std::min(kMacroRecordSize, bytes->size() - at), theirs.begin());
    MacroDigest stored = macroRecordDigest(theirs);
    if (stored == base[i]) continue;
    if (macroRecordDigest(image_.macroLibrary[i]) == base[i]) {
      image_.macroLibrary[i] = theirs;
      r.macrosChanged = true;
    }
    base[i] = stored;
  }
}

}  // namespace orlix
