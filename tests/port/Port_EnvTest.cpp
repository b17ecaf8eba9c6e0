#include "port/Port_Env.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "port/Port_OrvanePath.h"
#include "port/Port_Version.h"
#include "support/TempInstallTree.h"

namespace {

using Text = Port::StringBase<char>;

std::vector<Text> Roots(const Port::PathList& list) {
  std::vector<Text> roots;
  for (const Text& root : list) roots.push_back(root);
  return roots;
}

TEST(Port_EnvTest, SetsReadsAndUnsetsVariables) {
  MintuTest::TempInstallTree tree;
  for (const char* name : {"PORT_ENV_TEST", "Q"}) {
    SCOPED_TRACE(name);
    tree.SetEnv(name, nullptr);  // restored afterwards
    EXPECT_EQ(Port_Env::GetEnv(name), nullptr);
    EXPECT_TRUE(Port_Env::SetEnv(name, "a b=c"));
    EXPECT_STREQ(Port_Env::GetEnv(name), "a b=c");
    EXPECT_TRUE(Port_Env::SetEnv(name, nullptr));  // null unsets
    EXPECT_EQ(Port_Env::GetEnv(name), nullptr);
    EXPECT_TRUE(Port_Env::SetEnv(name, "x"));
    EXPECT_TRUE(Port_Env::UnsetEnv(name));
    EXPECT_EQ(Port_Env::GetEnv(name), nullptr);
  }
  for (const char* bad : {static_cast<const char*>(nullptr), "", "A=B", "="}) {
    SCOPED_TRACE(bad == nullptr ? "null" : bad);
    EXPECT_EQ(Port_Env::GetEnv(bad), nullptr);
    EXPECT_FALSE(Port_Env::SetEnv(bad, "x"));
    EXPECT_FALSE(Port_Env::UnsetEnv(bad));
  }
}

TEST(Port_EnvTest, InstallRootsComeFromOrvane) {
  MintuTest::TempInstallTree tree;
  const char sep = Port_Env::GetPathListSeparator();
  const std::string text = sep + tree.Path("r1") + sep + sep + tree.Path("r2") + sep;
  tree.SetEnv("ORVANE", text.c_str());
  Port::PathList& roots = Port::OrvanePath::GetInstance();
  roots.Reload();
  EXPECT_EQ(Roots(roots), (std::vector<Text>{tree.Path("r1"), tree.Path("r2")}));
  EXPECT_EQ(&roots, &Port::OrvanePath::GetInstance());

  roots.SetFromText(Text("one"));
  roots.Append("two");
  EXPECT_EQ(roots.roots(), (std::vector<Text>{"one", "two"}));
  tree.SetEnv("ORVANE", nullptr);
  roots.Reload();
  EXPECT_TRUE(roots.empty());
}

TEST(Port_EnvTest, InstallationValuesCanBeSetAndReset) {
  MintuTest::TempInstallTree tree;  // puts the values back afterwards
  const Text version = Port::Version::getValue("version");
  EXPECT_EQ(version, Text(Port::Version::DEFAULT_RELEASE));
  EXPECT_TRUE(Port::Version::getValue("Version").IsEmpty());  // names are exact
  Port::Version::setValue("version", "15.1");
  Port::Version::setValue("extra", "e");
  EXPECT_EQ(Port::Version::getValue("version"), Text("15.1"));
  EXPECT_EQ(Port::Version::getValue("extra"), Text("e"));
  Port::Version::resetValues();
  EXPECT_EQ(Port::Version::getValue("version"), version);
  EXPECT_TRUE(Port::Version::getValue("extra").IsEmpty());
}

TEST(Port_EnvTest, SplitsReleaseNumbers) {
  const struct {
    const char* text;
    bool ok;
    const char* major;
    const char* minor;
    const char* rest;
  } cases[] = {
      {"14.2", true, "14", "2", ""},
      {"14.2.1_p3", true, "14", "2", "1_p3"},
      {"14.2.1.7", true, "14", "2", "1.7"},
      {".5", true, "", "5", ""},
      {"x.", true, "x", "", ""},
      {"14", false, "M", "m", "r"},
      {"", false, "M", "m", "r"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Text major("M"), minor("m"), rest("r");
    EXPECT_EQ(Port::Version::splitVersion(c.text, major, minor, rest), c.ok);
    EXPECT_EQ(major, Text(c.major));
    EXPECT_EQ(minor, Text(c.minor));
    EXPECT_EQ(rest, Text(c.rest));
  }
}

}  // namespace
