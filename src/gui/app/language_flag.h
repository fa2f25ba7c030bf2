#pragma once
// The built-in texts of the windows, picked by the process-wide language flag
// (core/localization): non-zero selects the Chinese text, 0 the English one.

#include <QString>

#include "core/localization/language_strings.h"

namespace orlix::gui {

inline int languageFlag() { return localization::languageFlag(); }
inline void setLanguageFlag(int flag) { localization::setLanguageFlag(flag); }

// The Chinese text while the flag is set, else the English one.
inline QString byLanguage(const QString& chinese, const QString& english) {
  return languageFlag() ? chinese : english;
}

}  // namespace orlix::gui
