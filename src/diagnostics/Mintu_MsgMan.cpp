#include "port/Port_Init.h"

#include "mintu/Mintu_MsgMan.h"

#include <iostream>
#include <list>

namespace Mintu {

namespace {

// The kinds shown on the standard error stream at each level, as calls made
// in this order; kinds a level does not name keep the stream's default.
void ApplyLevel(Port_MsgStream& stream, std::ostream& out, MsgMan::DiagnosticLevel level) {
  switch (level) {
    case MsgMan::DIAGNOSTIC_QUIET:
      stream.disableMsgType(out, PORT_MSG_FATAL);
      stream.disableMsgType(out, PORT_MSG_ERROR);
      stream.disableMsgType(out, PORT_MSG_DEBUG);
      stream.disableMsgType(out, PORT_MSG_WARNING);
      stream.disableMsgType(out, PORT_MSG_STATUS);
      break;
    case MsgMan::DIAGNOSTIC_REDUCED:
      stream.enableMsgType(out, PORT_MSG_FATAL);
      stream.enableMsgType(out, PORT_MSG_ERROR);
      stream.disableMsgType(out, PORT_MSG_DEBUG);
      stream.enableMsgType(out, PORT_MSG_WARNING);
      stream.disableMsgType(out, PORT_MSG_STATUS);
      break;
    case MsgMan::DIAGNOSTIC_FULL:
      stream.enableMsgType(out, PORT_MSG_FATAL);
      stream.enableMsgType(out, PORT_MSG_ERROR);
      stream.enableMsgType(out, PORT_MSG_DEBUG);
      stream.enableMsgType(out, PORT_MSG_WARNING);
      stream.enableMsgType(out, PORT_MSG_STATUS);
      break;
    case MsgMan::DIAGNOSTIC_NORMAL:
    default:
      stream.enableMsgType(out, PORT_MSG_FATAL);
      stream.enableMsgType(out, PORT_MSG_ERROR);
      stream.disableMsgType(out, PORT_MSG_DEBUG);
      stream.enableMsgType(out, PORT_MSG_WARNING);
      stream.enableMsgType(out, PORT_MSG_STATUS);
      stream.enableMsgType(out, PORT_MSG_PROGRESS);
      break;
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
