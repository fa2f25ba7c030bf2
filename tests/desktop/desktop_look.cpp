// orlix-desktop-look: runs the window program on the desktop it is started on
// (QT_QPA_PLATFORM, WAYLAND_DISPLAY or DISPLAY as the program itself takes
// them), opens each window a person can see in turn, and has each one
// photographed by the desktop's screenshot program.
//
//   orlix-desktop-look --root DIR --instance NAME --shot PROGRAM --out DIR [--only NAME]...
//
// PROGRAM is called with one argument, the picture to write. Prints
// "SHOT <name> <picture>" for each window. Fails (exit 1) when a window did not
// show, or when its picture is the same as the one before it (the screenshot
// missed the window).
//
// Windows of more pages belong in sights(): a name, how to open the window,
// how to find it once it is there (polled), how to close it again, and the
// pictures in it whose content is colour (a palette's wheel, colour swatches).
// Those are left out of the count: for the picture they are covered with
// grey, which works on every desktop without knowing where the window is.
//
// Modal windows are opened the way a click opens them: from a zero timer, so
// that their own event loop runs the tour on until they are closed.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPalette>
#include <QPointer>
#include <QProcess>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <vector>

#include "core/device/messages.h"
#include "gui/app/info_dlg.h"
#include "gui/app/orlix_config_app.h"
#include "gui/app/orlix_config_dlg.h"
#include "gui/app/progress_dlg.h"
#include "core/lighting/lighting_model.h"
#include "core/skin/window_geometry.h"
#include "gui/keys/main_set_dlg.h"
#include "gui/keys/setting_dlg.h"
#include "gui/lighting/dlg_led_main.h"
#include "gui/lighting/effect_pages.h"
#include "gui/lighting/palette_dlg.h"
#include "gui/macros/macro_dlg.h"
#include "gui/skin/color_btn.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/irr_button.h"
#include "gui/skin/menu_skin.h"
#include "gui/skin/skin_images.h"

using namespace orlix::gui;

namespace {

using Window = COrlixConfigDlg;

// A picture whose content is colour: all of widget, or area of it.
struct ColourPicture {
  QWidget* widget;
  QRect area = {};
};

struct Sight {
  QString name;
  std::function<void(Window&)> open;
  // The window to photograph once it shows; nullptr while it is not there.
  std::function<QWidget*(Window&)> find;
  std::function<void(Window&)> close;
  // Widgets showing colour as their content; none by default.
  std::function<std::vector<ColourPicture>(Window&)> colourPictures = nullptr;
};

QWidget* visibleTitled(const QString& title) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->windowTitle() == title) return w;
  return nullptr;
}

template <class Dialog>
Dialog* visibleDialog(const QString& title) {
  return qobject_cast<Dialog*>(visibleTitled(title));
}

const QString kEffectTitles[6] = {QStringLiteral("CDlgLedSeven"),  QStringLiteral("CDlgLedStrength"),
                                  QStringLiteral("CDlgLedWave"),   QStringLiteral("CDlgLedBreath"),
                                  QStringLiteral("CDlgLedSingle"), QStringLiteral("CDlgLedAlways")};
const QString kPaletteTitle = QStringLiteral("CPaletteDlg");
constexpr int always = orlix::lighting::kButtonAlwaysOn;

// Opens effect page `button` as its button on the lighting page does.
void clickEffectButton(Window& w, int button) {
  w.showPage(Window::kLightingPage);
  QTimer::singleShot(0, &w, [&w, button] { emit w.lightingPage()->effectButton(button)->clicked(); });
}

void cancelEffectPage(int button) {
  if (auto* page = visibleDialog<CDlgLedEffect>(kEffectTitles[button])) emit page->cancelButton()->clicked();
}

