#include "gui/lighting/palette_dlg.h"

#include <QMouseEvent>

#include "core/device/messages.h"
#include "core/skin/window_geometry.h"
#include "gui/skin/color_btn.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/png_slider.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

namespace pal = skin::palette;
using namespace orlix::lighting;

CPaletteDlg::CPaletteDlg(const PaletteRequest& request, EffectPageModel* owner, QWidget* parent)
    : SkinDialog(QString::fromLatin1(skin::kPalette), parent), model_(request), owner_(owner) {
  setWindowTitle(QStringLiteral("CPaletteDlg"));
  preview_ = new CColorBtn(this);
  preview_->setGeometry(toQRect(pal::kPreview));
  preview_->show();
  const Rect rects[3] = {pal::kRed, pal::kGreen, pal::kBlue};
  const int ids[3] = {pal::kRedId, pal::kGreenId, pal::kBlueId};
  for (int i = 0; i < 3; ++i) {
    auto* bar = new CPngHSliderBar(this);
    bar->init(skinPath(QString::fromLatin1(skin::kSliderThumb)), toQRect(rects[i]), this, ids[i]);
    bar->setBackground(normalImage().copy(toQRect(rects[i])));
    bar->setRange(0, 255);
    bar->show();
    sliders_[size_t(i)] = bar;
  }
  ok_ = addButton(pal::kOk, QStringLiteral("OK"));
  cancel_ = addButton(pal::kCancel, QStringLiteral("Cancel"));
  for (CGDIBitmapBtn* b : {ok_, cancel_}) b->setTextColours(Qt::white, QColor(83, 97, 103), Qt::white);
  connect(ok_, &CGDIBitmapBtn::clicked, this, [this] {
    if (owner_) model_.writeBack(*owner_);
    accept();
  });
  connect(cancel_, &CGDIBitmapBtn::clicked, this, [this] { reject(); });
  showColour(true);
}

void CPaletteDlg::showColour(bool moveSliders) {
  uint32_t c = model_.colour();
  preview_->setColour(fromColorRef(c));
  if (!moveSliders) return;
  sliders_[0]->setValue(red(c));
  sliders_[1]->setValue(green(c));
  sliders_[2]->setValue(blue(c));
  for (auto* s : sliders_) s->update();
}

intptr_t CPaletteDlg::onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) {
  if (id != msg::kSliderPos) return 0;
  if (model_.slider(int(wParam), int(lParam))) showColour(false);
  return 1;
}

void CPaletteDlg::mousePressEvent(QMouseEvent* e) {
  QPoint p = e->position().toPoint();
  if (e->button() == Qt::LeftButton && PaletteModel::insideWheel(p.x(), p.y())) {
    // The colour the dialog shows under the pointer, as drawn on the screen.
    QColor shown = grab(QRect(p, QSize(1, 1))).toImage().pixelColor(0, 0);
    if (model_.pick(p.x(), p.y(), rgb(uint8_t(shown.red()), uint8_t(shown.green()), uint8_t(shown.blue())))) {
      showColour(true);
      return;
    }
  }
  SkinDialog::mousePressEvent(e);
}

}  // namespace orlix::gui
