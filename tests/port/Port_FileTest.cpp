#include "port/Port_File.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "port/Port_Dir.h"
#include "support/TempInstallTree.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

using Port::File;
using Port::Stream;
using Text = Port::StringBase<char>;
using Lines = std::vector<std::string>;

Lines ReadLines(const std::string& path) {
  Lines lines;
  Stream* stream = File::open(Text(path), File::ACCESS_READ, false);
  for (Text line; stream != nullptr && !stream->geteof(); lines.push_back(line.str())) {
    EXPECT_GT(stream->readline(line), 0);
  }
  EXPECT_TRUE(File::close(stream));
  return lines;
}

std::string Names(const UT_DIR& dir) {
  std::string names;
  for (const std::string& name : dir) names += std::string(names.empty() ? "" : " ") + name;
  return names;
}

TEST(Port_FileTest, ReadsLinesWithoutTheirLineFeedAndBlocksInTurnWithThem) {
  MintuTest::TempInstallTree tree;
  // Numbered lines over many reading chunks: lines and chunks end at every offset of each other.
  std::string numbered;
  Lines numbers;
  for (long long i = 10000000000000LL; numbered.size() < (4u << 20); ++i) {
    numbers.push_back(std::to_string(i));
    numbered += numbers.back() + "\n";
  }
  const std::string big(1 << 20, 'x');
  const std::pair<std::string, Lines> cases[] = {
      {"", {}},
      {"\n", {""}},
      {"a\r\n\nb", {"a\r", "", "b"}},  // only the line feed goes
      {std::string("n\0l\n", 4), {std::string("n\0l", 3)}},
      {"a\n" + big + "\nb", {"a", big, "b"}},
      {numbered, numbers}};
  for (const auto& [content, lines] : cases) {
    EXPECT_TRUE(ReadLines(tree.WriteFile("f.txt", content)) == lines) << lines.size();
  }
  std::string tail;  // every byte value, past the first reading chunk
  for (int i = 0; i < 200000; ++i) tail += static_cast<char>((i * 7 + i / 256) % 256);
  const std::string path = tree.WriteFile("f.bin", "first\nsecond\nthird\n" + tail);
  Stream* stream = File::open(Text(path), File::ACCESS_READ, false);
  ASSERT_NE(stream, nullptr);
  Text line;
  char block[8] = {};
  EXPECT_EQ(stream->read(block, 0) + stream->read(nullptr, 8), 0u);
  EXPECT_EQ(stream->readline(line), 6);
  ASSERT_EQ(stream->read(block, 3), 3u);  // from what readline buffered
  EXPECT_EQ(stream->readline(line), 4);
  EXPECT_EQ(line.str() + std::string(block, 3), "ondsec");
  EXPECT_FALSE(stream->geteof());
  ASSERT_EQ(stream->read(block, 6), 6u);
  EXPECT_EQ(std::string(block, 6), "third\n");
  // Past what was buffered the rest comes from the file itself; only the end gives a short block.
  std::string rest(tail.size() + 10, '\0');
  ASSERT_EQ(stream->read(&rest[0], 100) + stream->read(&rest[100], rest.size() - 100), tail.size());
  EXPECT_TRUE(rest.substr(0, tail.size()) == tail);
  EXPECT_TRUE(stream->geteof());
  EXPECT_EQ(stream->read(block, 8), 0u);
  EXPECT_EQ(stream->readline(line), 0);
  EXPECT_TRUE(File::close(stream));
}

// Writes `text` through a stream opened with `access`.
void WriteThrough(const std::string& path, int access, const std::string& text) {
  Stream* stream = File::open(Text(path), access, false);
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(stream->write(Text(text)));
  EXPECT_TRUE(File::close(stream));
}

TEST(Port_FileTest, TellsFilesFromDirectoriesOpensOnlyFilesAndReportsLostData) {
  MintuTest::TempInstallTree tree;
  const Text file(tree.WriteFile("f.txt", "old\n")), dir(tree.base());
  EXPECT_TRUE(File::isfile(file));
  EXPECT_TRUE(File::canread(file));
  EXPECT_TRUE(File::isdir(dir));
  EXPECT_FALSE(File::isfile(dir));
  EXPECT_FALSE(File::canread(dir));
  EXPECT_FALSE(File::isdir(file));
  EXPECT_FALSE(File::exist(Text("")));
  EXPECT_FALSE(File::exist(tree.Path("none")));
  EXPECT_EQ(File::open(dir, File::ACCESS_READ, false), nullptr);
  EXPECT_EQ(File::open(file, 0, false), nullptr);  // no access asked for
  EXPECT_FALSE(File::close(nullptr));
  WriteThrough(file.str(), File::ACCESS_WRITE, "one\n");
  WriteThrough(file.str(), File::ACCESS_APPEND, "two\n");
  EXPECT_EQ(MintuTest::TempInstallTree::ReadFile(file.str()), "one\ntwo\n");
  if (!File::exist(Text("/dev/full"))) GTEST_SKIP() << "no /dev/full here";
  Stream* full = File::open(Text("/dev/full"), File::ACCESS_WRITE, false);
  ASSERT_NE(full, nullptr);
  // Buffered, the write succeeds; the failure shows when flushed, and is never reported as stored.
  EXPECT_TRUE(full->write("lost\n", 5));
  EXPECT_FALSE(File::close(full));
}

TEST(Port_FileTest, DirectoriesListAndChange) {
  MintuTest::TempInstallTree tree;
  // Listed names must open again, whatever their bytes beyond ASCII (on Windows they pass
  // through the code page both ways).
  tree.WriteFile("d/A.txt", "");
  const std::string odd = "caf\xE9 \xA7.txt", file = tree.Path("d") + "/" + odd;
  WriteThrough(file, File::ACCESS_WRITE, "one\n");
  const std::string sub = tree.MakeDir("d/a");
  EXPECT_EQ(Names(UT_DIR(Text(tree.Path("d")))), "A.txt a " + odd);  // sorted
  EXPECT_EQ(Names(UT_DIR(Text(tree.Path("d")), UT_DIR::DIRECTORIES_ONLY)) + Names(UT_DIR(file)),
            "a");
  EXPECT_FALSE(File::chdir(Text(tree.Path("none"))));
  EXPECT_FALSE(File::chdir(Text("")));
  EXPECT_TRUE(File::chdir(Text(sub + "/")));
  EXPECT_EQ(File::getcwd(), Text(sub));
  EXPECT_EQ(ReadLines(Port::FileName(("../" + odd).c_str()).GetAbsolutePath(false).str()),
            Lines{"one"});
  EXPECT_TRUE(File::chdir(Text("/")));
  const std::string root = File::getcwd().str();  // on Windows the current drive's
  EXPECT_EQ(root.substr(root.size() == 1 ? 0 : 1), root.size() == 1 ? "/" : ":\\");
}
