// SafeFile on real files in a temporary folder: a file that changes kind after it was examined,
// and descriptor 0 (standard input closed) as the file read or written.
#include "port/Port_SafeFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempInstallTree.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Port::SafeFile;

// Standard input closed for the scope, then put back.
struct StdinClosed {
  const int saved = ::dup(0);
  StdinClosed() { ::close(0); }
  ~StdinClosed() {
    ::close(0);  // whatever the test left there
    if (saved >= 0 && ::dup2(saved, 0) == 0) ::close(saved);
  }
};

// Made a FIFO after it was examined: refused once open, before a read could wait for a writer.
TEST(Port_SafeFileTest, ReaderRefusesWhatTheOpenedFileIsNow) {
  const MintuTest::TempInstallTree tree;
  const std::string path = tree.WriteFile("f", "regular");
  SafeFile::Target target;
  ASSERT_EQ(SafeFile::inspect(path, target), 0);
  ASSERT_EQ(::unlink(path.c_str()), 0);
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  SafeFile::Reader reader;
  EXPECT_EQ(reader.open(target), SafeFile::FIFO);
}

// Descriptor 0 is an ordinary one: a reader and a temporary file may get it, and
// must let it go; held by another file, it is not theirs to close.
TEST(Port_SafeFileTest, DescriptorZeroIsAnOrdinaryOne) {
  const MintuTest::TempInstallTree tree;
  const std::string path = tree.WriteFile("d/f", "old");
  const StdinClosed closed;
  SafeFile::Target target;
  ASSERT_EQ(SafeFile::inspect(path, target), 0);
  {
    SafeFile::Reader reader;
    EXPECT_EQ(reader.open(target), 0);
  }
  EXPECT_EQ(::fcntl(0, F_GETFD), -1) << "the reader kept descriptor 0";
  EXPECT_EQ(SafeFile::write(path, "new", 3), 0);
  EXPECT_EQ(tree.ReadFile(path), "new");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree.Path("d")), {}), 1);
  ASSERT_EQ(::open(path.c_str(), O_RDONLY), 0);
  EXPECT_EQ(SafeFile::write(path, "newer", 5), 0);
  EXPECT_NE(::fcntl(0, F_GETFD), -1) << "the replacement closed descriptor 0";
}

}  // namespace
#endif
