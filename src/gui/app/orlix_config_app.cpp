#include "gui/app/orlix_config_app.h"

#include <malloc.h>

#include <QApplication>
#include <QDBusConnection>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "core/app/main_window_core.h"
#include "core/config/config_image.h"
#include "core/config/config_sync.h"
#include "core/config/profiles.h"
#include "core/device/driver_channel.h"
#include "core/device/messages.h"
#include "core/device/pacer.h"
#include "core/localization/language_strings.h"
#include "core/localization/languages.h"
#include "core/keys/key_picture_map.h"
#include "core/macros/macro_library.h"
#include "gui/app/device_link.h"
#include "gui/app/key_catch.h"
#include "gui/app/orlix_config_dlg.h"
#include "gui/app/termination_signals.h"
#include "gui/app/gui_notices.h"
#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "gui/skin/irr_button.h"
#include "gui/skin/skin_images.h"
#include "platform/data_folder_lock.h"
#include "platform/disk_file_store.h"
#include "platform/file_registry.h"
#include "platform/driver_select.h"
#include "platform/host_actions.h"
#include "platform/paths.h"
#include "platform/single_instance.h"
#include "platform/xtest_key_injector.h"

namespace orlix::gui {

namespace fs = std::filesystem;

namespace {
using Clock = std::chrono::steady_clock;
// How long the window program waits for the data folder's lock on its own
// thread: orlixctl holds it for milliseconds, except through its apply.
constexpr int kFolderLockWaitMs = 3000;
Clock::time_point& processStart() {
  static Clock::time_point start = Clock::now();
  return start;
}

// The updater, started once per start while the keyboard is present: the
// program ulmora_update/UlmoraUpdate in the program folder, else UlmoraUpdate
// on PATH; a missing one is ignored.
void startUpdater(const fs::path& programFolder) {
  fs::path local = programFolder / "ulmora_update" / "UlmoraUpdate";
  std::error_code ec;
  if (fs::is_regular_file(local, ec)) {
    platform::startDetached(local, {local.string()});
    return;
  }
  if (auto found = platform::findExecutable("UlmoraUpdate")) platform::startDetached(*found, {found->string()});
}

std::u16string missingText(std::string_view key) {
  auto k = localization::stringKeyFromName(key);
  return k ? localization::str(*k) : std::u16string();
}
}  // namespace

AppOptions parseAppOptions(const QStringList& arguments) {
  AppOptions o;
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& a = arguments[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= arguments.size()) {
        o.error = a.toStdString() + " needs a value";
        return;
      }
      into = arguments[++i].toStdString();
    };
    if (a == "--simulate") o.simulate = true;
    else if (a == "--show") o.show = true;
    else if (a == "--driver") value(o.driver);
    else if (a == "--root") value(o.root);
    else if (a == "--config") value(o.config);
    else if (a == "--instance") value(o.instanceName);
    else if (a == "-h" || a == "--help") o.help = true;
    else if (a.startsWith("--driver=")) o.driver = a.mid(9).toStdString();
    else if (a.startsWith("--root=")) o.root = a.mid(7).toStdString();
    else if (a.startsWith("--config=")) o.config = a.mid(9).toStdString();
    else o.error = "unknown argument " + a.toStdString();
    if (!o.error.empty()) break;
  }
  std::string driverError;
  if (o.error.empty() && !platform::parseDriver(o.driver, o.simulate, driverError)) o.error = driverError;
  return o;
}

QString usageText() {
  return QStringLiteral(
      "usage: orlix [--simulate] [--show] [--driver auto|sim[:SOCKET]|hidraw[:DEVICE]] [--root DIR] [--config DIR]\n"
      "  --simulate  use the virtual keyboard, starting orlix-vkbd when none runs\n"
      "  --show      show the window at start (otherwise it shows only when the system\n"
      "              has been up for more than five minutes, and stays in the tray before)\n"
      "  --driver    how the keyboard is reached (default auto: the keyboard, else the virtual one)\n"
      "  --root      the program folder (skins/, Language/, Profile/)\n"
      "  --config    the settings folder\n");
}

