#include "gui/app/orlix_config_dlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QSocketNotifier>
#include <QWindow>

#include "core/device/messages.h"
#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "gui/app/desktop_notice.h"
#include "gui/app/key_catch.h"
#include "gui/app/language_menu.h"
#include "gui/app/progress_session.h"
#include "gui/app/support_page.h"
#include "gui/app/tray_icon.h"
#include "gui/keys/dlg_not_see.h"
#include "gui/keys/main_set_dlg.h"
#include "gui/lighting/dlg_led_main.h"
#include "gui/macros/macro_dlg.h"
#include "gui/qt_text.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/irr_button.h"
#include "gui/skin/shaped_window.h"
#include "gui/skin/skin_images.h"
#include "gui/skin/xp_menu.h"
#include "platform/presence_monitor.h"
#include "platform/uptime.h"

namespace orlix::gui {

namespace mf = skin::main_frame;

namespace {
const QColor kStatusColour(0x53, 0x61, 0x67);
constexpr int kLanguageMenuLeft = 4;     // left of the language button
constexpr int kLanguageMenuRise = 287;   // above the language button's bottom edge

// Text cut to fit rect when word-wrapped, ending with an ellipsis when cut.
QString fitWrapped(const QString& text, const QFontMetrics& fm, const QRect& rect) {
  auto fits = [&](const QString& t) {
    return fm.boundingRect(rect, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, t).height() <= rect.height();
  };
  if (fits(text)) return text;
  QString t = text;
  while (!t.isEmpty() && !fits(t + QStringLiteral("..."))) t.chop(1);
  return t + QStringLiteral("...");
}
}  // namespace

COrlixConfigDlg::COrlixConfigDlg(ProgramServices services, MainWindowOptions options)
    : MessageWidget<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint),
      services_(std::move(services)),
      options_(std::move(options)) {
  if (!options_.upTimeMs) options_.upTimeMs = [] { return platform::upTimeMs(); };
  if (!options_.endLoop) options_.endLoop = [] { QCoreApplication::quit(); };
  if (!options_.makeProgress) options_.makeProgress = [this] { return makeProgressSession(this); };
  if (!options_.notify) options_.notify = [](const QString& s, const QString& b) { notifyDesktop(s, b); };
  setWindowIcon(loadIconResource(skin::resource::kProgramIcon));
  setWindowTitle(QString::fromUtf8(kMainWindowTitle));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);

  app::MainWindowServices s{services_.image,  services_.channel, services_.pacer,    services_.profiles,
                            services_.macros, services_.host,    services_.notices,  services_.registry,
                            localization::languageStrings(),      services_.programFolder, {}};
  s.sync = services_.sync;
  s.presence.registerNotifications = [this] { watchDevices(); };
  s.presence.isPresent = services_.keyboardPresent;
  s.presence.startUpdater = services_.startUpdater;
  core_ = std::make_unique<app::MainWindowCore>(std::move(s), makeHooks(), *this);
}

COrlixConfigDlg::~COrlixConfigDlg() {
  if (KeyCatch::instance().receiver() == this) SetReciveWindow(nullptr);
  core_.reset();
}

void COrlixConfigDlg::initialise() {
  core_->initialise();
  if (!options_.forceShow) return;
  // --show shows the window on the event loop's first turn instead of half a
  // second later; without it the first-show timer alone decides.
  QTimer::singleShot(0, this, [this] {
    if (core_->closed() || isVisible()) return;
    shownAtOnce_ = true;
    show();
    raise();
    activateWindow();
  });
}

