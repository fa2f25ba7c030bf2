#include "theme.h"

#include <algorithm>

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>

#include "icons.h"

namespace skingen {

using namespace colour;

QRectF toQ(const orlix::Rect& r) { return QRectF(r.left, r.top, r.width(), r.height()); }

QPolygonF toQ(const orlix::skin::Quad& q) {
  QPolygonF poly;
  for (const auto& pt : q) poly << QPointF(pt.x, pt.y);
  return poly;
}

QFont font(qreal pixelSize, int weight) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(int(pixelSize + 0.5));
  f.setWeight(QFont::Weight(weight));
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

qreal fittingSize(const QString& text, qreal width, qreal largest) {
  for (qreal px = largest; px > 6; px -= 0.5)
    if (QFontMetricsF(font(px, QFont::Bold)).horizontalAdvance(text) <= width) return px;
  return 6;
}

QFont fittingFont(const QString& text, qreal width, qreal largest) {
  QFont f = font(fittingSize(text, width, largest), QFont::Bold);
  if (f.pixelSize() >= 8) return f;
  // Long legends on narrow keys read better condensed than tiny.
  QFont c(QStringLiteral("DejaVu Sans Condensed"));
  c.setWeight(QFont::Bold);
  for (int px = int(largest); px >= 6; --px) {
    c.setPixelSize(px);
    if (QFontMetricsF(c).horizontalAdvance(text) <= width) break;
  }
  return c;
}

void drawText(QPainter& p, const QRectF& r, const QString& text, const QColor& c, qreal px, int flags,
              int weight) {
  p.save();
  p.setFont(font(px, weight));
  p.setPen(c);
  p.drawText(r, flags, text);
  p.restore();
}

static QLinearGradient vertical(const QRectF& r, const QColor& top, const QColor& bottom) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  return g;
}

void fillWindow(QPainter& p, const QRectF& r) {
  p.save();
  p.fillRect(r, vertical(r, QColor(0x13, 0x16, 0x1b), kBg0));
  // A faint diagonal sheen keeps large areas from looking flat.
  QLinearGradient sheen(r.topLeft(), r.bottomRight());
  sheen.setColorAt(0, QColor(255, 255, 255, 8));
  sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
  sheen.setColorAt(1, QColor(25, 167, 224, 6));
  p.fillRect(r, sheen);
  p.restore();
}

void drawPanel(QPainter& p, const QRectF& r, qreal radius) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QRectF a = r.adjusted(0.5, 0.5, -0.5, -0.5);
  p.setPen(QPen(kLine, 1));
  p.setBrush(vertical(r, kBg2, kBg1));
  p.drawRoundedRect(a, radius, radius);
  p.setPen(QPen(QColor(255, 255, 255, 14), 1));
  p.drawLine(QPointF(a.left() + radius, a.top() + 1), QPointF(a.right() - radius, a.top() + 1));
  p.restore();
}

void drawInset(QPainter& p, const QRectF& r, qreal radius) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QRectF a = r.adjusted(0.5, 0.5, -0.5, -0.5);
  p.setPen(QPen(QColor(0x05, 0x06, 0x08), 1));
  p.setBrush(QColor(0x0c, 0x0e, 0x11));
  p.drawRoundedRect(a, radius, radius);
  p.setPen(QPen(QColor(255, 255, 255, 16), 1));
  p.drawLine(QPointF(a.left() + radius, a.bottom()), QPointF(a.right() - radius, a.bottom()));
  p.restore();
}

void drawAccentLine(QPainter& p, QPointF a, QPointF b) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(a, b);
  g.setColorAt(0, QColor(25, 167, 224, 0));
  g.setColorAt(0.2, kAccent);
  g.setColorAt(0.8, kAccent);
  g.setColorAt(1, QColor(25, 167, 224, 0));
  p.setPen(QPen(QBrush(g), 1));
  p.drawLine(a, b);
  QColor glow = kAccent;
  glow.setAlpha(40);
  QLinearGradient g2(a, b);
  g2.setColorAt(0, QColor(25, 167, 224, 0));
  g2.setColorAt(0.5, glow);
  g2.setColorAt(1, QColor(25, 167, 224, 0));
  p.setPen(QPen(QBrush(g2), 3));
  p.drawLine(a + QPointF(0, 1), b + QPointF(0, 1));
  p.restore();
}

