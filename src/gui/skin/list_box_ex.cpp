#include "gui/skin/list_box_ex.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "core/device/messages.h"
#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "gui/app/message_widget.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

namespace {

class ListBoxExDelegate : public QStyledItemDelegate {
 public:
  explicit ListBoxExDelegate(CListBoxEx* list) : QStyledItemDelegate(list), list_(list) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return QSize(option.rect.width(), list_->itemHeight());
  }

  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QRect r = option.rect;
    bool selected = option.state & QStyle::State_Selected;
    bool enabled = option.state & QStyle::State_Enabled;
    p->save();
    p->fillRect(r, selected ? list_->selectedBackgroundColour() : list_->backgroundColour());
    QColor text = !enabled ? list_->palette().color(QPalette::Dark)
                           : (selected ? list_->selectedTextColour() : list_->normalTextColour());
    int textLeft = r.left() + 5;
    uint32_t data = index.data(Qt::UserRole).toUInt();
    int type = int(data >> 24);
    if (list_->iconsOn() && type >= 2 && type <= 4) {
      QImage icon = list_->iconImage(type, selected);
      const QRect iconRect(r.left() + 5, r.top() + 1, skin::kListIconSize.width, skin::kListIconSize.height);
      if (!icon.isNull()) {
        p->setRenderHint(QPainter::SmoothPixmapTransform);
        p->drawImage(iconRect, icon);
      }
      textLeft = r.left() + skin::kListIconSize.width + 10;
    }
    QFont f = gdiFont(14, 400);
    p->setFont(f);
    p->setPen(text);
    QRect tr(textLeft, r.top(), r.right() - textLeft + 1, r.height());
    QString shown = QFontMetrics(f).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, tr.width());
    p->drawText(tr, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    p->restore();
  }

 private:
  CListBoxEx* list_;
};

}  // namespace

CListBoxEx::CListBoxEx(QWidget* parent) : QListWidget(parent) {
  QPalette pal = palette();
  normalText_ = pal.color(QPalette::WindowText);
  selectedText_ = pal.color(QPalette::HighlightedText);
  selectedBackground_ = pal.color(QPalette::Highlight);
  background_ = pal.color(QPalette::Base);
  setItemDelegate(new ListBoxExDelegate(this));
  setFrameShape(QFrame::NoFrame);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setUniformItemSizes(true);
  setMouseTracking(true);
  setFont(gdiFont(14, 400));
  setAutoFillBackground(true);
}

MessageTarget* CListBoxEx::notifyTarget() const { return notify_ ? notify_ : targetOf(parentWidget()); }

int CListBoxEx::addItem(int iconType, const QString& text, uint32_t data, bool editNow) {
  auto* item = new QListWidgetItem(text);
  uint32_t value = data;
  if (iconType != 0) {
    value = (uint32_t(iconType & 0xFF) << 24) | (data & 0xFFFFFF);
    iconsOn_ = true;
  } else {
    iconsOn_ = false;
  }
  item->setData(Qt::UserRole, value);
  QListWidget::addItem(item);
  int index = count() - 1;
  setCurrentRow(index);
  if (editNow) beginEdit(index);
  viewport()->update();
  return index;
}

uint32_t CListBoxEx::itemData(int index) const {
  const QListWidgetItem* it = item(index);
  return it ? it->data(Qt::UserRole).toUInt() : 0;
}

void CListBoxEx::setItemData(int index, uint32_t data) {
  if (QListWidgetItem* it = item(index)) it->setData(Qt::UserRole, data);
}

QString CListBoxEx::itemText(int index) const {
  const QListWidgetItem* it = item(index);
  return it ? it->text() : QString();
}

void CListBoxEx::setTextColours(const QColor& normal, const QColor& selectedText, const QColor& selectedBackground) {
  normalText_ = normal;
  selectedText_ = selectedText;
  selectedBackground_ = selectedBackground;
  viewport()->update();
}

void CListBoxEx::setBackgroundColour(const QColor& colour) {
  background_ = colour;
  QPalette pal = palette();
  pal.setColor(QPalette::Base, colour);
  pal.setColor(QPalette::Window, colour);
  setPalette(pal);
  viewport()->update();
}

void CListBoxEx::setItemHeight(int height) {
  itemHeight_ = height;
  doItemsLayout();
}