app::MainWindowHooks COrlixConfigDlg::makeHooks() {
  app::MainWindowHooks h;
  h.showLanguageButton = [this](const localization::LanguageInfo& lang) {
    QImage picture;
    if (!languagePicture_) {
      languagePicture_ = new QLabel(this);
      languagePicture_->setGeometry(toQRect(mf::kLanguagePicture));
      languagePicture_->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    if (loadImageResource(lang.buttonPicture, "BITMAP", &picture))
      languagePicture_->setPixmap(QPixmap::fromImage(picture));
    languagePicture_->setProperty("languageId", lang.id);
  };
  h.addTray = [this] {
    tray_ = new TrayIcon(*this, this);
    tray_->add();
  };
  h.startFirstShowTimer = [this] { setNamedTimer(app::kFirstShowTimerId, app::kFirstShowTimerMs); };
  h.buildPages = [this] { buildControls(); };
  h.selectMacroEntry21 = [this] {
    if (macroPage_) macroPage_->SelectEntry(21);
    else macroEntry21_ = !otherPagesBuilt_;
  };
  h.showSelectedProfile = [this](int k) {
    for (int i = 0; i < int(profiles_.size()); ++i)
      if (profiles_[size_t(i)]) profiles_[size_t(i)]->setChecked(i == k);
  };
  h.showWindow = [this] { showFromTray(); };
  h.openTrayMenu = [this] { openTrayMenu(); };
  h.setStatusText = [this](const std::u16string& text) {
    status_ = toQString(text);
    update(toQRect(mf::kStatusArea));
  };
  h.refreshAllKeys = [this] {
    if (keyboardPage_) keyboardPage_->RefreshAllKey();
  };
  h.refreshLightingPage = [this] {
    if (lightingPage_) lightingPage_->RefreshPage();
  };
  h.languageMenuOpen = [this] { return !languageMenu_.isNull(); };
  h.refreshMacroPage = [this] {
    if (macroPage_) macroPage_->RefreshLanguage();
  };
  h.reloadMacroList = [this] {
    if (macroPage_) macroPage_->ReloadList();
  };
  h.closeLanguageMenu = [this] {
    QPointer<CMenuExA> menu = languageMenu_;
    languageMenu_ = nullptr;
    if (menu) menu->close();
  };
  h.makeProgress = [this] { return options_.makeProgress(); };
  h.removeTray = [this] {
    if (tray_) tray_->remove();
  };
  h.destroyPages = [this] {
    otherPagesBuilt_ = true;  // none are built any more
    delete keyboardPage_.data();
    delete macroPage_.data();
    delete supportPage_.data();
    delete lightingPage_.data();
    delete overlay_.data();
  };
  h.endLoop = [this] {
    hide();
    options_.endLoop();
  };
  return h;
}

void COrlixConfigDlg::buildControls() {
  const QImage frame = loadBitmapFile(skinPath(skin::kMainFrame.normal));
  // The key colour comes out transparent in the window (unless its shape alone
  // cuts it away) and in every button cut from it.
  normal_ = shapeCutsKeyAlone(frame) ? frame : keyedImage(frame);
  // The Over and Down frames only give the buttons their pieces.
  const SkinLook down(skinPath(skin::kMainFrame.down));
  const SkinLook over(skinPath(skin::kMainFrame.over));
  resize(frame.isNull() ? QSize(mf::kSize.width, mf::kSize.height) : frame.size());
  shapeTopLevel(this, frame);

  auto bitmapButton = [&](const Rect& r) {
    auto* b = new CGDIBitmapBtn(this);
    b->create(QString(), toQRect(r), this);
    b->setImages(frame, over, down, frame, r);
    return b;
  };
  auto shapedButton = [&](const skin::Quad& q) {
    auto* b = new CIrrButton(this);
    b->create(q, this);
    b->setImages(frame, over, down);
    b->show();
    return b;
  };
  minimize_ = bitmapButton(mf::kMinimize);
  close_ = bitmapButton(mf::kClose);
  language_ = bitmapButton(mf::kLanguage);
  QObject::connect(minimize_, &CGDIBitmapBtn::clicked, this, [this] { onMinimize(); });
  QObject::connect(close_, &CGDIBitmapBtn::clicked, this, [this] { onClose(); });
  QObject::connect(language_, &CGDIBitmapBtn::clicked, this, [this] { onLanguage(); });
  for (int i = 0; i < 4; ++i) {
    tabs_[size_t(i)] = shapedButton(mf::kTabs[size_t(i)]);
    tabs_[size_t(i)]->setCheckStyle(true);
    QObject::connect(tabs_[size_t(i)], &CIrrButton::clicked, this, [this, i] { showPage(i + 1); });
  }
  for (int k = 0; k < 5; ++k) {
    profiles_[size_t(k)] = shapedButton(mf::kProfiles[size_t(k)]);
    profiles_[size_t(k)]->setCheckStyle(true);
    QObject::connect(profiles_[size_t(k)], &CIrrButton::clicked, this, [this, k] { onProfile(k); });
  }
  apply_ = shapedButton(mf::kApply);
  QObject::connect(apply_, &CIrrButton::clicked, this, [this] { onApply(); });
  if (languagePicture_) languagePicture_->raise();

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->geometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }

  keyboardPage_ = new CMainSetDlg(
      this, KeyboardPageServices{&services_.image, &services_.macros, &services_.notices, services_.keyInjector});
  keyboardPage_->move(mf::kPageOrigin.x, mf::kPageOrigin.y);
  keyboardPage_->show();
  tabs_[0]->setChecked(true);
  page_ = kKeyboardPage;
}

