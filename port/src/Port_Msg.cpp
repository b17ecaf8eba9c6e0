#include "port/Port_Msg.h"

#include <algorithm>
#include <mutex>

#include "port/Port_File.h"
#include "port/Port_Init.h"

namespace {

// The dispatcher's registry. Native and Java threads alike issue, so the
// registry takes a lock.
struct Registry {
  std::mutex lock;
  std::vector<Port_MsgMan*> managers;
};

Registry& GetRegistry() {
  static Registry* registry = new Registry;  // never destroyed: issuing works during unload
  return *registry;
}

struct DebugStubRecord {
  std::mutex lock;
  Port::StringBase<char> last;
  unsigned long count = 0;
};

DebugStubRecord& GetDebugStubRecord() {
  static DebugStubRecord* record = new DebugStubRecord;
  return *record;
}

unsigned KindBit(int type) {
  return (type >= 0 && type < 32) ? (1u << static_cast<unsigned>(type)) : 0u;
}

const unsigned kDefaultKinds = KindBit(PORT_MSG_FATAL) | KindBit(PORT_MSG_ERROR) |
                               KindBit(PORT_MSG_WARNING) | KindBit(PORT_MSG_STATUS);

}  // namespace

const char* Port_MsgTypeName(int type) {
  switch (type) {
    case PORT_MSG_FATAL:
      return "FATAL";
    case PORT_MSG_ERROR:
      return "ERROR";
    case PORT_MSG_DEBUG:
      return "DEBUG";
    case PORT_MSG_WARNING:
      return "WARNING";
    case PORT_MSG_STATUS:
      return "INFO";
    case PORT_MSG_PROGRESS:
      return "PROGRESS";
    default:
      return "MESSAGE";
  }
}

// ---------------------------------------------------------------------------
// Port_MsgManData

namespace {

// Each thread's record. A thread's thread_local objects are destroyed before
// its last code has run (on the main thread: before static destructors and
// atexit handlers), and issuing must work there too: from then on the thread
// gets a record of its own that is never destroyed, held in a vector so that
// it is not lost either.
struct RecordHolder {
  Port_MsgManData record;
  ~RecordHolder();
};

thread_local bool holderGone = false;  // trivially destructible: always readable
thread_local Port_MsgManData* lateRecord = nullptr;
thread_local RecordHolder holder;

RecordHolder::~RecordHolder() { holderGone = true; }

Port_MsgManData& ThreadRecord() {
  if (!holderGone) return holder.record;
  if (lateRecord == nullptr) {
    static std::mutex* const lock = new std::mutex;
    static std::vector<Port_MsgManData*>* const late = new std::vector<Port_MsgManData*>;
    std::lock_guard<std::mutex> guard(*lock);
    late->push_back(new Port_MsgManData);
    lateRecord = late->back();
  }
  return *lateRecord;
}

}  // namespace

Port_MsgManData& Port_MsgManData::createObject(const char* module, const char* file, int line,
                                               const char* revision) {
  Port_MsgManData& record = ThreadRecord();
  record.module_ = module != nullptr ? module : "";
  record.file_ = file != nullptr ? file : "";
  record.line_ = line;
  record.revision_ = revision != nullptr ? revision : "";
  return record;
}

void Port_MsgManData::issueV(int type, const char* format, va_list args) {
  Port_Message message;
  message.type = type;
  message.module = module_;
  message.file = file_;
  message.line = line_;
  message.revision = revision_;
  message.text = Port::StringBase<char>::doFormatV(format, args);
  Port_MsgDispatcher::dispatch(message);
}

#define PORT_ISSUE_AS(type)     \
  va_list args;                 \
  va_start(args, format);       \
  issueV((type), format, args); \
  va_end(args)

void Port_MsgManData::issueError(const char* format, ...) { PORT_ISSUE_AS(PORT_MSG_ERROR); }
void Port_MsgManData::issueWarning(const char* format, ...) { PORT_ISSUE_AS(PORT_MSG_WARNING); }
void Port_MsgManData::issueStatus(const char* format, ...) { PORT_ISSUE_AS(PORT_MSG_STATUS); }
void Port_MsgManData::issueFatal(const char* format, ...) { PORT_ISSUE_AS(PORT_MSG_FATAL); }
void Port_MsgManData::issueDebug(const char* format, ...) { PORT_ISSUE_AS(PORT_MSG_DEBUG); }
void Port_MsgManData::issue(int type, const char* format, ...) { PORT_ISSUE_AS(type); }

#undef PORT_ISSUE_AS

void Port_MsgManData::debugStub(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Port::StringBase<char> text = Port::StringBase<char>::doFormatV(format, args);
  va_end(args);
  DebugStubRecord& record = GetDebugStubRecord();
  std::lock_guard<std::mutex> guard(record.lock);
  record.last.swap(text);
  ++record.count;
}

Port::StringBase<char> Port_MsgManData::lastDebugStub() {
  DebugStubRecord& record = GetDebugStubRecord();
  std::lock_guard<std::mutex> guard(record.lock);
  return record.last;
}

unsigned long Port_MsgManData::debugStubCount() {
  DebugStubRecord& record = GetDebugStubRecord();
  std::lock_guard<std::mutex> guard(record.lock);
  return record.count;
}

// ---------------------------------------------------------------------------
// Port_MsgMan

Port_MsgMan::Port_MsgMan() : deactivations_(0) {}

