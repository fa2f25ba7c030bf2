#pragma once
// CInfoDlg: the program's skinned message box ("Show info"), with an OK button,
// OK and Cancel, or a timed form that closes itself after counting down.

#include <QDialog>
#include <QImage>
#include <QString>

#include "core/app/user_notices.h"
#include "gui/app/message_widget.h"
#include "gui/skin/shaped_window.h"

namespace orlix::gui {

class CGDIBitmapBtn;

class CInfoDlg : public MessageWidget<QDialog> {
  Q_OBJECT

 public:
  static constexpr int kTimer = 2321;
  static constexpr int kTimerPeriod = 1000;
  static constexpr int kCountdownStart = 4;
  static inline const QString kTitle = QStringLiteral("UlmoraTiskelInfoDlg");

  explicit CInfoDlg(QWidget* parent = nullptr);

  // Flags and text are set before the dialog runs.
  void setText(const QString& text);
  QString text() const { return text_; }
  void setTwoButtons(bool on) { twoButtons_ = on; }
  void setTimed(bool on) { timed_ = on; }
  int countdown() const { return countdown_; }

  // The controls exist once the dialog has been shown.
  CGDIBitmapBtn* okButton() const { return ok_; }
  CGDIBitmapBtn* cancelButton() const { return cancel_; }
  CGDIBitmapBtn* closeButton() const { return close_; }
  // Where the message is drawn: the one-line box, or a taller box when the
  // message needs more than one line.
  QRect textRect() const;

 protected:
  // A press on a free spot moves the dialog.
  void mousePressEvent(QMouseEvent* e) override { drag_.press(this, e); }
  void mouseMoveEvent(QMouseEvent* e) override { drag_.move(this, e); }
  void mouseReleaseEvent(QMouseEvent* e) override { drag_.release(e); }
  void showEvent(QShowEvent* e) override;
  void paintEvent(QPaintEvent*) override;
  void closeEvent(QCloseEvent* e) override;
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override;
  void onTimer(int id) override;

 private:
  WindowDrag drag_;
  void initialise();

  QString text_;
  bool twoButtons_ = false, timed_ = false, initialised_ = false;
  int countdown_ = 0;
  QImage background_;
  CGDIBitmapBtn* ok_ = nullptr;
  CGDIBitmapBtn* cancel_ = nullptr;
  CGDIBitmapBtn* close_ = nullptr;
};

// Show info: the info dialog with an OK button and the text, modal; OK for the
// OK button, Cancel for the close button.
NoticeResult showInfo(const QString& text, QWidget* parent = nullptr);

}  // namespace orlix::gui
