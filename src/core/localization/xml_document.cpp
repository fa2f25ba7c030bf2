#include "core/localization/xml_document.h"

#include "core/util/utf8_utf16.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/localization/encoding_names.h"
#include "core/localization/entities.h"
#include "core/localization/xml_tokenizer.h"

namespace orlix::localization {

namespace {

constexpr size_t kHeadBytes = 1024;

bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  return true;
}

std::string narrow(std::u16string_view s) { return utf16ToUtf8(s); }

// Value of attribute `name` in the tag text (from after the tag name to its end);
// names compared without regard to A-Z case. found tells an empty value apart.
std::u16string_view attributeValue(std::u16string_view tag, std::u16string_view name, bool& found) {
  found = false;
  size_t i = 0;
  const size_t n = tag.size();
  while (i < n) {
    while (i < n && (isXmlSpace(tag[i]) || tag[i] == u'/' || tag[i] == u'?')) ++i;
    if (i >= n || tag[i] == u'>') break;
    size_t nameStart = i;
    while (i < n && !isXmlSpace(tag[i]) && tag[i] != u'=' && tag[i] != u'>' && tag[i] != u'/' &&
           tag[i] != u'?')
      ++i;
    std::u16string_view attr = tag.substr(nameStart, i - nameStart);
    if (attr.empty()) {
      ++i;
      continue;
    }
    while (i < n && isXmlSpace(tag[i])) ++i;
    std::u16string_view value;
    if (i < n && tag[i] == u'=') {
      ++i;
      while (i < n && isXmlSpace(tag[i])) ++i;
      if (i < n && (tag[i] == u'"' || tag[i] == u'\'')) {
        char16_t q = tag[i++];
        size_t vs = i;
        while (i < n && tag[i] != q) ++i;
        value = tag.substr(vs, i - vs);
        if (i < n) ++i;
      } else {
        size_t vs = i;
        while (i < n && !isXmlSpace(tag[i]) && tag[i] != u'>') ++i;
        value = tag.substr(vs, i - vs);
      }
    }
    if (equalsIgnoreCase(attr, name)) {
      found = true;
      return value;
    }
  }
  return {};
}

// The word after "charset" and "=" in a meta content value.
std::u16string_view charsetOf(std::u16string_view content) {
  for (size_t i = 0; i + 7 <= content.size(); ++i) {
    if (!equalsIgnoreCase(content.substr(i, 7), u"charset")) continue;
    size_t j = i + 7;
    while (j < content.size() && isXmlSpace(content[j])) ++j;
    if (j >= content.size() || content[j] != u'=') continue;
    ++j;
    while (j < content.size() && isXmlSpace(content[j])) ++j;
    size_t s = j;
    while (j < content.size() && !isXmlSpace(content[j]) && content[j] != u';' && content[j] != u'"' &&
           content[j] != u'\'')
      ++j;
    return content.substr(s, j - s);
  }
  return {};
}

// The encoding declared at the start of a file without a byte-order mark: the
// "encoding" of an <?xml ...?> declaration, or the charset of an HTML
// Content-Type meta element. Empty when none.
std::string declaredEncoding(std::string_view head) {
  std::u16string text = utf8ToUtf16(head);
  std::u16string_view t(text);
  XmlTokenizer tk(t);
  XmlToken tok;
  bool sawEndTag = false, sawElement = false;
  while (tk.next(tok)) {
    if (tk.failed()) break;
    std::u16string_view name = t.substr(tok.nameStart, tok.nameLength);
    std::u16string_view rest = t.substr(tok.nameStart + tok.nameLength,
                                        tok.start + tok.length - (tok.nameStart + tok.nameLength));
    bool found = false;
    switch (tok.kind) {
      case kNodeEndTag:
        sawEndTag = true;
        if (sawElement && equalsIgnoreCase(name, u"head")) return {};
        break;
      case kNodeProcessingInstruction:
        if (!sawEndTag && name == u"xml") return narrow(attributeValue(rest, u"encoding", found));
        break;
      case kNodeElement:
        if (!sawElement) {
          sawElement = true;
          if (!equalsIgnoreCase(name, u"html")) return {};
        } else if (equalsIgnoreCase(name, u"meta")) {
          std::u16string_view equiv = attributeValue(rest, u"http-equiv", found);
          if (found && equalsIgnoreCase(equiv, u"Content-Type"))
            return narrow(charsetOf(attributeValue(rest, u"content", found)));
        }
        break;
      default:
        break;
    }
  }
  return {};
}

std::u16string utf32LeToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size() / 4);
  for (size_t i = 0; i + 3 < bytes.size(); i += 4) {
    char32_t cp = char32_t(uint8_t(bytes[i])) | (char32_t(uint8_t(bytes[i + 1])) << 8) |
                  (char32_t(uint8_t(bytes[i + 2])) << 16) | (char32_t(uint8_t(bytes[i + 3])) << 24);
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) out.push_back(u'?');
    else appendUtf16(out, cp);
  }
  return out;
}

