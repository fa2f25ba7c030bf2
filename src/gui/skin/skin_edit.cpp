#include "gui/skin/skin_edit.h"

#include <QPalette>
#include <QRegularExpressionValidator>

#include "gui/skin/skin_images.h"

namespace orlix::gui {

CSkinEdit::CSkinEdit(QWidget* parent) : QLineEdit(parent) {
  setFrame(false);
  setFont(gdiFont(14, 400));
  QPalette p = palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    p.setColor(group, QPalette::Base, backgroundColour());
    p.setColor(group, QPalette::Window, backgroundColour());
    p.setColor(group, QPalette::Text, textColour());
    p.setColor(group, QPalette::Highlight, textColour().darker(160));
    p.setColor(group, QPalette::HighlightedText, Qt::white);
  }
  setPalette(p);
  setAutoFillBackground(true);
}

void CSkinEdit::create(const QString& text, const QRect& rect, int maxLength, bool digitsOnly) {
  digitsOnly_ = digitsOnly;
  // The limits hold for what is typed or pasted; the program may show longer
  // texts (a captured key's name in a one-character box).
  QString pattern = QStringLiteral("%1{0,%2}").arg(digitsOnly ? QStringLiteral("[0-9]") : QStringLiteral("."))
                        .arg(maxLength);
  setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
  setText(text);
  setGeometry(rect);
  show();
}

}  // namespace orlix::gui
