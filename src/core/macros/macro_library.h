#pragma once
// The macro library: 500 macro records held in the configuration image and
// stored whole in Macro.cfg. Every change is written to the file at once.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/app/text_source.h"
#include "core/app/user_notices.h"
#include "core/config/config_image.h"
#include "core/config/file_store.h"
#include "core/config/write_guard.h"
#include "core/device/pacer.h"

namespace orlix::macros {

inline constexpr size_t kMacroFileSize = kMacroRecordSize * kMacroRecordCount;  // 2052000
inline constexpr const char* kMacroFileName = "Macro.cfg";
inline constexpr uint32_t kSavePause = 100;  // ms before and after the library is written

// How a save tells the user that Macro.cfg was missing: the macro page uses a
// standard message box, the keyboard page the info dialog.
enum class MissingFileNotice { MessageBox, InfoDialog };

struct MacroListItem {
  std::u16string name;
  uint32_t id = 0;
  int record = 0;
};

class MacroLibrary {
 public:
  // path: the full path of Macro.cfg. Everything passed must outlive the library.
  MacroLibrary(ConfigImage& image, FileStore& files, std::string path, UserNotices& notices, TextSource texts,
               Pacer& pacer);

  // Reads Macro.cfg into the library (a short file leaves the rest zero). A
  // missing file is reported with str_msg2; the library then keeps what it held,
  // as it does when the file cannot be opened (and is empty after a read that
  // failed part-way). True when the file was read.
  bool LoadMacroLibrary();
  // Writes the whole library. A missing Macro.cfg is reported and then created.
  // True when the file was written.
  bool SaveMacroLibrary(MissingFileNotice how = MissingFileNotice::MessageBox);
  // Index of the first record with this identifier.
  std::optional<int> FindMacroRecord(uint32_t id) const;
  // Takes a macro transfer block into the library (replacing the record of the
  // same identifier, else filling the first free record) and saves. Refused
  // (false, nothing saved) unless size >= 108 and the magic carries 0xE8E8, when
  // the bytes do not hold the block's header, or when no record is free. A block
  // of more than 1000 events is cut after the 1000th, the room of a record.
  bool StoreMacro(std::span<const uint8_t> block);
  // Zeroes the first record with this identifier; saves in every case.
  void DeleteMacro(uint32_t id);
  // Renames every record with this identifier (at most 20 characters); saves in every case.
  void RenameMacro(uint32_t id, std::u16string_view name);
  // True when a key extra record of the current profile names the macro.
  bool IsMacroInUse(uint32_t id) const;
  // The listed records of one game category, in index order.
  std::vector<MacroListItem> ListMacros(int category) const;

  const std::string& path() const { return path_; }
  // Saves run through guard from now on (none: they write directly). guard
  // must outlive the library.
  void setWriteGuard(WriteGuard* guard) { guard_ = guard; }
  ConfigImage& image() { return image_; }

 private:
  ConfigImage& image_;
  FileStore& files_;
  std::string path_;
  UserNotices& notices_;
  TextSource texts_;
  Pacer& pacer_;
  WriteGuard* guard_ = nullptr;
};

}  // namespace orlix::macros
