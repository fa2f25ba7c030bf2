#include "platform/iconv_converter.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace orlix::platform {

std::string iconvNameOfCodePage(unsigned cp) {
  switch (cp) {
    case 1200: return "UTF-16LE";
    case 1201: return "UTF-16BE";
    case 65000: return "UTF-7";
    case 65001: return "UTF-8";
    case 65005: return "UTF-32LE";
    case 65006: return "UTF-32BE";
    case 20127: return "ANSI_X3.4-1968";
    case 708: return "ASMO-708";
    case 38598: return "ISO-8859-8";
    case 874: return "WINDOWS-874";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1361: return "JOHAB";
    case 51932: return "EUC-JP";
    case 51936: return "EUC-CN";
    case 54936: return "GB18030";
    case 50220: return "ISO-2022-JP";
    case 50225: return "ISO-2022-KR";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 10000: return "MACINTOSH";
    case 10007: return "MAC-CYRILLIC";
    case 10017: return "MACUKRAINIAN";
    case 10029: return "MAC-CENTRALEUROPE";
    case 10079: return "MAC-IS";
    case 20106: return "DIN_66003";
    case 20107: return "SEN_850200_B";
    case 20108: return "NS_4551-1";
    case 21025: return "IBM1025";
    case 737: return "CP737";
    case 775: return "CP775";
    default: break;
  }
  if (cp >= 1250 && cp <= 1258) return "WINDOWS-" + std::to_string(cp);
  if (cp >= 28591 && cp <= 28606) return "ISO-8859-" + std::to_string(cp - 28590);
  // DOS and EBCDIC code pages: IBM037 ... IBM1149, and 20273 ... 20905 for IBM273 ... IBM905.
  if (cp >= 20273 && cp <= 20905) return "IBM" + std::to_string(cp - 20000);
  if (cp < 100) return "IBM0" + std::to_string(cp);
  if (cp < 1200) return "IBM" + std::to_string(cp);
  return {};
}

namespace {

struct Iconv {
  iconv_t cd;
  explicit Iconv(const std::string& from) : cd(iconv_open("UTF-16LE", from.c_str())) {}
  ~Iconv() {
    if (ok()) iconv_close(cd);
  }
  bool ok() const { return cd != iconv_t(-1); }
};

}  // namespace

bool iconvSupports(unsigned cp) {
  std::string name = iconvNameOfCodePage(cp);
  return !name.empty() && Iconv(name).ok();
}

std::string userLocaleName() {
  for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return "C";
}

IconvConverter::IconvConverter(unsigned ansiCodePage)
    : ansi_(ansiCodePage ? ansiCodePage : localization::ansiCodePageForLocale(userLocaleName())) {}

bool IconvConverter::toUtf16(unsigned cp, std::string_view bytes, std::u16string& out) const {
  out.clear();
  std::string name = iconvNameOfCodePage(cp);
  if (name.empty()) return false;
  Iconv conv(name);
  if (!conv.ok()) return false;
  std::vector<char> buf(bytes.size() * 4 + 16);
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  auto flush = [&](char* end) {
    for (char* p = buf.data(); p + 1 < end; p += 2)
      out.push_back(char16_t(uint8_t(p[0]) | (uint8_t(p[1]) << 8)));
  };
  while (inLeft > 0) {
    char* o = buf.data();
    size_t oLeft = buf.size();
    size_t r = iconv(conv.cd, &in, &inLeft, &o, &oLeft);
    flush(o);
    if (r != size_t(-1)) break;
    if (errno == E2BIG) continue;
    // A byte with no character here (EILSEQ), or a sequence cut off at the end
    // (EINVAL): one "?" for it and go on after it.
    out.push_back(u'?');
    ++in;
    --inLeft;
    iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
  }
  // Shift sequences (UTF-7, ISO-2022) may leave output pending at the end.
  char* o = buf.data();
  size_t oLeft = buf.size();
  iconv(conv.cd, nullptr, nullptr, &o, &oLeft);
  flush(o);
  return true;
}

const IconvConverter& systemConverter() {
  static const IconvConverter c;
  return c;
}

}  // namespace orlix::platform
