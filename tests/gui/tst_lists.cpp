// The skinned list box and its skinned scroll bars.

#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include "core/device/messages.h"
#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "gui/skin/list_box_ex.h"
#include "gui/skin/skin_scroll.h"
#include "gui_test_support.h"

using namespace orlix;
using namespace orlix::gui;
using namespace orlix::gui::test;

class TestLists : public QObject {
  Q_OBJECT

  QImage skin_;

  // A list box that shows 10 items of 20 pixels, under skinned bars.
  CListBoxEx* listWithItems(Recorder* owner, int items, CSkinScrollWnd** frame = nullptr) {
    auto* list = new CListBoxEx(owner);
    list->setControlId(256);
    list->setGeometry(10, 10, 200 + skin::scroll_skin::kThickness, 200);
    list->setItemHeight(20);
    for (int i = 0; i < items; ++i) list->addItem(0, QStringLiteral("item %1").arg(i), uint32_t(i));
    list->setCurrentRow(0);
    list->show();
    CSkinScrollWnd* f = CSkinScrollWnd::attach(list, skin_);
    if (frame) *frame = f;
    return list;
  }

 private slots:
  void initTestCase() {
    setProgramFolder(QStringLiteral(ORLIX_BIN_DIR));
    QVERIFY(loadImageResource(skin::resource::kScrollSkin, "BITMAP", &skin_));
  }

  void iconTypeSwitchesIconsForTheWholeList() {
    Recorder owner;
    CListBoxEx list(&owner);
    list.addItem(2, QStringLiteral("A"), 0x41);
    QVERIFY(list.iconsOn());
    QCOMPARE(list.itemData(0), 0x02000041u);
    list.addItem(0, QStringLiteral("plain"), 0x12345678);
    QVERIFY(!list.iconsOn());
    QCOMPARE(list.itemData(1), 0x12345678u);
    list.addItem(4, QStringLiteral("50  ms"), 0xFF000032);
    QVERIFY(list.iconsOn());
    QCOMPARE(list.itemData(2), 0x04000032u);  // the icon type replaces the high byte
    QCOMPARE(list.currentRow(), 2);           // each addition selects the new item
  }

  void iconsComeFromTheSkinsFolder() {
    CListBoxEx list;
    for (int type : {2, 3, 4}) {
      QCOMPARE(list.iconImage(type, false).size(), QSize(16, 16));
      QVERIFY(list.iconImage(type, true) != list.iconImage(type, false));
    }
    QVERIFY(list.iconImage(5, false).isNull());
  }

