#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/keys/key_names.h"
#include "core/localization/code_page.h"
#include "core/localization/encoding_names.h"
#include "core/localization/xml_document.h"
#include "platform/iconv_converter.h"
#include "platform/xkb_keyboard_layout.h"

using namespace orlix;
using namespace orlix::localization;
using orlix::platform::IconvConverter;
using orlix::platform::XkbKeyboardLayout;

TEST(IconvConverter, EveryEncodingNameConverts) {
  std::set<unsigned> pages;
  for (const auto& e : encodingNames()) pages.insert(e.codePage);
  for (unsigned cp : pages) {
    if (cp == kCodePageUtf8 || cp == kCodePageUtf32) continue;  // decoded by the reader itself
    EXPECT_TRUE(platform::iconvSupports(cp)) << cp << " as " << platform::iconvNameOfCodePage(cp);
  }
}

TEST(IconvConverter, ConvertsCodePages) {
  IconvConverter c(1252);
  struct Case {
    unsigned cp;
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {936, "\xD6\xD0\xCE\xC4", u"中文"},
      {950, "\xA4\xA4\xA4\xE5", u"中文"},
      {932, "\x93\xfa\x96\x7b", u"日本"},
      {949, "\xC7\xD1\xB1\xB9", u"한국"},
      {1251, "\xCF\xF0\xE8\xE2\xE5\xF2", u"Привет"},
      {20866, "\xF0\xD2\xC9\xD7\xC5\xD4", u"Привет"},
      {1252, "\x80", u"€"},
      {65000, "+ZeVnLIqe-", u"日本語"},
      {1200, std::string("A\0B\0", 4), u"AB"},
      {936, "a\xFF" "b", u"a?b"},  // a byte with no character
  };
  for (const auto& k : cases) {
    std::u16string out;
    EXPECT_TRUE(c.toUtf16(k.cp, k.bytes, out)) << k.cp;
    EXPECT_EQ(out, k.text) << k.cp;
  }
  std::u16string out;
  EXPECT_FALSE(c.toUtf16(12345, "x", out));
}

TEST(IconvConverter, AnsiCodePageFromLocale) {
  EXPECT_EQ(IconvConverter(936).ansiCodePage(), 936u);
  // An invalid UTF-8 file without a mark is read in the ANSI code page.
  IconvConverter ru(1251);
  XmlDocument d(ru);
  d.LoadDocumentBytes("\xCF\xF0\xE8\xE2\xE5\xF2");
  EXPECT_EQ(d.text(), u"Привет");
  EXPECT_EQ(d.resultText(), "ANSI length 6 (used UTF-8 detection) to 6 wide chars ");
  // A declared Chinese code page goes through the converter.
  XmlDocument g(ru);
  g.LoadDocumentBytes("<?xml version=\"1.0\" encoding=\"GB2312\"?><a>\xD6\xD0\xCE\xC4</a>");
  ASSERT_TRUE(g.ParseDocument());
  EXPECT_NE(g.text().find(u"<a>中文</a>"), std::u16string::npos);
}

TEST(XkbLayout, UsGermanFrenchRussian) {
  auto us = XkbKeyboardLayout::fromNames("us");
  if (!us) GTEST_SKIP() << "no keyboard data (xkb-data) on this system";
  EXPECT_EQ(us->characterOf('A'), U'a');
  EXPECT_EQ(us->characterOf('1'), U'1');
  EXPECT_EQ(us->characterOf(0xBA), U';');
  EXPECT_EQ(us->characterOf(0xDE), U'\'');
  EXPECT_EQ(us->characterOf(0xE8), 0u);  // no key

  if (auto de = XkbKeyboardLayout::fromNames("de")) {
    EXPECT_EQ(de->characterOf('Y'), U'y');     // wherever the layout puts it
    EXPECT_EQ(de->characterOf('Z'), U'z');
    EXPECT_EQ(de->characterOf(0xBA), U'\u00f6');  // the key right of L
    EXPECT_EQ(keys::virtualKeyName(0xBA, *de), u"\u00f6");
  }
  if (auto fr = XkbKeyboardLayout::fromNames("fr")) {
    EXPECT_EQ(fr->characterOf('A'), U'a');
    EXPECT_EQ(fr->characterOf('1'), U'&');  // the digit row types symbols unshifted
    EXPECT_EQ(keys::virtualKeyName('1', *fr), u"&");
  }
  if (auto ru = XkbKeyboardLayout::fromNames("ru")) {
    EXPECT_EQ(ru->characterOf('A'), U'\u0444');
    EXPECT_EQ(keys::virtualKeyName('A', *ru), u"\u0444");
  }
}

TEST(XkbLayout, SessionFallsBackToUs) {
  auto session = XkbKeyboardLayout::fromSession();
  ASSERT_NE(session, nullptr);
  EXPECT_FALSE(session->source().empty());
  // Any layout that types a on some key names VK 0x41 "A".
  if (session->characterOf('A') == U'a') EXPECT_EQ(keys::virtualKeyName(0x41, *session), u"A");
  auto us = XkbKeyboardLayout::us();
  ASSERT_NE(us, nullptr);
  EXPECT_EQ(keys::virtualKeyName(0x41, *us), u"A");
  EXPECT_EQ(keys::virtualKeyName(0xBF, *us), u"/");
}
