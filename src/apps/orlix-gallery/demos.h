#pragma once
// The demos of the gallery, one builder each.

#include <QWidget>

namespace orlix::gallery {

// The main window's frame with its four pages behind the tabs.
QWidget* buildMainFrameDemo(QWidget* parent);
// demo is what buildMainFrameDemo returned.
void selectTab(QWidget* demo, int tab);
void openLanguageMenu(QWidget* demo);
void openGameMenu(QWidget* demo);

QWidget* buildSettingPanelDemo(QWidget* parent, int tab);
enum class Effect { Always, Breath, Seven, Single, Strength, Wave };
QWidget* buildEffectDemo(Effect effect, QWidget* parent);
QWidget* buildPaletteDemo(QWidget* parent);

}  // namespace orlix::gallery
