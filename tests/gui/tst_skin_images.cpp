// Skin images: loaders, cropping, regions from key-coloured bitmaps, and the
// generated skin files agreeing with the windows' geometry tables.

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "core/keys/key_picture_map.h"
#include "core/lighting/lighting_key_map.h"
#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "gui/skin/shaped_window.h"
#include "gui_test_support.h"

using namespace orlix;
using namespace orlix::gui;
using namespace orlix::gui::test;

class TestSkinImages : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { setProgramFolder(QStringLiteral(ORLIX_BIN_DIR)); }

  // Runs before anything else asks for the program icon (each icon is read
  // once a run): the pictures decoded ahead make the icon a read makes.
  void prefetchedIconIsTheIconAReadGives() {
    const int id = skin::resource::kProgramIcon;
    QIcon read;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
      const QString path = QStringLiteral(":/orlix/icon/%1-%2.png").arg(id).arg(size);
      if (QFile::exists(path)) read.addFile(path, QSize(size, size));
    }
    QVERIFY(!read.availableSizes().isEmpty());
    prefetchBitmapFiles({}, {}, id);
    const QIcon ahead = loadIconResource(id);
    dropPrefetchedBitmaps();
    QCOMPARE(ahead.availableSizes(), read.availableSizes());
    for (const QSize& size : read.availableSizes())
      QCOMPARE(ahead.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32),
               read.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32));
  }

  void regionOfTwoByTwo() {
    QImage img = solidImage(2, 2, Qt::black);
    img.setPixel(0, 0, kKeyColour);
    QRegion r = regionFromBitmap(img);
    QCOMPARE(areaOf(r), 3);
    QVERIFY(!r.contains(QPoint(0, 0)));
    QVERIFY(r.contains(QPoint(1, 0)) && r.contains(QPoint(0, 1)) && r.contains(QPoint(1, 1)));
  }

  void regionWithoutKeyIsTheRectangle() {
    QImage img = patternImage(37, 11);
    QVERIFY((regionFromBitmap(img) ^ QRegion(0, 0, 37, 11)).isEmpty());
  }

  void regionKeyIsExactColour() {
    // Near-magenta pixels belong to the shape; only RGB(255, 0, 253) is cut away.
    QImage img = solidImage(3, 1, QColor(255, 0, 253));
    img.setPixel(1, 0, qRgb(255, 0, 252));
    img.setPixel(2, 0, qRgb(254, 0, 253));
    QRegion r = regionFromBitmap(img);
    QCOMPARE(areaOf(r), 2);
    QVERIFY(!r.contains(QPoint(0, 0)));
  }

  void regionBeyondOneBatch() {
    // 120 x 40 pixels alternating key and black: 2400 one-pixel runs, more than
    // one batch of rectangles.
    QImage img = solidImage(120, 40, Qt::black);
    for (int y = 0; y < img.height(); ++y)
      for (int x = (y % 2); x < img.width(); x += 2) img.setPixel(x, y, kKeyColour);
    QRegion r = regionFromBitmap(img);
    QCOMPARE(areaOf(r), 2400);
    QVERIFY(r.contains(QPoint(1, 0)) && !r.contains(QPoint(0, 0)));
    QVERIFY(r.contains(QPoint(118, 39)) && !r.contains(QPoint(119, 39)));
  }

  void cropIsPixelForPixel() {
    QImage page = patternImage(925, 457, 3);
    QImage button;
    crop(page, 129, 266, 167, 297, button);
    QCOMPARE(button.size(), QSize(38, 31));
    for (int y = 0; y < button.height(); ++y)
      for (int x = 0; x < button.width(); ++x) QCOMPARE(button.pixel(x, y), page.pixel(129 + x, 266 + y));
  }

  // The bitmap loader's own 24-bit decoder against the general reader: odd
  // widths (row padding), top-down rows, and files it leaves to the reader.
  void bitmapLoaderMatchesTheGeneralReader_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("topDown");
    QTest::addColumn<QString>("format");
    QTest::newRow("24-bit, padded rows") << QSize(37, 11) << false << "rgb888";
    QTest::newRow("24-bit, one pixel") << QSize(1, 1) << false << "rgb888";
    QTest::newRow("24-bit, top-down") << QSize(5, 3) << true << "rgb888";
    QTest::newRow("32-bit: the reader's") << QSize(7, 4) << false << "argb32";
    QTest::newRow("8-bit palette: the reader's") << QSize(9, 5) << false << "indexed8";
  }
  void bitmapLoaderMatchesTheGeneralReader() {
    QFETCH(QSize, size);
    QFETCH(bool, topDown);
    QFETCH(QString, format);
    QImage source = patternImage(size.width(), size.height(), 7);
    source.setPixel(0, 0, kKeyColour);
    if (format == "rgb888") source = source.convertToFormat(QImage::Format_RGB888);
    else if (format == "indexed8") source = source.convertToFormat(QImage::Format_Indexed8);
    else source = source.convertToFormat(QImage::Format_ARGB32);
    QTemporaryDir dir;
    QString path = dir.filePath("t.bmp");
    QVERIFY(source.save(path, "BMP"));
    if (topDown) {
      // The same rows stored top row first: a negative height, rows reversed.
      QFile f(path);
      QVERIFY(f.open(QIODevice::ReadWrite));
      QByteArray b = f.readAll();
      int offset = qFromLittleEndian<qint32>(b.constData() + 10);
      int stride = (size.width() * 3 + 3) & ~3;
      QByteArray rows = b.mid(offset);
      for (int y = 0; y < size.height(); ++y)
        b.replace(offset + y * stride, stride, rows.mid((size.height() - 1 - y) * stride, stride));
      qToLittleEndian<qint32>(-size.height(), b.data() + 22);
      f.seek(0);
      f.write(b);
    }
    QImage reference;
    QVERIFY(reference.load(path));
    reference = reference.convertToFormat(QImage::Format_RGB32);
    QImage loaded = loadBitmapFile(path);
    QCOMPARE(loaded.format(), QImage::Format_RGB32);
    QCOMPARE(loaded.size(), size);
    QCOMPARE(loaded, reference);
    QCOMPARE(loaded.dotsPerMeterX(), reference.dotsPerMeterX());

    // Controls' pieces cut straight from the file, without decoding it whole:
    // the pixels keyedCopy cuts from the image, inside, across its edges and
    // wholly outside it.
    const QList<QRect> rects{QRect(0, 0, 1, 1), QRect(0, 0, size.width(), size.height()),
                             QRect(size.width() / 2, size.height() / 2, size.width(), 3), QRect(-2, -1, 3, 2),
                             QRect(size.width() + 1, 0, 2, 2)};
    prefetchBitmapFiles({{path, false, rects}});
    const SkinLook look(path);
    for (const QRect& r : rects) QCOMPARE(look.keyedPiece(r), keyedCopy(reference, r));
    dropPrefetchedBitmaps();

    // A file cut short is no picture the decoder accepts; the reader decides.
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.resize(f.size() - 2);
    f.close();
    QImage cutReference;
    bool readable = cutReference.load(path);
    QCOMPARE(!loadBitmapFile(path).isNull(), readable);
  }

  void cropSharesThePixelsAndCopiesOnWrite() {
    QImage page = patternImage(20, 10, 5).convertToFormat(QImage::Format_RGB32);
    const QImage before = page.copy();
    QImage piece;
    crop(page, 3, 2, 9, 7, piece);
    QCOMPARE(piece.size(), QSize(6, 5));
    QCOMPARE(piece, before.copy(3, 2, 6, 5));
    QCOMPARE(piece.constBits(), page.constBits() + 2 * page.bytesPerLine() + 3 * 4);  // no copy
    // Writing to the piece leaves the page alone, and the other way round.
    piece.setPixel(0, 0, qRgb(1, 2, 3));
    QCOMPARE(page, before);
    QImage other;
    crop(page, 0, 0, 4, 4, other);
    page.fill(Qt::red);
    QCOMPARE(other, before.copy(0, 0, 4, 4));
    // The piece outlives its page; one reaching outside is a copy with black there.
    QImage outside;
    {
      QImage gone = before.copy();
      crop(gone, 18, 8, 22, 12, outside);
      crop(gone, 1, 1, 3, 3, other);
    }
    QCOMPARE(other, before.copy(1, 1, 2, 2));
    QCOMPARE(outside.size(), QSize(4, 4));
    QCOMPARE(outside.pixel(0, 0), before.pixel(18, 8));
    QCOMPARE(qRgb(0, 0, 0) & 0xFFFFFF, outside.pixel(3, 3) & 0xFFFFFF);
  }

  void emptyPiecesAreEmptyImages() {
    // Controls whose rectangle is empty (keys without a picture) get no look,
    // never a copy of the whole page.
    const QImage page = patternImage(20, 10, 5).convertToFormat(QImage::Format_RGB32);
    for (QRect r : {QRect(0, 0, 0, 0), QRect(5, 5, 0, 3), QRect(5, 5, 3, 0), QRect(9, 9, -2, 2)}) {
      QImage target = solidImage(4, 4, Qt::red);
      crop(page, r.left(), r.top(), r.left() + r.width(), r.top() + r.height(), target);
      QVERIFY2(target.isNull(), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
    }
  }

  void bitmapSizeFromTheHeader() {
    QTemporaryDir dir;
    for (int height : {7, -7}) {  // bottom-up and top-down files
      const QString path = dir.filePath(QStringLiteral("p%1.bmp").arg(height));
      QVERIFY(patternImage(13, 7, 1).save(path, "BMP"));
      if (height < 0) {  // turn the saved file into a top-down one
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        const qint32 h = -7;
        memcpy(bytes.data() + 22, &h, 4);
        f.seek(0);
        f.write(bytes);
      }
      QCOMPARE(bitmapFileSize(path), QSize(13, 7));
    }
    QVERIFY(!bitmapFileSize(dir.filePath("missing.bmp")).isValid());
  }

  void cropOfNothingLeavesTarget() {
    QImage target = solidImage(4, 4, Qt::red);
    crop(QImage(), 0, 0, 2, 2, target);
    QCOMPARE(target.size(), QSize(4, 4));
    QCOMPARE(target.pixelColor(0, 0), QColor(Qt::red));
  }

  void loadersGiveEmptyImagesOnFailure() {
    QTemporaryDir dir;
    QVERIFY(loadBitmapFile(dir.filePath("missing.bmp")).isNull());
    QFile junk(dir.filePath("junk.bmp"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("BM this is not a picture");
    junk.close();
    QVERIFY(loadBitmapFile(junk.fileName()).isNull());
    QVERIFY(loadImageFile(dir.filePath("missing.png")).isNull());
    QImage out = solidImage(1, 1, Qt::red);
    QVERIFY(!loadImageResource(9999, "PNG", &out));
    QCOMPARE(out.size(), QSize(1, 1));
  }

  void builtInImages() {
    QImage img;
    for (int id = skin::resource::kFlagFirst; id <= skin::resource::kFlagLast; ++id) {
      QVERIFY2(loadImageResource(id, "PNG", &img), qPrintable(QString::number(id)));
      QSize want = id == skin::resource::kPopupFrame
                       ? QSize(skin::popup_frame::kSize.width, skin::popup_frame::kSize.height)
                       : QSize(skin::kFlagSize.width, skin::kFlagSize.height);
      QCOMPARE(img.size(), want);
    }
    QVERIFY(loadImageResource(skin::resource::kScrollSkin, "BITMAP", &img));
    QCOMPARE(img.width() % 9, 0);
    QCOMPARE(img.height() % 3, 0);
    for (int id = skin::resource::kInfoFirst; id <= skin::resource::kInfoLast; ++id) {
      QVERIFY(loadImageResource(id, "BITMAP", &img));
      QCOMPARE(img.size(), QSize(skin::info_dialog::kSize.width, skin::info_dialog::kSize.height));
    }
    for (int id = skin::resource::kLanguagePictureFirst; id <= skin::resource::kLanguagePictureLast; ++id) {
      QVERIFY(loadImageResource(id, "BITMAP", &img));
      QCOMPARE(img.size(), QSize(skin::kLanguagePictureSize.width, skin::kLanguagePictureSize.height));
    }
    QVERIFY(!loadIconResource(skin::resource::kProgramIcon).isNull());
    QVERIFY(!loadIconResource(skin::resource::kTrayConfigIcon).isNull());
    QVERIFY(!loadIconResource(skin::resource::kTrayExitIcon).isNull());
  }

  void skinTriplesHaveTheirWindowSizes_data() {
    QTest::addColumn<QString>("normal");
    QTest::addColumn<QString>("over");
    QTest::addColumn<QString>("down");
    QTest::addColumn<QSize>("size");
    auto row = [](const char* name, const skin::ImageTriple& t, skin::Size s) {
      QTest::newRow(name) << t.normal << t.over << t.down << QSize(s.width, s.height);
    };
    row("main", skin::kMainFrame, skin::main_frame::kSize);
    row("keyboard", skin::kKeyboardPage, skin::page::kSize);
    row("lighting", skin::kLightingPage, skin::page::kSize);
    row("macro", skin::kMacroPage, skin::page::kSize);
    row("support", skin::kSupportPage, skin::page::kSize);
    row("setting", skin::kSettingPanel, skin::setting_panel::kSize);
    row("base", skin::kBasePage, skin::panel_page::kSize);
    row("combo", skin::kComboPage, skin::panel_page::kSize);
    row("macroset", skin::kMacroSetTab, skin::panel_page::kSize);
    row("always", skin::kAlwaysPage, skin::effect_page::kAlways.size);
    row("breath", skin::kBreathPage, skin::effect_page::kBreath.size);
    row("seven", skin::kSevenPage, skin::effect_page::kSeven.size);
    row("single", skin::kSinglePage, skin::effect_page::kSingle.size);
    row("strength", skin::kStrengthPage, skin::effect_page::kStrength.size);
    row("wave", skin::kWavePage, skin::effect_page::kWave.size);
  }

  void skinTriplesHaveTheirWindowSizes() {
    QFETCH(QString, normal);
    QFETCH(QString, over);
    QFETCH(QString, down);
    QFETCH(QSize, size);
    for (const QString& f : {normal, over, down}) {
      QImage img = loadBitmapFile(skinPath(f));
      QVERIFY2(!img.isNull(), qPrintable(f));
      QCOMPARE(img.size(), size);
    }
  }

  void mainFrameShapeHoldsEveryControl() {
    QImage frame = loadBitmapFile(skinPath(skin::kMainFrame.normal));
    QRegion shape = regionFromBitmap(frame);
    QVERIFY(!shape.contains(QPoint(0, 0)));  // key colour outside the shape
    QVERIFY(shape.contains(QPoint(frame.width() / 2, frame.height() / 2)));
    auto inside = [&](const Rect& r) { return (QRegion(toQRect(r)) - shape).isEmpty(); };
    QVERIFY(inside(skin::main_frame::kMinimize));
    QVERIFY(inside(skin::main_frame::kLanguage));
    QVERIFY(inside(skin::main_frame::kStatusArea));
    for (const auto& q : skin::main_frame::kTabs) QVERIFY(inside(skin::boundsOf(q)));
    for (const auto& q : skin::main_frame::kProfiles) QVERIFY(inside(skin::boundsOf(q)));
    QVERIFY(inside(skin::boundsOf(skin::main_frame::kApply)));
    // The close button reaches into the rounded corner by design; most of it is inside.
    QVERIFY(areaOf(shape.intersected(toQRect(skin::main_frame::kClose))) > 30 * 30);
  }

  void keyButtonsShowTheirStates() {
    // Every key of the picture map looks different in Normal, Over and Down at
    // its own rectangle, so a modified key is seen.
    QImage normal = loadBitmapFile(skinPath(skin::kKeyboardPage.normal));
    QImage over = loadBitmapFile(skinPath(skin::kKeyboardPage.over));
    QImage down = loadBitmapFile(skinPath(skin::kKeyboardPage.down));
    for (int n = 0; n < keys::kKeyPictureCount; ++n) {
      if (keys::isEmptyPictureRecord(n)) continue;
      Rect r = keys::keyPictureMap()[size_t(n)].rect;
      QImage a, b, c;
      crop(normal, r, a);
      crop(over, r, b);
      crop(down, r, c);
      QVERIFY2(a != b && a != c && b != c, qPrintable(QString("record %1").arg(n)));
    }
  }

  void overlayIsTransparentOverEveryLight() {
    QImage overlay = loadImageFile(skinPath(skin::kKeyboardOverlay));
    QCOMPARE(overlay.size(), QSize(skin::page::kSize.width, skin::page::kSize.height));
    const auto& map = lighting::lightingKeyMap();
    for (int i = 0; i < lighting::kRealLightingKeys; ++i) {
      Rect r = map[size_t(i)].rect;
      // Just inside the key's top-left corner: no legend there.
      QCOMPARE(qAlpha(overlay.pixel(r.left + 4, r.top + 2)), 0);
    }
    QCOMPARE(qAlpha(overlay.pixel(0, 0)), 0);       // outside the keyboard
    QCOMPARE(qAlpha(overlay.pixel(84, 110)), 255);  // the case between left column and keys
  }

  void paletteWheelHoldsRealHues() {
    QImage palette = loadBitmapFile(skinPath(skin::kPalette));
    QCOMPARE(palette.size(), QSize(skin::palette::kSize.width, skin::palette::kSize.height));
    Rect w = skin::palette::kWheel;
    int cx = (w.left + w.right) / 2, cy = (w.top + w.bottom) / 2;
    // Right of the middle is red, up and left of it green and blue hues; the
    // middle itself is white.
    QColor right = palette.pixelColor(w.right - 3, cy);
    QVERIFY(right.red() == 255 && right.green() < 40 && right.blue() < 40);
    QColor centre = palette.pixelColor(cx, cy);
    QVERIFY(centre.red() > 230 && centre.green() > 230 && centre.blue() > 230);
    QColor left = palette.pixelColor(w.left + 3, cy);
    QVERIFY(left.red() < 40 && left.green() > 200 && left.blue() > 200);  // cyan
  }

  void noSkinBlendsTheKeyColour() {
    // A picture cut by the key colour holds the key colour or skin: a blend of
    // the two would show as a fringe of the key colour along the cut. Pictures
    // without a cut (the palette, the effect pages' colour swatches) may hold
    // such hues as their content.
    auto looksKeyed = [](QRgb p) {
      return qRed(p) > 90 && qBlue(p) > 90 && 3 * qGreen(p) < qRed(p) && 3 * qGreen(p) < qBlue(p);
    };
    QStringList files;
    for (const QString& root : {programFolder() + QStringLiteral("skins"), QStringLiteral(":/orlix")}) {
      QDirIterator it(root, {QStringLiteral("*.bmp"), QStringLiteral("*.png")}, QDir::Files,
                      QDirIterator::Subdirectories);
      while (it.hasNext()) files << it.next();
    }
    QVERIFY(files.size() > 20);
    int cut = 0;
    for (const QString& file : files) {
      QImage image = QImage(file).convertToFormat(QImage::Format_ARGB32);
      QVERIFY2(!image.isNull(), qPrintable(file));
      bool hasKey = false;
      QStringList blends;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
          QRgb p = image.pixel(x, y);
          if (qAlpha(p) == 0 || !looksKeyed(p)) continue;
          if ((p & 0xFFFFFF) == (kKeyColour & 0xFFFFFF)) hasKey = true;
          else if (blends.size() < 3) blends << QStringLiteral("%1,%2 %3").arg(x).arg(y).arg(p, 8, 16);
        }
      if (!hasKey) continue;
      ++cut;
      QVERIFY2(blends.isEmpty(), qPrintable(file + QStringLiteral(": ") + blends.join(QStringLiteral("; "))));
    }
    QVERIFY(cut >= 3);  // the main frame's three states are cut by it
  }

  void prefetchedBitmapsAreWhatAReadGives() {
    // Decoded ahead on another thread: the same pixels, shape and keyed look
    // as reading and working them out on the spot, each taken once.
    QTemporaryDir dir;
    QImage picture = patternImage(40, 30, 3).convertToFormat(QImage::Format_RGB32);
    for (int x = 0; x < 10; ++x) picture.setPixel(x, 0, kKeyColour);
    const QString shaped = dir.filePath("frame.bmp"), plain = dir.filePath("page.bmp");
    QVERIFY(picture.save(shaped, "BMP"));
    QVERIFY(picture.mirrored().save(plain, "BMP"));
    // A look only cut, never decoded whole (a page's Over look).
    const QString over = dir.filePath("over.bmp");
    QVERIFY(patternImage(40, 30, 9).convertToFormat(QImage::Format_RGB32).save(over, "BMP"));
    const QImage expectShaped = loadBitmapFile(shaped), expectPlain = loadBitmapFile(plain),
                 expectOver = loadBitmapFile(over);
    // Pieces inside, across the edge and wholly outside the picture, and an empty one.
    const QList<QRect> rects{QRect(0, 0, 10, 1), QRect(5, 4, 12, 9), QRect(35, 25, 10, 10), QRect(50, 50, 3, 3),
                             QRect(3, 3, 0, 4)};
    const QString missing = dir.filePath("missing.bmp");
    prefetchBitmapFiles({{shaped}, {plain, true, rects}, {over, false, rects}, {missing, true, rects}}, shaped);
    const QImage frame = loadBitmapFile(shaped);
    QCOMPARE(frame, expectShaped);
    const QImage page = loadBitmapFile(plain);
    QCOMPARE(page, expectPlain);
    for (const QRect& r : rects) {
      const SkinLook plainLook(plain, page), overLook(over);
      QCOMPARE(plainLook.keyedPiece(r), keyedCopy(expectPlain, r));
      QCOMPARE(plainLook.keyedPiece(r), keyedCopy(expectPlain, r));  // taken once, then cut on the spot
      QCOMPARE(overLook.keyedPiece(r), keyedCopy(expectOver, r));
      QCOMPARE(overLook.keyedPiece(r), keyedCopy(expectOver, r));  // now from the file read whole
      QVERIFY(SkinLook(missing).keyedPiece(r).isNull());
    }
    QVERIFY(loadBitmapFile(dir.filePath("missing.bmp")).isNull());
    QCOMPARE(regionFromBitmap(frame), regionFromBitmap(expectShaped));
    QCOMPARE(keyedImage(frame), keyedImage(expectShaped));
    dropPrefetchedBitmaps();
    QCOMPARE(loadBitmapFile(shaped), expectShaped);  // read again
  }

  void keyedImageClearsExactlyTheKey() {
    QImage image(4, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, kKeyColour);
    image.setPixel(1, 0, qRgb(255, 0, 252));  // near the key is skin
    image.setPixel(2, 0, qRgb(10, 20, 30));
    image.setPixel(3, 0, qRgb(1, 2, 3));
    QImage keyed = keyedImage(image).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(keyed.pixel(0, 0), QRgb(0));
    QCOMPARE(keyed.pixel(1, 0), qRgb(255, 0, 252));
    QCOMPARE(keyed.pixel(2, 0), qRgb(10, 20, 30));
    // Another key colour (a slider thumb's corner colour), and the cache
    // telling the two apart.
    QImage other = keyedImage(image, qRgb(1, 2, 3)).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(other.pixel(0, 0), kKeyColour);
    QCOMPARE(qAlpha(other.pixel(3, 0)), 0);
    QCOMPARE(keyedImage(image).convertToFormat(QImage::Format_ARGB32), keyed);
    QVERIFY(keyedImage(QImage()).isNull());
  }

  void shapedTopLevelTakesMaskAndAlpha() {
    QImage skin(10, 10, QImage::Format_RGB32);
    skin.fill(qRgb(40, 40, 40));
    skin.setPixel(0, 0, kKeyColour);
    QWidget w(nullptr, Qt::Window | Qt::FramelessWindowHint);
    w.setAttribute(Qt::WA_OpaquePaintEvent);
    shapeTopLevel(&w, skin);
    QVERIFY(w.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(!w.testAttribute(Qt::WA_OpaquePaintEvent));
    QVERIFY(!w.mask().contains(QPoint(0, 0)));
    QVERIFY(w.mask().contains(QPoint(1, 0)));
    QCOMPARE(areaOf(w.mask()), 99);
    QWidget plain(nullptr, Qt::Window);
    shapeTopLevel(&plain, QImage());
    QVERIFY(plain.mask().isEmpty());
  }

  void draggingAFreeSpotMovesTheWindow() {
    // Where the desktop does not take the move (here, and X11 without a window
    // manager), the window follows the pointer until the button is released.
    QWidget w(nullptr, Qt::Window | Qt::FramelessWindowHint);
    w.setGeometry(100, 100, 200, 100);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    WindowDrag drag;
    auto event = [&](QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons) {
      return QMouseEvent(type, QPointF(w.mapFromGlobal(global)), QPointF(global), button, buttons, {});
    };
    const QPoint start = w.frameGeometry().topLeft();
    QMouseEvent right = event(QEvent::MouseButtonPress, start + QPoint(10, 10), Qt::RightButton, Qt::RightButton);
    QVERIFY(!drag.press(&w, &right));
    QMouseEvent press = event(QEvent::MouseButtonPress, start + QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(drag.press(&w, &press));
    QMouseEvent move = event(QEvent::MouseMove, start + QPoint(40, 30), Qt::NoButton, Qt::LeftButton);
    QVERIFY(drag.move(&w, &move));
    QCOMPARE(w.frameGeometry().topLeft(), start + QPoint(30, 20));
    QMouseEvent release = event(QEvent::MouseButtonRelease, start + QPoint(40, 30), Qt::LeftButton, Qt::NoButton);
    drag.release(&release);
    QMouseEvent after = event(QEvent::MouseMove, start + QPoint(90, 90), Qt::NoButton, Qt::NoButton);
    QVERIFY(!drag.move(&w, &after));
    QCOMPARE(w.frameGeometry().topLeft(), start + QPoint(30, 20));
  }

  void sliderThumbIsShaped() {
    QImage thumb = loadImageFile(skinPath(skin::kSliderThumb));
    QCOMPARE(thumb.size(), QSize(skin::slider::kThumbSize.width, skin::slider::kThumbSize.height));
    QCOMPARE(qAlpha(thumb.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(thumb.pixel(thumb.width() / 2, thumb.height() / 2)), 255);
  }
};

QTEST_MAIN(TestSkinImages)
#include "tst_skin_images.moc"
