// Draws the program's skin: the image files of skins/ and the images that are
// built into the program as resources.
//
//   orlix-skingen --skins DIR --resources DIR [--stamp FILE]

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <QStringList>

#include <cstdio>

#include "artwork.h"
#include "core/skin/skin_files.h"

namespace {

bool writeImage(const QString& path, const QImage& image) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QString suffix = QFileInfo(path).suffix().toLower();
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  bool ok;
  if (suffix == "bmp") {
    // Bitmaps carry no alpha: flatten to 24-bit.
    ok = image.convertToFormat(QImage::Format_RGB888).save(&file, "BMP");
  } else {
    ok = image.convertToFormat(QImage::Format_ARGB32).save(&file, "PNG");
  }
  return ok && file.commit();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
  QGuiApplication app(argc, argv);
  QString skins, resources, stamp;
  QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); ++i) {
    if (args[i] == "--skins") skins = args[++i];
    else if (args[i] == "--resources") resources = args[++i];
    else if (args[i] == "--stamp") stamp = args[++i];
    else if (args[i] == "--icon-sheet") return writeImage(args[++i], skingen::iconSheet()) ? 0 : 1;
  }
  if (skins.isEmpty() && resources.isEmpty()) {
    std::fprintf(stderr, "usage: orlix-skingen --skins DIR --resources DIR [--stamp FILE]\n");
    return 2;
  }
  int failures = 0, written = 0;
  auto sinkInto = [&](const QString& root) {
    return [&, root](const QString& relative, const QImage& image) {
      QString path = root + '/' + relative;
      if (writeImage(path, image)) {
        ++written;
      } else {
        std::fprintf(stderr, "orlix-skingen: cannot write %s\n", qPrintable(path));
        ++failures;
      }
    };
  };
  if (!skins.isEmpty()) {
    skingen::drawSkins(sinkInto(skins));
    // Start-up language: 0 is English.
    QSaveFile ini(skins + '/' + orlix::skin::kLanguageIni);
    if (!QFileInfo::exists(ini.fileName())) {
      if (!ini.open(QIODevice::WriteOnly) || ini.write("[languagetype]\r\nvalue=0\r\n") < 0 || !ini.commit())
        ++failures;
    }
  }
  if (!resources.isEmpty()) skingen::drawResources(sinkInto(resources));
  if (failures) return 1;
  if (!stamp.isEmpty()) {
    QFile f(stamp);
    if (!f.open(QIODevice::WriteOnly) || f.write(QByteArray::number(written) + '\n') < 0) return 1;
  }
  return 0;
}
