#include "port/Port_Init.h"
// SetWorkingDirectory: the working-directory scope guard.

#include "mintu/Mintu_SetWorkingDirectory.h"

#include "diagnostics/Mintu_Issue.h"
#include "mintu/Mintu_DebugMessenger.h"
#include "mintu/Mintu_DebugMessengerFactory.h"
#include "mintu/Mintu_Utilities.h"
#include "port/Port_File.h"

namespace {

const Mintu::Detail::IssueSource kSource = {"Mintu_SetWorkingDirectory", "$Revision: 1.6 $"};

Mintu::DebugMessenger* Logger() { return Mintu::DebugMessengerFactory::GetLogger("utilities"); }

// Moves the process into `directory`; false when it does not exist or the
// change fails (a missing name is not even tried).
bool ChangeTo(const Mintu::StringBase& directory) {
  return Port::File::exist(directory) && Port::File::chdir(directory);
}

}  // namespace

namespace Mintu {

SetWorkingDirectory::SetWorkingDirectory(const StringBase& directory)
    : previousDirectory(Utilities::GetAbsoluteDirectory(Port::File::getcwd())),
      targetDirectory(Utilities::GetAbsoluteDirectory(directory)) {
  if (directory.GetLength() == 0) {
    targetDirectory = previousDirectory;
  } else if (!Port::File::exist(directory)) {
    // The directory of a missing name would be its parent: the guard would
    // quietly settle there. Aim at the name itself, so the change fails and
    // the error says what was asked for.
    targetDirectory = Utilities::GetAbsolutePath(directory);
  }
  if (ChangeTo(targetDirectory)) {
    DebugMessenger* logger = Logger();
    if (logger->IsVerbose()) {
      logger->Verbose(
          StringBase::doFormat("Current working directory set to %s\n", targetDirectory.c_str()));
    }
  } else {
    MINTU_ISSUE(kSource).issueError("Unable to set working directory to %s\n",
                                    targetDirectory.c_str());
  }
}

SetWorkingDirectory::~SetWorkingDirectory() {
  try {
    if (ChangeTo(previousDirectory)) {
      DebugMessenger* logger = Logger();
      if (logger->IsVerbose()) {
        logger->Verbose(StringBase::doFormat("Current working directory reverted to %s\n",
                                             previousDirectory.c_str()));
      }
    } else {
      MINTU_ISSUE(kSource).issueError("Unable to revert working directory to %s\n",
                                      previousDirectory.c_str());
    }
  } catch (...) {
    try {
      MINTU_ISSUE(kSource).issueError("Exception while reverting working directory to %s\n",
                                      previousDirectory.c_str());
    } catch (...) {
      // A destructor must not throw, not even when reporting fails.
    }
  }
}

void SetWorkingDirectory::Reconfirm() const {
  const StringBase current = Utilities::GetAbsoluteDirectory(Port::File::getcwd());
  if (current == targetDirectory) return;
  DebugMessenger* logger = Logger();
  if (logger->IsVerbose()) {
    logger->Verbose(
        StringBase::doFormat("Reconfirming current working directory from %s\n", current.c_str()));
  }
  if (!ChangeTo(targetDirectory)) {
    MINTU_ISSUE(kSource).issueError("Unable to reset working directory to %s\n",
                                    targetDirectory.c_str());
  }
}

}  // namespace Mintu
