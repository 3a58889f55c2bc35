// libFuzzer target: any bytes as a string file. Decoding, indexing, navigation and lookups must
// neither crash nor break the index's invariants.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "text/string_lookup.h"
#include "text/xml_document.h"
#include "text/xml_encoding.h"

namespace {

using q7::ElementRecord;
using q7::XmlDocument;

void require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

// Every record lies inside the text, links point at real records, the first child's
// previous-sibling link names the last child, and children sit one level below their parent.
void checkIndex(const XmlDocument& doc) {
  const size_t n = doc.text().size();
  require(doc.record(0).length == n, "document length");
  uint32_t reached = 0;
  for (uint32_t i = 0; i < doc.used(); ++i) {
    const ElementRecord& e = doc.record(i);
    require(uint64_t(e.start) + e.length <= n, "record inside the text");
    require(e.startTagLength() + e.endTagLength() <= e.length || i == 0, "tags inside the element");
    uint32_t last = 0;
    for (uint32_t c = e.firstChild; c != 0; c = doc.record(c).nextSibling) {
      require(c > i && c < doc.used(), "child after its parent");
      require(doc.record(c).parent == i, "parent link");
      if (i != 0) require(doc.record(c).level() == std::min<uint32_t>(e.level() + 1, 0xFFFF), "level");
      if (last) require(doc.record(c).previousSibling == last, "previous sibling");
      last = c;
      ++reached;
    }
    if (e.firstChild) require(doc.record(e.firstChild).previousSibling == last, "first child links the last");
  }
  require(reached + 1 == doc.used(), "every element is reached exactly once");
}

// Walks the tree through the public navigation: every child of a level is found by its own
// name and read; the first child that has children is stepped into.
void walk(XmlDocument& doc, int depth) {
  for (int visited = 0; visited < 256; ++visited) {
    const XmlDocument::Position at = doc.position();
    const uint32_t current = at.current ? at.current : doc.record(0).firstChild;
    if (current == 0) return;
    const uint32_t next = at.child ? doc.record(at.child).nextSibling : doc.record(current).firstChild;
    if (next == 0) return;
    const ElementRecord& e = doc.record(next);
    std::u16string_view name = std::u16string_view(doc.text()).substr(e.start + 1, e.startTagLength() - 1);
    name = name.substr(0, name.find_first_of(u" \t\r\n<>=\\/?!\"';"));
    require(doc.findChildElement(name) && doc.position().child == next, "found by its own name");
    require(doc.childData().size() <= e.length, "text no longer than its source");
    if (e.firstChild != 0 && depth < 16) {
      require(doc.intoElement(), "steps into a found child");
      walk(doc, depth + 1);
      return;
    }
  }
}

// The string file the lookups read; removed when the fuzzer exits.
char g_scratch[] = "/tmp/q7-xml-fuzz-XXXXXX";

std::string scratchFile() {
  const int fd = mkstemp(g_scratch);
  require(fd >= 0, "scratch file");
  close(fd);
  std::atexit([] { unlink(g_scratch); });
  return g_scratch;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = scratchFile();

  std::string bytes(reinterpret_cast<const char*>(data), size);
  XmlDocument doc;
  doc.setText(q7::xml::decodeXmlBytes(bytes.data(), bytes.size()));
  const bool wellFormed = doc.parse();
  require(wellFormed == doc.wellFormed(), "verdict kept");
  checkIndex(doc);
  walk(doc, 0);

  // The same bytes as the string file, through load and the lookup.
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  XmlDocument loaded;
  require(loaded.load(std::u16string(path.begin(), path.end())), "load");
  require(loaded.text() == doc.text(), "load decodes as the bytes do");
  q7::setStringFilePath(std::u16string(path.begin(), path.end()));
  const std::u16string name = q7::lookupString(u"MAIN", u"NAME");
  if (!wellFormed) require(name.empty(), "ill-formed gives nothing");
  q7::lookupString(u"MACRO", u"STOP");
  q7::lookupString(u"a", u"b");
  return 0;
}
