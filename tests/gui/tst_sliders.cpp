// Slider and progress bar arithmetic, and what they report to their owners.

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "core/device/messages.h"
#include "gui/skin/png_progress_bar.h"
#include "gui/skin/png_slider.h"
#include "gui_test_support.h"

using namespace orlix;
using namespace orlix::gui;
using namespace orlix::gui::test;

class TestSliders : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString thumbPath_;

  // A slider of range 3..30 on a 100-pixel track with a 10-pixel thumb.
  CPngHSliderBar* speedSlider(Recorder* owner, int id = 1003) {
    auto* bar = new CPngHSliderBar(owner);
    bar->init(thumbPath_, QRect(20, 40, 100, 10), owner, id);
    bar->setRange(3, 30);
    return bar;
  }

 private slots:
  void initTestCase() {
    // A round 10 x 10 thumb on transparent corners.
    QImage thumb(10, 10, QImage::Format_ARGB32);
    thumb.fill(Qt::transparent);
    QPainter p(&thumb);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 160, 220));
    p.drawEllipse(QRect(0, 0, 10, 10));
    p.end();
    thumbPath_ = dir_.filePath("Slider.png");
    QVERIFY(thumb.save(thumbPath_));
  }

  void thumbArithmetic() {
    Recorder owner;
    CPngHSliderBar* bar = speedSlider(&owner);
    CPngHSlider* thumb = bar->thumb();
    QCOMPARE(thumb->size(), QSize(10, 10));
    QCOMPARE(thumb->valueAtThumbLeft(45), 16);  // 3 + 27 * 45 / 90
    QCOMPARE(thumb->valueAtThumbLeft(0), 3);
    QCOMPARE(thumb->valueAtThumbLeft(90), 30);
    thumb->setValue(30);
    QCOMPARE(thumb->pos(), QPoint(90, 0));  // bottom-aligned: 10 - 10
    thumb->setValue(16);
    QCOMPARE(thumb->x(), 90 * 13 / 27);
  }

  void valueOutsideRangeGoesToMinimum_data() {
    QTest::addColumn<int>("value");
    QTest::newRow("above maximum") << 31;
    QTest::newRow("below minimum") << 2;
  }

  void valueOutsideRangeGoesToMinimum() {
    QFETCH(int, value);
    Recorder owner;
    CPngHSliderBar* bar = speedSlider(&owner);
    bar->setValue(20);
    bar->setValue(value);
    QCOMPARE(bar->value(), 3);
    QCOMPARE(bar->thumb()->x(), 0);
  }

  void thumbShape() {
    Recorder owner;
    CPngHSliderBar* bar = speedSlider(&owner);
    QRegion mask = bar->thumb()->mask();
    QVERIFY(!mask.contains(QPoint(0, 0)));
    QVERIFY(mask.contains(QPoint(5, 5)));
  }

  void dragReportsThroughTheBar() {
    Recorder owner;
    CPngHSliderBar* bar = speedSlider(&owner, 1003);
    CPngHSlider* thumb = bar->thumb();
    QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(thumb->isDragging());
    // Move the pointer 45 pixels right of where it was pressed.
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 5), thumb->mapToGlobal(QPointF(50, 5)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(thumb, &move);
    QCOMPARE(bar->value(), 16);
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(bar->value(), 16);  // the release keeps what the drag reported
    QTRY_COMPARE(owner.of(msg::kSliderPos).size(), size_t(1));
    QCOMPARE(owner.of(msg::kSliderPos)[0], (Message{msg::kSliderPos, 16, 1003}));
  }

  void dragStopsAtTheLimits() {
    Recorder owner;
    CPngHSliderBar* bar = speedSlider(&owner);
    bar->setLimits(5, 20);
    bar->setValue(5);
    CPngHSlider* thumb = bar->thumb();
    QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent left(QEvent::MouseMove, QPointF(-20, 5), thumb->mapToGlobal(QPointF(-20, 5)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(thumb, &left);
    QCOMPARE(bar->value(), 5);
    QMouseEvent right(QEvent::MouseMove, QPointF(95, 5), thumb->mapToGlobal(QPointF(95, 5)), Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(thumb, &right);
    QCOMPARE(bar->value(), 20);
  }

  void trackClickEnds() {
    Recorder owner;
    CPngHSliderBar* bar = speedSlider(&owner, 1002);
    bar->setValue(10);
    QCOMPARE(bar->valueAtClick(0), 3);
    QCOMPARE(bar->valueAtClick(99), 30);
    // A click where the thumb is not: the far right end of the track.
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(99, 5));
    QCOMPARE(bar->value(), 30);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(0, 5));
    QCOMPARE(bar->value(), 3);
    QTRY_COMPARE(owner.of(msg::kSliderPos).size(), size_t(2));
    QCOMPARE(owner.of(msg::kSliderPos)[0], (Message{msg::kSliderPos, 30, 1002}));
    QCOMPARE(owner.of(msg::kSliderPos)[1], (Message{msg::kSliderPos, 3, 1002}));
  }

  void disabledSliderIgnoresInput() {
    Recorder owner;
    CPngHSliderBar* bar = speedSlider(&owner);
    bar->setValue(10);
    bar->enable(false);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(99, 5));
    QTest::mousePress(bar->thumb(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(bar->value(), 10);
    QVERIFY(!bar->thumb()->isDragging());
    QCoreApplication::processEvents();
    QVERIFY(owner.got.empty());
  }

  void progressFiveOfTenShowsLeftHalf() {
    Recorder owner;
    QImage background = solidImage(400, 100, Qt::darkGray);
    QImage fill = patternImage(400, 100, 9);
    auto* bar = new CPngHProgressBar(&owner);
    bar->create(QRect(35, 47, 260, 9), &owner);
    bar->setImages(35, 47, 260, 9, background, fill);
    bar->setRange(0, 10);
    bar->setValue(5);
    QCOMPARE(bar->fillWidth(), 130);
    QImage shot = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int x : {0, 64, 129}) QCOMPARE(shot.pixel(x, 4), fill.pixel(35 + x, 51));
    for (int x : {130, 200, 259}) QCOMPARE(shot.pixelColor(x, 4), QColor(Qt::darkGray));
  }

  void progressDragReportsOnRelease() {
    Recorder owner;
    auto* bar = new CPngHProgressBar(&owner);
    bar->create(QRect(0, 0, 100, 10), &owner);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(75, 5));
    QCOMPARE(bar->value(), 7);
    QTRY_COMPARE(owner.of(msg::kProgressBarValue).size(), size_t(1));
    QCOMPARE(owner.of(msg::kProgressBarValue)[0], (Message{msg::kProgressBarValue, 7, 777}));
    bar->setReadOnly(true);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(20, 5));
    QCOMPARE(bar->value(), 7);
  }
};

QTEST_MAIN(TestSliders)
#include "tst_sliders.moc"
