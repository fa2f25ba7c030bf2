#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "core/util/utf8_utf16.h"
#include "core/localization/code_page.h"
#include "core/localization/encoding_names.h"
#include "core/localization/entities.h"
#include "core/localization/xml_document.h"

using namespace orlix::localization;
namespace fs = std::filesystem;

namespace {

std::string u8(std::u16string_view s) { return utf16ToUtf8(s); }

std::string utf16le(std::u16string_view s, bool bom = true) {
  std::string b = bom ? std::string("\xFF\xFE") : std::string();
  for (char16_t c : s) {
    b.push_back(char(c & 0xFF));
    b.push_back(char(c >> 8));
  }
  return b;
}

// Loads and parses; returns the parse result.
bool parse(XmlDocument& d, std::string_view bytes) {
  d.LoadDocumentBytes(bytes);
  return d.ParseDocument();
}

// Text of section/key the way the language loader asks for it.
std::string lookup(XmlDocument& d, std::u16string_view section, std::u16string_view key) {
  d.ResetPosition();
  while (d.FindChildElement(section)) {
    d.EnterElement();
    if (d.FindChildElement(key)) return u8(d.GetChildText());
  }
  return "<none>";
}

}  // namespace

TEST(XmlLoad, ResultTextPerEncoding) {
  struct Case {
    const char* what;
    std::string bytes;
    std::string result;
    unsigned flags;
  } cases[] = {
      {"UTF-16LE with mark", utf16le(u"<a>\u00e9</a>"), "UTF-16LE BOM + length 8 ", kDocUtf16LeBom},
      {"UTF-8 with mark", "\xEF\xBB\xBF<a>\xC3\xA9</a>", "UTF-8 BOM + length 9 to 8 wide chars ", kDocUtf8Bom},
      {"leading < without declaration", "<a>\xC3\xA9</a>", "UTF-8 length 9 to 8 wide chars ", 0},
      {"declared code page", "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\xE9</a>",
       "windows-1252 length 53 to 53 wide chars ", 0},
      {"no mark, no <, valid UTF-8", "x\xC3\xA9", "UTF-8 length 3 (used UTF-8 detection) to 2 wide chars ", 0},
      {"no mark, no <, invalid UTF-8", "x\xE9y", "ANSI length 3 (used UTF-8 detection) to 3 wide chars ", 0},
      {"empty file", "", "ANSI 0 length ", 0},
      {"mark only", "\xEF\xBB\xBF", "UTF-8 BOM + 0 length ", kDocUtf8Bom},
      {"nulls in 8-bit text", std::string("<a>x\0y\0</a>", 11), "UTF-8 length 11 (2 nulls removed) to 9 wide chars ", 0},
  };
  for (const auto& c : cases) {
    XmlDocument d;
    EXPECT_TRUE(d.LoadDocumentBytes(c.bytes)) << c.what;
    EXPECT_EQ(d.resultText(), c.result) << c.what;
    EXPECT_EQ(d.flags() & kDocEncodingBits, c.flags) << c.what;
  }
}

TEST(XmlLoad, TextOfEachEncoding) {
  XmlDocument d;
  d.LoadDocumentBytes(utf16le(u"<a>\u4e2d</a>"));
  EXPECT_EQ(d.text(), u"<a>\u4e2d</a>");

  // Big-endian mark: units swapped, zero units dropped before.
  std::string be = "\xFE\xFF";
  for (char16_t c : std::u16string(u"<a>\u4e2d</a>")) be += {char(c >> 8), char(c & 0xFF)};
  be += std::string("\0\0", 2);
  d.LoadDocumentBytes(be);
  EXPECT_EQ(d.text(), u"<a>\u4e2d</a>");
  EXPECT_EQ(d.resultText(), "UTF-16BE BOM + length 9 (1 nulls removed) endian swap ");

  // Invalid UTF-8 without mark goes through the ANSI code page (1252 here).
  d.LoadDocumentBytes("x\x80\xE9");
  EXPECT_EQ(d.text(), u"x\u20AC\u00E9");

  // A malformed sequence in a UTF-8 document becomes "?".
  d.LoadDocumentBytes("<a>\xC3(</a>");
  EXPECT_EQ(d.text(), u"<a>?(</a>");

  // Declared UTF-32 (read after the zero bytes are gone, as the reader always does).
  d.LoadDocumentBytes("<?xml encoding='utf-32'?>");
  EXPECT_EQ(d.resultText().substr(0, 7), "utf-32 ");

  // A UTF-16 file without a mark reads as its ASCII part once the nulls are gone.
  d.LoadDocumentBytes(utf16le(u"<a>b</a>", false));
  EXPECT_EQ(d.text(), u"<a>b</a>");
}

