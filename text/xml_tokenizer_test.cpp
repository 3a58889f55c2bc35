#include "text/xml_tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace q7::xml {
namespace {

using K = NodeKind;

struct Piece {
  NodeKind kind;
  uint32_t length;
  bool operator==(const Piece&) const = default;
};

std::vector<Piece> split(std::u16string_view text) {
  std::vector<Piece> out;
  for (uint32_t pos = 0; pos < text.size();) {
    const Node n = nextNode(text, pos);
    EXPECT_EQ(n.start, pos);
    EXPECT_GT(n.length, 0u);
    EXPECT_LE(n.end(), text.size());
    out.push_back({n.kind, n.length});
    pos = n.end();
  }
  return out;
}

std::string show(std::u16string_view s) { return std::string(s.begin(), s.end()); }

TEST(XmlTokenizer, SplitsEveryKindOfNode) {
  const std::pair<std::u16string_view, std::vector<Piece>> cases[] = {
      {u"<a>text</a>", {{K::StartTag, 3}, {K::Text, 4}, {K::EndTag, 4}}},
      {u" \r\n\t<a/>", {{K::WhiteSpace, 4}, {K::StartTag, 4}}},
      {u"  x <b>  ", {{K::Text, 4}, {K::StartTag, 3}, {K::WhiteSpace, 2}}},
      {u"<?xml version='1.0'?>", {{K::ProcessingInstruction, 21}}},
      {u"<?\?>", {{K::ProcessingInstruction, 4}}},
      {u"<!-- a -- b -->x", {{K::Comment, 15}, {K::Text, 1}}},
      {u"<!-->", {{K::Comment, 5}}}, // "-->" may overlap the opening
      {u"<!--->", {{K::Comment, 6}}},
      {u"<![CDATA[<a>]]>", {{K::CData, 15}}},
      {u"<![CDATA[]]]>", {{K::CData, 13}}},
      {u"<!DOCTYPE r [<!ENTITY e 'x>'> <!-- c -->]>.", {{K::DocumentType, 42}, {K::Text, 1}}},
      {u"<!DOCTYPE r SYSTEM \"a>b\">", {{K::DocumentType, 25}}},
      {u"<!ELEMENT r ANY><!ATTLIST r a CDATA #IMPLIED><!NOTATION n SYSTEM 'x'>",
       {{K::Declaration, 16}, {K::Declaration, 29}, {K::Declaration, 24}}},
      {u"<_a><:b><\u00E9><{>", {{K::StartTag, 4}, {K::StartTag, 4}, {K::StartTag, 3}, {K::StartTag, 3}}},
  };
  for (const auto& [text, pieces] : cases) EXPECT_EQ(split(text), pieces) << show(text);
}

TEST(XmlTokenizer, ErrorNodes) {
  const std::pair<std::u16string_view, std::vector<Piece>> cases[] = {
      {u"< a>", {{K::Error, 1}, {K::Text, 3}}},
      {u"<1>", {{K::Error, 1}, {K::Text, 2}}},
      {u"<[x>", {{K::Error, 1}, {K::Text, 3}}},
      {u"<`x>", {{K::Error, 1}, {K::Text, 3}}},
      {u"<!x>", {{K::Error, 1}, {K::Text, 3}}},
      {u"<!doctype html>", {{K::Error, 1}, {K::Text, 14}}}, // only capital D, E, A, N
      {u"<!-x-->", {{K::Error, 1}, {K::Text, 6}}},
      {u"<![x]]>", {{K::Error, 1}, {K::Text, 6}}},
      {u"<", {{K::Error, 1}}},
      {u"<a", {{K::Error, 2}}},
      {u"<a x='>", {{K::Error, 7}}},
      {u"</a", {{K::Error, 3}}},
      {u"<?pi ?", {{K::Error, 6}}},
      {u"<?>", {{K::Error, 3}}},
      {u"<!-- open ->", {{K::Error, 12}}},
      {u"<![CDATA[ ]>", {{K::Error, 12}}},
      {u"<!DOCTYPE r [<x>", {{K::Error, 16}}},
      {u"<!ENTITY", {{K::Error, 8}}},
      {u"<!", {{K::Error, 2}}},
      {u"<!-", {{K::Error, 3}}},
  };
  for (const auto& [text, pieces] : cases) EXPECT_EQ(split(text), pieces) << show(text);
}

TEST(XmlTokenizer, QuotesProtectOnlyValuesAfterEquals) {
  const std::pair<std::u16string_view, uint32_t> cases[] = {
      {u"<a x='>'>", 9}, {u"<a x = \">\" y='<'>", 17}, {u"<a x=\"'>\">", 10},
      {u"<a 'b>'>", 6},  {u"<a x='1' 'y>'>", 12},      {u"<a x=1'>'>", 8},
  };
  for (const auto& [text, length] : cases) {
    const Node n = nextNode(text, 0);
    EXPECT_EQ(n.kind, K::StartTag) << show(text);
    EXPECT_EQ(n.length, length) << show(text);
  }
}

TEST(XmlTokenizer, EmptyTagsAndNames) {
  struct Case {
    std::u16string_view text;
    bool empty;
    std::u16string_view name;
  };
  const Case cases[] = {
      {u"<a/>", true, u"a"},       {u"<a />", true, u"a"},
      {u"<a x='1'/>", true, u"a"}, {u"<a x=\"1\"/>", true, u"a"},
      {u"<a\t/>", true, u"a"},     {u"<a x=1/>", false, u"a"},
      {u"<a/ >", false, u"a"},     {u"<ab/c/>", false, u"ab"},
      {u"<a>", false, u"a"},       {u"<a=b[1]\r\nx>", false, u"a=b[1]"},
  };
  for (const Case& c : cases) {
    const Node n = nextNode(c.text, 0);
    ASSERT_EQ(n.kind, K::StartTag) << show(c.text);
    EXPECT_EQ(n.empty, c.empty) << show(c.text);
    EXPECT_EQ(tagName(c.text, n), c.name) << show(c.text);
  }
  const std::u16string_view end = u"</abc \n>";
  EXPECT_EQ(tagName(end, nextNode(end, 0)), u"abc");
  const std::u16string_view bare = u"</>";
  EXPECT_EQ(tagName(bare, nextNode(bare, 0)), u"");
}

} // namespace
} // namespace q7::xml
