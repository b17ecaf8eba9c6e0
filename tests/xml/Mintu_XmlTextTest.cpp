// The XML text rules: escaping both ways, names and allowed characters.
#include "mintu/Mintu_XmlText.h"

#include <gtest/gtest.h>

namespace {

using Mintu::XmlText;

TEST(XmlText, EscapesAndUnescapes) {
  // Text, Escape, EscapeAttribute.
  const char* const rows[][3] = {
      {"plain", "plain", "plain"},
      {"a<b>&c", "a&lt;b&gt;&amp;c", "a&lt;b&gt;&amp;c"},
      {"\"'", "\"'", "&quot;'"},
      {"\t\n\r", "\t\n&#13;", "&#9;&#10;&#13;"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row[0]);
    EXPECT_EQ(row[1], XmlText::Escape(row[0]).str());
    EXPECT_EQ(row[2], XmlText::EscapeAttribute(row[0]).str());
  }
  // Escaped text and what it stands for; an "&" that starts no reference stays.
  const char* const unescaped[][2] = {
      {"&amp;&lt;&gt;&quot;&apos;", "&<>\"'"},
      {"x&#38;y&#x4a;&#xE9;&#x1F600;", "x&yJ\xC3\xA9\xF0\x9F\x98\x80"},
      {"fish & chips &nbsp; &#; &#x; &#-1; &#x110000; &amp", "fish & chips &nbsp; &#; &#x; "
                                                            "&#-1; &#x110000; &amp"},
  };
  for (const auto& row : unescaped) {
    SCOPED_TRACE(row[0]);
    EXPECT_EQ(row[1], XmlText::Unescape(row[0]).str());
  }
}

TEST(XmlText, NamesAndTexts) {
  const std::pair<const char*, bool> names[] = {
      {"a", true},   {"spirit:component", true}, {"_x-1.2", true}, {"\xC3\xA9t\xC3\xA9", true},
      {"", false},   {"1a", false},              {"-a", false},    {"a b", false},
      {"a\t", false}, {"a x='1'", false},        {"a>", false},    {"a\xC2\xA0" "b", false},
  };
  for (const auto& row : names) {
    SCOPED_TRACE(row.first);
    EXPECT_EQ(row.second, XmlText::IsName(row.first));
  }
  const std::pair<std::string, bool> texts[] = {
      {"", true},          {"a < b & ]]> \t\r\n", true}, {"\xE2\x82\xAC", true},
      {"caf\xE9", false},  {"\xED\xA0\x80", false},      {"\x01", false},
      {std::string("\0", 1), false}, {"\xEF\xBF\xBE", false},
  };
  for (const auto& row : texts) {
    SCOPED_TRACE(row.first);
    EXPECT_EQ(row.second, XmlText::IsText(row.first));
  }
}

}  // namespace
