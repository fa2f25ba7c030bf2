#pragma once
// CXPMenu: the owner-drawn pop-up menu of the tray icon. Items are 75 x 22
// pixels with an icon column; the chosen item's command is returned.

#include <QIcon>
#include <QString>
#include <QWidget>

#include <vector>

namespace orlix::gui {

class CXPMenu : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kItemWidth = 75, kItemHeight = 22, kIconColumn = 25;

  explicit CXPMenu(QWidget* parent = nullptr);

  // Icons are icon resource ids (:/orlix/icon/<id>.png), normal and highlighted.
  void addItem(int command, int normalIcon, int highlightedIcon, const QString& text);
  int itemCount() const { return int(items_.size()); }
  // Shows the menu at globalPos and waits for a choice: its command, or 0 when
  // the menu closes without one.
  int exec(const QPoint& globalPos);
  // Shows the menu without waiting; triggered() reports the choice.
  void popup(const QPoint& globalPos);
  int highlighted() const { return highlighted_; }
  // Rectangle of item i in the menu.
  QRect itemRect(int i) const;

 signals:
  void triggered(int command);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  struct Item {
    int command;
    QIcon normal, highlighted;
    QString text;
  };
  void choose(int index);

  std::vector<Item> items_;
  int highlighted_ = -1;
  int chosen_ = 0;
};

}  // namespace orlix::gui
