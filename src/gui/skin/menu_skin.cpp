#include "gui/skin/menu_skin.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>

#include <memory>
#include <vector>

#include "core/device/messages.h"
#include "gui/app/message_widget.h"
#include "gui/qt_text.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

MenuExItem makeMenuExItem(uint32_t parent, uint32_t id, const QString& text) {
  MenuExItem item{};
  item.parent = parent;
  item.id = id;
  const QString cut = text.left(39);
  for (int i = 0; i < cut.size(); ++i) item.text[i] = char16_t(cut[i].unicode());
  return item;
}

namespace {

struct MenuStyle {
  int itemHeight = 24;
  QColor text, hotText, frame;
  std::array<QImage, 8> images;
};

struct Entry {
  uint32_t id;
  QString text;
  bool hasChildren;
};

QString textOf(const MenuExItem& item) {
  int n = 0;
  while (n < 39 && item.text[n] != 0) ++n;
  return toQString(std::u16string_view(item.text, size_t(n)));
}

class MenuExPopup : public QWidget {
 public:
  MenuExPopup(QWidget* owner, std::shared_ptr<const MenuStyle> style, std::shared_ptr<const std::vector<MenuExItem>> all,
              uint32_t parentId, QWidget* parent)
      : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint), owner_(owner), style_(std::move(style)),
        all_(std::move(all)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_DeleteOnClose);
    for (const MenuExItem& item : *all_) {
      if (item.parent != parentId) continue;
      bool children = false;
      for (const MenuExItem& other : *all_)
        if (other.parent == item.id && item.id != kMenuExTopLevel) children = true;
      entries_.push_back({item.id, textOf(item), children});
    }
    font_ = gdiFont(14, 400);
    QFontMetrics fm(font_);
    int w = 0;
    for (const Entry& e : entries_) w = std::max(w, fm.horizontalAdvance(e.text) + 44);
    if (!style_->images[0].isNull()) w = std::max(w, style_->images[0].width());
    resize(std::max(w, 80) + 2, style_->itemHeight * int(entries_.size()) + 2);
  }

  bool isEmpty() const { return entries_.empty(); }

  void popupAt(QPoint at) {
    if (QScreen* screen = QGuiApplication::screenAt(at)) {
      QRect area = screen->availableGeometry();
      if (at.y() + height() > area.bottom()) at.ry() = std::max(area.top(), area.bottom() - height());
      if (at.x() + width() > area.right()) at.rx() = std::max(area.left(), area.right() - width());
    }
    move(at);
    show();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(0x11, 0x14, 0x18));
    p.setFont(font_);
    for (int i = 0; i < int(entries_.size()); ++i) {
      const Entry& e = entries_[size_t(i)];
      QRect r = itemRect(i);
      int state = i == pressed_ ? 2 : (i == hovered_ ? 1 : 0);
      const QImage& img = style_->images[size_t((e.hasChildren ? 4 : 0) + state)];
      if (!img.isNull()) drawStretched(p, img, r);
      p.setPen(state ? style_->hotText : style_->text);
      p.drawText(r.adjusted(12, 0, -26, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                 QFontMetrics(font_).elidedText(e.text, Qt::ElideRight, r.width() - 38));
    }
    p.setPen(style_->frame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }

  void mouseMoveEvent(QMouseEvent* e) override {
    int i = entryAt(e->position().toPoint());
    if (i == hovered_) return;
    hovered_ = i;
    update();
    if (sub_ && (i < 0 || entries_[size_t(i)].id != subId_)) {
      sub_->close();
      sub_ = nullptr;
    }
    if (i >= 0 && entries_[size_t(i)].hasChildren && !sub_) {
      subId_ = entries_[size_t(i)].id;
      sub_ = new MenuExPopup(owner_, style_, all_, subId_, this);
      sub_->popupAt(mapToGlobal(itemRect(i).topRight() + QPoint(1, 0)));
    }
  }

  void mousePressEvent(QMouseEvent* e) override {
    if (!rect().contains(e->position().toPoint())) {
      close();
      return;
    }
    pressed_ = entryAt(e->position().toPoint());
    update();
  }

  void mouseReleaseEvent(QMouseEvent* e) override {
    int i = entryAt(e->position().toPoint());
    if (i >= 0 && i == pressed_ && !entries_[size_t(i)].hasChildren) choose(i);
    pressed_ = -1;
    update();
  }

  void keyPressEvent(QKeyEvent* e) override {
    int n = int(entries_.size());
    if (e->key() == Qt::Key_Down && n) hovered_ = (hovered_ + 1) % n;
    else if (e->key() == Qt::Key_Up && n) hovered_ = (hovered_ + n - 1) % n;
    else if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && hovered_ >= 0) choose(hovered_);
    else if (e->key() == Qt::Key_Escape) close();
    update();
  }

  void leaveEvent(QEvent*) override {
    if (sub_) return;
    hovered_ = -1;
    update();
  }

 private:
  QRect itemRect(int i) const { return QRect(1, 1 + i * style_->itemHeight, width() - 2, style_->itemHeight); }

  int entryAt(const QPoint& p) const {
    for (int i = 0; i < int(entries_.size()); ++i)
      if (itemRect(i).contains(p)) return i;
    return -1;
  }

  void choose(int i) {
    // The owner answers the choice and closes the menu with DestroyMenuEx.
    if (MessageTarget* t = targetOf(owner_)) t->post(msg::kMenuChoice, 0, intptr_t(entries_[size_t(i)].id));
  }

  static void drawStretched(QPainter& p, const QImage& img, const QRect& r) {
    // Left and right ends keep their size; the middle stretches.
    const int left = std::min(6, img.width() / 3), right = std::min(24, img.width() / 3);
    const int midSrc = img.width() - left - right;
    p.drawImage(QRect(r.left(), r.top(), left, r.height()), img, QRect(0, 0, left, img.height()));
    p.drawImage(QRect(r.left() + left, r.top(), r.width() - left - right, r.height()), img,
                QRect(left, 0, midSrc, img.height()));
    p.drawImage(QRect(r.right() - right + 1, r.top(), right, r.height()), img,
                QRect(img.width() - right, 0, right, img.height()));
  }

  QPointer<QWidget> owner_;
  std::shared_ptr<const MenuStyle> style_;
  std::shared_ptr<const std::vector<MenuExItem>> all_;
  std::vector<Entry> entries_;
  QFont font_;
  int hovered_ = -1, pressed_ = -1;
  QPointer<MenuExPopup> sub_;
  uint32_t subId_ = 0;
};

