// The main window on the offscreen platform: its initialisation, first show,
// pages, buttons, hint line, tray messages, language menu, support page,
// apply and shutdown, with the keyboard, files and registry in memory.

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

#include "core/app/hints.h"
#include "core/config/file_store.h"
#include "core/device/device_commands.h"
#include "core/device/messages.h"
#include "core/device/virtual_keyboard.h"
#include "core/keys/key_codes.h"
#include "core/localization/language_strings.h"
#include "core/util/bytes.h"
#include "gui/app/key_catch.h"
#include "gui/app/orlix_config_dlg.h"
#include "gui/keys/dlg_not_see.h"
#include "gui/keys/main_set_dlg.h"
#include "gui/lighting/dlg_led_main.h"
#include "gui/macros/macro_dlg.h"
#include "gui/qt_text.h"
#include "gui/app/support_page.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/irr_button.h"
#include "gui/skin/skin_images.h"

using namespace orlix;
using namespace orlix::gui;
using localization::StringKey;

namespace {

// Everything the main window works with, in memory.
struct Rig {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  VirtualKeyboard keyboard;
  VirtualDriverEndpoint endpoint{keyboard};
  DriverChannel channel{endpoint};
  FakePacer pacer;
  MemoryFileStore files;
  MemoryRegistry registry;
  RecordingNotices notices;
  RecordingHostActions host;
  std::unique_ptr<Profiles> profiles;
  std::unique_ptr<macros::MacroLibrary> macroLibrary;
  std::unique_ptr<COrlixConfigDlg> window;
  bool present = true;
  int updaterStarts = 0;
  int loopEnds = 0;
  uint64_t upTime = 600000;
  bool forceShow = false;
  QStringList desktopNotes;  // what the window told the desktop's notification service

  Rig() {
    files.addFolder("/data");
    files.addFolder("/data/Profile");
    files.addFolder("/export");
    files.put("/data/Macro.cfg", std::vector<uint8_t>(macros::kMacroFileSize, 0));
    initialiseDefaults(*image);
    profiles = std::make_unique<Profiles>(*image, files, registry, notices, "/data");
    macroLibrary =
        std::make_unique<macros::MacroLibrary>(*image, files, "/data/Macro.cfg", notices, TextSource{}, pacer);
  }
  COrlixConfigDlg& make() {
    ProgramServices s{*image, channel, pacer, *profiles, *macroLibrary, host, notices, registry, ORLIX_BIN_DIR};
    s.keyboardPresent = [this] { return present; };
    s.startUpdater = [this] { ++updaterStarts; };
    MainWindowOptions o;
    o.forceShow = forceShow;
    o.upTimeMs = [this] { return upTime; };
    o.endLoop = [this] { ++loopEnds; };
    o.notify = [this](const QString& summary, const QString& body) { desktopNotes << summary + '\n' + body; };
    window = std::make_unique<COrlixConfigDlg>(std::move(s), std::move(o));
    window->initialise();
    return *window;
  }
  ~Rig() { window.reset(); }
};

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { setProgramFolder(QStringLiteral(ORLIX_BIN_DIR)); }

  void initialisesPagesProfileAndLanguage() {
    Rig rig;
    COrlixConfigDlg& w = rig.make();
    QCOMPARE(w.size(), QSize(960, 642));
    QVERIFY(windowExists(QString::fromUtf8(kMainWindowTitle)));
    QCOMPARE(w.currentPage(), int(COrlixConfigDlg::kKeyboardPage));
    QVERIFY(w.tab(0)->isChecked());
    QVERIFY(w.profileButton(0)->isChecked());
    QVERIFY(!w.profileButton(1)->isChecked());
    QCOMPARE(w.languagePicture()->property("languageId").toInt(), 2);  // languagetype.ini says 0: English
    QVERIFY(!w.languagePicture()->pixmap().isNull());
    QCOMPARE(w.macroPage()->selectedEntry(), 21);
    QVERIFY(w.isNamedTimerActive(app::kFirstShowTimerId));
    QCOMPARE(w.namedTimerInterval(app::kFirstShowTimerId), 500);
    QCOMPARE(rig.updaterStarts, 1);
    QVERIFY(rig.channel.isOpen());
  }

