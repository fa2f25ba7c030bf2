#pragma once
// The skin images of every window and the images built into the program.

#include <QImage>
#include <QString>

#include <functional>

#include "theme.h"

namespace skingen {

// Receives each finished image with its path relative to the output folder.
using Sink = std::function<void(const QString& relativePath, const QImage& image)>;

// Everything under skins/.
void drawSkins(const Sink& sink);
// Everything that becomes a Qt resource: png/<id>.png, bitmap/<id>.bmp, icon/....
void drawResources(const Sink& sink);

// Helpers shared by both.
enum class Flag { China, Netherlands, France, Germany, Italy, Portugal, Russia, Korea, Spain, Neutral, UnitedKingdom, Ukraine };
void drawFlag(QPainter& p, const QRect& r, Flag flag);
QImage drawLogoIcon(int size);
// Every icon at two sizes, for people checking the artwork.
QImage iconSheet();

}  // namespace skingen
