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
#include "support/TempInstallTree.h"
#include "utilities/UtilitiesTestSupport.h"

using Mintu::DebugMessenger;
using Mintu::SetWorkingDirectory;
using MintuTest::UtilitiesTrace;

namespace {

class SetWorkingDirectoryTest : public MintuTest::IssuedMessages {
 protected:
  void SetUp() override { ASSERT_TRUE(Port::File::chdir(tree.base())); }

  std::vector<std::string> Errors() const {
    return MintuTest::TextsFrom(issued, PORT_MSG_ERROR, "Mintu_SetWorkingDirectory");
  }
  std::vector<std::string> Traces() const { return issued.Texts(PORT_MSG_STATUS); }
  // The absolute directory form of a tree path, as the guard records it.
  std::string Dir(const std::string& relative) const {
    return (relative.empty() ? tree.base() : tree.Path(relative)) +
           Port::FileName::GetPathSeparator();
  }
  static std::string Cwd() { return Port::File::getcwd().str(); }

  MintuTest::TempInstallTree tree;
  MintuTest::UtilitiesLoggerLevel verbose{DebugMessenger::DEBUG_VERBOSE};
};

TEST_F(SetWorkingDirectoryTest, ChangesForTheScopeAndBack) {
  tree.MakeDir("core/work");
  {
    SetWorkingDirectory guard("core/work");
    EXPECT_EQ(tree.Path("core/work"), Cwd());
    EXPECT_EQ(Dir(""), guard.GetPreviousDirectory().str());
    EXPECT_EQ(Dir("core/work"), guard.GetTargetDirectory().str());
    guard.Reconfirm();  // already there: nothing to say
    EXPECT_EQ(std::vector<std::string>{UtilitiesTrace("Current working directory set to " +
                                                      Dir("core/work") + "\n")},
              Traces());
  }
  EXPECT_EQ(tree.base(), Cwd());
  EXPECT_EQ(UtilitiesTrace("Current working directory reverted to " + Dir("") + "\n"),
            Traces().back());
  EXPECT_EQ(2u, Traces().size());
  EXPECT_TRUE(Errors().empty());
}

TEST_F(SetWorkingDirectoryTest, EmptyTextStaysInTheCurrentDirectory) {
  {
    SetWorkingDirectory guard("");
    EXPECT_EQ(Dir(""), guard.GetTargetDirectory().str());
    EXPECT_EQ(tree.base(), Cwd());
  }
  EXPECT_EQ((std::vector<std::string>{
                UtilitiesTrace("Current working directory set to " + Dir("") + "\n"),
                UtilitiesTrace("Current working directory reverted to " + Dir("") + "\n")}),
            Traces());
  EXPECT_TRUE(Errors().empty());
}

TEST_F(SetWorkingDirectoryTest, MissingDirectoryIsReportedAndNothingChanges) {
  {
    SetWorkingDirectory guard("no/such/dir");
    EXPECT_EQ(tree.base(), Cwd());
    EXPECT_EQ(std::vector<std::string>{"Unable to set working directory to " +
                                       tree.Path("no/such/dir") + "\n"},
              Errors());
    EXPECT_TRUE(Traces().empty());
  }
  EXPECT_EQ(std::vector<std::string>{UtilitiesTrace("Current working directory reverted to " +
                                                    Dir("") + "\n")},
            Traces());
  EXPECT_EQ(1u, Errors().size());
}

TEST_F(SetWorkingDirectoryTest, AFileMeansItsDirectory) {
  tree.WriteFile("core/core.mpd", "x");
  {
    SetWorkingDirectory guard("core/core.mpd");
    EXPECT_EQ(tree.Path("core"), Cwd());
  }
  EXPECT_EQ(tree.base(), Cwd());
  EXPECT_TRUE(Errors().empty());
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
    EXPECT_EQ(std::vector<std::string>{UtilitiesTrace(
                  "Reconfirming current working directory from " + Dir("b") + "\n")},
              Traces());

    // The guarded directory itself gone: reported, not thrown.
    ASSERT_TRUE(Port::File::chdir(tree.Path("b")));
    std::filesystem::remove(tree.Path("a"));
    issued.Clear();
    guard.Reconfirm();
    EXPECT_EQ(tree.Path("b"), Cwd());
    EXPECT_EQ(std::vector<std::string>{"Unable to reset working directory to " + Dir("a") + "\n"},
              Errors());
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
  EXPECT_EQ(std::vector<std::string>{"Unable to revert working directory to " + Dir("gone") + "\n"},
            Errors());
  EXPECT_TRUE(Traces().empty());
}

TEST_F(SetWorkingDirectoryTest, NestedGuardsUnwindInOrderAndErrorsIgnoreTheLoggers) {
  tree.MakeDir("outer/inner");
  MintuTest::UtilitiesLoggerLevel off(DebugMessenger::DEBUG_OFF);
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
