#include "port/Port_Init.h"

#include <atomic>

#include "port/Port_File.h"
#include "port/Port_Msg.h"
#include "port/Port_OrvanePath.h"

namespace {

// Live initialisers per kind. The parts they bring up are function-local
// statics (made on first use, the heap ones never destroyed), so a counter
// is all that is needed to know the layer is loaded.
enum Kind {
  KIND_FILE,
  KIND_PATH_LIST,
  KIND_INSTANCE_TABLE,
  KIND_FACTORY,
  KIND_MSG_MAN,
  KIND_COUNT
};

std::atomic<int>& Counter(int kind) {
  static std::atomic<int> counters[KIND_COUNT];
  return counters[kind];
}

}  // namespace

namespace Port {

FileInit::FileInit() {
  if (Counter(KIND_FILE)++ == 0) File::openStreamCount();
}
FileInit::~FileInit() { --Counter(KIND_FILE); }

PathListInit::PathListInit() {
  if (Counter(KIND_PATH_LIST)++ == 0) OrvanePath::GetInstance();
}
PathListInit::~PathListInit() { --Counter(KIND_PATH_LIST); }

int InitCount(int kind) { return (kind >= 0 && kind < KIND_COUNT) ? Counter(kind).load() : 0; }

}  // namespace Port

namespace CitP {

InstanceTableInit::InstanceTableInit() { ++Counter(KIND_INSTANCE_TABLE); }
InstanceTableInit::~InstanceTableInit() { --Counter(KIND_INSTANCE_TABLE); }

FactoryInit::FactoryInit() { ++Counter(KIND_FACTORY); }
FactoryInit::~FactoryInit() { --Counter(KIND_FACTORY); }

}  // namespace CitP

Port_MsgManInit::Port_MsgManInit() {
  if (Counter(KIND_MSG_MAN)++ == 0) Port_MsgDispatcher::getAllMsgMans();
}
Port_MsgManInit::~Port_MsgManInit() { --Counter(KIND_MSG_MAN); }
