#include "port/Port_Init.h"

#include "mintu/Mintu_MsgMan.h"

#include <iostream>
#include <list>

namespace Mintu {

namespace {

// The kinds shown on the standard error stream at each level, as calls made
// in this order; kinds a level does not name keep the stream's default.
void ApplyLevel(Port_MsgStream& stream, std::ostream& out, MsgMan::DiagnosticLevel level) {
  // What each level does to each kind: '+' shown, '-' hidden, ' ' left as it
  // is (only the normal level touches progress lines).
  static const Port_MsgType kinds[] = {PORT_MSG_FATAL,   PORT_MSG_ERROR,  PORT_MSG_DEBUG,
                                       PORT_MSG_WARNING, PORT_MSG_STATUS, PORT_MSG_PROGRESS};
  const char* shown = "++-+++";  // DIAGNOSTIC_NORMAL and anything unknown
  switch (level) {
    case MsgMan::DIAGNOSTIC_QUIET:
      shown = "----- ";
      break;
    case MsgMan::DIAGNOSTIC_REDUCED:
      shown = "++-+- ";
      break;
    case MsgMan::DIAGNOSTIC_FULL:
      shown = "+++++ ";
      break;
    default:
      break;
  }
  for (std::size_t i = 0; i < sizeof kinds / sizeof kinds[0]; ++i) {
    if (shown[i] == '+') {
      stream.enableMsgType(out, kinds[i]);
    } else if (shown[i] == '-') {
      stream.disableMsgType(out, kinds[i]);
    }
  }
}

}  // namespace

MsgMan::MsgMan() : MsgMan(DIAGNOSTIC_NORMAL) {}

MsgMan::MsgMan(const DiagnosticLevel& diagnosticLevel) : stream(nullptr), level(diagnosticLevel) {
  stream.addStream(std::cerr);
  ApplyLevel(stream, std::cerr, level);
  const std::list<Port_MsgMan*> others = Port_MsgDispatcher::getAllMsgMans();
  for (Port_MsgMan* other : others) other->deactivate();
  Port_MsgDispatcher::addMsgMan(&stream);
}

MsgMan::~MsgMan() {
  Port_MsgDispatcher::removeMsgMan(&stream);
  const std::list<Port_MsgMan*> remaining = Port_MsgDispatcher::getAllMsgMans();
  for (Port_MsgMan* other : remaining) other->activate();
}

void MsgMan::addMsgStream(std::ostream& out) { stream.addStream(out); }

void MsgMan::addMsgStream(Port::Stream& out) { stream.addStream(out); }

void MsgMan::removeMsgStream(std::ostream& out) { stream.removeStream(out); }

void MsgMan::removeMsgStream(Port::Stream& out) { stream.removeStream(out); }

}  // namespace Mintu
