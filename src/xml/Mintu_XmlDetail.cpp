// The XML model's private helpers: the exception funnel and tag splitting.
#include "port/Port_Init.h"

#include "Mintu_XmlDetail.h"

#include <cstdarg>
#include <cstring>

#include <boost/tokenizer.hpp>

#include "mintu/Mintu_AppException.h"

namespace Mintu {
namespace Detail {

void ThrowAppException(const char* format, ...) {
  va_list args;
  va_start(args, format);
  StringBase message = StringBase::doFormatV(format, args);
  va_end(args);
  throw AppException(AppException::LEVEL_ERROR, message);
}

namespace {

// A token of the tokenizer that only records where it lies in the tag, so
// that splitting allocates nothing.
struct Piece {
  const char* first = nullptr;
  const char* last = nullptr;
  void assign(const char* b, const char* e) {
    first = b;
    last = e;
  }
};

}  // namespace

bool SplitTag(const StringBase& tag, const StringBase& separators, std::uint32_t& separator) {
  const char* const begin = tag.GetBuffer();
  const char* const end = begin + tag.GetLength();
  if (begin == end) {
    return false;  // the tokenizer gives no piece for the empty text
  }
  bool holdsSeparator = false;
  for (std::size_t i = 0; i < separators.GetLength() && !holdsSeparator; ++i) {
    holdsSeparator = std::memchr(begin, separators.GetAt(i), tag.GetLength()) != nullptr;
  }
  if (!holdsSeparator) {
    separator = NO_SEPARATOR;  // one piece, the whole tag
    return true;
  }
  // The tokenizer keeps the empty pieces around leading, trailing and
  // doubled separators.
  typedef boost::tokenizer<boost::char_separator<char>, const char*, Piece> Tokenizer;
  const boost::char_separator<char> cutter(separators.c_str(), "", boost::keep_empty_tokens);
  const Tokenizer pieces(begin, end, cutter);
  std::size_t count = 0;
  std::size_t firstLength = 0;
  for (Tokenizer::const_iterator it = pieces.begin(); it != pieces.end(); ++it) {
    if (count == 2) {
      return false;
    }
    if (count == 0) {
      firstLength = static_cast<std::size_t>(it->last - it->first);
    }
    ++count;
  }
  if (count == 1) {
    separator = NO_SEPARATOR;
    return true;
  }
  if (count == 2) {
    separator = firstLength < FAR_SEPARATOR ? static_cast<std::uint32_t>(firstLength)
                                            : static_cast<std::uint32_t>(FAR_SEPARATOR);
    return true;
  }
  return false;
}

}  // namespace Detail
}  // namespace Mintu