// Name of the element whose "<" is at start.
std::u16string_view nameAt(std::u16string_view text, size_t start) {
  size_t i = start + 1;
  while (i < text.size() && !endsName(text[i])) ++i;
  return text.substr(start + 1, i - start - 1);
}

}  // namespace

XmlDocument::XmlDocument(const CodePageConverter& converter) : converter_(&converter) { clearIndex(); }

XmlDocument::~XmlDocument() = default;

void XmlDocument::setIgnoreCase(bool on) {
  if (on)
    flags_ |= kDocIgnoreCase;
  else
    flags_ &= ~kDocIgnoreCase;
}

ElementEntry& XmlDocument::at(uint32_t n) { return pages_[n / kIndexPageSize][n % kIndexPageSize]; }

const ElementEntry& XmlDocument::entry(uint32_t n) const {
  static const ElementEntry kNone{};
  if (n >= count_) return kNone;
  return pages_[n / kIndexPageSize][n % kIndexPageSize];
}

uint32_t XmlDocument::newEntry() {
  if (count_ == pages_.size() * kIndexPageSize)
    pages_.push_back(std::unique_ptr<ElementEntry[]>(new ElementEntry[kIndexPageSize]));
  auto n = uint32_t(count_++);
  at(n) = ElementEntry{};
  return n;
}

void XmlDocument::clearIndex() {
  // The first page stays allocated; later pages are given back.
  if (pages_.size() > 1) pages_.resize(1);
  count_ = 0;
  newEntry();
  ResetPosition();
}

std::u16string_view XmlDocument::tagName(uint32_t n) const {
  if (n == 0 || n >= count_) return {};
  return nameAt(text_, entry(n).start);
}

bool XmlDocument::LoadDocumentFile(const std::filesystem::path& path) {
  flags_ &= ~kDocEncodingBits;
  text_.clear();
  clearIndex();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    loadResult_ = result_ = std::strerror(errno);
    return false;
  }
  flags_ |= kDocReading;
  std::string bytes;
  bool ok = true;
  long size = -1;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    size = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
  }
  if (size > 0) {
    bytes.resize(size_t(size));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
  }
  // Whatever the size said (files that grow, or report no size), read to the end.
  char buf[65536];
  for (;;) {
    size_t got = std::fread(buf, 1, sizeof buf, f);
    bytes.append(buf, got);
    if (got < sizeof buf) {
      ok = !std::ferror(f);
      break;
    }
  }
  int readErrno = errno;
  std::fclose(f);
  flags_ &= ~kDocReading;
  if (!ok) {
    loadResult_ = result_ = std::strerror(readErrno ? readErrno : EIO);
    return false;
  }
  return LoadDocumentBytes(bytes);
}

