#pragma once
// The look shared by every skin image: colours, faces of controls in their three
// states, panels, key caps and text.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <array>
#include <functional>
#include <vector>

#include "core/skin/window_geometry.h"

namespace skingen {

enum class State { Normal, Over, Down };
inline constexpr std::array<State, 3> kStates{State::Normal, State::Over, State::Down};

namespace colour {
inline const QColor kBg0{0x0b, 0x0d, 0x10};
inline const QColor kBg1{0x11, 0x14, 0x18};
inline const QColor kBg2{0x17, 0x1b, 0x20};
inline const QColor kBg3{0x1f, 0x24, 0x2b};
inline const QColor kBg4{0x29, 0x30, 0x38};
inline const QColor kLine{0x2c, 0x33, 0x3c};
inline const QColor kLine2{0x3d, 0x46, 0x51};
inline const QColor kTextDim{0x6b, 0x76, 0x82};
inline const QColor kText{0xbd, 0xbd, 0xc8};
inline const QColor kTextBright{0xe8, 0xed, 0xf2};
inline const QColor kAccent{0x19, 0xa7, 0xe0};
inline const QColor kAccentDark{0x0c, 0x5a, 0x7a};
inline const QColor kAccentDeep{0x08, 0x3a, 0x50};
inline const QColor kAccentBright{0x55, 0xd2, 0xff};
inline const QColor kSlate{0x53, 0x61, 0x67};
inline const QColor kKey{255, 0, 253};
}  // namespace colour

QRectF toQ(const orlix::Rect& r);
QPolygonF toQ(const orlix::skin::Quad& q);

// Sans-serif font of the given pixel size.
QFont font(qreal pixelSize, int weight = QFont::Normal);
// Largest pixel size up to largest at which text fits width in the bold font.
qreal fittingSize(const QString& text, qreal width, qreal largest);
// The bold font for text in width: smaller, then condensed.
QFont fittingFont(const QString& text, qreal width, qreal largest);
void drawText(QPainter& p, const QRectF& r, const QString& text, const QColor& c, qreal px,
              int flags = Qt::AlignCenter, int weight = QFont::Bold);

// Window backgrounds and containers.
void fillWindow(QPainter& p, const QRectF& r);
void drawPanel(QPainter& p, const QRectF& r, qreal radius = 6);
void drawInset(QPainter& p, const QRectF& r, qreal radius = 4);
// A thin accent line with a glow, used under titles.
void drawAccentLine(QPainter& p, QPointF a, QPointF b);
void drawTitleBar(QPainter& p, const QRectF& r);

// Faces. The text colours of the buttons decide which face fits a state:
// Standard: light text on Normal and Over, dark text on Down (bright face).
// Dialog: white on Normal and Down, slate on Over (light face).
// Tab: slate on Normal (dim face), white on Over and Down (accent face).
enum class Scheme { Standard, Dialog, Tab, Ghost };
void drawFace(QPainter& p, const QRectF& r, State s, Scheme scheme, qreal radius = 4);
void drawPolyFace(QPainter& p, const QPolygonF& poly, State s);
void drawCheckBox(QPainter& p, const QRectF& r, State s);
void drawRadio(QPainter& p, const QRectF& r, State s);
// Colour for icons drawn on a face of the scheme in the state.
QColor iconColour(State s, Scheme scheme);

// A key cap with its legends: main in the middle (or below, when top is set).
struct Legend {
  Legend(QString m = {}, QString t = {}, int i = -1) : main(std::move(m)), top(std::move(t)), icon(i) {}
  QString main;
  QString top;
  int icon;  // an Icon value instead of text, or -1
};
void drawKeyCap(QPainter& p, const QRectF& r, const Legend& legend, State s);
void drawKeyboardCase(QPainter& p, const QRectF& r);

// Three full-size images of one window: the background is drawn into all three,
// then every control draws its face in the state of each image.
struct Control {
  std::function<void(QPainter&, State)> paint;
};
struct Triple {
  QImage normal, over, down;
};
Triple renderTriple(orlix::skin::Size size, const std::function<void(QPainter&)>& background,
                    const std::vector<Control>& controls);

QImage newImage(orlix::skin::Size size, bool alpha = false);

// Makes every pixel of image outside outline (filled without anti-aliasing)
// exactly the key colour: a window cut by the key colour then has no pixel
// that blends the key colour with its skin, whatever was drawn over its edge.
void cutToOutline(QImage& image, const QPainterPath& outline);
// Moves every pixel of image that is exactly the key colour one step of blue
// away from it: for pictures whose content is colour and that are not cut.
void keepOffKey(QImage& image);
// Colour t (0..1) of the rainbow that pictures of lit keys show, from red to
// violet at full value. It stops short of purple and pink: those lie next to
// the key colour, and a window showing them could not be told from one that
// shows the key colour or a blend of it.
QColor rainbow(qreal t, qreal saturation = 0.9);

}  // namespace skingen