TEST(XmlLoad, DeclaredEncodingWalk) {
  struct Case {
    const char* what;
    std::string bytes;
    std::string prefix;  // start of the result text
  } cases[] = {
      {"html meta charset",
       "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\"></head></html>",
       "iso-8859-1 "},
      {"meta after </head> is not looked at",
       "<html><head></head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\"></html>",
       "UTF-8 "},
      {"first element not html", "<x><meta http-equiv=\"Content-Type\" content=\"charset=koi8-r\"/></x>", "UTF-8 "},
      {"xml declaration without encoding", "<?xml version=\"1.0\"?><a/>", "UTF-8 "},
      {"declaration after an end tag", "</z><?xml encoding=\"koi8-r\"?><a/>", "UTF-8 "},
      {"unknown name: ANSI code page", "<?xml encoding=\"no-such-set\"?><a>\xE9</a>", "no-such-set "},
  };
  for (const auto& c : cases) {
    XmlDocument d;
    d.LoadDocumentBytes(c.bytes);
    EXPECT_EQ(d.resultText().substr(0, c.prefix.size()), c.prefix) << c.what << ": " << d.resultText();
  }
  XmlDocument d;
  d.LoadDocumentBytes("<?xml encoding=\"no-such-set\"?><a>\xE9</a>");
  EXPECT_NE(d.text().find(u"\u00E9"), std::u16string::npos);
}

TEST(XmlLoad, MissingFileAndStaleIndex) {
  XmlDocument d;
  ASSERT_TRUE(parse(d, "<r><config><k>v</k></config></r>"));
  EXPECT_EQ(lookup(d, u"config", u"k"), "v");
  EXPECT_FALSE(d.LoadDocumentFile("/nonexistent/orlix/file.xml"));
  EXPECT_EQ(d.resultText(), "No such file or directory");
  EXPECT_TRUE(d.text().empty());
  // The old index is gone with the old text: nothing reads past the empty text.
  EXPECT_EQ(d.entryCount(), 1u);
  EXPECT_EQ(lookup(d, u"config", u"k"), "<none>");
}

TEST(XmlLoad, FromFile) {
  fs::path p = fs::temp_directory_path() / "orlix_xml_load_test.xml";
  {
    std::ofstream f(p, std::ios::binary);
    f << "\xEF\xBB\xBF<r><config><k>caf\xC3\xA9</k></config></r>";
  }
  XmlDocument d;
  ASSERT_TRUE(d.LoadDocumentFile(p));
  EXPECT_TRUE(d.ParseDocument());
  EXPECT_EQ(lookup(d, u"config", u"k"), "caf\xC3\xA9");
  fs::remove(p);
}

