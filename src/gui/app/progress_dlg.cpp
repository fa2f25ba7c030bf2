#include "gui/app/progress_dlg.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "core/device/messages.h"
#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "gui/app/language_flag.h"
#include "gui/skin/png_progress_bar.h"
#include "gui/skin/shaped_window.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

namespace geo = skin::progress_dialog;

CProgressDlg::CProgressDlg(QWidget* parent)
    : MessageWidget<QDialog>(parent, Qt::Dialog | Qt::FramelessWindowHint), bar_(new CPngHProgressBar(this)) {
  setModal(true);
  setRegisteredTitle(kTitle);
  background_ = loadImageFile(skinPath(QString::fromLatin1(skin::kProgressBackground)));
  fill_ = loadImageFile(skinPath(QString::fromLatin1(skin::kProgressFill)));
  // Cut by the skin like the main window: its key colour never shows.
  shapeTopLevel(this, background_);
  background_ = keyedImage(background_);
  QSize size = background_.isNull() ? QSize(geo::kSize.width, geo::kSize.height) : background_.size();
  setFixedSize(size);
  QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);
  const QRect barRect = toQRect(geo::kBar);
  bar_->create(barRect, this);
  bar_->setImages(barRect.x(), barRect.y(), barRect.width(), barRect.height(), background_, fill_);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  // The bar shows progress; it is not an input here.
  bar_->setReadOnly(true);
}

QString CProgressDlg::message() {
  return byLanguage(QStringLiteral("更新进行中，请稍候..."), QStringLiteral("Updating is in progress, please wait…"));
}

void CProgressDlg::showEvent(QShowEvent* e) {
  MessageWidget<QDialog>::showEvent(e);
  raise();
  activateWindow();
}

void CProgressDlg::paintEvent(QPaintEvent*) {
  QImage frame(size(), QImage::Format_ARGB32_Premultiplied);
  frame.fill(Qt::transparent);
  QPainter p(&frame);
  if (!background_.isNull()) {
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), background_);
  }
  p.setFont(pointFont(8));
  p.setPen(QColor(0x80, 0x80, 0x80));
  p.drawText(toQRect(geo::kText), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, message());
  p.end();
  QPainter(this).drawImage(0, 0, frame);
}

intptr_t CProgressDlg::onMessage(uint32_t id, uintptr_t wParam, intptr_t) {
  if (id == msg::kProgress) {
    intptr_t v = intptr_t(wParam);
    bool inRange = v >= bar_->minimum() && v <= bar_->maximum();
    bar_->setValue(inRange ? int(v) : bar_->minimum());
    bar_->repaint();
    repaint();
    return 1;
  }
  if (id == msg::kClose) {
    close();
    return 1;
  }
  return 0;
}

}  // namespace orlix::gui
