#include "port/Port_FileName.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "port/Port_File.h"
#include "support/TempInstallTree.h"

namespace {

using Port::FileName;
using Text = Port::StringBase<char>;

// The separator the layer adds where none stands, and `path` with its
// slashes in the platform's spelling.
#ifdef _WIN32
const std::string SEP = "\\";
#else
const std::string SEP = "/";
#endif
std::string Native(std::string path) {
  for (char& c : path) {
    if (c == '/') c = SEP[0];
  }
  return path;
}

TEST(Port_FileNameTest, SplitsAtLastSeparator) {
  const struct {
    const char* path;
    const char* head;
    const char* tail;
    const char* full;
  } cases[] = {
      {"a/b/c.txt", "a/b/", "c.txt", "a/b/c.txt"},
      {"c.txt", "", "c.txt", "c.txt"},
      {"a/b/", "a/b/", "", "a/b/"},
      {"/c.txt", "/", "c.txt", "/c.txt"},
      {"", "", "", ""},
      {"a//c", "a//", "c", "a/c"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const FileName name(c.path);
    EXPECT_EQ(name.GetTail(), Text(c.tail));
    EXPECT_EQ(name.GetHead(true, false), Text(c.head));
    EXPECT_EQ(name.GetFullPath(), Text(c.full));
  }
  EXPECT_TRUE(FileName("").IsEmpty());
  EXPECT_TRUE(FileName(static_cast<const char*>(nullptr)).IsEmpty());
}

TEST(Port_FileNameTest, JoinPutsExactlyOneSeparator) {
  const struct {
    const char* a;
    const char* b;
    std::string joined;
  } cases[] = {
      {"a", "b", "a" + SEP + "b"},
      {"a/", "b", "a/b"},
      {"a", "/b", "a/b"},
      {"a//", "//b", "a/b"},
      {"/", "b", "/b"},
      {"", "b", "b"},
      {"a", "", "a"},
      {"a/", "", "a/"},
      {"/", "/", "/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " + " + c.b);
    EXPECT_EQ(FileName::Join(c.a, c.b), Text(c.joined));
  }
}

TEST(Port_FileNameTest, HeadAndTailChanges) {
  FileName name("dir/file.txt");
  name.SetTail("data/f.txt");
  EXPECT_EQ(name.GetFullPath(), Text("dir/data/f.txt"));
  name.SetHead("other");
  EXPECT_EQ(name.GetFullPath(), Text("other" + SEP + "data/f.txt"));
  name.PushPathEnd("x/y/");
  EXPECT_EQ(name.GetHead(true, false), Text("other" + SEP + "x/y/"));
  EXPECT_EQ(name.GetHead(false, false), Text("other" + SEP + "x/y"));
  EXPECT_EQ(name.GetFullPath(), Text("other" + SEP + "x/y/data/f.txt"));

  FileName bare("f.txt");
  bare.PushPathEnd("sub");
  EXPECT_EQ(bare.GetFullPath(), Text("sub" + SEP + "f.txt"));
  // A root keeps its separator even without one asked for.
  EXPECT_EQ(FileName("/f").GetHead(false, false), Text("/"));
  EXPECT_EQ(FileName("f").GetHead(false, false), Text(""));
  EXPECT_EQ(FileName("f").MakeNative(), Text("f"));
}

TEST(Port_FileNameTest, AbsolutePathsAgainstWorkingDirectory) {
  MintuTest::TempInstallTree tree;
  tree.MakeDir("w/sub");
  ASSERT_TRUE(Port::File::chdir(tree.Path("w")));
  const std::string w = tree.Path("w");

  EXPECT_EQ(FileName("sub/../x//y/./z").GetAbsolutePath(), Text(w + Native("/x/y/z")));
  EXPECT_EQ(FileName("sub/").GetAbsolutePath(), Text(w + Native("/sub/")));
  const std::string rooted = FileName("/a/b/../c").GetAbsolutePath().str();
#ifdef _WIN32
  // A rooted name without a drive lands on the current drive (Wine: Z:).
  EXPECT_EQ(rooted.substr(1), ":\\a\\c");
#else
  EXPECT_EQ(rooted, "/a/c");
#endif
  EXPECT_EQ(FileName("").GetAbsolutePath(), Text(""));

  EXPECT_EQ(FileName("f.txt").GetHead(true, true), Text(w + SEP));
  EXPECT_EQ(FileName("f.txt").GetHead(false, true), Text(w));
  EXPECT_EQ(FileName("sub/./f.txt").GetHead(false, true), Text(w + Native("/sub")));
}

TEST(Port_FileNameTest, ResolvesLinksOnlyWhenAsked) {
  MintuTest::TempInstallTree tree;
  tree.WriteFile("real/f.txt", "x");
  std::error_code error;
  std::filesystem::create_directory_symlink(tree.Path("real"), tree.Path("link"), error);
  if (error) GTEST_SKIP() << "no symbolic links here";

  const FileName name(tree.Path("link/../link/f.txt").c_str());
  EXPECT_EQ(name.GetAbsolutePath(false), Text(tree.Path("link/f.txt")));
  EXPECT_EQ(name.GetAbsolutePath(true), Text(tree.Path("real/f.txt")));
  // Missing parts stay as written after the resolved ones.
  EXPECT_EQ(FileName(tree.Path("link/none/g").c_str()).GetAbsolutePath(true),
            Text(tree.Path("real/none/g")));
  EXPECT_EQ(FileName(tree.Path("link/").c_str()).GetAbsolutePath(true),
            Text(tree.Path("real") + "/"));
}

}  // namespace
