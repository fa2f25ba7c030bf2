// Fuzz target for the XML reader: any bytes, read as a file, indexed and
// queried the way the language loader queries it, plus free walks of the tree.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/localization/string_keys.h"
#include "core/localization/xml_document.h"

using namespace orlix::localization;

namespace {

std::string tempFile() {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/orlix_fuzz_xml_" + std::to_string(::getpid()) + ".xml";
}

// Visits the top-level elements and their children's texts, then checks that
// every index entry stays inside the text and points backwards to its parent.
void walk(XmlDocument& d) {
  d.ResetPosition();
  while (d.FindElement())
    while (d.FindChildElement()) d.GetChildText();
  for (uint32_t n = 1; n < d.entryCount(); ++n) {
    const ElementEntry& e = d.entry(n);
    if (size_t(e.start) + e.length > d.text().size()) std::abort();
    if (e.startTagLength + size_t(e.endTagLength) > e.length) std::abort();
    if (e.parent >= n) std::abort();  // parents come before their children
    d.tagName(n);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = tempFile();
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  // One document for the whole run, as the program keeps one: every load must
  // fully replace what the previous input left behind.
  static XmlDocument d;
  d.setIgnoreCase(size > 0 && (data[0] & 1));
  if (!d.LoadDocumentFile(path)) return 0;
  d.ParseDocument();

  // The language loader's lookup of every key (the names made once).
  static const std::vector<std::u16string> keys = [] {
    std::vector<std::u16string> out;
    for (StringKey k : allStringKeys()) {
      std::string_view name = stringKeyName(k);
      out.emplace_back(name.begin(), name.end());
    }
    return out;
  }();
  for (const std::u16string& key : keys) {
    d.ResetPosition();
    while (d.FindChildElement(u"config")) {
      d.EnterElement();
      if (d.FindChildElement(key)) {
        d.GetChildText();
        break;
      }
    }
  }
  // Any-name descent: enter the first child at each level.
  d.ResetPosition();
  for (int depth = 0; depth < 256 && d.FindChildElement(); ++depth) {
    d.GetChildText();
    d.EnterElement();
  }
  walk(d);
  XmlDocument::decodeReferences(d.text());
  return 0;
}
