// The skinned buttons: which look a bitmap button draws, what it reports, the
// shaped button acting on presses inside its region only, the colour button.

#include <QSignalSpy>
#include <QtTest>

#include "core/device/messages.h"
#include "gui/skin/color_btn.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/irr_button.h"
#include "gui_test_support.h"

using namespace orlix;
using namespace orlix::gui;
using namespace orlix::gui::test;

using Look = CGDIBitmapBtn::Look;
Q_DECLARE_METATYPE(CGDIBitmapBtn::Look)

class TestButtons : public QObject {
  Q_OBJECT

  // Four distinguishable window images and a button cut from them.
  QImage normal_ = patternImage(200, 100, 1), over_ = patternImage(200, 100, 2), down_ = patternImage(200, 100, 3),
         disabled_ = patternImage(200, 100, 4);
  const Rect rect_{20, 30, 70, 60};

  CGDIBitmapBtn* makeButton(QWidget* parent, const QString& text = {}) {
    auto* b = new CGDIBitmapBtn(parent);
    b->create(text, toQRect(rect_), parent);
    b->setImages(normal_, over_, down_, disabled_, rect_);
    return b;
  }

  // Brings the pointer onto w from outside it.
  static void hover(QWidget* w) {
    QWidget* top = w->window();
    QTest::mouseMove(top, QPoint(top->width() - 1, top->height() - 1));
    QTest::mouseMove(w, QPoint(5, 5));
    QCoreApplication::processEvents();
  }

 private slots:
  void drawingChoice_data() {
    QTest::addColumn<bool>("checkStyle");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<bool>("hovered");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<Look>("look");
    QTest::newRow("idle") << false << false << false << false << true << Look::Normal;
    QTest::newRow("hovered") << false << false << false << true << true << Look::Over;
    QTest::newRow("pressed") << false << false << true << true << true << Look::Down;
    QTest::newRow("disabled") << false << false << false << false << false << Look::Disabled;
    QTest::newRow("checked while hovered") << true << true << false << true << true << Look::Down;
    QTest::newRow("checked and disabled") << true << true << false << false << false << Look::Disabled;
    QTest::newRow("check style, unchecked, pressed") << true << false << true << false << true << Look::Normal;
    QTest::newRow("check style, unchecked, hovered") << true << false << false << true << true << Look::Over;
    QTest::newRow("checked without check style") << false << true << false << false << true << Look::Normal;
  }