  void inPlaceEditTakesAtMostTwentyCharacters() {
    Recorder owner;
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    auto* list = new CListBoxEx(&owner);
    list->setControlId(256);
    list->setGeometry(0, 0, 200, 200);
    list->show();
    list->addItem(0, QStringLiteral("Macro"), 1);
    list->addItem(0, QStringLiteral("New Macro"), 2, true);
    QVERIFY(list->isEditing());
    QLineEdit* edit = list->editor();
    QCOMPARE(edit->maxLength(), 20);
    QCOMPARE(edit->selectedText(), QStringLiteral("New Macro"));
    QTest::keyClicks(edit, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    QCOMPARE(edit->text().size(), 20);
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(!list->isEditing());
    QCOMPARE(list->itemText(1), QStringLiteral("abcdefghijklmnopqrst"));
    QTRY_COMPARE(owner.of(msg::kListEdit).size(), size_t(1));
    QCOMPARE(owner.of(msg::kListEdit)[0], (Message{msg::kListEdit, 256, 1}));
  }

  void escapeLeavesTheNameAlone() {
    Recorder owner;
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    auto* list = new CListBoxEx(&owner);
    list->setGeometry(0, 0, 200, 200);
    list->show();
    list->addItem(0, QStringLiteral("Keep"), 1);
    list->beginEdit(0);
    QTest::keyClicks(list->editor(), QStringLiteral("other"));
    QTest::keyClick(list->editor(), Qt::Key_Escape);
    QVERIFY(!list->isEditing());
    QCOMPARE(list->itemText(0), QStringLiteral("Keep"));
    QCOMPARE(list->currentRow(), 0);
    QCoreApplication::processEvents();
    QVERIFY(owner.of(msg::kListEdit).empty());
  }

  void doubleClickEditsOnlyWhenEnabled() {
    Recorder owner;
    owner.show();
    auto* list = new CListBoxEx(&owner);
    list->setGeometry(0, 0, 200, 200);
    list->show();
    list->addItem(0, QStringLiteral("one"), 1);
    QPoint at = list->visualItemRect(list->item(0)).center();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(!list->isEditing());
    list->setEditingEnabled(true);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(list->isEditing());
  }

  void userSelectionIsReported() {
    Recorder owner;
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    auto* list = new CListBoxEx(&owner);
    list->setControlId(10001);
    list->setGeometry(0, 0, 200, 200);
    list->show();
    for (int i = 0; i < 3; ++i) list->addItem(0, QStringLiteral("game %1").arg(i), uint32_t(i));
    QCoreApplication::processEvents();
    QVERIFY(owner.of(msg::kListSelChange).empty());  // adding is not the user's choice
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    QCOMPARE(list->currentRow(), 1);
    QTRY_COMPARE(owner.of(msg::kListSelChange).size(), size_t(1));
    QCOMPARE(owner.of(msg::kListSelChange)[0], (Message{msg::kListSelChange, 10001, 1}));
  }

  void fewItemsGiveADisabledBar() {
    Recorder owner;
    owner.show();
    CSkinScrollWnd* frame = nullptr;
    CListBoxEx* list = listWithItems(&owner, 3, &frame);
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QVERIFY(frame->verticalBar()->isVisible());
    QVERIFY(!frame->horizontalBar()->isVisible());
    QVERIFY(!frame->verticalBar()->canScroll());
    QVERIFY(!frame->verticalBar()->isEnabled());
    QCOMPARE(list->parentWidget(), frame->limitWindow());
    QCOMPARE(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    // The list takes the frame's place minus the bar.
    QCOMPARE(frame->geometry(), QRect(10, 10, 214, 200));
    QCOMPARE(list->width(), 200);
  }

  void barsFollowTheirListOnlyWhileShown() {
    // A list on a hidden page: nothing polls; shown, the bars catch up at once.
    Recorder owner;
    auto* page = new QWidget(&owner);
    page->hide();
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    auto* hidden = new CListBoxEx(page);
    hidden->setGeometry(10, 10, 200 + skin::scroll_skin::kThickness, 200);
    hidden->setItemHeight(20);
    hidden->show();
    CSkinScrollWnd* frame = CSkinScrollWnd::attach(hidden, skin_);
    QVERIFY(!frame->isNamedTimerActive(CSkinScrollWnd::kSyncTimer));
    for (int i = 0; i < 30; ++i) hidden->addItem(0, QStringLiteral("item %1").arg(i), uint32_t(i));
    page->show();
    QVERIFY(frame->isNamedTimerActive(CSkinScrollWnd::kSyncTimer));
    QCOMPARE(frame->verticalBar()->info().max, 29);
    page->hide();
    QVERIFY(!frame->isNamedTimerActive(CSkinScrollWnd::kSyncTimer));
  }

  void manyItemsGiveAnEnabledBar() {
    Recorder owner;
    owner.show();
    CSkinScrollWnd* frame = nullptr;
    listWithItems(&owner, 30, &frame);
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    ScrollInfo info = frame->verticalBar()->info();
    QCOMPARE(info.min, 0);
    QCOMPARE(info.max, 29);
    QCOMPARE(info.page, 10);
    QVERIFY(frame->verticalBar()->isEnabled());
  }

  void barGeometry() {
    Recorder owner;
    owner.show();
    CSkinScrollWnd* frame = nullptr;
    CListBoxEx* list = listWithItems(&owner, 30, &frame);
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    CSkinScrollBar* bar = frame->verticalBar();
    QCOMPARE(bar->height(), 200);
    const int t = skin::scroll_skin::kThickness, track = 200 - 2 * t;
    const int thumb = 10 * track / 30;
    QCOMPARE(bar->partRect(CSkinScrollBar::kFirstArrow), QRect(0, 0, t, t));
    QCOMPARE(bar->partRect(CSkinScrollBar::kSecondArrow), QRect(0, 200 - t, t, t));
    QCOMPARE(bar->partRect(CSkinScrollBar::kThumb), QRect(0, t, t, thumb));
    list->verticalScrollBar()->setValue(20);
    QCOMPARE(bar->partRect(CSkinScrollBar::kThumb).top(), t + 20 * (track - thumb) / 20);
  }

  void arrowRepeatsAfterHalfASecondThenEveryTenth() {
    Recorder owner;
    owner.show();
    CSkinScrollWnd* frame = nullptr;
    CListBoxEx* list = listWithItems(&owner, 100, &frame);
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    CSkinScrollBar* bar = frame->verticalBar();
    QSignalSpy scrolls(bar, &CSkinScrollBar::scrollRequested);
    QPoint arrow = bar->partRect(CSkinScrollBar::kSecondArrow).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, arrow);
    QCOMPARE(scrolls.count(), 1);  // at once
    QCOMPARE(scrolls[0][0].toInt(), msg::kScrollLineDown);
    QCOMPARE(list->verticalScrollBar()->value(), 1);  // passed on to the list
    QVERIFY(bar->isNamedTimerActive(CSkinScrollBar::kFirstTimer));
    QCOMPARE(bar->namedTimerInterval(CSkinScrollBar::kFirstTimer), 500);
    QVERIFY(!bar->isNamedTimerActive(CSkinScrollBar::kRepeatTimer));
    // The first timer scrolls again and hands over to the 100 ms repeat.
    QTRY_VERIFY_WITH_TIMEOUT(scrolls.count() >= 2, 3000);
    QVERIFY(!bar->isNamedTimerActive(CSkinScrollBar::kFirstTimer));
    QVERIFY(bar->isNamedTimerActive(CSkinScrollBar::kRepeatTimer));
    QCOMPARE(bar->namedTimerInterval(CSkinScrollBar::kRepeatTimer), 100);
    QTRY_VERIFY_WITH_TIMEOUT(scrolls.count() >= 4, 3000);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, arrow);
    QVERIFY(!bar->isNamedTimerActive(CSkinScrollBar::kRepeatTimer));
    int after = int(scrolls.count());
    // Nothing is left that could scroll later: no timer of the bar runs.
    QVERIFY(!bar->isNamedTimerActive(CSkinScrollBar::kFirstTimer));
    QVERIFY(hasNoTimers(bar));
    deliverPosted();
    QCOMPARE(int(scrolls.count()), after);
    QCOMPARE(list->verticalScrollBar()->value(), after);
  }

  void thumbDragTracksThenPositions() {
    Recorder owner;
    owner.show();
    CSkinScrollWnd* frame = nullptr;
    CListBoxEx* list = listWithItems(&owner, 30, &frame);
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    CSkinScrollBar* bar = frame->verticalBar();
    QSignalSpy scrolls(bar, &CSkinScrollBar::scrollRequested);
    QRect thumb = bar->partRect(CSkinScrollBar::kThumb);
    QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
    QMouseEvent move(QEvent::MouseMove, QPointF(thumb.center() + QPoint(0, 200)), bar->mapToGlobal(QPointF(thumb.center())),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb.center() + QPoint(0, 200));
    QCOMPARE(scrolls.count(), 2);
    QCOMPARE(scrolls[0][0].toInt(), msg::kScrollThumbTrack);
    QCOMPARE(scrolls[0][1].toInt(), 20);  // the last first-visible item: 30 - 10
    QCOMPARE(scrolls[1][0].toInt(), msg::kScrollThumbPosition);
    QCOMPARE(scrolls[1][1].toInt(), 20);
    QCOMPARE(list->verticalScrollBar()->value(), 20);
  }
};

QTEST_MAIN(TestLists)
#include "tst_lists.moc"
