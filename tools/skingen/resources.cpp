// The images built into the program as Qt resources.

#include <QPainterPath>
#include <QtMath>

#include "artwork.h"
#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "icons.h"

namespace skingen {

using namespace orlix::skin;
using namespace colour;

void drawFlag(QPainter& p, const QRect& r, Flag flag) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, r.width() > 24);
  const qreal x = r.left(), y = r.top(), w = r.width(), h = r.height();
  auto hBands = [&](std::initializer_list<QColor> colours) {
    int n = int(colours.size()), i = 0;
    for (const QColor& c : colours) {
      p.fillRect(QRectF(x, y + h * i / n, w, h / n + 0.5), c);
      ++i;
    }
  };
  auto vBands = [&](std::initializer_list<QColor> colours) {
    int n = int(colours.size()), i = 0;
    for (const QColor& c : colours) {
      p.fillRect(QRectF(x + w * i / n, y, w / n + 0.5, h), c);
      ++i;
    }
  };
  auto star = [&](QPointF c, qreal radius, const QColor& colour) {
    QPainterPath path;
    for (int k = 0; k < 10; ++k) {
      qreal rr = (k % 2) ? radius * 0.4 : radius;
      qreal a = qDegreesToRadians(-90 + k * 36.0);
      QPointF pt = c + QPointF(std::cos(a) * rr, std::sin(a) * rr);
      k ? path.lineTo(pt) : path.moveTo(pt);
    }
    path.closeSubpath();
    p.fillPath(path, colour);
  };
  switch (flag) {
    case Flag::China:
      p.fillRect(QRectF(x, y, w, h), QColor(0xde, 0x29, 0x10));
      star(QPointF(x + w * 0.17, y + h * 0.27), h * 0.2, QColor(0xff, 0xde, 0x00));
      for (int k = 0; k < 4; ++k) {
        static const QPointF small[4] = {{0.33, 0.1}, {0.4, 0.2}, {0.4, 0.35}, {0.33, 0.45}};
        star(QPointF(x + w * small[k].x(), y + h * small[k].y()), h * 0.07, QColor(0xff, 0xde, 0x00));
      }
      break;
    case Flag::Netherlands:
      hBands({QColor(0xae, 0x1c, 0x28), Qt::white, QColor(0x21, 0x46, 0x8b)});
      break;
    case Flag::France:
      vBands({QColor(0x00, 0x23, 0x95), Qt::white, QColor(0xed, 0x29, 0x39)});
      break;
    case Flag::Germany:
      hBands({QColor(0x10, 0x10, 0x10), QColor(0xdd, 0x00, 0x00), QColor(0xff, 0xce, 0x00)});
      break;
    case Flag::Italy:
      vBands({QColor(0x00, 0x92, 0x46), Qt::white, QColor(0xce, 0x2b, 0x37)});
      break;
    case Flag::Portugal:
      p.fillRect(QRectF(x, y, w, h), QColor(0xda, 0x29, 0x1c));
      p.fillRect(QRectF(x, y, w * 0.4, h), QColor(0x04, 0x6a, 0x38));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0xff, 0xe9, 0x00));
      p.drawEllipse(QPointF(x + w * 0.4, y + h / 2), h * 0.22, h * 0.22);
      break;
    case Flag::Russia:
      hBands({Qt::white, QColor(0x00, 0x39, 0xa6), QColor(0xd5, 0x2b, 0x1e)});
      break;
    case Flag::Korea: {
      p.fillRect(QRectF(x, y, w, h), Qt::white);
      QPointF c(x + w / 2, y + h / 2);
      qreal rr = h * 0.25;
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0xcd, 0x2e, 0x3a));
      p.drawPie(QRectF(c.x() - rr, c.y() - rr, 2 * rr, 2 * rr), 0, 180 * 16);
      p.setBrush(QColor(0x00, 0x47, 0xa0));
      p.drawPie(QRectF(c.x() - rr, c.y() - rr, 2 * rr, 2 * rr), 180 * 16, 180 * 16);
      QColor bar(0x20, 0x20, 0x20);
      for (QPointF corner : {QPointF(0.16, 0.22), QPointF(0.84, 0.22), QPointF(0.16, 0.78), QPointF(0.84, 0.78)})
        p.fillRect(QRectF(x + w * corner.x() - w * 0.05, y + h * corner.y() - h * 0.08, w * 0.1, h * 0.16), bar);
      break;
    }
    case Flag::Spain:
      p.fillRect(QRectF(x, y, w, h), QColor(0xaa, 0x15, 0x1b));
      p.fillRect(QRectF(x, y + h / 4, w, h / 2), QColor(0xf1, 0xbf, 0x00));
      break;
    case Flag::Neutral:
      p.fillRect(QRectF(x, y, w, h), QColor(0x2a, 0x4a, 0x6a));
      drawIcon(p, Icon::Globe, QRectF(x + (w - h) / 2, y, h, h), Qt::white, std::max(1.0, h / 12));
      break;
    case Flag::UnitedKingdom: {
      QColor blue(0x01, 0x21, 0x69), red(0xc8, 0x10, 0x2e);
      p.fillRect(QRectF(x, y, w, h), blue);
      p.setClipRect(QRectF(x, y, w, h));
      p.setPen(QPen(Qt::white, h * 0.2));
      p.drawLine(QPointF(x, y), QPointF(x + w, y + h));
      p.drawLine(QPointF(x + w, y), QPointF(x, y + h));
      p.setPen(QPen(red, h * 0.08));
      p.drawLine(QPointF(x, y), QPointF(x + w, y + h));
      p.drawLine(QPointF(x + w, y), QPointF(x, y + h));
      p.fillRect(QRectF(x + w / 2 - h * 0.17, y, h * 0.34, h), Qt::white);
      p.fillRect(QRectF(x, y + h / 2 - h * 0.17, w, h * 0.34), Qt::white);
      p.fillRect(QRectF(x + w / 2 - h * 0.1, y, h * 0.2, h), red);
      p.fillRect(QRectF(x, y + h / 2 - h * 0.1, w, h * 0.2), red);
      p.setClipping(false);
      break;
    }
    case Flag::Ukraine:
      hBands({QColor(0x00, 0x57, 0xb7), QColor(0xff, 0xd7, 0x00)});
      break;
  }
  p.restore();
}

