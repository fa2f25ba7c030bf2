#pragma once
// The code-page converter of the platform: any code page iconv knows, with the
// ANSI code page taken from the user's locale.

#include <string>

#include "core/localization/code_page.h"

namespace orlix::platform {

class IconvConverter : public localization::CodePageConverter {
 public:
  // ansiCodePage 0: from the locale (LC_ALL, LC_CTYPE, LANG).
  explicit IconvConverter(unsigned ansiCodePage = 0);
  bool toUtf16(unsigned cp, std::string_view bytes, std::u16string& out) const override;
  unsigned ansiCodePage() const override { return ansi_; }

 private:
  unsigned ansi_;
};

// The iconv name of a Windows code page number; empty when there is none.
std::string iconvNameOfCodePage(unsigned cp);
// True when iconv can convert from the code page on this system.
bool iconvSupports(unsigned cp);
// The locale that decides the ANSI code page: LC_ALL, else LC_CTYPE, else LANG.
std::string userLocaleName();
// The converter the program uses.
const IconvConverter& systemConverter();

}  // namespace orlix::platform
