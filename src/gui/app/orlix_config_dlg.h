#pragma once
// COrlixConfigDlg: the main window. A borderless, shaped, skinned window
// titled "Ulmora Orlix Driver" with four tabs, five profile buttons, the Apply
// and language buttons and the hint line; it owns the pages, the tray icon and
// the keyboard overlay, and is the receiver of the program's messages, whose
// handling lives in app::MainWindowCore.

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/app/main_window_core.h"
#include "gui/app/language_menu.h"
#include "gui/app/message_widget.h"
#include "gui/keys/dlg_not_see.h"
#include "gui/keys/main_set_dlg.h"
#include "gui/lighting/dlg_led_main.h"
#include "gui/macros/macro_dlg.h"
#include "gui/app/support_page.h"
#include "gui/skin/shaped_window.h"

class QLabel;
class QSocketNotifier;

namespace orlix::platform {
class DeviceMonitor;
}

namespace orlix::gui {

class CGDIBitmapBtn;
class CIrrButton;
class TrayIcon;

// What the main window works with; everything outlives the window.
struct ProgramServices {
  ConfigImage& image;
  DriverChannel& channel;
  Pacer& pacer;
  Profiles& profiles;
  macros::MacroLibrary& macros;
  HostActions& host;
  UserNotices& notices;
  Registry& registry;
  std::filesystem::path programFolder;
  std::function<bool()> keyboardPresent;
  std::function<void()> startUpdater;
  platform::DeviceMonitor* monitor = nullptr;  // device changes; none in tests
  keys::KeyInjector* keyInjector = nullptr;    // synthetic key events; none: not sent
  ConfigSync* sync = nullptr;                  // shares the stored configuration; none in tests
};

struct MainWindowOptions {
  bool forceShow = false;              // --show: the window shows as soon as it is initialised
  std::function<uint64_t()> upTimeMs;  // the system's up-time; the platform's by default
  std::function<void()> endLoop;       // ends the program; QCoreApplication::quit by default
  // The modal progress dialog of an apply; the skinned progress dialog by default.
  std::function<std::unique_ptr<app::ProgressSession>()> makeProgress;
  // Tells the person through the desktop (summary, body): the first close on a
  // desktop without a tray says the program runs on. notifyDesktop by default.
  std::function<void(const QString&, const QString&)> notify;
};

class COrlixConfigDlg : public MessageWidget<QWidget> {
 public:
  enum Page { kKeyboardPage = 1, kLightingPage = 2, kMacroPage = 3, kSupportPage = 4 };

  COrlixConfigDlg(ProgramServices services, MainWindowOptions options = {});
  ~COrlixConfigDlg() override;

  // The window's initialisation (created hidden; shows itself by the first-show rule).
  void initialise();

  // Page switching and the buttons, as the controls call them.
  void showPage(int page);
  void onClose();
  void onMinimize();
  void onApply();
  void onProfile(int k);
  void onLanguage();
  // Shows the window as the tray's double-click and "Config" do.
  void showFromTray();

  int currentPage() const { return page_; }
  const QString& statusText() const { return status_; }
  app::MainWindowCore& core() { return *core_; }
  CIrrButton* tab(int i) const { return tabs_[size_t(i)]; }
  CIrrButton* profileButton(int k) const { return profiles_[size_t(k)]; }
  CIrrButton* applyButton() const { return apply_; }
  CGDIBitmapBtn* closeButton() const { return close_; }
  CGDIBitmapBtn* minimizeButton() const { return minimize_; }
  CGDIBitmapBtn* languageButton() const { return language_; }
  QLabel* languagePicture() const { return languagePicture_; }
  CMenuExA* languageMenu() const;
  CMainSetDlg* keyboardPage() const { return keyboardPage_; }
  // The pages behind the other tabs and the overlay are built after the first
  // paint, or when first needed before it: asking for one builds them.
  CDlgLedMain* lightingPage() const { return otherPages().lightingPage_; }
  CMacroDlg* macroPage() const { return otherPages().macroPage_; }
  CDlgSupport* supportPage() const { return otherPages().supportPage_; }
  CDlgNotSee* overlay() const { return otherPages().overlay_; }
  TrayIcon* tray() const { return tray_; }

 protected:
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override;
  void onTimer(int id) override;
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  app::MainWindowHooks makeHooks();
  void buildControls();
  void buildOtherPages();
  const COrlixConfigDlg& otherPages() const {
    const_cast<COrlixConfigDlg*>(this)->buildOtherPages();
    return *this;
  }
  void openTrayMenu();
  void trackHints(const QPoint& pos);
  void watchDevices();

  ProgramServices services_;
  MainWindowOptions options_;
  std::unique_ptr<app::MainWindowCore> core_;
  QImage normal_;
  CGDIBitmapBtn* minimize_ = nullptr;
  CGDIBitmapBtn* close_ = nullptr;
  CGDIBitmapBtn* language_ = nullptr;
  QLabel* languagePicture_ = nullptr;
  std::array<CIrrButton*, 4> tabs_{};
  std::array<CIrrButton*, 5> profiles_{};
  CIrrButton* apply_ = nullptr;
  QPointer<CMainSetDlg> keyboardPage_;
  QPointer<CDlgLedMain> lightingPage_;
  QPointer<CMacroDlg> macroPage_;
  QPointer<CDlgSupport> supportPage_;
  QPointer<CDlgNotSee> overlay_;
  QPointer<CMenuExA> languageMenu_;
  TrayIcon* tray_ = nullptr;
  QSocketNotifier* deviceNotifier_ = nullptr;
  int page_ = kKeyboardPage;
  QString status_;
  bool backgroundNoticeGiven_ = false;
  WindowDrag drag_;
  bool shownAtOnce_ = false;  // --show already showed the window before the first-show timer
  bool otherPagesBuilt_ = false;
  bool macroEntry21_ = false;  // the initialisation selected entry 21 before the macro page was built
};

}  // namespace orlix::gui