QImage drawLogoIcon(int size) {
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  qreal s = size;
  QRectF cap(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
  QLinearGradient g(cap.topLeft(), cap.bottomLeft());
  g.setColorAt(0, QColor(0x2c, 0x33, 0x3c));
  g.setColorAt(1, QColor(0x0f, 0x11, 0x14));
  p.setPen(QPen(kAccent, std::max(1.0, s / 24)));
  p.setBrush(g);
  p.drawRoundedRect(cap, s * 0.2, s * 0.2);
  // The ring of the "O", lit like a key's light.
  QPointF c = cap.center() + QPointF(0, -s * 0.02);
  qreal r = s * 0.26;
  QColor glow = kAccent;
  glow.setAlpha(90);
  p.setPen(QPen(glow, s * 0.16));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(c, r, r);
  p.setPen(QPen(kAccentBright, s * 0.08));
  p.drawEllipse(c, r, r);
  p.end();
  return img;
}

QImage iconSheet() {
  const int count = int(Icon::CaretDown) + 1;
  QImage img(count * 56, 90, QImage::Format_RGB32);
  img.fill(kBg1);
  QPainter p(&img);
  for (int i = 0; i < count; ++i) {
    drawIcon(p, Icon(i), QRectF(i * 56 + 4, 4, 48, 48), kText, 2.5);
    drawIcon(p, Icon(i), QRectF(i * 56 + 4, 60, 18, 18), kText, 1.5);
    drawText(p, QRectF(i * 56 + 26, 60, 30, 18), QString::number(i), kTextDim, 9);
  }
  return img;
}

namespace {

const struct {
  int id;
  Flag flag;
} kFlags[] = {{182, Flag::China},  {183, Flag::Netherlands}, {184, Flag::France},  {185, Flag::Germany},
              {186, Flag::Italy},  {188, Flag::Portugal},    {189, Flag::Russia},  {190, Flag::Korea},
              {191, Flag::Spain},  {192, Flag::Neutral},     {193, Flag::UnitedKingdom}, {194, Flag::Ukraine}};

const struct {
  int id;
  Flag flag;
} kLanguagePictures[] = {{158, Flag::Netherlands}, {159, Flag::UnitedKingdom}, {160, Flag::France},
                         {161, Flag::Germany},     {162, Flag::Italy},         {163, Flag::Korea},
                         {164, Flag::Portugal},    {165, Flag::Russia},        {166, Flag::China},
                         {167, Flag::Spain},       {168, Flag::Neutral},       {169, Flag::Ukraine}};

void drawScrollSkin(const Sink& sink) {
  using namespace scroll_skin;
  QImage img = newImage(kSize);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const int t = kThickness;
  p.fillRect(img.rect(), QColor(0x0c, 0x0e, 0x11));
  for (int row = 0; row < kRows; ++row) {
    State s = kStates[size_t(row)];
    QColor arrow = s == State::Normal ? kTextDim : (s == State::Over ? kTextBright : kAccentBright);
    QColor thumbTop = s == State::Normal ? kBg4 : (s == State::Over ? QColor(0x3a, 0x44, 0x50) : kAccent);
    QColor thumbBottom = s == State::Normal ? kBg3 : (s == State::Over ? kBg4 : kAccentDark);
    for (int horizontal = 0; horizontal < 2; ++horizontal) {
      for (int part = 0; part < 4; ++part) {
        QRectF cell((horizontal * kHorizontalColumn + part) * t, row * t, t, t);
        p.fillRect(cell, QColor(0x0c, 0x0e, 0x11));
        if (part == kTrack) {
          QRectF groove = horizontal ? QRectF(cell.left(), cell.center().y() - 2, t, 4)
                                     : QRectF(cell.center().x() - 2, cell.top(), 4, t);
          p.fillRect(groove, s == State::Down ? QColor(0x16, 0x24, 0x2c) : QColor(0x15, 0x18, 0x1c));
        } else if (part == kThumb) {
          // End caps are the first and last three pixels; the middle is tiled.
          QRectF body = horizontal ? cell.adjusted(0, 3, 0, -3) : cell.adjusted(3, 0, -3, 0);
          QLinearGradient g = horizontal ? QLinearGradient(body.topLeft(), body.bottomLeft())
                                         : QLinearGradient(body.topLeft(), body.topRight());
          g.setColorAt(0, thumbTop);
          g.setColorAt(1, thumbBottom);
          p.setPen(Qt::NoPen);
          p.setBrush(g);
          p.drawRoundedRect(body.adjusted(horizontal ? 0.5 : 0, horizontal ? 0 : 0.5, horizontal ? -0.5 : 0,
                                          horizontal ? 0 : -0.5),
                            3, 3);
        } else {
          Icon icon = horizontal ? (part == kFirstArrow ? Icon::ArrowLeft : Icon::ArrowRight)
                                 : (part == kFirstArrow ? Icon::ArrowUp : Icon::ArrowDown);
          if (s != State::Normal) {
            p.setPen(Qt::NoPen);
            p.setBrush(s == State::Over ? kBg3 : kAccentDeep);
            p.drawRoundedRect(cell.adjusted(1, 1, -1, -1), 2, 2);
          }
          // A chevron reads better than a full arrow at this size.
          QPainterPath chev;
          QPointF c = cell.center();
          qreal d = t * 0.2;
          switch (icon) {
            case Icon::ArrowUp: chev.moveTo(c + QPointF(-d * 1.4, d * 0.7)); chev.lineTo(c + QPointF(0, -d * 0.7)); chev.lineTo(c + QPointF(d * 1.4, d * 0.7)); break;
            case Icon::ArrowDown: chev.moveTo(c + QPointF(-d * 1.4, -d * 0.7)); chev.lineTo(c + QPointF(0, d * 0.7)); chev.lineTo(c + QPointF(d * 1.4, -d * 0.7)); break;
            case Icon::ArrowLeft: chev.moveTo(c + QPointF(d * 0.7, -d * 1.4)); chev.lineTo(c + QPointF(-d * 0.7, 0)); chev.lineTo(c + QPointF(d * 0.7, d * 1.4)); break;
            default: chev.moveTo(c + QPointF(-d * 0.7, -d * 1.4)); chev.lineTo(c + QPointF(d * 0.7, 0)); chev.lineTo(c + QPointF(-d * 0.7, d * 1.4)); break;
          }
          p.setPen(QPen(arrow, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
          p.setBrush(Qt::NoBrush);
          p.drawPath(chev);
        }
      }
    }
  }
  p.end();
  sink(QStringLiteral("bitmap/%1.bmp").arg(resource::kScrollSkin), img);
}

enum class Face { None, Outline, Neutral, Light, Primary, Pressed };

void infoFace(QPainter& p, const orlix::Rect& r, Face face) {
  QRectF q = toQ(r);
  switch (face) {
    case Face::None:
      return;
    case Face::Neutral:
      drawFace(p, q, State::Normal, Scheme::Standard, 4);
      return;
    case Face::Light:
      drawFace(p, q, State::Over, Scheme::Dialog, 4);
      return;
    case Face::Primary:
      drawFace(p, q, State::Normal, Scheme::Dialog, 4);
      return;
    case Face::Pressed:
      drawFace(p, q, State::Down, Scheme::Dialog, 4);
      return;
    case Face::Outline:
      p.save();
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(QPen(kAccent, 1));
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(q.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
      p.restore();
      return;
  }
}

void drawInfoBitmaps(const Sink& sink) {
  using namespace info_dialog;
  // Each bitmap's faces: left face, right face, close button look.
  //  135: background of the one-button form (its OK is the right face, primary) and
  //       the pressed look of the two-button form (left face empty there);
  //  136: background of the two-button form and the over look of the lone OK;
  //  137: over look of the two-button form; 134: pressed look of the lone OK.
  struct Look {
    int id;
    Face left, right;
    int closeState;  // 0 dim, 1 lit, 2 hot, 3 pressed
  } looks[4] = {{134, Face::None, Face::Pressed, 3},
                {135, Face::None, Face::Primary, 0},
                {136, Face::Neutral, Face::Neutral, 1},
                {137, Face::Light, Face::Light, 2}};
  for (const Look& look : looks) {
    QImage img = newImage(kSize);
    QPainter p(&img);
    QRectF all(0, 0, kSize.width, kSize.height);
    fillWindow(p, all);
    drawTitleBar(p, QRectF(0, 0, kSize.width, 30));
    drawIcon(p, Icon::Info, QRectF(32, 62, 40, 40), kAccent, 2.2);
    // Close button.
    QRectF close = toQ(kClose);
    if (look.closeState >= 2) {
      p.fillRect(close.adjusted(2, 2, -2, -2), look.closeState == 2 ? QColor(0xc4, 0x2b, 0x2b) : QColor(0x8a, 0x1c, 0x1c));
    }
    QColor x = look.closeState == 0 ? kTextDim : QColor(Qt::white);
    drawIcon(p, Icon::Close, close.adjusted(6, 6, -6, -6), x, 1.6);
    infoFace(p, kLeftFace, look.left);
    infoFace(p, kRightFace, look.right);
    p.setPen(kLine2);
    p.setBrush(Qt::NoBrush);
    p.drawRect(all.adjusted(0, 0, -1, -1));
    p.end();
    sink(QStringLiteral("bitmap/%1.bmp").arg(look.id), img);
  }
}

void drawPopupFrame(const Sink& sink) {
  QImage img = newImage(popup_frame::kSize, true);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF r(0.5, 0.5, popup_frame::kSize.width - 1, popup_frame::kSize.height - 1);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, QColor(0xf4, 0xf6, 0xf8));
  g.setColorAt(1, QColor(0xe1, 0xe6, 0xea));
  p.setPen(QPen(QColor(0x53, 0x61, 0x67), 1));
  p.setBrush(g);
  p.drawRoundedRect(r, 7, 7);
  p.setPen(QPen(kAccent, 2));
  p.drawLine(QPointF(8, 2), QPointF(popup_frame::kSize.width - 8, 2));
  p.end();
  sink(QStringLiteral("png/%1.png").arg(resource::kPopupFrame), img);
}

void drawTrayIcons(const Sink& sink) {
  for (int id : {resource::kTrayConfigIcon, resource::kTrayExitIcon}) {
    QImage img = newImage({16, 16}, true);
    QPainter p(&img);
    if (id == resource::kTrayConfigIcon)
      drawIcon(p, Icon::Driver, QRectF(0, 0, 16, 16), QColor(0x0b, 0x5a, 0x7a), 1.5);
    else {
      p.setRenderHint(QPainter::Antialiasing);
      QColor c(0xa8, 0x1f, 0x1f);
      p.setPen(QPen(c, 1.7, Qt::SolidLine, Qt::RoundCap));
      p.drawArc(QRectF(2.5, 3, 11, 11), 120 * 16, 300 * 16);
      p.drawLine(QPointF(8, 1.5), QPointF(8, 7.5));
    }
    p.end();
    sink(QStringLiteral("icon/%1.png").arg(id), img);
  }
}

}  // namespace

void drawResources(const Sink& sink) {
  for (const auto& f : kFlags) {
    QImage img = newImage(kFlagSize, true);
    QPainter p(&img);
    drawFlag(p, img.rect(), f.flag);
    p.end();
    sink(QStringLiteral("png/%1.png").arg(f.id), img);
  }
  for (const auto& f : kLanguagePictures) {
    QImage img = newImage(kLanguagePictureSize);
    img.fill(QColor(0x0c, 0x0e, 0x11));
    QPainter p(&img);
    QRect flagRect(3, 3, kLanguagePictureSize.width - 6, kLanguagePictureSize.height - 6);
    drawFlag(p, flagRect, f.flag);
    p.setPen(QColor(0x3d, 0x46, 0x51));
    p.drawRect(flagRect.adjusted(-1, -1, 0, 0));
    p.end();
    sink(QStringLiteral("bitmap/%1.bmp").arg(f.id), img);
  }
  drawPopupFrame(sink);
  drawScrollSkin(sink);
  drawInfoBitmaps(sink);
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    sink(QStringLiteral("icon/%1-%2.png").arg(resource::kProgramIcon).arg(size), drawLogoIcon(size));
  drawTrayIcons(sink);
}

}  // namespace skingen
