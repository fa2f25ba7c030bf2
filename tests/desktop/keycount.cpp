// orlix-keycount: counts the pixels of pictures that look like the skins' key
// colour RGB(255, 0, 253) or a blend of it with anything darker or lighter:
// red and blue above 90, green below a third of each.
//
//   orlix-keycount [--leave-out X,Y,W,H]... [--list N] PICTURE...
//
// Prints "<count> <picture>" a line, and with --list the first N such pixels
// as "  x,y r,g,b". --leave-out leaves a rectangle of every picture out (a
// picture whose content is colour). Exit code 0 when every count is zero, 1
// when some pixel was found, 2 when a picture could not be read.

#include <QCoreApplication>
#include <QImage>
#include <QRect>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace {

bool looksKeyed(QRgb p) {
  const int r = qRed(p), g = qGreen(p), b = qBlue(p);
  return r > 90 && b > 90 && 3 * g < r && 3 * g < b;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList args = QCoreApplication::arguments();
  std::vector<QRect> leftOut;
  int list = 0;
  QStringList pictures;
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--leave-out") && i + 1 < args.size()) {
      QStringList v = args[++i].split(',');
      if (v.size() != 4) {
        std::fprintf(stderr, "orlix-keycount: --leave-out needs X,Y,W,H\n");
        return 2;
      }
      leftOut.emplace_back(v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt());
    } else if (args[i] == QLatin1String("--list") && i + 1 < args.size()) {
      list = args[++i].toInt();
    } else {
      pictures << args[i];
    }
  }
  if (pictures.isEmpty()) {
    std::fprintf(stderr, "usage: orlix-keycount [--leave-out X,Y,W,H]... [--list N] PICTURE...\n");
    return 2;
  }
  int status = 0;
  for (const QString& path : pictures) {
    QImage image(path);
    if (image.isNull()) {
      std::fprintf(stderr, "orlix-keycount: cannot read %s\n", qPrintable(path));
      return 2;
    }
    // Premultiplied alpha would hide a translucent blend: colours as stored.
    image = image.convertToFormat(QImage::Format_ARGB32);
    long count = 0;
    std::vector<QString> found;
    for (int y = 0; y < image.height(); ++y) {
      const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        if (qAlpha(row[x]) == 0 || !looksKeyed(row[x])) continue;
        bool skip = false;
        for (const QRect& r : leftOut) skip = skip || r.contains(x, y);
        if (skip) continue;
        ++count;
        if (int(found.size()) < list)
          found.push_back(QStringLiteral("  %1,%2 %3,%4,%5")
                              .arg(x).arg(y).arg(qRed(row[x])).arg(qGreen(row[x])).arg(qBlue(row[x])));
      }
    }
    std::printf("%ld %s\n", count, qPrintable(path));
    for (const QString& f : found) std::printf("%s\n", qPrintable(f));
    if (count) status = 1;
  }
  return status;
}
