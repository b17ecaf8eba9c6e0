#include "port/Port_Regexp.h"

#include <gtest/gtest.h>

using Text = Port::StringBase<char>;

// "first-last" of the match, or "none".
std::string Shown(const Port_Range& range) {
  return range.IsEmpty() ? "none" : std::to_string(range.first) + "-" + std::to_string(range.last);
}

TEST(Port_RegexpTest, LeftmostMatchFromStart) {
  const char* const version = "^[0-9]+[_.][0-9]+$";
  const char* const variable = "\\$\\{([A-Za-z_]+)\\}";
  const struct {
    const char* pattern;
    std::string text;
    std::size_t start;
    const char* match;
  } cases[] = {{version, "3.1", 0, "0-2"},
               {version, "v3_1", 0, "none"},
               // "^" and "$" anchor at the ends of the whole text; "." stops at a line feed.
               {version, "3.1\n", 0, "none"},
               {"^b", "a\nb", 0, "none"},
               {"a.b", "a\nb", 0, "none"},
               {variable, "x${HOME}/${USER}", 0, "1-7"},
               {variable, "x${HOME}/${USER}", 2, "9-15"},
               {variable, "x${HOME}", 99, "none"},
               // Text before `start` still counts: "^" cannot match after it.
               {"^ab", "abab", 1, "none"},
               {"\\bb", "ab b", 1, "3-3"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " in \"" + c.text + "\" from " + std::to_string(c.start));
    const Port_Regexp regexp(c.pattern);
    ASSERT_TRUE(regexp.IsValid());
    EXPECT_EQ(Shown(regexp.GetRangeOfMatch(Text(c.text), c.start)), c.match);
    EXPECT_EQ(Shown(regexp.GetRangeOfMatch(c.text.c_str(), c.start)), c.match);
  }
}

TEST(Port_RegexpTest, GroupsAndEmbeddedNuls) {
  const Port_Regexp regexp("(a)|(b)(c)?");
  std::vector<Port_Range> groups;
  const std::string text("x\0b", 3);
  ASSERT_TRUE(regexp.Search(text.data(), text.size(), 0, groups));
  ASSERT_EQ(groups.size(), 4u);
  EXPECT_EQ(
      Shown(groups[0]) + " " + Shown(groups[1]) + " " + Shown(groups[2]) + " " + Shown(groups[3]),
      "2-2 none 2-2 none");  // groups that took no part are empty
  // The StringBase form searches by length, past the NUL; the C-string form stops there.
  EXPECT_EQ(Shown(regexp.GetRangeOfMatch(Text(text))), "2-2");
  EXPECT_EQ(Shown(regexp.GetRangeOfMatch(text.c_str())), "none");
  EXPECT_EQ(Shown(regexp.GetRangeOfMatch(static_cast<const char*>(nullptr))), "none");
}

TEST(Port_RegexpTest, NeverThrows) {
  for (const char* bad : {"(", "a{2,1}", "*"}) {
    EXPECT_FALSE(Port_Regexp(bad).IsValid()) << bad;
    EXPECT_TRUE(Port_Regexp(bad).GetRangeOfMatch(Text("((a*")).IsEmpty()) << bad;
  }
  // Catastrophic backtracking: Boost gives up, and the search reports no match.
  const Port_Regexp explosive("(a*)*(b*)*(a*)*(b*)*c");
  const std::string text(40, 'a');
  std::vector<Port_Range> groups(1);
  EXPECT_FALSE(explosive.Search(text.data(), text.size(), 0, groups));
  EXPECT_TRUE(groups.empty() && explosive.GetRangeOfMatch(Text(text)).IsEmpty());
}
