#include "core/macros/macro_set_model.h"

#include "core/macros/game_categories.h"

namespace orlix::macros {

std::vector<std::u16string> MacroSetModel::gameNames(bool chinese) {
  std::vector<std::u16string> names;
  for (int c = 1; c <= kGameCount; ++c) names.emplace_back(gameCategoryName(c, chinese));
  return names;
}

void MacroSetModel::open() {
  game_ = kGameCount - 1;
  relist();
}

bool MacroSetModel::chooseGame(int index) {
  if (index == game_ || index < 0 || index >= kGameCount) return false;
  game_ = index;
  relist();
  return true;
}

void MacroSetModel::relist() {
  macros_ = game_ >= 0 ? library_.ListMacros(game_ + 1) : std::vector<MacroListItem>{};
  selected_ = int(macros_.size()) - 1;
}

void MacroSetModel::selectMacro(int index) {
  selected_ = index >= 0 && index < int(macros_.size()) ? index : -1;
}

void MacroSetModel::fillResult(keys::SettingResult& r) const {
  if (selected_ < 0) {
    r.code = 0;
    return;
  }
  const MacroListItem& m = macros_[size_t(selected_)];
  r.code = m.id;
  r.category = keys::kCategoryMacro;
  r.text = m.name;
}

}  // namespace orlix::macros
