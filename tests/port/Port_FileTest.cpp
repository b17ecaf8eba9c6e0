#include "port/Port_File.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "port/Port_Dir.h"
#include "support/TempInstallTree.h"

namespace {

using Port::File;
using Port::Stream;
using Text = Port::StringBase<char>;

// Every line of `path` as readline gives them, checking that geteof and the
// bytes consumed agree with the file.
std::vector<std::string> ReadLines(const std::string& path, bool textMode = false) {
  std::vector<std::string> lines;
  Stream* stream = File::open(Text(path), File::ACCESS_READ, textMode);
  EXPECT_NE(stream, nullptr);
  if (stream == nullptr) return lines;
  Text line;
  std::uintmax_t bytes = 0;
  while (!stream->geteof()) {
    const long consumed = stream->readline(line);
    EXPECT_GT(consumed, 0);
    bytes += static_cast<std::uintmax_t>(consumed);
    lines.push_back(line.str());
  }
#ifdef _WIN32
  // Text mode drops the carriage return before a line feed, so fewer bytes
  // may come back than the file holds.
  if (!textMode) {
    EXPECT_EQ(bytes, std::filesystem::file_size(path));
  }
#else
  EXPECT_EQ(bytes, std::filesystem::file_size(path));
#endif
  EXPECT_EQ(stream->readline(line), 0);
  EXPECT_TRUE(line.IsEmpty());
  EXPECT_TRUE(File::close(stream));
  return lines;
}

std::vector<std::string> Names(const UT_DIR& dir) {
  std::vector<std::string> names;
  for (const char* name : dir) names.push_back(name);
  return names;
}

TEST(Port_FileTest, QuestionsAboutPaths) {
  MintuTest::TempInstallTree tree;
  const std::string file = tree.WriteFile("d/f.txt", "x");
  const struct {
    std::string path;
    bool exist, isfile, isdir, canread;
  } cases[] = {{file, true, true, false, true},
               {tree.Path("d"), true, false, true, false},
               {tree.Path("none"), false, false, false, false},
               {"", false, false, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(File::exist(Text(c.path)), c.exist);
    EXPECT_EQ(File::isfile(Text(c.path)), c.isfile);
    EXPECT_EQ(File::isdir(Text(c.path)), c.isdir);
    EXPECT_EQ(File::canread(Text(c.path)), c.canread);
  }
  EXPECT_TRUE(File::isfile(Port::FileName(file.c_str())));
}

TEST(Port_FileTest, UnreadableFileIsNeitherReadableNorOpened) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX permission bits: Windows only has a read-only attribute";
#endif
  MintuTest::TempInstallTree tree;
  const std::string file = tree.WriteFile("d/f.txt", "x");
  std::filesystem::permissions(file, std::filesystem::perms::none);
  std::FILE* probe = std::fopen(file.c_str(), "rb");
  if (probe != nullptr) {
    std::fclose(probe);
    GTEST_SKIP() << "running with rights that ignore permissions";
  }
  EXPECT_FALSE(File::canread(Text(file)));
  EXPECT_EQ(File::open(Text(file), File::ACCESS_READ, false), nullptr);
}

TEST(Port_FileTest, ReadsLinesWithoutTheirLineFeed) {
  MintuTest::TempInstallTree tree;
  // Numbered lines over many reading chunks: lines and chunks end at every
  // offset of each other.
  std::string numbered;
  std::vector<std::string> numbers;
  for (long i = 0; i < (4L << 20) / 15; ++i) {
    numbers.push_back(std::to_string(1000000000000000L + i).substr(2));
    numbered += numbers.back() + "\n";
  }
  const struct {
    std::string content;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"\n", {""}},
      {"a\nb\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\r\nb\r\n", {"a\r", "b\r"}},  // in binary mode only the line feed is stripped
      {"a\n\n\nb\n", {"a", "", "", "b"}},
      {std::string("n\0l\n", 4), {std::string("n\0l", 3)}},
      {"a\n" + std::string(1 << 20, 'x') + "\nb", {"a", std::string(1 << 20, 'x'), "b"}},
      {numbered, numbers},
  };
  for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(ReadLines(tree.WriteFile("f.txt", cases[i].content), i % 2 == 1) == cases[i].lines);
  }
}