void drawTitleBar(QPainter& p, const QRectF& r) {
  p.save();
  p.fillRect(r, vertical(r, QColor(0x1a, 0x1e, 0x24), QColor(0x12, 0x15, 0x19)));
  drawAccentLine(p, QPointF(r.left(), r.bottom() - 0.5), QPointF(r.right(), r.bottom() - 0.5));
  p.restore();
}

QColor iconColour(State s, Scheme scheme) {
  switch (scheme) {
    case Scheme::Standard:
      return s == State::Down ? QColor(0x26, 0x1d, 0x05) : (s == State::Over ? kTextBright : kText);
    case Scheme::Dialog:
      return s == State::Over ? kSlate : QColor(Qt::white);
    case Scheme::Tab:
      return s == State::Normal ? QColor(0x8a, 0x96, 0xa0) : QColor(Qt::white);
    case Scheme::Ghost:
      return s == State::Normal ? kText : (s == State::Over ? QColor(Qt::white) : kAccentBright);
  }
  return kText;
}

void drawFace(QPainter& p, const QRectF& r, State s, Scheme scheme, qreal radius) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QRectF a = r.adjusted(0.5, 0.5, -0.5, -0.5);
  QColor border, top, bottom;
  bool glow = false;
  switch (scheme) {
    case Scheme::Standard:
      if (s == State::Normal) {
        top = kBg4, bottom = kBg3, border = kLine2;
      } else if (s == State::Over) {
        top = QColor(0x33, 0x3c, 0x46), bottom = kBg4, border = kAccent, glow = true;
      } else {
        top = kAccentBright, bottom = kAccent, border = kAccentBright;
      }
      break;
    case Scheme::Dialog:
      if (s == State::Normal) {
        top = QColor(0x12, 0x7b, 0xa6), bottom = kAccentDark, border = QColor(0x1d, 0x9f, 0xd6);
      } else if (s == State::Over) {
        top = QColor(0xf0, 0xf4, 0xf6), bottom = QColor(0xc9, 0xd4, 0xda), border = Qt::white;
      } else {
        top = kAccentDeep, bottom = kAccentDark, border = QColor(0x13, 0x85, 0xb3);
      }
      break;
    case Scheme::Tab:
      if (s == State::Normal) {
        top = kBg2, bottom = kBg1, border = kLine;
      } else if (s == State::Over) {
        top = QColor(0x2d, 0x34, 0x3d), bottom = kBg3, border = kLine2;
      } else {
        top = QColor(0x13, 0x7e, 0xab), bottom = kAccentDark, border = kAccent;
      }
      break;
    case Scheme::Ghost:
      if (s == State::Normal) {
        p.restore();
        return;
      }
      if (s == State::Over) {
        top = kBg4, bottom = kBg3, border = kLine2;
      } else {
        top = kAccentDark, bottom = kAccentDeep, border = kAccent;
      }
      break;
  }
  p.setPen(QPen(border, 1));
  p.setBrush(vertical(r, top, bottom));
  p.drawRoundedRect(a, radius, radius);
  if (glow) {
    QColor g = kAccent;
    g.setAlpha(70);
    p.setPen(QPen(g, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(a.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
  }
  if (s != State::Down) {
    p.setPen(QPen(QColor(255, 255, 255, 20), 1));
    p.drawLine(QPointF(a.left() + radius, a.top() + 1), QPointF(a.right() - radius, a.top() + 1));
  }
  p.restore();
}

void drawPolyFace(QPainter& p, const QPolygonF& poly, State s) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QRectF b = poly.boundingRect();
  QColor border, top, bottom;
  if (s == State::Normal) {
    top = kBg3, bottom = kBg2, border = kLine2;
  } else if (s == State::Over) {
    top = QColor(0x33, 0x3c, 0x46), bottom = kBg4, border = kAccent;
  } else {
    top = kAccentBright, bottom = kAccent, border = kAccentBright;
  }
  p.setPen(Qt::NoPen);
  p.setBrush(vertical(b, top, bottom));
  p.drawPolygon(poly);
  // Border one pixel inside the polygon so the shaped window keeps all of it.
  QPointF c = b.center();
  QPolygonF inner;
  for (const QPointF& pt : poly) {
    QPointF d = c - pt;
    qreal len = std::max(1.0, std::hypot(d.x(), d.y()));
    inner << pt + d / len * 1.2;
  }
  p.setPen(QPen(border, 1));
  p.setBrush(Qt::NoBrush);
  p.drawPolygon(inner);
  if (s == State::Over) {
    QColor g = kAccent;
    g.setAlpha(60);
    QPolygonF inner2;
    for (const QPointF& pt : poly) {
      QPointF d = c - pt;
      qreal len = std::max(1.0, std::hypot(d.x(), d.y()));
      inner2 << pt + d / len * 2.6;
    }
    p.setPen(QPen(g, 1));
    p.drawPolygon(inner2);
  }
  p.restore();
}

void drawCheckBox(QPainter& p, const QRectF& r, State s) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QRectF a = r.adjusted(0.5, 0.5, -0.5, -0.5);
  qreal rad = std::min(3.0, r.width() / 4);
  if (s == State::Down) {
    p.setPen(QPen(kAccentBright, 1));
    p.setBrush(vertical(r, kAccent, kAccentDark));
  } else {
    p.setPen(QPen(s == State::Over ? kAccent : kLine2, 1));
    p.setBrush(s == State::Over ? kBg3 : QColor(0x0c, 0x0e, 0x11));
  }
  p.drawRoundedRect(a, rad, rad);
  if (s == State::Down) {
    QPainterPath tick;
    tick.moveTo(r.left() + r.width() * 0.24, r.top() + r.height() * 0.52);
    tick.lineTo(r.left() + r.width() * 0.43, r.top() + r.height() * 0.72);
    tick.lineTo(r.left() + r.width() * 0.78, r.top() + r.height() * 0.30);
    p.setPen(QPen(Qt::white, std::max(1.4, r.width() / 9), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
  }
  p.restore();
}

void drawRadio(QPainter& p, const QRectF& r, State s) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  qreal d = std::min(r.width(), r.height()) - 1;
  QRectF c(r.center().x() - d / 2, r.center().y() - d / 2, d, d);
  p.setPen(QPen(s == State::Normal ? kLine2 : kAccent, 1.2));
  p.setBrush(s == State::Over ? kBg3 : QColor(0x0c, 0x0e, 0x11));
  p.drawEllipse(c);
  if (s == State::Down) {
    p.setPen(Qt::NoPen);
    p.setBrush(kAccentBright);
    qreal in = d * 0.27;
    p.drawEllipse(c.adjusted(in, in, -in, -in));
  }
  p.restore();
}

void drawKeyCap(QPainter& p, const QRectF& r, const Legend& legend, State s) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QRectF skirt = r.adjusted(1, 1, -1, -1);
  QRectF top = r.adjusted(3, 2, -3, -4);
  QColor skirtTop, skirtBottom, capTop, capBottom, edge, text;
  if (s == State::Normal) {
    skirtTop = QColor(0x16, 0x19, 0x1d), skirtBottom = QColor(0x0a, 0x0b, 0x0d);
    capTop = QColor(0x2a, 0x30, 0x37), capBottom = QColor(0x1e, 0x22, 0x28);
    edge = QColor(0x33, 0x3a, 0x43), text = kText;
  } else if (s == State::Over) {
    skirtTop = QColor(0x12, 0x3a, 0x4c), skirtBottom = QColor(0x0a, 0x1e, 0x28);
    capTop = QColor(0x37, 0x40, 0x4a), capBottom = QColor(0x28, 0x2e, 0x36);
    edge = kAccent, text = Qt::white;
  } else {
    skirtTop = QColor(0x0b, 0x5b, 0x7c), skirtBottom = QColor(0x06, 0x33, 0x46);
    capTop = QColor(0x2c, 0xbf, 0xf4), capBottom = QColor(0x12, 0x8c, 0xbd);
    edge = kAccentBright, text = QColor(0x06, 0x16, 0x1d);
  }
  p.setPen(QPen(QColor(0, 0, 0, 160), 1));
  p.setBrush(vertical(skirt, skirtTop, skirtBottom));
  p.drawRoundedRect(skirt.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
  p.setPen(QPen(edge, 1));
  p.setBrush(vertical(top, capTop, capBottom));
  p.drawRoundedRect(top.adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
  if (legend.icon >= 0) {
    qreal sz = std::min(top.width(), top.height()) * 0.62;
    QRectF ib(top.center().x() - sz / 2, top.center().y() - sz / 2, sz, sz);
    drawIcon(p, Icon(legend.icon), ib, text, 1.3);
  } else if (!legend.top.isEmpty()) {
    QRectF upper(top.left(), top.top() + 1, top.width(), top.height() / 2);
    QRectF lower(top.left(), top.center().y() - 1, top.width(), top.height() / 2);
    drawText(p, upper, legend.top, text, 9, Qt::AlignCenter, QFont::Bold);
    drawText(p, lower, legend.main, text, 9, Qt::AlignCenter, QFont::Bold);
  } else if (!legend.main.isEmpty()) {
    p.setFont(fittingFont(legend.main, top.width() - 2, legend.main.size() <= 2 ? 11 : 9.5));
    p.setPen(text);
    p.drawText(top, Qt::AlignCenter, legend.main);
  }
  p.restore();
}

void drawKeyboardCase(QPainter& p, const QRectF& r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QRectF a = r.adjusted(0.5, 0.5, -0.5, -0.5);
  p.setPen(QPen(QColor(0x31, 0x38, 0x41), 1));
  p.setBrush(vertical(r, QColor(0x1b, 0x1f, 0x25), QColor(0x0d, 0x0f, 0x12)));
  p.drawRoundedRect(a, 10, 10);
  p.setPen(QPen(QColor(0x06, 0x07, 0x09), 1));
  p.setBrush(QColor(0x0e, 0x10, 0x13));
  p.drawRoundedRect(a.adjusted(6, 6, -6, -6), 6, 6);
  // Accent light strip along the front edge.
  drawAccentLine(p, QPointF(r.left() + 20, r.bottom() - 3.5), QPointF(r.right() - 20, r.bottom() - 3.5));
  p.restore();
}

QImage newImage(orlix::skin::Size size, bool alpha) {
  QImage img(size.width, size.height, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  img.fill(alpha ? QColor(0, 0, 0, 0) : QColor(Qt::black));
  return img;
}

void cutToOutline(QImage& image, const QPainterPath& outline) {
  QImage inside(image.size(), QImage::Format_ARGB32);
  inside.fill(Qt::transparent);
  {
    QPainter p(&inside);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(outline);
  }
  const QRgb key = kKey.rgb();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(inside.pixel(x, y)) == 0) image.setPixel(x, y, key);
}

QColor rainbow(qreal t, qreal saturation) {
  // Violet at 0.70 keeps its red below the blue's third of the way to pink.
  constexpr qreal kVioletHue = 0.70;
  return QColor::fromHsvF(kVioletHue * std::clamp<qreal>(t, 0, 1), saturation, 1.0);
}

void keepOffKey(QImage& image) {
  const QRgb key = kKey.rgb() & 0xFFFFFF;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      QRgb p = image.pixel(x, y);
      if ((p & 0xFFFFFF) == key) image.setPixel(x, y, qRgba(qRed(p), qGreen(p), qBlue(p) - 1, qAlpha(p)));
    }
}

Triple renderTriple(orlix::skin::Size size, const std::function<void(QPainter&)>& background,
                    const std::vector<Control>& controls) {
  Triple t;
  QImage* images[3] = {&t.normal, &t.over, &t.down};
  for (int i = 0; i < 3; ++i) {
    *images[i] = newImage(size);
    QPainter p(images[i]);
    background(p);
    for (const Control& c : controls) {
      p.save();
      c.paint(p, kStates[size_t(i)]);
      p.restore();
    }
  }
  return t;
}

}  // namespace skingen
