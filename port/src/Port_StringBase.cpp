#include "port/Port_StringBase.h"

// libdeflate's CRC-32 is several times faster than zlib's and gives the
// same values; zlib's serves where the build found no libdeflate.
#if defined(PORT_HAVE_LIBDEFLATE)
#include <libdeflate.h>
#else
#include <zlib.h>
#endif

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "port/Port_Init.h"

namespace Port {

// Emitted here, so that the DLL exports it: a caller that takes its address
// (a reference parameter) imports it from the DLL on Windows.
constexpr StringBase<char>::size_type StringBase<char>::NOT_FOUND;

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameByte(char a, char b, CompareType type) {
  return type == COMPARE_NOCASE ? LowerAscii(a) == LowerAscii(b) : a == b;
}

// The clipped [begin, end) bytes of `range` in a text of `length` bytes.
bool ClipRange(const Port_Range& range, std::size_t length, std::size_t& begin, std::size_t& end) {
  if (range.IsEmpty() || range.first >= length) return false;
  begin = range.first;
  end = std::min(range.last, length - 1) + 1;
  return true;
}

}  // namespace

StringBase<char>::StringBase(const char* text) : text_(text != nullptr ? text : "") {}

StringBase<char>::StringBase(const char* text, size_type length)
    : text_(text != nullptr ? std::string(text, length) : std::string()) {}

StringBase<char>::StringBase(const std::string& text) : text_(text) {}

StringBase<char>::StringBase(std::string&& text) noexcept : text_(std::move(text)) {}

void StringBase<char>::Assign(const StringBase& text, bool makeLower) {
  if (&text != this) text_ = text.text_;
  if (makeLower) MakeLower();
}

void StringBase<char>::Assign(const char* text, size_type length) {
  if (text == nullptr) {
    text_.clear();
  } else {
    text_.assign(text, length);
  }
}

StringBase<char>& StringBase<char>::Append(const char* text) {
  if (text != nullptr) text_.append(text);
  return *this;
}

StringBase<char>& StringBase<char>::MakeLower() {
  for (char& c : text_) c = LowerAscii(c);
  return *this;
}

StringBase<char>& StringBase<char>::MakeUpper() {
  for (char& c : text_) c = UpperAscii(c);
  return *this;
}

StringBase<char>& StringBase<char>::Trim(const char* characters, TrimType type) {
  if (characters == nullptr || text_.empty()) return *this;
  if (type == TRIM_RIGHT || type == TRIM_BOTH) {
    const size_type last = text_.find_last_not_of(characters);
    text_.erase(last == std::string::npos ? 0 : last + 1);
  }
  if (type == TRIM_LEFT || type == TRIM_BOTH) {
    text_.erase(0, std::min(text_.find_first_not_of(characters), text_.size()));
  }
  return *this;
}

StringBase<char>::size_type StringBase<char>::Replace(const StringBase& search,
                                                      const StringBase& replacement,
                                                      CompareType type, bool all) {
  if (search.IsEmpty()) return 0;
  size_type count = 0;
  size_type from = 0;
  std::string result;
  size_type at = GetIndexOfString(search, type, 0);
  if (at == NOT_FOUND) return 0;
  while (at != NOT_FOUND) {
    result.append(text_, from, at - from);
    result.append(replacement.text_);
    from = at + search.GetLength();
    ++count;
    if (!all) break;
    at = GetIndexOfString(search, type, from);
  }
  result.append(text_, from, std::string::npos);
  text_.swap(result);
  return count;
}

StringBase<char>::size_type StringBase<char>::ReplaceChars(char from, char to) {
  size_type count = 0;
  for (char& c : text_) {
    if (c == from) {
      c = to;
      ++count;
    }
  }
  return count;
}

StringBase<char>& StringBase<char>::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
  return *this;
}

StringBase<char>& StringBase<char>::FormatV(const char* format, va_list args) {
  *this = doFormatV(format, args);
  return *this;
}

StringBase<char> StringBase<char>::doFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  StringBase result = doFormatV(format, args);
  va_end(args);
  return result;
}

StringBase<char> StringBase<char>::doFormatV(const char* format, va_list args) {
  if (format == nullptr) return StringBase();
  char small[256];
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (needed < 0) return StringBase();
  if (static_cast<size_type>(needed) < sizeof small) {
    return StringBase(small, static_cast<size_type>(needed));
  }
  std::string big(static_cast<size_type>(needed) + 1, '\0');
  std::vsnprintf(&big[0], big.size(), format, args);
  big.resize(static_cast<size_type>(needed));
  return StringBase(std::move(big));
}

int StringBase<char>::Compare(const StringBase& other, CompareType type) const {
  if (type != COMPARE_NOCASE) {
    const int result = text_.compare(other.text_);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
  }
  const size_type common = std::min(text_.size(), other.text_.size());
  for (size_type i = 0; i < common; ++i) {
    const unsigned char a = static_cast<unsigned char>(LowerAscii(text_[i]));
    const unsigned char b = static_cast<unsigned char>(LowerAscii(other.text_[i]));
    if (a != b) return a < b ? -1 : 1;
  }
  if (text_.size() == other.text_.size()) return 0;
  return text_.size() < other.text_.size() ? -1 : 1;
}

