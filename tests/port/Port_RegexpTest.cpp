#include "port/Port_Regexp.h"

#include <gtest/gtest.h>

using Text = Port::StringBase<char>;

std::string Shown(const Port_Range& range) {  // "first-last", or "none"
  return range.IsEmpty() ? "none" : std::to_string(range.first) + "-" + std::to_string(range.last);
}

// The match of `pattern` in `text` from `start`, the same by both forms of GetRangeOfMatch.
std::string Match(const char* pattern, const char* text, std::size_t start = 0) {
  const Port_Regexp regexp(pattern);
  const std::string shown = Shown(regexp.GetRangeOfMatch(Text(text), start));
  EXPECT_EQ(shown, Shown(regexp.GetRangeOfMatch(text, start)));
  return shown;
}

TEST(Port_RegexpTest, LeftmostMatchFromStart) {
  const char* const version = "^[0-9]+[_.][0-9]+$";
  EXPECT_EQ(Match(version, "3.1") + " " + Match(version, "v3_1"), "0-2 none");
  // "^" and "$" anchor at the ends of the whole text, "." stops at a line feed.
  EXPECT_EQ(Match(version, "3.1\n") + Match("^b", "a\nb") + Match("a.b", "a\nb"), "nonenonenone");
  const char* const variable = "\\$\\{([A-Za-z_]+)\\}";
  EXPECT_EQ(Match(variable, "x${HOME}/${USER}") + " " + Match(variable, "x${HOME}/${USER}", 2),
            "1-7 9-15");
  EXPECT_EQ(Match(variable, "x${HOME}", 99), "none");
  // Text before `start` still counts: "^" cannot match after it.
  EXPECT_EQ(Match("^ab", "abab", 1) + " " + Match("\\bb", "ab b", 1), "none 3-3");
  // The StringBase form searches by length, past a NUL.
  EXPECT_EQ(Shown(Port_Regexp("b").GetRangeOfMatch(Text(std::string("x\0b", 3)))), "2-2");
}

TEST(Port_RegexpTest, NeverThrows) {
  for (const char* bad : {"(", "a{2,1}", "*"}) {
    EXPECT_FALSE(Port_Regexp(bad).IsValid()) << bad;
    EXPECT_EQ(Match(bad, "((a*"), "none") << bad;
  }
  // Catastrophic backtracking: Boost gives up, and the search reports no match.
  const Port_Regexp explosive("(a*)*(b*)*(a*)*(b*)*c");
  const std::string text(40, 'a');
  std::vector<Port_Range> groups(1);
  EXPECT_FALSE(explosive.Search(text.data(), text.size(), 0, groups));
  EXPECT_TRUE(groups.empty());
  EXPECT_EQ(Shown(explosive.GetRangeOfMatch(Text(text))), "none");
  EXPECT_TRUE(explosive.GetRangeOfMatch(static_cast<const char*>(nullptr)).IsEmpty());
}
