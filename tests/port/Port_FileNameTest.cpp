#include "port/Port_FileName.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "port/Port_File.h"
#include "support/TempInstallTree.h"

using Port::FileName;
using Text = Port::StringBase<char>;

const std::string SEP(1, FileName::GetPathSeparator());  // added where none stands

TEST(Port_FileNameTest, SplitsAtLastSeparator) {
  // Head (with its separator), tail and full path.
  const char* const cases[][2] = {
      {"a/b/c.txt", "a/b/|c.txt|a/b/c.txt"}, {"c.txt", "|c.txt|c.txt"}, {"a/b/", "a/b/||a/b/"},
      {"/c.txt", "/|c.txt|/c.txt"},          {"a//c", "a//|c|a/c"},     {"", "||"}};
  for (const auto& c : cases) {
    const FileName name(c[0]);
    EXPECT_EQ(name.GetHead(true, false).str() + "|" + name.GetTail().str() + "|" +
                  name.GetFullPath().str(),
              c[1]);
  }
  // Without its separator, a root keeps it.
  EXPECT_EQ(FileName("/f").GetHead(false, false) + FileName("a//f").GetHead(false, false),
            Text("/a"));
}

TEST(Port_FileNameTest, JoinPutsExactlyOneSeparator) {
  EXPECT_EQ(FileName::Join("a", "b"), Text("a" + SEP + "b"));
  const char* const cases[][3] = {{"a/", "b", "a/b"}, {"a", "/b", "a/b"}, {"a//", "//b", "a/b"},
                                  {"/", "b", "/b"},   {"", "b", "b"},     {"a/", "", "a/"},
                                  {"/", "/", "/"}};
  for (const auto& c : cases) EXPECT_EQ(FileName::Join(c[0], c[1]), Text(c[2])) << c[0] << c[1];
}

TEST(Port_FileNameTest, AbsolutePathsAgainstWorkingDirectory) {
  MintuTest::TempInstallTree tree;
  tree.MakeDir("w/sub");
  const std::string w = tree.Path("w");
  ASSERT_TRUE(Port::File::chdir(w));
  EXPECT_EQ(FileName("sub/../x//y/./z").GetAbsolutePath(),
            Text(w + SEP + "x" + SEP + "y" + SEP + "z"));
  EXPECT_EQ(FileName("sub/./f.txt").GetHead(false, true), Text(w + SEP + "sub"));
  // A rooted name without a drive lands on the current drive on Windows (Wine: Z:).
  const std::string rooted = FileName("/a/b/../c").GetAbsolutePath().str();
  EXPECT_THAT(rooted, testing::AnyOf("/a/c", testing::MatchesRegex(".:\\\\a\\\\c")));
}
