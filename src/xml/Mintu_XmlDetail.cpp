// The XML model's private helpers: the exception funnel and tag splitting.
#include "port/Port_Init.h"

#include "Mintu_XmlDetail.h"

#include <cstdarg>
#include <string>

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

bool SplitTag(const StringBase& tag, const StringBase& separators, StringBase& nameSpace,
              StringBase& name) {
  // The tokenizer gives no piece for the empty text, and keeps the empty
  // pieces around leading, trailing and doubled separators.
  typedef boost::tokenizer<boost::char_separator<char>, std::string::const_iterator, std::string>
      Tokenizer;
  const boost::char_separator<char> separator(separators.c_str(), "", boost::keep_empty_tokens);
  const Tokenizer pieces(tag.str(), separator);
  StringBase parts[2];
  int count = 0;
  for (Tokenizer::const_iterator it = pieces.begin(); it != pieces.end(); ++it) {
    if (count == 2) {
      return false;
    }
    parts[count++] = StringBase(*it);
  }
  if (count == 1) {
    nameSpace.Empty();
    name.swap(parts[0]);
    return true;
  }
  if (count == 2) {
    nameSpace.swap(parts[0]);
    name.swap(parts[1]);
    return true;
  }
  return false;
}

}  // namespace Detail
}  // namespace Mintu