void COrlixConfigDlg::buildOtherPages() {
  // Once, after the keyboard page; pages destroyed at the end are not made again.
  if (otherPagesBuilt_ || !keyboardPage_) return;
  otherPagesBuilt_ = true;
  QPoint origin(mf::kPageOrigin.x, mf::kPageOrigin.y);
  lightingPage_ = new CDlgLedMain(this, services_.image);
  macroPage_ = new CMacroDlg(this, services_.macros, services_.notices, services_.pacer);
  supportPage_ = new CDlgSupport(this, services_.profiles, services_.notices, services_.host);
  for (QWidget* page : std::initializer_list<QWidget*>{lightingPage_, macroPage_, supportPage_}) {
    page->move(origin);
    page->hide();
  }
  overlay_ = new CDlgNotSee(this);
  overlay_->setGeometry(QRect(origin, keyboardPage_->size()));
  overlay_->hide();
  if (macroEntry21_) macroPage_->SelectEntry(21);
  macroEntry21_ = false;
}

CMenuExA* COrlixConfigDlg::languageMenu() const { return languageMenu_.data(); }

void COrlixConfigDlg::showPage(int page) {
  if (page < kKeyboardPage || page > kSupportPage) return;
  buildOtherPages();
  if (macroPage_ && macroPage_->HasPopupMenu()) macroPage_->ClosePopupMenu();
  std::array<QWidget*, 4> pages{keyboardPage_, lightingPage_, macroPage_, supportPage_};
  for (int i = 0; i < 4; ++i) {
    if (i + 1 != page && pages[size_t(i)] && pages[size_t(i)]->isVisible()) pages[size_t(i)]->hide();
    if (tabs_[size_t(i)]) tabs_[size_t(i)]->setChecked(i + 1 == page);
  }
  if (QWidget* shown = pages[size_t(page - 1)]) {
    shown->show();
    shown->update();
  }
  if (overlay_) {
    overlay_->setVisible(page == kLightingPage);
    if (page == kLightingPage) overlay_->raise();
  }
  page_ = page;
}

void COrlixConfigDlg::onClose() {
  if (page_ == kLightingPage && overlay_) overlay_->hide();
  hide();
  SetHookStatus(0, 0);
  // Without a tray icon nothing shows that the program still runs: the first
  // close says so, and how to come back (start it again).
  if (!backgroundNoticeGiven_ && !(tray_ && tray_->visible())) {
    backgroundNoticeGiven_ = true;
    options_.notify(backgroundRunSummary(), backgroundRunBody());
  }
}

void COrlixConfigDlg::onMinimize() {
  showMinimized();
  SetHookStatus(0, 0);
}

void COrlixConfigDlg::onApply() {
  post(msg::kStartApply, 0, 0);
  if (apply_) apply_->resetHover();
}

void COrlixConfigDlg::onProfile(int k) { core_->switchProfile(k); }