TEST(XmlParse, ImplicitlyEndedChild) {
  XmlDocument d;
  EXPECT_FALSE(parse(d, "<a><b></a>"));
  EXPECT_EQ(d.resultText(), "UTF-8 length 10 to 10 wide chars  End tag 'a' at offset 7 does not match start tag 'b' at offset 3");
  ASSERT_EQ(d.entryCount(), 3u);
  const ElementEntry& a = d.entry(1);
  const ElementEntry& b = d.entry(2);
  EXPECT_EQ(a.start, 0u);
  EXPECT_EQ(a.length, 10u);
  EXPECT_EQ(b.start, 3u);
  EXPECT_EQ(b.length, 3u);  // just its start tag
  EXPECT_EQ(b.parent, 1u);
  EXPECT_TRUE(b.level & kLevelEndedImplicitly);
  EXPECT_TRUE(d.entry(0).level & kLevelIllFormed);
}

TEST(XmlParse, ChildrenOfImplicitlyEndedElementMoveUp) {
  XmlDocument d;
  // b is never ended: c and d become siblings of b under a; e stays inside d.
  EXPECT_FALSE(parse(d, "<a><b><c/><d><e/></d></a>"));
  d.ResetPosition();
  ASSERT_TRUE(d.FindElement(u"a"));
  std::string names;
  while (d.FindChildElement()) names += u8(d.tagName(d.childElement())) + ",";
  EXPECT_EQ(names, "b,c,d,");
  uint32_t dd = d.entry(d.entry(d.entry(1).firstChild).nextSibling).nextSibling;
  EXPECT_EQ(u8(d.tagName(dd)), "d");
  EXPECT_EQ(u8(d.tagName(d.entry(dd).firstChild)), "e");
  EXPECT_EQ(d.entry(d.entry(dd).firstChild).parent, dd);

  // Nested unended elements at the end of the text all end at their start tags.
  EXPECT_FALSE(parse(d, "<r><x><y><z>t"));
  EXPECT_NE(d.resultText().find("Element 'z' at offset 9 not ended"), std::string::npos) << d.resultText();
  for (uint32_t n = 1; n < d.entryCount(); ++n) EXPECT_EQ(d.entry(n).firstChild, 0u);
  EXPECT_NE(d.resultText().find("not ended"), std::string::npos);
}

TEST(XmlParse, Messages) {
  struct Case {
    std::string text;
    std::string message;  // "" when well-formed
  } cases[] = {
      {"<r><a>x</a><!-- c --><![CDATA[<>]]><?pi x?></r>", ""},
      {"<!DOCTYPE r [<!ENTITY e \"x>\">]><r/>", ""},
      {"<r></q></r>", "No start tag for end tag 'q' at offset 3"},
      {"<r/><s/>", "Root element has sibling"},
      {"just text", "No root element"},
      {"<!-- only a comment -->", "No root element"},
      {"<r>a < b</r>", "Incorrect tag name character at offset 6"},
      {"<r><!x></r>", "Incorrect ! tag at offset 3"},
      {"<r><!-x></r>", "Incorrect comment tag at offset 3"},
      {"<r><![x]></r>", "Incorrect tag at offset 3"},
      {"<r><!-- x", "Comment at offset 3 unterminated"},
      {"<r><![CDATA[x", "CDATA Section at offset 3 unterminated"},
      {"<r><?x", "Processing instruction at offset 3 unterminated"},
      {"<r><!DOCTYPE x", "Doctype at offset 3 unterminated"},
      {"<r></r", "Element end tag at offset 3 unterminated"},
      {"<r a='>", "Element tag at offset 0 unterminated"},
      {"<r><", "tag at offset 3 unterminated"},
      {"<r><a></r><q>", "End tag 'r' at offset 7 does not match start tag 'a' at offset 3"},
      {"<r a=\"x>y\">t</r>", ""},
  };
  for (const auto& c : cases) {
    XmlDocument d;
    bool ok = parse(d, c.text);
    EXPECT_EQ(ok, c.message.empty()) << c.text;
    std::string load = "UTF-8 length " + std::to_string(c.text.size()) + " to " + std::to_string(c.text.size()) + " wide chars ";
    if (c.text[0] != '<') load = "UTF-8 length " + std::to_string(c.text.size()) + " (used UTF-8 detection) to " + std::to_string(c.text.size()) + " wide chars ";
    EXPECT_EQ(d.resultText(), c.message.empty() ? load : load + " " + c.message) << c.text;
  }
  XmlDocument d;
  EXPECT_FALSE(parse(d, ""));
  EXPECT_EQ(d.resultText(), "ANSI 0 length  Empty document");
}

