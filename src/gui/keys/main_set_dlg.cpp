#include "gui/keys/main_set_dlg.h"

#include "core/localization/language_strings.h"
#include "core/skin/window_geometry.h"
#include "gui/keys/setting_dlg.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/skin_images.h"
#include "platform/xkb_keyboard_layout.h"

namespace orlix::gui {

CMainSetDlg::CMainSetDlg(QWidget* parent, KeyboardPageServices services)
    : SkinPage(skin::kKeyboardPage, parent), services_(services) {
  if (!services_.layout) {
    ownLayout_ = platform::XkbKeyboardLayout::fromSession();
    services_.layout = ownLayout_.get();
  }
  if (!services_.injector) {
    noInjection_ = std::make_unique<keys::NullKeyInjector>();
    services_.injector = noInjection_.get();
  }
  if (services_.image && services_.notices)
    model_ = std::make_unique<keys::KeyboardPageModel>(*services_.image, *services_.notices, *services_.layout,
                                                       localization::languageStrings());
  const auto& map = keys::keyPictureMap();
  for (int n = 0; n < keys::kKeyPictureCount; ++n) {
    const Rect& r = map[size_t(n)].rect;
    auto* b = new CGDIBitmapBtn(this);
    b->create(QString(), toQRect(r), this);
    b->setImages(normalImage(), overImage(), downImage(), normalImage(), r);
    b->setCheckStyle(true);
    b->setProperty("keyIndex", map[size_t(n)].keyIndex);
    QObject::connect(b, &CGDIBitmapBtn::clicked, this, [this, n] { onKeyClicked(n); });
    buttons_[size_t(n)] = b;
  }
  RefreshAllKey();
  refreshes_ = 0;  // the first drawing is not a refresh anyone asked for
}

CMainSetDlg::~CMainSetDlg() = default;

void CMainSetDlg::refreshButton(int n) {
  if (!model_) return;
  keys::KeyButtonState s = model_->buttonState(n);
  CGDIBitmapBtn* b = buttons_[size_t(n)];
  if (b->isChecked() != s.checked) b->setChecked(s.checked);
  b->setTooltip(QString::fromUtf16(s.tooltip.data(), qsizetype(s.tooltip.size())));
}

void CMainSetDlg::RefreshKey(int k) {
  for (int n = 0; n < keys::kKeyPictureCount; ++n)
    if (keys::KeyboardPageModel::keyIndexOf(n) == k) refreshButton(n);
}

void CMainSetDlg::RefreshAllKey() {
  ++refreshes_;
  for (int n = 0; n < keys::kKeyPictureCount; ++n) refreshButton(n);
  if (onRefreshAllKeys) onRefreshAllKeys();
  update();
}

void CMainSetDlg::onKeyClicked(int n) {
  if (!model_ || !services_.macros) return;
  int d = keys::KeyboardPageModel::keyIndexOf(n);
  CSettingDlg panel(this, *services_.image, *services_.macros, *services_.injector, *services_.layout);
  panel.setKeyIndex(d);
  panel.initialise();
  if (panel.exec() != QDialog::Accepted) return;
  keys::KeyAssignmentHooks hooks;
  hooks.saveMacroLibrary = [this] { services_.macros->SaveMacroLibrary(macros::MissingFileNotice::InfoDialog); };
  hooks.refreshKey = [this](int k) { RefreshKey(k); };
  model_->store(d, panel.result(), hooks);
}

}  // namespace orlix::gui
