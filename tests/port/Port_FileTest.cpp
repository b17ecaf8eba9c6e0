#include "port/Port_File.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "port/Port_Dir.h"
#include "support/TempInstallTree.h"

using Port::File;
using Port::Stream;
using Text = Port::StringBase<char>;
using Lines = std::vector<std::string>;

// Every line of `path` as readline gives them, checking that geteof and the
// bytes consumed agree with the file.
Lines ReadLines(const std::string& path, bool textMode = false) {
  Lines lines;
  Stream* stream = File::open(Text(path), File::ACCESS_READ, textMode);
  Text line;
  std::uintmax_t bytes = 0;
  while (stream != nullptr && !stream->geteof()) {
    const long consumed = stream->readline(line);
    EXPECT_GT(consumed, 0);
    bytes += static_cast<std::uintmax_t>(consumed);
    lines.push_back(line.str());
  }
  // On Windows text mode drops the carriage return before a line feed.
  EXPECT_TRUE(textMode || bytes == std::filesystem::file_size(path)) << bytes;
  EXPECT_TRUE(stream != nullptr && stream->readline(line) == 0 && line.IsEmpty());
  EXPECT_TRUE(File::close(stream));
  return lines;
}

Lines Names(const UT_DIR& dir) {
  Lines names;
  for (const char* name : dir) names.push_back(name);
  return names;
}

TEST(Port_FileTest, QuestionsAboutPaths) {
  MintuTest::TempInstallTree tree;
  const std::string file = tree.WriteFile("d/f.txt", "x");
  const auto what = [](const std::string& path) {
    const Text p(path);
    return std::string(File::exist(p) ? "exists" : "") + (File::isfile(p) ? " file" : "") +
           (File::isdir(p) ? " dir" : "") + (File::canread(p) ? " readable" : "");
  };
  EXPECT_EQ(what(file), "exists file readable");
  EXPECT_EQ(what(tree.Path("d")), "exists dir");
  EXPECT_EQ(what(tree.Path("none")) + what(""), "");
#ifdef _WIN32
  GTEST_SKIP() << "POSIX permission bits: Windows only has a read-only attribute";
#endif
  std::filesystem::permissions(file, std::filesystem::perms::none);
  if (std::FILE* probe = std::fopen(file.c_str(), "rb")) {
    std::fclose(probe);
    GTEST_SKIP() << "running with rights that ignore permissions";
  }
  EXPECT_EQ(what(file), "exists file");
  EXPECT_EQ(File::open(Text(file), File::ACCESS_READ, false), nullptr);
}

TEST(Port_FileTest, ReadsLinesWithoutTheirLineFeed) {
  MintuTest::TempInstallTree tree;
  // Numbered lines over many reading chunks: lines and chunks end at every
  // offset of each other.
  std::string numbered;
  Lines numbers;
  for (long i = 0; i < (4L << 20) / 15; ++i) {
    numbers.push_back(std::to_string(1000000000000000L + i).substr(2));
    numbered += numbers.back() + "\n";
  }
  const std::string big(1 << 20, 'x');
  const struct {
    std::string content;
    Lines lines;
  } cases[] = {{"", {}},
               {"\n", {""}},
               {"a\nb", {"a", "b"}},
               {"a\r\nb\r\n", {"a\r", "b\r"}},  // in binary mode only the line feed is stripped
               {"a\n\n\nb\n", {"a", "", "", "b"}},
               {std::string("n\0l\n", 4), {std::string("n\0l", 3)}},
               {"a\n" + big + "\nb", {"a", big, "b"}},
               {numbered, numbers}};
  for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    EXPECT_TRUE(ReadLines(tree.WriteFile("f.txt", cases[i].content), i % 2 == 1) == cases[i].lines)
        << i;
  }
}

