#ifndef MINTU_ISSUE_H
#define MINTU_ISSUE_H
// The one way the library issues a message: every issuing statement names
// its file's IssueSource, and MINTU_ISSUE supplies the module and the line.
// Formats are literals at the call site so the compiler checks them; text
// from outside the library only ever travels as the value of "%s".
//
//   namespace { const Mintu::Detail::IssueSource kSource = {"Mintu_Foo", "$Revision: 1.1 $"}; }
//   MINTU_ISSUE(kSource).issueError("Could not open %s\n", name.c_str());

#include "port/Port_Msg.h"

namespace Mintu {
namespace Detail {

/// The module every message of this library carries.
constexpr const char* ISSUE_MODULE = "mintutil";

/// The issuing source file's name (Mintu_<Class>) and revision literal.
struct IssueSource {
  const char* file;
  const char* revision;
};

inline Port_MsgManData& Issue(const IssueSource& source, int line) {
  return Port_MsgManData::createObject(ISSUE_MODULE, source.file, line, source.revision);
}

}  // namespace Detail
}  // namespace Mintu

#define MINTU_ISSUE(source) ::Mintu::Detail::Issue((source), __LINE__)

#endif  // MINTU_ISSUE_H
