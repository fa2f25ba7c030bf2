#pragma once
// A small, lenient markup reader holding one document: the whole text as
// UTF-16, an index of its elements and a position that the queries move.
// It reads UTF-8, UTF-16 (either byte order), UTF-32 and code pages, keeps
// indexing over ill-formed input and records what it did and the first problem
// it met in a result text. Nothing here throws on bad input.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/localization/code_page.h"

namespace orlix::localization {

// Kinds of node the tokenizer tells apart.
enum XmlNodeKind : int {
  kNodeEndTag = 0,
  kNodeElement = 1,     // start tag or empty-element tag
  kNodeText = 2,
  kNodeWhitespace = 4,  // text of white space only
  kNodeCdata = 8,
  kNodeProcessingInstruction = 16,
  kNodeComment = 32,
  kNodeDoctype = 64,    // <!DOCTYPE, <!ELEMENT, <!ATTLIST, <!ENTITY, <!NOTATION
};

// Document flags.
inline constexpr unsigned kDocUtf16LeBom = 0x1;
inline constexpr unsigned kDocUtf8Bom = 0x4;
inline constexpr unsigned kDocIgnoreCase = 0x8;  // compare names without regard to A-Z case
inline constexpr unsigned kDocReading = 0x10;    // the file is open for reading
inline constexpr unsigned kDocUtf16BeBom = 0x80;
inline constexpr unsigned kDocEncodingBits = kDocUtf16LeBom | kDocUtf8Bom | kDocUtf16BeBom;

// Bits of ElementEntry::level above the nesting depth.
inline constexpr uint32_t kLevelDepthMask = 0xFFFF;
inline constexpr uint32_t kLevelFirstChild = 0x10000;
inline constexpr uint32_t kLevelEndedImplicitly = 0x20000;
inline constexpr uint32_t kLevelIllFormed = 0x40000;  // on entry 0: the document is ill-formed

// The index grows by pages of this many entries.
inline constexpr size_t kIndexPageSize = 65536;

// One element of the index. Offsets and lengths count UTF-16 units. Entry 0
// stands for the document; element numbers 0 mean "none".
struct ElementEntry {
  uint32_t start;           // offset of the element's "<"
  uint32_t length;          // start tag to the end of the end tag
  uint32_t startTagLength;  // equal to length for an empty-element tag
  uint32_t endTagLength;    // 0 for an empty-element tag or an implicitly ended one
  uint32_t level;           // nesting depth of the start tag (16 bits) and kLevel* flags
  uint32_t parent, firstChild, nextSibling, prevSibling;
};

class XmlDocument {
 public:
  // The converter handles code pages other than UTF-8 and UTF-32, and names the
  // ANSI code page. It must outlive the document.
  explicit XmlDocument(const CodePageConverter& converter = builtinConverter());
  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // Reads the file and converts it to the document text. False when the file
  // cannot be opened or read; the text is then empty and the result text holds
  // the system's reason. Either way the element index and position are cleared.
  bool LoadDocumentFile(const std::filesystem::path& path);
  // The same as LoadDocumentFile for bytes already in memory; always true.
  bool LoadDocumentBytes(std::string_view bytes);
  // Builds the element index from the text and resets the position. True when
  // the document holds elements, no error was met and the root element has no
  // sibling. Adds the first problem met to the result text.
  bool ParseDocument();

  void ResetPosition();
  // Makes the next matching element among the children of the parent element
  // current (the first such child when there is no current element). An empty
  // name matches any element. False, position unchanged, when none is found.
  bool FindElement(std::u16string_view name = {});
  // Makes the next matching child of the current element (after the current
  // child) the current child; first finds any element when none is current.
  bool FindChildElement(std::u16string_view name = {});
  // The current element becomes the parent and the current child the current
  // element. False when there is no current element.
  bool EnterElement();
  // Text of the current child: references decoded, CDATA as it stands,
  // comments and processing instructions left out. Empty for an element with
  // child elements, an empty element, or when there is no current child.
  std::u16string GetChildText() const;
  // The same text for element n, without moving the position.
  std::u16string elementText(uint32_t n) const;

  // Replaces the converter (the platform's once it is known).
  void setConverter(const CodePageConverter& converter) { converter_ = &converter; }

  const std::u16string& text() const { return text_; }
  const std::string& resultText() const { return result_; }
  unsigned flags() const { return flags_; }
  void setIgnoreCase(bool on);

  // Number of index entries including entry 0.
  size_t entryCount() const { return count_; }
  const ElementEntry& entry(uint32_t n) const;
  std::u16string_view tagName(uint32_t n) const;
  // Whether element n's name is `name`, as FindElement and FindChildElement
  // compare names (A-Z case aside when the document ignores case).
  bool hasName(uint32_t n, std::u16string_view name) const { return n != 0 && n < count_ && nameMatches(n, name); }
  uint32_t parentElement() const { return parent_; }
  uint32_t currentElement() const { return current_; }
  uint32_t childElement() const { return child_; }

  // Decodes character and entity references: &#65; &#x42; &lt; ... Anything
  // that is not a known reference (unknown names, code point 0, code points
  // above U+10FFFF) stays as written.
  static std::u16string decodeReferences(std::u16string_view s);
  static void appendDecoded(std::u16string_view s, std::u16string& out);

 private:
  ElementEntry& at(uint32_t n);
  uint32_t newEntry();
  void clearIndex();
  bool nameMatches(uint32_t n, std::u16string_view name) const;

  const CodePageConverter* converter_;
  std::u16string text_;
  std::string result_;      // load part plus, after a parse, the parse message
  std::string loadResult_;  // the load part kept aside for ParseDocument
  unsigned flags_ = 0;
  uint32_t parent_ = 0, current_ = 0, child_ = 0;
  int nodeKind_ = 0;
  uint32_t nodeOffset_ = 0, nodeLength_ = 0;
  std::vector<std::unique_ptr<ElementEntry[]>> pages_;
  size_t count_ = 0;
};

}  // namespace orlix::localization
