#ifndef PORT_INIT_H
#define PORT_INIT_H
// The layer's initialisers. The first of each kind to be constructed brings
// up a part of the layer; the parts are never taken down (built once, they
// live until the process ends), so static objects of any source file can use
// the layer while the program loads and unloads. A counter per kind records
// how many initialisers are alive. Including this header gives
// the including source file one of each, in the order below, before its own
// static objects, as <iostream> does for the standard streams.

#include "port/Port_Export.h"

namespace Port {

/// The open-stream table of Port::File.
class PORT_API FileInit {
 public:
  FileInit();
  ~FileInit();
  FileInit(const FileInit&) = delete;
  FileInit& operator=(const FileInit&) = delete;
};

/// The install-root list of Port::OrvanePath.
class PORT_API PathListInit {
 public:
  PathListInit();
  ~PathListInit();
  PathListInit(const PathListInit&) = delete;
  PathListInit& operator=(const PathListInit&) = delete;
};

}  // namespace Port

namespace CitP {

/// The component framework's table of live instances.
class PORT_API InstanceTableInit {
 public:
  InstanceTableInit();
  ~InstanceTableInit();
  InstanceTableInit(const InstanceTableInit&) = delete;
  InstanceTableInit& operator=(const InstanceTableInit&) = delete;
};

/// The component framework's factory registry.
class PORT_API FactoryInit {
 public:
  FactoryInit();
  ~FactoryInit();
  FactoryInit(const FactoryInit&) = delete;
  FactoryInit& operator=(const FactoryInit&) = delete;
};

}  // namespace CitP

/// The message dispatcher.
class PORT_API Port_MsgManInit {
 public:
  Port_MsgManInit();
  ~Port_MsgManInit();
  Port_MsgManInit(const Port_MsgManInit&) = delete;
  Port_MsgManInit& operator=(const Port_MsgManInit&) = delete;
};

namespace Port {
/// How many initialisers of each kind are alive (for tests of loading).
PORT_API int InitCount(int kind);
}  // namespace Port

namespace {
// One of each per source file, in this order, ahead of the file's own statics.
const Port::FileInit portFileInit_;
const Port::PathListInit portPathListInit_;
const CitP::InstanceTableInit citpInstanceTableInit_;
const CitP::FactoryInit citpFactoryInit_;
const Port_MsgManInit portMsgManInit_;
}  // namespace

#endif  // PORT_INIT_H