TEST(XmlParse, RootSiblingsAreStillVisited) {
  XmlDocument d;
  EXPECT_FALSE(parse(d, "<first/><second/>"));
  d.ResetPosition();
  ASSERT_TRUE(d.FindElement());
  EXPECT_EQ(u8(d.tagName(d.currentElement())), "first");
  ASSERT_TRUE(d.FindElement());
  EXPECT_EQ(u8(d.tagName(d.currentElement())), "second");
  EXPECT_FALSE(d.FindElement());
  EXPECT_EQ(u8(d.tagName(d.currentElement())), "second");
}

TEST(XmlParse, IndexGrowsByPages) {
  std::string text = "<r>";
  const size_t n = kIndexPageSize + 10;
  for (size_t i = 0; i < n; ++i) text += "<e>" + std::to_string(i) + "</e>";
  text += "</r>";
  XmlDocument d;
  ASSERT_TRUE(parse(d, text));
  EXPECT_EQ(d.entryCount(), n + 2);
  d.ResetPosition();
  ASSERT_TRUE(d.FindElement(u"r"));
  size_t count = 0;
  std::u16string last;
  while (d.FindChildElement(u"e")) ++count, last = d.GetChildText();
  EXPECT_EQ(count, n);
  EXPECT_EQ(u8(last), std::to_string(n - 1));
}

TEST(XmlQuery, ChildTextForms) {
  XmlDocument d;
  ASSERT_TRUE(parse(d,
                    "<r><config>"
                    "<plain>a &amp; b</plain>"
                    "<mixed>x<!-- no --><![CDATA[<&amp;>]]><?pi?> y</mixed>"
                    "<space>  </space>"
                    "<spaced><!--c-->  <![CDATA[z]]></spaced>"
                    "<empty/>"
                    "<parent><child>t</child></parent>"
                    "<void></void>"
                    "</config></r>"));
  EXPECT_EQ(lookup(d, u"config", u"plain"), "a & b");
  EXPECT_EQ(lookup(d, u"config", u"mixed"), "x<&amp;> y");
  EXPECT_EQ(lookup(d, u"config", u"space"), "  ");
  EXPECT_EQ(lookup(d, u"config", u"spaced"), "z");
  EXPECT_EQ(lookup(d, u"config", u"empty"), "");
  EXPECT_EQ(lookup(d, u"config", u"parent"), "");
  EXPECT_EQ(lookup(d, u"config", u"void"), "");
  EXPECT_EQ(lookup(d, u"config", u"missing"), "<none>");
}

TEST(XmlQuery, NameMatching) {
  XmlDocument d;
  ASSERT_TRUE(parse(d, "<r><Item>1</Item><item>2</item><items>3</items></r>"));
  struct Case {
    std::u16string name;
    bool ignoreCase;
    std::string text;
  } cases[] = {
      {u"item", false, "2"},        {u"Item", false, "1"},         {u"item", true, "1"},
      {u"items", false, "3"},       {u"item/x", false, "2"},       {u"item[1]", false, "2"},
      {u"item=", false, "2"},       {u"item x", false, "2"},       {u"itemz", false, "<none>"},
      {u"ite", false, "<none>"},    {u"", false, "1"},
  };
  for (const auto& c : cases) {
    d.setIgnoreCase(c.ignoreCase);
    d.ResetPosition();
    ASSERT_TRUE(d.FindElement(u"r"));
    std::string got = d.FindChildElement(c.name) ? u8(d.GetChildText()) : "<none>";
    EXPECT_EQ(got, c.text) << u8(c.name) << " ignoreCase=" << c.ignoreCase;
  }
}