bool XmlDocument::LoadDocumentBytes(std::string_view bytes) {
  flags_ &= ~kDocEncodingBits;
  text_.clear();
  clearIndex();

  std::string encoding;
  bool bom = false;
  size_t skip = 0;
  auto has = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  if (has("\xEF\xBB\xBF")) {
    encoding = "UTF-8", flags_ |= kDocUtf8Bom, skip = 3, bom = true;
  } else if (has("\xFF\xFE")) {
    encoding = "UTF-16LE", flags_ |= kDocUtf16LeBom, skip = 2, bom = true;
  } else if (has("\xFE\xFF")) {
    encoding = "UTF-16BE", flags_ |= kDocUtf16BeBom, skip = 2, bom = true;
  } else {
    encoding = declaredEncoding(bytes.substr(0, kHeadBytes));
    if (encoding.empty() && !bytes.empty() && bytes[0] == '<') encoding = "UTF-8";
  }
  std::string_view rest = bytes.substr(skip);
  std::string notes;

  if (rest.empty()) {
    notes = "0 length ";
  } else if (flags_ & (kDocUtf16LeBom | kDocUtf16BeBom)) {
    size_t units = rest.size() / 2;
    notes = "length " + std::to_string(units) + " ";
    text_.resize(units);
    for (size_t i = 0; i < units; ++i)
      text_[i] = char16_t(uint8_t(rest[2 * i]) | (uint8_t(rest[2 * i + 1]) << 8));
    size_t before = text_.size();
    text_.erase(std::remove(text_.begin(), text_.end(), u'\0'), text_.end());
    if (text_.size() != before) notes += "(" + std::to_string(before - text_.size()) + " nulls removed) ";
    if (flags_ & kDocUtf16BeBom) {
      for (auto& u : text_) u = char16_t((u >> 8) | (u << 8));
      notes += "endian swap ";
    }
  } else {
    notes = "length " + std::to_string(rest.size()) + " ";
    std::string_view data = rest;
    std::string stripped;
    if (rest.find('\0') != std::string_view::npos) {
      stripped.assign(rest);
      stripped.erase(std::remove(stripped.begin(), stripped.end(), '\0'), stripped.end());
      notes += "(" + std::to_string(rest.size() - stripped.size()) + " nulls removed) ";
      data = stripped;
    }
    if (encoding.empty()) {
      if (isValidUtf8(data)) encoding = "UTF-8";
      notes += "(used UTF-8 detection) ";
    }
    unsigned cp = encoding.empty() ? 0 : codePageOfName(encoding);
    if (cp == 0) cp = converter_->ansiCodePage();
    if (cp == kCodePageUtf8) {
      text_ = utf8ToUtf16(data);
    } else if (cp == kCodePageUtf32) {
      text_ = utf32LeToUtf16(data);
    } else if (!converter_->toUtf16(cp, data, text_) &&
               !converter_->toUtf16(converter_->ansiCodePage(), data, text_)) {
      // Neither the named nor the ANSI code page is known to the converter:
      // keep the bytes readable as Latin-1 rather than losing the text.
      builtinConverter().toUtf16(28591, data, text_);
    }
    notes += "to " + std::to_string(text_.size()) + " wide chars ";
  }

  if (bom)
    loadResult_ = encoding + " BOM + ";
  else
    loadResult_ = (encoding.empty() ? std::string("ANSI") : encoding) + " ";
  loadResult_ += notes;
  result_ = loadResult_;
  return true;
}

