#include "core/keys/key_assignment.h"

#include <algorithm>
#include <vector>

#include "core/keys/key_codes.h"
#include "core/keys/key_picture_map.h"

namespace orlix::keys {

namespace {

bool macroMayBeBound(const ConfigImage& image, int d, uint32_t id, const std::array<uint32_t, kKeyCount>& row) {
  if (std::find(row.begin(), row.end(), id) != row.end()) return true;  // already counted

  int keys = 0;
  const auto& map = keyPictureMap();
  for (int l = 0; l < kKeyPictureCount; ++l) {
    int u = map[size_t(l)].keyIndex;
    if ((u == 0 && l != kLeftCtrlRecord) || !isMacro(image.keyTable[size_t(u)]) || u == d) continue;
    uint32_t bound = image.macroId(u);
    for (int m = 0; m < kMacroRecordCount; ++m)
      if (image.macroRecordId(m) == bound) ++keys;
  }
  std::vector<uint32_t> ids;
  for (uint32_t e : row) {
    if (ids.size() >= size_t(kMacroLimit)) break;
    if (e != 0 && std::find(ids.begin(), ids.end(), e) == ids.end()) ids.push_back(e);
  }
  return ids.size() < size_t(kMacroLimit) && keys < kMacroLimit;
}

}  // namespace

StoreOutcome storeSettingResult(ConfigImage& image, int d, const SettingResult& r, UserNotices& notices,
                                const KeyAssignmentHooks& hooks) {
  int profile = std::clamp(image.profiles.current, 0, kProfileCount - 1);
  auto& row = image.macroAssignment[size_t(profile)];
  StoreOutcome outcome = StoreOutcome::Stored;

  if (isMacro(image.keyTable[size_t(d)]) && image.macroId(d) == r.code) {
    row[size_t(d)] = 0;
    if (hooks.saveMacroLibrary) hooks.saveMacroLibrary();
  }
  if (r.category == kCategoryMacro) {
    int record = -1;
    for (int m = 0; m < kMacroRecordCount && record < 0; ++m)
      if (image.macroRecordId(m) == r.code) record = m;
    if (record < 0 || !image.macroInUse(record)) {
      outcome = StoreOutcome::MacroNotStored;
    } else if (!macroMayBeBound(image, d, r.code, row)) {
      notices.showInfo(kMacroLimitText);
      outcome = StoreOutcome::MacroLimit;
    } else {
      image.keyTable[size_t(d)] = kMacroCode;
      row[size_t(d)] = r.code;
      image.setMacroId(d, r.code);
    }
  } else {
    image.keyTable[size_t(d)] = r.code;
    row[size_t(d)] = 0;
    image.setActionText(d, r.text);  // zeroes the identifier first; longer text is cut
  }
  if (hooks.refreshKey) hooks.refreshKey(d);
  return outcome;
}

}  // namespace orlix::keys