struct COrlixConfigApp::Parts {
  std::unique_ptr<platform::SingleInstance> instance;
  QSocketNotifier* instanceNotifier = nullptr;
  fs::path programFolder, dataFolder;
  std::unique_ptr<DeviceLink> link;
  std::unique_ptr<ConfigImage> image;
  std::unique_ptr<DriverChannel> channel;
  platform::DiskFileStore files;
  std::unique_ptr<platform::FileRegistry> registry;
  GuiNotices notices;
  std::unique_ptr<platform::LinuxHostActions> host;
  std::unique_ptr<Profiles> profiles;
  std::unique_ptr<macros::MacroLibrary> macros;
  std::unique_ptr<platform::DataFolderLock> folderLock;
  std::unique_ptr<ConfigSync> sync;
  std::unique_ptr<keys::KeyInjector> keyInjector;
  std::unique_ptr<COrlixConfigDlg> window;
};

COrlixConfigApp::COrlixConfigApp(AppOptions options) : options_(std::move(options)), parts_(std::make_unique<Parts>()) {
  processStart();
}

COrlixConfigApp::~COrlixConfigApp() {
  // The event thread posts to the window: it ends before the window goes (a
  // post may be under way at any moment). Then the window, whose pages and
  // tray go before the services they use.
  if (parts_->channel) parts_->channel->stopEvents();
  parts_->window.reset();
  parts_->channel.reset();
}

void COrlixConfigApp::adoptInstance(std::unique_ptr<platform::SingleInstance> first) {
  parts_->instance = std::move(first);
}

COrlixConfigDlg* COrlixConfigApp::mainWindow() const { return parts_->window.get(); }