std::vector<Sight> sights() {
  std::vector<Sight> list;
  auto page = [&](const char* name, int number) {
    list.push_back({QString::fromLatin1(name), [number](Window& w) { w.showPage(number); },
                    [number](Window& w) -> QWidget* { return w.currentPage() == number && w.isVisible() ? &w : nullptr; },
                    [](Window&) {}});
  };
  page("keyboard-page", Window::kKeyboardPage);
  page("lighting-page", Window::kLightingPage);
  page("macro-page", Window::kMacroPage);
  page("support-page", Window::kSupportPage);
  list.push_back({QStringLiteral("language-menu"),
                  [](Window& w) {
                    w.showPage(Window::kKeyboardPage);
                    w.onLanguage();
                  },
                  [](Window& w) -> QWidget* {
                    QWidget* m = w.languageMenu();
                    return m && m->isVisible() ? m : nullptr;
                  },
                  [](Window& w) {
                    if (QWidget* m = w.languageMenu()) m->close();
                  }});
  list.push_back({QStringLiteral("game-menu"),
                  [](Window& w) {
                    w.showPage(Window::kMacroPage);
                    emit w.macroPage()->gameButton()->clicked();
                  },
                  [](Window& w) { return openMenuEx(w.macroPage()); },
                  [](Window& w) { w.macroPage()->ClosePopupMenu(); }});
  list.push_back({QStringLiteral("info-dialog"),
                  [](Window& w) {
                    w.showPage(Window::kKeyboardPage);
                    auto* dlg = new CInfoDlg(&w);
                    dlg->setAttribute(Qt::WA_DeleteOnClose);
                    dlg->setText(QStringLiteral("Setting Error"));
                    dlg->open();
                  },
                  [](Window&) { return visibleTitled(CInfoDlg::kTitle); },
                  [](Window&) {
                    if (QWidget* d = visibleTitled(CInfoDlg::kTitle)) d->close();
                  }});
  // The dialog an apply shows, held at 40 %: an apply on the virtual keyboard
  // ends before a screenshot is taken.
  list.push_back({QStringLiteral("progress-dialog"),
                  [](Window& w) {
                    w.showPage(Window::kKeyboardPage);
                    auto* dlg = new CProgressDlg(&w);
                    dlg->setAttribute(Qt::WA_DeleteOnClose);
                    dlg->post(orlix::msg::kProgress, 40);
                    dlg->open();
                  },
                  [](Window&) { return visibleTitled(CProgressDlg::kTitle); },
                  [](Window&) { orlix::gui::postToWindow(CProgressDlg::kTitle, orlix::msg::kClose); }});
  // The key setting panel of the keyboard page's first key, on each tab.
  const std::pair<const char*, int> tabs[3] = {
      {"setting-combination", 0}, {"setting-macro", 1}, {"setting-base", 2}};
  for (const auto& [name, tab] : tabs)
    list.push_back({QString::fromLatin1(name),
                    [](Window& w) {
                      w.showPage(Window::kKeyboardPage);
                      QTimer::singleShot(0, &w, [&w] { w.keyboardPage()->onKeyClicked(0); });
                    },
                    [tab = tab](Window&) -> QWidget* {
                      auto* panel = visibleDialog<CSettingDlg>(CSettingDlg::kTitle);
                      if (panel && !panel->tabButton(tab)->isChecked()) emit panel->tabButton(tab)->clicked();
                      return panel;
                    },
                    [](Window&) {
                      if (auto* panel = visibleDialog<CSettingDlg>(CSettingDlg::kTitle))
                        emit panel->closeButton()->clicked();
                    }});
  const std::pair<const char*, int> effects[6] = {
      {"effect-always", orlix::lighting::kButtonAlwaysOn}, {"effect-breathing", orlix::lighting::kButtonBreathing},
      {"effect-seven", orlix::lighting::kButtonSeven},     {"effect-single", orlix::lighting::kButtonSingle},
      {"effect-strength", orlix::lighting::kButtonStrength}, {"effect-wave", orlix::lighting::kButtonWave}};
  for (const auto& [name, button] : effects)
    list.push_back({QString::fromLatin1(name), [button = button](Window& w) { clickEffectButton(w, button); },
                    [button = button](Window&) { return visibleTitled(kEffectTitles[button]); },
                    [button = button](Window&) { cancelEffectPage(button); }});
  // The palette of the always-on page's swatch, its wheel and preview covered.
  auto swatchClicked = std::make_shared<bool>(false);
  list.push_back({QStringLiteral("palette"),
                  [swatchClicked](Window& w) {
                    *swatchClicked = false;
                    clickEffectButton(w, always);
                  },
                  [swatchClicked](Window&) -> QWidget* {
                    if (QWidget* palette = visibleTitled(kPaletteTitle)) return palette;
                    auto* page = visibleDialog<CDlgLedEffect>(kEffectTitles[always]);
                    if (page && !*swatchClicked) {
                      *swatchClicked = true;
                      QTimer::singleShot(0, page, [page] { emit page->swatch(0)->clicked(); });
                    }
                    return nullptr;
                  },
                  [](Window& w) {
                    if (auto* palette = visibleDialog<CPaletteDlg>(kPaletteTitle)) emit palette->cancelButton()->clicked();
                    // The page goes once the palette's own loop has returned to it.
                    QTimer::singleShot(0, &w, [] { cancelEffectPage(always); });
                  },
                  [](Window&) -> std::vector<ColourPicture> {
                    auto* palette = visibleDialog<CPaletteDlg>(kPaletteTitle);
                    if (!palette) return {};
                    return {{palette, toQRect(orlix::skin::palette::kWheel)}, {palette->preview()}};
                  }});
  return list;
}

