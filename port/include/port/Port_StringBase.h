#ifndef PORT_STRINGBASE_H
#define PORT_STRINGBASE_H
// Port::StringBase<char>: the 8-bit string every interface of the library
// passes around. It holds any bytes, embedded NULs included; comparisons
// treat bytes as unsigned values and a proper prefix sorts first.

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "port/Port_Export.h"
#include "port/Port_Range.h"

#if defined(__GNUC__) || defined(__clang__)
#define PORT_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define PORT_PRINTF(fmt, args)
#endif

namespace Port {

/// How two strings are compared. Mode 0 compares bytes exactly; mode 1 folds
/// ASCII letters to lower case first (used for names, such as logger names
/// and checksum texts, where case carries no meaning).
enum CompareType { COMPARE_EXACT = 0, COMPARE_NOCASE = 1 };

/// Which ends Trim strips.
enum TrimType { TRIM_LEFT = 0, TRIM_RIGHT = 1, TRIM_BOTH = 2 };

template <class CharT>
class StringBase;

template <>
class PORT_API StringBase<char> {
 public:
  typedef std::size_t size_type;
  /// Returned by the index searches when nothing is found (all bits set).
  static constexpr size_type NOT_FOUND = static_cast<size_type>(-1);

  StringBase() = default;
  /// A null pointer gives the empty string.
  StringBase(const char* text);  // NOLINT(google-explicit-constructor): texts convert freely
  StringBase(const char* text, size_type length);
  StringBase(const std::string& text);      // NOLINT(google-explicit-constructor)
  StringBase(std::string&& text) noexcept;  // NOLINT(google-explicit-constructor)
  StringBase(const StringBase&) = default;
  StringBase(StringBase&&) noexcept = default;
  StringBase& operator=(const StringBase&) = default;
  StringBase& operator=(StringBase&&) noexcept = default;
  ~StringBase() = default;

  // Access.
  const char* c_str() const { return text_.c_str(); }
  const char* GetBuffer() const { return text_.data(); }
  size_type GetLength() const { return text_.size(); }
  bool IsEmpty() const { return text_.empty(); }
  /// The byte at `index`; 0 past the end.
  char GetAt(size_type index) const { return index < text_.size() ? text_[index] : '\0'; }
  const std::string& str() const { return text_; }
  void Reserve(size_type capacity) { text_.reserve(capacity); }
  void swap(StringBase& other) noexcept { text_.swap(other.text_); }

  // Changes.
  /// Replaces the content with a copy of `text`, lower-cased when asked.
  void Assign(const StringBase& text, bool makeLower = false);
  void Assign(const char* text, size_type length);
  StringBase& Append(const StringBase& text) {
    text_.append(text.text_);
    return *this;
  }
  StringBase& Append(const char* text);
  StringBase& Append(const char* text, size_type length) {
    text_.append(text, length);
    return *this;
  }
  StringBase& Append(char c) {
    text_.push_back(c);
    return *this;
  }
  StringBase& operator+=(const StringBase& text) { return Append(text); }
  StringBase& operator+=(const char* text) { return Append(text); }
  StringBase& operator+=(char c) { return Append(c); }
  /// Makes the string empty.
  void Empty() { text_.clear(); }
  StringBase& MakeLower();
  StringBase& MakeUpper();
  /// Strips the bytes of `characters` from the ends that `type` names.
  StringBase& Trim(const char* characters = " \t", TrimType type = TRIM_BOTH);
  /// Replaces occurrences of `search` (every one, or only the first when
  /// `all` is false); returns how many were replaced. An empty `search`
  /// replaces nothing.
  size_type Replace(const StringBase& search, const StringBase& replacement,
                    CompareType type = COMPARE_EXACT, bool all = true);
  /// Replaces every byte `from` by `to`; returns the count.
  size_type ReplaceChars(char from, char to);
  /// Replaces the content with the printf-style formatted text.
  StringBase& Format(const char* format, ...) PORT_PRINTF(2, 3);
  StringBase& FormatV(const char* format, va_list args) PORT_PRINTF(2, 0);

  // Searches and pieces.
  /// Negative, zero or positive as this string sorts before, with or after `other`.
  int Compare(const StringBase& other, CompareType type = COMPARE_EXACT) const;
  /// Index of the first occurrence of `search` at or after `start`, or NOT_FOUND.
  size_type GetIndexOfString(const StringBase& search, CompareType type = COMPARE_EXACT,
                             size_type start = 0) const;
  size_type GetIndexOfFirstChar(char c, size_type start = 0) const;
  size_type GetIndexOfLastChar(char c) const;
  /// The bytes of `range`, clipped to the string; empty for an empty range.
  StringBase Extract(const Port_Range& range) const;
  /// Reads the whole (clipped) range as a decimal number; false, and `value`
  /// untouched, unless every byte belongs to the number and it fits.
  bool GetINT32(const Port_Range& range, std::int32_t& value) const;
  bool GetUINT32(const Port_Range& range, std::uint32_t& value) const;
  /// The standard CRC-32 (zlib's crc32) of the bytes.
  std::uint32_t CRC32() const;

  /// printf-style formatting into a new string.
  static StringBase doFormat(const char* format, ...) PORT_PRINTF(1, 2);
  static StringBase doFormatV(const char* format, va_list args) PORT_PRINTF(1, 0);
  /// Cuts `text` at every byte of `separators`. Empty pieces are kept when
  /// `keepEmpty` is true and dropped otherwise; the empty text gives no piece.
  /// A byte of `openQuotes` starts a quoted stretch that runs to the byte at
  /// the same position in `closeQuotes`; separators inside it do not cut.
  static std::vector<StringBase> Split(const StringBase& text, const StringBase& separators,
                                       bool keepEmpty, const StringBase& openQuotes,
                                       const StringBase& closeQuotes);

  friend bool operator==(const StringBase& a, const StringBase& b) { return a.text_ == b.text_; }
  friend bool operator!=(const StringBase& a, const StringBase& b) { return a.text_ != b.text_; }
  friend bool operator<(const StringBase& a, const StringBase& b) { return a.text_ < b.text_; }
  friend bool operator<=(const StringBase& a, const StringBase& b) { return a.text_ <= b.text_; }
  friend bool operator>(const StringBase& a, const StringBase& b) { return a.text_ > b.text_; }
  friend bool operator>=(const StringBase& a, const StringBase& b) { return a.text_ >= b.text_; }
  friend StringBase operator+(StringBase a, const StringBase& b) {
    a.Append(b);
    return a;
  }

 private:
  std::string text_;  // std::char_traits<char> compares as unsigned char
};

PORT_API std::ostream& operator<<(std::ostream& out, const StringBase<char>& text);

}  // namespace Port

namespace std {
template <>
struct hash<Port::StringBase<char> > {
  size_t operator()(const Port::StringBase<char>& s) const noexcept {
    return hash<string>()(s.str());
  }
};
}  // namespace std

#endif  // PORT_STRINGBASE_H
