#ifndef MINTU_APPEXCEPTION_H
#define MINTU_APPEXCEPTION_H
// AppException: what the library throws when the caller must act (only the
// XML model and its reader throw). Catchable as std::runtime_error and
// std::exception too.

#include <stdexcept>

#include "mintu/Mintu_Types.h"

namespace Mintu {

class MINTU_API AppException : public std::runtime_error {
 public:
  /// Severity. The library throws only LEVEL_ERROR.
  enum Level { LEVEL_ERROR = 0, LEVEL_WARNING = 1, LEVEL_FATAL = 2 };

  /// `what()` gives back exactly the text of `message`.
  AppException(Level level, const StringBase& message);
  AppException(const AppException& other);
  AppException& operator=(const AppException& other);
  virtual ~AppException();

  Level GetLevel() const { return level; }

 private:
  Level level;
};

}  // namespace Mintu

#endif  // MINTU_APPEXCEPTION_H
