// The images of the skins/ folder, one function per window.

#include <QPainterPath>
#include <QtMath>

#include <optional>
#include <string>

#include "artwork.h"
#include "core/keys/key_index.h"
#include "core/keys/key_picture_map.h"
#include "core/lighting/lighting_key_map.h"
#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "icons.h"

namespace skingen {

using namespace orlix;
using namespace orlix::skin;
using namespace colour;

namespace {

void saveTriple(const Sink& sink, const ImageTriple& names, const Triple& t) {
  sink(names.normal, t.normal);
  sink(names.over, t.over);
  sink(names.down, t.down);
}

QRectF centredSquare(const QRectF& r, qreal side) {
  return QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
}

// A push button with an icon and no words.
Control iconButton(Rect r, Icon icon, Scheme scheme = Scheme::Standard, qreal iconSide = 0, qreal radius = 4) {
  return {[=](QPainter& p, State s) {
    QRectF q = toQ(r).adjusted(1, 1, -1, -1);
    drawFace(p, q, s, scheme, radius);
    qreal side = iconSide > 0 ? iconSide : std::min(q.width(), q.height()) * 0.62;
    drawIcon(p, icon, centredSquare(q, side), iconColour(s, scheme), side >= 20 ? 1.8 : 1.5);
  }};
}

// A push button whose caption the window draws.
Control plainButton(Rect r, Scheme scheme = Scheme::Standard, qreal inset = 1, qreal radius = 4) {
  return {[=](QPainter& p, State s) { drawFace(p, toQ(r).adjusted(inset, inset, -inset, -inset), s, scheme, radius); }};
}

Control checkBox(Rect r) {
  return {[=](QPainter& p, State s) { drawCheckBox(p, toQ(r), s); }};
}

// An option: a round mark at the left of r, then icons.
Control option(Rect r, std::vector<Icon> icons, bool square = false) {
  return {[=](QPainter& p, State s) {
    QRectF q = toQ(r);
    qreal d = std::min<qreal>(14, q.height() - 2);
    QRectF mark(q.left() + 1, q.center().y() - d / 2, d, d);
    if (square)
      drawCheckBox(p, mark, s);
    else
      drawRadio(p, mark, s);
    QColor c = s == State::Normal ? kText : (s == State::Over ? kTextBright : kAccentBright);
    qreal x = mark.right() + 8;
    qreal side = std::min<qreal>(18, q.height());
    for (Icon icon : icons) {
      drawIcon(p, icon, QRectF(x, q.center().y() - side / 2, side, side), c, 1.5);
      x += side + 4;
    }
  }};
}

Control polyButton(const Quad& quad, std::optional<Icon> icon, QString label = {}, qreal iconX = -1) {
  return {[=](QPainter& p, State s) {
    QPolygonF poly = toQ(quad);
    drawPolyFace(p, poly, s);
    QRectF b = poly.boundingRect();
    QColor c = s == State::Down ? QColor(0x05, 0x1a, 0x24) : (s == State::Over ? QColor(Qt::white) : kText);
    qreal side = std::min<qreal>(22, b.height() - 12);
    if (icon) {
      qreal cx = iconX >= 0 ? iconX : (label.isEmpty() ? b.center().x() : b.center().x() - 16);
      drawIcon(p, *icon, QRectF(cx - side / 2, b.center().y() - side / 2, side, side), c, 1.7);
    }
    if (!label.isEmpty()) {
      qreal x = icon ? (iconX >= 0 ? b.center().x() - 10 : b.center().x() - 2) : b.left();
      qreal w = icon ? 40 : b.width();
      drawText(p, QRectF(x, b.top(), w, b.height()), label, c, 15,
               icon ? Qt::AlignVCenter | Qt::AlignLeft : Qt::AlignCenter, QFont::Bold);
    }
  }};
}

// Frame around a colour swatch that the window draws itself.
void swatchFrame(QPainter& p, Rect r) {
  QRectF q = toQ(r).adjusted(-3, -3, 3, 3);
  drawInset(p, q, 4);
}

// Groove of a slider bar; the slider draws only its thumb over it.
void sliderGroove(QPainter& p, Rect r, const QColor& from = QColor(), const QColor& to = QColor()) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QRectF q = toQ(r);
  QRectF groove(q.left(), q.center().y() - 2, q.width(), 4);
  p.setPen(QPen(QColor(0x05, 0x06, 0x08), 1));
  if (from.isValid()) {
    QLinearGradient g(groove.topLeft(), groove.topRight());
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    p.setBrush(g);
  } else {
    QLinearGradient g(groove.topLeft(), groove.topRight());
    g.setColorAt(0, kAccentDeep);
    g.setColorAt(1, kAccent);
    p.setBrush(g);
  }
  p.drawRoundedRect(groove.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
  p.restore();
}

void speedMarks(QPainter& p, Rect slider) {
  QRectF q = toQ(slider);
  drawIcon(p, Icon::Tortoise, QRectF(q.left() - 22, q.center().y() - 9, 18, 18), kTextDim, 1.4);
  drawIcon(p, Icon::Hare, QRectF(q.right() + 4, q.center().y() - 9, 18, 18), kTextDim, 1.4);
}

// ---------------------------------------------------------------- key legends

struct KeyLabel {
  const char* name;
  const char* label;
};

Legend legendFromName(std::string_view name) {
  static const KeyLabel kShort[] = {
      {"Left Ctrl", "Ctrl"},   {"Right Ctrl", "Ctrl"},  {"Left Shift", "Shift"}, {"Right Shift", "Shift"},
      {"Left Alt", "Alt"},     {"Right Alt", "Alt"},    {"Left Win", "Win"},     {"Right Win", "Win"},
      {"Caps Lock", "Caps"},   {"Print Screen", "PrtSc"}, {"Scroll Lock", "ScrLk"}, {"Insert", "Ins"},
      {"Delete", "Del"},       {"Page Up", "PgUp"},     {"Page Down", "PgDn"},   {"Left", "\u2190"},
      {"Right", "\u2192"},     {"Up", "\u2191"},        {"Down", "\u2193"},      {"Num Lock", "Num"},
      {"Num Enter", "Enter"},  {"Space", ""},           {"Backspace", "\u232B"}, {"Enter", "Enter"},
  };
  for (const KeyLabel& k : kShort)
    if (name == k.name) return {QString::fromUtf8(k.label)};
  if (name == "Menu") return {{}, {}, int(Icon::Menu)};
  if (name.starts_with("left column key ")) return {QStringLiteral("G") + QString::fromUtf8(name.substr(16))};
  if (name.starts_with("Num ")) return {QString::fromUtf8(name.substr(4))};
  if (name.size() == 3 && name[1] == ' ')
    return {QString(QChar(name[0])), QString(QChar(name[2]))};
  static const char kShifted[] = ")!@#$%^&*(";
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9')
    return {QString(QChar(name[0])), QString(QChar(kShifted[name[0] - '0']))};
  return {QString::fromUtf8(name)};
}

// Legends of the lighting key map, entry by entry ("top\nmain" for two legends).
const char* const kLightingLegends[lighting::kLightingKeyCount] = {
    "Esc", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12", "PrtSc", "ScrLk",
    "Pause", "@sparkle", "@speaker", "@sun",
    "G1", "~\n`", "!\n1", "@\n2", "#\n3", "$\n4", "%\n5", "^\n6", "&\n7", "*\n8", "(\n9", ")\n0", "_\n-",
    "+\n=", "\u232B", "Ins", "Home", "PgUp", "Num", "/", "*", "-",
    "G2", "Tab", "Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "{\n[", "}\n]", "|\n\\", "Del", "End",
    "PgDn", "7", "8", "9", "+",
    "G3", "Caps", "A", "S", "D", "F", "G", "H", "J", "K", "L", ":\n;", "\"\n'", "Enter", "4", "5", "6",
    "G4", "Shift", "Z", "X", "C", "V", "B", "N", "M", "<\n,", ">\n.", "?\n/", "Shift", "\u2191", "1", "2",
    "3", "Enter",
    "G5", "Ctrl", "Win", "Alt", "", "Alt", "Win", "@menu", "Ctrl", "\u2190", "\u2193", "\u2192", "0", ".",
    "",
};

Legend legendFromTable(const char* text) {
  QString s = QString::fromUtf8(text);
  if (s == "@sparkle") return {{}, {}, int(Icon::Sparkle)};
  if (s == "@speaker") return {{}, {}, int(Icon::Speaker)};
  if (s == "@sun") return {{}, {}, int(Icon::Sun)};
  if (s == "@menu") return {{}, {}, int(Icon::Menu)};
  int nl = s.indexOf('\n');
  if (nl >= 0) return {s.mid(nl + 1), s.left(nl)};
  return {s};
}

// ---------------------------------------------------------------- main frame

QPainterPath frameOutline() {
  const Size sz = main_frame::kSize;
  QPainterPath path;
  const qreal r = 10, chamfer = 16;
  path.moveTo(r, 0);
  path.lineTo(sz.width - r, 0);
  path.quadTo(sz.width, 0, sz.width, r);
  path.lineTo(sz.width, sz.height - chamfer);
  path.lineTo(sz.width - chamfer, sz.height);
  path.lineTo(chamfer, sz.height);
  path.lineTo(0, sz.height - chamfer);
  path.lineTo(0, r);
  path.quadTo(0, 0, r, 0);
  return path;
}

void drawMainFrame(const Sink& sink) {
  const Size sz = main_frame::kSize;
  auto background = [&](QPainter& p) {
    p.fillRect(0, 0, sz.width, sz.height, kKey);
    QPainterPath outline = frameOutline();
    // Hard edges: the window's shape is every pixel that is not the key colour.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2c, 0x33, 0x3c));
    p.drawPath(outline);
    p.save();
    p.setClipPath(outline);
    p.translate(1, 1);
    p.scale((sz.width - 2.0) / sz.width, (sz.height - 2.0) / sz.height);
    p.setBrush(kBg0);
    p.drawPath(outline);
    p.restore();
    p.save();
    p.setClipRect(2, 2, sz.width - 4, sz.height - 4);
    p.setClipPath(outline, Qt::IntersectClip);
    fillWindow(p, QRectF(2, 2, sz.width - 4, sz.height - 4));
    // Title area.
    drawTitleBar(p, QRectF(2, 2, sz.width - 4, 74));
    QImage logo = drawLogoIcon(44);
    p.drawImage(QPointF(22, 16), logo);
    drawText(p, QRectF(78, 14, 300, 34), QStringLiteral("O R L I X"), kTextBright, 26,
             Qt::AlignLeft | Qt::AlignVCenter, QFont::Black);
    drawText(p, QRectF(80, 46, 300, 16), QStringLiteral("U L M O R A"), kAccent, 10,
             Qt::AlignLeft | Qt::AlignVCenter, QFont::Bold);
    // Decorative slashes in the title bar.
    p.setRenderHint(QPainter::Antialiasing);
    for (int k = 0; k < 6; ++k) {
      QColor c = kAccent;
      c.setAlpha(90 - k * 14);
      p.setPen(QPen(c, 3));
      p.drawLine(QPointF(290 + k * 12, 58), QPointF(300 + k * 12, 22));
    }
    // Tab strip and page well.
    p.fillRect(QRectF(2, 78, sz.width - 4, 46), QColor(0x0e, 0x10, 0x13));
    drawAccentLine(p, QPointF(20, 123.5), QPointF(sz.width - 20, 123.5));
    QPointF o(main_frame::kPageOrigin.x, main_frame::kPageOrigin.y);
    drawInset(p, QRectF(o.x() - 3, o.y() - 3, page::kSize.width + 6, page::kSize.height + 6), 6);
    // Bottom bar.
    p.fillRect(QRectF(2, 588, sz.width - 4, 52), QColor(0x0e, 0x10, 0x13));
    drawAccentLine(p, QPointF(20, 588.5), QPointF(780, 588.5));
    drawInset(p, toQ(main_frame::kLanguagePicture).adjusted(-2, -2, 2, 2), 3);
    drawInset(p, toQ(main_frame::kStatusArea), 4);
    p.restore();
  };
  std::vector<Control> controls;
  controls.push_back(iconButton(main_frame::kMinimize, Icon::Minimize, Scheme::Ghost, 20));
  controls.push_back(iconButton(main_frame::kClose, Icon::Close, Scheme::Ghost, 20));
  const Icon tabIcons[4] = {Icon::Keyboard, Icon::Bulb, Icon::Macro, Icon::Support};
  for (int i = 0; i < 4; ++i)
    controls.push_back(polyButton(main_frame::kTabs[size_t(i)], tabIcons[i], QStringLiteral("0%1").arg(i + 1)));
  for (int i = 0; i < 5; ++i)
    controls.push_back(polyButton(main_frame::kProfiles[size_t(i)], std::nullopt, QString::number(i + 1)));
  controls.push_back(polyButton(main_frame::kApply, Icon::Apply, {}, -1));
  controls.push_back({[](QPainter& p, State s) {
    QRectF q = toQ(main_frame::kLanguage);
    drawFace(p, q, s, Scheme::Standard, 3);
    QColor c = iconColour(s, Scheme::Standard);
    drawIcon(p, Icon::Globe, QRectF(q.left() + 6, q.top() + 2, 14, 14), c, 1.3);
    drawIcon(p, Icon::CaretUp, QRectF(q.left() + 24, q.top() + 2, 12, 12), c, 1.5);
  }});
  Triple frame = renderTriple(sz, background, controls);
  // The title bar, bottom bar and buttons are drawn with anti-aliasing up to
  // the outline: the cut is made once, after them.
  for (QImage* image : {&frame.normal, &frame.over, &frame.down}) cutToOutline(*image, frameOutline());
  saveTriple(sink, kMainFrame, frame);
}

// ---------------------------------------------------------------- pages

void pageBackground(QPainter& p) {
  fillWindow(p, QRectF(0, 0, page::kSize.width, page::kSize.height));
}

void drawKeyboardPage(const Sink& sink) {
  const auto& map = keys::keyPictureMap();
  auto background = [&](QPainter& p) {
    pageBackground(p);
    drawIcon(p, Icon::Keyboard, QRectF(30, 24, 24, 24), kAccent, 1.7);
    drawAccentLine(p, QPointF(60, 36.5), QPointF(420, 36.5));
    drawKeyboardCase(p, QRectF(72, 74, 778, 240));
    // Keys that no page can change: they stand in the picture without a button.
    const Rect fixed[3] = {{708, 90, 738, 122}, {740, 90, 770, 122}, {772, 90, 800, 122}};
    const Icon fixedIcons[3] = {Icon::Sparkle, Icon::Speaker, Icon::Sun};
    for (int i = 0; i < 3; ++i) drawKeyCap(p, toQ(fixed[i]), {{}, {}, int(fixedIcons[i])}, State::Normal);
    // Legend under the keyboard: a plain key and a key that carries a new function.
    drawKeyCap(p, QRectF(360, 352, 32, 32), {QStringLiteral("A")}, State::Normal);
    drawIcon(p, Icon::ArrowRight, QRectF(400, 358, 20, 20), kTextDim, 1.5);
    drawKeyCap(p, QRectF(428, 352, 32, 32), {{}, {}, int(Icon::Edit)}, State::Down);
    drawIcon(p, Icon::Check, QRectF(468, 358, 20, 20), kAccent, 1.8);
    drawAccentLine(p, QPointF(300, 405.5), QPointF(625, 405.5));
  };
  std::vector<Control> controls;
  for (int n = 0; n < keys::kKeyPictureCount; ++n) {
    if (keys::isEmptyPictureRecord(n)) continue;
    const auto& rec = map[size_t(n)];
    Legend legend = legendFromName(keys::keyIndexInfo(rec.keyIndex).name);
    controls.push_back({[rec, legend](QPainter& p, State s) { drawKeyCap(p, toQ(rec.rect), legend, s); }});
  }
  saveTriple(sink, kKeyboardPage, renderTriple(page::kSize, background, controls));
}

constexpr QRectF kLightingCase{26, 82, 871, 263};

void drawLightingKeyboard(QPainter& p) {
  const auto& map = lighting::lightingKeyMap();
  drawKeyboardCase(p, kLightingCase);
  for (int i = 0; i < lighting::kRealLightingKeys; ++i)
    drawKeyCap(p, toQ(map[size_t(i)].rect), legendFromTable(kLightingLegends[i]), State::Normal);
}

void drawLightingPage(const Sink& sink) {
  auto background = [&](QPainter& p) {
    pageBackground(p);
    drawLightingKeyboard(p);
    drawIcon(p, Icon::Bulb, QRectF(30, 24, 24, 24), kAccent, 1.7);
    drawAccentLine(p, QPointF(60, 36.5), QPointF(420, 36.5));
    drawIcon(p, Icon::Eye, QRectF(74, 371, 18, 18), kTextDim, 1.4);
    p.fillRect(QRectF(0, 398, page::kSize.width, 58), QColor(0x0d, 0x0f, 0x12));
    drawAccentLine(p, QPointF(12, 398.5), QPointF(914, 398.5));
  };
  std::vector<Control> controls;
  const Icon effectIcons[6] = {Icon::EffectSeven, Icon::EffectStrength, Icon::EffectWave,
                               Icon::EffectBreath,  Icon::EffectSingle,   Icon::EffectAlways};
  for (int i = 0; i < 6; ++i) {
    const Quad q = lighting_page::kEffectButtons[size_t(i)];
    // The button writes its caption around the middle; the icon keeps to the left.
    qreal iconX = (q[0].x + q[3].x) / 2.0 + 22;
    controls.push_back(polyButton(q, effectIcons[i], {}, iconX));
  }
  controls.push_back(iconButton(lighting_page::kSelectAll, Icon::SelectAll, Scheme::Standard, 18));
  controls.push_back({[](QPainter& p, State s) {
    // The show toggle: its pressed look is "on".
    QRectF q = toQ(lighting_page::kShowToggle);
    p.setRenderHint(QPainter::Antialiasing);
    bool on = s == State::Down;
    p.setPen(QPen(on ? kAccentBright : (s == State::Over ? kAccent : kLine2), 1));
    p.setBrush(on ? kAccentDark : QColor(0x0c, 0x0e, 0x11));
    p.drawRoundedRect(q.adjusted(0.5, 0.5, -0.5, -0.5), 5.5, 5.5);
    qreal d = q.height() - 4;
    QRectF knob(on ? q.right() - 2 - d : q.left() + 2, q.top() + 2, d, d);
    p.setPen(Qt::NoPen);
    p.setBrush(on ? QColor(Qt::white) : kTextDim);
    p.drawEllipse(knob);
  }});
  saveTriple(sink, kLightingPage, renderTriple(page::kSize, background, controls));
}

void drawKeyboardOverlay(const Sink& sink) {
  // The case is opaque; every key of the lighting map is a hole through which the
  // light button below shows its colour. Legends float over the holes.
  const auto& map = lighting::lightingKeyMap();
  QImage img = newImage(page::kSize, true);
  QPainter p(&img);
  drawKeyboardCase(p, kLightingCase);
  // Holes with rounded corners keep a trace of the case between neighbouring keys.
  p.setCompositionMode(QPainter::CompositionMode_Clear);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  for (int i = 0; i < lighting::kRealLightingKeys; ++i) p.drawRoundedRect(toQ(map[size_t(i)].rect), 3.5, 3.5);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  for (int i = 0; i < lighting::kRealLightingKeys; ++i) {
    QRectF r = toQ(map[size_t(i)].rect).adjusted(2, 2, -2, -3);
    Legend l = legendFromTable(kLightingLegends[i]);
    // A dark outline keeps white legends readable on bright colours.
    QColor shadow(0, 0, 0, 120), text(255, 255, 255, 230);
    const std::pair<QPointF, QColor> passes[] = {{QPointF(-0.7, 0), shadow}, {QPointF(0.7, 0), shadow},
                                                 {QPointF(0, -0.7), shadow}, {QPointF(0, 0.9), shadow},
                                                 {QPointF(0, 0), text}};
    for (const auto& [offset, colour] : passes) {
      QRectF rr = r.translated(offset);
      if (l.icon >= 0) {
        drawIcon(p, Icon(l.icon), centredSquare(rr, std::min(rr.width(), rr.height()) * 0.6), colour, 1.3);
      } else if (!l.top.isEmpty()) {
        drawText(p, QRectF(rr.left(), rr.top(), rr.width(), rr.height() / 2), l.top, colour, 9);
        drawText(p, QRectF(rr.left(), rr.center().y(), rr.width(), rr.height() / 2), l.main, colour, 9);
      } else if (!l.main.isEmpty()) {
        p.setFont(fittingFont(l.main, rr.width() - 1, l.main.size() <= 2 ? 11 : 9.5));
        p.setPen(colour);
        p.drawText(rr, Qt::AlignCenter, l.main);
      }
    }
  }
  p.end();
  sink(kKeyboardOverlay, img);
}

void drawMacroPage(const Sink& sink) {
  using namespace macro_page;
  auto background = [&](QPainter& p) {
    pageBackground(p);
    drawPanel(p, QRectF(12, 10, 326, 438));
    drawPanel(p, QRectF(338, 10, 296, 438));
    drawPanel(p, QRectF(636, 10, 278, 438));
    drawIcon(p, Icon::Macro, QRectF(27, 20, 22, 22), kAccent, 1.7);
    drawAccentLine(p, QPointF(56, 31.5), QPointF(320, 31.5));
    drawIcon(p, Icon::Clock, QRectF(351, 20, 22, 22), kAccent, 1.7);
    drawAccentLine(p, QPointF(380, 31.5), QPointF(620, 31.5));
    drawInset(p, toQ(kMacroList).adjusted(-2, -2, 2, 2));
    drawInset(p, toQ(kEventList).adjusted(-2, -2, 2, 2));
    drawIcon(p, Icon::Record, QRectF(754, 25, 22, 22), QColor(0xe0, 0x3a, 0x3a), 1.5);
    drawInset(p, toQ(kLoopCountBox).adjusted(-4, -4, 4, 4), 3);
    drawText(p, QRectF(830, 86, 22, 18), QStringLiteral("\u00D7"), kTextDim, 13);
    // Mouse used for recording buttons.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.addRoundedRect(QRectF(706, 190, 126, 134), 52, 60);
    p.setPen(QPen(kLine2, 1.5));
    p.setBrush(QColor(0x14, 0x17, 0x1b));
    p.drawPath(body);
    p.setPen(QPen(kLine, 1));
    p.drawLine(QPointF(707, 258), QPointF(831, 258));
    p.restore();
    drawIcon(p, Icon::Mouse, QRectF(650, 200, 22, 22), kTextDim, 1.5);
    // Editing panel.
    drawInset(p, QRectF(636 + 4, 332, 270, 108), 5);
    drawInset(p, toQ(kKeyBox).adjusted(-3, -3, 3, 3), 3);
    drawInset(p, toQ(kDelayBox).adjusted(-3, -3, 3, 3), 3);
  };
  std::vector<Control> controls;
  controls.push_back(plainButton(kRecord));
  controls.push_back({[](QPainter& p, State s) {
    QRectF q = toQ(kGame).adjusted(1, 0, -1, 0);
    drawFace(p, q, s, Scheme::Standard, 3);
    QColor c = iconColour(s, Scheme::Standard);
    drawIcon(p, Icon::Gamepad, QRectF(q.left() + 6, q.top() + 2, 17, 17), c, 1.4);
    drawIcon(p, Icon::CaretDown, QRectF(q.right() - 20, q.top() + 3, 14, 14), c, 1.5);
  }});
  controls.push_back(iconButton(kNewMacro, Icon::Plus));
  controls.push_back(iconButton(kDeleteMacro, Icon::Trash));
  controls.push_back(iconButton(kInsert, Icon::InsertRow));
  controls.push_back(iconButton(kDeleteEvent, Icon::DeleteRow));
  controls.push_back(iconButton(kChange, Icon::Edit));
  controls.push_back(option(kDelayToggle, {Icon::NoDelay}, true));
  controls.push_back(option(kLoopCountOption, {Icon::Repeat}));
  controls.push_back(option(kLoopHeldOption, {Icon::RepeatHold}));
  controls.push_back(option(kLoopToggleOption, {Icon::RepeatToggle}));
  for (Rect r : {kMouseLeft, kMouseMiddle, kMouseRight})
    controls.push_back({[r](QPainter& p, State s) {
      bool wheel = r == kMouseMiddle;
      drawFace(p, toQ(r).adjusted(1, 1, -1, -1), s, Scheme::Standard, wheel ? 8 : 5);
      if (wheel) {
        QRectF q = toQ(r);
        p.setPen(QPen(iconColour(s, Scheme::Standard), 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(q.center().x(), q.top() + 12), QPointF(q.center().x(), q.bottom() - 12));
      }
    }});
  controls.push_back(option(kKeyOption, {Icon::Key}));
  controls.push_back(iconButton(kKeyOk, Icon::Check));
  controls.push_back(option(kDelayOption, {Icon::Clock}));
  controls.push_back(iconButton(kDelayOk, Icon::Check));
  saveTriple(sink, kMacroPage, renderTriple(page::kSize, background, controls));

  // The game menu's item images.
  for (int i = 0; i < 8; ++i) {
    bool sub = i >= 4;
    State s = (i % 4) == 1 ? State::Over : (i % 4) == 2 ? State::Down : State::Normal;
    QImage img = newImage(menu_skin::kImageSize);
    QPainter p(&img);
    QRectF r(0, 0, menu_skin::kImageSize.width, menu_skin::kImageSize.height);
    p.fillRect(r, kBg2);
    if (s == State::Over) {
      QLinearGradient g(r.topLeft(), r.topRight());
      g.setColorAt(0, kAccentDark);
      g.setColorAt(1, kBg3);
      p.fillRect(r, g);
      p.fillRect(QRectF(0, 0, 3, r.height()), kAccent);
    } else if (s == State::Down) {
      p.fillRect(r, kAccent);
    }
    p.fillRect(QRectF(0, r.height() - 1, r.width(), 1), QColor(0x0b, 0x0d, 0x10));
    if (sub)
      drawIcon(p, Icon::ArrowRight, QRectF(r.right() - 18, 6, 12, 12),
               s == State::Normal ? kTextDim : QColor(Qt::white), 1.4);
    p.end();
    sink(QString(kMenuFolder) + kMenuImages[size_t(i)], img);
  }
}

void drawSupportPage(const Sink& sink) {
  using namespace support_page;
  auto background = [&](QPainter& p) {
    pageBackground(p);
    const qreal centres[3] = {156, 462, 767};
    const Icon icons[3] = {Icon::Driver, Icon::Chip, Icon::Globe};
    for (int i = 0; i < 3; ++i) {
      QRectF card(centres[i] - 118, 36, 236, 280);
      drawPanel(p, card, 8);
      QRectF halo(centres[i] - 44, 62, 88, 88);
      p.save();
      p.setRenderHint(QPainter::Antialiasing);
      QRadialGradient g(halo.center(), 44);
      g.setColorAt(0, QColor(25, 167, 224, 60));
      g.setColorAt(1, QColor(25, 167, 224, 0));
      p.setPen(Qt::NoPen);
      p.setBrush(g);
      p.drawEllipse(halo);
      p.restore();
      drawIcon(p, icons[i], centredSquare(halo, 56), kAccent, 2.2);
      drawAccentLine(p, QPointF(card.left() + 20, 236.5), QPointF(card.right() - 20, 236.5));
    }
    drawText(p, QRectF(709, 160, 116, 30), QStringLiteral("www"), kTextDim, 13, Qt::AlignCenter, QFont::Bold);
    drawPanel(p, QRectF(38, 362, 850, 84), 8);
    drawIcon(p, Icon::Keyboard, QRectF(70, 388, 32, 32), kTextDim, 1.6);
  };
  std::vector<Control> controls;
  controls.push_back(iconButton(kDriverVersion, Icon::Sync, Scheme::Standard, 22));
  controls.push_back(iconButton(kFirmwareVersion, Icon::Sync, Scheme::Standard, 22));
  controls.push_back(iconButton(kWebSite, Icon::Globe, Scheme::Standard, 22));
  controls.push_back(iconButton(kRestoreDefaults, Icon::Reset, Scheme::Standard, 22));
  controls.push_back(iconButton(kImport, Icon::Import, Scheme::Standard, 22));
  controls.push_back(iconButton(kExport, Icon::Export, Scheme::Standard, 22));
  saveTriple(sink, kSupportPage, renderTriple(page::kSize, background, controls));
}

// ---------------------------------------------------------------- key setting panel

void drawSettingPanel(const Sink& sink) {
  using namespace setting_panel;
  auto background = [&](QPainter& p) {
    QRectF all(0, 0, kSize.width, kSize.height);
    fillWindow(p, all);
    drawTitleBar(p, QRectF(0, 0, kSize.width, 36));
    p.fillRect(QRectF(0, 64, kSize.width, 1), kAccentDark);
    drawInset(p, toQ(kPageArea).adjusted(-3, -3, 3, 3), 5);
    p.setPen(kLine);
    p.setBrush(Qt::NoBrush);
    p.drawRect(all.adjusted(0, 0, -1, -1));
  };
  std::vector<Control> controls;
  controls.push_back(iconButton(kClose, Icon::Close, Scheme::Ghost, 16));
  for (Rect r : {kComboTab, kMacroTab, kBaseTab})
    controls.push_back({[r](QPainter& p, State s) {
      QRectF q = toQ(r).adjusted(1, 1, -1, 0);
      drawFace(p, q, s, Scheme::Tab, 3);
      if (s == State::Down) p.fillRect(QRectF(q.left() + 2, q.bottom() - 2, q.width() - 4, 2), kAccentBright);
    }});
  controls.push_back(checkBox(kDisableBox));
  controls.push_back(plainButton(kRestore, Scheme::Standard, 2));
  controls.push_back(plainButton(kOk, Scheme::Standard, 2));
  saveTriple(sink, kSettingPanel, renderTriple(kSize, background, controls));
}

void drawPanelPages(const Sink& sink) {
  const Size sz = panel_page::kSize;
  auto plain = [&](QPainter& p) { p.fillRect(0, 0, sz.width, sz.height, QColor(0x0f, 0x0f, 0x0f)); };
  saveTriple(sink, kBasePage, renderTriple(sz, plain, {}));

  auto macroSet = [&](QPainter& p) {
    plain(p);
    p.fillRect(QRectF(185, 4, 2, sz.height - 8), kLine);
  };
  saveTriple(sink, kMacroSetTab, renderTriple(sz, macroSet, {}));

  using namespace combo_page;
  auto combo = [&](QPainter& p) {
    fillWindow(p, QRectF(0, 0, sz.width, sz.height));
    drawPanel(p, QRectF(16, 30, 132, 116), 6);
    drawText(p, QRectF(164, 40, 170, 26), QStringLiteral("+"), kTextDim, 20, Qt::AlignLeft | Qt::AlignVCenter);
    drawIcon(p, Icon::Keyboard, QRectF(186, 44, 20, 20), kTextDim, 1.5);
    drawInset(p, toQ(kCaptureArea), 4);
    drawIcon(p, Icon::Key, QRectF(311, 81, 16, 16), QColor(0x3a, 0x44, 0x4f), 1.4);
  };
  std::vector<Control> controls;
  const std::pair<Rect, const char*> boxes[4] = {{kCtrl, "Ctrl"}, {kAlt, "Alt"}, {kShift, "Shift"}, {kWin, "Win"}};
  for (const auto& [r, label] : boxes) {
    controls.push_back(checkBox(r));
    QString text = QString::fromLatin1(label);
    Rect lr{82, r.top - 3, 146, r.bottom + 3};
    controls.push_back({[lr, text](QPainter& p, State) {
      drawText(p, toQ(lr), text, kText, 12, Qt::AlignLeft | Qt::AlignVCenter, QFont::Bold);
    }});
  }
  saveTriple(sink, kComboPage, renderTriple(sz, combo, controls));
}

// ---------------------------------------------------------------- effect pages

struct EffectPage {
  const ImageTriple* files;
  const effect_page::Buttons* buttons;
  Icon icon;
  std::function<void(QPainter&)> extraBackground;
  std::vector<Control> extraControls;
};

void drawEffectHeader(QPainter& p, Size sz, Icon icon) {
  drawTitleBar(p, QRectF(0, 0, sz.width, 34));
  drawIcon(p, icon, QRectF(12, 5, 24, 24), kAccent, 1.8);
}

void drawEffectPage(const Sink& sink, const EffectPage& page) {
  Size sz = page.buttons->size;
  auto background = [&](QPainter& p) {
    QRectF all(0, 0, sz.width, sz.height);
    fillWindow(p, all);
    drawEffectHeader(p, sz, page.icon);
    if (page.extraBackground) page.extraBackground(p);
    p.setPen(kLine);
    p.setBrush(Qt::NoBrush);
    p.drawRect(all.adjusted(0, 0, -1, -1));
  };
  std::vector<Control> controls = page.extraControls;
  controls.push_back(iconButton(page.buttons->ok, Icon::Check, Scheme::Standard, 18));
  controls.push_back(iconButton(page.buttons->cancel, Icon::Cross, Scheme::Standard, 18));
  controls.push_back(iconButton(page.buttons->apply, Icon::Apply, Scheme::Standard, 20));
  saveTriple(sink, *page.files, renderTriple(sz, background, controls));
}

// A row of glowing key caps that shows what an effect looks like.
void keyRow(QPainter& p, QRectF area, const std::function<QColor(int, int)>& colourOf, int count) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  qreal w = (area.width() - (count - 1) * 4) / count;
  for (int i = 0; i < count; ++i) {
    QRectF cap(area.left() + i * (w + 4), area.top(), w, area.height());
    QColor c = colourOf(i, count);
    QColor glow = c;
    glow.setAlpha(60);
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(cap.adjusted(-2, -2, 2, 2), 4, 4);
    p.setBrush(QColor(0x15, 0x18, 0x1c));
    p.setPen(QPen(c, 1.5));
    p.drawRoundedRect(cap.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    QColor fill = c;
    fill.setAlpha(150);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(cap.adjusted(3, 3, -3, -5), 2, 2);
  }
  p.restore();
}

void drawEffectPages(const Sink& sink) {
  using namespace effect_page;
  const QColor amber(255, 200, 0);
  // Always-on.
  drawEffectPage(sink, {&kAlwaysPage, &kAlways, Icon::EffectAlways,
                        [&](QPainter& p) {
                          keyRow(p, QRectF(40, 56, 240, 40), [&](int, int) { return amber; }, 6);
                          swatchFrame(p, kAlwaysSwatch);
                          drawIcon(p, Icon::Palette, QRectF(22, 167, 18, 18), kTextDim, 1.4);
                        },
                        {}});
  // Breathing.
  drawEffectPage(sink, {&kBreathPage, &kBreath, Icon::EffectBreath,
                        [&](QPainter& p) {
                          keyRow(p, QRectF(60, 56, 346, 44),
                                 [](int i, int n) {
                                   qreal t = 0.5 + 0.5 * std::sin(i * M_PI * 2 / (n - 1) - M_PI / 2);
                                   return QColor::fromRgbF(1.0 * t + 0.01 * (1 - t), 0.78 * (1 - t), 0);
                                 },
                                 8);
                          for (const Rect& r : kBreathSwatches) swatchFrame(p, r);
                          drawIcon(p, Icon::Palette, QRectF(168, 134, 18, 18), kTextDim, 1.4);
                          drawText(p, QRectF(195, 160, 27, 14), QStringLiteral("1"), kTextDim, 10);
                          drawText(p, QRectF(230, 160, 27, 14), QStringLiteral("2"), kTextDim, 10);
                          sliderGroove(p, kBreathSlider);
                          speedMarks(p, kBreathSlider);
                        },
                        {}});
  // Seven-colour.
  drawEffectPage(
      sink,
      {&kSevenPage, &kSeven, Icon::EffectSeven,
       [&](QPainter& p) {
         keyRow(p, QRectF(60, 56, 346, 44), [](int i, int n) { return rainbow(double(i) / (n - 1)); }, 8);
         // Option 2: colours flow across the keys; option 1: the whole board changes together.
         QRectF a(130, 140, 80, 20), b(243, 140, 80, 20);
         QLinearGradient g(a.topLeft(), a.topRight());
         for (int k = 0; k <= 6; ++k) g.setColorAt(k / 6.0, rainbow(k / 6.0));
         p.fillRect(a, g);
         for (int k = 0; k < 4; ++k)
           p.fillRect(QRectF(b.left() + k * 20, b.top(), 18, b.height()), rainbow(k / 3.0));
       },
       {option(kSevenOptions[0], {}), option(kSevenOptions[1], {})}});
  // Single.
  drawEffectPage(sink, {&kSinglePage, &kSingle, Icon::EffectSingle,
                        [&](QPainter& p) {
                          for (const Rect& r : kSingleSwatches) swatchFrame(p, r);
                          drawKeyCap(p, QRectF(150, 66, 36, 36), {{}, {}, int(Icon::ArrowDown)}, State::Down);
                          drawIcon(p, Icon::EffectSingle, QRectF(156, 130, 24, 24), kTextDim, 1.5);
                          drawIcon(p, Icon::Palette, QRectF(256, 104, 18, 18), kTextDim, 1.4);
                          sliderGroove(p, kSingleSlider);
                          speedMarks(p, kSingleSlider);
                        },
                        {}});
  // Strength.
  std::vector<Control> levels;
  for (int i = 0; i < 6; ++i) {
    Rect r = kStrengthLevels[size_t(i)];
    levels.push_back({[r, i](QPainter& p, State s) {
      QRectF q = toQ(r).adjusted(1, 1, -1, -1);
      drawFace(p, q, s, Scheme::Standard, 4);
      QColor c = iconColour(s, Scheme::Standard);
      p.setRenderHint(QPainter::Antialiasing);
      p.setPen(Qt::NoPen);
      qreal bw = 4, gap = 2, total = 6 * bw + 5 * gap;
      qreal x0 = q.center().x() - total / 2, base = q.bottom() - 5;
      for (int k = 0; k < 6; ++k) {
        QColor bc = c;
        if (k > i) bc.setAlpha(60);
        p.setBrush(bc);
        qreal h = 4 + k * 3;
        p.drawRoundedRect(QRectF(x0 + k * (bw + gap), base - h, bw, h), 1, 1);
      }
    }});
  }
  drawEffectPage(sink, {&kStrengthPage, &kStrength, Icon::EffectStrength,
                        [&](QPainter& p) {
                          keyRow(p, QRectF(60, 56, 326, 44),
                                 [](int i, int n) {
                                   qreal t = 0.25 + 0.75 * i / (n - 1);
                                   return QColor::fromRgbF(0.1 * t, 0.65 * t, 0.88 * t + 0.05);
                                 },
                                 6);
                        },
                        levels});
  // Wave.
  const Icon arrows[5] = {Icon::ArrowLeft, Icon::ArrowUp, Icon::Spread, Icon::ArrowDown, Icon::ArrowRight};
  std::vector<Control> directions;
  for (int i = 0; i < 5; ++i) directions.push_back(iconButton(kWaveDirections[size_t(i)], arrows[i]));
  drawEffectPage(sink, {&kWavePage, &kWave, Icon::EffectWave,
                        [&](QPainter& p) {
                          keyRow(p, QRectF(40, 52, 350, 38),
                                 [](int i, int n) { return rainbow(0.6 + 0.4 * i / (n - 1), 0.85); }, 8);
                          sliderGroove(p, kWaveSlider);
                          speedMarks(p, kWaveSlider);
                        },
                        directions});
}

// ---------------------------------------------------------------- palette

void drawPalette(const Sink& sink) {
  using namespace palette;
  QImage img = newImage(kSize);
  QPainter p(&img);
  QRectF all(0, 0, kSize.width, kSize.height);
  fillWindow(p, all);
  drawTitleBar(p, QRectF(0, 0, kSize.width, 34));
  drawIcon(p, Icon::Palette, QRectF(12, 6, 22, 22), kAccent, 1.7);
  drawInset(p, toQ(kPreview).adjusted(-3, -3, 3, 3), 2);
  struct Channel {
    Rect r;
    const char* letter;
    QColor colour;
  } channels[3] = {{kRed, "R", QColor(255, 60, 60)}, {kGreen, "G", QColor(60, 220, 90)}, {kBlue, "B", QColor(60, 140, 255)}};
  for (const Channel& c : channels) {
    drawText(p, QRectF(c.r.left - 32, c.r.top - 5, 22, 20), QString::fromLatin1(c.letter), c.colour, 14);
    sliderGroove(p, c.r, QColor(0x10, 0x10, 0x10), c.colour);
  }
  // Wheel: hue by angle, saturation by distance from the middle, full value. Every
  // pixel holds exactly the colour a click on it picks.
  QRectF wheel = toQ(kWheel);
  QPointF ctr = wheel.center();
  qreal rx = wheel.width() / 2, ry = wheel.height() / 2;
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kLine2, 2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(wheel.adjusted(-2.5, -2.5, 2.5, 2.5));
  p.restore();
  for (int y = kWheel.top; y < kWheel.bottom; ++y)
    for (int x = kWheel.left; x < kWheel.right; ++x) {
      qreal dx = (x + 0.5 - ctr.x()) / rx, dy = (y + 0.5 - ctr.y()) / ry;
      qreal d = std::sqrt(dx * dx + dy * dy);
      if (d > 1.0) continue;
      qreal hue = std::atan2(-dy, dx) / (2 * M_PI);
      if (hue < 0) hue += 1;
      img.setPixelColor(x, y, QColor::fromHsvF(std::min(hue, 0.9999), std::min(1.0, d), 1.0));
    }
  // One picture serves every state of these buttons; their caption colours change
  // (white, slate on hover), so the face stays dark enough for both.
  drawFace(p, toQ(kOk).adjusted(1, 1, -1, -1), State::Normal, Scheme::Standard, 4);
  drawFace(p, toQ(kCancel).adjusted(1, 1, -1, -1), State::Normal, Scheme::Standard, 4);
  p.setPen(kLine);
  p.setBrush(Qt::NoBrush);
  p.drawRect(all.adjusted(0, 0, -1, -1));
  p.end();
  // The wheel runs through every hue: none of its pixels may be the key colour,
  // or a shaped palette would have a hole there.
  keepOffKey(img);
  sink(kPalette, img);
}

// ---------------------------------------------------------------- small images

void drawProgress(const Sink& sink) {
  using namespace progress_dialog;
  for (bool filled : {false, true}) {
    QImage img = newImage(kSize, true);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF all(0, 0, kSize.width, kSize.height);
    p.setPen(QPen(kLine2, 1));
    QLinearGradient g(all.topLeft(), all.bottomLeft());
    g.setColorAt(0, kBg3);
    g.setColorAt(1, kBg1);
    p.setBrush(g);
    p.drawRect(all.adjusted(0.5, 0.5, -0.5, -0.5));
    drawAccentLine(p, QPointF(1, 1.5), QPointF(kSize.width - 1, 1.5));
    drawIcon(p, Icon::Apply, QRectF(301, 40, 18, 18), kAccent, 1.5);
    QRectF bar = toQ(kBar);
    drawInset(p, bar.adjusted(-2, -2, 2, 2), 3);
    if (filled) {
      QLinearGradient f(bar.topLeft(), bar.topRight());
      f.setColorAt(0, kAccentDark);
      f.setColorAt(1, kAccentBright);
      p.setPen(Qt::NoPen);
      p.setBrush(f);
      p.drawRect(bar);
      p.setBrush(QColor(255, 255, 255, 40));
      p.drawRect(QRectF(bar.left(), bar.top(), bar.width(), 3));
    }
    p.end();
    sink(filled ? kProgressFill : kProgressBackground, img);
  }
}

void drawSliderThumb(const Sink& sink) {
  QImage img = newImage(slider::kThumbSize, true);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF r(0.5, 0.5, slider::kThumbSize.width - 1, slider::kThumbSize.height - 1);
  QRadialGradient g(r.center() - QPointF(1.5, 1.5), r.width() * 0.7);
  g.setColorAt(0, QColor(0xf4, 0xfb, 0xff));
  g.setColorAt(1, kAccent);
  p.setPen(QPen(kAccentBright, 1));
  p.setBrush(g);
  p.drawEllipse(r);
  p.end();
  // The thumb window is shaped from this picture: keep only solid pixels.
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      QColor c = img.pixelColor(x, y);
      if (c.alpha() < 128) {
        img.setPixelColor(x, y, Qt::transparent);
      } else {
        c.setAlpha(255);
        img.setPixelColor(x, y, c);
      }
    }
  sink(kSliderThumb, img);
}

void drawListIcons(const Sink& sink) {
  const QColor press(0x3b, 0xd6, 0x7a), release(0xf0, 0xa0, 0x30), delay(0x7a, 0x9c, 0xc6);
  for (const ListIcon& li : kListIcons) {
    for (bool selected : {false, true}) {
      QImage img = newImage(kListIconSize, true);
      QPainter p(&img);
      QRectF box(0, 0, kListIconSize.width, kListIconSize.height);
      QColor c = li.type == 2 ? release : li.type == 3 ? press : delay;
      if (selected) c = c.lighter(135);
      Icon icon = li.type == 2 ? Icon::ArrowUp : li.type == 3 ? Icon::ArrowDown : Icon::Clock;
      drawIcon(p, icon, box, c, selected ? 1.9 : 1.6);
      p.end();
      sink(selected ? li.selected : li.normal, img);
    }
  }
}

}  // namespace

void drawSkins(const Sink& sink) {
  drawMainFrame(sink);
  drawKeyboardPage(sink);
  drawLightingPage(sink);
  drawKeyboardOverlay(sink);
  drawMacroPage(sink);
  drawSupportPage(sink);
  drawSettingPanel(sink);
  drawPanelPages(sink);
  drawEffectPages(sink);
  drawPalette(sink);
  drawProgress(sink);
  drawSliderThumb(sink);
  drawListIcons(sink);
}

}  // namespace skingen
