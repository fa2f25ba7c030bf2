#include "gui/app/language_menu.h"

#include "core/localization/languages.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

void CMenuExA::fillItems() {
  for (const auto& lang : localization::languages()) {
    QImage flag;
    loadImageResource(lang.menuPicture, "PNG", &flag);
    addItem(lang.id, QString::fromLatin1(lang.menuText.data(), qsizetype(lang.menuText.size())), flag);
  }
}

}  // namespace orlix::gui
