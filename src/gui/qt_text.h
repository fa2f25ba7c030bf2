#pragma once
// Texts between the window layer (QString) and the core (UTF-16 strings). Both
// sides are UTF-16, so the conversions copy the units as they are.

#include <QString>
#include <string>
#include <string_view>

namespace orlix::gui {

inline QString toQString(std::u16string_view s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }
inline std::u16string toU16String(const QString& s) { return s.toStdU16String(); }

}  // namespace orlix::gui
