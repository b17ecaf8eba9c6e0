#ifndef PORT_MSG_H
#define PORT_MSG_H
// Issued messages. A message record (Port_MsgManData) carries where a message
// comes from; issuing formats the text and hands it to every manager
// registered with the dispatcher (Port_MsgDispatcher). Port_MsgStream is the
// manager that writes messages, one readable line each, to attached outputs.

#include <list>
#include <ostream>
#include <string>
#include <vector>

#include "port/Port_Export.h"
#include "port/Port_StringBase.h"

namespace Port {
class Stream;
}

/// Message kinds. Errors, warnings and status lines are on for a new output;
/// debug detail and progress lines only when asked for.
enum Port_MsgType {
  PORT_MSG_FATAL = 0,     ///< a failure that ends the run
  PORT_MSG_ERROR = 1,     ///< a failure of one operation
  PORT_MSG_DEBUG = 2,     ///< diagnostic detail, for full diagnostics only
  PORT_MSG_WARNING = 4,   ///< something suspicious; the operation went on
  PORT_MSG_STATUS = 7,    ///< information and debug-logger lines
  PORT_MSG_PROGRESS = 8,  ///< progress of long steps
  PORT_MSG_TYPE_COUNT = 9
};

/// "FATAL", "ERROR", "DEBUG", "WARNING", "INFO", "PROGRESS", or "MESSAGE".
PORT_API const char* Port_MsgTypeName(int type);

/// One issued message as the managers receive it.
struct PORT_API Port_Message {
  int type;
  std::string module;
  std::string file;
  int line;
  std::string revision;
  Port::StringBase<char> text;
};

/// A message record: the origin of the messages issued through it.
class PORT_API Port_MsgManData {
 public:
  /// The calling thread's record, tagged with these four values (copied).
  static Port_MsgManData& createObject(const char* module, const char* file, int line,
                                       const char* revision);

  void issueError(const char* format, ...) PORT_PRINTF(2, 3);
  void issueWarning(const char* format, ...) PORT_PRINTF(2, 3);
  void issueStatus(const char* format, ...) PORT_PRINTF(2, 3);
  void issueFatal(const char* format, ...) PORT_PRINTF(2, 3);
  void issueDebug(const char* format, ...) PORT_PRINTF(2, 3);
  void issue(int type, const char* format, ...) PORT_PRINTF(3, 4);

  /// Formats and keeps the text where nothing shows it: only
  /// lastDebugStub() and debugStubCount() tell that it happened.
  static void debugStub(const char* format, ...) PORT_PRINTF(1, 2);
  static Port::StringBase<char> lastDebugStub();
  static unsigned long debugStubCount();

  const std::string& getModule() const { return module_; }
  const std::string& getFile() const { return file_; }
  int getLine() const { return line_; }
  const std::string& getRevision() const { return revision_; }

 private:
  void issueV(int type, const char* format, va_list args) PORT_PRINTF(3, 0);

  std::string module_;
  std::string file_;
  int line_ = 0;
  std::string revision_;
};

/// A message manager: receives every message issued while it is registered.
/// deactivate and activate nest: a manager is active while it has been
/// activated at least as often as deactivated.
class PORT_API Port_MsgMan {
 public:
  Port_MsgMan();
  virtual ~Port_MsgMan();
  Port_MsgMan(const Port_MsgMan&) = delete;
  Port_MsgMan& operator=(const Port_MsgMan&) = delete;

  /// Undoes one deactivate.
  virtual void activate();
  /// Stops the manager from showing messages until the matching activate.
  virtual void deactivate();
  /// Called by the dispatcher for every issued message.
  virtual void handleMessage(const Port_Message& message) = 0;

  bool isActive() const { return deactivations_ == 0; }

 private:
  int deactivations_;
};

/// The registry of managers. Messages go to the managers in registration order.
class PORT_API Port_MsgDispatcher {
 public:
  /// 1 when added; 0 for null or a manager already registered.
  static unsigned char addMsgMan(Port_MsgMan* manager);
  /// 1 when removed; 0 when it was not registered.
  static unsigned char removeMsgMan(Port_MsgMan* manager);
  /// A copy of the registered managers, in registration order.
  static std::list<Port_MsgMan*> getAllMsgMans();
  /// Hands `message` to every registered manager. A manager removed while
  /// the message is being handed out is not called afterwards.
  static void dispatch(const Port_Message& message);
};

/// A manager that writes each message it receives, while active, to its
/// attached outputs, as one line: the kind's name, ": " and the text, with a
/// line feed added when the text does not end with one. Each output writes
/// only the kinds enabled for it; a new output has errors, fatal errors,
/// warnings and status lines enabled.
class PORT_API Port_MsgStream : public Port_MsgMan {
 public:
  /// `name` may be null (an unnamed stream).
  explicit Port_MsgStream(const char* name = nullptr);
  ~Port_MsgStream() override;

  virtual void addStream(Port::Stream& out);
  virtual void addStream(std::ostream& out);
  virtual void removeStream(Port::Stream& out);
  virtual void removeStream(std::ostream& out);
  virtual void enableMsgType(std::ostream& out, int type);
  virtual void enableMsgType(Port::Stream& out, int type);
  virtual void disableMsgType(std::ostream& out, int type);
  virtual void disableMsgType(Port::Stream& out, int type);

  void handleMessage(const Port_Message& message) override;

  /// Whether `out` is attached and writes messages of kind `type`.
  bool isMsgTypeEnabled(const std::ostream& out, int type) const;
  bool isMsgTypeEnabled(const Port::Stream& out, int type) const;
  std::size_t getStreamCount() const { return outputs_.size(); }
  const std::string& getName() const { return name_; }
  /// The line written for `message`.
  static std::string formatLine(const Port_Message& message);

 private:
  struct Output {
    std::ostream* ostream;
    Port::Stream* stream;
    unsigned kinds;
  };
  Output* find(const void* out);
  const Output* find(const void* out) const;
  void add(std::ostream* ostream, Port::Stream* stream);
  void remove(const void* out);
  void setKind(const void* out, int type, bool enabled);

  bool hasName_;
  std::string name_;
  std::vector<Output> outputs_;
};

#endif  // PORT_MSG_H
