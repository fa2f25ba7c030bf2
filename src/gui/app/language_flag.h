#pragma once
// The process-wide language flag: non-zero selects the Chinese built-in texts,
// 0 the English ones. Set at start-up and by the language switch.

#include <QString>

namespace orlix::gui {

int languageFlag();
void setLanguageFlag(int flag);

// The Chinese text while the flag is set, else the English one.
inline QString byLanguage(const QString& chinese, const QString& english) {
  return languageFlag() ? chinese : english;
}

}  // namespace orlix::gui
