#include "core/macros/macro_library.h"

#include <algorithm>

#include "core/macros/macro_record.h"
#include "core/util/bytes.h"
#include "core/util/utf8_utf16.h"

namespace orlix::macros {

namespace {
constexpr char16_t kMissingFileText[] = u"Failed to open file, check whether there is a %s path?";
constexpr char16_t kNoPermissionText[] = u"Failed to create Profile, make sure you have permission to create files!";
}  // namespace

MacroLibrary::MacroLibrary(ConfigImage& image, FileStore& files, std::string path, UserNotices& notices,
                           TextSource texts, Pacer& pacer)
    : image_(image), files_(files), path_(std::move(path)), notices_(notices), texts_(std::move(texts)),
      pacer_(pacer) {}

bool MacroLibrary::LoadMacroLibrary() {
  FileError error = FileError::None;
  // The records lie end to end, as the file holds them: read straight into
  // them, with no 2 MB copy on the way. What a short file lacks reads as zero.
  static_assert(sizeof(image_.macroLibrary) == kMacroFileSize);
  std::span<uint8_t> records(reinterpret_cast<uint8_t*>(image_.macroLibrary.data()), kMacroFileSize);
  auto n = files_.readInto(path_, records, error);
  if (!n) {
    if (error == FileError::NotFound) notices_.showInfo(formatOne(texts_.text("str_msg2"), utf8ToUtf16(path_)));
    return false;
  }
  std::fill(records.begin() + ptrdiff_t(*n), records.end(), uint8_t(0));
  return true;
}

bool MacroLibrary::SaveMacroLibrary(MissingFileNotice how) {
  // The notices come before and after the write, never inside a guard's lock.
  bool missing = !files_.exists(path_);
  if (missing) {
    std::u16string text = formatOne(kMissingFileText, utf8ToUtf16(path_));
    if (how == MissingFileNotice::MessageBox) notices_.messageBox(text, u"Info");
    else notices_.showInfo(text);
  }
  FileError e = FileError::Other;
  auto write = [&] {
    // The records lie end to end, as the file holds them: no copy of 2 MB per save.
    static_assert(sizeof(image_.macroLibrary) == kMacroFileSize);
    std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(image_.macroLibrary.data()), kMacroFileSize);
    if (!missing) pacer_.pause(kSavePause);
    e = files_.write(path_, bytes);
    if (!missing) pacer_.pause(kSavePause);
    return e == FileError::None;
  };
  bool ok = guard_ ? guard_->guard(StoredPart::Macros, write) : write();
  if (missing && e == FileError::AccessDenied) notices_.showInfo(kNoPermissionText);
  return ok;
}

std::optional<int> MacroLibrary::FindMacroRecord(uint32_t id) const {
  for (int i = 0; i < kMacroRecordCount; ++i)
    if (recordId(image_.macroLibrary[size_t(i)]) == id) return i;
  return std::nullopt;
}

bool MacroLibrary::StoreMacro(std::span<const uint8_t> block) {
  if (block.size() < kBlkEvents) return false;
  uint32_t size = getU32(block, kBlkSize), magic = getU32(block, kBlkMagic);
  if (size < kMinBlockSize || (magic >> 16) != kMagicHighMark) return false;
  uint32_t id = getU32(block, kBlkId);

  int index = -1;
  if (auto found = FindMacroRecord(id)) {
    index = *found;
  } else {
    for (int i = 0; i < kMacroRecordCount && index < 0; ++i)
      if (isFree(image_.macroLibrary[size_t(i)])) index = i;
    if (index < 0) return false;
  }
  auto& r = image_.macroLibrary[size_t(index)];
  r.fill(0);
  size_t n = std::min<size_t>({getU32(block, kBlkCount), (block.size() - kBlkEvents) / 4, kMaxEvents});
  std::copy_n(block.begin() + kBlkEvents, 4 * n, r.begin() + kRecEvents);
  putU32(r, kRecId, id);
  putU32(r, kRecCount, uint32_t(n));
  putU32(r, kRecLoop, getU32(block, kBlkLoop));
  putU32(r, kRecReserved, getU32(block, kBlkReserved));
  std::copy_n(block.begin() + kBlkName, 2 * kNameUnits, r.begin() + kRecName);
  putU32(r, kRecSize, size);
  putU32(r, kRecMagic, magic);
  SaveMacroLibrary();
  return true;
}

void MacroLibrary::DeleteMacro(uint32_t id) {
  if (auto i = FindMacroRecord(id)) image_.macroLibrary[size_t(*i)].fill(0);
  SaveMacroLibrary();
}

void MacroLibrary::RenameMacro(uint32_t id, std::u16string_view name) {
  for (auto& r : image_.macroLibrary)
    if (recordId(r) == id) setRecordName(r, name);
  SaveMacroLibrary();
}

bool MacroLibrary::IsMacroInUse(uint32_t id) const {
  for (int k = 0; k < kKeyCount; ++k)
    if (image_.macroId(k) == id) return true;
  return false;
}

std::vector<MacroListItem> MacroLibrary::ListMacros(int category) const {
  std::vector<MacroListItem> items;
  for (int i = 0; i < kMacroRecordCount; ++i) {
    const auto& r = image_.macroLibrary[size_t(i)];
    if (isListed(r) && categoryOf(recordId(r)) == category) items.push_back({recordName(r), recordId(r), i});
  }
  return items;
}

}  // namespace orlix::macros