Port_MsgMan::~Port_MsgMan() = default;

void Port_MsgMan::activate() {
  if (deactivations_ > 0) --deactivations_;
}

void Port_MsgMan::deactivate() { ++deactivations_; }

// ---------------------------------------------------------------------------
// Port_MsgDispatcher

unsigned char Port_MsgDispatcher::addMsgMan(Port_MsgMan* manager) {
  if (manager == nullptr) return 0;
  Registry& registry = GetRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  if (std::find(registry.managers.begin(), registry.managers.end(), manager) !=
      registry.managers.end()) {
    return 0;
  }
  registry.managers.push_back(manager);
  return 1;
}

unsigned char Port_MsgDispatcher::removeMsgMan(Port_MsgMan* manager) {
  Registry& registry = GetRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  const auto at = std::find(registry.managers.begin(), registry.managers.end(), manager);
  if (at == registry.managers.end()) return 0;
  registry.managers.erase(at);
  return 1;
}

std::list<Port_MsgMan*> Port_MsgDispatcher::getAllMsgMans() {
  Registry& registry = GetRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  return std::list<Port_MsgMan*>(registry.managers.begin(), registry.managers.end());
}

void Port_MsgDispatcher::dispatch(const Port_Message& message) {
  Registry& registry = GetRegistry();
  std::vector<Port_MsgMan*> snapshot;
  {
    std::lock_guard<std::mutex> guard(registry.lock);
    snapshot = registry.managers;
  }
  for (Port_MsgMan* manager : snapshot) {
    {
      // A handler may have removed (and destroyed) a later manager.
      std::lock_guard<std::mutex> guard(registry.lock);
      if (std::find(registry.managers.begin(), registry.managers.end(), manager) ==
          registry.managers.end()) {
        continue;
      }
    }
    manager->handleMessage(message);
  }
}

// ---------------------------------------------------------------------------
// Port_MsgStream

Port_MsgStream::Port_MsgStream(const char* name) : name_(name != nullptr ? name : "") {}

Port_MsgStream::~Port_MsgStream() = default;

Port_MsgStream::Output* Port_MsgStream::find(const void* out) {
  for (Output& o : outputs_) {
    if (static_cast<const void*>(o.ostream) == out || static_cast<const void*>(o.stream) == out) {
      return &o;
    }
  }
  return nullptr;
}

const Port_MsgStream::Output* Port_MsgStream::find(const void* out) const {
  return const_cast<Port_MsgStream*>(this)->find(out);
}

void Port_MsgStream::add(std::ostream* ostream, Port::Stream* stream) {
  const void* key = ostream != nullptr ? static_cast<const void*>(ostream) : stream;
  if (find(key) != nullptr) return;
  outputs_.push_back(Output{ostream, stream, kDefaultKinds});
}

void Port_MsgStream::remove(const void* out) {
  outputs_.erase(std::remove_if(outputs_.begin(), outputs_.end(),
                                [out](const Output& o) {
                                  return static_cast<const void*>(o.ostream) == out ||
                                         static_cast<const void*>(o.stream) == out;
                                }),
                 outputs_.end());
}

void Port_MsgStream::setKind(const void* out, int type, bool enabled) {
  Output* output = find(out);
  if (output == nullptr) return;
  if (enabled) {
    output->kinds |= KindBit(type);
  } else {
    output->kinds &= ~KindBit(type);
  }
}

void Port_MsgStream::addStream(Port::Stream& out) { add(nullptr, &out); }
void Port_MsgStream::addStream(std::ostream& out) { add(&out, nullptr); }
void Port_MsgStream::removeStream(Port::Stream& out) { remove(&out); }
void Port_MsgStream::removeStream(std::ostream& out) { remove(&out); }
void Port_MsgStream::enableMsgType(std::ostream& out, int type) { setKind(&out, type, true); }
void Port_MsgStream::enableMsgType(Port::Stream& out, int type) { setKind(&out, type, true); }
void Port_MsgStream::disableMsgType(std::ostream& out, int type) { setKind(&out, type, false); }
void Port_MsgStream::disableMsgType(Port::Stream& out, int type) { setKind(&out, type, false); }

bool Port_MsgStream::isMsgTypeEnabled(const std::ostream& out, int type) const {
  const Output* output = find(&out);
  return output != nullptr && (output->kinds & KindBit(type)) != 0;
}

bool Port_MsgStream::isMsgTypeEnabled(const Port::Stream& out, int type) const {
  const Output* output = find(&out);
  return output != nullptr && (output->kinds & KindBit(type)) != 0;
}

std::string Port_MsgStream::formatLine(const Port_Message& message) {
  std::string line = Port_MsgTypeName(message.type);
  line += ": ";
  line.append(message.text.GetBuffer(), message.text.GetLength());
  if (line.empty() || line.back() != '\n') line += '\n';
  return line;
}

void Port_MsgStream::handleMessage(const Port_Message& message) {
  if (!isActive()) return;
  const unsigned bit = KindBit(message.type);
  std::string line;
  for (const Output& output : outputs_) {
    if ((output.kinds & bit) == 0) continue;
    if (line.empty()) line = formatLine(message);
    if (output.ostream != nullptr) {
      output.ostream->write(line.data(), static_cast<std::streamsize>(line.size()));
      output.ostream->flush();
    } else if (output.stream != nullptr) {
      output.stream->write(line.data(), line.size());
      output.stream->flush();
    }
  }
}
