// The info dialog (Show info, two buttons, timed) and the progress dialog.

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <thread>

#include "core/device/messages.h"
#include "gui/app/gui_notices.h"
#include "gui/app/info_dlg.h"
#include "gui/app/language_flag.h"
#include "gui/app/progress_dlg.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/png_progress_bar.h"
#include "gui_test_support.h"

using namespace orlix;
using namespace orlix::gui;
using namespace orlix::gui::test;

namespace {

// Ticks the dialog's timer by hand instead of waiting five seconds.
class TickableInfoDlg : public CInfoDlg {
 public:
  using CInfoDlg::CInfoDlg;
  void tick() { onTimer(kTimer); }
};

// Runs action on the dialog once it runs modally.
void whenModal(const std::function<void(CInfoDlg*)>& action) {
  QTimer::singleShot(0, [action] {
    QTRY_VERIFY(qobject_cast<CInfoDlg*>(QApplication::activeModalWidget()));
    action(qobject_cast<CInfoDlg*>(QApplication::activeModalWidget()));
  });
}

}  // namespace

class TestDialogs : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { setProgramFolder(QStringLiteral(ORLIX_BIN_DIR)); }

  void showInfoResults_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::newRow("OK") << "ok" << int(NoticeResult::Ok);
    QTest::newRow("close") << "close" << int(NoticeResult::Cancel);
  }

  void showInfoResults() {
    QFETCH(QString, button);
    QFETCH(int, result);
    whenModal([button](CInfoDlg* dlg) {
      QVERIFY(!dlg->cancelButton());  // the plain form has OK only
      QCOMPARE(dlg->okButton()->text(), QStringLiteral("OK"));
      QCOMPARE(dlg->okButton()->geometry(), QRect(240, 127, 66, 32));
      CGDIBitmapBtn* b = button == "ok" ? dlg->okButton() : dlg->closeButton();
      QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5));
    });
    QCOMPARE(int(showInfo(QStringLiteral("Setting Error"))), result);
  }

  void twoButtonForm() {
    CInfoDlg dlg;
    dlg.setTwoButtons(true);
    dlg.setText(QStringLiteral("Do you want to restore the default setting?"));
    whenModal([](CInfoDlg* d) {
      QCOMPARE(d->okButton()->geometry(), QRect(178, 127, 66, 32));
      QCOMPARE(d->cancelButton()->geometry(), QRect(245, 127, 66, 32));
      QCOMPARE(d->cancelButton()->text(), QStringLiteral("Cancel"));
      QTest::mouseClick(d->cancelButton(), Qt::LeftButton, {}, QPoint(5, 5));
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QCOMPARE(dlg.size(), QSize(330, 172));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("UlmoraTiskelInfoDlg"));
  }

  void noticesGoThroughTheInfoDialog() {
    GuiNotices notices;
    whenModal([](CInfoDlg* d) {
      QCOMPARE(d->text(), QStringLiteral("Do you want to restore the default setting?"));
      QVERIFY(d->cancelButton());
      QTest::mouseClick(d->cancelButton(), Qt::LeftButton, {}, QPoint(5, 5));
    });
    QCOMPARE(notices.showInfo(u"Do you want to restore the default setting?", true), NoticeResult::Cancel);
  }

  void longTextIsNotCut() {
    CInfoDlg dlg;
    dlg.setText(QStringLiteral("OK"));
    QCOMPARE(dlg.textRect(), QRect(90, 73, 215, 18));
    dlg.setText(QStringLiteral("Do you want to restore the default setting? Every key and light goes back."));
    QRect tall = dlg.textRect();
    QVERIFY(tall.height() >= 2 * QFontMetrics(gdiFont(14, 300)).lineSpacing());
    QCOMPARE(tall.center().y(), QRect(90, 73, 215, 18).center().y());
    QVERIFY(tall.bottom() < 127);  // above the buttons
  }

  void timedFormClosesOnItsFifthTick() {
    TickableInfoDlg dlg;
    dlg.setTimed(true);
    dlg.setText(QStringLiteral("Keyboard not found"));
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.okButton()->text(), QStringLiteral("OK (5s)"));
    QVERIFY(dlg.isNamedTimerActive(CInfoDlg::kTimer));
    QCOMPARE(dlg.namedTimerInterval(CInfoDlg::kTimer), 1000);
    // Bottom-right corner of the work area.
    QRect area = dlg.screen()->availableGeometry();
    QCOMPARE(dlg.pos(), QPoint(area.right() + 1 - dlg.width() - 10, area.bottom() + 1 - dlg.height()));
    QSignalSpy finished(&dlg, &QDialog::finished);
    for (int expected : {4, 3, 2, 1}) {
      dlg.tick();
      QCoreApplication::processEvents();
      QCOMPARE(dlg.okButton()->text(), QStringLiteral("OK (%1)").arg(expected));
      QVERIFY(dlg.isVisible());
    }
    dlg.tick();
    QVERIFY(!dlg.isNamedTimerActive(CInfoDlg::kTimer));
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished[0][0].toInt(), int(QDialog::Rejected));
    QVERIFY(!dlg.isVisible());
  }

  void progressFollows0x42B_data() {
    QTest::addColumn<int>("sent");
    QTest::addColumn<int>("shown");
    QTest::newRow("50") << 50 << 50;
    QTest::newRow("100") << 100 << 100;
    QTest::newRow("150") << 150 << 0;
    QTest::newRow("-1") << -1 << 0;
  }

  void progressFollows0x42B() {
    QFETCH(int, sent);
    QFETCH(int, shown);
    CProgressDlg dlg;
    dlg.progressBar()->setValue(30);
    dlg.send(msg::kProgress, uintptr_t(intptr_t(sent)), 0);
    QCOMPARE(dlg.progressBar()->value(), shown);
  }

  void progressDialogFromAWorker() {
    CProgressDlg dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("UlmoraTiskelProcessDlg"));
    QCOMPARE(dlg.progressBar()->geometry(), QRect(35, 47, 260, 9));
    QCOMPARE(dlg.progressBar()->maximum(), 100);
    QSignalSpy finished(&dlg, &QDialog::finished);
    // The apply worker posts progress and the close from its own thread.
    std::thread worker([&] {
      for (int p : {10, 40, 90}) postToWindow(CProgressDlg::kTitle, msg::kProgress, uintptr_t(p));
      postToWindow(CProgressDlg::kTitle, msg::kClose);
    });
    int result = dlg.exec();
    worker.join();
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(dlg.progressBar()->value(), 90);
  }

  void progressTextFollowsTheLanguageFlag() {
    setLanguageFlag(0);
    QCOMPARE(CProgressDlg::message(), QStringLiteral("Updating is in progress, please wait…"));
    setLanguageFlag(1);
    QCOMPARE(CProgressDlg::message(), QStringLiteral("更新进行中，请稍候..."));
    setLanguageFlag(0);
  }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