// The whole of `path` read with blocks of `size` bytes.
std::string ReadBlocks(const std::string& path, std::size_t size) {
  std::string content;
  Stream* stream = File::open(Text(path), File::ACCESS_READ, false);
  EXPECT_NE(stream, nullptr);
  if (stream == nullptr) return content;
  std::vector<char> block(size);
  for (;;) {
    const std::size_t got = stream->read(block.data(), size);
    EXPECT_LE(got, size);
    content.append(block.data(), got);
    if (got < size) break;  // only the end of the file gives a short block
  }
  EXPECT_EQ(stream->read(block.data(), size), 0u);
  EXPECT_TRUE(stream->geteof());
  EXPECT_TRUE(File::close(stream));
  return content;
}

TEST(Port_FileTest, ReadsBlocksOfEveryByte) {
  MintuTest::TempInstallTree tree;
  std::string content;
  for (int i = 0; i < 300000; ++i) content += static_cast<char>((i * 7 + i / 256) % 256);
  const std::string path = tree.WriteFile("bytes.bin", content);
  for (std::size_t size : {1u, 7u, 4096u, 65536u, 65537u, 299999u, 300000u, 300001u, 1000000u}) {
    SCOPED_TRACE(size);
    EXPECT_EQ(ReadBlocks(path, size), content);
  }
  EXPECT_EQ(ReadBlocks(tree.WriteFile("empty.txt", ""), 16), "");
}

TEST(Port_FileTest, BlocksAndLinesTakeTurns) {
  MintuTest::TempInstallTree tree;
  const std::string tail(200000, 't');
  const std::string path = tree.WriteFile("mixed.txt", "first\nsecond\nthird\n" + tail + "\nend");
  Stream* stream = File::open(Text(path), File::ACCESS_READ, false);
  ASSERT_NE(stream, nullptr);
  Text line;
  char block[8] = {};
  EXPECT_EQ(stream->read(block, 0), 0u);
  EXPECT_EQ(stream->read(nullptr, 8), 0u);
  EXPECT_EQ(stream->readline(line), 6);
  EXPECT_EQ(line.str(), "first");
  ASSERT_EQ(stream->read(block, 3), 3u);  // from what readline buffered
  EXPECT_EQ(std::string(block, 3), "sec");
  EXPECT_EQ(stream->readline(line), 4);
  EXPECT_EQ(line.str(), "ond");
  EXPECT_FALSE(stream->geteof());
  ASSERT_EQ(stream->read(block, 6), 6u);
  EXPECT_EQ(std::string(block, 6), "third\n");
  // Past what was buffered: the rest comes from the file itself.
  std::string rest(tail.size() + 10, '\0');
  ASSERT_EQ(stream->read(&rest[0], rest.size()), tail.size() + 4);
  rest.resize(tail.size() + 4);
  EXPECT_EQ(rest, tail + "\nend");
  EXPECT_TRUE(stream->geteof());
  EXPECT_EQ(stream->readline(line), 0);
  EXPECT_TRUE(File::close(stream));
}

TEST(Port_FileTest, OpensOnlyRegularFilesAndCountsStreams) {
  MintuTest::TempInstallTree tree;
  const std::string file = tree.WriteFile("f.txt", "old\n");
  const long before = File::openStreamCount();

  EXPECT_EQ(File::open(Text(tree.base()), File::ACCESS_READ, false), nullptr);
  EXPECT_EQ(File::open(Text(tree.Path("none")), File::ACCESS_READ, false), nullptr);
  EXPECT_EQ(File::open(Text(""), File::ACCESS_READ, false), nullptr);
  EXPECT_EQ(File::open(Text(file), 0, false), nullptr);
  EXPECT_EQ(File::openStreamCount(), before);
  EXPECT_FALSE(File::close(nullptr));

  Stream* written = File::open(Text(file), File::ACCESS_WRITE, false);
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(written->getName(), Text(file));
  EXPECT_EQ(File::openStreamCount(), before + 1);
  EXPECT_TRUE(written->write(Text("one\n")));
  EXPECT_TRUE(File::close(written));
  Stream* appended = File::open(Port::FileName(file.c_str()), File::ACCESS_APPEND, false);
  ASSERT_NE(appended, nullptr);
  EXPECT_TRUE(appended->write("two\n", 4));
  EXPECT_TRUE(File::close(appended));
  EXPECT_EQ(File::openStreamCount(), before);
  EXPECT_EQ(MintuTest::TempInstallTree::ReadFile(file), "one\ntwo\n");
}

