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

  class const_iterator {
   public:
    const_iterator(const std::vector<std::string>* names, std::size_t index)
        : names_(names), index_(index) {}
    const char* operator*() const { return (*names_)[index_].c_str(); }
    const_iterator& operator++() {
      ++index_;
      return *this;
    }
    bool operator!=(const const_iterator& other) const { return index_ != other.index_; }
    bool operator==(const const_iterator& other) const { return index_ == other.index_; }

   private:
    const std::vector<std::string>* names_;
    std::size_t index_;
  };

  /// Lists `path`; a path that is not a readable directory lists nothing.
  UT_DIR(const Port::StringBase<char>& path, int flags = ALL_ENTRIES);
  ~UT_DIR();

  const_iterator begin() const { return const_iterator(&names_, 0); }
  const_iterator end() const { return const_iterator(&names_, names_.size()); }
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
