#include "gui/app/gui_notices.h"

#include <QMessageBox>

#include "gui/app/info_dlg.h"
#include "gui/qt_text.h"

namespace orlix::gui {

NoticeResult GuiNotices::showInfo(const std::u16string& text, bool twoButtons) {
  CInfoDlg dlg(parent_);
  dlg.setText(toQString(text));
  dlg.setTwoButtons(twoButtons);
  return dlg.exec() == QDialog::Accepted ? NoticeResult::Ok : NoticeResult::Cancel;
}

NoticeResult GuiNotices::messageBox(const std::u16string& text, const std::u16string& caption, bool okCancel) {
  QString c = toQString(caption);
  QMessageBox::Icon icon = c == QLatin1String("Warning") ? QMessageBox::Warning
                           : c == QLatin1String("Error") ? QMessageBox::Critical
                                                         : QMessageBox::Information;
  QMessageBox box(icon, c, toQString(text), okCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
                  parent_);
  return box.exec() == QMessageBox::Ok ? NoticeResult::Ok : NoticeResult::Cancel;
}

void GuiNotices::showTimedInfo(const std::u16string& text, int) {
  CInfoDlg dlg(parent_);
  dlg.setText(toQString(text));
  dlg.setTimed(true);
  dlg.exec();
}

}  // namespace orlix::gui
