#pragma once
// The macro page of the main window and its side of the main window's hooks.

#include "gui/app/skin_page.h"

namespace orlix::gui {

class CGDIBitmapBtn;

// Macro page (template 130): the record and game buttons carry texts of the
// current language; the game button's skinned menu is the page's popup.
class CMacroDlg : public SkinPage {
 public:
  explicit CMacroDlg(QWidget* parent);
  // Selects list entry `entry` and remembers the list's selection (start-up: 21).
  void SelectEntry(int entry);
  int selectedEntry() const { return selectedEntry_; }
  // The game button's popup menu: open or not, and closing it.
  bool HasPopupMenu() const;
  void ClosePopupMenu();
  // After a language switch: the record button reads str_macro_start and, when
  // no game category was chosen since the page opened, the game button reads
  // the built-in "custom" text.
  void RefreshLanguage();
  // A game category was chosen on the page.
  void setGameChosen(bool chosen) { gameChosen_ = chosen; }
  CGDIBitmapBtn* recordButton() const { return record_; }
  CGDIBitmapBtn* gameButton() const { return game_; }

 private:
  CGDIBitmapBtn* record_ = nullptr;
  CGDIBitmapBtn* game_ = nullptr;
  int selectedEntry_ = -1;
  bool gameChosen_ = false;
};

}  // namespace orlix::gui