int COrlixConfigApp::start() {
  Parts& p = *parts_;
  // One copy: a second one asks the first to show its window and ends.
  std::string name = options_.instanceName.empty() ? std::string(platform::kInstanceName) : options_.instanceName;
  if (p.instance) {
    // Taken before the application object was made.
  } else if (p.instance = std::make_unique<platform::SingleInstance>(name);
             p.instance->acquire() == platform::SingleInstance::Result::Second) {
    secondCopy_ = true;
    platform::SingleInstance::signalFirst(platform::kShowWindowWord, name);
    return 0;
  }

  p.programFolder = platform::programFolder(options_.root);
  setProgramFolder(QString::fromStdString(p.programFolder.string()));
  // The main window, its icon and its first page need these; they decode on
  // a second core while the configuration loads. The buttons' Over and Down
  // looks are cut there too, straight from their bitmaps, which are never
  // decoded whole: of those only the pieces under the buttons are ever shown.
  QList<QRect> keyPieces;
  for (const auto& key : keys::keyPictureMap()) keyPieces << toQRect(key.rect);
  namespace mf = skin::main_frame;
  QList<QRect> framePieces{toQRect(mf::kMinimize), toQRect(mf::kClose), toQRect(mf::kLanguage),
                           CIrrButton::boxOf(mf::kApply)};
  for (const auto& quad : mf::kTabs) framePieces << CIrrButton::boxOf(quad);
  for (const auto& quad : mf::kProfiles) framePieces << CIrrButton::boxOf(quad);
  // In the order the window takes them.
  prefetchBitmapFiles({{skinPath(skin::kMainFrame.normal)},
                       {skinPath(skin::kMainFrame.over), false, framePieces},
                       {skinPath(skin::kMainFrame.down), false, framePieces},
                       {skinPath(skin::kKeyboardPage.normal), true, keyPieces},
                       {skinPath(skin::kKeyboardPage.over), false, keyPieces},
                       {skinPath(skin::kKeyboardPage.down), false, keyPieces}},
                      skinPath(skin::kMainFrame.normal), skin::resource::kProgramIcon);
  localization::languageStrings().LoadLanguageFile(
      localization::languageFilePath(p.programFolder, *localization::languageById(localization::kLanguageChinese)));

  p.image = makeConfigImage();
  initialiseDefaults(*p.image);
  installhook();

  // Where profiles and the macro library live; an installation provides the
  // Profile folder and an empty Macro.cfg, so a fresh data folder gets them.
  p.dataFolder = platform::preparedDataFolder(p.programFolder);
  platform::ensureFolder(p.dataFolder / "Profile");
  std::string macroPath = (p.dataFolder / macros::kMacroFileName).string();
  if (!p.files.exists(macroPath)) p.files.write(macroPath, std::vector<uint8_t>(macros::kMacroFileSize, 0));

  p.link = std::make_unique<DeviceLink>(DeviceLinkOptions{options_.simulate, options_.driver});
  if (!p.link->error().empty()) std::fprintf(stderr, "orlix: %s\n", p.link->error().c_str());
  p.channel = std::make_unique<DriverChannel>(p.link->endpoint(), p.link->hidLibrary());
  p.registry = std::make_unique<platform::FileRegistry>(platform::configFolder(options_.config));
  p.host = std::make_unique<platform::LinuxHostActions>(p.programFolder);
  p.profiles = std::make_unique<Profiles>(*p.image, p.files, *p.registry, p.notices, p.dataFolder.string());
  TextSource texts{missingText, [] { return localization::languageFlag() != 0; }};
  p.macros = std::make_unique<macros::MacroLibrary>(*p.image, p.files, macroPath, p.notices, texts, realPacer());
  // orlixctl changes the same files: saves and applies take the folder's lock
  // and take up what it stored first.
  p.folderLock = std::make_unique<platform::DataFolderLock>(p.dataFolder, kFolderLockWaitMs);
  p.sync = std::make_unique<ConfigSync>(*p.image, *p.profiles, p.files, *p.registry, macroPath, *p.folderLock,
                                        p.notices, texts);
  p.profiles->setWriteGuard(p.sync.get());
  p.macros->setWriteGuard(p.sync.get());

  ProgramServices services{*p.image,   *p.channel, realPacer(), *p.profiles, *p.macros,
                           *p.host,    p.notices,  *p.registry, p.programFolder};
  DeviceLink* link = p.link.get();
  services.keyboardPresent = [link] { return link->keyboardPresent(); };
  fs::path folder = p.programFolder;
  services.startUpdater = [folder] { startUpdater(folder); };
  services.monitor = &p.link->monitor();
  p.keyInjector = platform::makeSessionKeyInjector();
  services.keyInjector = p.keyInjector.get();
  services.sync = p.sync.get();
  MainWindowOptions windowOptions;
  windowOptions.forceShow = options_.show;
  p.window = std::make_unique<COrlixConfigDlg>(std::move(services), std::move(windowOptions));
  p.notices.setOwner(p.window.get());

  // A second copy's word brings the window to the front, as a tray
  // double-click; orlixctl's says it stored a change.
  if (p.instance->fd() >= 0) {
    p.instanceNotifier = new QSocketNotifier(p.instance->fd(), QSocketNotifier::Read, p.window.get());
    platform::SingleInstance* instance = p.instance.get();
    COrlixConfigDlg* window = p.window.get();
    QObject::connect(p.instanceNotifier, &QSocketNotifier::activated, window, [instance, window] {
      for (const std::string& word : instance->drain())
        if (word == platform::kShowWindowWord) window->post(msg::kTrayNotify, 0, app::kTrayDoubleClick);
        else if (word == platform::kReloadWord) window->post(app::kTakeUpStored, 0, 0);
    });
  }

  // A termination signal ends the program as the tray's "Exit" does.
  COrlixConfigDlg* window = p.window.get();
  new TerminationSignals([window] { window->post(app::kClose, 0, 0); }, window);

  p.window->initialise();
  startupMicros_ =
      std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - processStart()).count();
  if (std::getenv("ORLIX_STARTUP_REPORT"))
    std::fprintf(stderr, "orlix: initialised in %lld us\n", static_cast<long long>(startupMicros_));
  return -1;
}

