// The library used the way a host's globals use it: from static
// constructors, from static destructors and from atexit handlers, on both
// sides of the library's own objects (made before and after the library is
// first used, so destroyed after and before whatever the library builds on
// first use). A program of its own, since only a whole process has an exit:
// it exits 0 when every use gave the expected answer, and dies otherwise.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "mintu/Mintu_DebugMessenger.h"
#include "mintu/Mintu_DebugMessengerFactory.h"
#include "mintu/Mintu_MsgMan.h"
#include "mintu/Mintu_Utilities.h"
#include "mintu/Mintu_Version.h"
#include "mintu/Mintu_XmlElement.h"
#include "port/Port_Env.h"
#include "port/Port_Msg.h"

namespace {

using Mintu::StringBase;

// Counts what reaches the dispatcher. Never destroyed, like a host's own
// manager that outlives every caller.
struct Counter : Port_MsgMan {
  void handleMessage(const Port_Message& message) override {
    ++count;
    last = message.text.str();
  }
  long count = 0;
  std::string last;
};
Counter& Messages() {
  static Counter* const counter = new Counter;
  return *counter;
}

void Expect(bool ok, const char* when, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "%s: %s\n", when, what);
  std::fflush(stderr);
  std::_Exit(1);
}

void Exercise(const char* when) {
  const Mintu::Version psf("v1_00_a");
  const Mintu::Version mintaro = psf;
  Expect(psf.GetText() == "1.00.a" && Mintu::Version("1.0") < psf && mintaro == psf, when,
         "versions");

  Mintu::XmlNestedElement root("spirit:component");
  root.elements.AddLeafElement("spirit:model/spirit:name", "fifo");
  const Mintu::XmlNestedElement copy(root);
  Expect(copy == root && !(copy < root) && copy.ToXml("") == root.ToXml("") &&
             root.ToXml("").str().find("<spirit:name>fifo</spirit:name>") != std::string::npos,
         when, "XML build, copy, compare and ToXml");

  Expect(Mintu::Utilities::ExpandEnvironment("a${MINTU_EXIT_TEST}b") == "a-b", when,
         "environment expansion");
  StringBase found;
  Expect(!Mintu::Utilities::GetFullOrvanePathOf("no/such/file", found) &&
             Mintu::Utilities::ExpandEnvironment("${ORVANE}no/such/file").IsEmpty(),
         when, "install-tree lookups");

  Mintu::DebugMessenger* logger = Mintu::DebugMessengerFactory::GetLogger("exit");
  logger->SetLevel(Mintu::DebugMessenger::DEBUG_NORMAL);
  std::unique_ptr<std::vector<StringBase> > names(Mintu::DebugMessengerFactory::GetActiveLoggers());
  Expect(logger == Mintu::DebugMessengerFactory::GetLogger("exit") && !names->empty(), when,
         "logger registry");

  const long before = Messages().count;
  logger->Normal("a logger line\n");
  Expect(Messages().count == before + 1 && Messages().last == "DEBUG[exit] - a logger line\n", when,
         "a logger line without a MsgMan");
  {
    Mintu::MsgMan shown(Mintu::MsgMan::DIAGNOSTIC_QUIET);
    logger->Normal("a shown line\n");
  }
  Expect(Messages().count == before + 2, when, "a logger line with a MsgMan");
  // A file that cannot be opened is the simplest failure that issues an error.
  bool valid = true;
  Mintu::Utilities::ValidateFileChecksum("/no/such/dir/file.txt", valid);
  Expect(!valid && Messages().count == before + 3 && Messages().last.find("Could not open") == 0,
         when, "an issued error");
}

struct Use {
  explicit Use(const char* when_) : when(when_) {}
  ~Use() { Exercise(when); }
  const char* when;
};

// Made before anything in the library was used: destroyed after all that
// the library builds on first use.
const Use before("destructor of a static made before the library's first use");

struct UseNow {
  UseNow() {
    Port_Env::SetEnv("MINTU_EXIT_TEST", "-");
    Port_MsgDispatcher::addMsgMan(&Messages());
    std::atexit([] { Exercise("atexit handler registered before the library's first use"); });
    Exercise("static constructor");
  }
} const useNow;

}  // namespace

int main() {
  Exercise("main");
  static const Use after("destructor of a static made after the library's first use");
  std::atexit([] { Exercise("atexit handler registered after the library's first use"); });
  return 0;
}
