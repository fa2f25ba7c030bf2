// The program as a whole on the offscreen platform, against a running virtual
// keyboard daemon: start-up, an apply through the window reaching the
// keyboard's memory, a second copy bringing the first one's window back, and
// the end through the tray's "Exit".

#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "core/config/config_image.h"
#include "core/device/device_commands.h"
#include "core/device/message_target.h"
#include "core/device/vkbd_protocol.h"
#include "gui/app/orlix_config_app.h"
#include "gui/app/orlix_config_dlg.h"
#include "gui/skin/irr_button.h"
#include "platform/vkbd_client.h"

using namespace orlix;
using namespace orlix::gui;
namespace fs = std::filesystem;

namespace {

int runCommand(const std::string& command) {
  int status = std::system((command + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A scratch program folder (the build tree's skins and language files), data
// and settings, and a virtual keyboard daemon of its own.
struct Scratch {
  fs::path dir, socket;
  bool daemon = false;
  Scratch() {
    char tmpl[] = "/tmp/orlix-app-test-XXXXXX";
    dir = ::mkdtemp(tmpl);
    fs::create_directories(dir / "prog");
    fs::create_directory_symlink(fs::path(ORLIX_BIN_DIR) / "skins", dir / "prog/skins");
    fs::create_directory_symlink(fs::path(ORLIX_BIN_DIR) / "Language", dir / "prog/Language");
    socket = dir / "vkbd.sock";
    daemon = runCommand(ctl() + " sim start --state '" + (dir / "state").string() + "'") == 0;
  }
  ~Scratch() {
    runCommand(ctl() + " sim stop");
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string ctl() const {
    return "ORLIX_VKBD_SOCKET='" + socket.string() + "' '" + (fs::path(ORLIX_BIN_DIR) / "orlixctl").string() + "'";
  }
  AppOptions options() const {
    AppOptions o;
    o.simulate = true;  // finds the daemon already running at the socket
    o.driver = "sim:" + socket.string();
    o.root = (dir / "prog").string();
    o.config = (dir / "config").string();
    o.instanceName = "orlix-test-" + std::to_string(::getpid());
    return o;
  }
  std::vector<uint8_t> memory() const {
    platform::VkbdConnection c;
    if (!c.connect(socket)) return {};
    auto r = c.request(vkbd::kDump);
    return r && r->type == vkbd::kMemory ? r->body : std::vector<uint8_t>{};
  }
};

}  // namespace

class TestOrlixApp : public QObject {
  Q_OBJECT

 private slots:
  void commandLine() {
    AppOptions o = parseAppOptions({"orlix", "--simulate", "--show", "--driver", "sim:/x", "--root=/r", "--config", "/c"});
    QVERIFY(o.simulate && o.show);
    QCOMPARE(o.driver, std::string("sim:/x"));
    QCOMPARE(o.root, std::string("/r"));
    QCOMPARE(o.config, std::string("/c"));
    QVERIFY(o.error.empty());
    QVERIFY(!parseAppOptions({"orlix", "--bogus"}).error.empty());
    QVERIFY(!parseAppOptions({"orlix", "--root"}).error.empty());
    // An unknown driver is an error, as in orlixctl, not the virtual keyboard.
    QCOMPARE(parseAppOptions({"orlix", "--driver", "simulate"}).error,
             std::string("unknown driver 'simulate' (auto, sim[:SOCKET] or hidraw[:DEVICE])"));
    QVERIFY(parseAppOptions({"orlix", "--driver=hidraw:hidraw3"}).error.empty());
  }

  void applySecondCopyAndExit() {
    Scratch scratch;
    QVERIFY(scratch.daemon);
    COrlixConfigApp app(scratch.options());
    QCOMPARE(app.start(), -1);
    COrlixConfigDlg* w = app.mainWindow();
    QVERIFY(w);
    QVERIFY(fs::exists(scratch.dir / "prog/Profile/Profile1.cfg"));
    QVERIFY(app.startupMicros() > 0);

    // An apply through the window writes the key table into the keyboard.
    w->show();
    CIrrButton* apply = w->applyButton();
    QTest::mouseClick(apply, Qt::LeftButton, {}, apply->regionCentre() - apply->pos());
    auto expected = device::keyTableImage(defaultKeyTable());
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
          auto m = scratch.memory();
          return m.size() == 65536 &&
                 std::equal(expected.begin(), expected.end(), m.begin() + device::kKeyTableAddress);
        }(),
        20000);
    QTRY_VERIFY_WITH_TIMEOUT(!w->core().applying(), 20000);

    // A second copy ends at once and the first one's window comes back.
    w->onClose();
    QVERIFY(!w->isVisible());
    COrlixConfigApp second(scratch.options());
    QCOMPARE(second.start(), 0);
    QVERIFY(second.secondCopy());
    QVERIFY(!second.mainWindow());
    QTRY_VERIFY(w->isVisible());

    // "Exit" ends the program: pages gone, no main window any more.
    w->post(app::kCommand, app::kCommandExit, 0);
    QTRY_VERIFY(w->core().closed());
    QVERIFY(!windows::exists(kMainWindowTitle));
  }
};

QTEST_MAIN(TestOrlixApp)
#include "tst_orlix_app.moc"
