#pragma once
// The Macro set tab of the key setting panel without its window: the game
// category chosen on the left, the macros of that category on the right, and
// the macro the panel binds when it is confirmed on this tab.

#include <cstdint>
#include <string>
#include <vector>

#include "core/keys/key_assignment.h"
#include "core/macros/macro_library.h"

namespace orlix::macros {

inline constexpr int kGameCount = 21;

class MacroSetModel {
 public:
  // library must outlive the model.
  explicit MacroSetModel(const MacroLibrary& library) : library_(library) {}

  // The names of the 21 game categories in category order (Chinese or English).
  static std::vector<std::u16string> gameNames(bool chinese);

  // Opening the tab: the game list's additions leave the last game (category
  // 21) selected, and its macros are listed with the last one selected.
  void open();
  // The user picked game index (0..20) in the game list; a pick of the current
  // index changes nothing. False when nothing changed.
  bool chooseGame(int index);
  // A repaint of the tab lists the current category again from the library,
  // so the last macro ends up selected.
  void relist();
  // The user picked macro index in the macro list (-1: none).
  void selectMacro(int index);

  int gameIndex() const { return game_; }
  const std::vector<MacroListItem>& macros() const { return macros_; }
  int selectedMacro() const { return selected_; }

  // The panel's result from this tab: the selected macro's identifier, category
  // 6 and its name; code 0 when no macro is selected.
  void fillResult(keys::SettingResult& r) const;

 private:
  const MacroLibrary& library_;
  int game_ = -1;
  std::vector<MacroListItem> macros_;
  int selected_ = -1;
};

}  // namespace orlix::macros
