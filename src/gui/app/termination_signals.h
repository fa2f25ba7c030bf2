#pragma once
// SIGTERM, SIGINT and SIGHUP (session end, kill, Ctrl+C in a terminal) turned
// into an ordinary event of the Qt loop, so the program ends through the same
// path as the tray's "Exit": the apply in progress finishes, the keyboard is
// released and nothing is written half.

#include <QObject>

#include <functional>

namespace orlix::gui {

class TerminationSignals : public QObject {
 public:
  // Installs the handlers; `onSignal` runs on the Qt thread once per signal
  // received. Only one instance may exist at a time.
  TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
  ~TerminationSignals() override;

 private:
  std::function<void()> onSignal_;
};

}  // namespace orlix::gui
