#include "gui/keys/setting_dlg.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "core/keys/key_names.h"
#include "core/localization/language_strings.h"
#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "gui/app/key_catch.h"
#include "gui/keys/panel_pages.h"
#include "gui/qt_text.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/shaped_window.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

namespace {

namespace sp = skin::setting_panel;
using Model = keys::KeySettingModel;


constexpr unsigned kTabText = 0x676153, kTitleColour = 0x695F58, kLabelColour = 0xC8BDBD;

bool isSwallowedKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Space;
}

}  // namespace

CSettingDlg::CSettingDlg(QWidget* owner, const ConfigImage& image, const macros::MacroLibrary& macros,
                         keys::KeyInjector& injector, keys::KeyboardLayout& layout)
    : MessageWidget<QDialog>(owner, Qt::Dialog | Qt::FramelessWindowHint), image_(image), layout_(layout) {
  keys::KeySettingHooks hooks;
  hooks.receiveAtComboPage = [this] { SetReciveWindow(combo_); };
  hooks.setHookStatus = [](int on) { SetHookStatus(on, 0); };
  model_ = std::make_unique<Model>(image, macros, injector, std::move(hooks));
  setModal(true);
  // Translucent from the start: the window's surface is made at its first
  // show, which may come before the skin is loaded.
  shapeTopLevel(this, QRegion());
}

CSettingDlg::~CSettingDlg() {
  // Closed in a way that is not one of its buttons (or destroyed unshown):
  // capture must not go on into a page that no longer exists.
  if (combo_ && KeyCatch::instance().receiver() == static_cast<MessageTarget*>(combo_)) {
    SetHookStatus(0, 0);
    SetReciveWindow(nullptr);
  }
}

void CSettingDlg::initialise() {
  if (initialised_) return;
  initialised_ = true;
  setWindowTitle(kTitle);
  normal_ = loadBitmapFile(skinPath(skin::kSettingPanel.normal));
  down_ = loadBitmapFile(skinPath(skin::kSettingPanel.down));
  over_ = loadBitmapFile(skinPath(skin::kSettingPanel.over));
  // Cut by its skin like the main window: the key colour never shows, on the
  // panel or on the buttons cut from it.
  shapeTopLevel(this, normal_);
  normal_ = keyedImage(normal_);
  down_ = keyedImage(down_);
  over_ = keyedImage(over_);
  QSize size = normal_.isNull() ? QSize(sp::kSize.width, sp::kSize.height) : normal_.size();
  setFixedSize(size);
  if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr) {
    QRect o = owner->frameGeometry();
    move(o.left() + (o.width() - size.width()) / 2, o.top() + (o.height() - size.height()) / 2);
  }

  const keys::KeySettingTexts texts = keys::keySettingTexts(localization::languageFlag() != 0);
  auto button = [this](const Rect& r, std::u16string_view text) {
    auto* b = new CGDIBitmapBtn(this);
    b->create(toQString(text), toQRect(r), this);
    b->setImages(normal_, over_, down_, normal_, r);
    return b;
  };
  close_ = button(sp::kClose, u"");
  tabs_ = {button(sp::kComboTab, texts.comboTab), button(sp::kMacroTab, texts.macroTab),
           button(sp::kBaseTab, texts.baseTab)};
  for (auto* t : tabs_) {
    t->setCheckStyle(true);
    t->setTextColours(fromColorRef(kTabText), Qt::white, Qt::white);
  }
  disable_ = button(sp::kDisableBox, u"");
  disable_->setCheckStyle(true);
  restore_ = button(sp::kRestore, texts.restore);
  ok_ = button(sp::kOk, texts.ok);

  QObject::connect(close_, &CGDIBitmapBtn::clicked, this, [this] { end(model_->close()); });
  const int tabNumbers[3] = {keys::kTabCombination, keys::kTabMacroSet, keys::kTabBase};
  for (int p = 0; p < 3; ++p)
    QObject::connect(tabs_[size_t(p)], &CGDIBitmapBtn::clicked, this, [this, t = tabNumbers[p]] {
      model_->selectTab(t);
      sync();
    });
  QObject::connect(disable_, &CGDIBitmapBtn::clicked, this, [this] {
    model_->toggleDisable();
    sync();
  });
  QObject::connect(restore_, &CGDIBitmapBtn::clicked, this, [this] { end(model_->restore()); });
  QObject::connect(ok_, &CGDIBitmapBtn::clicked, this, [this] { end(model_->ok()); });

  // The pages exist before the model selects the first tab, which points the
  // hook at the combination page.
  QPoint origin(sp::kPageArea.left, sp::kPageArea.top);
  QSize pageSize(skin::panel_page::kSize.width, skin::panel_page::kSize.height);
  base_ = new CDlgBase(this, *model_);
  macroSet_ = new CDlgMacroSet(this, model_->macroSet());
  combo_ = new CDlgSingleCombo(this, model_->combo(), layout_);
  for (QWidget* page : std::initializer_list<QWidget*>{base_, macroSet_, combo_}) {
    page->hide();
    page->setGeometry(QRect(origin, pageSize));
  }
  model_->initialise(keys::functionDescription(image_, model_->keyIndex(), layout_, localization::languageStrings()));
  sync();
  swallowKeysOf(this);
}

