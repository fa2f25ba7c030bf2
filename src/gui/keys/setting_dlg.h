#pragma once
// CSettingDlg: the key setting panel, the modal window in which a new function
// is chosen for one key. Its rules are keys::KeySettingModel; the window draws
// the model and passes the user's clicks and keys to it. It is shaped by its
// skin and is a transient window of its owner's window, on which it centres
// (or which a desktop that places windows itself goes by).

#include <QDialog>
#include <QImage>

#include <array>
#include <memory>

#include "core/config/config_image.h"
#include "core/keys/key_injection.h"
#include "core/keys/key_setting_model.h"
#include "core/macros/macro_library.h"
#include "gui/app/message_widget.h"
#include "gui/skin/shaped_window.h"

namespace orlix::gui {

class CGDIBitmapBtn;
class CDlgSingleCombo;
class CDlgMacroSet;
class CDlgBase;

class CSettingDlg : public MessageWidget<QDialog> {
  Q_OBJECT

 public:
  static inline const QString kTitle = QStringLiteral("UlmoraOrlixRGBSetting");

  // Everything passed outlives the panel; owner is the window it centres on.
  CSettingDlg(QWidget* owner, const ConfigImage& image, const macros::MacroLibrary& macros,
              keys::KeyInjector& injector, keys::KeyboardLayout& layout);
  ~CSettingDlg() override;

  void setKeyIndex(int k) { model_->setKeyIndex(k); }
  // Builds the controls and pages and selects the combination tab; runs on the
  // first show when not called before.
  void initialise();
  // Valid after the panel was accepted.
  const keys::SettingResult& result() const { return model_->result(); }
  keys::KeySettingModel& model() { return *model_; }

  CGDIBitmapBtn* closeButton() const { return close_; }
  CGDIBitmapBtn* tabButton(int page) const { return tabs_[size_t(page)]; }
  CGDIBitmapBtn* disableBox() const { return disable_; }
  CGDIBitmapBtn* restoreButton() const { return restore_; }
  CGDIBitmapBtn* okButton() const { return ok_; }
  CDlgSingleCombo* comboPage() const { return combo_; }
  CDlgMacroSet* macroSetTab() const { return macroSet_; }
  CDlgBase* basePage() const { return base_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void reject() override;

 private:
  void sync();
  void end(keys::KeySettingModel::End how);
  void swallowKeysOf(QObject* object);

  const ConfigImage& image_;
  keys::KeyboardLayout& layout_;
  std::unique_ptr<keys::KeySettingModel> model_;
  QImage normal_, down_, over_;
  bool initialised_ = false;
  bool ending_ = false;
  CGDIBitmapBtn* close_ = nullptr;
  std::array<CGDIBitmapBtn*, 3> tabs_{};
  CGDIBitmapBtn* disable_ = nullptr;
  CGDIBitmapBtn* restore_ = nullptr;
  CGDIBitmapBtn* ok_ = nullptr;
  CDlgSingleCombo* combo_ = nullptr;
  CDlgMacroSet* macroSet_ = nullptr;
  CDlgBase* base_ = nullptr;
  WindowDrag drag_;
};

}  // namespace orlix::gui