TEST(Port_FileTest, BlocksAndLinesTakeTurns) {
  MintuTest::TempInstallTree tree;
  std::string tail;  // every byte value, past the first reading chunk
  for (int i = 0; i < 200000; ++i) tail += static_cast<char>((i * 7 + i / 256) % 256);
  Stream* stream = File::open(Text(tree.WriteFile("f.bin", "first\nsecond\nthird\n" + tail)),
                              File::ACCESS_READ, false);
  ASSERT_NE(stream, nullptr);
  Text line;
  char block[8] = {};
  EXPECT_EQ(stream->read(block, 0) + stream->read(nullptr, 8), 0u);
  EXPECT_EQ(stream->readline(line), 6);
  EXPECT_EQ(line.str(), "first");
  ASSERT_EQ(stream->read(block, 3), 3u);  // from what readline buffered
  EXPECT_EQ(std::string(block, 3), "sec");
  EXPECT_EQ(stream->readline(line), 4);
  EXPECT_EQ(line.str(), "ond");
  EXPECT_FALSE(stream->geteof());
  ASSERT_EQ(stream->read(block, 6), 6u);
  EXPECT_EQ(std::string(block, 6), "third\n");
  // Past what was buffered the rest comes from the file itself; a short block only at the end.
  std::string rest(tail.size() + 10, '\0');
  ASSERT_EQ(stream->read(&rest[0], 100) + stream->read(&rest[100], rest.size() - 100), tail.size());
  EXPECT_TRUE(rest.substr(0, tail.size()) == tail);
  EXPECT_TRUE(stream->geteof() && stream->read(block, 8) == 0 && stream->readline(line) == 0);
  EXPECT_TRUE(File::close(stream));
}

TEST(Port_FileTest, OpensOnlyRegularFilesAndCountsStreams) {
  MintuTest::TempInstallTree tree;
  const std::string file = tree.WriteFile("f.txt", "old\n");
  const long before = File::openStreamCount();
  for (const std::string& bad : {tree.base(), tree.Path("none"), std::string()}) {
    EXPECT_EQ(File::open(Text(bad), File::ACCESS_READ, false), nullptr) << bad;
  }
  EXPECT_EQ(File::open(Text(file), 0, false), nullptr);
  EXPECT_FALSE(File::close(nullptr));
  Stream* written = File::open(Text(file), File::ACCESS_WRITE, false);
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(written->getName(), Text(file));
  EXPECT_EQ(File::openStreamCount(), before + 1);
  EXPECT_TRUE(written->write(Text("one\n")) && File::close(written));
  Stream* appended = File::open(Text(file), File::ACCESS_APPEND, false);
  EXPECT_TRUE(appended->write("two\n", 4) && File::close(appended));
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

TEST(Port_FileTest, DirectoriesListAndChange) {
  MintuTest::TempInstallTree tree;
  tree.WriteFile("d/b.txt", "");
  tree.WriteFile("d/A.txt", "");
  tree.MakeDir("d/c");
  const std::string sub = tree.MakeDir("d/a");
  EXPECT_EQ(Names(UT_DIR(Text(tree.Path("d")))), (Lines{"A.txt", "a", "b.txt", "c"}));  // sorted
  UT_DIR dirs(Text(tree.Path("d")), UT_DIR::DIRECTORIES_ONLY);
  EXPECT_EQ(Names(dirs), (Lines{"a", "c"}));
  dirs.close();
  EXPECT_FALSE(dirs.isOpen() || dirs.size() != 0);
  for (const std::string& bad : {tree.Path("none"), tree.Path("d/b.txt"), std::string()}) {
    EXPECT_FALSE(UT_DIR(Text(bad)).isOpen() || UT_DIR(Text(bad)).size() != 0) << bad;
  }
  EXPECT_TRUE(File::chdir(Text(sub + "/")));
  EXPECT_EQ(File::getcwd(), Text(sub));
  EXPECT_FALSE(File::chdir(Text(tree.Path("none"))) || File::chdir(Text("")));
  EXPECT_EQ(File::getcwd(), Text(sub));
  EXPECT_TRUE(File::chdir(Text("/")));
  const std::string root = File::getcwd().str();  // the current drive's on Windows
  EXPECT_EQ(root.substr(root.size() == 1 ? 0 : 1), root.size() == 1 ? "/" : ":\\");
}

// A name as the directory listing gives it must open, test and make absolute
// again, whatever its bytes beyond ASCII (on Windows they pass through the code page).
TEST(Port_FileTest, ListedNamesBeyondAsciiOpenAgain) {
  MintuTest::TempInstallTree tree;
  const std::string dir = tree.MakeDir("d");
  const std::string made = "caf\xE9 \xA7.txt";
  Stream* out = File::open(Text(dir + "/" + made), File::ACCESS_WRITE, false);
  EXPECT_TRUE(out != nullptr && out->write(Text("one\n")) && File::close(out));
  const Lines names = Names(UT_DIR(Text(dir)));
  ASSERT_EQ(names, Lines{made});
  const Port::FileName listed((dir + "/" + names[0]).c_str());
  EXPECT_EQ(ReadLines(listed.GetFullPath().str()), Lines{"one"});
  EXPECT_TRUE(File::canread(listed.GetAbsolutePath(false)));
  EXPECT_TRUE(File::chdir(Text(dir)) &&
              File::isfile(Port::FileName(made.c_str()).GetAbsolutePath(false)));
}