int COrlixConfigApp::run() {
  // Start-up decodes and drops large images; once the loop has turned and the
  // window shows, the heap's free pages go back to the system.
  QTimer::singleShot(0, [] {
    dropPrefetchedBitmaps();
    malloc_trim(0);
  });
  return QApplication::exec();
}

namespace {
// What the first window needs from the desktop, fetched on another core while
// the configuration loads: the session bus connection that the tray icon asks
// first (which can mean starting a bus launcher and waiting for it to fail),
// and the font list its first text needs (fontconfig reading its configuration
// and caches). Both are shared, thread-safe and kept once made; the main
// thread waits only for what is not ready yet when it gets there.
class DesktopWarmUp {
 public:
  DesktopWarmUp() {
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("xcb") && platform != QLatin1String("wayland")) return;
    thread_ = std::thread([] {
      QDBusConnection::sessionBus();
      QFontDatabase::families();
    });
  }
  ~DesktopWarmUp() {
    if (thread_.joinable()) thread_.join();
  }
  DesktopWarmUp(const DesktopWarmUp&) = delete;
  DesktopWarmUp& operator=(const DesktopWarmUp&) = delete;

 private:
  std::thread thread_;
};
}  // namespace

void chooseDesktopPlatform() {
  // A Wayland session gets a Wayland window: its shaped windows are drawn with
  // per-pixel alpha, its menus are pop-ups and its dialogs transient windows of
  // their owner, which the compositor places. Without the Wayland plugin, the
  // session's X server (XWayland) takes it.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    // The programs it starts for key actions are not bound by that choice.
    platform::restoreInChildren("QT_QPA_PLATFORM", std::nullopt);
    qputenv("QT_QPA_PLATFORM", "wayland;xcb");
  }
}

int runOrlix(int argc, char** argv) {
  processStart();
  // Large buffers (skin images, configuration images) come straight from the
  // system and go straight back when freed, instead of raising the threshold
  // and staying in the heap for the program's life.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  // Before any window-system work: --help needs no display, and a second copy
  // hands its word to the first and ends within milliseconds. A command line
  // this cannot read (one with Qt's own options) is read again below.
  QStringList early;
  for (int i = 0; i < argc; ++i) early << QString::fromLocal8Bit(argv[i]);
  const AppOptions earlyOptions = parseAppOptions(early);
  if (earlyOptions.help) {
    std::fputs(usageText().toLocal8Bit().constData(), stdout);
    return 0;
  }
  std::unique_ptr<platform::SingleInstance> first;
  if (earlyOptions.error.empty()) {
    const std::string name =
        earlyOptions.instanceName.empty() ? std::string(platform::kInstanceName) : earlyOptions.instanceName;
    first = std::make_unique<platform::SingleInstance>(name);
    if (first->acquire() == platform::SingleInstance::Result::Second) {
      platform::SingleInstance::signalFirst(platform::kShowWindowWord, name);
      return 0;
    }
  }
  chooseDesktopPlatform();
  platform::skipAbsentBusLauncher();
  QApplication qapp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("orlix"));
  QApplication::setQuitOnLastWindowClosed(false);
  AppOptions options = parseAppOptions(QApplication::arguments());
  if (options.help) {
    std::fputs(usageText().toLocal8Bit().constData(), stdout);
    return 0;
  }
  if (!options.error.empty()) {
    std::fprintf(stderr, "orlix: %s\n%s", options.error.c_str(), usageText().toLocal8Bit().constData());
    return 2;
  }
  DesktopWarmUp warmUp;
  COrlixConfigApp app(options);
  if (first && options.instanceName == earlyOptions.instanceName) app.adoptInstance(std::move(first));
  first.reset();
  int code = app.start();
  if (code >= 0) return code;
  return app.run();
}

}  // namespace orlix::gui
