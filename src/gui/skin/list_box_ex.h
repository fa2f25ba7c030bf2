#pragma once
// CListBoxEx: the skinned list box. Items carry a 32-bit value whose high byte
// may pick an icon (2 up, 3 down, 4 delay); a user's selection is reported with
// 0x465 and an in-place rename with 0x470 (list id, item index).

#include <QColor>
#include <QHash>
#include <QImage>
#include <QListWidget>
#include <QPointer>

#include "core/device/message_target.h"

#include <QLineEdit>

namespace orlix::gui {

class CListBoxEx : public QListWidget {
  Q_OBJECT

 public:
  static constexpr int kMaxEditLength = 20;

  explicit CListBoxEx(QWidget* parent = nullptr);

  void setControlId(int id) { controlId_ = id; }
  int controlId() const { return controlId_; }
  void setNotifyTarget(MessageTarget* target) { notify_ = target; }

  using QListWidget::addItem;
  // Appends the item and selects it. A non-zero icon type goes into the high byte
  // of the item's value and switches icons on; type 0 switches them off. With
  // editNow the new item is opened for renaming at once.
  int addItem(int iconType, const QString& text, uint32_t data, bool editNow = false);
  uint32_t itemData(int index) const;
  void setItemData(int index, uint32_t data);
  QString itemText(int index) const;

  bool iconsOn() const { return iconsOn_; }
  void setTextColours(const QColor& normal, const QColor& selectedText, const QColor& selectedBackground);
  void setBackgroundColour(const QColor& colour);
  void setItemHeight(int height);
  int itemHeight() const { return itemHeight_; }
  void setEditingEnabled(bool on) { editingEnabled_ = on; }

  // Opens the in-place editor over item index (at most 20 characters).
  void beginEdit(int index);
  bool isEditing() const { return editor_ != nullptr; }
  QLineEdit* editor() const { return editor_; }
  int editedItem() const { return editedItem_; }
  int hoveredItem() const { return hovered_; }

  // Colours and icon images the drawing uses.
  QColor normalTextColour() const { return normalText_; }
  QColor selectedTextColour() const { return selectedText_; }
  QColor selectedBackgroundColour() const { return selectedBackground_; }
  QColor backgroundColour() const { return background_; }
  // The icon of an item type (2, 3, 4), normal or selected; empty for others.
  QImage iconImage(int type, bool selected) const;

 signals:
  // The user changed the selection (after the 0x465 notification was posted).
  void selectionReported(int index);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  MessageTarget* notifyTarget() const;
  void reportSelection();
  void finishEdit(bool accept);

  int controlId_ = 0;
  MessageTarget* notify_ = nullptr;
  bool iconsOn_ = true;
  bool editingEnabled_ = false;
  int itemHeight_ = 20;
  int hovered_ = -1;
  QColor normalText_, selectedText_, selectedBackground_, background_;
  QPointer<QLineEdit> editor_;
  int editedItem_ = -1;
  bool finishing_ = false;
  mutable QHash<QString, QImage> iconCache_;
};

}  // namespace orlix::gui
