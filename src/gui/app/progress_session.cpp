#include "gui/app/progress_session.h"

#include "gui/app/progress_dlg.h"

namespace orlix::gui {

namespace {
class DialogProgress : public app::ProgressSession {
 public:
  explicit DialogProgress(QWidget* parent) : dialog_(parent) {}
  MessageTarget& target() override { return dialog_; }
  void run() override { dialog_.exec(); }

 private:
  CProgressDlg dialog_;
};
}  // namespace

std::unique_ptr<app::ProgressSession> makeProgressSession(QWidget* parent) {
  return std::make_unique<DialogProgress>(parent);
}

}  // namespace orlix::gui
