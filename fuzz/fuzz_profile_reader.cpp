// Fuzzes the profile file reader with any bytes, as a profile file or an
// imported configuration: nothing may be read or written out of bounds, and
// what was read must save and read back to the same bytes.
#include <cstdlib>

#include "core/config/config_image.h"
#include "core/config/file_store.h"
#include "core/config/profile_file.h"
#include "core/config/profiles.h"
#include "core/config/registry.h"
#include "core/lighting/lighting_model.h"

using namespace orlix;

namespace {
std::unique_ptr<ConfigImage> freshImage() {
  auto image = makeConfigImage();
  initialiseDefaults(*image);
  resetPerKeyLighting(*image);
  return image;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  auto image = freshImage();
  size_t used = profile::readProfileImage(*image, bytes);
  if (used > size) std::abort();

  // What uses the loaded lighting records and the wave extra buffer.
  image->ledGroupCommands = lighting::buildLedGroupCommands(*image);
  (void)lighting::replayCommands(*image);

  auto saved = profile::serializeProfile(*image);
  auto again = freshImage();
  profile::readProfileImage(*again, saved);
  if (profile::serializeProfile(*again) != saved) std::abort();

  // The same bytes as an imported configuration (profile and macro library).
  MemoryFileStore files;
  files.addFolder("/p");
  files.put("/p/in.cfg", std::vector<uint8_t>(data, data + size));
  MemoryRegistry registry;
  RecordingNotices notices;
  Profiles profiles(*image, files, registry, notices, "/p");
  profiles.importConfiguration("/p/in.cfg");
  return 0;
}
