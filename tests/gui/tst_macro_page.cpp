// The macro page's wiring on the offscreen platform: its controls call the
// model and show what it holds, with the macro library in memory.

#include <QtTest>

#include <memory>

#include "core/config/file_store.h"
#include "core/device/messages.h"
#include "core/localization/language_strings.h"
#include "core/macros/macro_record.h"
#include "gui/app/key_catch.h"
#include "gui/macros/macro_dlg.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/list_box_ex.h"
#include "gui/skin/menu_skin.h"
#include "gui/skin/skin_edit.h"
#include "gui/skin/skin_images.h"
#include "gui_test_support.h"

using namespace orlix;
using namespace orlix::gui;
using namespace orlix::macros;
using localization::StringKey;

namespace {

struct Rig {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  MemoryFileStore files;
  RecordingNotices notices;
  FakePacer filePacer, clock;
  std::unique_ptr<MacroLibrary> library;
  std::unique_ptr<CMacroDlg> page;

  Rig() {
    files.addFolder("/data");
    files.put("/data/Macro.cfg", std::vector<uint8_t>(kMacroFileSize, 0));
    library = std::make_unique<MacroLibrary>(*image, files, "/data/Macro.cfg", notices, TextSource{}, filePacer);
    MacroPageModel::setLastHookedEvent({});
  }
  CMacroDlg& make() {
    page = std::make_unique<CMacroDlg>(nullptr, *library, notices, clock);
    page->SelectEntry(kCustomCategory);
    page->show();
    return *page;
  }
  void store(uint32_t id, const EventList& events, const std::u16string& name) {
    QVERIFY(library->StoreMacro(buildTransferBlock(events, 1, id, name)));
  }
};

QPoint centre(QWidget* w) { return w->rect().center(); }

}  // namespace

