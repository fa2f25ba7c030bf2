#pragma once
// CSkinEdit: the skinned single-line edit box of the pages, text RGB (21, 140,
// 185) on RGB (15, 15, 15) without a frame, optionally taking digits only.

#include <QColor>
#include <QLineEdit>
#include <QRect>

namespace orlix::gui {

class CSkinEdit : public QLineEdit {
  Q_OBJECT

 public:
  static QColor textColour() { return QColor(21, 140, 185); }
  static QColor backgroundColour() { return QColor(15, 15, 15); }

  explicit CSkinEdit(QWidget* parent = nullptr);
  // Places the box at rect (parent coordinates) with its text. Typing and
  // pasting give at most maxLength characters, only digits when digitsOnly.
  void create(const QString& text, const QRect& rect, int maxLength, bool digitsOnly = false);
  bool digitsOnly() const { return digitsOnly_; }

 private:
  bool digitsOnly_ = false;
};

}  // namespace orlix::gui
