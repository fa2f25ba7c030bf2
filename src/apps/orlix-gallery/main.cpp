// orlix-gallery: shows every skinned control and dialog with the real skins.
//
//   orlix-gallery [--root DIR] [--show DEMO] [--open DIALOG]
//
// DEMO: main, keyboard, lighting, macro, support, setting, setting-macro,
// setting-base, always, breath, seven, single, strength, wave, palette, dialogs.
// DIALOG: info, info-two, info-timed, info-long, progress, language, game, tray.

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

#include "gallery.h"
#include "gui/skin/skin_images.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.addHelpOption();
  parser.addOption({"root", "Program folder holding skins/.", "DIR"});
  parser.addOption({"show", "Demo to show first.", "DEMO"});
  parser.addOption({"open", "Dialog or menu to open after start.", "DIALOG"});
  parser.process(app);
  if (parser.isSet("root")) orlix::gui::setProgramFolder(parser.value("root"));

  orlix::gallery::GalleryWindow window;
  if (parser.isSet("show") && !window.showDemo(parser.value("show"))) {
    std::fprintf(stderr, "orlix-gallery: no demo %s\n", qPrintable(parser.value("show")));
    return 2;
  }
  window.move(0, 0);
  window.show();
  if (parser.isSet("open")) {
    QString name = parser.value("open");
    QTimer::singleShot(300, &window, [&window, name] {
      if (!window.open(name)) std::fprintf(stderr, "orlix-gallery: no dialog %s\n", qPrintable(name));
    });
  }
  return app.exec();
}
