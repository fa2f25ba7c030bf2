#pragma once
// CWndPopup and CMenuEx: the small pop-up menu with PNG icons (the language
// menu). Its frame is PNG resource 187 drawn in nine parts. Choosing an item
// posts 0x401 (0, value) to the owner; closing posts 0x401 (0, 0).

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

#include "core/device/message_target.h"

namespace orlix::gui {

// The pop-up window: frame, activation and the owner's notifications.
class CWndPopup : public QWidget {
  Q_OBJECT

 public:
  explicit CWndPopup(QWidget* owner = nullptr);

  // Shows the menu with its top-left corner at x, y (screen), for owner. The
  // owner receives the choice; it may also be a plain target (setOwnerTarget).
  void create(QWidget* owner, int x, int y);
  void setOwnerTarget(MessageTarget* target) { ownerTarget_ = target; }

 protected:
  // Fills and lays out the items; called once by create().
  virtual void buildItems() = 0;
  void notifyOwner(intptr_t value);
  void closeEvent(QCloseEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void changeEvent(QEvent* e) override;
  void paintFrame(QPainter& p);

 private:
  MessageTarget* ownerTarget() const;

  QPointer<QWidget> owner_;
  MessageTarget* ownerTarget_ = nullptr;
  QImage frame_;
  bool closed_ = false;
};

class CMenuEx : public CWndPopup {
  Q_OBJECT

 public:
  static constexpr int kWidth = 116, kTop = 6, kItemHeight = 22, kSeparatorHeight = 4;
  static constexpr int kItemLeft = 6, kItemRight = 110, kIconColumn = 25;

  // A record of the menu.
  struct Record {
    bool separator = false;
    intptr_t value = 0;
    QImage icon;
    QRect rect;
    QString text;
  };

  explicit CMenuEx(QWidget* owner = nullptr);

  // Items added before create(); subclasses add theirs in fillItems().
  void addItem(intptr_t value, const QString& text, const QImage& icon = {});
  void addSeparator();
  const std::vector<Record>& records() const { return records_; }
  int hovered() const { return hovered_; }

 protected:
  // The owner's list of items, added when the menu is created.
  virtual void fillItems() {}
  void buildItems() override;
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  int recordAt(const QPoint& p) const;

  std::vector<Record> records_;
  int hovered_ = -1;
};

}  // namespace orlix::gui