QHash<QWidget*, QPointer<QWidget>>& openMenus() {
  static QHash<QWidget*, QPointer<QWidget>> menus;
  return menus;
}

}  // namespace

bool CreateMenuEx(QWidget* owner, int itemHeight, QPoint screenPos, QColor textColour, QColor hotTextColour,
                  QColor frameColour, const std::array<QString, 8>& images, const MenuExItem* items, int count) {
  DestroyMenuEx(owner);
  if (!items || count <= 0) return false;
  auto style = std::make_shared<MenuStyle>();
  style->itemHeight = itemHeight > 0 ? itemHeight : 24;
  style->text = textColour;
  style->hotText = hotTextColour;
  style->frame = frameColour;
  for (size_t i = 0; i < images.size(); ++i) style->images[i] = loadBitmapFile(images[i]);
  auto all = std::make_shared<std::vector<MenuExItem>>(items, items + count);
  auto* menu = new MenuExPopup(owner, style, all, kMenuExTopLevel, owner);
  if (menu->isEmpty()) {
    delete menu;
    return false;
  }
  openMenus().insert(owner, menu);
  menu->popupAt(screenPos);
  return true;
}

bool DestroyMenuEx(QWidget* owner) {
  QPointer<QWidget> menu = openMenus().take(owner);
  if (!menu) return false;
  menu->close();
  return true;
}

QWidget* openMenuEx(QWidget* owner) {
  auto it = openMenus().find(owner);
  if (it == openMenus().end()) return nullptr;
  if (!*it || !(*it)->isVisible()) return nullptr;
  return *it;
}

}  // namespace orlix::gui
