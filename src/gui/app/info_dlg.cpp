#include "gui/app/info_dlg.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTextLayout>

#include "core/device/messages.h"
#include "core/skin/window_geometry.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/shaped_window.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

namespace geo = skin::info_dialog;

CInfoDlg::CInfoDlg(QWidget* parent) : MessageWidget<QDialog>(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setModal(true);
  // Translucent from the start: the window's surface is made at its first show.
  shapeTopLevel(this, QRegion());
}

void CInfoDlg::setText(const QString& text) {
  text_ = text;
  update();
}

void CInfoDlg::showEvent(QShowEvent* e) {
  if (!initialised_) initialise();
  MessageWidget<QDialog>::showEvent(e);
}

void CInfoDlg::initialise() {
  initialised_ = true;
  setRegisteredTitle(kTitle);
  const int ids[3] = {twoButtons_ ? geo::kBackgroundOfTwo : geo::kBackgroundAlone,
                      twoButtons_ ? geo::kOverOfTwo : geo::kOverAlone,
                      twoButtons_ ? geo::kDownOfTwo : geo::kDownAlone};
  QImage images[3];
  for (int i = 0; i < 3; ++i) loadImageResource(ids[i], "BITMAP", &images[i]);
  // Cut by the skin like the main window: its key colour never shows.
  shapeTopLevel(this, images[0]);
  for (QImage& image : images) image = keyedImage(image);
  background_ = images[0];
  QSize size = background_.isNull() ? QSize(geo::kSize.width, geo::kSize.height) : background_.size();
  setFixedSize(size);
  QRect area = (screen() ? screen() : QGuiApplication::primaryScreen())->availableGeometry();
  move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);

  auto makeButton = [&](const Rect& r, const QString& text) {
    auto* b = new CGDIBitmapBtn(this);
    b->create(text, toQRect(r), this);
    b->setImages(images[0], images[1], images[2], images[0], r);
    b->setTextColours(Qt::white, QColor(0x53, 0x61, 0x67), Qt::white);
    return b;
  };
  close_ = makeButton(geo::kClose, {});
  connect(close_, &CGDIBitmapBtn::clicked, this, [this] { done(QDialog::Rejected); });
  if (twoButtons_) {
    ok_ = makeButton(geo::kOkOfTwo, QStringLiteral("OK"));
    cancel_ = makeButton(geo::kCancelOfTwo, QStringLiteral("Cancel"));
    connect(cancel_, &CGDIBitmapBtn::clicked, this, [this] { done(QDialog::Rejected); });
  } else {
    ok_ = makeButton(geo::kOkAlone, QStringLiteral("OK"));
  }
  connect(ok_, &CGDIBitmapBtn::clicked, this, [this] { done(QDialog::Accepted); });

  if (timed_ && !twoButtons_) {
    countdown_ = kCountdownStart;
    setNamedTimer(kTimer, kTimerPeriod);
    move(area.left() + area.width() - size.width() - 10, area.top() + area.height() - size.height());
    ok_->setText(QStringLiteral("OK (5s)"));
  }
}

QRect CInfoDlg::textRect() const {
  const QRect line = toQRect(geo::kText);
  QFontMetrics fm(gdiFont(14, 300));
  if (fm.horizontalAdvance(text_) <= line.width() && !text_.contains('\n')) return line;
  // A message longer than the line keeps its middle on the line's middle and
  // takes the room between title bar and buttons, so that it is read whole.
  int centre = line.center().y();
  int half = std::min(centre - 38, geo::kOkAlone.top - 6 - centre);
  return QRect(line.left(), centre - half, line.width(), 2 * half + 1);
}

void CInfoDlg::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!background_.isNull()) p.drawImage(0, 0, background_);
  QFont f = gdiFont(14, 300);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(toQRect(geo::kTitle), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, QStringLiteral("Tips"));
  const QRect box = textRect();
  QFontMetrics fm(f);
  // Word-wrapped, vertically centred; the last line that fits ends in "...".
  QTextLayout layout(text_, f);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  QStringList lines;
  layout.beginLayout();
  int maxLines = std::max(1, box.height() / fm.lineSpacing());
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(box.width());
    if (int(lines.size()) == maxLines - 1) {
      lines << fm.elidedText(text_.mid(line.textStart()).simplified(), Qt::ElideRight, box.width());
      break;
    }
    lines << text_.mid(line.textStart(), line.textLength()).trimmed();
  }
  layout.endLayout();
  int total = int(lines.size()) * fm.lineSpacing();
  int y = box.top() + (box.height() - total) / 2;
  for (const QString& l : lines) {
    p.drawText(QRect(box.left(), y, box.width(), fm.lineSpacing()), Qt::AlignLeft | Qt::AlignVCenter, l);
    y += fm.lineSpacing();
  }
}

void CInfoDlg::onTimer(int id) {
  if (id != kTimer) return;
  if (countdown_ == 0) {
    killNamedTimer(kTimer);
    post(msg::kClose);
  }
  if (ok_) ok_->setText(QStringLiteral("OK (%1)").arg(countdown_));
  --countdown_;
}

intptr_t CInfoDlg::onMessage(uint32_t id, uintptr_t, intptr_t) {
  if (id == msg::kClose) {
    close();
    return 1;
  }
  return 0;
}

void CInfoDlg::closeEvent(QCloseEvent* e) {
  killNamedTimer(kTimer);
  MessageWidget<QDialog>::closeEvent(e);  // ends the dialog with Cancel
}

NoticeResult showInfo(const QString& text, QWidget* parent) {
  CInfoDlg dlg(parent);
  dlg.setText(text);
  return dlg.exec() == QDialog::Accepted ? NoticeResult::Ok : NoticeResult::Cancel;
}

}  // namespace orlix::gui
