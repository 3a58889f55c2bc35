#include "text/string_lookup.h"

#include "text/xml_document.h"

namespace q7 {

namespace {
std::u16string g_path;
}

void setStringFilePath(std::u16string path) { g_path = std::move(path); }
const std::u16string& stringFilePath() { return g_path; }

// Reads the file afresh every time, so a replaced file takes effect with the next lookup. Only
// the first section of a name among the root's children is searched; when it lacks the key, a
// section of the same name directly inside it is tried, and so on downwards.
std::u16string lookupString(std::u16string_view section, std::u16string_view key) {
  if (g_path.empty()) return {};
  XmlDocument doc;
  if (!doc.load(g_path) || !doc.parse()) return {};
  while (doc.findChildElement(section)) {
    doc.intoElement();
    if (doc.findChildElement(key)) return doc.childData();
  }
  return {};
}

} // namespace q7
