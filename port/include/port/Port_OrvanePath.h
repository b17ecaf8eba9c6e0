#ifndef PORT_ORVANEPATH_H
#define PORT_ORVANEPATH_H
// The install roots, in search order. On first use the list is read from the
// environment variable ORVANE: roots separated by the platform's path-list
// separator (';' on Windows, ':' elsewhere), empty pieces skipped. A host or
// a test may replace the list (Set) or read the environment again (Reload).

#include <cstddef>
#include <vector>

#include "port/Port_Export.h"
#include "port/Port_StringBase.h"

namespace Port {

typedef std::vector<StringBase<char> >::const_iterator PathListIterator;

class PORT_API PathList {
 public:
  PathListIterator begin() const { return roots_.begin(); }
  PathListIterator end() const { return roots_.end(); }
  std::size_t size() const { return roots_.size(); }
  bool empty() const { return roots_.empty(); }
  const std::vector<StringBase<char> >& roots() const { return roots_; }

  /// Replaces the roots.
  void Set(const std::vector<StringBase<char> >& roots) { roots_ = roots; }
  /// Replaces the roots with those of a path-list text.
  void SetFromText(const StringBase<char>& pathList);
  /// Reads ORVANE again (an unset variable gives the empty list).
  void Reload();
  void Append(const StringBase<char>& root) { roots_.push_back(root); }
  void clear() { roots_.clear(); }

 private:
  std::vector<StringBase<char> > roots_;
};

class PORT_API OrvanePath {
 public:
  /// The process-wide list of install roots, filled from ORVANE on first use.
  static PathList& GetInstance();
};

}  // namespace Port

#endif  // PORT_ORVANEPATH_H
