#ifndef MINTU_ISTRINGITERATOR_H
#define MINTU_ISTRINGITERATOR_H
// UtilI::IStringIterator: a position in a string container, read one string
// at a time.

#include "mintu/Mintu_IInterface.h"

namespace UtilI {

class MINTU_API IStringIterator : public CitI::IInterface {
 public:
  static const Port::XUID GetIID() {
    return Port::XUID(0x3dfd052eedd24c1fULL, 0x9b4dd9ef290e110eULL);
  }

  /// A copy of the string at the position; the empty string at or past the end.
  virtual const Mintu::StringBase GetCurrent() const = 0;
  /// Moves to the first string; returns 1.
  virtual int Reset() = 0;
  /// Advances by one and returns 1; at the end returns 0 and stays.
  virtual int Next() = 0;
  /// Whether the position is at or past the number of strings.
  virtual bool IsAtEnd() const = 0;
  /// Writes the iterator's state to standard output; returns 0.
  virtual int Dump() const = 0;
  ~IStringIterator() override;
};

}  // namespace UtilI

#endif  // MINTU_ISTRINGITERATOR_H
