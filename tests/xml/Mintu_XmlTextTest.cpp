// The XML text rules: escaping both ways, names and allowed characters.
#include "mintu/Mintu_XmlText.h"

#include <gtest/gtest.h>

namespace {

using Mintu::XmlText;

TEST(XmlText, EscapesAndUnescapes) {
  EXPECT_EQ("a&lt;b&gt;&amp;c\"'\t\n&#13;", XmlText::Escape("a<b>&c\"'\t\n\r").str());
  EXPECT_EQ("a&lt;b&gt;&amp;c&quot;'&#9;&#10;&#13;",
            XmlText::EscapeAttribute("a<b>&c\"'\t\n\r").str());
  EXPECT_EQ("&<>\"'x&yJ\xC3\xA9\xF0\x9F\x98\x80",
            XmlText::Unescape("&amp;&lt;&gt;&quot;&apos;x&#38;y&#x4a;&#xE9;&#x1F600;").str());
  // An "&" that starts no reference stays.
  const char* const kept = "fish & chips &nbsp; &#; &#x; &#-1; &#x110000; &amp";
  EXPECT_EQ(kept, XmlText::Unescape(kept).str());
}

TEST(XmlText, NamesAndTexts) {
  const std::pair<std::string, bool> names[] = {
      {"spirit:component", true}, {"_x-1.2\xC3\xA9", true}, {"", false},   {"1a", false},
      {"a x='1'", false},         {"a\t", false},           {"a>", false}, {"a\xC2\xA0", false}};
  for (const auto& [name, is] : names) EXPECT_EQ(is, XmlText::IsName(name)) << name;
  EXPECT_TRUE(XmlText::IsText("a < b & ]]> \t\r\n\xE2\x82\xAC"));
  const std::string notTexts[] = {"caf\xE9", "\xED\xA0\x80", std::string("\0", 1), "\xEF\xBF\xBE"};
  for (const std::string& text : notTexts) EXPECT_FALSE(XmlText::IsText(text)) << text;
}

}  // namespace