StringBase<char>::size_type StringBase<char>::GetIndexOfString(const StringBase& search,
                                                               CompareType type,
                                                               size_type start) const {
  if (start > text_.size()) return NOT_FOUND;
  if (type != COMPARE_NOCASE) {
    const size_type at = text_.find(search.text_, start);
    return at == std::string::npos ? NOT_FOUND : at;
  }
  const auto begin = text_.begin() + static_cast<std::ptrdiff_t>(start);
  const auto at = std::search(begin, text_.end(), search.text_.begin(), search.text_.end(),
                              [](char a, char b) { return SameByte(a, b, COMPARE_NOCASE); });
  if (at == text_.end() && !search.text_.empty()) return NOT_FOUND;
  return static_cast<size_type>(at - text_.begin());
}

StringBase<char>::size_type StringBase<char>::GetIndexOfFirstChar(char c, size_type start) const {
  const size_type at = text_.find(c, start);
  return at == std::string::npos ? NOT_FOUND : at;
}

StringBase<char>::size_type StringBase<char>::GetIndexOfLastChar(char c) const {
  const size_type at = text_.rfind(c);
  return at == std::string::npos ? NOT_FOUND : at;
}

StringBase<char> StringBase<char>::Extract(const Port_Range& range) const {
  size_type begin = 0;
  size_type end = 0;
  if (!ClipRange(range, text_.size(), begin, end)) return StringBase();
  return StringBase(text_.substr(begin, end - begin));
}

bool StringBase<char>::GetINT32(const Port_Range& range, std::int32_t& value) const {
  size_type begin = 0;
  size_type end = 0;
  if (!ClipRange(range, text_.size(), begin, end)) return false;
  bool negative = false;
  if (text_[begin] == '-' || text_[begin] == '+') {
    negative = text_[begin] == '-';
    ++begin;
  }
  if (begin == end) return false;
  long long result = 0;
  for (size_type i = begin; i < end; ++i) {
    const char c = text_[i];
    if (c < '0' || c > '9') return false;
    result = result * 10 + (c - '0');
    if (result > static_cast<long long>(INT32_MAX) + 1) return false;
  }
  if (negative) result = -result;
  if (result > INT32_MAX || result < INT32_MIN) return false;
  value = static_cast<std::int32_t>(result);
  return true;
}

bool StringBase<char>::GetUINT32(const Port_Range& range, std::uint32_t& value) const {
  size_type begin = 0;
  size_type end = 0;
  if (!ClipRange(range, text_.size(), begin, end)) return false;
  unsigned long long result = 0;
  for (size_type i = begin; i < end; ++i) {
    const char c = text_[i];
    if (c < '0' || c > '9') return false;
    result = result * 10 + static_cast<unsigned>(c - '0');
    if (result > UINT32_MAX) return false;
  }
  value = static_cast<std::uint32_t>(result);
  return true;
}

std::uint32_t StringBase<char>::CRC32() const { return CRC32(0, text_.data(), text_.size()); }

std::uint32_t StringBase<char>::CRC32(std::uint32_t crc, const char* data, size_type length) {
#if defined(PORT_HAVE_LIBDEFLATE)
  return libdeflate_crc32(crc, data, length);
#else
  uLong value = crc;
  const Bytef* bytes = reinterpret_cast<const Bytef*>(data);
  while (length > 0) {  // zlib takes 32-bit lengths
    const uInt chunk = static_cast<uInt>(std::min<size_type>(length, 1u << 30));
    value = crc32(value, bytes, chunk);
    bytes += chunk;
    length -= chunk;
  }
  return static_cast<std::uint32_t>(value);
#endif
}

std::vector<StringBase<char> > StringBase<char>::Split(const StringBase& text,
                                                       const StringBase& separators, bool keepEmpty,
                                                       const StringBase& openQuotes,
                                                       const StringBase& closeQuotes) {
  std::vector<StringBase> pieces;
  if (text.IsEmpty()) return pieces;
  bool isSeparator[256] = {};
  for (char c : separators.text_) isSeparator[static_cast<unsigned char>(c)] = true;
  const std::string& s = text.text_;
  size_type pieceStart = 0;
  char closing = 0;
  bool quoted = false;
  for (size_type i = 0; i <= s.size(); ++i) {
    if (i < s.size()) {
      const char c = s[i];
      if (quoted) {
        if (c == closing) quoted = false;
        continue;
      }
      const size_type quote = openQuotes.text_.find(c);
      if (quote != std::string::npos && quote < closeQuotes.text_.size()) {
        quoted = true;
        closing = closeQuotes.text_[quote];
        continue;
      }
      if (!isSeparator[static_cast<unsigned char>(c)]) continue;
    }
    if (keepEmpty || i > pieceStart) pieces.emplace_back(s.substr(pieceStart, i - pieceStart));
    pieceStart = i + 1;
  }
  return pieces;
}

std::ostream& operator<<(std::ostream& out, const StringBase<char>& text) {
  return out.write(text.GetBuffer(), static_cast<std::streamsize>(text.GetLength()));
}

}  // namespace Port
