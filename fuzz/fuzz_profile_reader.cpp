// Fuzzes the profile file reader with any bytes, as a profile file or an
// imported configuration: nothing may be read or written out of bounds, and
// what was read must save and read back to the same bytes.
//
// The two images are built once. After each input they get back, from a
// pristine copy, every field a read or an import leaves as it found it beyond
// the input's end (the reader zeroes the key table, the key extra and the LED
// state records itself), so each input starts from the same image, and what a
// run allocated is released within the run.
#include <cstdlib>
#include <cstring>

#include "core/config/config_image.h"
#include "core/config/file_store.h"
#include "core/config/profile_file.h"
#include "core/config/profiles.h"
#include "core/config/registry.h"
#include "core/lighting/lighting_model.h"
#include "core/macros/macro_library.h"

using namespace orlix;

namespace {

std::unique_ptr<ConfigImage> freshImage() {
  auto image = makeConfigImage();
  initialiseDefaults(*image);
  resetPerKeyLighting(*image);
  return image;
}

struct Images {
  std::unique_ptr<ConfigImage> pristine = freshImage();
  std::unique_ptr<ConfigImage> image = freshImage();
  std::unique_ptr<ConfigImage> again = freshImage();
};

void restore(ConfigImage& image, const ConfigImage& pristine, bool macrosTouched) {
  image.waveExtraLength = pristine.waveExtraLength;
  image.waveExtra = pristine.waveExtra;
  image.lightingMode = pristine.lightingMode;
  image.perKeyLighting = pristine.perKeyLighting;
  image.ledGroupCommands.clear();
  if (macrosTouched) image.macroLibrary = pristine.macroLibrary;
}

// Byte 0 says how the rest makes the file. Odd: the rest is the file as it
// stands. Even: the rest follows the fixed blocks of a default profile, so that
// mutations go to the lighting records and the sizes around them rather than
// to 108 KB of tables that are only copied.
std::span<const uint8_t> fileOf(const uint8_t* data, size_t size, const ConfigImage& pristine) {
  if (size == 0) return {};
  if (data[0] & 1) return {data + 1, size - 1};
  static std::vector<uint8_t> file;
  if (file.empty()) {
    profile::serializeProfile(pristine, file);
    file.resize(profile::kFixedBlocksSize);
    file.reserve(profile::kMaxProfileSize + macros::kMacroFileSize);
  }
  file.resize(profile::kFixedBlocksSize + size - 1);
  std::memcpy(file.data() + profile::kFixedBlocksSize, data + 1, size - 1);
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Images images;
  ConfigImage& image = *images.image;
  ConfigImage& again = *images.again;

  std::span<const uint8_t> bytes = fileOf(data, size, *images.pristine);
  size = bytes.size();
  size_t used = profile::readProfileImage(image, bytes);
  if (used > size) std::abort();

  // What uses the loaded lighting records and the wave extra buffer.
  image.ledGroupCommands = lighting::buildLedGroupCommands(image);
  (void)lighting::replayCommands(image);

  // Kept between inputs: a fresh buffer of this size costs more than the rest of a run.
  static std::vector<uint8_t> saved, savedAgain;
  profile::serializeProfile(image, saved);
  profile::readProfileImage(again, saved);
  profile::serializeProfile(again, savedAgain);
  if (savedAgain != saved) std::abort();

  // The same bytes as an imported configuration (profile and macro library).
  static MemoryFileStore files;
  MemoryRegistry registry;
  RecordingNotices notices;
  Profiles profiles(image, files, registry, notices, "/p");
  bool imported = profiles.importConfiguration(bytes);

  // Only a whole profile followed by the macro library reaches the library.
  restore(image, *images.pristine, imported && size > macros::kMacroFileSize);
  restore(again, *images.pristine, false);
  return 0;
}
