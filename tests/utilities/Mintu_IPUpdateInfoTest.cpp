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
  MintuTest::TempInstallTree tree;
};

TEST_F(IPUpdateInfoTest, ReadsTheFirstTaggedLine) {
  const struct {
    const char* name;
    std::string log;
    unsigned int code;
    const char* level;  // null: the argument stays untouched
  } cases[] = {
      {"tag alone", "cores_level=12\n", IPUpdateInfo::LEVEL_READ, "Cores Update # 12"},
      {"tag on the last line", "updated\nby tool\ncores_level=5", IPUpdateInfo::LEVEL_READ,
       "Cores Update # 5"},
      {"tag twice", "cores_level=3\ncores_level=4\n", IPUpdateInfo::LEVEL_READ, "Cores Update # 3"},
      {"blanks around the level", "date 2010\nlevel cores_level= 7 \n", IPUpdateInfo::LEVEL_READ,
       "Cores Update #  7 "},
      {"nothing after the tag", "cores_level=\n", IPUpdateInfo::LEVEL_READ, "Cores Update # "},
      {"tag mid-line", "x=1 cores_level=2 y=3\n", IPUpdateInfo::LEVEL_READ, "Cores Update # 2 y=3"},
      {"no tag", "cores level=1\nCORES_LEVEL=2\n", IPUpdateInfo::LEVEL_MISSING, nullptr},
      {"empty log", "", IPUpdateInfo::LEVEL_MISSING, nullptr},
      {"binary", std::string("\0\xff\x01\ncores_level=\x02\0", 18), IPUpdateInfo::LEVEL_READ,
       nullptr},
      {"long line", std::string(1 << 20, 'z') + "cores_level=9", IPUpdateInfo::LEVEL_READ,
       "Cores Update # 9"},
  };
  tree.SetRoots({"root"});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    tree.WriteFile("root/IPupdate.log", c.log);
    StringBase level("untouched");
    EXPECT_EQ(c.code, IPUpdateInfo::GetCoresLevel(level));
    if (c.level != nullptr) {
      EXPECT_EQ(c.level, level.str());
    } else if (c.code != IPUpdateInfo::LEVEL_READ) {
      EXPECT_EQ("untouched", level.str());
    }
  }
  StringBase level;
  tree.WriteFile("root/IPupdate.log", std::string("cores_level=\x02\0x", 15));
  EXPECT_EQ(IPUpdateInfo::LEVEL_READ, IPUpdateInfo::GetCoresLevel(level));
  EXPECT_EQ(std::string("Cores Update # \x02\0x", 18), level.str());
  EXPECT_TRUE(issued.messages().empty());
  EXPECT_EQ(0, Port::File::openStreamCount());
}

TEST_F(IPUpdateInfoTest, TheFirstRootWithAReadableLogCounts) {
  tree.WriteFile("root2/IPupdate.log", "cores_level=2\n");
  tree.WriteFile("root3/IPupdate.log", "cores_level=3\n");
  tree.MakeDir("root1/IPupdate.log");  // a directory is not a readable log
  tree.SetRoots({"absent", "root1", "root2", "root3"});
  StringBase level;
  EXPECT_EQ(IPUpdateInfo::LEVEL_READ, IPUpdateInfo::GetCoresLevel(level));
  EXPECT_EQ("Cores Update # 2", level.str());

  // A readable log without the tag still ends the search.
  tree.WriteFile("root2/IPupdate.log", "no level here\n");
  level = "untouched";
  EXPECT_EQ(IPUpdateInfo::LEVEL_MISSING, IPUpdateInfo::GetCoresLevel(level));
  EXPECT_EQ("untouched", level.str());
  EXPECT_TRUE(issued.messages().empty());
}

TEST_F(IPUpdateInfoTest, NoLogAnywhere) {
  tree.MakeDir("root1");
  for (const auto& roots : {std::vector<std::string>{}, std::vector<std::string>{"root1", "x"}}) {
    tree.SetRoots(roots);
    StringBase level("untouched");
    EXPECT_EQ(IPUpdateInfo::LOG_MISSING, IPUpdateInfo::GetCoresLevel(level));
    EXPECT_EQ("untouched", level.str());
  }
  EXPECT_TRUE(issued.messages().empty());
}

}  // namespace
