#include "gui/app/language_flag.h"

#include "core/localization/language_strings.h"

namespace orlix::gui {

// One flag for the whole program: the windows read the one the language
// files' loader and the language switch set.
int languageFlag() { return localization::languageFlag(); }
void setLanguageFlag(int value) { localization::setLanguageFlag(value); }

}  // namespace orlix::gui
