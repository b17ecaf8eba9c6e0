#ifndef PORT_FILE_H
#define PORT_FILE_H
// Port::File: file-system questions and file opening; Port::Stream: an open
// file read line by line or in blocks, or written. Every function answers through its
// result: nothing here throws for a missing or unreadable file.

#include <cstddef>
#include <cstdio>
#include <string>

#include "port/Port_Export.h"
#include "port/Port_FileName.h"
#include "port/Port_StringBase.h"

namespace Port {

class File;

/// An open file. Made only by File::open and given back with File::close.
class PORT_API Stream {
 public:
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  /// Reads one line into `line`, without its line feed. Returns the number of
  /// bytes consumed (line feed included); 0 at the end of the file or on a
  /// read error, and `line` is then empty. Lines of any length are read.
  long readline(StringBase<char>& line);
  /// Reads up to `size` bytes into `buffer`, line feeds and all, going on
  /// where readline stopped. Returns the number of bytes read: fewer than
  /// `size` only at the end of the file or on a read error, and 0 once
  /// nothing is left. A read error makes File::close report failure.
  std::size_t read(char* buffer, std::size_t size);
  /// True when no byte is left to read (or reading failed).
  bool geteof();
  /// Writes `length` bytes; false when the write failed.
  bool write(const char* data, std::size_t length);
  bool write(const StringBase<char>& text) { return write(text.GetBuffer(), text.GetLength()); }
  bool flush();
  /// The name the stream was opened with.
  const StringBase<char>& getName() const { return name_; }

 private:
  friend class File;
  Stream(std::FILE* file, const StringBase<char>& name);
  ~Stream();
  bool fill();

  std::FILE* file_;
  StringBase<char> name_;
  std::string buffer_;
  std::size_t position_;
  bool eof_;
  bool failed_;
};

class PORT_API File {
 public:
  /// Access modes of `open`; they may be or-ed where it makes sense.
  enum Access { ACCESS_READ = 1, ACCESS_WRITE = 2, ACCESS_APPEND = 4 };

  static bool exist(const StringBase<char>& name);
  static bool isfile(const StringBase<char>& name);
  static bool isdir(const StringBase<char>& name);
  /// True for an existing regular file that this process may read.
  static bool canread(const StringBase<char>& name);
  /// Opens `name` (a regular file; never a directory). `textMode` asks for
  /// the platform's text translation (only Windows has one). Null on failure.
  static Stream* open(const StringBase<char>& name, int access, bool textMode);
  static Stream* open(const FileName& name, int access, bool textMode) {
    return open(name.GetFullPath(), access, textMode);
  }
  /// Closes and frees `stream`; false if it was null or closing failed
  /// (for a written file, when its data could not be stored).
  static bool close(Stream* stream);
  /// Changes the working directory; true when done.
  static bool chdir(const StringBase<char>& directory);
  /// The working directory (absolute, no trailing separator). Throws
  /// std::filesystem::filesystem_error when it cannot be read (for instance
  /// when it was removed under the process).
  static StringBase<char> getcwd();
  /// Renames the file `from` to `to`, replacing a file `to` in one step on
  /// every platform (the C library's rename does not replace on Windows);
  /// true when done.
  static bool rename(const StringBase<char>& from, const StringBase<char>& to);
  /// Number of streams opened and not yet closed in this process.
  static long openStreamCount();

  static bool exist(const FileName& name) { return exist(name.GetFullPath()); }
  static bool isfile(const FileName& name) { return isfile(name.GetFullPath()); }
  static bool isdir(const FileName& name) { return isdir(name.GetFullPath()); }
  static bool canread(const FileName& name) { return canread(name.GetFullPath()); }
  // Plain texts, which would otherwise fit both forms above.
  static bool exist(const char* name) { return exist(StringBase<char>(name)); }
  static bool isfile(const char* name) { return isfile(StringBase<char>(name)); }
  static bool isdir(const char* name) { return isdir(StringBase<char>(name)); }
  static bool canread(const char* name) { return canread(StringBase<char>(name)); }
  static Stream* open(const char* name, int access, bool textMode) {
    return open(StringBase<char>(name), access, textMode);
  }
};

}  // namespace Port

#endif  // PORT_FILE_H
