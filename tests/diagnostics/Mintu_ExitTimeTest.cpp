// The library used from a host's static constructors and destructors and atexit handlers.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "mintu/Mintu_DebugMessengerFactory.h"
#include "mintu/Mintu_MsgMan.h"
#include "mintu/Mintu_Utilities.h"
#include "mintu/Mintu_Version.h"
#include "mintu/Mintu_XmlElement.h"
#include "port/Port_Env.h"

namespace {

using Mintu::DebugMessengerFactory;
using Mintu::StringBase;

// Counts what reaches the dispatcher; never destroyed, like a host's manager that outlives all.
struct Counter : Port_MsgMan {
  void handleMessage(const Port_Message& message) override { ++count, last = message.text.str(); }
  long count = 0;
  std::string last;
};
Counter& messages = *new Counter;

void Expect(bool ok, const char* when, const char* what) {
  if (!ok) std::fprintf(stderr, "%s: %s\n", when, what), std::_Exit(1);
}

void Exercise(const char* when) {
  const Mintu::Version psf("v1_00_a"), copy = psf;
  Expect(psf.GetText() == "1.00.a", when, "a version's text");
  Expect(Mintu::Version("1.0") < psf, when, "the order of versions");
  Expect(copy == psf, when, "a version's copy");
  Mintu::XmlNestedElement root("spirit:component");
  root.elements.AddLeafElement("spirit:model/spirit:name", "fifo");
  Expect(Mintu::XmlNestedElement(root) == root, when, "an XML element's copy");
  Expect(root.ToXml("").str().find("<spirit:name>fifo</spirit:name>") != std::string::npos, when,
         "ToXml of a built element");
  StringBase found;
  Expect(Mintu::Utilities::ExpandEnvironment("a${MINTU_EXIT_TEST}b") == "a-b", when,
         "environment expansion");
  Expect(!Mintu::Utilities::GetFullOrvanePathOf("no/such/file", found), when,
         "an install-tree lookup");
  Mintu::DebugMessenger* logger = DebugMessengerFactory::GetLogger("exit");
  logger->SetLevel(Mintu::DebugMessenger::DEBUG_NORMAL);
  const long before = messages.count;
  logger->Normal("a logger line\n");
  Expect(messages.last == "DEBUG[exit] - a logger line\n", when, "a logger line");
  {
    Mintu::MsgMan shown(Mintu::MsgMan::DIAGNOSTIC_QUIET);
    logger->Normal("a shown line\n");
  }
  bool valid = true;  // a file that cannot be opened: the simplest failure that issues an error
  Mintu::Utilities::ValidateFileChecksum("/no/such/dir/file.txt", valid);
  Expect(!valid, when, "a file that cannot be opened is not valid");
  Expect(messages.count == before + 3, when, "logger lines with a MsgMan and an issued error");
  Expect(messages.last.find("Could not open") == 0, when, "the error of a file not opened");
}

struct Use {
  const char* when;
  ~Use() { Exercise(when); }
};
const Use before{"destructor of a static made before the library's first use"};

const bool madeNow = [] {
  std::unique_ptr<std::vector<StringBase> > names(DebugMessengerFactory::GetActiveLoggers());
  Expect(names->empty(), "static constructor", "a logger listed before any was asked for");
  Port_Env::SetEnv("MINTU_EXIT_TEST", "-");
  Port_MsgDispatcher::addMsgMan(&messages);
  std::atexit([] { Exercise("atexit handler registered before the library's first use"); });
  Exercise("static constructor");
  return true;
}();

}  // namespace

int main() {
  Exercise("main");
  static const Use after{"destructor of a static made after the library's first use"};
  std::atexit([] { Exercise("atexit handler registered after the library's first use"); });
  return madeNow ? 0 : 1;
}
