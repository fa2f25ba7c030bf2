#include "core/localization/xml_tokenizer.h"

#include "core/localization/xml_document.h"

namespace orlix::localization {

void XmlTokenizer::note(const std::string& message) {
  if (problem_.empty()) problem_ = message;
}

size_t XmlTokenizer::find(std::u16string_view needle, size_t from) const {
  // A plain scan for the first unit, then a compare: the terminators are short.
  const char16_t first = needle[0];
  const size_t n = t_.size();
  for (size_t i = from; i < n; ++i) {
    if (t_[i] != first) continue;
    if (t_.substr(i, needle.size()) == needle) return i;
  }
  return std::u16string_view::npos;
}

void XmlTokenizer::textFrom(size_t start, size_t searchFrom, XmlToken& tok) {
  size_t end = searchFrom;
  const size_t n = t_.size();
  while (end < n && t_[end] != u'<') ++end;
  bool space = true;
  for (size_t i = start; i < end && space; ++i) space = isXmlSpace(t_[i]);
  tok.kind = space ? kNodeWhitespace : kNodeText;
  tok.start = start;
  tok.length = end - start;
  pos_ = end;
}

bool XmlTokenizer::next(XmlToken& tok) {
  const size_t n = t_.size();
  if (pos_ >= n) return false;
  tok = XmlToken{};
  const size_t start = pos_;
  if (t_[start] != u'<') {
    textFrom(start, start, tok);
    return true;
  }
  tok.start = start;
  auto rest = [&](int kind, const char* what) {
    note(std::string(what) + " at offset " + at(start) + " unterminated");
    tok.kind = kind;
    tok.length = n - start;
    pos_ = n;
    return true;
  };
  if (start + 1 >= n) return rest(kNodeText, "tag");
  const char16_t c = t_[start + 1];

  if (c == u'/') {
    size_t i = start + 2;
    tok.nameStart = i;
    while (i < n && !endsName(t_[i])) ++i;
    tok.nameLength = i - tok.nameStart;
    while (i < n && t_[i] != u'>') ++i;
    tok.kind = kNodeEndTag;
    if (i >= n) return rest(kNodeEndTag, "Element end tag");
    tok.length = i + 1 - start;
    pos_ = i + 1;
    return true;
  }

  if (c == u'?') {
    size_t i = start + 2;
    tok.nameStart = i;
    while (i < n && !endsName(t_[i])) ++i;
    tok.nameLength = i - tok.nameStart;
    size_t end = find(u"?>", i);
    tok.kind = kNodeProcessingInstruction;
    if (end == std::u16string_view::npos) return rest(kNodeProcessingInstruction, "Processing instruction");
    tok.length = end + 2 - start;
    pos_ = end + 2;
    return true;
  }

  if (c == u'!') {
    if (start + 2 >= n) return rest(kNodeText, "tag");
    const char16_t d = t_[start + 2];
    if (d == u'-') {
      if (start + 3 < n && t_[start + 3] == u'-') {
        size_t end = find(u"-->", start + 4);
        tok.kind = kNodeComment;
        if (end == std::u16string_view::npos) return rest(kNodeComment, "Comment");
        tok.length = end + 3 - start;
        pos_ = end + 3;
        return true;
      }
      note("Incorrect comment tag at offset " + at(start));
      textFrom(start, start + 1, tok);
      return true;
    }
    if (d == u'[') {
      if (start + 3 < n && t_[start + 3] == u'C') {
        size_t end = find(u"]]>", start + 3);
        tok.kind = kNodeCdata;
        if (end == std::u16string_view::npos) return rest(kNodeCdata, "CDATA Section");
        // Content follows "<![CDATA["; a shorter opening gives what stands after it.
        size_t content = start + 9 <= end ? start + 9 : end;
        tok.contentStart = content;
        tok.contentLength = end - content;
        tok.length = end + 3 - start;
        pos_ = end + 3;
        return true;
      }
      note("Incorrect tag at offset " + at(start));
      textFrom(start, start + 1, tok);
      return true;
    }
    if (d == u'D' || d == u'E' || d == u'A' || d == u'N') {
      // Up to the ">" outside quotes and outside an internal subset [...].
      size_t i = start + 2;
      int bracket = 0;
      char16_t quote = 0;
      for (; i < n; ++i) {
        char16_t e = t_[i];
        if (quote) {
          if (e == quote) quote = 0;
        } else if (e == u'"' || e == u'\'') {
          quote = e;
        } else if (e == u'[') {
          ++bracket;
        } else if (e == u']') {
          if (bracket > 0) --bracket;
        } else if (e == u'>' && bracket == 0) {
          break;
        }
      }
      tok.kind = kNodeDoctype;
      if (i >= n) return rest(kNodeDoctype, "Doctype");
      tok.length = i + 1 - start;
      pos_ = i + 1;
      return true;
    }
    note("Incorrect ! tag at offset " + at(start));
    textFrom(start, start + 1, tok);
    return true;
  }

  if (badNameStart(c)) {
    note("Incorrect tag name character at offset " + at(start + 1));
    textFrom(start, start + 1, tok);
    return true;
  }

  // Start tag: the name, then attributes up to ">" (quoted values may hold ">").
  size_t i = start + 1;
  tok.nameStart = i;
  while (i < n && !endsName(t_[i])) ++i;
  tok.nameLength = i - tok.nameStart;
  tok.kind = kNodeElement;
  bool afterEquals = false;
  for (; i < n; ++i) {
    char16_t e = t_[i];
    if (e == u'>') break;
    if (e == u'=') {
      afterEquals = true;
      continue;
    }
    if (afterEquals && (e == u'"' || e == u'\'')) {
      size_t close = i + 1;
      while (close < n && t_[close] != e) ++close;
      if (close >= n) {
        i = n;
        break;
      }
      i = close;
      afterEquals = false;
      continue;
    }
    if (!isXmlSpace(e)) afterEquals = false;
  }
  if (i >= n) return rest(kNodeElement, "Element tag");
  tok.emptyElement = t_[i - 1] == u'/' && i - 1 >= tok.nameStart + tok.nameLength;
  tok.length = i + 1 - start;
  pos_ = i + 1;
  return true;
}

}  // namespace orlix::localization
