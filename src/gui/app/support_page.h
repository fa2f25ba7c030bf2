#pragma once
// The support page (template 139): the driver and firmware version texts, and
// six buttons: the two versions, the maker's web site, restore defaults,
// import and export of a configuration file.

#include <QString>

#include <array>
#include <functional>

#include "core/app/user_notices.h"
#include "core/config/profiles.h"
#include "core/runtime/host_actions.h"
#include "gui/app/skin_page.h"

namespace orlix::gui {

class CGDIBitmapBtn;

// The maker's web site, opened by the web site button.
inline constexpr const char16_t* kWebSiteAddress = u"https://www.ulmora.example/orlix/";
// Version text painted for both the driver and the firmware.
inline constexpr const char* kVersionText = "1.0.0";
// File dialogs of import and export.
inline constexpr const char* kConfigFilter = "CFG Files(*.cfg)";
inline constexpr const char* kConfigSuffix = "cfg";

class CDlgSupport : public SkinPage {
 public:
  enum Button { kDriverVersion, kFirmwareVersion, kWebSite, kRestoreDefaults, kImport, kExport };
  enum class FileDialog { Open, Save };
  // Asks the user for a file; empty when cancelled.
  using FileChooser = std::function<QString(FileDialog)>;

  CDlgSupport(QWidget* parent, Profiles& profiles, UserNotices& notices, HostActions& host);

  CGDIBitmapBtn* button(Button b) const { return buttons_[size_t(b)]; }
  // Replaces the standard file dialogs (tests).
  void setFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
  // The standard file dialogs, with the page's filter and default extension.
  static QString chooseFile(FileDialog which);

  void onDriverVersion();
  void onFirmwareVersion();
  void onWebSite();
  void onRestoreDefaults();
  void onImport();
  void onExport();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent* e) override;

 private:
  Profiles& profiles_;
  UserNotices& notices_;
  HostActions& host_;
  QWidget* parent_;
  std::array<CGDIBitmapBtn*, 6> buttons_{};
  FileChooser chooser_;
};

}  // namespace orlix::gui
