#include "port/Port_Regexp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Text = Port::StringBase<char>;

struct MatchCase {
  const char* pattern;
  std::string text;
  std::size_t start;
  bool matches;
  std::size_t first;
  std::size_t last;
};

TEST(Port_RegexpTest, LeftmostMatchFromStart) {
  const MatchCase cases[] = {
      {"^[0-9]+[_.][0-9]+$", "3.1", 0, true, 0, 2},
      {"^[0-9]+[_.][0-9]+$", "v3_1", 0, false, 0, 0},
      // "^" and "$" anchor at the ends of the whole text, not at line ends.
      {"^[0-9]+[_.][0-9]+$", "3.1\n", 0, false, 0, 0},
      {"^[0-9]+[_.][0-9]+$", "x\n3.1", 0, false, 0, 0},
      {"^b", "a\nb", 0, false, 0, 0},
      {"a$", "a\nb", 0, false, 0, 0},
      {"a.b", "a\nb", 0, false, 0, 0},
      {"\\$\\{([A-Za-z_]+)\\}", "x${HOME}/${USER}", 0, true, 1, 7},
      {"\\$\\{([A-Za-z_]+)\\}", "x${HOME}/${USER}", 2, true, 9, 15},
      {"\\$\\{([A-Za-z_]+)\\}", "x${HOME}/${USER}", 16, false, 0, 0},
      {"\\$\\{([A-Za-z_]+)\\}", "x${HOME}", 99, false, 0, 0},
      // Text before `start` still counts: "^" cannot match after it.
      {"^ab", "abab", 1, false, 0, 0},
      {"\\bb", "ab b", 1, true, 3, 3},
      {"o+", "foo boo", 0, true, 1, 2},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " in \"" + c.text + "\" from " + std::to_string(c.start));
    const Port_Regexp regexp(c.pattern);
    ASSERT_TRUE(regexp.IsValid());
    const Port_Range range = regexp.GetRangeOfMatch(Text(c.text), c.start);
    EXPECT_EQ(!range.IsEmpty(), c.matches);
    if (c.matches) {
      EXPECT_EQ(range.first, c.first);
      EXPECT_EQ(range.last, c.last);
      EXPECT_EQ(regexp.GetRangeOfMatch(c.text.c_str(), c.start).first, c.first);
    }
  }
}

TEST(Port_RegexpTest, GroupsAndEmbeddedNuls) {
  const Port_Regexp regexp("(a)|(b)(c)?");
  std::vector<Port_Range> groups;
  const std::string text("x\0b", 3);
  ASSERT_TRUE(regexp.Search(text.data(), text.size(), 0, groups));
  ASSERT_EQ(groups.size(), 4u);
  EXPECT_EQ(groups[0].first, 2u);
  EXPECT_EQ(groups[0].GetLength(), 1u);
  EXPECT_TRUE(groups[1].IsEmpty());  // took no part
  EXPECT_EQ(groups[2].first, 2u);
  EXPECT_TRUE(groups[3].IsEmpty());
  // The StringBase form searches by length, past the NUL.
  EXPECT_EQ(regexp.GetRangeOfMatch(Text(text)).first, 2u);
  // The C-string form stops at the NUL.
  EXPECT_TRUE(regexp.GetRangeOfMatch(text.c_str()).IsEmpty());
  EXPECT_TRUE(regexp.GetRangeOfMatch(static_cast<const char*>(nullptr)).IsEmpty());
}

TEST(Port_RegexpTest, NeverThrows) {
  for (const char* bad : {"(", "[a-", "a{2,1}", "*"}) {
    SCOPED_TRACE(bad);
    const Port_Regexp regexp(bad);
    EXPECT_FALSE(regexp.IsValid());
    EXPECT_TRUE(regexp.GetRangeOfMatch(Text("((a[a-")).IsEmpty());
  }
  // Catastrophic backtracking: Boost gives up, and the search reports no match.
  const Port_Regexp explosive("(a*)*(b*)*(a*)*(b*)*c");
  ASSERT_TRUE(explosive.IsValid());
  const std::string text(40, 'a');
  std::vector<Port_Range> groups(1);
  EXPECT_FALSE(explosive.Search(text.data(), text.size(), 0, groups));
  EXPECT_TRUE(groups.empty());
  EXPECT_TRUE(explosive.GetRangeOfMatch(Text(text)).IsEmpty());
}

}  // namespace
