#pragma once
// Macro.cfg for the library fuzz targets, kept in memory without a copy: a
// read gives the bytes set as input, and every write must hold the library
// exactly as the image has it (a save of 2 MB is then one comparison).
#include <cstdlib>
#include <cstring>
#include <span>

#include "core/config/config_image.h"
#include "core/config/file_store.h"
#include "core/device/pacer.h"
#include "core/macros/macro_library.h"

class LibraryFile : public orlix::FileStore {
 public:
  explicit LibraryFile(const orlix::ConfigImage& image) : image_(image) {}
  std::span<const uint8_t> input;
  int writes = 0;

  std::optional<std::vector<uint8_t>> read(const std::string&, size_t maxBytes, orlix::FileError& error) override {
    error = orlix::FileError::None;
    return std::vector<uint8_t>(input.begin(), input.begin() + ptrdiff_t(std::min(maxBytes, input.size())));
  }
  orlix::FileError write(const std::string&, std::span<const uint8_t> bytes) override {
    using namespace orlix;
    if (bytes.size() != macros::kMacroFileSize) std::abort();
    for (size_t i = 0; i < kMacroRecordCount; ++i)
      if (std::memcmp(bytes.data() + i * kMacroRecordSize, image_.macroLibrary[i].data(), kMacroRecordSize) != 0)
        std::abort();
    ++writes;
    return FileError::None;
  }
  bool exists(const std::string&) override { return true; }

 private:
  const orlix::ConfigImage& image_;
};

// One image and its library on that file, built once for a whole fuzzing run.
struct LibraryRig {
  std::unique_ptr<orlix::ConfigImage> image = orlix::makeConfigImage();
  LibraryFile file{*image};
  orlix::RecordingNotices notices;
  orlix::FakePacer pacer;
  orlix::macros::MacroLibrary library{*image, file, "/p/Macro.cfg", notices, {}, pacer};
};