void COrlixConfigDlg::onLanguage() {
  if (languageMenu_) {
    QPointer<CMenuExA> old = languageMenu_;
    languageMenu_ = nullptr;
    old->close();
  }
  auto* menu = new CMenuExA(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->setOwnerTarget(this);
  QRect button(language_->mapToGlobal(QPoint(0, 0)), language_->size());
  menu->create(this, button.left() - kLanguageMenuLeft, button.bottom() + 1 - kLanguageMenuRise);
  languageMenu_ = menu;
}

void COrlixConfigDlg::showFromTray() {
  if (page_ == kLightingPage && overlay_) overlay_->show();
  show();
  showNormal();
  raise();
  activateWindow();
}

void COrlixConfigDlg::openTrayMenu() {
  // The main window is the menu's owner: a Wayland pop-up needs one.
  CXPMenu menu(this);
  menu.addItem(int(app::kCommandConfig), skin::resource::kTrayConfigIcon, skin::resource::kTrayConfigIcon,
               QStringLiteral("Config"));
  menu.addItem(int(app::kCommandExit), skin::resource::kTrayExitIcon, skin::resource::kTrayExitIcon,
               QStringLiteral("Exit"));
  activateWindow();
  int command = menu.exec(QCursor::pos());
  if (command) post(app::kCommand, uintptr_t(command), 0);
}

void COrlixConfigDlg::watchDevices() {
  platform::DeviceMonitor* monitor = services_.monitor;
  if (!monitor || monitor->fd() < 0 || deviceNotifier_) return;
  deviceNotifier_ = new QSocketNotifier(monitor->fd(), QSocketNotifier::Read, this);
  QObject::connect(deviceNotifier_, &QSocketNotifier::activated, this, [this, monitor] {
    for (const auto& change : monitor->drain()) {
      core_->handle(app::kDeviceChange, change.event, 0);
      core_->deviceChange(change.event, change.interfaceName);
    }
  });
}

intptr_t COrlixConfigDlg::onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) {
  return core_->handle(id, wParam, lParam);
}

void COrlixConfigDlg::onTimer(int id) {
  if (id != app::kFirstShowTimerId) return;
  killNamedTimer(id);
  if (!core_->onFirstShowTimer(options_.upTimeMs(), options_.forceShow)) return;
  if (shownAtOnce_) return;  // a window hidden since then stays hidden
  show();
  show();
  raise();
  activateWindow();
}

void COrlixConfigDlg::paintEvent(QPaintEvent*) {
  // The pages nobody sees yet are built once the window has shown itself.
  if (!otherPagesBuilt_) QTimer::singleShot(0, this, [this] { buildOtherPages(); });
  QPainter p(this);
  if (normal_.isNull()) p.fillRect(rect(), QColor(0x20, 0x24, 0x28));
  else p.drawImage(0, 0, normal_);
  if (status_.isEmpty()) return;
  QRect area = toQRect(mf::kStatusArea);
  p.setFont(gdiFont(14, 300));
  p.setPen(kStatusColour);
  p.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, fitWrapped(status_, p.fontMetrics(), area));
}

void COrlixConfigDlg::trackHints(const QPoint& pos) {
  if (!status_.isEmpty()) {
    status_.clear();
    update(toQRect(mf::kStatusArea));
  }
  auto hint = [this](int number) { post(msg::kHint, 0, number); };
  for (int k = 0; k < 5; ++k)
    if (profiles_[size_t(k)] && profiles_[size_t(k)]->geometry().adjusted(-1, -1, 1, 1).contains(pos))
      hint(mf::kProfileHints[size_t(k)]);
  if (apply_ && apply_->geometry().adjusted(-1, -1, 1, 1).contains(pos)) hint(mf::kApplyHint);
  for (int i = 0; i < 4; ++i)
    if (tabs_[size_t(i)] && tabs_[size_t(i)]->geometry().adjusted(-1, -1, 2, 1).contains(pos))
      hint(mf::kTabHints[size_t(i)]);
}

// The buttons pass their pointer moves on to the window (they ignore them), so
// the hint line follows the pointer over them too.
void COrlixConfigDlg::mouseMoveEvent(QMouseEvent* e) {
  if (drag_.move(this, e)) return;
  trackHints(e->position().toPoint());
}

// A press on a free spot moves the window, as a press on a caption would.
void COrlixConfigDlg::mousePressEvent(QMouseEvent* e) { drag_.press(this, e); }

void COrlixConfigDlg::mouseReleaseEvent(QMouseEvent* e) { drag_.release(e); }

void COrlixConfigDlg::closeEvent(QCloseEvent* e) {
  // A close from the desktop (session end, window menu) ends the program as
  // the tray's "Exit" does; the window's own close button only hides it.
  e->ignore();
  if (!core_->closed()) post(app::kClose, 0, 0);
}

}  // namespace orlix::gui
