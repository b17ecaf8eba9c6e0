#ifndef MINTU_DEBUGMESSENGER_H
#define MINTU_DEBUGMESSENGER_H
// DebugMessenger: a named debug logger with a level, a stopwatch and named
// timing marks. Lines that pass the level are issued as status messages
// ("DEBUG[name] - text", or "DEBUG - text" for the root).
//
// A messenger without a level of its own (DEBUG_UNSET) follows its parent.
// A chain of unset levels that never reaches a messenger with a level of its
// own (no parent, or a root set to DEBUG_UNSET) counts as DEBUG_OFF.

#include <cstdint>
#include <map>

#include "mintu/Mintu_Types.h"
#include "port/Port_Timer.h"

namespace Mintu {

class MINTU_API DebugMessenger {
 public:
  /// A 32-bit value compared as signed; any value may be set.
  enum DebugLevel : std::int32_t {
    DEBUG_UNSET = 0,     ///< follow the parent
    DEBUG_OFF = 1,       ///< nothing passes
    DEBUG_NORMAL = 2,    ///< normal lines pass
    DEBUG_DETAILED = 3,  ///< normal and detailed lines pass
    DEBUG_VERBOSE = 4    ///< every line passes
  };

  /// A root: named "root", level DEBUG_OFF, no parent.
  DebugMessenger();
  /// A named messenger under `parent` (not owned), with no level of its own.
  DebugMessenger(DebugMessenger* parent, const StringBase& name);
  /// Issues "Total debug time: ..." if normal lines pass.
  ~DebugMessenger();
  DebugMessenger(const DebugMessenger&) = delete;
  DebugMessenger& operator=(const DebugMessenger&) = delete;

  /// Stores `level` as given.
  void SetLevel(DebugLevel level);
  DebugLevel GetLevel() const { return level; }
  /// The level that applies: its own, else the nearest ancestor's.
  DebugLevel GetEffectiveLevel() const;
  const StringBase& GetName() const { return name; }

  bool IsOff() const;
  bool IsNormal() const;
  bool IsDetailed() const;
  bool IsVerbose() const;

  /// Issues `text` as one status line when the effective level is at least
  /// `level`; nothing is built otherwise.
  void Message(DebugLevel level, const StringBase& text);
  void Normal(const StringBase& text);
  void Detailed(const StringBase& text);
  void Verbose(const StringBase& text);

  /// The duration text of the time since construction.
  StringBase GetTimer();
  /// Sets `mark` to the current reading, replacing an earlier one.
  void SetTimer(const StringBase& mark);
  /// The duration text since `mark` was set (a missing mark is set to 0.0,
  /// that is to construction, and kept).
  StringBase GetTimer(const StringBase& mark);
  /// Removes `mark`; nothing happens when there is none.
  void StopTimer(const StringBase& mark);
  /// Whether `mark` exists.
  bool HasTimer(const StringBase& mark) const { return marks.count(mark) != 0; }

 private:
  DebugLevel level;
  DebugMessenger* parent;
  StringBase name;
  UT_TIMER timer;
  std::map<StringBase, double> marks;
};

}  // namespace Mintu

#endif  // MINTU_DEBUGMESSENGER_H
