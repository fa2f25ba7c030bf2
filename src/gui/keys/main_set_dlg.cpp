#include "gui/keys/main_set_dlg.h"

#include <QPointer>

#include "core/localization/language_strings.h"
#include "core/skin/window_geometry.h"
#include "gui/keys/setting_dlg.h"
#include "gui/qt_text.h"
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
    whenSkinned([this, b, r] { b->setImages(normalLook(), overLook(), downLook(), normalLook(), r); });
    b->setCheckStyle(true);
    b->setProperty("keyIndex", map[size_t(n)].keyIndex);
    QObject::connect(b, &CGDIBitmapBtn::clicked, this, [this, n] { onKeyClicked(n); });
    buttons_[size_t(n)] = b;
  }
  refreshButtons();
}

CMainSetDlg::~CMainSetDlg() = default;

void CMainSetDlg::refreshButton(int n) {
  if (!model_) return;
  keys::KeyButtonState s = model_->buttonState(n);
  CGDIBitmapBtn* b = buttons_[size_t(n)];
  if (b->isChecked() != s.checked) b->setChecked(s.checked);
  b->setTooltip(toQString(s.tooltip));
}

void CMainSetDlg::RefreshKey(int k) {
  for (int n = 0; n < keys::kKeyPictureCount; ++n)
    if (keys::KeyboardPageModel::keyIndexOf(n) == k) refreshButton(n);
}

void CMainSetDlg::refreshButtons() {
  for (int n = 0; n < keys::kKeyPictureCount; ++n) refreshButton(n);
}

void CMainSetDlg::showEvent(QShowEvent* e) {
  // The page is built before the start-up profile is loaded, and nobody
  // refreshes it after that load: showing it draws the keys as they are.
  refreshButtons();
  SkinPage::showEvent(e);
}

void CMainSetDlg::RefreshAllKey() {
  ++refreshes_;
  refreshButtons();
  if (onRefreshAllKeys) onRefreshAllKeys();
  update();
}

void CMainSetDlg::onKeyClicked(int n) {
  if (!model_ || !services_.macros) return;
  int d = keys::KeyboardPageModel::keyIndexOf(n);
  // On the heap: the program may end while the panel runs (the session's end
  // closes the main window), and the page then takes its panel with it.
  QPointer<CMainSetDlg> self(this);
  QPointer<CSettingDlg> panel =
      new CSettingDlg(this, *services_.image, *services_.macros, *services_.injector, *services_.layout);
  panel->setKeyIndex(d);
  panel->initialise();
  int answer = panel->exec();
  if (!self || !panel) return;
  keys::SettingResult result = panel->result();
  delete panel.data();
  if (answer != QDialog::Accepted) return;
  keys::KeyAssignmentHooks hooks;
  hooks.saveMacroLibrary = [this] { services_.macros->SaveMacroLibrary(macros::MissingFileNotice::InfoDialog); };
  hooks.refreshKey = [this](int k) { RefreshKey(k); };
  model_->store(d, result, hooks);
}

}  // namespace orlix::gui
