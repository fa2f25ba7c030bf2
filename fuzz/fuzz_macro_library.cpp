// Fuzzes the macro library reader: any bytes as Macro.cfg, then every
// operation that reads records (listing, loading into the editor's list,
// encoding), and the same bytes as a macro transfer block for StoreMacro.
#include <cstdlib>

#include "core/config/config_image.h"
#include "core/config/file_store.h"
#include "core/macros/macro_editing.h"
#include "core/macros/macro_encoding.h"
#include "core/macros/macro_library.h"
#include "core/macros/macro_record.h"

using namespace orlix;
using namespace orlix::macros;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto image = makeConfigImage();
  MemoryFileStore files;
  files.addFolder("/p");
  files.put("/p/Macro.cfg", std::vector<uint8_t>(data, data + size));
  RecordingNotices notices;
  FakePacer pacer;
  MacroLibrary library(*image, files, "/p/Macro.cfg", notices, {}, pacer);
  if (!library.LoadMacroLibrary()) std::abort();

  for (int c = 0; c <= 255; ++c)
    for (const auto& item : library.ListMacros(c))
      if (item.record < 0 || item.record >= kMacroRecordCount) std::abort();
  size_t records = std::min<size_t>(kMacroRecordCount, size / kMacroRecordSize + 1);
  for (size_t i = 0; i < records; ++i) {
    const auto& r = image->macroLibrary[i];
    auto loaded = LoadMacroToList(r);
    if (loaded.list.size() > kMaxEvents) std::abort();
    if (auto m = encodeSlotImage(r); m && m->triples > kMaxTriples) std::abort();
  }

  if (library.StoreMacro(std::span<const uint8_t>(data, size))) {
    auto id = library.FindMacroRecord(size >= 12 ? uint32_t(data[8] | data[9] << 8 | data[10] << 16 | uint32_t(data[11]) << 24) : 0);
    if (!id || storedEventCount(image->macroLibrary[size_t(*id)]) > kMaxEvents) std::abort();
  }
  return 0;
}