TEST(XmlQuery, PositionOperations) {
  XmlDocument d;
  ASSERT_TRUE(parse(d, "<r><a><x>1</x></a><b><x>2</x><y>3</y></b></r>"));
  d.ResetPosition();
  EXPECT_FALSE(d.EnterElement());  // nothing current yet
  // FindChildElement with nothing current first makes the root current.
  ASSERT_TRUE(d.FindChildElement(u"b"));
  EXPECT_EQ(u8(d.tagName(d.currentElement())), "r");
  ASSERT_TRUE(d.EnterElement());
  EXPECT_EQ(u8(d.tagName(d.parentElement())), "r");
  EXPECT_EQ(u8(d.tagName(d.currentElement())), "b");
  EXPECT_EQ(d.childElement(), 0u);
  ASSERT_TRUE(d.FindChildElement(u"y"));
  EXPECT_EQ(u8(d.GetChildText()), "3");
  EXPECT_FALSE(d.FindChildElement(u"x"));  // only after the current child
  // FindElement moves among the children of the parent and clears the child.
  ASSERT_FALSE(d.FindElement(u"a"));
  d.ResetPosition();
  ASSERT_TRUE(d.FindElement(u"r"));
  ASSERT_TRUE(d.FindChildElement(u"a"));
  ASSERT_TRUE(d.EnterElement());
  ASSERT_TRUE(d.FindElement(u"b"));
  EXPECT_EQ(d.childElement(), 0u);
  EXPECT_EQ(d.GetChildText(), u"");
}

TEST(XmlReferences, Decoding) {
  struct Case {
    std::u16string in, out;
  } cases[] = {
      {u"&lt;&#65;&#x42;&zz;", u"<AB&zz;"},
      {u"&#0;&#;&#x;&#12a;", u"&#0;&#;&#x;&#12a;"},
      {u"&#x1F600;", u"\U0001F600"},
      {u"&#x110000;&#99999999999;", u"&#x110000;&#99999999999;"},
      {u"&apos;&quot;&nbsp;&euro;", u"'\"\u00A0\u20AC"},
      {u"&AMP;&Oslash;&oslash;", u"&\u00D8\u00F8"},
      {u"&thetasym;&abcdefghij;", u"\u03D1&abcdefghij;"},
      {u"& lt; &", u"& lt; &"},
      {u"&amp;lt;", u"&lt;"},
  };
  for (const auto& c : cases) EXPECT_EQ(XmlDocument::decodeReferences(c.in), c.out) << u8(c.in);
}

TEST(XmlReferences, EntityTableAgainstHtml4Sets) {
  // The HTML 4 entity sets as Debian ships them; the table must decode every one.
  const fs::path dir = "/usr/share/xml/w3c-sgml-lib/schema/dtd/REC-html401-19991224";
  if (!fs::exists(dir / "HTMLlat1.ent")) GTEST_SKIP() << "w3c-sgml-lib is not installed";
  std::regex decl(R"(<!ENTITY\s+(\w+)\s+CDATA\s+"&#(\d+);")");
  size_t seen = 0;
  for (const char* file : {"HTMLlat1.ent", "HTMLsymbol.ent", "HTMLspecial.ent"}) {
    std::ifstream in(dir / file);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::sregex_iterator it(all.begin(), all.end(), decl), end; it != end; ++it) {
      std::string name = (*it)[1];
      auto cp = char32_t(std::stoul((*it)[2]));
      std::u16string ref = u"&" + std::u16string(name.begin(), name.end()) + u";";
      std::u16string want;
      if (cp > 0xFFFF)
        want = {char16_t(0xD800 + ((cp - 0x10000) >> 10)), char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF))};
      else
        want = std::u16string(1, char16_t(cp));
      EXPECT_EQ(XmlDocument::decodeReferences(ref), want) << name;
      ++seen;
    }
  }
  EXPECT_EQ(seen, 252u);
  EXPECT_EQ(entities().size(), 253u);
}

