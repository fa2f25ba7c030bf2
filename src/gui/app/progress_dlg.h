#pragma once
// CProgressDlg: the skinned modal window shown while an apply runs. Message
// 0x42B (progress 0..100) moves its bar; message 0x10 (close) ends it.

#include <QDialog>
#include <QImage>

#include "gui/app/message_widget.h"
#include "gui/skin/shaped_window.h"

namespace orlix::gui {

class CPngHProgressBar;

class CProgressDlg : public MessageWidget<QDialog> {
  Q_OBJECT

 public:
  static inline const QString kTitle = QStringLiteral("UlmoraTiskelProcessDlg");

  explicit CProgressDlg(QWidget* parent = nullptr);

  CPngHProgressBar* progressBar() const { return bar_; }
  // The text the dialog shows, by the language flag.
  static QString message();

 protected:
  // A press on a free spot moves the dialog.
  void mousePressEvent(QMouseEvent* e) override { drag_.press(this, e); }
  void mouseMoveEvent(QMouseEvent* e) override { drag_.move(this, e); }
  void mouseReleaseEvent(QMouseEvent* e) override { drag_.release(e); }
  void showEvent(QShowEvent* e) override;
  void paintEvent(QPaintEvent*) override;
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override;

 private:
  WindowDrag drag_;
  QImage background_, fill_;
  CPngHProgressBar* bar_;
};

}  // namespace orlix::gui
