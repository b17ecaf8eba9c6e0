#ifndef PORT_FILENAME_H
#define PORT_FILENAME_H
// Port::FileName: a path held as a head (the directory part) and a tail
// (the file part). The separators recognised are "/" everywhere and also
// "\" on Windows; joins add the platform separator only where none stands.

#include "port/Port_Export.h"
#include "port/Port_StringBase.h"

namespace Port {

class PORT_API FileName {
 public:
  FileName() = default;
  /// Splits `path` after its last separator: "a/b/c.txt" has head "a/b/" and
  /// tail "c.txt"; a path ending in a separator has an empty tail.
  FileName(const StringBase<char>& path);  // NOLINT(google-explicit-constructor)
  FileName(const char* path);              // NOLINT(google-explicit-constructor)

  /// Replaces the directory part.
  void SetHead(const StringBase<char>& head);
  /// Replaces the file part; it may itself hold separators ("data/f.txt").
  void SetTail(const StringBase<char>& tail);
  /// Appends a relative path (one or more components) to the directory part.
  void PushPathEnd(const StringBase<char>& relative);

  /// The directory part, with one trailing separator when `withSeparator`
  /// (and none otherwise, unless it is a root), made absolute when `absolute`.
  /// A name without directory gives the empty text (or the working directory
  /// when `absolute`).
  StringBase<char> GetHead(bool withSeparator = true, bool absolute = false) const;
  StringBase<char> GetTail() const { return tail_; }
  /// Head and tail joined with one separator.
  StringBase<char> GetFullPath() const;
  /// The full path made absolute against the working directory, with "." and
  /// ".." steps and doubled separators removed. A trailing separator stays.
  /// With `resolveLinks`, symbolic links are resolved as well.
  /// The empty name gives the empty text.
  StringBase<char> GetAbsolutePath(bool resolveLinks = false) const;
  /// The full path spelled with the platform's separators.
  StringBase<char> MakeNative() const;
  bool IsEmpty() const { return head_.IsEmpty() && tail_.IsEmpty(); }

  /// "\\" on Windows, "/" elsewhere.
  static char GetPathSeparator();
  /// True for "/" and, on Windows, "\".
  static bool IsSeparator(char c);
  /// `a` and `b` joined with exactly one separator between them.
  static StringBase<char> Join(const StringBase<char>& a, const StringBase<char>& b);

  friend bool operator==(const FileName& a, const FileName& b) {
    return a.GetFullPath() == b.GetFullPath();
  }
  friend bool operator!=(const FileName& a, const FileName& b) { return !(a == b); }

 private:
  StringBase<char> head_;
  StringBase<char> tail_;
};

}  // namespace Port

#endif  // PORT_FILENAME_H
