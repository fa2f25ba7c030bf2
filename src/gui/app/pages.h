#pragma once
// The keyboard, lighting and macro pages of the main window, with the calls
// the main window makes on them, and the keyboard overlay shown above the
// lighting page. Their key buttons, light buttons, effect pages and macro
// editing are filled in by the windows that own those parts; what is here is
// each page's skin and its side of the main window's hooks.

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>

#include "gui/app/skin_page.h"

namespace orlix::gui {

class CGDIBitmapBtn;

// Keyboard page (template 129).
class CMainSetDlg : public SkinPage {
 public:
  explicit CMainSetDlg(QWidget* parent);
  // Redraws every key button from the key table (after a profile switch,
  // a restore of the defaults and the start of an apply).
  void RefreshAllKey();
  int refreshCount() const { return refreshes_; }
  // Called by RefreshAllKey: the key buttons' own refresh.
  std::function<void()> onRefreshAllKeys;

 private:
  int refreshes_ = 0;
};

// Lighting page (template 145).
class CDlgLedMain : public SkinPage {
 public:
  explicit CDlgLedMain(QWidget* parent);
  // Redraws the light buttons and the effect buttons from the LED state.
  void RefreshPage();
  int refreshCount() const { return refreshes_; }
  std::function<void()> onRefresh;

 private:
  int refreshes_ = 0;
};

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

// The keyboard overlay above the lighting page (template 172): the keyboard's
// picture with its transparency, letting clicks through to the light buttons.
class CDlgNotSee : public QWidget {
 public:
  explicit CDlgNotSee(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QImage picture_;
};

}  // namespace orlix::gui
