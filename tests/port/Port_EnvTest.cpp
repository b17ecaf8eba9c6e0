#include "port/Port_Env.h"

#include <gtest/gtest.h>

#include "port/Port_OrvanePath.h"
#include "port/Port_Version.h"
#include "support/TempInstallTree.h"

using Text = Port::StringBase<char>;

TEST(Port_EnvTest, VariablesOfValidNamesAndTheInstallRootsTheyGive) {
  MintuTest::TempInstallTree tree;
  tree.SetEnv("Q", nullptr);  // restored afterwards; a one-letter name is valid
  EXPECT_TRUE(Port_Env::SetEnv("Q", "a b=c"));
  EXPECT_STREQ(Port_Env::GetEnv("Q"), "a b=c");
  EXPECT_TRUE(Port_Env::SetEnv("Q", nullptr));  // null unsets
  EXPECT_EQ(Port_Env::GetEnv("Q"), nullptr);
  EXPECT_TRUE(Port_Env::SetEnv("Q", "x"));
  EXPECT_TRUE(Port_Env::UnsetEnv("Q"));
  EXPECT_EQ(Port_Env::GetEnv("Q"), nullptr);
  for (const char* bad : {static_cast<const char*>(nullptr), "", "A=B", "="}) {
    SCOPED_TRACE(bad == nullptr ? "null" : bad);
    EXPECT_EQ(Port_Env::GetEnv(bad), nullptr);
    EXPECT_FALSE(Port_Env::SetEnv(bad, "x"));
    EXPECT_FALSE(Port_Env::UnsetEnv(bad));
  }
  const std::string sep(1, Port_Env::GetPathListSeparator());
  tree.SetEnv("ORVANE", (sep + tree.Path("r1") + sep + sep + tree.Path("r2") + sep).c_str());
  Port::PathList& roots = Port::OrvanePath::GetInstance();
  roots.Reload();
  EXPECT_EQ(roots.roots(), (std::vector<Text>{tree.Path("r1"), tree.Path("r2")}));
}

TEST(Port_EnvTest, SplitsReleaseNumbers) {
  // The three parts of a release, or "rejected" with the parts untouched.
  const char* const cases[][2] = {
      {"14.2", "14|2|"}, {"14.2.1.7", "14|2|1.7"}, {".5", "|5|"},
      {"x.", "x||"},     {"14", "rejected M|m|r"}, {"", "rejected M|m|r"}};
  for (const auto& c : cases) {
    Text major("M"), minor("m"), rest("r");
    const bool ok = Port::Version::splitVersion(c[0], major, minor, rest);
    EXPECT_EQ((ok ? "" : "rejected ") + major.str() + "|" + minor.str() + "|" + rest.str(), c[1]);
  }
}