bool XmlDocument::ParseDocument() {
  clearIndex();
  std::string message;
  auto note = [&](const std::string& m) {
    if (message.empty()) message = m;
  };
  const std::u16string_view t(text_);
  const bool ignoreCase = flags_ & kDocIgnoreCase;
  auto sameName = [&](std::u16string_view a, std::u16string_view b) {
    return ignoreCase ? equalsIgnoreCase(a, b) : a == b;
  };
  auto quoted = [&](std::u16string_view name) {
    std::string q(1, '\'');
    q += narrow(name);
    q += '\'';
    return q;
  };

  if (t.empty()) {
    note("Empty document");
  } else {
    struct Frame {
      uint32_t element;
      uint32_t lastChild;
      std::u16string_view name;  // the element's tag name, for matching end tags
    };
    std::vector<Frame> stack{{0, 0, {}}};
    stack.reserve(64);

    auto link = [&](uint32_t n) {
      Frame& top = stack.back();
      ElementEntry& e = at(n);
      e.parent = top.element;
      e.prevSibling = top.lastChild;
      e.level = uint32_t(std::min<size_t>(stack.size() - 1, kLevelDepthMask));
      if (top.lastChild)
        at(top.lastChild).nextSibling = n;
      else {
        at(top.element).firstChild = n;
        e.level |= kLevelFirstChild;
      }
      top.lastChild = n;
    };
    // Ends the open elements above frame `into` at their start tags. Each one
    // keeps no content: its children follow it as siblings under the element
    // of frame `into`. Outermost first, so every element is moved at most once.
    auto endImplicitly = [&](size_t into) {
      Frame& target = stack[into];
      for (size_t j = into + 1; j < stack.size(); ++j) {
        uint32_t x = stack[j].element;
        ElementEntry& e = at(x);
        e.length = e.startTagLength;
        e.endTagLength = 0;
        e.level |= kLevelEndedImplicitly;
        if (uint32_t first = e.firstChild) {
          for (uint32_t c = first; c; c = at(c).nextSibling) at(c).parent = target.element;
          at(first).level &= ~kLevelFirstChild;
          at(first).prevSibling = x;
          e.nextSibling = first;
          e.firstChild = 0;
          target.lastChild = stack[j].lastChild;
        }
      }
      stack.erase(stack.begin() + long(into + 1), stack.end());
    };

    XmlTokenizer tk(t);
    XmlToken tok;
    while (tk.next(tok)) {
      // A problem of the tokenizer belongs to this node, so it comes before
      // whatever the node does to the tree.
      if (message.empty() && tk.failed()) message = tk.problem();
      if (tok.kind == kNodeElement) {
        uint32_t n = newEntry();
        ElementEntry& e = at(n);
        e.start = uint32_t(tok.start);
        e.startTagLength = uint32_t(tok.length);
        link(n);
        if (tok.emptyElement)
          at(n).length = uint32_t(tok.length);
        else
          stack.push_back({n, 0, t.substr(tok.nameStart, tok.nameLength)});
      } else if (tok.kind == kNodeEndTag) {
        std::u16string_view name = t.substr(tok.nameStart, tok.nameLength);
        size_t match = 0;
        for (size_t i = stack.size() - 1; i > 0; --i) {
          if (sameName(stack[i].name, name)) {
            match = i;
            break;
          }
        }
        if (match == 0) {
          note("No start tag for end tag " + quoted(name) + " at offset " + std::to_string(tok.start));
          continue;
        }
        if (match != stack.size() - 1) {
          const ElementEntry& inner = at(stack.back().element);
          note("End tag " + quoted(name) + " at offset " + std::to_string(tok.start + 1) +
               " does not match start tag " + quoted(stack.back().name) + " at offset " +
               std::to_string(inner.start));
          endImplicitly(match);
        }
        ElementEntry& e = at(stack.back().element);
        e.length = uint32_t(tok.start + tok.length - e.start);
        e.endTagLength = uint32_t(tok.length);
        stack.pop_back();
      }
    }
    if (stack.size() > 1) {
      const ElementEntry& inner = at(stack.back().element);
      note("Element " + quoted(nameAt(t, inner.start)) + " at offset " + std::to_string(inner.start) +
           " not ended");
      endImplicitly(0);
    }
    const ElementEntry& doc = at(0);
    if (doc.firstChild == 0)
      note("No root element");
    else if (at(doc.firstChild).nextSibling != 0)
      note("Root element has sibling");
  }

  if (!message.empty()) at(0).level |= kLevelIllFormed;
  result_ = loadResult_;
  if (!message.empty()) result_ += " " + message;
  ResetPosition();
  return message.empty();
}

void XmlDocument::ResetPosition() {
  parent_ = current_ = child_ = 0;
  nodeKind_ = 0;
  nodeOffset_ = nodeLength_ = 0;
}

bool XmlDocument::nameMatches(uint32_t n, std::u16string_view name) const {
  if (name.empty()) return true;
  // Compare along the tag name in the text without measuring it first: most
  // candidates differ in their first unit.
  const bool fold = flags_ & kDocIgnoreCase;
  const size_t at = size_t(entry(n).start) + 1;
  const size_t end = text_.size();
  size_t i = 0;
  for (; i < name.size() && at + i < end && !endsName(text_[at + i]); ++i) {
    char16_t a = text_[at + i], b = name[i];
    if (a != b && !(fold && foldAscii(a) == foldAscii(b))) return false;
  }
  const bool tagEnded = at + i >= end || endsName(text_[at + i]);
  if (!tagEnded) return false;  // the tag name is longer than the given name
  if (i == name.size()) return true;
  char16_t c = name[i];
  return c == u' ' || c == u'=' || c == u'/' || c == u'[' || c == u']';
}

