#pragma once
// Line icons that stand in for words on the skin images, so that no picture has
// to change with the interface language.

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace skingen {

enum class Icon {
  Keyboard, Bulb, Macro, Support, Minimize, Close, Check, Cross, Apply, Globe, CaretUp, Reset, Import,
  Export, Chip, Driver, Sync, Plus, Trash, InsertRow, DeleteRow, Edit, NoDelay, Repeat, RepeatHold,
  RepeatToggle, Mouse, Key, Clock, SelectAll, Eye, EffectSeven, EffectStrength, EffectWave, EffectBreath,
  EffectSingle, EffectAlways, ArrowLeft, ArrowRight, ArrowUp, ArrowDown, Spread, Speed, Speaker, Sun,
  Sparkle, Info, Record, Gamepad, Menu, Win, Palette, Tortoise, Hare, CaretDown,
};

// Draws the icon centred in box (a square fits best) in colour c; stroke is the
// line width in pixels.
void drawIcon(QPainter& p, Icon icon, const QRectF& box, const QColor& c, qreal stroke = 1.6);

}  // namespace skingen
