#ifndef PORT_DIR_H
#define PORT_DIR_H
// UT_DIR: the entry names of one directory, read when the object is made
// and walked by iterator. Entries come sorted by name (byte order) so that
// every platform lists them alike; "." and ".." are never listed.

#include <cstddef>
#include <string>
#include <vector>

#include "port/Port_Export.h"
#include "port/Port_StringBase.h"

class PORT_API UT_DIR {
 public:
  /// What to list: every entry, or only directories.
  enum Flags { ALL_ENTRIES = 1, DIRECTORIES_ONLY = 2 };

  typedef std::vector<std::string>::const_iterator const_iterator;

  /// Lists `path`; a path that is not a readable directory lists nothing.
  UT_DIR(const Port::StringBase<char>& path, int flags = ALL_ENTRIES);
  ~UT_DIR();

  const_iterator begin() const { return names_.begin(); }
  const_iterator end() const { return names_.end(); }
  std::size_t size() const { return names_.size(); }
  /// False when the directory could not be read.
  bool isOpen() const { return open_; }
  /// Drops the listing.
  void close();

 private:
  std::vector<std::string> names_;
  bool open_;
};

#endif  // PORT_DIR_H