bool XmlDocument::FindElement(std::u16string_view name) {
  uint32_t n = current_ ? entry(current_).nextSibling : entry(parent_).firstChild;
  for (; n; n = entry(n).nextSibling) {
    if (nameMatches(n, name)) {
      current_ = n;
      child_ = 0;
      nodeKind_ = 0;
      nodeOffset_ = nodeLength_ = 0;
      return true;
    }
  }
  return false;
}

bool XmlDocument::FindChildElement(std::u16string_view name) {
  if (!current_ && !FindElement()) return false;
  uint32_t n = child_ ? entry(child_).nextSibling : entry(current_).firstChild;
  for (; n; n = entry(n).nextSibling) {
    if (nameMatches(n, name)) {
      child_ = n;
      return true;
    }
  }
  return false;
}

bool XmlDocument::EnterElement() {
  if (!current_) return false;
  parent_ = current_;
  current_ = child_;
  child_ = 0;
  nodeKind_ = 0;
  nodeOffset_ = nodeLength_ = 0;
  return true;
}

std::u16string XmlDocument::GetChildText() const { return elementText(child_); }

std::u16string XmlDocument::elementText(uint32_t n) const {
  if (n == 0 || n >= count_) return {};
  const ElementEntry& e = entry(n);
  if (e.firstChild || e.startTagLength >= e.length) return {};
  size_t from = size_t(e.start) + e.startTagLength;
  size_t to = size_t(e.start) + e.length - e.endTagLength;
  if (to > text_.size() || from > to) return {};
  std::u16string_view content = std::u16string_view(text_).substr(from, to - from);
  std::u16string out;
  if (content.find(u'<') == std::u16string_view::npos) {
    appendDecoded(content, out);
    return out;
  }
  XmlTokenizer tk(content);
  XmlToken tok;
  while (tk.next(tok)) {
    if (tok.kind == kNodeText)
      appendDecoded(content.substr(tok.start, tok.length), out);
    else if (tok.kind == kNodeCdata)
      out.append(content.substr(tok.contentStart, tok.contentLength));
  }
  return out;
}

std::u16string XmlDocument::decodeReferences(std::u16string_view s) {
  std::u16string out;
  appendDecoded(s, out);
  return out;
}

void XmlDocument::appendDecoded(std::u16string_view s, std::u16string& out) {
  const size_t n = s.size();
  out.reserve(out.size() + n);
  size_t i = 0;
  while (i < n) {
    size_t amp = s.find(u'&', i);
    if (amp == std::u16string_view::npos) {
      out.append(s.substr(i));
      return;
    }
    out.append(s.substr(i, amp - i));
    i = amp;
    if (i + 1 < n && s[i + 1] == u'#') {
      size_t j = i + 2;
      bool hex = j < n && s[j] == u'x';
      if (hex) ++j;
      size_t digits = j;
      char32_t cp = 0;
      bool tooBig = false;
      for (; j < n; ++j) {
        char16_t c = s[j];
        int d;
        if (c >= u'0' && c <= u'9')
          d = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
          d = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
          d = c - u'A' + 10;
        else
          break;
        cp = cp * (hex ? 16 : 10) + char32_t(d);
        if (cp > 0x10FFFF) tooBig = true, cp = 0x110000;
      }
      if (j > digits && j < n && s[j] == u';' && cp != 0 && !tooBig) {
        appendUtf16(out, cp);
        i = j + 1;
        continue;
      }
    } else {
      size_t limit = std::min(n, i + 2 + kMaxEntityNameLength);
      size_t semi = i + 1;
      while (semi < limit && s[semi] != u';') ++semi;
      if (semi < limit && semi > i + 1) {
        if (char32_t cp = entityCodePoint(s.substr(i + 1, semi - i - 1))) {
          appendUtf16(out, cp);
          i = semi + 1;
          continue;
        }
      }
    }
    out.push_back(u'&');
    ++i;
  }
}

}  // namespace orlix::localization
