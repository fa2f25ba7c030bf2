// Fuzz target for the XML reader and the language loader: any bytes, read as a
// language file, its keys checked against the key-by-key queries, plus free
// walks of the tree.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/localization/language_strings.h"
#include "core/localization/string_keys.h"
#include "core/localization/xml_document.h"

using namespace orlix::localization;

namespace {

// The input as a file the loader opens by name: a memory file, so that each
// run costs no disk write. The descriptor stays open for the whole run.
struct InputFile {
  int fd = ::memfd_create("orlix_fuzz_xml", 0);
  std::string path = "/proc/self/fd/" + std::to_string(fd);
  void set(const uint8_t* data, size_t size) const {
    if (fd < 0 || ::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != ssize_t(size)) std::abort();
  }
};

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
  static const InputFile input;
  input.set(data, size);
  // One loader and document for the whole run, as the program keeps one: every
  // load must fully replace what the previous input left behind.
  static LanguageStrings strings;
  XmlDocument& d = strings.document();
  d.setIgnoreCase(size > 0 && (data[0] & 1));
  if (!strings.LoadLanguageFile(input.path)) return 0;

  // The loader reads all keys in one walk; an eighth of them, a different
  // eighth each run, are asked again one by one through the queries.
  static const std::vector<std::u16string> keys = [] {
    std::vector<std::u16string> out;
    for (StringKey k : allStringKeys()) {
      std::string_view name = stringKeyName(k);
      out.emplace_back(name.begin(), name.end());
    }
    return out;
  }();
  static size_t turn = 0;
  turn = (turn + 1) % 8;
  for (size_t i = turn; i < keys.size(); i += 8)
    if (strings.GetLanguageString(u"config", keys[i]) != strings.text(allStringKeys()[i])) std::abort();

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
