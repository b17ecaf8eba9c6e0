// SetWorkingDirectory: the guard moves the process into a directory and back,
// against real directories that appear, move and disappear.

#include "mintu/Mintu_SetWorkingDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "port/Port_File.h"
#include "port/Port_FileName.h"
#include "support/IssuedMessages.h"
#include "support/LoggerLevel.h"
#include "support/TempInstallTree.h"

using Mintu::DebugMessenger;
using Mintu::SetWorkingDirectory;
using Texts = std::vector<std::string>;

namespace {

class SetWorkingDirectoryTest : public MintuTest::IssuedMessages {
 protected:
  void SetUp() override { ASSERT_TRUE(Port::File::chdir(tree.base())); }

  Texts Errors() const { return issued.Texts(PORT_MSG_ERROR, "Mintu_SetWorkingDirectory"); }
  Texts Traces() const { return issued.Texts(PORT_MSG_STATUS); }
  // The absolute directory form of a tree path, as the guard records it.
  std::string Dir(const std::string& relative) const {
    return (relative.empty() ? tree.base() : tree.Path(relative)) +
           Port::FileName::GetPathSeparator();
  }
  std::string Trace(const std::string& what, const std::string& relative) const {
    return "DEBUG[utilities] - Current working directory " + what + " " + Dir(relative) + "\n";
  }
  static std::string Cwd() { return Port::File::getcwd().str(); }

  MintuTest::TempInstallTree tree;
  MintuTest::LoggerLevel verbose{"utilities", DebugMessenger::DEBUG_VERBOSE};
};

TEST_F(SetWorkingDirectoryTest, ChangesForTheScopeAndBack) {
  tree.MakeDir("core/work");
  tree.WriteFile("core/core.mpd", "x");
  const struct {
    const char* target;
    const char* into;  // relative to the tree
  } cases[] = {
      {"core/work", "core/work"}, {"", ""}, {"core/core.mpd", "core"}};  // a file: its directory
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    issued.Clear();
    {
      SetWorkingDirectory guard(c.target);
      EXPECT_EQ(Dir(c.into), Cwd() + Port::FileName::GetPathSeparator());
      EXPECT_EQ(Dir(""), guard.GetPreviousDirectory().str());
      EXPECT_EQ(Dir(c.into), guard.GetTargetDirectory().str());
      guard.Reconfirm();  // already there: nothing to say
    }
    EXPECT_EQ(tree.base(), Cwd());
    EXPECT_EQ((Texts{Trace("set to", c.into), Trace("reverted to", "")}), Traces());
    EXPECT_TRUE(Errors().empty());
  }
}

TEST_F(SetWorkingDirectoryTest, MissingDirectoryIsReportedAndNothingChanges) {
  {
    SetWorkingDirectory guard("no/such/dir");
    EXPECT_EQ(tree.base(), Cwd());
    EXPECT_EQ(Texts{"Unable to set working directory to " + tree.Path("no/such/dir") + "\n"},
              Errors());
    EXPECT_TRUE(Traces().empty());
  }
  EXPECT_EQ(Texts{Trace("reverted to", "")}, Traces());
  EXPECT_EQ(1u, Errors().size());
}

TEST_F(SetWorkingDirectoryTest, ReconfirmReturnsAfterAMove) {
  tree.MakeDir("a");
  tree.MakeDir("b");
  {
    SetWorkingDirectory guard(tree.Path("a"));
    ASSERT_TRUE(Port::File::chdir(tree.Path("b")));
    issued.Clear();
    guard.Reconfirm();
    EXPECT_EQ(tree.Path("a"), Cwd());
    EXPECT_EQ(
        Texts{"DEBUG[utilities] - Reconfirming current working directory from " + Dir("b") + "\n"},
        Traces());

    // The guarded directory itself gone: reported, not thrown.
    ASSERT_TRUE(Port::File::chdir(tree.Path("b")));
    std::filesystem::remove(tree.Path("a"));
    issued.Clear();
    guard.Reconfirm();
    EXPECT_EQ(tree.Path("b"), Cwd());
    EXPECT_EQ(Texts{"Unable to reset working directory to " + Dir("a") + "\n"}, Errors());
  }
  EXPECT_EQ(tree.base(), Cwd());
}

TEST_F(SetWorkingDirectoryTest, PreviousDirectoryRemovedBeforeTheEnd) {
  tree.MakeDir("gone");
  tree.MakeDir("target");
  ASSERT_TRUE(Port::File::chdir(tree.Path("gone")));
  {
    SetWorkingDirectory guard(tree.Path("target"));
    std::filesystem::remove(tree.Path("gone"));
    issued.Clear();
  }  // must not throw
  EXPECT_EQ(tree.Path("target"), Cwd());
  EXPECT_EQ(Texts{"Unable to revert working directory to " + Dir("gone") + "\n"}, Errors());
  EXPECT_TRUE(Traces().empty());
}

TEST_F(SetWorkingDirectoryTest, UnreadableCurrentDirectoryReachesTheCaller) {
  ASSERT_TRUE(Port::File::chdir(tree.MakeDir("removed")));
  std::error_code error;
  if (!std::filesystem::remove(tree.Path("removed"), error)) {
    GTEST_SKIP() << "the current directory cannot be removed here: " << error.message();
  }
  EXPECT_THROW(SetWorkingDirectory guard(tree.base()), std::exception);
  EXPECT_TRUE(issued.messages().empty());
}

TEST_F(SetWorkingDirectoryTest, NestedGuardsUnwindInOrderAndErrorsIgnoreTheLoggers) {
  tree.MakeDir("outer/inner");
  MintuTest::LoggerLevel off("utilities", DebugMessenger::DEBUG_OFF);
  {
    SetWorkingDirectory outer("outer");
    {
      SetWorkingDirectory inner("inner");
      EXPECT_EQ(tree.Path("outer/inner"), Cwd());
      SetWorkingDirectory missing("missing");
    }
    EXPECT_EQ(tree.Path("outer"), Cwd());
  }
  EXPECT_EQ(tree.base(), Cwd());
  EXPECT_TRUE(Traces().empty());
  EXPECT_EQ(1u, Errors().size());
}

}  // namespace
