// Fuzzes the INI reader and editor with any bytes as languagetype.ini: the
// start-up read of the language flag from the file, and the edit the language
// command makes. After the edit the key reads back as the value written, and a
// key of another section reads as it did before.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/localization/ini_file.h"
#include "core/localization/languages.h"

using namespace orlix::localization;

namespace {

// A program folder of this process's own, with its skins/ folder.
std::filesystem::path programFolder() {
  const char* dir = std::getenv("TMPDIR");
  std::filesystem::path p = std::filesystem::path(dir && *dir ? dir : "/tmp") /
                            ("orlix_fuzz_ini_" + std::to_string(::getpid()));
  std::filesystem::create_directories(p / std::filesystem::path(kLanguageTypeIni).parent_path());
  return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path folder = programFolder();
  static const std::string file = (folder / std::filesystem::path(kLanguageTypeIni)).string();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }

  auto value = iniValue(text, kLanguageTypeSection, kLanguageTypeKey);
  if (startupLanguageFlag(folder) != iniInteger(value ? *value : "0")) std::abort();

  for (const char* written : {"0", "1", "12"}) {
    std::string edited = iniSetValue(text, kLanguageTypeSection, kLanguageTypeKey, written);
    auto back = iniValue(edited, kLanguageTypeSection, kLanguageTypeKey);
    if (!back || *back != written) std::abort();
    if (iniValue(edited, "other", kLanguageTypeKey) != iniValue(text, "other", kLanguageTypeKey)) std::abort();
  }
  return 0;
}