class TestMacroPage : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    setProgramFolder(QStringLiteral(ORLIX_BIN_DIR));
    localization::languageStrings().set(StringKey::str_macro_start, u"Record");
    localization::languageStrings().set(StringKey::str_macro_end, u"Stop");
  }

  void recordButtonSwitchesCaptionButtonsAndHook() {
    Rig rig;
    CMacroDlg& page = rig.make();
    QCOMPARE(page.recordButton()->text(), QStringLiteral("Record"));
    QTest::mouseClick(page.newMacroButton(), Qt::LeftButton, {}, centre(page.newMacroButton()));
    QCOMPARE(page.macroList()->count(), 1);
    QVERIFY(page.macroList()->isEditing());  // the new macro is named in place
    page.macroList()->editor()->setText(QStringLiteral("Dash"));
    QTest::keyClick(page.macroList()->editor(), Qt::Key_Return);
    QTRY_COMPARE(page.model().macros()[0].name, std::u16string(u"Dash"));

    QTest::mouseClick(page.recordButton(), Qt::LeftButton, {}, centre(page.recordButton()));
    QCOMPARE(page.recordButton()->text(), QStringLiteral("Stop"));
    for (auto* b : {page.newMacroButton(), page.deleteMacroButton(), page.insertButton(), page.deleteEventButton(),
                    page.changeButton()})
      QVERIFY(!b->isEnabled());
    QVERIFY(page.recordButton()->isEnabled());
    QVERIFY(KeyCatch::instance().delivering());
    QCOMPARE(KeyCatch::instance().receiver(), static_cast<MessageTarget*>(&page));

    page.post(msg::kHookKey, 0x41, 0);
    QTRY_COMPARE(page.eventList()->count(), 1);
    rig.clock.advance(120);
    page.post(msg::kHookKey, 0x41, 0x80);
    QTRY_COMPARE(page.eventList()->count(), 3);
    QCOMPARE(page.eventList()->itemText(0), QStringLiteral("A"));
    QCOMPARE(page.eventList()->itemText(1), QStringLiteral("120  ms"));
    QCOMPARE(page.eventList()->itemData(0) >> 24, 3u);
    QCOMPARE(page.eventList()->itemData(1), 0x04000078u);
    QCOMPARE(page.eventList()->itemData(2), 0x02000041u);

    QTest::mouseClick(page.recordButton(), Qt::LeftButton, {}, centre(page.recordButton()));
    QCOMPARE(page.recordButton()->text(), QStringLiteral("Record"));
    QVERIFY(page.newMacroButton()->isEnabled());
    QVERIFY(!KeyCatch::instance().delivering());
    auto r = rig.library->FindMacroRecord(page.model().macros()[0].id);
    QVERIFY(r);
    QCOMPARE(recordName(rig.image->macroLibrary[size_t(*r)]), std::u16string(u"Dash"));
    QCOMPARE(eventCount(rig.image->macroLibrary[size_t(*r)]), size_t(3));
  }

  void mouseButtonsPostHookEventsOnlyWhileRecording() {
    Rig rig;
    CMacroDlg& page = rig.make();
    QTest::mouseClick(page.newMacroButton(), Qt::LeftButton, {}, centre(page.newMacroButton()));
    QTest::keyClick(page.macroList()->editor(), Qt::Key_Return);
    CGDIBitmapBtn* left = page.mouseButton(0);
    QTest::mouseClick(left, Qt::LeftButton, {}, centre(left));
    test::deliverPosted();
    QCOMPARE(page.eventList()->count(), 0);  // idle: nothing posted

    QTest::mouseClick(page.recordButton(), Qt::LeftButton, {}, centre(page.recordButton()));
    QTest::mousePress(left, Qt::LeftButton, {}, centre(left));
    QTest::mouseRelease(left, Qt::LeftButton, {}, centre(left));
    CGDIBitmapBtn* right = page.mouseButton(2);
    QTest::mouseClick(right, Qt::LeftButton, {}, centre(right));
    page.model().setDelayToggle(true);
    QTRY_COMPARE(page.eventList()->count(), 4);
    QCOMPARE(page.eventList()->itemText(0), QStringLiteral("Left Button"));
    QCOMPARE(page.eventList()->itemData(0), 0x03000001u);
    QCOMPARE(page.eventList()->itemData(1), 0x02000001u);
    QCOMPARE(page.eventList()->itemData(2), 0x03000002u);
    QCOMPARE(page.eventList()->itemText(3), QStringLiteral("Right Button"));
  }

  void gameMenuAnswerListsThatCategory() {
    Rig rig;
    rig.store(makeMacroId(8, 1), {{kItemPress, 0x41}, {kItemRelease, 0x41}}, u"tank one");
    rig.store(makeMacroId(8, 2), {{kItemPress, 0x42}, {kItemDelay, 30}, {kItemRelease, 0x42}}, u"tank two");
    rig.store(makeMacroId(21, 3), {{kItemPress, 0x43}, {kItemRelease, 0x43}}, u"own");
    CMacroDlg& page = rig.make();
    QCOMPARE(page.macroList()->count(), 1);
    QCOMPARE(page.gameButton()->text(), QStringLiteral("Customisze"));

    QTest::mouseClick(page.gameButton(), Qt::LeftButton, {}, centre(page.gameButton()));
    QVERIFY(page.HasPopupMenu());
    QVERIFY(page.model().gameMenuOpen());
    page.post(msg::kMenuChoice, 0, 8);
    QTRY_VERIFY(!page.HasPopupMenu());
    QCOMPARE(page.gameButton()->text(), QStringLiteral("World of Tanks"));
    QCOMPARE(page.macroList()->count(), 2);
    QCOMPARE(page.macroList()->itemText(1), QStringLiteral("tank two"));
    QCOMPARE(page.macroList()->currentRow(), 1);
    QCOMPARE(page.eventList()->count(), 3);
    QCOMPARE(page.eventList()->itemText(1), QStringLiteral("30  ms"));

    // A language switch keeps the chosen game's caption.
    page.RefreshLanguage();
    QCOMPARE(page.gameButton()->text(), QStringLiteral("World of Tanks"));
  }

  void editingPanelInsertsTheCapturedKey() {
    Rig rig;
    uint32_t id = makeMacroId(21, 5);
    rig.store(id, {{kItemPress, 0x41}, {kItemRelease, 0x41}}, u"m");
    CMacroDlg& page = rig.make();
    QVERIFY(!page.keyOption()->isVisible());
    page.eventList()->setCurrentRow(1);
    QTest::mouseClick(page.insertButton(), Qt::LeftButton, {}, centre(page.insertButton()));
    QVERIFY(page.keyOption()->isVisible() && page.delayOption()->isVisible());
    QVERIFY(!page.keyBox()->isVisible() && !page.delayBox()->isVisible());
    QTest::mouseClick(page.keyOption(), Qt::LeftButton, {}, centre(page.keyOption()));
    QVERIFY(page.keyBox()->isVisible() && page.keyOk()->isVisible());
    QVERIFY(KeyCatch::instance().delivering());
    page.post(msg::kHookKey, 0x20, 0);
    QTRY_COMPARE(page.keyBox()->text(), QStringLiteral("Space"));
    QTest::mouseClick(page.keyOk(), Qt::LeftButton, {}, centre(page.keyOk()));
    QVERIFY(!page.keyOption()->isVisible() && !page.keyBox()->isVisible());
    QVERIFY(!KeyCatch::instance().delivering());
    QCOMPARE(page.eventList()->count(), 4);
    QCOMPARE(page.eventList()->itemData(1), 0x03000020u);
    QCOMPARE(page.eventList()->itemData(2), 0x02000020u);

    // The delay option takes digits only, at most four.
    page.eventList()->setCurrentRow(1);
    QTest::mouseClick(page.insertButton(), Qt::LeftButton, {}, centre(page.insertButton()));
    QTest::mouseClick(page.delayOption(), Qt::LeftButton, {}, centre(page.delayOption()));
    QVERIFY(page.delayBox()->isVisible() && page.delayBox()->text().isEmpty());
    QTest::keyClicks(page.delayBox(), QStringLiteral("4x56789"));
    QCOMPARE(page.delayBox()->text(), QStringLiteral("4567"));
    QTest::mouseClick(page.delayOk(), Qt::LeftButton, {}, centre(page.delayOk()));
    QCOMPARE(page.eventList()->itemText(1), QStringLiteral("4567  ms"));
    auto r = rig.library->FindMacroRecord(id);
    QCOMPARE(eventAt(rig.image->macroLibrary[size_t(*r)], 1), 0xA00011D7u);
  }

  void loopCountBoxAndOptionsStore() {
    Rig rig;
    uint32_t id = makeMacroId(21, 6);
    rig.store(id, {{kItemPress, 0x41}, {kItemRelease, 0x41}}, u"m");
    CMacroDlg& page = rig.make();
    QCOMPARE(page.loopCountBox()->text(), QStringLiteral("1"));
    QCOMPARE(page.loopCountBox()->palette().color(QPalette::Text), QColor(21, 140, 185));
    QCOMPARE(page.loopCountBox()->palette().color(QPalette::Base), QColor(15, 15, 15));
    page.loopCountBox()->selectAll();
    QTest::keyClicks(page.loopCountBox(), QStringLiteral("25"));
    auto loop = [&] { return recordLoop(rig.image->macroLibrary[size_t(*rig.library->FindMacroRecord(id))]); };
    QCOMPARE(loop(), 25u);
    QTest::mouseClick(page.loopOption(2), Qt::LeftButton, {}, centre(page.loopOption(2)));
    QVERIFY(page.loopOption(2)->isChecked() && !page.loopOption(0)->isChecked());
    QCOMPARE(loop(), 0xFFFFu);
  }

  void hintsAndClosingStopTheHook() {
    Rig rig;
    test::Recorder mainWindow;
    registerTitle(&mainWindow, QString::fromUtf8(kMainWindowTitle));
    CMacroDlg& page = rig.make();
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(page.recordButton(), &enter);
    QCoreApplication::sendEvent(page.mouseButton(2), &enter);
    QTRY_COMPARE(mainWindow.of(msg::kHint).size(), size_t(2));
    QCOMPARE(mainWindow.of(msg::kHint)[0].lParam, intptr_t(38));
    QCOMPARE(mainWindow.of(msg::kHint)[1].lParam, intptr_t(45));
    unregisterTitle(&mainWindow);

    QTest::mouseClick(page.newMacroButton(), Qt::LeftButton, {}, centre(page.newMacroButton()));
    QTest::keyClick(page.macroList()->editor(), Qt::Key_Return);
    QTest::mouseClick(page.recordButton(), Qt::LeftButton, {}, centre(page.recordButton()));
    QVERIFY(KeyCatch::instance().delivering());
    rig.page.reset();
    QVERIFY(!KeyCatch::instance().delivering());
    QVERIFY(KeyCatch::instance().receiver() == nullptr);
  }
};

QTEST_MAIN(TestMacroPage)
#include "tst_macro_page.moc"
