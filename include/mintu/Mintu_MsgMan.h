#ifndef MINTU_MSGMAN_H
#define MINTU_MSGMAN_H
// MsgMan: what a host makes to see issued messages. It attaches the standard
// error stream to its own message stream, chooses the kinds shown there from
// a DiagnosticLevel, and registers with the dispatcher while it lives.
// Managers nest: a new one deactivates those already registered, and its
// destruction activates those that remain.

#include <cstdint>
#include <ostream>

#include "mintu/Mintu_Types.h"
#include "port/Port_Msg.h"

namespace Port {
class Stream;
}

namespace Mintu {

class MINTU_API MsgMan {
 public:
  /// A 32-bit value: any value is valid (those other than 0, 1 and 3 act as NORMAL).
  enum DiagnosticLevel : std::int32_t {
    DIAGNOSTIC_QUIET = 0,    ///< nothing on the standard error stream
    DIAGNOSTIC_REDUCED = 1,  ///< fatal errors, errors and warnings
    DIAGNOSTIC_NORMAL = 2,   ///< also status and progress lines
    DIAGNOSTIC_FULL = 3      ///< also debug detail (progress lines as by default)
  };

  /// A manager at DIAGNOSTIC_NORMAL, registered with the dispatcher.
  MsgMan();
  /// A manager at `level` (values other than 0, 1 and 3 act as NORMAL).
  explicit MsgMan(const DiagnosticLevel& level);
  /// Unregisters, then activates every manager still registered.
  ~MsgMan();
  MsgMan(const MsgMan&) = delete;
  MsgMan& operator=(const MsgMan&) = delete;

  DiagnosticLevel GetLevel() const { return level; }
  /// The message stream registered with the dispatcher (to inspect its outputs).
  const Port_MsgStream& GetMsgStream() const { return stream; }

  /// Attaches `out` with the message stream's default kinds; no level applies.
  void addMsgStream(std::ostream& out);
  void addMsgStream(Port::Stream& out);
  /// Detaches `out`; nothing happens when it is not attached.
  void removeMsgStream(std::ostream& out);
  void removeMsgStream(Port::Stream& out);

 private:
  Port_MsgStream stream;
  DiagnosticLevel level;
};

}  // namespace Mintu

#endif  // MINTU_MSGMAN_H