void CSettingDlg::swallowKeysOf(QObject* object) {
  object->installEventFilter(this);
  for (QObject* child : object->children())
    if (child->isWidgetType()) swallowKeysOf(child);
}

void CSettingDlg::sync() {
  for (int p = 0; p < 3; ++p) tabs_[size_t(p)]->setChecked(model_->tabChecked(p));
  disable_->setChecked(model_->disabled());
  combo_->setVisible(model_->pageVisible(Model::kComboPage));
  macroSet_->setVisible(model_->pageVisible(Model::kMacroPage));
  base_->setVisible(model_->pageVisible(Model::kBasePage));
}

void CSettingDlg::end(Model::End how) {
  ending_ = true;
  if (how == Model::End::Ok) accept();
  else QDialog::reject();
}

void CSettingDlg::reject() {
  // Esc is swallowed; what is left is the window being closed from outside,
  // which ends the panel as its close button does.
  if (!ending_) model_->close();
  ending_ = true;
  QDialog::reject();
}

void CSettingDlg::showEvent(QShowEvent* e) {
  initialise();
  MessageWidget<QDialog>::showEvent(e);
}

bool CSettingDlg::eventFilter(QObject* watched, QEvent* e) {
  if ((e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease || e->type() == QEvent::ShortcutOverride) &&
      isSwallowedKey(static_cast<QKeyEvent*>(e)->key()))
    return true;
  if (e->type() == QEvent::WhatsThis || e->type() == QEvent::EnterWhatsThisMode) return true;
  return MessageWidget<QDialog>::eventFilter(watched, e);
}

void CSettingDlg::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (normal_.isNull()) p.fillRect(rect(), Qt::black);
  else p.drawImage(0, 0, normal_);
  const keys::KeySettingTexts texts = keys::keySettingTexts(localization::languageFlag() != 0);
  p.setFont(gdiFont(14, 300));
  auto draw = [&](const Rect& r, unsigned colour, Qt::Alignment align, const QString& text) {
    QRect q = toQRect(r);
    p.setPen(fromColorRef(colour));
    p.drawText(q, int(align | Qt::AlignVCenter) | Qt::TextSingleLine,
               p.fontMetrics().elidedText(text, Qt::ElideRight, q.width()));
  };
  draw(sp::kTitle, kTitleColour, Qt::AlignHCenter, toQString(texts.title));
  draw(sp::kCurrentFunction, kLabelColour, Qt::AlignLeft, toQString(texts.currentFunction) + toQString(model_->currentFunction()));
  draw(sp::kDisableLabel, kLabelColour, Qt::AlignLeft, toQString(texts.disableLabel));
}

// Any free spot of the panel drags it, as its caption would.
void CSettingDlg::mousePressEvent(QMouseEvent* e) { drag_.press(this, e); }

void CSettingDlg::mouseMoveEvent(QMouseEvent* e) { drag_.move(this, e); }

void CSettingDlg::mouseReleaseEvent(QMouseEvent* e) { drag_.release(e); }

}  // namespace orlix::gui
