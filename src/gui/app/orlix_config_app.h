#pragma once
// COrlixConfigApp: the program's start-up. Makes sure one copy runs (a second
// copy asks the first to show its window and ends), finds the program folder,
// loads the default language, builds the default key table, installs the key
// hook, then creates the main window hidden and runs it until it closes.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include "platform/single_instance.h"

namespace orlix::gui {

class COrlixConfigDlg;

struct AppOptions {
  bool simulate = false;       // --simulate: use (and start) the virtual keyboard
  std::string driver = "auto"; // --driver auto|sim[:SOCKET]|hidraw[:DEVICE]
  std::string root;            // --root DIR: the program folder
  std::string config;          // --config DIR: the settings folder
  bool show = false;           // --show: show the window at start
  std::string instanceName;    // name of the single-instance lock (tests); the program's by default
  bool help = false;
  std::string error;           // a bad command line
};

// Reads the options; unknown arguments set error.
AppOptions parseAppOptions(const QStringList& arguments);
QString usageText();

class COrlixConfigApp {
 public:
  explicit COrlixConfigApp(AppOptions options);
  ~COrlixConfigApp();

  // The start-up up to the main window's initialisation. Returns the exit code
  // when the program is to end now (a second copy, a bad command line), else
  // nothing more to do than run().
  int start();
  // Runs the main window's loop; the exit code.
  int run();
  // The program's single-instance lock, already taken by this copy (so that
  // start() does not take it again).
  void adoptInstance(std::unique_ptr<platform::SingleInstance> first);
  // True when start() found another copy running.
  bool secondCopy() const { return secondCopy_; }
  COrlixConfigDlg* mainWindow() const;

  // Microseconds from the program's start to the end of the window's
  // initialisation (printed with ORLIX_STARTUP_REPORT set).
  int64_t startupMicros() const { return startupMicros_; }

 private:
  struct Parts;
  AppOptions options_;
  std::unique_ptr<Parts> parts_;
  bool secondCopy_ = false;
  int64_t startupMicros_ = 0;
};

// Picks the window platform for the desktop the program starts on; called
// before the QApplication exists. A QT_QPA_PLATFORM set by the user wins.
void chooseDesktopPlatform();

// The whole program: QApplication, start-up, loop.
int runOrlix(int argc, char** argv);

}  // namespace orlix::gui