QImage CListBoxEx::iconImage(int type, bool selected) const {
  for (const skin::ListIcon& li : skin::kListIcons) {
    if (li.type != type) continue;
    QString path = skinPath(QString::fromLatin1(selected ? li.selected : li.normal));
    auto it = iconCache_.find(path);
    if (it == iconCache_.end()) it = iconCache_.insert(path, loadImageFile(path));
    return *it;
  }
  return {};
}

void CListBoxEx::reportSelection() {
  int row = currentRow();
  if (row < 0) return;
  if (MessageTarget* t = notifyTarget()) t->post(msg::kListSelChange, uintptr_t(controlId_), row);
  emit selectionReported(row);
}

void CListBoxEx::mousePressEvent(QMouseEvent* e) {
  if (isEditing()) finishEdit(true);
  QListWidget::mousePressEvent(e);
  if (e->button() == Qt::LeftButton && indexAt(e->position().toPoint()).isValid()) reportSelection();
}

void CListBoxEx::mouseDoubleClickEvent(QMouseEvent* e) {
  QModelIndex idx = indexAt(e->position().toPoint());
  if (editingEnabled_ && idx.isValid() && e->button() == Qt::LeftButton) {
    beginEdit(idx.row());
    return;
  }
  QListWidget::mouseDoubleClickEvent(e);
}

void CListBoxEx::mouseMoveEvent(QMouseEvent* e) {
  int row = indexAt(e->position().toPoint()).row();
  if (row != hovered_) {
    int old = hovered_;
    hovered_ = row;
    if (QListWidgetItem* it = item(old)) viewport()->update(visualItemRect(it));
    if (QListWidgetItem* it = item(row)) viewport()->update(visualItemRect(it));
  }
  QListWidget::mouseMoveEvent(e);
}

void CListBoxEx::leaveEvent(QEvent* e) {
  if (QListWidgetItem* it = item(hovered_)) viewport()->update(visualItemRect(it));
  hovered_ = -1;
  QListWidget::leaveEvent(e);
}

void CListBoxEx::keyPressEvent(QKeyEvent* e) {
  int before = currentRow();
  QListWidget::keyPressEvent(e);
  if (currentRow() != before) reportSelection();
}

void CListBoxEx::beginEdit(int index) {
  QListWidgetItem* it = item(index);
  if (!it) return;
  if (isEditing()) finishEdit(true);
  scrollToItem(it);
  editedItem_ = index;
  auto* edit = new QLineEdit(viewport());
  edit->setFrame(true);
  edit->setMaxLength(kMaxEditLength);
  edit->setFont(font());
  edit->setText(it->text());
  edit->setGeometry(visualItemRect(it));
  edit->installEventFilter(this);
  connect(edit, &QLineEdit::editingFinished, this, [this] { finishEdit(true); });
  editor_ = edit;
  edit->show();
  edit->selectAll();
  edit->setFocus();
}

void CListBoxEx::finishEdit(bool accept) {
  if (!editor_ || finishing_) return;
  finishing_ = true;
  QLineEdit* edit = editor_;
  editor_ = nullptr;
  disconnect(edit, nullptr, this, nullptr);
  edit->removeEventFilter(this);
  int index = editedItem_;
  if (accept) {
    // The item takes the new name before the receiver is told, so that it can
    // read the name from the list.
    if (QListWidgetItem* it = item(index)) it->setText(edit->text().left(kMaxEditLength));
  }
  edit->hide();
  edit->deleteLater();
  setCurrentRow(index);
  setFocus();
  viewport()->update();
  finishing_ = false;
  if (accept)
    if (MessageTarget* t = notifyTarget()) t->post(msg::kListEdit, uintptr_t(controlId_), index);
}

bool CListBoxEx::eventFilter(QObject* watched, QEvent* e) {
  if (watched == editor_ && e->type() == QEvent::KeyPress) {
    auto* ke = static_cast<QKeyEvent*>(e);
    if (ke->key() == Qt::Key_Escape) {
      finishEdit(false);
      return true;
    }
  }
  return QListWidget::eventFilter(watched, e);
}

void CListBoxEx::scrollContentsBy(int dx, int dy) {
  QListWidget::scrollContentsBy(dx, dy);
  if (editor_)
    if (QListWidgetItem* it = item(editedItem_)) editor_->setGeometry(visualItemRect(it));
}

}  // namespace orlix::gui
