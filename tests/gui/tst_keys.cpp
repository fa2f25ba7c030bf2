// The keyboard page, the key setting panel and its pages, and the keyboard
// overlay on the offscreen platform: that the windows drive their models
// (core/keys) and the keyboard hook as the models say.

#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <memory>

#include "core/config/file_store.h"
#include "core/device/messages.h"
#include "core/device/pacer.h"
#include "core/keys/key_codes.h"
#include "core/macros/macro_record.h"
#include "core/skin/skin_files.h"
#include "core/util/bytes.h"
#include "gui/app/key_catch.h"
#include "gui/keys/dlg_not_see.h"
#include "gui/keys/main_set_dlg.h"
#include "gui/keys/panel_pages.h"
#include "gui/keys/setting_dlg.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/list_box_ex.h"
#include "gui/skin/skin_images.h"
#include "gui_test_support.h"

using namespace orlix;
using namespace orlix::gui;
using orlix::gui::test::Recorder;
using Page = keys::KeySettingModel::Page;

namespace {

constexpr int kKeyA = 8, kRecordA = 62;

// The configuration and macro library the windows work on, in memory.
struct Rig {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  MemoryFileStore files;
  RecordingNotices notices;
  FakePacer pacer;
  macros::MacroLibrary library{*image, files, "/data/Macro.cfg", notices, TextSource{}, pacer};
  keys::RecordingKeyInjector injector;
  std::unique_ptr<keys::KeyboardLayout> layout;

  Rig() {
    files.addFolder("/data");
    files.put("/data/Macro.cfg", std::vector<uint8_t>(macros::kMacroFileSize, 0));
    initialiseDefaults(*image);
    image->keyTable = image->defaultKeyTable;
  }
  void addMacro(int record, uint32_t id, std::u16string name) {
    auto& r = image->macroLibrary[size_t(record)];
    putU32(r, macros::kRecSize, 108);
    putU32(r, macros::kRecId, id);
    macros::setRecordName(r, name);
  }
  KeyboardPageServices services() { return {image.get(), &library, &notices, &injector, nullptr}; }
};

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

// Posts a hook key event as the hook does and lets it arrive.
void hookKey(QWidget* target, unsigned vk, uint32_t flags) {
  targetOf(target)->post(msg::kHookKey, vk, flags);
  QCoreApplication::processEvents();
}

}  // namespace

