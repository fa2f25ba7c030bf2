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
  setMaxLength(maxLength);
  // A validator also filters pasted text, as the number style of an edit box does.
  if (digitsOnly) setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
  setText(text);
  setGeometry(rect);
  show();
}

}  // namespace orlix::gui
