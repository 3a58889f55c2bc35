#include "text/xml_document.h"

#include <gtest/gtest.h>

#include <string>

namespace q7 {
namespace {

using R = ElementRecord;

std::string narrow(std::u16string_view s) { return std::string(s.begin(), s.end()); }

std::u16string_view nameOf(const XmlDocument& doc, const ElementRecord& e) {
  const std::u16string_view t = std::u16string_view(doc.text()).substr(e.start + 1);
  return t.substr(0, t.find_first_of(u" \t\r\n/>"));
}

// The tree as "name(children)", "!" after an element that was never ended. Checks every link
// on the way: parents, sibling chains, the first child's link to the last, levels and flags.
std::string tree(const XmlDocument& doc, uint32_t parent = 0) {
  std::string out;
  const uint32_t first = doc.record(parent).firstChild;
  uint32_t last = 0;
  for (uint32_t c = first; c != 0; c = doc.record(c).nextSibling) {
    const ElementRecord& e = doc.record(c);
    EXPECT_EQ(e.parent, parent);
    EXPECT_EQ(e.has(R::kFirstChild), c == first);
    if (c != first) {
      EXPECT_EQ(e.previousSibling, last);
    }
    const uint32_t level = parent == 0 ? 0 : doc.record(parent).level() + 1;
    EXPECT_EQ(e.level(), std::min<uint32_t>(level, 0xFFFF));
    EXPECT_LE(e.start + e.length, doc.text().size());
    if (!out.empty()) out += ' ';
    out += narrow(nameOf(doc, e));
    if (e.has(R::kNotEnded)) out += '!';
    if (e.firstChild) {
      out += '(';
      out += tree(doc, c);
      out += ')';
    }
    last = c;
  }
  if (first) {
    EXPECT_EQ(doc.record(first).previousSibling, last);
  }
  return out;
}

XmlDocument parsed(std::u16string text, bool* verdict = nullptr) {
  XmlDocument doc;
  doc.setText(std::move(text));
  const bool v = doc.parse();
  if (verdict) *verdict = v;
  return doc;
}

TEST(XmlDocument, WellFormedVerdicts) {
  struct Case {
    std::u16string_view text;
    bool wellFormed;
    bool illFormedFlag; // something ill-formed met (a second root is not)
  };
  const Case cases[] = {
      {u"<a/>", true, false},
      {u"text<a/>text", true, false},
      {u"<?xml version='1.0'?>\r\n<!DOCTYPE a><!-- c --><a>x</a>\r\n<!-- after -->", true, false},
      {u"<a><![CDATA[</a>]]></a>", true, false},
      {u"<a x='</a>'></a>", true, false},
      {u"<a=b></a>", true, false},
      {u"<a[1]></a>", true, false},
      {u"<a><b/><c></c></a>", true, false},
      {u"", false, false},
      {u"  \r\n", false, false},
      {u"<a/><b/>", false, false},
      {u"<a><b></a>", false, true},
      {u"<a></b></a>", false, true},
      {u"<a>", false, true},
      {u"</a>", false, true},
      {u"<a>< b</a>", false, true},
      {u"<a><!x></a>", false, true},
      {u"<ab></a>", false, true},
      {u"<a></A>", false, true},
      {u"<a></a=b>", false, true},
      {u"<a><!-- open </a>", false, true},
  };
  for (const Case& c : cases) {
    bool verdict = !c.wellFormed;
    const XmlDocument doc = parsed(std::u16string(c.text), &verdict);
    EXPECT_EQ(verdict, c.wellFormed) << narrow(c.text);
    EXPECT_EQ(doc.wellFormed(), c.wellFormed) << narrow(c.text);
    EXPECT_EQ(doc.record(0).has(R::kIllFormed), c.illFormedFlag) << narrow(c.text);
  }
}

TEST(XmlDocument, IndexRecordsOffsetsLengthsAndLinks) {
  const XmlDocument doc = parsed(u"<r><a x='1'><b/></a>\n<c></c ></r>");
  ASSERT_EQ(doc.used(), 5u);
  EXPECT_EQ(tree(doc), "r(a(b) c)");
  const ElementRecord& r = doc.record(1);
  EXPECT_EQ(r.start, 0u);
  EXPECT_EQ(r.length, doc.text().size());
  EXPECT_EQ(r.startTagLength(), 3u);
  EXPECT_EQ(r.endTagLength(), 4u);
  const ElementRecord& a = doc.record(2);
  EXPECT_EQ(a.start, 3u);
  EXPECT_EQ(a.startTagLength(), 9u);
  EXPECT_EQ(a.length, 17u);
  EXPECT_EQ(a.level(), 1u);
  const ElementRecord& b = doc.record(3);
  EXPECT_EQ(b.length, 4u);
  EXPECT_EQ(b.endTagLength(), 0u);
  EXPECT_EQ(b.level(), 2u);
  const ElementRecord& c = doc.record(4);
  EXPECT_EQ(c.start, 21u);
  EXPECT_EQ(c.endTagLength(), 5u);
  EXPECT_EQ(c.length, 8u);
  EXPECT_EQ(a.nextSibling, 4u);
  EXPECT_EQ(a.previousSibling, 4u); // first child: the last child
  EXPECT_EQ(c.previousSibling, 2u);
  EXPECT_EQ(doc.record(0).length, doc.text().size());
  EXPECT_EQ(doc.record(0).firstChild, 1u);
}

TEST(XmlDocument, UnendedElementsGiveUpTheirChildren) {
  const std::pair<std::u16string_view, std::string> cases[] = {
      {u"<r><a><b/><c></r>", "r(a! b c!)"},
      {u"<r><x1><x2><x3>t</r>", "r(x1! x2! x3!)"},
      {u"<r><x1><k/><x2><j/><x3></r><z/>", "r(x1! k x2! j x3!) z"},
      {u"<r><a><b></b></r>", "r(a! b)"},
      {u"<r><a>", "r! a!"},
      {u"<r><a><b></a>", "r! a(b!)"},
      {u"<r></x><a/></r>", "r(a)"},
      {u"<r><a></a=x></r>", "r(a!)"},
  };
  for (const auto& [text, expected] : cases) {
    bool verdict = true;
    const XmlDocument doc = parsed(std::u16string(text), &verdict);
    EXPECT_FALSE(verdict) << narrow(text);
    EXPECT_EQ(tree(doc), expected) << narrow(text);
    for (uint32_t i = 1; i < doc.used(); ++i) {
      if (doc.record(i).has(R::kNotEnded)) {
        EXPECT_EQ(doc.record(i).length, doc.record(i).startTagLength());
      }
    }
  }
}

TEST(XmlDocument, IndexGrowsAcrossSegments) {
  std::u16string text = u"<r>";
  for (int i = 0; i < 70000; ++i) text += u"<e/>";
  text += u"</r>";
  const XmlDocument doc = parsed(text);
  ASSERT_TRUE(doc.wellFormed());
  ASSERT_EQ(doc.used(), 70002u);
  uint32_t count = 0, last = 0;
  for (uint32_t c = doc.record(1).firstChild; c; c = doc.record(c).nextSibling) {
    EXPECT_EQ(doc.record(c).start, 3u + 4u * count);
    last = c;
    ++count;
  }
  EXPECT_EQ(count, 70000u);
  EXPECT_EQ(doc.record(doc.record(1).firstChild).previousSibling, last);
}

TEST(XmlDocument, DeepNestingSaturatesTheLevel) {
  constexpr int depth = 70000;
  std::u16string text;
  for (int i = 0; i < depth; ++i) text += u"<a>";
  for (int i = 0; i < depth; ++i) text += u"</a>";
  const XmlDocument doc = parsed(text);
  EXPECT_TRUE(doc.wellFormed());
  EXPECT_EQ(doc.record(65536).level(), 0xFFFFu);
  EXPECT_EQ(doc.record(depth).level(), 0xFFFFu);
  EXPECT_EQ(doc.record(depth).length, 7u);
  EXPECT_EQ(doc.record(1).length, text.size());
}

TEST(XmlDocument, StrayEndTagsUnderDeepNestingKeepTheStructure) {
  // Enough stray end tags to make the reader switch to its name index part way.
  constexpr int depth = 3000;
  std::u16string text;
  for (int i = 0; i < depth; ++i) text += i % 2 ? u"<b=1>" : u"<a>";
  for (int i = 0; i < depth; ++i) text += u"</x>";
  for (int i = depth; i-- > 0;) text += i % 2 ? u"</b>" : u"</a>";
  bool verdict = true;
  const XmlDocument doc = parsed(text, &verdict);
  EXPECT_FALSE(verdict);
  ASSERT_EQ(doc.used(), uint32_t(depth + 1));
  for (uint32_t i = 1; i <= depth; ++i) {
    EXPECT_FALSE(doc.record(i).has(R::kNotEnded)) << i;
    EXPECT_EQ(doc.record(i).firstChild, i < depth ? i + 1 : 0u);
    EXPECT_EQ(doc.record(i).endTagLength(), 4u);
  }
  EXPECT_EQ(doc.record(1).length, text.size());
}

TEST(XmlDocument, TagsTooLongForTheRecordMakeTheDocumentIllFormed) {
  std::u16string longStart = u"<r><k" + std::u16string(R::kMaxStartTag, u' ') + u">v</k></r>";
  bool verdict = true;
  XmlDocument doc = parsed(longStart, &verdict);
  EXPECT_FALSE(verdict);
  ASSERT_TRUE(doc.findChildElement(u"k"));
  EXPECT_TRUE(doc.record(2).has(R::kOversized));
  EXPECT_EQ(doc.childData(), u"");

  const std::u16string longEnd = u"<r><k>v</k" + std::u16string(R::kMaxEndTag, u' ') + u"></r>";
  doc.setText(longEnd);
  EXPECT_FALSE(doc.parse());
  ASSERT_TRUE(doc.findChildElement(u"k"));
  EXPECT_EQ(doc.childData(), u"");

  const std::u16string longestEnd = u"<r><k>v</k" + std::u16string(R::kMaxEndTag - 4, u' ') + u"></r>";
  doc.setText(longestEnd);
  EXPECT_TRUE(doc.parse());
  ASSERT_TRUE(doc.findChildElement(u"k"));
  EXPECT_EQ(doc.childData(), u"v");
}

TEST(XmlDocument, FindsStepsIntoAndReadsChildren) {
  XmlDocument doc = parsed(u"<r><s><k>1</k><j/><k>2</k></s><s><k>3</k></s></r>");
  ASSERT_TRUE(doc.wellFormed());
  EXPECT_EQ(doc.childData(), u"");
  EXPECT_FALSE(doc.intoElement()); // no current child yet
  ASSERT_TRUE(doc.findChildElement(u"s"));
  EXPECT_EQ(doc.childData(), u""); // it has children
  ASSERT_TRUE(doc.intoElement());
  EXPECT_EQ(doc.position().parent, 1u);
  ASSERT_TRUE(doc.findChildElement(u"k"));
  EXPECT_EQ(doc.childData(), u"1");
  ASSERT_TRUE(doc.findChildElement(u"k"));
  EXPECT_EQ(doc.childData(), u"2");
  const XmlDocument::Position before = doc.position();
  EXPECT_FALSE(doc.findChildElement(u"k"));
  EXPECT_EQ(doc.position().child, before.child);
  EXPECT_EQ(doc.childData(), u"2");
  EXPECT_FALSE(doc.findChildElement(u"s")); // searches the current element only

  XmlDocument empty = parsed(u"just text");
  EXPECT_FALSE(empty.findChildElement(u"s"));
  EXPECT_FALSE(empty.intoElement());
}

TEST(XmlDocument, NameMatchingRules) {
  struct Case {
    std::u16string_view element;
    std::u16string_view given;
    bool matches;
  };
  const Case cases[] = {
      {u"<k>v</k>", u"k", true},
      {u"<k>v</k>", u"K", false},
      {u"<k>v</k>", u"kk", false},
      {u"<kk>v</kk>", u"k", false},
      {u"<k>v</k>", u"", false},
      {u"<k a='1'>v</k>", u"k", true},
      {u"<k>v</k>", u"k extra", true},
      {u"<k>v</k>", u"k=1", true},
      {u"<k>v</k>", u"k/", true},
      {u"<k>v</k>", u"k[0]", true},
      {u"<k>v</k>", u"k]", true},
      {u"<k>v</k>", u"k-1", false},
      {u"<k=x>v</k=x>", u"k", true},
      {u"<k=x>v</k=x>", u"k=y", true},
      {u"<k[1]>v</k[1]>", u"k[1]", true},
      {u"<k[1]>v</k[1]>", u"k", false},
      {u"<k;x>v</k;x>", u"k", true},
      {u"<k?>v</k?>", u"k", true},
      {u"<k/>", u"k", true},
      {u"<k\n/>", u"k", true},
  };
  for (const Case& c : cases) {
    XmlDocument doc = parsed(u"<r>" + std::u16string(c.element) + u"</r>");
    ASSERT_TRUE(doc.wellFormed()) << narrow(c.element);
    EXPECT_EQ(doc.findChildElement(c.given), c.matches) << narrow(c.element) << " / " << narrow(c.given);
  }
}

TEST(XmlDocument, ChildDataDecodesTextAndUnwrapsCData) {
  const std::pair<std::u16string_view, std::u16string_view> cases[] = {
      {u"<k>  a &amp; b  </k>", u"  a & b  "},
      {u"<k>x<![CDATA[<y>]]>z</k>", u"x<y>z"},
      {u"<k><j/></k>", u""},
      {u"<k/>", u""},
      {u"<k></k>", u""},
      {u"<k>\r\n t \r\n</k>", u"\r\n t \r\n"},
      {u"<k>a<!--c-->b<?p x?>c</k>", u"abc"},
      {u"<k> <![CDATA[ &amp; ]]> </k>", u" &amp; "},
      {u"<k>&lt;<!---->&#65;&#x42;</k>", u"<AB"},
      {u"<k><![CDATA[]]></k>", u""},
      {u"<k>\u65E5\u672C&quot;</k>", u"\u65E5\u672C\""},
      {u"<k a='>'>v</k>", u"v"},
  };
  for (const auto& [element, data] : cases) {
    XmlDocument doc = parsed(u"<r>" + std::u16string(element) + u"</r>");
    ASSERT_TRUE(doc.wellFormed()) << narrow(element);
    ASSERT_TRUE(doc.findChildElement(u"k")) << narrow(element);
    EXPECT_EQ(doc.childData(), data) << narrow(element);
  }
}

TEST(XmlDocument, ChildDataOfIllFormedPartsStaysWithinTheElement) {
  // Navigation still works on an ill-formed document; unended elements have no content.
  XmlDocument doc = parsed(u"<r><k>a<x>b</r>");
  EXPECT_FALSE(doc.wellFormed());
  ASSERT_TRUE(doc.findChildElement(u"k"));
  EXPECT_EQ(doc.childData(), u"");
  ASSERT_TRUE(doc.findChildElement(u"x"));
  EXPECT_EQ(doc.childData(), u"");

  doc.setText(u"<r><k>a<!x>b</k></r>"); // the error node is the "<" alone
  EXPECT_FALSE(doc.parse());
  ASSERT_TRUE(doc.findChildElement(u"k"));
  EXPECT_EQ(doc.childData(), u"a!x>b");

  doc.setText(u"<r><k>a</q>b</k></r>");
  EXPECT_FALSE(doc.parse());
  ASSERT_TRUE(doc.findChildElement(u"k"));
  EXPECT_EQ(doc.childData(), u"ab");
}

} // namespace
} // namespace q7
