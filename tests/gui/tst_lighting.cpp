// The lighting page, the effect pages and the palette on the offscreen
// platform: that the windows feed their models and draw what the models say.

#include <QRubberBand>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "core/config/config_image.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/lighting/lighting_model.h"
#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "core/util/bytes.h"
#include "gui/lighting/dlg_led_main.h"
#include "gui/lighting/effect_pages.h"
#include "gui/lighting/palette_dlg.h"
#include "gui/skin/color_btn.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/irr_button.h"
#include "gui/skin/png_slider.h"
#include "gui/skin/skin_images.h"
#include "gui_test_support.h"

using namespace orlix;
using namespace orlix::gui;
using namespace orlix::lighting;

namespace {

uint32_t selectedField(const ConfigImage& image, int i) { return getU32(image.ledState[size_t(i)], kLedSelected); }

}  // namespace

class TestLighting : public QObject {
  Q_OBJECT

  std::unique_ptr<ConfigImage> image;
  MessageQueue mainWindow;

 private slots:
  void initTestCase() { setProgramFolder(QStringLiteral(ORLIX_BIN_DIR)); }
  void init() {
    image = makeConfigImage();
    initialiseDefaults(*image);
    resetPerKeyLighting(*image);
    restoreLedCodesFromMap(*image);
    windows::registerTarget(kMainWindowTitle, &mainWindow);
    mainWindow.drain();
  }
  void cleanup() { windows::unregisterTarget(&mainWindow); }

  void clickOnALightButtonFlipsItAndRecounts() {
    CDlgLedMain page(nullptr, *image);
    page.show();
    QTest::mouseClick(page.light(5), Qt::LeftButton);
    QVERIFY(page.light(5)->isChecked());
    QVERIFY(page.model().selected(5));
    QTRY_COMPARE(selectedField(*image, 5), 1u);  // the button's posted 0x450
    QCOMPARE(image->keySelectionFlag, 1u);
    QTest::mouseClick(page.light(5), Qt::LeftButton);
    QTRY_COMPARE(selectedField(*image, 5), 0u);
    QVERIFY(!page.light(5)->isChecked());
  }

  void dragDrawsTheBandAndRecounts() {
    QWidget host;
    host.resize(960, 642);
    auto* page = new CDlgLedMain(&host, *image);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    // Over the row of entries 19..40, from the background left of it.
    QTest::mousePress(page, Qt::LeftButton, {}, QPoint(80, 160));
    QTest::mouseMove(page, QPoint(600, 182));
    auto* band = host.findChild<QRubberBand*>();
    QVERIFY(band && band->isVisible());
    QCOMPARE(band->geometry(), QRect(QPoint(80, 160), QPoint(600, 182)));
    QCOMPARE(page->cursor().shape(), Qt::CrossCursor);
    QTest::mouseRelease(page, Qt::LeftButton, {}, QPoint(600, 182));
    QVERIFY(!band->isVisible());
    for (int i = 19; i <= 40; ++i) {
      int x, y;
      LightingPageModel::centreOf(i, x, y);
      bool inside = x >= 80 && x < 600;
      QCOMPARE(page->light(i)->isChecked(), inside);
      QCOMPARE(selectedField(*image, i), inside ? 1u : 0u);
    }
    // The right button clears without a recount.
    QTest::mousePress(page, Qt::RightButton, {}, QPoint(20, 20));
    QVERIFY(!page->light(25)->isChecked());
    QCOMPARE(selectedField(*image, 25), 1u);
  }