  void drawingChoice() {
    QFETCH(bool, checkStyle);
    QFETCH(bool, checked);
    QFETCH(bool, pressed);
    QFETCH(bool, hovered);
    QFETCH(bool, enabled);
    QFETCH(Look, look);
    Recorder page;
    page.show();
    page.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&page));
    QTest::mouseMove(&page, QPoint(390, 290));  // away from where the button will be
    CGDIBitmapBtn* b = makeButton(&page);
    b->setCheckStyle(checkStyle);
    b->setChecked(checked);
    b->setEnabled(enabled);
    if (hovered) hover(b);
    if (pressed) QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(b->currentLook(), look);
    // What is drawn is that image, pixel for pixel.
    QImage shot = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot, b->imageOf(look).convertToFormat(QImage::Format_RGB32));
    if (pressed) QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
  }

  void withoutTextShowsTheCroppedImage() {
    Recorder page;
    CGDIBitmapBtn* b = makeButton(&page);
    QImage shot = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.size(), QSize(50, 30));
    QCOMPARE(shot, normal_.copy(20, 30, 50, 30));
  }

  void textIsDrawnInTheStateColour() {
    Recorder page;
    page.show();
    page.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&page));
    QImage plain = solidImage(200, 100, Qt::black);
    auto* b = new CGDIBitmapBtn(&page);
    b->create(QStringLiteral("OK"), toQRect(rect_), &page);
    b->setImages(plain, plain, plain, plain, rect_);
    // The brightest pixel of the text is the text colour (less where antialiased).
    auto brightest = [&] {
      QImage shot = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
      QColor best(Qt::black);
      for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
          if (shot.pixelColor(x, y).lightness() > best.lightness()) best = shot.pixelColor(x, y);
      return best;
    };
    QCOMPARE(b->currentTextColour(), QColor(0xBD, 0xBD, 0xC8));
    QColor normal = brightest();
    QVERIFY(normal.blue() > normal.red() && normal.blue() <= 0xC8 && normal.red() <= 0xBD && normal.red() > 0x60);
    hover(b);
    QCOMPARE(b->currentTextColour(), QColor(Qt::white));
    QColor over = brightest();
    QVERIFY(over.red() > 0xBD && over.red() == over.blue());
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(b->currentTextColour(), QColor(0x26, 0x1D, 0x05));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
  }

  void toggleAndReportOnPress() {
    Recorder page;
    CGDIBitmapBtn* b = makeButton(&page);
    b->setCheckStyle(true);
    b->setToggleOnClick(true);
    b->setReportMouseButtons(true);
    QSignalSpy clicks(b, &CGDIBitmapBtn::clicked);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(3, 3));
    QVERIFY(b->isChecked());  // toggled on the press, before the release
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(3, 3));
    QCoreApplication::processEvents();
    QCOMPARE(clicks.count(), 1);
    auto reports = page.of(msg::kButtonNotify);
    QCOMPARE(reports.size(), size_t(2));
    QCOMPARE(reports[0], (Message{msg::kButtonNotify, msg::kLeftButtonDown, handleOf(b)}));
    QCOMPARE(reports[1], (Message{msg::kButtonNotify, msg::kLeftButtonUp, handleOf(b)}));
  }

  void noReportsUnlessAsked() {
    Recorder page;
    CGDIBitmapBtn* b = makeButton(&page);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(3, 3));
    QCoreApplication::processEvents();
    QVERIFY(page.got.empty());
    QVERIFY(!b->isChecked());
  }

  void releaseOutsideIsNoClick() {
    Recorder page;
    CGDIBitmapBtn* b = makeButton(&page);
    QSignalSpy clicks(b, &CGDIBitmapBtn::clicked);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(80, 3));
    QCOMPARE(clicks.count(), 0);
  }

  void tooltipText() {
    Recorder page;
    CGDIBitmapBtn* b = makeButton(&page);
    b->setTooltip(QStringLiteral("Shift + Ctrl + A"));
    QCOMPARE(b->toolTip(), QStringLiteral("Shift + Ctrl + A"));
    b->setTooltip({});
    QVERIFY(b->toolTip().isEmpty());
  }

  void irrButtonActsOnPressInsideItsRegionOnly() {
    Recorder page;
    page.resize(300, 200);
    // A triangle: its box is 100 x 50 at 40, 60; the top-right corner of the box
    // lies outside the shape.
    QPolygon triangle({QPoint(40, 60), QPoint(40, 110), QPoint(140, 110)});
    auto* b = new CIrrButton(&page);
    b->create(QRegion(triangle), &page);
    QCOMPARE(b->regionBox(), QRegion(triangle).boundingRect());
    QCOMPARE(b->geometry(), b->regionBox());
    QCOMPARE(b->windowRegion().boundingRect().topLeft(), QPoint(0, 0));  // moved to the origin
    QSignalSpy clicks(b, &CIrrButton::clicked);

    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(95, 3));  // in the box, outside the triangle
    QCOMPARE(clicks.count(), 0);
    QVERIFY(!b->isPressed());
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(95, 3));

    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 45));
    QCOMPARE(clicks.count(), 1);  // before the release
    QVERIFY(b->isPressed());
    QCOMPARE(b->currentLook(), CIrrButton::Look::Down);
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 45));
    QCOMPARE(clicks.count(), 1);
    QVERIFY(!b->isPressed());
  }

  void irrButtonDrawsThroughItsRegion() {
    Recorder page;
    page.resize(300, 200);
    QImage n = patternImage(300, 200, 5), o = patternImage(300, 200, 6), d = patternImage(300, 200, 7);
    auto* b = new CIrrButton(&page);
    b->create(skin::Quad{{{50, 40}, {150, 40}, {150, 80}, {50, 80}}}, &page);
    b->setImages(n, o, d);
    QImage shot = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The button shows the page image at its own place.
    QCOMPARE(shot.pixel(10, 10), n.pixel(60, 50));
    b->setCheckStyle(true);
    b->setChecked(true);
    shot = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.pixel(10, 10), d.pixel(60, 50));
    b->setChecked(false);
    b->setCheckStyle(false);
    b->setEnabled(false);
    QCOMPARE(b->currentLook(), CIrrButton::Look::Disabled);
    shot = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.pixel(10, 10), o.pixel(60, 50));  // the disabled look is the over image
  }

  void colourButtonClickPostsItsPoint() {
    Recorder page;
    auto* c = new CColorBtn(&page);
    c->setGeometry(10, 10, 30, 30);
    QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(5, 7));
    QCoreApplication::processEvents();
    auto got = page.of(msg::kLightSelection);
    QCOMPARE(got.size(), size_t(1));
    QCOMPARE(got[0].wParam, uintptr_t(5));
    QCOMPARE(got[0].lParam, intptr_t(7));
  }

  void colourButtonLooks() {
    Recorder page;
    auto* c = new CColorBtn(&page);
    c->setGeometry(0, 0, 20, 20);
    c->setColour(QColor(10, 200, 30));
    QImage shot = c->grab().toImage();
    QCOMPARE(shot.pixelColor(0, 0), QColor(0x31, 0x34, 0x39));  // border
    QCOMPARE(shot.pixelColor(1, 1), QColor(10, 200, 30));
    c->setChecked(true);
    shot = c->grab().toImage();
    QCOMPARE(shot.pixelColor(0, 0), QColor(0x3F, 0x48, 0xD3));  // no border while its switch is off
    QCOMPARE(shot.pixelColor(1, 1), QColor(0x3F, 0x48, 0xD3));
    QCOMPARE(shot.pixelColor(2, 2), QColor(10, 200, 30));
    c->setBorder(true);
    shot = c->grab().toImage();
    QCOMPARE(shot.pixelColor(0, 0), QColor(0x39, 0x38, 0x39));
  }
};

QTEST_MAIN(TestButtons)
#include "tst_buttons.moc"
