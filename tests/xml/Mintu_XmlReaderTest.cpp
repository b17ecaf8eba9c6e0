// Reading XML text into the model: what is kept, decoded and dropped, what
// is refused and where, and the round trip through ToXml.
#include "mintu/Mintu_XmlReader.h"

#include "XmlTestSupport.h"
#include "support/TempInstallTree.h"

namespace {

using namespace XmlTest;
using Mintu::XmlReader;

// `ascii` as UTF-16 with a byte order mark.
std::string Utf16(const std::string& ascii, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char c : ascii) out += bigEndian ? std::string(1, '\0') + c : std::string(1, c) + '\0';
  return out;
}

TEST(XmlReader, KeepsElementsAttributesAndTextsDecodedThenEscaped) {
  const std::pair<std::string, const char*> rows[] = {
      // Declarations, comments and processing instructions go; attributes,
      // namespace declarations among them, keep their order.
      {"<?xml version=\"1.0\"?>\n<!-- c -->\n<a s:x='1' xmlns:s=\"u\" b=\"2\">\n <?pi x?>\n"
       "  <s:b>t</s:b>\n  <c></c>\n</a>\n<!-- end -->",
       "<a s:x=\"1\" xmlns:s=\"u\" b=\"2\">\n  <s:b>t</s:b>\n  <c/>\n</a>\n"},
      {"<a xmlns='u' xml:lang='en'><b xmlns:p='v' p:c='&lt;'/></a>",
       "<a xmlns=\"u\" xml:lang=\"en\">\n  <b xmlns:p=\"v\" p:c=\"&lt;\"/>\n</a>\n"},
      // References decoded, then stored in the one escaped form.
      {"<a x=\"&lt;&#x4A;&apos;\" y='say \"hi\"'>&amp; &#233; &gt; '\"&#13;</a>",
       "<a x=\"&lt;J'\" y=\"say &quot;hi&quot;\">&amp; \xC3\xA9 &gt; '\"&#13;</a>\n"},
      {"<a x=\"1\r\n2\t3\" y=\"&#9;&#10;&#13;\"/>", "<a x=\"1 2 3\" y=\"&#9;&#10;&#13;\"/>\n"},
      {"<a><![CDATA[x<&>y]]></a>", "<a>x&lt;&amp;&gt;y</a>\n"},
      {"<a>x]]<!--c-->>y</a>", "<a>x]]&gt;y</a>\n"},
      // A leaf's text is all its character data, across comments and PIs.
      {"<a>x<!--c--> <!--d-->y</a>", "<a>x y</a>\n"},
      {"<a> <?p q?>\n<![CDATA[ ]]></a>", "<a> \n </a>\n"},
      // Blank text between elements goes.
      {"<a> <!-- c --> <b> </b>\t<c>\n</c> </a>", "<a>\n  <b> </b>\n  <c>\n</c>\n</a>\n"},
      {"\xEF\xBB\xBF<a>l1\r\nl2\rl3</a>\r\n", "<a>l1\nl2\nl3</a>\n"},
      // Encodings: held as UTF-8.
      {"<?xml version='1.0' encoding='ISO-8859-1'?><a>caf\xE9</a>", "<a>caf\xC3\xA9</a>\n"},
      {"<?xml version='1.0' encoding='US-ASCII'?><a>&#xE9;</a>", "<a>\xC3\xA9</a>\n"},
      {Utf16("<a b='1' xmlns:p='u' p:c='2'>&#xE9;</a>", false),
       "<a b=\"1\" xmlns:p=\"u\" p:c=\"2\">\xC3\xA9</a>\n"},
      {Utf16("<a b='1' xmlns:p='u' p:c='2'/>", false).substr(2),  // no byte order mark
       "<a b=\"1\" xmlns:p=\"u\" p:c=\"2\"/>\n"},
      {Utf16("<?xml version='1.0' encoding='UTF-16'?><a xmlns:p='\xC4\x80' x='1'/>", true),
       "<a xmlns:p=\"\xC3\x84\xC2\x80\" x=\"1\"/>\n"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.first);
    EXPECT_EQ(row.second, XmlReader::FromString(row.first)->ToXml("").str());
  }
  // Texts compare by what they stand for.
  EXPECT_TRUE(*XmlReader::FromString("<a>x&#38;y</a>") == *XmlReader::FromString("<a>x&amp;y</a>"));
  EXPECT_TRUE(*XmlReader::FromString("<a v='&#34;'/>") == *XmlReader::FromString("<a v='\"'/>"));
}

