// Reading XML text into the model: what is kept and dropped, what is
// refused and where, and the round trip through ToXml.
#include "mintu/Mintu_XmlReader.h"

#include "XmlTestSupport.h"
#include "support/TempInstallTree.h"

namespace {

using namespace XmlTest;
using Mintu::XmlReader;

TEST(XmlReader, KeepsElementsAttributesAndTextsAsWritten) {
  const char* const rows[][2] = {
      // Declarations, comments and processing instructions go; attributes keep their order.
      {"<?xml version=\"1.0\"?>\n<!-- c -->\n<a xmlns:s=\"u\" s:x='1' b=\"2\">\n <?pi x?>\n"
       "  <s:b>t</s:b>\n  <c></c>\n</a>\n<!-- end -->",
       "<a xmlns:s=\"u\" s:x=\"1\" b=\"2\">\n  <s:b>t</s:b>\n  <c/>\n</a>\n"},
      // Escapes stay; a '"' from a single-quoted value is escaped.
      {"<a x=\"&lt;&#x4A;\" y='say \"hi\"'>&amp; &#233; &gt; '\"</a>",
       "<a x=\"&lt;&#x4A;\" y=\"say &quot;hi&quot;\">&amp; &#233; &gt; '\"</a>\n"},
      {"<a><![CDATA[x<&>y]]></a>", "<a>x&lt;&amp;&gt;y</a>\n"},
      {"<a>x]]<!--c-->>y</a>", "<a>x]]&gt;y</a>\n"},
      // Blank text between elements goes; a leaf's blank text stays.
      {"<a> <!-- c --> <b> </b>\t<c>\n</c> </a>", "<a>\n  <b> </b>\n  <c>\n</c>\n</a>\n"},
      // A byte order mark is skipped; line ends read as "\n", in attributes too.
      {"\xEF\xBB\xBF<a x=\"1\r\n2\t3\">l1\r\nl2\rl3</a>\r\n", "<a x=\"1\n2\t3\">l1\nl2\nl3</a>\n"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row[1], XmlReader::FromString(row[0])->ToXml("").str()) << row[0];
  }
}

TEST(XmlReader, RefusesMalformedInputWithLineColumnAndReason) {
  // Pairs of input and the message after "Cannot read t.xml: ".
  const std::pair<std::string, const char*> rows[] = {
      {"<a\n x=\"1\"\n>\n</b>", "line 4, column 3: Start-end tags mismatch"},
      {"<a>\n  text <b/>\n</a>", "line 2, column 3: Mixed content: text beside child elements"},
      {"<a>\xC3\xA9\x80</a>", "line 1, column 5: Invalid UTF-8"},
      {"<a>\xC0\xAF</a>", "line 1, column 4: Invalid UTF-8"},
      {"<a>\xED\xA0\x80</a>", "line 1, column 4: Invalid UTF-8"},
      {"<a>\r\n\xE2\x82</a>", "line 2, column 1: Invalid UTF-8"},
      {std::string("<a>\0</a>", 8), "line 1, column 4: Character not allowed in XML"},
      {"<a>\xEF\xBF\xBE</a>", "line 1, column 4: Character not allowed in XML"},
      {"<a>&nbsp;</a>", "line 1, column 4: Reference to an undefined entity"},
      {"<a>fish & chips</a>", "line 1, column 9: \"&\" that starts no reference"},
      {"<a>&#0;</a>", "line 1, column 4: Character reference to a character not allowed in XML"},
      {"<a>&#x;</a>", "line 1, column 4: Malformed character reference"},
      {"<a x='1<2'/>", "line 1, column 8: \"<\" in an attribute value"},
      {"<a x='1'\n y='2' x='3'/>", "line 2, column 8: Attribute x given twice"},
      {"<a a='1' b='1' c='1' d='1' e='1' f='1' g='1' h='1' a='2'/>",
       "line 1, column 52: Attribute a given twice"},
      {"<a>]]></a>", "line 1, column 4: \"]]>\" in text"},
      {"<a/>\n y", "line 2, column 2: Text outside the root element"},
      {"<a/>\n<b/>", "line 2, column 1: More than one root element"},
      {"", "line 1, column 1: No root element"},
      {"<?xml version='1.0'?>\n<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>",
       "line 2, column 1: Document type declarations are not supported"},
      {"<a>\n<b:c:d/></a>", "line 2, column 1: Invalid XML tag b:c:d"},
      {"<a x:y:z='1'/>", "line 1, column 4: Invalid XML tag x:y:z"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ("Cannot read t.xml: " + std::string(row.second) + "\n",
              Thrown([&] { XmlReader::FromString(row.first, "t.xml"); }))
        << row.first;
  }
}

TEST(XmlReader, RefusesDeepNestingWithoutRecursion) {
  const auto nest = [](std::size_t depth) {
    std::string open, close;
    for (std::size_t i = 0; i < depth; ++i) open += "<a>", close += "</a>";
    return open + "x" + close;
  };
  EXPECT_EQ("Cannot read XML text: line 1, column 3001: Elements nested deeper than 1000 levels\n",
            Thrown([&] { XmlReader::FromString(nest(100000)); }));
  EXPECT_TRUE(XmlReader::FromString(nest(XmlReader::MAX_DEPTH))->IsNested());
}

TEST(XmlReader, Files) {
  MintuTest::TempInstallTree tree;
  const std::string missing = tree.Path("none.xml");
  EXPECT_EQ("Cannot open " + missing + "\n", Thrown([&] { XmlReader::FromFile(missing); }));
  const std::string bad = tree.WriteFile("bad.xml", "<a>\r\n<b>\r\n</a>");
  EXPECT_EQ("Cannot read " + bad + ": line 3, column 3: Start-end tags mismatch\n",
            Thrown([&] { XmlReader::FromFile(bad); }));
  EXPECT_EQ("<a/>\n", XmlReader::FromFile(tree.WriteFile("good.xml", "<a/>"))->ToXml("").str());
}

// Random trees, written and read back: equal, and written the same again.
TEST(XmlReader, RoundTripOfRandomTrees) {
  const Pools pools = {
      {"a", "s:b", "spirit:port", "x-y.z", "_q"},
      {"t", " ", "&amp;", "&lt;&gt;", "&#xE9;", "\xC3\xA9", "\n", "\"", "'", ">", "a b"},
      {"x", "s:id", "xmlns:s", "q"},
      {"", "v", " ", "&quot;", "'", ">", "\t", "&#10;", "\xE2\x82\xAC"}};
  std::mt19937 random(1);
  for (int round = 0; round < 300; ++round) {
    const Handle tree = RandomElement(random, pools, 5);
    const std::string written = tree->ToXml("").str();
    const Handle read = XmlReader::FromString(written);
    EXPECT_TRUE(*read == *tree) << written;
    EXPECT_EQ(written, read->ToXml("").str());
  }
}

}  // namespace