  void alwaysOnOkSendsAndTheRefreshShowsTheColour() {
    CDlgLedMain page(nullptr, *image);
    page.show();
    for (int i : {83, 84, 85}) page.model().setSelected(i, true);
    bool sawPage = false;
    QTimer::singleShot(0, &page, [&] {
      CDlgLedEffect* effect = page.runningEffectPage();
      QVERIFY(effect);
      sawPage = true;
      QCOMPARE(effect->size(), QSize(skin::effect_page::kAlways.size.width, skin::effect_page::kAlways.size.height));
      QCOMPARE(effect->okButton()->geometry(), toQRect(skin::effect_page::kAlways.ok));
      QTest::mouseClick(effect->okButton(), Qt::LeftButton);
    });
    CIrrButton* always = page.effectButton(kButtonAlwaysOn);
    QTest::mousePress(always, Qt::LeftButton, {}, always->regionCentre() - always->pos());
    QVERIFY(sawPage);
    QVERIFY(always->isChecked());
    auto posted = mainWindow.drain();
    QCOMPARE(posted.size(), size_t(1));
    QCOMPARE(posted[0].id, msg::kLightingSend);
    QCOMPARE(posted[0].lParam, intptr_t(11));
    QCOMPARE(image->editedLedCommand[8], uint8_t(0x22));
    QCOMPARE(image->lightingMode, uint32_t(kModeAlways));
    page.RefreshPage();  // what the main window does after the send
    QCOMPARE(page.light(84)->colour(), QColor(255, 200, 0));
    QVERIFY(!page.light(84)->isChecked());
    QCOMPARE(page.light(90)->colour(), QColor(0, 0, 0));
  }

  void theProgramsEndWhileAnEffectPageRunsDestroysThePageSafely() {
    auto* page = new CDlgLedMain(nullptr, *image);
    page->show();
    page->model().setSelected(3, true);
    QPointer<CDlgLedEffect> effect;
    QTimer::singleShot(0, page, [&] {
      effect = page->runningEffectPage();
      QVERIFY(effect);
      delete page;  // what the main window's shutdown does with its pages
    });
    CIrrButton* always = page->effectButton(kButtonAlwaysOn);
    QPointer<CDlgLedMain> guard(page);
    QTest::mousePress(always, Qt::LeftButton, {}, always->regionCentre() - always->pos());
    QVERIFY(!guard);
    QVERIFY(!effect);
    QCOMPARE(image->lightingMode, uint32_t(kModeAlways));  // the model finished its click
  }

  void effectPagesPlaceTheirControls() {
    namespace ep = skin::effect_page;
    struct Row {
      int button;
      const ep::Buttons* b;
      int group, swatches, sliderId;
    };
    const Row rows[] = {{kButtonSeven, &ep::kSeven, 2, 0, 0},          {kButtonStrength, &ep::kStrength, 6, 0, 0},
                        {kButtonWave, &ep::kWave, 5, 0, 1002},         {kButtonBreathing, &ep::kBreath, 0, 2, 1003},
                        {kButtonSingle, &ep::kSingle, 0, 2, 1004},     {kButtonAlwaysOn, &ep::kAlways, 0, 1, 0}};
    for (const Row& r : rows) {
      auto page = makeEffectPage(r.button, {*image, nullptr, nullptr}, nullptr);
      QCOMPARE(page->size(), QSize(r.b->size.width, r.b->size.height));
      QCOMPARE(page->applyButton()->geometry(), toQRect(r.b->apply));
      QCOMPARE(page->cancelButton()->geometry(), toQRect(r.b->cancel));
      QCOMPARE(page->model().info().groupSize, r.group);
      for (int i = 0; i < r.swatches; ++i) QVERIFY(page->swatch(i));
      QCOMPARE(page->slider() ? page->slider()->id() : 0, r.sliderId);
    }
    // The single page's swatches show other colours than it sends.
    auto single = makeEffectPage(kButtonSingle, {*image, nullptr, nullptr}, nullptr);
    QCOMPARE(single->swatch(0)->colour(), QColor(200, 0, 0));
    QVERIFY(single->swatch(0)->isChecked());
    // A slider's 0x800 sets the speed; a wave direction click marks it.
    auto wave = makeEffectPage(kButtonWave, {*image, nullptr, nullptr}, nullptr);
    QCOMPARE(wave->send(msg::kSliderPos, 17, 1002), intptr_t(1));
    QCOMPARE(int(wave->model().settings().speed), 17);
    QTest::mouseClick(wave->groupButton(2), Qt::LeftButton);
    QVERIFY(wave->groupButton(2)->isChecked() && !wave->groupButton(0)->isChecked());
    QCOMPARE(int(wave->model().settings().direction), 6);
  }

