#pragma once
// The three pages of the key setting panel: the combination page, the Macro
// set tab and the base page. Each draws what its model (core/keys,
// core/macros) holds and passes the user's input to it.

#include <array>
#include <functional>

#include "core/keys/combo_model.h"
#include "core/keys/key_setting_model.h"
#include "core/macros/macro_set_model.h"
#include "gui/app/skin_page.h"

namespace orlix::gui {

class CGDIBitmapBtn;
class CListBoxEx;

// Combination page (template 139): four modifier boxes and the key captured
// through the keyboard hook (message 0x40A).
class CDlgSingleCombo : public SkinPage {
 public:
  CDlgSingleCombo(QWidget* parent, keys::ComboModel& model, keys::KeyboardLayout& layout);
  CGDIBitmapBtn* box(keys::ComboModel::Box b) const { return boxes_[size_t(b)]; }
  // Redraws the boxes from the model.
  void syncBoxes();

 protected:
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  keys::ComboModel& model_;
  keys::KeyboardLayout& layout_;
  std::array<CGDIBitmapBtn*, 4> boxes_{};
};

// Macro set tab (template 141): the 21 games and the macros of the chosen one.
class CDlgMacroSet : public SkinPage {
 public:
  static constexpr int kGameListId = 10001, kMacroListId = 10002;
  CDlgMacroSet(QWidget* parent, macros::MacroSetModel& model);
  CListBoxEx* gameList() const { return games_; }
  CListBoxEx* macroList() const { return macros_; }

 protected:
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void fillMacroList();

  macros::MacroSetModel& model_;
  CListBoxEx* games_ = nullptr;
  CListBoxEx* macros_ = nullptr;
};

// Base page: the 16 fixed functions in a skinned list.
class CDlgBase : public SkinPage {
 public:
  static constexpr int kListId = 101;
  CDlgBase(QWidget* parent, keys::KeySettingModel& model);
  CListBoxEx* list() const { return list_; }

 protected:
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override;

 private:
  keys::KeySettingModel& model_;
  CListBoxEx* list_ = nullptr;
};

// The look every list of the panel shares: item height, the list colours and
// the skinned scroll bars of bitmap 131.
CListBoxEx* makePanelList(QWidget* page, const Rect& rect, int id, int itemHeight);

}  // namespace orlix::gui
