#include "gui/app/support_page.h"

#include <QFileDialog>
#include <QMouseEvent>
#include <QPainter>

#include <cerrno>
#include <cstring>

#include "core/device/messages.h"
#include "core/localization/language_strings.h"
#include "core/runtime/key_action_runtime.h"
#include "core/skin/window_geometry.h"
#include "core/util/utf8_utf16.h"
#include "gui/qt_text.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

namespace sp = skin::support_page;

namespace {
constexpr std::array<Rect, 6> kRects{sp::kDriverVersion, sp::kFirmwareVersion, sp::kWebSite,
                                     sp::kRestoreDefaults, sp::kImport,        sp::kExport};
constexpr std::array<int, 6> kHints{sp::kDriverHint,  sp::kFirmwareHint, sp::kWebHint,
                                    sp::kRestoreHint, sp::kImportHint,   sp::kExportHint};
const QColor kVersionColour(193, 210, 238);

// The platform's text for a file error, as the user reads it.
QString reasonText(FileError e) {
  switch (e) {
    case FileError::NotFound: return QString::fromLocal8Bit(std::strerror(ENOENT));
    case FileError::AccessDenied: return QString::fromLocal8Bit(std::strerror(EACCES));
    default: return QString::fromLocal8Bit(std::strerror(EIO));
  }
}
}  // namespace

CDlgSupport::CDlgSupport(QWidget* parent, Profiles& profiles, UserNotices& notices, HostActions& host)
    : SkinPage(skin::kSupportPage, parent), profiles_(profiles), notices_(notices), host_(host), parent_(parent) {
  chooser_ = &CDlgSupport::chooseFile;
  using Handler = void (CDlgSupport::*)();
  constexpr std::array<Handler, 6> kHandlers{&CDlgSupport::onDriverVersion, &CDlgSupport::onFirmwareVersion,
                                             &CDlgSupport::onWebSite,       &CDlgSupport::onRestoreDefaults,
                                             &CDlgSupport::onImport,        &CDlgSupport::onExport};
  for (size_t i = 0; i < buttons_.size(); ++i) {
    auto* b = new CGDIBitmapBtn(this);
    b->create(QString(), toQRect(kRects[i]), this);
    whenSkinned([this, b, i] { b->setImages(normalLook(), overLook(), downLook(), normalLook(), kRects[i]); });
    Handler h = kHandlers[i];
    // Queued: a handler may run a modal dialog, which must not start inside the
    // button's own mouse handling.
    QObject::connect(b, &CGDIBitmapBtn::clicked, this, [this, h] { (this->*h)(); }, Qt::QueuedConnection);
    buttons_[i] = b;
  }
}

QString CDlgSupport::chooseFile(FileDialog which) {
  QFileDialog dialog(nullptr);
  dialog.setNameFilter(QString::fromLatin1(kConfigFilter));
  dialog.setDefaultSuffix(QString::fromLatin1(kConfigSuffix));
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (which == FileDialog::Save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

void CDlgSupport::onDriverVersion() {
  notices_.showInfo(std::u16string(localization::builtIn(u"驱动已经是最新版本.", u"Drive is the latest version.")));
}

void CDlgSupport::onFirmwareVersion() {
  notices_.showInfo(
      std::u16string(localization::builtIn(u"固件已经是最新版本.", u"Fireware is the latest version.")));
}

void CDlgSupport::onWebSite() { host_.open(kWebSiteAddress); }

void CDlgSupport::onRestoreDefaults() {
  auto text = localization::builtIn(u"确定要恢复默认设置?", u"Do you want to restore the default setting?");
  if (notices_.showInfo(std::u16string(text), true) != NoticeResult::Ok) return;
  if (auto* target = targetOf(parent_)) target->post(msg::kRestoreDefaults, 0, 0);
}

void CDlgSupport::onImport() {
  QString path = chooser_(FileDialog::Open);
  if (path.isEmpty()) return;
  if (!profiles_.importConfiguration(path.toStdString())) return;
  // Keys that start programs or open files came with the file: the user learns
  // of them before an apply lets the keyboard report their presses.
  auto hostKeys = runtime::hostFunctionKeys(profiles_.image());
  if (hostKeys.empty()) return;
  std::string text = "The imported configuration has keys that run a host function when pressed:";
  for (const auto& k : hostKeys) text += "\n" + runtime::describe(k);
  notices_.showInfo(utf8ToUtf16(text));
}

void CDlgSupport::onExport() {
  QString path = chooser_(FileDialog::Save);
  if (path.isEmpty()) return;
  FileError e = profiles_.exportConfiguration(path.toStdString());
  if (e != FileError::None) notices_.messageBox(toU16String(path + QStringLiteral("\n") + reasonText(e)), u"Error");
}

void CDlgSupport::paintEvent(QPaintEvent* e) {
  SkinPage::paintEvent(e);
  QPainter p(this);
  QFont font = pointFont(12);
  p.setFont(font);
  p.setPen(kVersionColour);
  QString text = QStringLiteral("V %1").arg(QString::fromLatin1(kVersionText));
  p.drawText(toQRect(sp::kFirmwareText), Qt::AlignLeft | Qt::AlignTop, text);
  p.drawText(toQRect(sp::kDriverText), Qt::AlignLeft | Qt::AlignTop, text);
}

void CDlgSupport::mouseMoveEvent(QMouseEvent* e) {
  QPoint pt = e->position().toPoint();
  for (size_t i = 0; i < kRects.size(); ++i)
    if (buttons_[i]->geometry().adjusted(-1, -1, 1, 1).contains(pt)) postHint(kHints[i]);
  e->accept();
}

}  // namespace orlix::gui
