#include "text/string_lookup.h"

#include <gtest/gtest.h>

#include <string>

#include "text/test_files.h"

namespace q7 {
namespace {

class StringLookup : public ::testing::Test {
protected:
  void use(std::string_view content) {
    file_.write(content);
    setStringFilePath(file_.path());
  }
  void TearDown() override { setStringFilePath(u""); }
  test::TempFile file_;
};

struct Lookup {
  std::u16string_view section, key, text;
};

void expectLookups(std::initializer_list<Lookup> lookups) {
  for (const Lookup& l : lookups)
    EXPECT_EQ(lookupString(l.section, l.key), l.text)
        << std::string(l.section.begin(), l.section.end()) << "/" << std::string(l.key.begin(), l.key.end());
}

TEST_F(StringLookup, FindsKeysInSections) {
  use("<Strings><MAIN><NAME>Tool</NAME></MAIN></Strings>");
  expectLookups(
      {{u"MAIN", u"NAME", u"Tool"}, {u"MAIN", u"LANG", u""}, {u"MACRO", u"STOP", u""}, {u"NAME", u"MAIN", u""}});
}

TEST_F(StringLookup, TextsComeBackWithSpacesAndReferencesDecoded) {
  use("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<S>\r\n <MAIN>\r\n  <APPLY>  Apply  </APPLY>\r\n"
      "  <OK>Save &amp; exit</OK>\r\n  <NAME>Gr\xC3\xB6\xC3\x9F"
      "e &#x1F600;</NAME>\r\n </MAIN>\r\n</S>\r\n");
  expectLookups({{u"MAIN", u"APPLY", u"  Apply  "},
                 {u"MAIN", u"OK", u"Save & exit"},
                 {u"MAIN", u"NAME", u"Gr\u00F6\u00DFe \U0001F600"}});
}

TEST_F(StringLookup, NamesCompareCaseSensitively) {
  use("<S><WholeKey><OK>A</OK></WholeKey><SYNC><Init>B</Init></SYNC></S>");
  expectLookups(
      {{u"Wholekey", u"OK", u""}, {u"WholeKey", u"OK", u"A"}, {u"SYNC", u"init", u""}, {u"SYNC", u"Init", u"B"}});
}

TEST_F(StringLookup, OnlyTheFirstSectionOfANameIsSearched) {
  use("<S><MAIN><NAME>first</NAME><NAME>second</NAME></MAIN><MAIN><LANG>EN</LANG></MAIN></S>");
  expectLookups({{u"MAIN", u"NAME", u"first"}, {u"MAIN", u"LANG", u""}});
}

TEST_F(StringLookup, NestedNamesakeSectionsAreSearchedDownwards) {
  use("<S><MAIN><NAME>outer</NAME><X><LANG>no</LANG></X>"
      "<MAIN><LANG>inner</LANG><MAIN><OK>deepest</OK></MAIN></MAIN></MAIN></S>");
  expectLookups({{u"MAIN", u"NAME", u"outer"},
                 {u"MAIN", u"LANG", u"inner"},
                 {u"MAIN", u"OK", u"deepest"},
                 {u"MAIN", u"CANCEL", u""},
                 {u"X", u"LANG", u""}}); // X is no section
}

TEST_F(StringLookup, AnIllFormedFileGivesNothing) {
  const char* files[] = {
      "<S><MAIN><NAME>Tool</NAME></MAIN></S><T/>",
      "<S><MAIN><NAME>Tool</NAME></MAIN>",
      "<S><MAIN><NAME>Tool</MAIN></S>",
      "<S><MAIN><NAME>Tool</NAME></MAIN></S></X>",
      "",
  };
  for (const char* content : files) {
    use(content);
    EXPECT_EQ(lookupString(u"MAIN", u"NAME"), u"") << content;
  }
}

TEST_F(StringLookup, MissingFileAndUnsetPathGiveNothing) {
  file_.write("<S><MAIN><NAME>Tool</NAME></MAIN></S>");
  EXPECT_EQ(stringFilePath(), u"");
  EXPECT_EQ(lookupString(u"MAIN", u"NAME"), u""); // before the path is set
  setStringFilePath(file_.path());
  EXPECT_EQ(stringFilePath(), file_.path());
  EXPECT_EQ(lookupString(u"MAIN", u"NAME"), u"Tool");
  file_.remove();
  EXPECT_EQ(lookupString(u"MAIN", u"NAME"), u"");
}

TEST_F(StringLookup, AReplacedFileTakesEffectWithTheNextLookup) {
  use("<S><MAIN><LANG>EN</LANG></MAIN></S>");
  EXPECT_EQ(lookupString(u"MAIN", u"LANG"), u"EN");
  use("<S><MAIN><LANG>DE</LANG></MAIN></S>");
  EXPECT_EQ(lookupString(u"MAIN", u"LANG"), u"DE");
}

} // namespace
} // namespace q7