struct Options {
  QString root, instance, shot, out;
  QStringList only;
};

class Tour : public QObject {
 public:
  Tour(Window& window, Options options) : window_(window), options_(std::move(options)) {
    for (Sight& s : sights())
      if (options_.only.isEmpty() || options_.only.contains(s.name)) sights_.push_back(std::move(s));
  }

  void start() { waitFor([this]() -> QWidget* { return window_.isVisible() ? &window_ : nullptr; }, [this] { next(); }); }

 private:
  void fail(const QString& why) {
    std::fprintf(stderr, "orlix-desktop-look: %s\n", qPrintable(why));
    QCoreApplication::exit(1);
  }

  // Polls find until it names a window, then lets the desktop draw it.
  void waitFor(std::function<QWidget*()> find, std::function<void()> then, int triesLeft = 150) {
    if (QWidget* w = find()) {
      QTimer::singleShot(kSettleMs, this, then);
      (void)w;
      return;
    }
    if (triesLeft == 0) return fail(QStringLiteral("%1 did not show").arg(current_ < sights_.size() ? sights_[current_].name : QStringLiteral("the main window")));
    QTimer::singleShot(100, this, [this, find, then, triesLeft] { waitFor(find, then, triesLeft - 1); });
  }

  void next() {
    if (current_ >= sights_.size()) {
      QCoreApplication::exit(0);
      return;
    }
    Sight& s = sights_[current_];
    s.open(window_);
    waitFor([this, &s] { return s.find(window_); }, [this] { photograph(); });
  }

  void photograph() {
    Sight& s = sights_[current_];
    std::vector<QPointer<QWidget>> covers;
    if (s.colourPictures)
      for (const ColourPicture& content : s.colourPictures(window_)) {
        auto* cover = new QWidget(content.widget);
        cover->setGeometry(content.area.isNull() ? content.widget->rect() : content.area);
        cover->setAutoFillBackground(true);
        cover->setPalette(QPalette(QColor(128, 128, 128)));
        cover->show();
        cover->repaint();
        covers.push_back(cover);
      }
    if (!covers.empty()) {
      // Let the desktop show the covers before the picture.
      QTimer::singleShot(kSettleMs / 2, this, [this, covers] { shoot(covers); });
      return;
    }
    shoot({});
  }

  void shoot(const std::vector<QPointer<QWidget>>& covers) {
    Sight& s = sights_[current_];
    const QString picture = QDir(options_.out).filePath(s.name + QStringLiteral(".png"));
    QFile::remove(picture);
    if (QProcess::execute(options_.shot, {picture}) != 0) return fail(QStringLiteral("the screenshot of %1 failed").arg(s.name));
    QImage image(picture);
    if (image.isNull()) return fail(QStringLiteral("no picture of %1").arg(s.name));
    if (image == previous_) return fail(QStringLiteral("the picture of %1 is the one before it").arg(s.name));
    if (!s.find(window_)) return fail(QStringLiteral("%1 closed before its picture was taken").arg(s.name));
    previous_ = image;
    std::printf("SHOT %s %s\n", qPrintable(s.name), qPrintable(picture));
    std::fflush(stdout);
    for (const QPointer<QWidget>& cover : covers) delete cover.data();
    s.close(window_);
    ++current_;
    QTimer::singleShot(kSettleMs / 2, this, [this] { next(); });
  }

  static constexpr int kSettleMs = 1200;
  Window& window_;
  Options options_;
  std::vector<Sight> sights_;
  size_t current_ = 0;
  QImage previous_;
};

}  // namespace

int main(int argc, char** argv) {
  chooseDesktopPlatform();
  QApplication qapp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("orlix"));
  QApplication::setQuitOnLastWindowClosed(false);
  Options o;
  QStringList args = QApplication::arguments();
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == "--root") o.root = args[i + 1];
    else if (args[i] == "--instance") o.instance = args[i + 1];
    else if (args[i] == "--shot") o.shot = args[i + 1];
    else if (args[i] == "--out") o.out = args[i + 1];
    else if (args[i] == "--only") o.only << args[i + 1];
  }
  if (o.root.isEmpty() || o.shot.isEmpty() || o.out.isEmpty()) {
    std::fprintf(stderr, "usage: orlix-desktop-look --root DIR --instance NAME --shot PROGRAM --out DIR [--only NAME]...\n");
    return 2;
  }
  AppOptions app;
  app.simulate = true;
  app.show = true;
  app.root = o.root.toStdString();
  app.instanceName = o.instance.toStdString();
  COrlixConfigApp program(app);
  if (program.start() >= 0) return 1;
  Tour tour(*program.mainWindow(), o);
  tour.start();
  return QApplication::exec();
}