TEST(XmlReader, RefusesMalformedInputWithLineColumnAndReason) {
  // Pairs of input and the message after "Cannot read t.xml: line ".
  const char* const declaration = "XML or text declaration not at start of entity";
  const char* const token = "not well-formed (invalid token)";
  const std::string reserved = "reserved prefix (";
  const std::pair<std::string, std::string> rows[] = {
      // The XML declaration: place, form, version, encoding, standalone.
      {"\n<?xml version='1.0'?><a/>", std::string("2, column 1: ") + declaration},
      {"<a><?xml version='1.0'?></a>", std::string("1, column 4: ") + declaration},
      {"<?xml version='1.0'?<a/>", "1, column 1: unclosed token"},
      {"<?xml encoding='UTF-8'?><a/>", "1, column 7: XML declaration not well-formed"},
      {"<?xml version='1.0' standalone='maybe'?><a/>",
       "1, column 33: XML declaration not well-formed"},
      {"<?xml version='1.0' encoding='UTF-16'?><a/>",
       "1, column 31: encoding specified in XML declaration is incorrect"},
      {"<?xml version='1.0' encoding='Shift_JIS'?><a/>",
       "1, column 31: unknown encoding Shift_JIS"},
      {"<?XmL foo?><a/>", std::string("1, column 6: ") + token},
      {"\xEF\xBB\xBF\xEF\xBB\xBF<a/>", std::string("1, column 2: ") + token},
      // Bytes, characters, markup and references.
      {std::string("<a>\xC3\0</a>", 9), std::string("1, column 4: ") + token},
      {"<a\xC2\xA0z/>", std::string("1, column 3: ") + token},
      {"<a><!-- x -- y --></a>", std::string("1, column 13: ") + token},
      {"<a/><![CDATA[x]]>", "1, column 5: junk after document element"},
      {"<a>\n  text <b/>\n</a>", "2, column 3: Mixed content: text beside child elements"},
      {"<a><b/> x</a>", "1, column 9: Mixed content: text beside child elements"},
      {"<a>&nbsp;</a>", "1, column 4: undefined entity"},
      {"<?xml version='1.0'?>\n<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>",
       "2, column 13: Document type declarations are not supported"},
      // Names and namespaces.
      {"<a>\n<b:c:d/></a>", std::string("2, column 5: ") + token},
      {"<a x:y:z='1'/>", std::string("1, column 7: ") + token},
      {"<p:a/>", "1, column 1: unbound prefix"},
      {"<a p:x='1'/>", "1, column 1: unbound prefix"},
      {"<a xmlns:xml='u'/>", "1, column 1: " + reserved +
                                 "xml) must not be undeclared or bound to another namespace name"},
      {"<a xmlns:xmlns='u'/>",
       "1, column 1: " + reserved + "xmlns) must not be declared or undeclared"},
      {"<a xmlns:p=''/>", "1, column 1: must not undeclare prefix"},
      {"<a xmlns:p='u' xmlns:q='u' p:x='1' q:x='2'/>", "1, column 1: duplicate attribute"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.first);
    EXPECT_EQ("Cannot read t.xml: line " + row.second + "\n",
              Thrown([&] { XmlReader::FromString(row.first, "t.xml"); }));
  }
  // Nesting, refused without recursion; text without a file name.
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
  EXPECT_EQ("Cannot read " + bad + ": line 3, column 3: mismatched tag\n",
            Thrown([&] { XmlReader::FromFile(bad); }));
  // Longer than a block of input, in UTF-16.
  const std::string many = "<a>" + std::string(100000, 'x') + "</a>";
  EXPECT_EQ(many + "\n",
            XmlReader::FromFile(tree.WriteFile("big.xml", Utf16(many, false)))->ToXml("").str());
}

// Random trees with texts in the escaped form, written and read back: equal,
// and written the same again.
TEST(XmlReader, RoundTripOfRandomTrees) {
  const Pools pools = {
      {"a", "s:b", "spirit:port", "x-y.z", "_q"},
      {"t", " ", "&amp;", "&lt;&gt;", "\xC3\xA9", "\n", "\"", "'", "&#13;", "a b"},
      {"x", "s:id", "q"},
      {"", "v", " ", "&quot;", "'", "&gt;", "&#9;", "&#10;", "&#13;", "\xE2\x82\xAC"}};
  std::mt19937 random(1);
  for (int round = 0; round < 300; ++round) {
    const Handle tree = RandomElement(random, pools, 5);
    tree->attributes.Add(Attr("xmlns:s", "u"));
    tree->attributes.Add(Attr("xmlns:spirit", "v"));
    const std::string written = tree->ToXml("").str();
    const Handle read = XmlReader::FromString(written);
    EXPECT_TRUE(*read == *tree) << written;
    EXPECT_EQ(written, read->ToXml("").str());
  }
}

}  // namespace
