#include "icons.h"

#include <QPainterPath>
#include <QtMath>

namespace skingen {

namespace {

// Icons are designed on a 24 x 24 grid.
void arrowHead(QPainterPath& path, QPointF tip, qreal angleDeg, qreal size = 4) {
  qreal a = qDegreesToRadians(angleDeg);
  QPointF back(std::cos(a), std::sin(a));
  QPointF side(-back.y(), back.x());
  path.moveTo(tip - back * size + side * size * 0.8);
  path.lineTo(tip);
  path.lineTo(tip - back * size - side * size * 0.8);
}

QPainterPath arcPath(QPointF centre, qreal r, qreal startDeg, qreal spanDeg) {
  QPainterPath path;
  QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
  path.arcMoveTo(box, startDeg);
  path.arcTo(box, startDeg, spanDeg);
  return path;
}

// Point on a circle, angles as QPainterPath measures them (counter-clockwise, y up).
QPointF onCircle(QPointF c, qreal r, qreal deg) {
  qreal a = qDegreesToRadians(deg);
  return c + QPointF(std::cos(a) * r, -std::sin(a) * r);
}

// Screen direction (degrees, y down) of travel along a counter-clockwise arc at deg.
qreal ccwTangent(qreal deg) {
  qreal a = qDegreesToRadians(deg);
  return qRadiansToDegrees(std::atan2(-std::cos(a), -std::sin(a)));
}

void repeatArrows(QPainterPath& path, QPointF c, qreal r) {
  path.addPath(arcPath(c, r, 70, 280));
  arrowHead(path, onCircle(c, r, 350), ccwTangent(350), 3.4);
}

}  // namespace

void drawIcon(QPainter& p, Icon icon, const QRectF& box, const QColor& c, qreal stroke) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  qreal side = std::min(box.width(), box.height());
  qreal scale = side / 24.0;
  p.translate(box.center().x() - side / 2, box.center().y() - side / 2);
  p.scale(scale, scale);
  QPen pen(c, stroke / scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  QPainterPath path;
  auto fillDot = [&](QPointF at, qreal r) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(at, r, r);
    p.restore();
  };
  switch (icon) {
    case Icon::Keyboard:
      path.addRoundedRect(QRectF(2, 6, 20, 13), 2, 2);
      for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 5; ++col) fillDot(QPointF(5.5 + col * 3.25, 9.5 + row * 3), 0.9);
      path.moveTo(8, 16);
      path.lineTo(16, 16);
      break;
    case Icon::Bulb:
      path.addPath(arcPath(QPointF(12, 9.5), 6.5, -40, 260));
      path.moveTo(onCircle(QPointF(12, 9.5), 6.5, -40));
      path.lineTo(15, 17);
      path.lineTo(9, 17);
      path.lineTo(onCircle(QPointF(12, 9.5), 6.5, 220));
      path.moveTo(9.5, 20);
      path.lineTo(14.5, 20);
      path.moveTo(10.5, 22.5);
      path.lineTo(13.5, 22.5);
      break;
    case Icon::Macro:
      fillDot(QPointF(6, 7), 2.6);
      path.moveTo(11, 7);
      path.lineTo(21, 7);
      path.moveTo(4, 12.5);
      path.lineTo(21, 12.5);
      path.moveTo(4, 18);
      path.lineTo(16, 18);
      arrowHead(path, QPointF(21, 18), 0, 3);
      path.moveTo(16, 18);
      path.lineTo(21, 18);
      break;
    case Icon::Support:
      path.addEllipse(QPointF(12, 12), 9.5, 9.5);
      path.addEllipse(QPointF(12, 12), 4, 4);
      for (int k = 0; k < 4; ++k) {
        qreal deg = 45 + 90 * k;
        path.moveTo(onCircle(QPointF(12, 12), 4, deg));
        path.lineTo(onCircle(QPointF(12, 12), 9.5, deg));
      }
      break;
    case Icon::Minimize:
      path.moveTo(6, 16);
      path.lineTo(18, 16);
      break;
    case Icon::Close:
    case Icon::Cross:
      path.moveTo(6.5, 6.5);
      path.lineTo(17.5, 17.5);
      path.moveTo(17.5, 6.5);
      path.lineTo(6.5, 17.5);
      break;
    case Icon::Check:
      path.moveTo(4.5, 12.5);
      path.lineTo(9.5, 17.5);
      path.lineTo(19.5, 6.5);
      break;
    case Icon::Apply:
      // Into the keyboard: an arrow down onto a keyboard outline.
      path.moveTo(12, 2.5);
      path.lineTo(12, 12);
      arrowHead(path, QPointF(12, 12.5), 90, 3.5);
      path.addRoundedRect(QRectF(3, 15, 18, 7), 1.5, 1.5);
      fillDot(QPointF(7, 18.5), 0.9);
      fillDot(QPointF(12, 18.5), 0.9);
      fillDot(QPointF(17, 18.5), 0.9);
      break;
    case Icon::Globe:
      path.addEllipse(QPointF(12, 12), 9, 9);
      path.addEllipse(QPointF(12, 12), 4, 9);
      path.moveTo(3, 12);
      path.lineTo(21, 12);
      path.moveTo(4.5, 7.5);
      path.lineTo(19.5, 7.5);
      path.moveTo(4.5, 16.5);
      path.lineTo(19.5, 16.5);
      break;
    case Icon::CaretUp:
      path.moveTo(6, 15);
      path.lineTo(12, 9);
      path.lineTo(18, 15);
      break;
    case Icon::Reset:
      path.addPath(arcPath(QPointF(12, 13), 8, 100, 290));
      arrowHead(path, onCircle(QPointF(12, 13), 8, 100), ccwTangent(100) + 180, 4);
      fillDot(QPointF(12, 13), 1.6);
      break;
    case Icon::Import:
    case Icon::Export: {
      path.moveTo(13, 3);
      path.lineTo(5, 3);
      path.lineTo(5, 21);
      path.lineTo(19, 21);
      path.lineTo(19, 9);
      path.lineTo(13, 3);
      path.lineTo(13, 9);
      path.lineTo(19, 9);
      if (icon == Icon::Import) {
        path.moveTo(12, 10.5);
        path.lineTo(12, 18);
        arrowHead(path, QPointF(12, 18), 90, 3.2);
      } else {
        path.moveTo(12, 18);
        path.lineTo(12, 10.5);
        arrowHead(path, QPointF(12, 10.5), -90, 3.2);
      }
      break;
    }
    case Icon::Chip:
      path.addRoundedRect(QRectF(6, 6, 12, 12), 1.5, 1.5);
      path.addRect(QRectF(9.5, 9.5, 5, 5));
      for (int k = 0; k < 3; ++k) {
        qreal v = 8.5 + k * 3.5;
        path.moveTo(v, 6);
        path.lineTo(v, 2.5);
        path.moveTo(v, 18);
        path.lineTo(v, 21.5);
        path.moveTo(6, v);
        path.lineTo(2.5, v);
        path.moveTo(18, v);
        path.lineTo(21.5, v);
      }
      break;
    case Icon::Driver: {
      // A gear.
      QPointF ctr(12, 12);
      for (int k = 0; k < 8; ++k) {
        qreal a0 = k * 45 - 10, a1 = k * 45 + 10;
        QPointF in0 = onCircle(ctr, 7, a0), out0 = onCircle(ctr, 9.8, a0 + 3);
        QPointF out1 = onCircle(ctr, 9.8, a1 - 3), in1 = onCircle(ctr, 7, a1);
        if (k == 0) path.moveTo(in0);
        path.lineTo(in0);
        path.lineTo(out0);
        path.lineTo(out1);
        path.lineTo(in1);
        path.lineTo(onCircle(ctr, 7, a1 + 25));
      }
      path.closeSubpath();
      path.addEllipse(ctr, 3, 3);
      break;
    }
    case Icon::Sync:
      path.addPath(arcPath(QPointF(12, 12), 8, 30, 150));
      arrowHead(path, onCircle(QPointF(12, 12), 8, 180), ccwTangent(180), 3.2);
      path.addPath(arcPath(QPointF(12, 12), 8, 210, 150));
      arrowHead(path, onCircle(QPointF(12, 12), 8, 0), ccwTangent(0), 3.2);
      break;
    case Icon::Plus:
      path.moveTo(12, 5);
      path.lineTo(12, 19);
      path.moveTo(5, 12);
      path.lineTo(19, 12);
      break;
    case Icon::Trash:
      path.moveTo(4, 6.5);
      path.lineTo(20, 6.5);
      path.moveTo(9.5, 6.5);
      path.lineTo(10, 3.5);
      path.lineTo(14, 3.5);
      path.lineTo(14.5, 6.5);
      path.moveTo(6, 6.5);
      path.lineTo(7.2, 21);
      path.lineTo(16.8, 21);
      path.lineTo(18, 6.5);
      path.moveTo(10, 10);
      path.lineTo(10.3, 17.5);
      path.moveTo(14, 10);
      path.lineTo(13.7, 17.5);
      break;
    case Icon::InsertRow:
    case Icon::DeleteRow:
      path.moveTo(3, 5);
      path.lineTo(13, 5);
      path.moveTo(3, 10.5);
      path.lineTo(13, 10.5);
      path.moveTo(3, 16);
      path.lineTo(10, 16);
      path.moveTo(14, 17);
      path.lineTo(22, 17);
      if (icon == Icon::InsertRow) {
        path.moveTo(18, 13);
        path.lineTo(18, 21);
      }
      break;
    case Icon::Edit:
      path.moveTo(4, 20);
      path.lineTo(5, 15.5);
      path.lineTo(15.5, 5);
      path.lineTo(19, 8.5);
      path.lineTo(8.5, 19);
      path.closeSubpath();
      path.moveTo(13, 7.5);
      path.lineTo(16.5, 11);
      break;
    case Icon::NoDelay:
    case Icon::Clock: {
      QPointF ctr(12, 13);
      path.addEllipse(ctr, 8, 8);
      path.moveTo(12, 13);
      path.lineTo(12, 8.5);
      path.moveTo(12, 13);
      path.lineTo(15, 15);
      if (icon == Icon::NoDelay) {
        path.moveTo(10, 3);
        path.lineTo(14, 3);
        path.moveTo(3.5, 4.5);
        path.lineTo(20.5, 21.5);
      }
      break;
    }
    case Icon::Repeat:
      repeatArrows(path, QPointF(12, 12), 8);
      break;
    case Icon::RepeatHold:
      // Repeats while a key is held: the repeat arrow around a pressed key.
      repeatArrows(path, QPointF(12, 12), 9);
      path.addRoundedRect(QRectF(8.5, 8.5, 7, 7), 1.2, 1.2);
      fillDot(QPointF(12, 12), 1.4);
      break;
    case Icon::RepeatToggle: {
      // Infinity.
      path.moveTo(12, 12);
      path.cubicTo(15, 6.5, 21.5, 7, 21.5, 12);
      path.cubicTo(21.5, 17, 15, 17.5, 12, 12);
      path.cubicTo(9, 6.5, 2.5, 7, 2.5, 12);
      path.cubicTo(2.5, 17, 9, 17.5, 12, 12);
      break;
    }
    case Icon::Mouse:
      path.addRoundedRect(QRectF(6, 3, 12, 18), 6, 6);
      path.moveTo(12, 3);
      path.lineTo(12, 9);
      path.moveTo(6, 10);
      path.lineTo(18, 10);
      break;
    case Icon::Key:
      path.addRoundedRect(QRectF(4, 4, 16, 16), 2.5, 2.5);
      path.addRoundedRect(QRectF(6.5, 5.5, 11, 10), 1.5, 1.5);
      break;
    case Icon::SelectAll:
      for (int r = 0; r < 2; ++r)
        for (int k = 0; k < 2; ++k) path.addRoundedRect(QRectF(3 + k * 9.5, 3 + r * 9.5, 8, 8), 1.5, 1.5);
      path.moveTo(14.5, 17);
      path.lineTo(16.5, 19);
      path.lineTo(20, 15);
      break;
    case Icon::Eye:
      path.moveTo(2, 12);
      path.quadTo(12, 2, 22, 12);
      path.quadTo(12, 22, 2, 12);
      path.addEllipse(QPointF(12, 12), 3.2, 3.2);
      break;
    case Icon::EffectSeven: {
      const QColor hues[] = {QColor(0xff, 0x3b, 0x3b), QColor(0xff, 0xc4, 0x1f), QColor(0x3b, 0xe0, 0x6a),
                             QColor(0x2f, 0x9b, 0xff), QColor(0xb0, 0x5c, 0xff)};
      for (int k = 0; k < 5; ++k) {
        QPen hp(hues[k], 1.7 / scale * (stroke / 1.6), Qt::SolidLine, Qt::RoundCap);
        p.setPen(hp);
        p.drawPath(arcPath(QPointF(12, 18), 10 - k * 1.9, 0, 180));
      }
      p.setPen(pen);
      break;
    }
    case Icon::EffectStrength:
      for (int k = 0; k < 5; ++k) {
        qreal x = 3.5 + k * 4.2, h = 4 + k * 3.6;
        path.addRoundedRect(QRectF(x, 21 - h, 2.6, h), 1, 1);
      }
      break;
    case Icon::EffectWave:
      path.moveTo(2, 12);
      for (int x = 2; x <= 22; ++x) path.lineTo(x, 12 - 5.5 * std::sin((x - 2) / 20.0 * 2 * M_PI));
      break;
    case Icon::EffectBreath:
      path.moveTo(2, 18);
      path.cubicTo(6, 18, 6, 6, 9, 6);
      path.cubicTo(12, 6, 12, 18, 15, 18);
      path.cubicTo(18, 18, 18, 9, 20, 9);
      path.lineTo(22, 9);
      break;
    case Icon::EffectSingle:
      fillDot(QPointF(12, 12), 2.6);
      path.addEllipse(QPointF(12, 12), 6, 6);
      path.addPath(arcPath(QPointF(12, 12), 9.5, 30, 120));
      path.addPath(arcPath(QPointF(12, 12), 9.5, 210, 120));
      break;
    case Icon::EffectAlways:
    case Icon::Sun:
      path.addEllipse(QPointF(12, 12), 4.5, 4.5);
      for (int k = 0; k < 8; ++k) {
        path.moveTo(onCircle(QPointF(12, 12), 7.2, k * 45));
        path.lineTo(onCircle(QPointF(12, 12), 10, k * 45));
      }
      break;
    case Icon::ArrowLeft:
    case Icon::ArrowRight:
    case Icon::ArrowUp:
    case Icon::ArrowDown: {
      qreal deg = icon == Icon::ArrowLeft ? 180 : icon == Icon::ArrowRight ? 0 : icon == Icon::ArrowUp ? -90 : 90;
      QPointF dir(std::cos(qDegreesToRadians(deg)), std::sin(qDegreesToRadians(deg)));
      path.moveTo(QPointF(12, 12) - dir * 8);
      path.lineTo(QPointF(12, 12) + dir * 8);
      arrowHead(path, QPointF(12, 12) + dir * 8, deg, 5);
      break;
    }
    case Icon::Spread:
      path.moveTo(12, 12);
      path.lineTo(3, 12);
      arrowHead(path, QPointF(3, 12), 180, 3.5);
      path.moveTo(12, 12);
      path.lineTo(21, 12);
      arrowHead(path, QPointF(21, 12), 0, 3.5);
      fillDot(QPointF(12, 12), 1.8);
      break;
    case Icon::Speed:
      path.addPath(arcPath(QPointF(12, 15), 9, -20, 220));
      path.moveTo(12, 15);
      path.lineTo(17, 8.5);
      fillDot(QPointF(12, 15), 1.6);
      break;
    case Icon::Speaker:
      path.moveTo(3, 9.5);
      path.lineTo(7, 9.5);
      path.lineTo(12, 5);
      path.lineTo(12, 19);
      path.lineTo(7, 14.5);
      path.lineTo(3, 14.5);
      path.closeSubpath();
      path.moveTo(15.5, 9.5);
      path.lineTo(20.5, 14.5);
      path.moveTo(20.5, 9.5);
      path.lineTo(15.5, 14.5);
      break;
    case Icon::Sparkle:
      path.moveTo(12, 2);
      path.quadTo(13, 11, 22, 12);
      path.quadTo(13, 13, 12, 22);
      path.quadTo(11, 13, 2, 12);
      path.quadTo(11, 11, 12, 2);
      break;
    case Icon::Info:
      path.addEllipse(QPointF(12, 12), 10, 10);
      fillDot(QPointF(12, 7.2), 1.5);
      path.moveTo(12, 10.5);
      path.lineTo(12, 17.5);
      break;
    case Icon::Record:
      fillDot(QPointF(12, 12), 5.5);
      path.addEllipse(QPointF(12, 12), 9, 9);
      break;
    case Icon::Gamepad:
      path.moveTo(7, 7);
      path.lineTo(17, 7);
      path.cubicTo(22, 7, 23, 19, 19.5, 19);
      path.cubicTo(17.5, 19, 16.5, 15.5, 15, 15.5);
      path.lineTo(9, 15.5);
      path.cubicTo(7.5, 15.5, 6.5, 19, 4.5, 19);
      path.cubicTo(1, 19, 2, 7, 7, 7);
      path.moveTo(7.5, 9.5);
      path.lineTo(7.5, 13.5);
      path.moveTo(5.5, 11.5);
      path.lineTo(9.5, 11.5);
      fillDot(QPointF(16, 10.5), 1.1);
      fillDot(QPointF(18, 12.8), 1.1);
      break;
    case Icon::Menu:
      path.addRoundedRect(QRectF(5, 4, 14, 16), 1.5, 1.5);
      path.moveTo(8, 9);
      path.lineTo(16, 9);
      path.moveTo(8, 12);
      path.lineTo(16, 12);
      path.moveTo(8, 15);
      path.lineTo(16, 15);
      break;
    case Icon::Win:
      path.addRoundedRect(QRectF(4, 4, 16, 16), 3, 3);
      path.addEllipse(QPointF(12, 12), 3, 3);
      break;
    case Icon::Palette:
      path.moveTo(12, 3);
      path.cubicTo(4, 3, 2.5, 10, 3, 13);
      path.cubicTo(4, 20, 11, 22, 13, 20);
      path.cubicTo(15, 18, 11.5, 16, 14, 15);
      path.cubicTo(17, 14, 21.5, 16, 21.5, 11);
      path.cubicTo(21.5, 6, 17, 3, 12, 3);
      fillDot(QPointF(8, 9), 1.4);
      fillDot(QPointF(12.5, 7), 1.4);
      fillDot(QPointF(17, 9), 1.4);
      fillDot(QPointF(7.5, 14), 1.4);
      break;
    case Icon::Tortoise:
    case Icon::Hare: {
      // Slow: one chevron; fast: three.
      int n = icon == Icon::Tortoise ? 1 : 3;
      qreal x0 = 12 - (n - 1) * 3.5;
      for (int k = 0; k < n; ++k) {
        qreal x = x0 + k * 7;
        path.moveTo(x - 3, 6);
        path.lineTo(x + 3, 12);
        path.lineTo(x - 3, 18);
      }
      break;
    }
    case Icon::CaretDown:
      path.moveTo(6, 9);
      path.lineTo(12, 15);
      path.lineTo(18, 9);
      break;
  }
  p.drawPath(path);
  p.restore();
}

}  // namespace skingen