class TestKeys : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    setProgramFolder(QStringLiteral(ORLIX_BIN_DIR));
    installhook();
  }
  void cleanup() {
    SetHookStatus(0, 0);
    SetReciveWindow(nullptr);
  }

  void keyButtonsFollowTheKeyTable() {
    Rig rig;
    rig.image->keyTable[18] = keys::plainKey(0x05);  // a left column key given B
    CMainSetDlg page(nullptr, rig.services());
    page.show();
    QCOMPARE(page.keyButton(kRecordA)->geometry(), QRect(185, 203, 30, 29));
    QCOMPARE(page.keyButton(kRecordA)->property("keyIndex").toInt(), kKeyA);
    QVERIFY(page.keyButton(16)->isChecked());  // record 16 is key index 18
    QCOMPARE(page.keyButton(16)->toolTip(), QStringLiteral("B"));
    QVERIFY(!page.keyButton(kRecordA)->isChecked());
    QCOMPARE(page.keyButton(kRecordA)->toolTip(), QString());
    // Restore defaults: every button unchecked with an empty tooltip.
    rig.image->keyTable = rig.image->defaultKeyTable;
    page.RefreshAllKey();
    for (int n = 0; n < keys::kKeyPictureCount; ++n) {
      QVERIFY(!page.keyButton(n)->isChecked());
      QCOMPARE(page.keyButton(n)->toolTip(), QString());
    }
  }

  // A click on key A opens the panel for key index 8; Ctrl and Shift pressed,
  // then A, then OK store Shift + Ctrl + A.
  void aKeyClickOpensThePanelAndStoresItsResult() {
    Rig rig;
    CMainSetDlg page(nullptr, rig.services());
    page.show();
    int seenKey = -1;
    bool delivering = false;
    QTimer::singleShot(0, [&] {
      auto* panel = qobject_cast<CSettingDlg*>(QApplication::activeModalWidget());
      QVERIFY(panel);
      seenKey = panel->model().keyIndex();
      delivering = KeyCatch::instance().delivering() &&
                   KeyCatch::instance().receiver() == targetOf(panel->comboPage());
      hookKey(panel->comboPage(), 0xA2, 0);
      hookKey(panel->comboPage(), 0xA0, 0);
      hookKey(panel->comboPage(), 0x41, 0);
      click(panel->okButton());
    });
    click(page.keyButton(kRecordA));
    QCOMPARE(seenKey, kKeyA);
    QVERIFY(delivering);
    QVERIFY(!KeyCatch::instance().delivering());
    QCOMPARE(rig.image->keyTable[kKeyA], 0x04030002u);
    QVERIFY(page.keyButton(kRecordA)->isChecked());
    QCOMPARE(page.keyButton(kRecordA)->toolTip(), QStringLiteral("Shift + Ctrl + A"));
  }

  void closingThePanelChangesNothing() {
    Rig rig;
    CMainSetDlg page(nullptr, rig.services());
    page.show();
    QTimer::singleShot(0, [&] {
      auto* panel = qobject_cast<CSettingDlg*>(QApplication::activeModalWidget());
      QVERIFY(panel);
      hookKey(panel->comboPage(), 0x42, 0);
      click(panel->closeButton());
    });
    click(page.keyButton(kRecordA));
    QCOMPARE(rig.image->keyTable[kKeyA], rig.image->defaultKeyTable[kKeyA]);
    QVERIFY(!page.keyButton(kRecordA)->isChecked());
  }

  void theFiftyFirstMacroIsRefusedWithTheMessage() {
    Rig rig;
    for (int m = 0; m < 51; ++m) rig.addMacro(m, macros::makeMacroId(21, uint32_t(m + 1)), u"m");
    const auto& map = keys::keyPictureMap();
    for (int m = 0; m < 50; ++m) {
      int k = map[size_t(m)].keyIndex;
      QCOMPARE(int(keys::storeSettingResult(*rig.image, k, {macros::makeMacroId(21, uint32_t(m + 1)), 6, u"m"},
                                            rig.notices)),
               int(keys::StoreOutcome::Stored));
    }
    CMainSetDlg page(nullptr, rig.services());
    page.show();
    QTimer::singleShot(0, [&] {
      auto* panel = qobject_cast<CSettingDlg*>(QApplication::activeModalWidget());
      QVERIFY(panel);
      click(panel->tabButton(Page::kMacroPage));  // the 51st macro, last of category 21, is selected
      click(panel->okButton());
    });
    click(page.keyButton(kRecordA));
    QCOMPARE(rig.image->keyTable[kKeyA], rig.image->defaultKeyTable[kKeyA]);
    QCOMPARE(rig.notices.entries.size(), size_t(1));
    QVERIFY(rig.notices.entries[0].text == keys::kMacroLimitText);
  }

  void panelSwallowsEnterEscAndSpace() {
    Rig rig;
    CSettingDlg panel(nullptr, *rig.image, rig.library, rig.injector, *makeLayout(rig));
    panel.setKeyIndex(kKeyA);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    for (Qt::Key k : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
      QTest::keyClick(&panel, k);
      QTest::keyClick(panel.okButton(), k);
      QVERIFY2(panel.isVisible(), QTest::toString(int(k)));
    }
    QCOMPARE(panel.windowTitle(), QStringLiteral("UlmoraOrlixRGBSetting"));
    QCOMPARE(panel.size(), QSize(414, 300));
  }

  void panelCentresOnItsOwnerAndIsDraggedByAnyFreeSpot() {
    Rig rig;
    QWidget owner;
    owner.setGeometry(100, 80, 960, 642);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    CSettingDlg panel(&owner, *rig.image, rig.library, rig.injector, *makeLayout(rig));
    panel.initialise();
    QRect o = owner.frameGeometry();
    QCOMPARE(panel.pos(), QPoint(o.left() + (o.width() - 414) / 2, o.top() + (o.height() - 300) / 2));
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QPoint start = panel.pos();
    QPoint grip(200, 250);  // between the disable label and Restore
    QTest::mousePress(&panel, Qt::LeftButton, {}, grip);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip), panel.mapToGlobal(QPointF(grip + QPoint(30, 20))),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(&panel, &move);
    QTest::mouseRelease(&panel, Qt::LeftButton, {}, grip);
    QCOMPARE(panel.pos(), start + QPoint(30, 20));
  }

  // A cut skin shows no key colour on any desktop; the panel stands over the
  // window of the page that opens it.
  void panelIsShapedByItsSkinOverItsOwner() {
    test::CutCornerSkins skins(QStringLiteral(ORLIX_BIN_DIR),
                               {QString::fromLatin1(skin::kSettingPanel.normal), QString::fromLatin1(skin::kSettingPanel.over),
                                QString::fromLatin1(skin::kSettingPanel.down)});
    setProgramFolder(skins.folder());
    auto restore = qScopeGuard([] { setProgramFolder(QStringLiteral(ORLIX_BIN_DIR)); });
    Rig rig;
    QWidget owner;
    auto* page = new QWidget(&owner);
    owner.resize(960, 642);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    CSettingDlg panel(page, *rig.image, rig.library, rig.injector, *makeLayout(rig));
    panel.setKeyIndex(kKeyA);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    const QString fault = test::shapedFault(panel, &owner);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
  }

  // The hook posts to the combination page only while its tab is selected.
  void captureOnlyOnTheCombinationTab() {
    Rig rig;
    CSettingDlg panel(nullptr, *rig.image, rig.library, rig.injector, *makeLayout(rig));
    panel.setKeyIndex(kKeyA);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    auto press = [&](Qt::Key key) {
      QTest::keyClick(panel.windowHandle(), key);
      QCoreApplication::processEvents();
    };
    press(Qt::Key_B);
    QCOMPARE(panel.model().combo().capturedKey(), 0x42u);
    click(panel.tabButton(Page::kBasePage));
    QVERIFY(!KeyCatch::instance().delivering());
    QVERIFY(panel.basePage()->isVisible() && !panel.comboPage()->isVisible());
    press(Qt::Key_C);
    QCOMPARE(panel.model().combo().capturedKey(), 0x42u);
    click(panel.disableBox());  // tab 1: the combination page without capture
    QVERIFY(!panel.comboPage()->isVisible() && !panel.basePage()->isVisible());
    click(panel.disableBox());
    QVERIFY(panel.comboPage()->isVisible());
    QVERIFY(panel.tabButton(Page::kComboPage)->isChecked());
    QVERIFY(!KeyCatch::instance().delivering());
    press(Qt::Key_D);
    QCOMPARE(panel.model().combo().capturedKey(), 0x42u);
    click(panel.tabButton(Page::kComboPage));
    QVERIFY(KeyCatch::instance().delivering());
    press(Qt::Key_E);
    QCOMPARE(panel.model().combo().capturedKey(), 0x45u);
  }

  void aDestroyedPanelIsNoLongerTheReceiver() {
    Rig rig;
    {
      CSettingDlg panel(nullptr, *rig.image, rig.library, rig.injector, *makeLayout(rig));
      panel.initialise();
      QVERIFY(KeyCatch::instance().receiver() == targetOf(panel.comboPage()));
    }
    QVERIFY(KeyCatch::instance().receiver() == nullptr);
    // The hook left on by someone else still never reaches the dead page.
    Recorder other;
    SetReciveWindow(&other);
    SetHookStatus(1, 0);
    {
      auto* page = new Recorder;
      SetReciveWindow(page);
      delete page;
    }
    QVERIFY(KeyCatch::instance().receiver() == nullptr);
  }

  void macroSetTabListsCategory21AndRelistsOnRepaint() {
    Rig rig;
    rig.addMacro(3, macros::makeMacroId(21, 1), u"Rush combo");
    rig.addMacro(4, macros::makeMacroId(21, 2), u"Quick heal");
    CSettingDlg panel(nullptr, *rig.image, rig.library, rig.injector, *makeLayout(rig));
    panel.setKeyIndex(kKeyA);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    click(panel.tabButton(Page::kMacroPage));
    // The tab shows itself (its paints list its game) before the user picks:
    // every paint that showing it asked for is done first.
    CDlgMacroSet* tab = panel.macroSetTab();
    QVERIFY(tab->isVisible());
    test::deliverPosted();
    QCOMPARE(tab->gameList()->count(), 21);
    QCOMPARE(tab->gameList()->currentRow(), 20);
    QCOMPARE(tab->macroList()->count(), 2);
    // The user picks the first macro: the list redrawing itself keeps the pick.
    QTest::mouseClick(tab->macroList()->viewport(), Qt::LeftButton, {},
                      tab->macroList()->visualItemRect(tab->macroList()->item(0)).center());
    QCoreApplication::processEvents();
    tab->macroList()->viewport()->repaint();
    QCOMPARE(panel.model().macroSet().selectedMacro(), 0);
    // A macro recorded meanwhile shows up when the tab repaints, selected.
    rig.addMacro(9, macros::makeMacroId(21, 3), u"Recorded later");
    tab->repaint();
    QCOMPARE(tab->macroList()->count(), 3);
    QCOMPARE(tab->macroList()->currentRow(), 2);
    click(panel.okButton());
    QCOMPARE(panel.result().code, macros::makeMacroId(21, 3));
    QVERIFY(panel.result().text == u"Recorded later");
  }

  void overlayShowsThePageThroughItsTransparentPixels() {
    QWidget host;
    host.resize(925, 457);
    auto* below = new QWidget(&host);
    below->setGeometry(host.rect());
    below->setAutoFillBackground(true);
    QPalette pal;
    pal.setColor(QPalette::Window, QColor(200, 10, 30));
    below->setPalette(pal);
    auto* overlay = new CDlgNotSee(&host);
    overlay->setGeometry(host.rect());
    QCOMPARE(overlay->windowTitle(), QStringLiteral("Keyboard"));
    QVERIFY(overlay->testAttribute(Qt::WA_TransparentForMouseEvents));
    QImage picture = loadImageFile(skinPath(skin::kKeyboardOverlay));
    QVERIFY(!picture.isNull());
    QImage shown = host.grab().toImage();
    int clear = 0, opaque = 0;
    for (int y = 0; y < picture.height(); y += 7)
      for (int x = 0; x < picture.width(); x += 7) {
        int a = qAlpha(picture.pixel(x, y));
        if (a == 0) {
          QCOMPARE(QColor(shown.pixel(x, y)), QColor(200, 10, 30));
          ++clear;
        } else if (a == 255) {
          QCOMPARE(shown.pixel(x, y) | 0xFF000000u, picture.pixel(x, y) | 0xFF000000u);
          ++opaque;
        }
      }
    QVERIFY(clear > 100 && opaque > 100);
  }

 private:
  keys::KeyboardLayout* makeLayout(Rig& rig) {
    struct Letters : keys::KeyboardLayout {
      char32_t characterOf(uint8_t vk) override { return vk >= 'A' && vk <= 'Z' ? char32_t(vk - 'A' + 'a') : 0; }
    };
    rig.layout = std::make_unique<Letters>();
    return rig.layout.get();
  }
};

QTEST_MAIN(TestKeys)
#include "tst_keys.moc"