  void firstShow_data() {
    QTest::addColumn<qulonglong>("upTime");
    QTest::addColumn<bool>("forceShow");
    QTest::addColumn<bool>("shown");
    QTest::newRow("started with the session") << 120000ull << false << false;
    QTest::newRow("five minutes exactly") << 300000ull << false << false;
    QTest::newRow("started later") << 300001ull << false << true;
    QTest::newRow("--show") << 1000ull << true << true;
  }
  void firstShow() {
    QFETCH(qulonglong, upTime);
    QFETCH(bool, forceShow);
    QFETCH(bool, shown);
    Rig rig;
    rig.upTime = upTime;
    rig.forceShow = forceShow;
    COrlixConfigDlg& w = rig.make();
    QVERIFY(!w.isVisible());
    QTRY_VERIFY(!w.isNamedTimerActive(app::kFirstShowTimerId));
    QCOMPARE(w.isVisible(), shown);
  }

  void shapedWindowShowsNoKeyColour() {
    // Shaped twice over: the mask for X11 without a compositor, transparent
    // key-coloured pixels for Wayland, where a mask only limits input.
    Rig rig;
    rig.forceShow = true;
    COrlixConfigDlg& w = rig.make();
    w.show();
    QVERIFY(w.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(!w.mask().contains(QPoint(0, 0)));
    QImage shot = w.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(qAlpha(shot.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(shot.pixel(w.width() - 1, w.height() - 1)), 0);
    int shown = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) {
        QRgb p = shot.pixel(x, y);
        if (qAlpha(p) == 0) continue;
        ++shown;
        // Inside the shape everything is opaque skin; the buttons cut from the
        // frame (close, in the rounded corner) show no key colour either.
        QVERIFY2(qAlpha(p) == 255 && (p & 0xFFFFFF) != (kKeyColour & 0xFFFFFF),
                 qPrintable(QStringLiteral("%1,%2: %3").arg(x).arg(y).arg(p, 8, 16)));
      }
    int area = 0;
    for (const QRect& r : w.mask()) area += r.width() * r.height();
    QCOMPARE(shown, area);
  }

  void tabsShowTheirPagesAndTheOverlayOnlyWithLighting() {
    Rig rig;
    rig.forceShow = true;
    COrlixConfigDlg& w = rig.make();
    w.show();
    QTest::mouseClick(w.tab(1), Qt::LeftButton, {}, w.tab(1)->regionCentre() - w.tab(1)->pos());
    QCOMPARE(w.currentPage(), int(COrlixConfigDlg::kLightingPage));
    QVERIFY(w.lightingPage()->isVisible());
    QVERIFY(!w.keyboardPage()->isVisible());
    QVERIFY(w.overlay()->isVisible());
    QVERIFY(w.tab(1)->isChecked() && !w.tab(0)->isChecked());
    w.showPage(COrlixConfigDlg::kSupportPage);
    QVERIFY(w.supportPage()->isVisible());
    QVERIFY(!w.overlay()->isVisible());
    w.showPage(COrlixConfigDlg::kMacroPage);
    QVERIFY(w.macroPage()->isVisible() && !w.supportPage()->isVisible());

    // Closing with the lighting page hides the overlay; the tray brings both back.
    w.showPage(COrlixConfigDlg::kLightingPage);
    w.onClose();
    QVERIFY(!w.isVisible());
    QVERIFY(!w.overlay()->isVisible());
    w.post(msg::kTrayNotify, 0, app::kTrayDoubleClick);
    QTRY_VERIFY(w.isVisible());
    QVERIFY(w.overlay()->isVisible());
  }

  void closeAndMinimiseStopKeyDelivery() {
    Rig rig;
    rig.forceShow = true;
    COrlixConfigDlg& w = rig.make();
    w.show();
    KeyCatch::instance().SetHookStatus(1, 0);
    w.onMinimize();
    QVERIFY(!KeyCatch::instance().delivering());
    KeyCatch::instance().SetHookStatus(1, 0);
    w.onClose();
    QVERIFY(!KeyCatch::instance().delivering());
    QVERIFY(!w.isVisible());
  }

  void firstCloseWithoutTraySaysItRunsOn() {
    // No tray here (offscreen): the first close says once that the program
    // runs on and how to come back; later closes and minimising say nothing.
    Rig rig;
    rig.forceShow = true;
    COrlixConfigDlg& w = rig.make();
    w.show();
    w.onMinimize();
    QVERIFY(rig.desktopNotes.isEmpty());
    w.showFromTray();
    w.onClose();
    QCOMPARE(rig.desktopNotes.size(), 1);
    QVERIFY(rig.desktopNotes[0].contains(QStringLiteral("background")));
    QVERIFY(rig.desktopNotes[0].contains(QStringLiteral("Start Orlix again")));
    w.showFromTray();
    w.onClose();
    QCOMPARE(rig.desktopNotes.size(), 1);
    QVERIFY(!w.core().closed());
    QCOMPARE(rig.loopEnds, 0);
  }

  void hoveringAProfileButtonShowsItsHint() {
    Rig rig;
    rig.forceShow = true;
    COrlixConfigDlg& w = rig.make();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    localization::languageStrings().set(StringKey::str_profile3, u"Third profile");
    QPoint over = w.profileButton(2)->regionCentre();
    QTest::mouseMove(&w, over);
    QTRY_COMPARE(w.statusText(), QStringLiteral("Third profile"));
    QTest::mouseMove(&w, QPoint(500, 40));
    QTRY_COMPARE(w.statusText(), QString());
    // A hint number without a text, and 99, leave the line empty.
    w.send(msg::kHint, 0, 2);
    w.send(msg::kHint, 0, app::kClearHint);
    QCOMPARE(w.statusText(), QString());
  }

  // Only the keyboard page is built with the window; the others follow its
  // first paint, as the initialisation left them (the macro page on entry 21).
  void otherPagesFollowTheFirstPaint() {
    Rig rig;
    rig.forceShow = true;
    COrlixConfigDlg& w = rig.make();
    // The pages have no meta-objects of their own: found by their C++ types.
    auto page = [&w]<class T>(T*) -> T* {
      for (QObject* o : w.children())
        if (auto* p = dynamic_cast<T*>(o)) return p;
      return nullptr;
    };
    QVERIFY(page((CMainSetDlg*)nullptr));
    QVERIFY(!page((CDlgLedMain*)nullptr) && !page((CMacroDlg*)nullptr) && !page((CDlgSupport*)nullptr));
    QTRY_VERIFY(w.isVisible());
    QTRY_VERIFY(page((CMacroDlg*)nullptr));
    QVERIFY(page((CDlgLedMain*)nullptr) && page((CDlgSupport*)nullptr) && page((CDlgNotSee*)nullptr));
    QCOMPARE(page((CMacroDlg*)nullptr)->selectedEntry(), 21);
    QVERIFY(!page((CMacroDlg*)nullptr)->isVisible());
  }

  void profileButtonsSwitchProfiles() {
    Rig rig;
    COrlixConfigDlg& w = rig.make();
    QCOMPARE(w.lightingPage()->refreshCount(), 0);  // built here, before the switch
    int refreshes = w.keyboardPage()->refreshCount();
    w.onProfile(0);  // the current one: nothing
    QCOMPARE(w.keyboardPage()->refreshCount(), refreshes);
    w.onProfile(3);
    QCOMPARE(rig.profiles->current(), 3);
    QVERIFY(w.profileButton(3)->isChecked() && !w.profileButton(0)->isChecked());
    QCOMPARE(w.keyboardPage()->refreshCount(), refreshes + 1);
    QCOMPARE(w.lightingPage()->refreshCount(), 1);
    QVERIFY(rig.files.find("/data/Profile/Profile4.cfg"));
  }

  void applyThroughTheButtonWritesTheKeyboard() {
    Rig rig;
    rig.forceShow = true;
    COrlixConfigDlg& w = rig.make();
    w.show();
    QVERIFY(w.lightingPage());
    rig.image->keyTable[20] = keys::kDisabledCode;
    QTest::mouseClick(w.applyButton(), Qt::LeftButton, {}, w.applyButton()->regionCentre() - w.applyButton()->pos());
    QTRY_COMPARE(getU32(rig.keyboard.memory(), device::kKeyTableAddress + 4 * 20), keys::kDisabledCode);
    QTRY_VERIFY(!w.core().applying());
    QTRY_VERIFY(rig.registry.read(kProfileRegistryKey, kProfileRegistryValue).has_value());
    const auto* saved = rig.files.find("/data/Profile/Profile1.cfg");
    QVERIFY(saved);
    QCOMPARE(getU32(*saved, 4 * 20), keys::kDisabledCode);
    QVERIFY(w.lightingPage()->refreshCount() >= 1);  // after the LED group send
  }

  void keyEventsReachTheRuntime() {
    Rig rig;
    COrlixConfigDlg& w = rig.make();
    rig.image->keyTable[9] = keys::kTypeHostFunction;
    rig.image->setActionText(9, u"/usr/share/sounds/beep.wav");
    w.post(msg::kKeyEvent, 0xC000 | (3 << 8) | 9, 0);
    QTRY_COMPARE(rig.host.calls.size(), size_t(1));
    QCOMPARE(rig.host.calls[0].what, std::string("sound"));
  }

  void languageMenuSwitchesTheLanguage() {
    Rig rig;
    rig.forceShow = true;
    COrlixConfigDlg& w = rig.make();
    w.show();
    std::u16string english = localization::str(StringKey::str_profile1);
    // Without an open menu the message changes nothing.
    w.send(msg::kLanguageChoice, 0, 3);
    QCOMPARE(localization::str(StringKey::str_profile1), english);
    QVERIFY(!rig.registry.read(kLanguageRegistryKey, kLanguageRegistryValue));

    w.onLanguage();
    QVERIFY(w.languageMenu());
    QVERIFY(w.languageMenu()->isVisible());
    QPoint button = w.languageButton()->mapToGlobal(QPoint(0, w.languageButton()->height()));
    QCOMPARE(w.languageMenu()->pos(), QPoint(button.x() - 4, button.y() - 287));
    QCOMPARE(int(w.languageMenu()->records().size()), 12);
    w.send(msg::kLanguageChoice, 0, 3);  // French
    QVERIFY(!w.languageMenu());
    QCOMPARE(w.languagePicture()->property("languageId").toInt(), 3);
    QCOMPARE(localization::languageFlag(), 0);
    QVERIFY(localization::str(StringKey::str_profile1) != english);
    QCOMPARE(*rig.registry.read(kLanguageRegistryKey, kLanguageRegistryValue), (std::vector<uint8_t>{3, 0, 0, 0}));
    QCOMPARE(w.macroPage()->recordButton()->text(), toQString(localization::str(StringKey::str_macro_start)));

    // Back to English for the other tests.
    w.onLanguage();
    w.send(msg::kLanguageChoice, 0, 2);
    QCOMPARE(localization::str(StringKey::str_profile1), english);
  }

  void supportPageRestoreDefaults() {
    Rig rig;
    COrlixConfigDlg& w = rig.make();
    rig.image->keyTable[5] = keys::kDisabledCode;
    rig.notices.answer = NoticeResult::Cancel;
    w.supportPage()->onRestoreDefaults();
    QCoreApplication::sendPostedEvents();  // whatever the answer posted has been handled
    QCOMPARE(rig.image->keyTable[5], keys::kDisabledCode);
    QCOMPARE(rig.notices.entries.back().text, std::u16string(u"Do you want to restore the default setting?"));

    rig.notices.answer = NoticeResult::Ok;
    w.supportPage()->onRestoreDefaults();
    QTRY_COMPARE(rig.image->keyTable[5], rig.image->defaultKeyTable[5]);
    // ... and the apply it starts writes the defaults into the keyboard.
    QTRY_COMPARE(getU32(rig.keyboard.memory(), device::kKeyTableAddress + 4 * 5), rig.image->defaultKeyTable[5]);
    QTRY_VERIFY(!w.core().applying());
  }

  void supportPageVersionsWebImportExport() {
    Rig rig;
    COrlixConfigDlg& w = rig.make();
    CDlgSupport* page = w.supportPage();
    page->onDriverVersion();
    page->onFirmwareVersion();
    QCOMPARE(rig.notices.entries.at(rig.notices.entries.size() - 2).text, std::u16string(u"Drive is the latest version."));
    QCOMPARE(rig.notices.entries.back().text, std::u16string(u"Fireware is the latest version."));
    page->onWebSite();
    QCOMPARE(rig.host.calls.back().text, std::u16string(kWebSiteAddress));

    // Export, change, import: the exported key table comes back; nothing is sent.
    rig.image->keyTable[30] = keys::kDisabledCode;
    QString target = QStringLiteral("/export/mine.cfg");
    page->setFileChooser([&](CDlgSupport::FileDialog) { return target; });
    page->onExport();
    QVERIFY(rig.files.find("/export/mine.cfg"));
    rig.image->keyTable[30] = rig.image->defaultKeyTable[30];
    size_t requests = rig.endpoint.requests().size();
    page->onImport();
    QCOMPARE(rig.image->keyTable[30], keys::kDisabledCode);
    QCOMPARE(rig.endpoint.requests().size(), requests);

    // Cancelled dialogs do nothing; a failed export names the file.
    size_t notices = rig.notices.entries.size();
    target.clear();
    page->onExport();
    page->onImport();
    QCOMPARE(rig.notices.entries.size(), notices);
    target = QStringLiteral("/missing/mine.cfg");
    page->onExport();
    QCOMPARE(rig.notices.entries.back().kind, std::string("box"));
    QCOMPARE(rig.notices.entries.back().caption, std::u16string(u"Error"));
    QVERIFY(toQString(rig.notices.entries.back().text).startsWith(target));
  }

  void supportPageHintsGoToTheMainWindow() {
    Rig rig;
    rig.forceShow = true;
    COrlixConfigDlg& w = rig.make();
    w.show();
    w.showPage(COrlixConfigDlg::kSupportPage);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    localization::languageStrings().set(StringKey::str_file_export, u"Export it");
    QWidget* exportButton = w.supportPage()->button(CDlgSupport::kExport);
    QTest::mouseMove(&w, exportButton->mapTo(&w, exportButton->rect().center()));
    QTRY_COMPARE(w.statusText(), QStringLiteral("Export it"));
  }

  void missingKeyboardClosesTheProgram() {
    Rig rig;
    rig.present = false;
    rig.make();
    QCOMPARE(rig.notices.entries.back().kind, std::string("timed"));
    QCOMPARE(rig.notices.entries.back().text, std::u16string(u"The Orlix gaming Keyboard cannot be found."));
    QTRY_COMPARE(rig.loopEnds, 1);
    QCOMPARE(rig.updaterStarts, 0);
  }

  void shutdownRemovesEverything() {
    Rig rig;
    COrlixConfigDlg& w = rig.make();
    w.post(app::kCommand, app::kCommandExit, 0);
    QTRY_COMPARE(rig.loopEnds, 1);
    QVERIFY(!w.keyboardPage() && !w.lightingPage() && !w.macroPage() && !w.supportPage() && !w.overlay());
    QVERIFY(!rig.channel.isOpen());
    QVERIFY(!windowExists(QString::fromUtf8(kMainWindowTitle)));
  }

  void hookDeliversKeysToTheReceivingWindow() {
    Rig rig;
    rig.forceShow = true;
    COrlixConfigDlg& w = rig.make();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    KeyCatch& hook = KeyCatch::instance();
    hook.installhook();
    MessageQueue receiver;
    hook.SetReciveWindow(&receiver);
    auto key = [&](QEvent::Type type, int qtKey, quint32 x11Keycode, bool repeat = false) {
      QKeyEvent e(type, qtKey, Qt::NoModifier, x11Keycode, 0, 0, QString(), repeat);
      QCoreApplication::sendEvent(w.windowHandle(), &e);
    };
    key(QEvent::KeyPress, Qt::Key_A, 38);
    QVERIFY(receiver.drain().empty());  // delivery is off

    hook.SetHookStatus(1, 0);
    key(QEvent::KeyPress, Qt::Key_A, 38);
    key(QEvent::KeyRelease, Qt::Key_A, 38, true);  // the desktop's auto-repeat release
    key(QEvent::KeyPress, Qt::Key_A, 38, true);    // the repeated press
    key(QEvent::KeyRelease, Qt::Key_A, 38);
    key(QEvent::KeyPress, Qt::Key_Control, 105);  // right Ctrl
    auto got = receiver.drain();
    QCOMPARE(int(got.size()), 4);
    QCOMPARE(got[0], (Message{msg::kHookKey, 0x41, 0}));
    QCOMPARE(got[1], (Message{msg::kHookKey, 0x41, 0}));
    QCOMPARE(got[2], (Message{msg::kHookKey, 0x41, 0x80}));
    QCOMPARE(got[3].wParam, uintptr_t(0xA3));
    QCOMPARE(got[3].lParam & 0x80, intptr_t(0));
    hook.SetHookStatus(0, 0);
    hook.SetReciveWindow(nullptr);
  }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