TEST(XmlEncodings, NameTable) {
  auto names = encodingNames();
  EXPECT_EQ(names.size(), 254u);
  struct Case {
    std::u16string_view name;
    unsigned cp;
  } cases[] = {{u"utf-8", 65001},      {u"UTF-16", 1200},       {u"unicode", 1200},
               {u"unicodeFFFE", 1201}, {u"utf-7", 65000},       {u"US-ASCII", 20127},
               {u"iso-8859-1", 28591}, {u"Windows-1252", 1252}, {u"windows-1251", 1251},
               {u"KOI8-R", 20866},     {u"gb2312", 936},        {u"GBK", 936},
               {u"big5", 950},         {u"Shift_JIS", 932},     {u"euc-kr", 949},
               {u"ks_c_5601-1987", 949}, {u"utf-32", 65005},    {u"nonsense", 0}};
  for (const auto& c : cases) EXPECT_EQ(codePageOfName(c.name), c.cp) << u8(c.name);
  for (const auto& e : names) EXPECT_EQ(codePageOfName(e.name), e.codePage) << e.name;
}

TEST(XmlEncodings, AnsiCodePageOfLocale) {
  struct Case {
    const char* locale;
    unsigned cp;
  } cases[] = {{"zh_CN.UTF-8", 936}, {"zh_TW.UTF-8", 950}, {"zh_HK", 950},        {"ja_JP.eucJP", 932},
               {"ko_KR.UTF-8", 949}, {"ru_RU.UTF-8", 1251}, {"uk_UA", 1251},      {"bg_BG", 1251},
               {"sr_RS", 1251},      {"pl_PL.UTF-8", 1250}, {"cs_CZ", 1250},      {"el_GR", 1253},
               {"tr_TR", 1254},      {"he_IL", 1255},       {"ar_EG", 1256},      {"th_TH", 874},
               {"de_DE.UTF-8", 1252}, {"C", 1252},          {"", 1252},           {"POSIX", 1252}};
  for (const auto& c : cases) EXPECT_EQ(ansiCodePageForLocale(c.locale), c.cp) << c.locale;
}

TEST(XmlRobustness, EveryPrefixOfADocument) {
  // Cut anywhere, the reader still loads, indexes and answers without reading
  // outside its text.
  const std::string doc =
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><!DOCTYPE r [<!ENTITY e \"v\">]>"
      "<r a='1'><config><k>x &amp; &#x4E2D; <![CDATA[c]]><!--n--></k><e/></config></r>";
  for (size_t n = 0; n <= doc.size(); ++n) {
    XmlDocument d;
    d.LoadDocumentBytes(doc.substr(0, n));
    d.ParseDocument();
    lookup(d, u"config", u"k");
    for (uint32_t i = 1; i < d.entryCount(); ++i) {
      const ElementEntry& e = d.entry(i);
      EXPECT_LE(size_t(e.start) + e.length, d.text().size()) << n;
      EXPECT_LE(e.startTagLength + e.endTagLength, e.length) << n;
    }
  }
}

// The one code point encoder, at the edges of the two forms.
TEST(Utf16Encoding, UnitsAndSurrogatePairsAtTheEdges) {
  struct Case {
    char32_t cp;
    std::u16string units;
  };
  const Case cases[] = {
      {0x41, u"A"},
      {0xFFFF, std::u16string(1, char16_t(0xFFFF))},
      {0x10000, u"\xD800\xDC00"},
      {0x1F600, u"\xD83D\xDE00"},
      {0x10FFFF, u"\xDBFF\xDFFF"},
  };
  for (const Case& c : cases) {
    std::u16string out = u"x";
    orlix::appendUtf16(out, c.cp);
    EXPECT_EQ(out, u"x" + c.units) << std::hex << uint32_t(c.cp);
    EXPECT_EQ(orlix::utf8ToUtf16(orlix::utf16ToUtf8(c.units)), c.units);
  }
}