TEST(Port_FileTest, CloseReportsDataThatCouldNotBeStored) {
  if (!File::exist(Text("/dev/full"))) GTEST_SKIP() << "no /dev/full here";
  Stream* stream = File::open(Text("/dev/full"), File::ACCESS_WRITE, false);
  ASSERT_NE(stream, nullptr);
  stream->write(Text("lost\n"));  // buffered: the failure shows when flushed
  EXPECT_FALSE(File::close(stream));
}

TEST(Port_FileTest, ChangesAndReportsWorkingDirectory) {
  MintuTest::TempInstallTree tree;
  const std::string sub = tree.MakeDir("sub");
  EXPECT_TRUE(File::chdir(Text(sub + "/")));
  EXPECT_EQ(File::getcwd(), Text(sub));
  EXPECT_FALSE(File::chdir(Text(tree.Path("none"))));
  EXPECT_FALSE(File::chdir(Text("")));
  EXPECT_EQ(File::getcwd(), Text(sub));
  EXPECT_TRUE(File::chdir(Text("/")));
#ifdef _WIN32
  // The root of the current drive, drive letter and all.
  EXPECT_EQ(File::getcwd().str().substr(1), ":\\");
#else
  EXPECT_EQ(File::getcwd(), Text("/"));
#endif
}

TEST(Port_FileTest, DirectoryListsSortedEntries) {
  MintuTest::TempInstallTree tree;
  tree.WriteFile("d/b.txt", "");
  tree.WriteFile("d/A.txt", "");
  tree.MakeDir("d/c");
  tree.MakeDir("d/a");
  const UT_DIR all(Text(tree.Path("d")));
  EXPECT_TRUE(all.isOpen());
  EXPECT_EQ(Names(all), (std::vector<std::string>{"A.txt", "a", "b.txt", "c"}));
  UT_DIR dirs(Text(tree.Path("d")), UT_DIR::DIRECTORIES_ONLY);
  EXPECT_EQ(Names(dirs), (std::vector<std::string>{"a", "c"}));
  dirs.close();
  EXPECT_FALSE(dirs.isOpen());
  EXPECT_EQ(dirs.size(), 0u);

  for (const std::string& bad : {tree.Path("none"), tree.Path("d/b.txt"), std::string()}) {
    SCOPED_TRACE(bad);
    const UT_DIR missing{Text(bad)};
    EXPECT_FALSE(missing.isOpen());
    EXPECT_TRUE(missing.begin() == missing.end());
  }
}

// A name as the directory listing gives it must open, test and make
// absolute again, whatever its bytes beyond ASCII (on Windows they pass
// through the code page both ways).
TEST(Port_FileTest, ListedNamesBeyondAsciiOpenAgain) {
  MintuTest::TempInstallTree tree;
  const std::string dir = tree.MakeDir("d");
  const std::string made = "caf\xE9 \xA7.txt";
  {
    Stream* out = File::open(Text(dir + "/" + made), File::ACCESS_WRITE, false);
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(out->write(Text("one\n")));
    EXPECT_TRUE(File::close(out));
  }
  const std::vector<std::string> names = Names(UT_DIR(Text(dir)));
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0], made);
  const Port::FileName listed((dir + "/" + names[0]).c_str());
  EXPECT_TRUE(File::isfile(listed.GetFullPath()));
  EXPECT_TRUE(File::canread(listed.GetFullPath()));
  EXPECT_EQ(ReadLines(listed.GetFullPath().str()), (std::vector<std::string>{"one"}));
  EXPECT_TRUE(File::isfile(listed.GetAbsolutePath(false)));
  EXPECT_TRUE(File::chdir(Text(dir)));
  EXPECT_TRUE(File::isfile(Port::FileName(made.c_str()).GetAbsolutePath(false)));
}

}  // namespace
