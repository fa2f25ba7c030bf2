#pragma once
// The node tokenizer behind the XML reader: splits UTF-16 text into tags,
// text, CDATA sections, comments, processing instructions and declarations.
// It never stops on bad input; it reports the first problem through the
// problem text and goes on.

#include <cstdint>
#include <string>
#include <string_view>

namespace orlix::localization {

struct XmlToken {
  int kind = 0;          // XmlNodeKind
  size_t start = 0;      // offset of the node's first unit
  size_t length = 0;
  size_t nameStart = 0;  // tags and processing instructions: the name
  size_t nameLength = 0;
  bool emptyElement = false;  // a start tag that ends with "/>"
  size_t contentStart = 0;    // CDATA: the section's content
  size_t contentLength = 0;
};

// A-Z to a-z, as names compare when case is ignored.
inline char16_t foldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c; }

inline bool isXmlSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// Names end at white space or one of <>=\/?!"';
inline bool endsName(char16_t c) {
  switch (c) {
    case u' ': case u'\t': case u'\n': case u'\r': case u'<': case u'>': case u'=': case u'\\':
    case u'/': case u'?': case u'!': case u'"': case u'\'': case u';':
      return true;
    default:
      return false;
  }
}

// A character that cannot follow "<" as the start of a name: U+0000..U+0040
// and U+005B..U+0060, except ! / ? : and _.
inline bool badNameStart(char16_t c) {
  if (c == u'!' || c == u'/' || c == u'?' || c == u':' || c == u'_') return false;
  return c <= 0x40 || (c >= 0x5B && c <= 0x60);
}

class XmlTokenizer {
 public:
  explicit XmlTokenizer(std::u16string_view text, size_t offsetBase = 0)
      : t_(text), base_(offsetBase) {}

  // The next node; false at the end of the text.
  bool next(XmlToken& tok);
  // True once a problem was met; problem() holds the first one.
  bool failed() const { return !problem_.empty(); }
  const std::string& problem() const { return problem_; }
  size_t position() const { return pos_; }

 private:
  void note(const std::string& message);
  std::string at(size_t off) const { return std::to_string(off + base_); }
  // Makes a text node of everything from start up to the next "<" after it.
  void textFrom(size_t start, size_t searchFrom, XmlToken& tok);
  size_t find(std::u16string_view needle, size_t from) const;

  std::u16string_view t_;
  size_t base_;
  size_t pos_ = 0;
  std::string problem_;
};

}  // namespace orlix::localization
