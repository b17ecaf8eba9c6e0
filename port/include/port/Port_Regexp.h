#ifndef PORT_REGEXP_H
#define PORT_REGEXP_H
// A compiled regular expression (Perl syntax). The pattern is compiled once,
// when the object is made; searches reuse it. "^" and "$" anchor at the
// start and end of the whole text, never at embedded line ends.

#include <cstddef>
#include <memory>
#include <vector>

#include "port/Port_Export.h"
#include "port/Port_Range.h"
#include "port/Port_StringBase.h"

class PORT_API Port_Regexp {
 public:
  /// An invalid pattern gives an object that never matches (IsValid false).
  explicit Port_Regexp(const Port::StringBase<char>& pattern);
  Port_Regexp(const Port_Regexp&) = delete;
  Port_Regexp& operator=(const Port_Regexp&) = delete;
  ~Port_Regexp();

  bool IsValid() const;
  /// The leftmost match at or after `start` in `text`, or an empty range.
  Port_Range GetRangeOfMatch(const Port::StringBase<char>& text, std::size_t start = 0) const;
  Port_Range GetRangeOfMatch(const char* text, std::size_t start = 0) const;
  /// As above, and the ranges of the capture groups (index 0 is the whole
  /// match); a group that took no part gives an empty range.
  bool Search(const char* text, std::size_t length, std::size_t start,
              std::vector<Port_Range>& groups) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

#endif  // PORT_REGEXP_H
