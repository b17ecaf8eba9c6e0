// IPUpdateInfo: the cores update level read from real update logs in
// temporary install roots.

#include "mintu/Mintu_IPUpdateInfo.h"

#include <gtest/gtest.h>

#include <string>

#include "port/Port_File.h"
#include "support/IssuedMessages.h"
#include "support/TempInstallTree.h"

using Mintu::IPUpdateInfo;
using Mintu::StringBase;

namespace {

class IPUpdateInfoTest : public MintuTest::IssuedMessages {
 protected:
  // GetCoresLevel's code; `level` is what it left in a "untouched" string.
  unsigned int Level(std::string& level) {
    StringBase text("untouched");
    const unsigned int code = IPUpdateInfo::GetCoresLevel(text);
    level = text.str();
    return code;
  }
  MintuTest::TempInstallTree tree;
};

TEST_F(IPUpdateInfoTest, ReadsTheFirstTaggedLine) {
  const unsigned int READ = IPUpdateInfo::LEVEL_READ, MISSING = IPUpdateInfo::LEVEL_MISSING;
  const struct {
    const char* name;
    std::string log;
    unsigned int code;
    std::string level;
  } cases[] = {
      {"tag alone", "cores_level=12\n", READ, "Cores Update # 12"},
      {"tag on the last line", "updated\nby tool\ncores_level=5", READ, "Cores Update # 5"},
      {"windows line ends", "updated\r\ncores_level=12\r\n", READ, "Cores Update # 12"},
      {"tag twice", "cores_level=3\ncores_level=4\n", READ, "Cores Update # 3"},
      {"blanks around", "date 2010\nlevel cores_level= 7 \n", READ, "Cores Update #  7 "},
      {"nothing after the tag", "cores_level=\n", READ, "Cores Update # "},
      {"tag mid-line", "x=1 cores_level=2 y=3\n", READ, "Cores Update # 2 y=3"},
      {"no tag", "cores level=1\nCORES_LEVEL=2\n", MISSING, "untouched"},
      {"empty log", "", MISSING, "untouched"},
      {"binary", std::string("\0\xff\x01\n", 4) + "cores_level=" + std::string("\x02\0x", 3), READ,
       "Cores Update # " + std::string("\x02\0x", 3)},
      {"long line", std::string(1 << 20, 'z') + "cores_level=9", READ, "Cores Update # 9"},
  };
  tree.SetRoots({"root"});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    tree.WriteFile("root/IPupdate.log", c.log);
    std::string level;
    EXPECT_EQ(c.code, Level(level));
    EXPECT_EQ(c.level, level);
  }
  EXPECT_TRUE(issued.messages().empty());
  EXPECT_EQ(0, Port::File::openStreamCount());
}

TEST_F(IPUpdateInfoTest, TheFirstRootWithAReadableLogCounts) {
  tree.WriteFile("root2/IPupdate.log", "cores_level=2\n");
  tree.WriteFile("root3/IPupdate.log", "cores_level=3\n");
  tree.MakeDir("root1/IPupdate.log");  // a directory is not a readable log
  tree.SetRoots({"absent", "root1", "root2", "root3"});
  std::string level;
  EXPECT_EQ(IPUpdateInfo::LEVEL_READ, Level(level));
  EXPECT_EQ("Cores Update # 2", level);
  // A readable log without the tag still ends the search.
  tree.WriteFile("root2/IPupdate.log", "no level here\n");
  EXPECT_EQ(IPUpdateInfo::LEVEL_MISSING, Level(level));
  EXPECT_EQ("untouched", level);
  // No log anywhere, or no roots at all.
  for (const auto& roots : {std::vector<std::string>{}, std::vector<std::string>{"root1", "x"}}) {
    tree.SetRoots(roots);
    EXPECT_EQ(IPUpdateInfo::LOG_MISSING, Level(level));
    EXPECT_EQ("untouched", level);
  }
  EXPECT_TRUE(issued.messages().empty());
}

}  // namespace
