// String lookup speed. Floors measured in the same run: pugixml loading the same file and finding
// the same section and key; for crafted input, a plain document of the same size.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

#include <pugixml.hpp>

#include "text/string_lookup.h"
#include "text/xml_document.h"

namespace {

using Clock = std::chrono::steady_clock;

// Best time per call in nanoseconds over several rounds of `calls` calls.
template <typename F> double bestNs(F&& f, int calls, int rounds = 7) {
  double best = 1e300;
  for (int r = 0; r < rounds; ++r) {
    const auto t0 = Clock::now();
    for (int i = 0; i < calls; ++i) f();
    const double ns = std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / calls;
    best = std::min(best, ns);
  }
  return best;
}

std::u16string widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::string pugiLookup(const char* path, const char* section, const char* key) {
  pugi::xml_document doc;
  if (!doc.load_file(path)) return {};
  return doc.document_element().child(section).child(key).child_value();
}

volatile size_t g_sink;

long peakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double parseNs(const std::u16string& text, int rounds = 3) {
  return bestNs(
      [&] {
        q7::XmlDocument doc;
        doc.setText(text);
        g_sink = doc.parse() + doc.used();
      },
      1, rounds);
}

} // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : Q7_STRINGS_FILE;
  q7::setStringFilePath(widen(path));

  struct Key {
    const char* section;
    const char* key;
  };
  const Key keys[] = {
      {"MAIN", "NAME"}, {"MACRO", "DELAYTIMES"}, {"WARNING", "NO"}, {"Wholekey", "B"}, {"ABOUT", "COMPANY"}};
  std::printf("lookupString on %s against pugixml load_file + child + child_value\n", path.c_str());
  std::printf("%-22s %12s %12s %8s\n", "section/key", "ours ns", "pugixml ns", "ratio");
  double logSum = 0;
  for (const Key& k : keys) {
    const std::u16string section = widen(k.section), key = widen(k.key);
    if (q7::lookupString(section, key).empty() || pugiLookup(path.c_str(), k.section, k.key).empty()) {
      std::printf("%s/%s: not found\n", k.section, k.key);
      return 1;
    }
    double ours = 0, peer = 0;
    // Alternate the two so that both see the same machine load.
    for (int pass = 0; pass < 3; ++pass) {
      const double o = bestNs([&] { g_sink = q7::lookupString(section, key).size(); }, 2000);
      const double p = bestNs([&] { g_sink = pugiLookup(path.c_str(), k.section, k.key).size(); }, 2000);
      ours = pass ? std::min(ours, o) : o;
      peer = pass ? std::min(peer, p) : p;
    }
    logSum += std::log(ours / peer);
    std::printf("%-22s %12.0f %12.0f %8.2f\n", (std::string(k.section) + "/" + k.key).c_str(), ours, peer, ours / peer);
  }
  std::printf("geometric mean ratio: %.2f (goal <= 1.0)\n\n", std::exp(logSum / std::size(keys)));

  const char* mainKeys[] = {"NAME",    "LANG",         "EXPORT", "IMPORT",    "OK",  "CANCEL", "APPLY",   "PCMODE",
                            "PROFILE", "RESETPROFILE", "MACRO",  "SINGLEKEY", "APP", "SYNC",   "DISABLE", "DEFAULT"};
  const double mainOurs = bestNs(
      [&] {
        for (const char* k : mainKeys) g_sink = q7::lookupString(u"MAIN", widen(k)).size();
      },
      200);
  const double mainPeer = bestNs(
      [&] {
        for (const char* k : mainKeys) g_sink = pugiLookup(path.c_str(), "MAIN", k).size();
      },
      200);
  std::printf("main window's %zu lookups: %.1f us in total (pugixml %.1f us, ratio %.2f)\n\n", std::size(mainKeys),
              mainOurs / 1000, mainPeer / 1000, mainOurs / mainPeer);

  // Crafted input against a plain document of the same size: deep nesting with names that need
  // the open-element index and a stray end tag after every start tag, at two sizes.
  std::printf("crafted input, parse time against a flat document of the same size\n");
  for (int depth : {20000, 80000}) {
    std::u16string crafted, flat;
    for (int i = 0; i < depth; ++i) crafted += i % 2 ? u"<b=1>" : u"<a>";
    for (int i = 0; i < depth; ++i) crafted += u"</x>";
    for (int i = depth; i-- > 0;) crafted += i % 2 ? u"</b>" : u"</a>";
    flat = u"<r>";
    while (flat.size() + 8 < crafted.size()) flat += u"<a>t</a>";
    flat += u"</r>";
    const double c = parseNs(crafted), f = parseNs(flat);
    std::printf("  %7zu units: crafted %8.2f ms, flat %8.2f ms, ratio %.2f\n", crafted.size(), c / 1e6, f / 1e6, c / f);
  }

  // A string file of tens of megabytes, read and parsed like every lookup does.
  const std::string big = "/tmp/q7-text-bench-big.xml";
  {
    std::ofstream out(big, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Strings>\n";
    for (int s = 0; s < 4000; ++s) {
      out << " <S" << s << ">\n";
      for (int k = 0; k < 100; ++k)
        out << "  <K" << k << ">Text number " << k << " with &amp; an entity</K" << k << ">\n";
      out << " </S" << s << ">\n";
    }
    out << " <MAIN><NAME>Big</NAME></MAIN>\n</Strings>\n";
  }
  std::ifstream in(big, std::ios::binary | std::ios::ate);
  const double megabytes = double(in.tellg()) / (1 << 20);
  const long rssBefore = peakRssKb();
  q7::setStringFilePath(widen(big));
  const double bigNs = bestNs([&] { g_sink = q7::lookupString(u"MAIN", u"NAME").size(); }, 1, 3);
  const double bigPeer = bestNs([&] { g_sink = pugiLookup(big.c_str(), "MAIN", "NAME").size(); }, 1, 3);
  std::printf("\n%.1f MB string file: lookup %.0f ms (pugixml %.0f ms, ratio %.2f), peak memory grew by %.0f MB\n",
              megabytes, bigNs / 1e6, bigPeer / 1e6, bigNs / bigPeer, (peakRssKb() - rssBefore) / 1024.0);
  std::remove(big.c_str());
  return 0;
}
