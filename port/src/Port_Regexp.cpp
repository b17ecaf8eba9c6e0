// Port_Regexp over Boost.Regex (header-only). The pattern is compiled once in
// the constructor; searches never throw: an invalid pattern, or a search that
// Boost abandons as too complex, simply finds nothing.

#include "port/Port_Regexp.h"

// Boost.Regex keeps freed match blocks in a cache that is destroyed at exit,
// while a host's later exit-time code may still search: no cache.
#define BOOST_REGEX_MAX_CACHE_BLOCKS 0
#include <boost/regex.hpp>
#include <cstring>
#include <exception>

namespace {

// "^" and "$" anchor only at the ends of the whole text, and "." stops at a
// line feed, as in Perl without the /m and /s modifiers.
const boost::match_flag_type kMatchFlags = boost::match_single_line | boost::match_not_dot_newline;

// Boost can only report an empty piece by its position, which a Port_Range
// cannot express at index 0: every empty piece becomes the empty range.
Port_Range ToRange(std::size_t position, std::size_t length) {
  return length == 0 ? Port_Range() : Port_Range(position, position + length - 1);
}

}  // namespace

struct Port_Regexp::Impl {
  boost::regex regex;
  bool valid = false;
};

Port_Regexp::Port_Regexp(const Port::StringBase<char>& pattern) : impl_(new Impl) {
  try {
    impl_->regex.assign(pattern.GetBuffer(), pattern.GetBuffer() + pattern.GetLength(),
                        boost::regex::perl | boost::regex::no_mod_m);
    impl_->valid = true;
  } catch (const std::exception&) {
    impl_->valid = false;
  }
}

Port_Regexp::~Port_Regexp() = default;

bool Port_Regexp::IsValid() const { return impl_->valid; }

namespace {

// One search, its result left in `match`; false when nothing matched, the
// pattern is invalid or Boost gave up.
bool Find(const boost::regex& regex, const char* text, std::size_t length, std::size_t start,
          boost::cmatch& match) {
  if (text == nullptr || start > length) return false;
  boost::match_flag_type flags = kMatchFlags;
  // Text before `start` still counts for "^" and word boundaries.
  if (start > 0) flags |= boost::match_prev_avail;
  try {
    return boost::regex_search(text + start, text + length, match, regex, flags);
  } catch (const std::exception&) {
    return false;
  }
}

// The whole match only: the match record is kept per thread, so a search
// allocates nothing once the record has grown to the pattern's groups.
Port_Range WholeMatch(const boost::regex& regex, const char* text, std::size_t length,
                      std::size_t start) {
  // The thread's record is destroyed before the thread's last code has run
  // (the main thread's before static destructors): a search from there gets
  // a record of its own.
  static thread_local bool gone = false;  // trivially destructible: always readable
  struct Record {
    boost::cmatch match;
    ~Record() { gone = true; }
  };
  static thread_local Record record;
  boost::cmatch late;
  boost::cmatch& match = gone ? late : record.match;
  if (!Find(regex, text, length, start, match)) return Port_Range();
  return ToRange(static_cast<std::size_t>(match[0].first - text),
                 static_cast<std::size_t>(match[0].length()));
}

}  // namespace

Port_Range Port_Regexp::GetRangeOfMatch(const Port::StringBase<char>& text,
                                        std::size_t start) const {
  if (!impl_->valid) return Port_Range();
  return WholeMatch(impl_->regex, text.GetBuffer(), text.GetLength(), start);
}

Port_Range Port_Regexp::GetRangeOfMatch(const char* text, std::size_t start) const {
  if (!impl_->valid || text == nullptr) return Port_Range();
  return WholeMatch(impl_->regex, text, std::strlen(text), start);
}

bool Port_Regexp::Search(const char* text, std::size_t length, std::size_t start,
                         std::vector<Port_Range>& groups) const {
  groups.clear();
  boost::cmatch match;
  if (!impl_->valid || !Find(impl_->regex, text, length, start, match)) return false;
  for (const boost::csub_match& group : match) {
    if (!group.matched) {
      groups.push_back(Port_Range());
    } else {
      groups.push_back(ToRange(static_cast<std::size_t>(group.first - text),
                               static_cast<std::size_t>(group.length())));
    }
  }
  return true;
}
