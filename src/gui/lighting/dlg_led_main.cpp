#include "gui/lighting/dlg_led_main.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QRubberBand>

#include "core/device/messages.h"
#include "core/lighting/lighting_key_map.h"
#include "core/lighting/lighting_model.h"
#include "core/skin/window_geometry.h"
#include "gui/lighting/effect_pages.h"
#include "gui/skin/color_btn.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/irr_button.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

namespace lp = skin::lighting_page;
using namespace orlix::lighting;

CDlgLedMain::CDlgLedMain(QWidget* parent, ConfigImage& image)
    : SkinPage(skin::kLightingPage, parent), model_(std::make_shared<LightingPageModel>(image)) {
  for (int b = 0; b < kEffectButtonCount; ++b) {
    auto* e = new CIrrButton(this);
    e->create(lp::kEffectButtons[size_t(b)], this);
    whenSkinned([this, e] { e->setImages(normalLook(), overLook(), downLook()); });
    e->setCheckStyle(true);
    e->show();
    connect(e, &CIrrButton::clicked, this, [this, b] {
      QPointer<CDlgLedMain> self(this);
      std::shared_ptr<LightingPageModel> model = model_;
      model->clickEffect(b, [this, self](int button) { return self && runPage(button); });
      if (self) sync(true);
    });
    effects_[size_t(b)] = e;
  }
  auto toggle = [this](const Rect r) {
    auto* t = new CGDIBitmapBtn(this);
    t->create(QString(), toQRect(r), this);
    whenSkinned([this, t, r] { t->setImages(normalLook(), overLook(), downLook(), normalLook(), r); });
    t->setCheckStyle(true);
    return t;
  };
  selectAll_ = toggle(lp::kSelectAll);
  show_ = toggle(lp::kShowToggle);
  connect(selectAll_, &CGDIBitmapBtn::clicked, this, [this] {
    model_->clickSelectAll();
    sync(true);
  });
  connect(show_, &CGDIBitmapBtn::clicked, this, [this] {
    model_->clickShowToggle();
    sync(true);
  });

  const auto& map = lightingKeyMap();
  for (int i = 0; i < kLedRecordCount; ++i) {
    auto* c = new CColorBtn(this);
    c->setGeometry(toQRect(map[size_t(i)].rect));
    c->setProperty("ledCode", map[size_t(i)].ledCode);
    c->show();
    // The button also posts 0x450 to the page on every release: the recount.
    connect(c, &CColorBtn::clicked, this, [this, i] {
      model_->clickLight(i);
      sync(true);
    });
    lights_[size_t(i)] = c;
  }
  sync(false);
}

CDlgLedMain::~CDlgLedMain() { delete band_.data(); }

bool CDlgLedMain::runPage(int button) {
  // The page shows the selection it prepared (wave's select-all, the recount) while the effect page runs.
  sync(false);
  if (runEffectPage) return runEffectPage(button);
  EffectPageContext context{model_->image(), this, [this] {
                              model_->clearSelections();
                              sync(false);
                            }};
  QPointer<CDlgLedMain> self(this);
  QPointer<CDlgLedEffect> page = makeEffectPage(button, std::move(context), this).release();
  running_ = page;
  bool ok = page->exec() == QDialog::Accepted;
  if (!self) return false;  // the page went with the program's end; the dialog with it
  running_ = nullptr;
  delete page.data();
  return ok;
}

void CDlgLedMain::sync(bool command) {
  for (int i = 0; i < kLedRecordCount; ++i) {
    CColorBtn* c = lights_[size_t(i)];
    if (c->isChecked() != model_->selected(i)) c->setChecked(model_->selected(i));
    QColor fill = fromColorRef(model_->fill(i));
    if (c->colour() != fill) c->setColour(fill);
  }
  for (int b = 0; b < kEffectButtonCount; ++b) {
    if (command) effects_[size_t(b)]->resetHover();
    effects_[size_t(b)]->setChecked(model_->effectPressed(b));
  }
  selectAll_->setChecked(model_->selectAll());
  show_->setChecked(model_->showOn());
}

void CDlgLedMain::RefreshPage() {
  ++refreshes_;
  model_->refresh();
  sync(false);
  if (onRefresh) onRefresh();
}

intptr_t CDlgLedMain::onMessage(uint32_t id, uintptr_t, intptr_t lParam) {
  switch (id) {
    case msg::kLightSelection:
      model_->recount();
      sync(false);
      return 1;
    case msg::kEffectSlot:
      model_->slotExclusion(int(lParam));
      return 1;
    default:
      return 0;
  }
}

void CDlgLedMain::mousePressEvent(QMouseEvent* e) {
  QPoint p = e->position().toPoint();
  if (e->button() == Qt::RightButton) {
    model_->rightClick();
    sync(false);
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  banding_ = true;
  bandStart_ = p;
  // The band is drawn in the main window, above the keyboard overlay that covers the page.
  QWidget* host = window();
  if (!band_) band_ = new QRubberBand(QRubberBand::Rectangle, host);
  band_->setGeometry(QRect(mapTo(host, p), QSize()));
  band_->show();
  band_->raise();
  setCursor(Qt::CrossCursor);
}

void CDlgLedMain::mouseMoveEvent(QMouseEvent* e) {
  QPoint p = e->position().toPoint();
  if (banding_ && band_) {
    band_->setGeometry(QRect(mapTo(window(), bandStart_), mapTo(window(), p)).normalized());
    return;
  }
  for (int hint : LightingPageModel::hintsAt(p.x(), p.y())) postHint(hint);
}

void CDlgLedMain::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !banding_) return;
  banding_ = false;
  if (band_) band_->hide();
  unsetCursor();
  QPoint p = e->position().toPoint();
  model_->rubberBand(bandStart_.x(), bandStart_.y(), p.x(), p.y());
  sync(false);
}

// Enter, Escape and Space neither close nor trigger the page.
static bool isSwallowedKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Space;
}

void CDlgLedMain::keyPressEvent(QKeyEvent* e) {
  if (isSwallowedKey(e->key())) {
    e->accept();
    return;
  }
  SkinPage::keyPressEvent(e);
}

void CDlgLedMain::keyReleaseEvent(QKeyEvent* e) {
  if (isSwallowedKey(e->key())) {
    e->accept();
    return;
  }
  SkinPage::keyReleaseEvent(e);
}

}  // namespace orlix::gui
