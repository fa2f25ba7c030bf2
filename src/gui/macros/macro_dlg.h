#pragma once
// The macro page of the main window: the macro and event lists, recording,
// the editing panel, the loop options and the game menu. The page gathers
// input, hands it to macros::MacroPageModel and draws what the model holds.

#include <QPointer>

#include <array>
#include <memory>

#include "core/macros/macro_page_model.h"
#include "gui/app/skin_page.h"

namespace orlix::gui {

class CGDIBitmapBtn;
class CListBoxEx;
class CSkinEdit;

// Macro page (template 130).
class CMacroDlg : public SkinPage {
 public:
  static constexpr int kMacroListId = 256, kEventListId = 257;
  static constexpr int kLoopCountId = 1000, kKeyBoxId = 1001, kDelayBoxId = 1002;

  // Everything passed outlives the page.
  CMacroDlg(QWidget* parent, macros::MacroLibrary& library, UserNotices& notices, Pacer& clock);
  ~CMacroDlg() override;

  // The main window's call after start-up: lists the macros of category
  // `entry` (21) as a game choice does and remembers the entry.
  void SelectEntry(int entry);
  int selectedEntry() const { return selectedEntry_; }
  // The game button's popup menu: open or not, and closing it.
  bool HasPopupMenu() const;
  void ClosePopupMenu();
  // After a language switch: the record button reads str_macro_start (or
  // str_macro_end while recording) and, when no game category was chosen since
  // the page opened, the game button reads the category-21 name.
  void RefreshLanguage();
  // After another process changed the macro library: the list is read again.
  void ReloadList();

  macros::MacroPageModel& model() { return *model_; }
  CGDIBitmapBtn* recordButton() const { return record_; }
  CGDIBitmapBtn* gameButton() const { return game_; }
  CListBoxEx* macroList() const { return macroList_; }
  CListBoxEx* eventList() const { return eventList_; }
  CGDIBitmapBtn* newMacroButton() const { return newMacro_; }
  CGDIBitmapBtn* deleteMacroButton() const { return deleteMacro_; }
  CGDIBitmapBtn* insertButton() const { return insert_; }
  CGDIBitmapBtn* deleteEventButton() const { return deleteEvent_; }
  CGDIBitmapBtn* changeButton() const { return change_; }
  CGDIBitmapBtn* delayToggle() const { return delayToggle_; }
  CGDIBitmapBtn* loopOption(int i) const { return loopOptions_[size_t(i)]; }
  CSkinEdit* loopCountBox() const { return loopCount_; }
  // 0 left, 1 middle, 2 right.
  CGDIBitmapBtn* mouseButton(int i) const { return mouse_[size_t(i)]; }
  CGDIBitmapBtn* keyOption() const { return keyOption_; }
  CSkinEdit* keyBox() const { return keyBox_; }
  CGDIBitmapBtn* keyOk() const { return keyOk_; }
  CGDIBitmapBtn* delayOption() const { return delayOption_; }
  CSkinEdit* delayBox() const { return delayBox_; }
  CGDIBitmapBtn* delayOk() const { return delayOk_; }

 protected:
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  CGDIBitmapBtn* makeButton(const Rect& r, int hint, bool check = false);
  CSkinEdit* makeEdit(const Rect& r, const QString& text, int maxLength, bool digits, int hint);
  void watch(QWidget* control, int hint);
  // Runs a click: an open game menu is closed first, then the action, then the
  // controls are brought up to date with the model.
  template <typename F>
  void click(F&& action);
  void openGameMenu();
  void takeEventSelection();
  // Draws the model: lists, captions, checks, enabled buttons, the panel.
  void sync();

  std::unique_ptr<macros::MacroPageModel> model_;
  CGDIBitmapBtn* record_ = nullptr;
  CGDIBitmapBtn* game_ = nullptr;
  CListBoxEx* macroList_ = nullptr;
  CListBoxEx* eventList_ = nullptr;
  CGDIBitmapBtn *newMacro_ = nullptr, *deleteMacro_ = nullptr, *insert_ = nullptr, *deleteEvent_ = nullptr,
                *change_ = nullptr;
  CGDIBitmapBtn* delayToggle_ = nullptr;
  std::array<CGDIBitmapBtn*, 3> loopOptions_{};
  CSkinEdit* loopCount_ = nullptr;
  std::array<CGDIBitmapBtn*, 3> mouse_{};
  CGDIBitmapBtn *keyOption_ = nullptr, *keyOk_ = nullptr, *delayOption_ = nullptr, *delayOk_ = nullptr;
  CSkinEdit *keyBox_ = nullptr, *delayBox_ = nullptr;
  int selectedEntry_ = -1;
  uint64_t shownMacroRevision_ = ~0ull, shownEventRevision_ = ~0ull;
  macros::EventList shownEvents_;
  bool delayBoxWasShown_ = false;
  bool syncing_ = false;
};

}  // namespace orlix::gui
