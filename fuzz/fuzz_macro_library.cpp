// Fuzzes the macro library reader: any bytes as Macro.cfg, then every
// operation that reads records (listing, loading into the editor's list,
// encoding), and the same bytes as a macro transfer block for StoreMacro.
//
// The image and the library are built once: loading zeroes the whole library
// before it reads the file, so nothing of the previous input is left.
#include <cstdlib>
#include <set>

#include "core/config/config_image.h"
#include "core/config/file_store.h"
#include "core/macros/macro_editing.h"
#include "core/macros/macro_encoding.h"
#include "core/macros/macro_library.h"
#include "core/macros/macro_record.h"
#include "library_file.h"

using namespace orlix;
using namespace orlix::macros;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static LibraryRig rig;
  ConfigImage& image = *rig.image;
  MacroLibrary& library = rig.library;
  rig.file.input = std::span<const uint8_t>(data, size);
  rig.file.writes = 0;
  if (!library.LoadMacroLibrary()) std::abort();

  // Listing: each listed record appears once, under its own category, and
  // a category no record has lists nothing.
  std::set<int> categories;
  size_t listed = 0;
  for (const auto& r : image.macroLibrary)
    if (isListed(r)) {
      categories.insert(categoryOf(recordId(r)));
      ++listed;
    }
  size_t seen = 0;
  for (int c : categories)
    for (const auto& item : library.ListMacros(c)) {
      if (item.record < 0 || item.record >= kMacroRecordCount) std::abort();
      const auto& r = image.macroLibrary[size_t(item.record)];
      if (!isListed(r) || categoryOf(item.id) != c || item.id != recordId(r)) std::abort();
      ++seen;
    }
  if (seen != listed) std::abort();
  for (int c = 0; c <= 255; ++c)
    if (!categories.count(c)) {
      if (!library.ListMacros(c).empty()) std::abort();
      break;
    }

  size_t records = std::min<size_t>(kMacroRecordCount, size / kMacroRecordSize + 1);
  for (size_t i = 0; i < records; ++i) {
    const auto& r = image.macroLibrary[i];
    auto loaded = LoadMacroToList(r);
    if (loaded.list.size() > kMaxEvents) std::abort();
    if (auto m = encodeSlotImage(r); m && m->triples > kMaxTriples) std::abort();
  }

  if (library.StoreMacro(std::span<const uint8_t>(data, size))) {
    auto id = library.FindMacroRecord(size >= 12 ? uint32_t(data[8] | data[9] << 8 | data[10] << 16 | uint32_t(data[11]) << 24) : 0);
    if (!id || storedEventCount(image.macroLibrary[size_t(*id)]) > kMaxEvents) std::abort();
    if (rig.file.writes != 1) std::abort();  // a stored macro is saved at once
  }
  return 0;
}