  // Cut skins show no key colour on any desktop, and the windows stand over
  // their owners: the page over the lighting page's window, the palette over
  // its page.
  void effectPagesAndPaletteAreShapedByTheirSkinsOverTheirOwners() {
    const skin::ImageTriple* triples[] = {&skin::kSevenPage,  &skin::kStrengthPage, &skin::kWavePage,
                                          &skin::kBreathPage, &skin::kSinglePage,   &skin::kAlwaysPage};
    QStringList cut{QString::fromLatin1(skin::kPalette)};
    for (const skin::ImageTriple* t : triples)
      cut << QString::fromLatin1(t->normal) << QString::fromLatin1(t->over) << QString::fromLatin1(t->down);
    test::CutCornerSkins skins(QStringLiteral(ORLIX_BIN_DIR), cut);
    setProgramFolder(skins.folder());
    auto restore = qScopeGuard([] { setProgramFolder(QStringLiteral(ORLIX_BIN_DIR)); });
    QWidget owner;
    auto* ownerPage = new QWidget(&owner);
    owner.resize(900, 600);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    for (int button = 0; button < kEffectButtonCount; ++button) {
      auto page = makeEffectPage(button, {*image, nullptr, nullptr}, ownerPage);
      page->show();
      QVERIFY(QTest::qWaitForWindowExposed(page.get()));
      QString fault = test::shapedFault(*page, &owner);
      QVERIFY2(fault.isEmpty(), qPrintable(page->windowTitle() + QStringLiteral(": ") + fault));
      if (button != kButtonAlwaysOn) continue;
      CPaletteDlg palette(page->model().swatchRequest(0), &page->model(), page.get());
      palette.show();
      QVERIFY(QTest::qWaitForWindowExposed(&palette));
      fault = test::shapedFault(palette, page.get());
      QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("palette: ") + fault));
    }
  }

  void enterClosesAsOkWithoutSendingAndEscapeCancels() {
    auto page = makeEffectPage(kButtonAlwaysOn, {*image, nullptr, nullptr}, nullptr);
    QTimer::singleShot(0, page.get(), [&] { QTest::keyClick(page.get(), Qt::Key_Return); });
    QCOMPARE(page->exec(), int(QDialog::Accepted));
    QTimer::singleShot(0, page.get(), [&] { QTest::keyClick(page.get(), Qt::Key_Escape); });
    QCOMPARE(page->exec(), int(QDialog::Rejected));
    QVERIFY(mainWindow.drain().empty());
  }

  void paletteWheelClickPicksThePixelUnderIt() {
    RecordingNotices notices;
    EffectPageModel owner(kButtonBreathing, {*image, notices, TextSource{}, nullptr, nullptr});
    CPaletteDlg dlg(owner.swatchRequest(1), &owner, nullptr);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.slider(1)->value(), 200);  // (2, 200, 0)
    const QPoint at(250, 80);
    QColor shown = dlg.grab().toImage().pixelColor(at);
    // What the translucent dialog shows there is the picture's own pixel.
    QCOMPARE(shown.rgb(), loadBitmapFile(skinPath(QString::fromLatin1(skin::kPalette))).pixel(at));
    QTest::mouseClick(&dlg, Qt::LeftButton, {}, at);
    QCOMPARE(dlg.model().colour(), rgb(uint8_t(shown.red()), uint8_t(shown.green()), uint8_t(shown.blue())));
    QCOMPARE(dlg.preview()->colour(), QColor(shown.red(), shown.green(), shown.blue()));
    QCOMPARE(dlg.slider(0)->value(), shown.red());
    QCOMPARE(dlg.slider(2)->value(), shown.blue());
    const uint32_t picked = dlg.model().colour();
    QTest::mouseClick(&dlg, Qt::LeftButton, {}, QPoint(226, 53));  // inside the box, outside the wheel
    QCOMPARE(dlg.model().colour(), picked);
    dlg.send(msg::kSliderPos, 10, skin::palette::kGreenId);
    QCOMPARE(green(dlg.model().colour()), uint8_t(10));
    QTest::mouseClick(dlg.okButton(), Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(owner.settings().colour2, dlg.model().colour());
    QCOMPARE(owner.swatchColour(1), dlg.model().colour());
  }
};

QTEST_MAIN(TestLighting)
#include "tst_lighting.moc"
