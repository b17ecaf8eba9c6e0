// The XML model's private helpers: the exception funnel and tag splitting.
#include "port/Port_Init.h"

#include "Mintu_XmlDetail.h"

#include <cstdarg>
#include <cstring>
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

// The character traits of the separator set: the tokenizer looks every byte
// of the tag up in that set, and tags are short, so a plain inline loop beats
// a call into the library's search.
struct SeparatorTraits : std::char_traits<char> {
  static const char* find(const char* s, std::size_t n, const char& c) {
    for (; n != 0; --n, ++s) {
      if (*s == c) {
        return s;
      }
    }
    return nullptr;
  }
};

// Splits a tag holding a separator with the tokenizer: true for one or two
// pieces, with the length of the first.
bool TokenizeTag(const char* begin, const char* end, const StringBase& separators,
                 std::uint32_t& separator) {
  // One iterator walks the pieces and is asked whether it is done, so the
  // separator set is copied once rather than into every iterator of a
  // tokenizer range.
  typedef boost::char_separator<char, SeparatorTraits> Separator;
  typedef boost::token_iterator<Separator, const char*, Piece> PieceIterator;
  PieceIterator it(Separator(separators.c_str(), "", boost::keep_empty_tokens), begin, end);
  std::size_t count = 0;
  std::size_t firstLength = 0;
  for (; !it.at_end(); ++it) {
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

// The tags lately split on this thread with ":" and what the tokenizer made
// of them. A tree repeats a handful of tags over and over, and the split
// depends on the bytes of the tag alone, so a tag seen again is not cut
// again. Two-way set-associative, found by a hash of the tag's length and
// last bytes. Per thread, so that threads building trees of their own
// share nothing.
struct SplitMemo {
  static const std::size_t SETS = 32;
  static const std::size_t MAX_TAG = 26;
  struct Entry {
    std::uint32_t length;  // 0: unused (the empty tag is never split)
    std::uint32_t separator;
    bool valid;
    char bytes[MAX_TAG];
  };
  struct Set {
    Entry ways[2];
    unsigned char older;  // the way to replace next
  };
  Set sets[SETS];
};

// The ordinary thread-local model: the library is also loaded at run time
// (by the Java virtual machine), where a block this size may not fit in the
// static TLS surplus that a faster model would need.
thread_local SplitMemo memo = {};

// Whether two runs of bytes are equal, by words: tags are short, and the
// last word (which may overlap the one before) covers the rest.
inline std::uint64_t Word(const char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

bool SameBytes(const char* a, const char* b, std::size_t length) {
  if (length < 8) {
    for (std::size_t i = 0; i < length; ++i) {
      if (a[i] != b[i]) {
        return false;
      }
    }
    return true;
  }
  for (std::size_t i = 0; i + 8 < length; i += 8) {
    if (Word(a + i) != Word(b + i)) {
      return false;
    }
  }
  return Word(a + length - 8) == Word(b + length - 8);
}

// The set of a tag: its length and last bytes, mixed.
std::size_t MemoSet(const char* tag, std::size_t length) {
  std::uint64_t key = length;
  if (length >= 8) {
    key += Word(tag + length - 8);
  } else {
    for (std::size_t i = 0; i < length; ++i) {
      key = key * 131 + static_cast<unsigned char>(tag[i]);
    }
  }
  key ^= key >> 33;
  key *= 0xff51afd7ed558ccdULL;
  key ^= key >> 33;
  return static_cast<std::size_t>(key % SplitMemo::SETS);
}

bool Holds(const char* text, std::size_t length, char c) {
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] == c) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool SplitTag(const StringBase& tag, const StringBase& separators, std::uint32_t& separator) {
  const char* const begin = tag.GetBuffer();
  const std::size_t length = tag.GetLength();
  if (length == 0) {
    return false;  // the tokenizer gives no piece for the empty text
  }
  // Only tags holding a separator are remembered, so a remembered tag is
  // known to hold one.
  const bool memorable =
      length <= SplitMemo::MAX_TAG && separators.GetLength() == 1 && separators.GetAt(0) == ':';
  SplitMemo::Set* set = nullptr;
  if (memorable) {
    set = &memo.sets[MemoSet(begin, length)];
    for (unsigned way = 0; way < 2; ++way) {
      const SplitMemo::Entry& entry = set->ways[way];
      if (entry.length == length && SameBytes(entry.bytes, begin, length)) {
        set->older = static_cast<unsigned char>(1 - way);
        separator = entry.separator;
        return entry.valid;
      }
    }
  }
  bool holdsSeparator = false;
  for (std::size_t i = 0; i < separators.GetLength() && !holdsSeparator; ++i) {
    holdsSeparator = Holds(begin, length, separators.GetAt(i));
  }
  if (!holdsSeparator) {
    separator = NO_SEPARATOR;  // one piece, the whole tag
    return true;
  }
  const bool valid = TokenizeTag(begin, begin + length, separators, separator);
  if (set != nullptr) {
    SplitMemo::Entry& entry = set->ways[set->older];
    set->older = static_cast<unsigned char>(1 - set->older);
    entry.length = static_cast<std::uint32_t>(length);
    entry.separator = valid ? separator : NO_SEPARATOR;
    entry.valid = valid;
    std::memcpy(entry.bytes, begin, length);
  }
  return valid;
}

}  // namespace Detail
}  // namespace Mintu
