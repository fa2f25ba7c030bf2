#include <unistd.h>

#include <iostream>
#include <mutex>

#include "cli/commands.h"
#include "cli/config_session.h"
#include "core/device/apply.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/lighting/lighting_model.h"

namespace orlix::cli {

namespace {

// Registers the command's main window under the title other parts look for.
struct MainWindow {
  MessageQueue queue;
  MainWindow() { windows::registerTarget(kMainWindowTitle, &queue); }
  ~MainWindow() { windows::unregisterTarget(&queue); }
};

// The progress dialog of the apply, drawn as a bar when the error stream is a terminal.
class ProgressBar {
 public:
  explicit ProgressBar(Context& ctx) : ctx_(ctx), on_(&ctx.err == &std::cerr && ::isatty(2)) {}
  void set(uintptr_t percent) {
    if (!on_) return;
    size_t p = percent <= 100 ? percent : 0;
    ctx_.err << "\rWriting to the keyboard [" << std::string(p / 4, '#') << std::string(25 - p / 4, ' ') << "] "
             << p << "%" << std::flush;
    shown_ = true;
  }
  void close() {
    if (shown_) ctx_.err << "\n";
    shown_ = false;
  }

 private:
  Context& ctx_;
  bool on_;
  bool shown_ = false;
};

int cmdApply(Context& ctx, std::span<const std::string> args) {
  std::optional<long> profile;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--profile" && i + 1 < args.size()) {
      profile = parseInteger(args[++i], 1, 5);
      if (!profile) return fail(ctx, "--profile takes 1..5", kExitUsage);
    } else {
      return fail(ctx, "usage: orlixctl apply [--profile N]", kExitUsage);
    }
  }
  Session s(ctx);
  if (!s.open(true)) return kExitFailure;
  auto keyboard = connectKeyboard(ctx);
  if (!keyboard) return kExitFailure;
  if (profile) s.profiles->switchProfile(int(*profile - 1));
  int rc = runApply(s, *keyboard);
  if (rc == kExitOk) ctx.out << "applied profile " << s.profiles->current() + 1 << "\n";
  return rc;
}

}  // namespace

int runApply(Session& s, Keyboard& keyboard) {
  MainWindow main;
  std::mutex applyLock;
  ApplyContext actx{*s.image, *keyboard.channel, realPacer(), applyLock};
  ProgressBar bar(s.ctx);
  // The progress dialog's messages (0x42B, WM_CLOSE) share the queue with the
  // main window's: their numbers do not meet.
  std::thread worker = startApply(actx, main.queue);
  // The worker posts its result before it closes the progress, into the same queue.
  bool closed = false, succeeded = false;
  while (!closed) {
    auto m = main.queue.take(std::chrono::milliseconds(1000));
    if (!m) continue;
    switch (m->id) {
      case msg::kLightingSend:
      {
        lighting::sendLighting(*keyboard.channel, *s.image, m->wParam, m->lParam);
        bar.close();  // a message of the save must not land on the bar's line
        std::lock_guard entries(actx.keyTableLock);  // the worker changes key table entries
        s.profiles->saveProfile();
        break;
      }
      case msg::kProgress:
        bar.set(m->wParam);
        break;
      case msg::kClose:
        closed = true;
        bar.close();
        break;
      case msg::kApplyDone:
        succeeded = true;
        bar.close();
        s.profiles->saveProfileTableAndProfile();
        break;
      case msg::kApplyFailed:
        bar.close();
        s.notices.showInfo(u"Setting Error");
        break;
    }
  }
  worker.join();
  return succeeded ? kExitOk : kExitSettingError;
}

void addApplyCommands(CommandTable& t) {
  t.push_back({"apply", "apply [--profile N]",
               "write the current profile (or profile N, made current) and its macros into the keyboard", cmdApply});
}

}  // namespace orlix::cli
