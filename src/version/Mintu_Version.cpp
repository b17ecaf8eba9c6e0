#include "port/Port_Init.h"

#include "mintu/Mintu_Version.h"

#include <stdexcept>

#include "port/Port_Range.h"
#include "port/Port_Regexp.h"

namespace Mintu {

// The patterns of the two notations, whole text and trailing fields, are
// compiled once, on first use, so a parse only searches; as plain literals
// they are there before any static constructor of a host can parse.
struct Version::Patterns {
  Patterns()
      : psfInput("^[vV]?[0-9]+[_.][0-9][0-9][_.][a-zA-Z]$"),
        psf("[0-9]+[_.][0-9][0-9][_.][a-zA-Z]$"),
        mintaroInput("^[vV]?[0-9]+[_.][0-9]+$"),
        mintaro("[0-9]+[_.][0-9]+$"),
        mintaroMinor("[_.][0-9]+$") {}

  const Port_Regexp psfInput;
  const Port_Regexp psf;
  const Port_Regexp mintaroInput;
  const Port_Regexp mintaro;
  const Port_Regexp mintaroMinor;
};

namespace {

// The leftmost match in the whole text. The text is searched with its
// length, so an embedded NUL does not hide what follows it.
Port_Range Find(const Port_Regexp& pattern, const StringBase& text) {
  return pattern.GetRangeOfMatch(text, 0);
}

}  // namespace

const Version::Patterns& Version::CompiledPatterns() {
  // Never destroyed: a host's static destructors may still parse versions
  // after this file's statics would have gone.
  static const Patterns& patterns = *new Patterns;
  return patterns;
}

Version::Version(const StringBase& text) : isValid(false), versionText(), major(0), minor(0) {
  Parse(text);
}

Version::Version(const Version& other)
    : isValid(other.isValid),
      versionText(other.versionText),
      major(other.major),
      minor(other.minor),
      letter(other.letter) {}

Version::~Version() = default;

Version& Version::operator=(const Version& other) {
  if (this != &other) {
    isValid = other.isValid;
    versionText = other.versionText;
    major = other.major;
    minor = other.minor;
    letter = other.letter;
  }
  return *this;
}

bool Version::Assign(const StringBase& text) { return Parse(text); }

bool Version::Parse(const StringBase& text) {
  Reset(text);
  try {
    // The fields change only when a notation is recognised whole, so a
    // failed attempt leaves the state of Reset.
    if (ExtractPsfVersion(text)) return true;
    return ExtractMintaroVersion(text);
  } catch (const std::runtime_error&) {
    // A search that gives up (for instance on a pathological text) leaves
    // the version unparsed rather than failing the caller.
    Reset(text);
    return false;
  }
}

void Version::Reset(const StringBase& text) {
  isValid = false;
  versionText = text;
  major = 0;
  minor = 0;
  letter.Empty();
}

bool Version::ExtractPsfVersion(const StringBase& text) {
  isValid = false;
  const Patterns& patterns = CompiledPatterns();
  if (Find(patterns.psfInput, text).IsEmpty()) return false;

  // The match ends at the letter: ...M[_.]mm[_.]l, so the major number ends
  // five places before it and the two minor digits sit three and two before.
  const Port_Range fields = Find(patterns.psf, text);
  if (fields.IsEmpty() || fields.last < fields.first + 5) return false;
  const std::size_t first = fields.first;
  const std::size_t last = fields.last;

  std::uint32_t majorValue = 0;
  std::uint32_t minorValue = 0;
  if (!text.GetUINT32(Port_Range(first, last - 5), majorValue)) return false;
  if (!text.GetUINT32(Port_Range(last - 3, last - 2), minorValue)) return false;

  major = majorValue;
  minor = minorValue;
  letter = text.Extract(Port_Range(last, last));
  letter.MakeLower();
  // Unsigned conversions: a major number above 2^31 - 1 must not print negative.
  versionText.Format("%u.%02u.%s", major, minor, letter.c_str());
  isValid = true;
  return true;
}

bool Version::ExtractMintaroVersion(const StringBase& text) {
  isValid = false;
  const Patterns& patterns = CompiledPatterns();
  if (Find(patterns.mintaroInput, text).IsEmpty()) return false;

  const Port_Range fields = Find(patterns.mintaro, text);
  const Port_Range minorPart = Find(patterns.mintaroMinor, text);
  // The separator S follows at least one major digit, and minor digits follow S.
  if (fields.IsEmpty() || minorPart.IsEmpty()) return false;
  const std::size_t first = fields.first;
  const std::size_t separator = minorPart.first;
  if (separator <= first || minorPart.last <= separator) return false;

  std::uint32_t majorValue = 0;
  std::uint32_t minorValue = 0;
  if (!text.GetUINT32(Port_Range(first, separator - 1), majorValue)) return false;
  if (!text.GetUINT32(Port_Range(separator + 1, minorPart.last), minorValue)) return false;

  major = majorValue;
  minor = minorValue;
  letter.Empty();
  versionText.Format("%u.%u", major, minor);
  isValid = true;
  return true;
}

bool Version::IsValid() const { return isValid; }

const StringBase Version::GetText() const { return versionText; }

const StringBase Version::VersionString() const {
  StringBase result;
  if (!isValid) {
    // Appended rather than formatted with "%s": the text may hold a NUL.
    result.Reserve(versionText.GetLength() + 1);
    result.Append('_');
    result.Append(versionText);
  } else if (letter.IsEmpty()) {
    result.Format("_v%u_%u", major, minor);
  } else {
    result.Format("_v%u_%02u_%s", major, minor, letter.c_str());
  }
  return result;
}

bool Version::operator==(const Version& other) const { return versionText == other.versionText; }

bool Version::operator!=(const Version& other) const { return !(*this == other); }

bool Version::operator<(const Version& other) const {
  const bool emptyA = versionText.IsEmpty();
  const bool emptyB = other.versionText.IsEmpty();
  // Every non-empty version sorts before the empty one.
  if (!emptyA && emptyB) return true;
  // The empty version (which never parses) is less than nothing, not even a
  // non-empty unparsed text, so it stays last and the order stays strict.
  if (emptyA) return false;
  if (!isValid && other.isValid) return true;
  if (!isValid && !other.isValid) return versionText < other.versionText;
  if (isValid && !other.isValid) return false;
  if (major != other.major) return major < other.major;
  if (minor != other.minor) return minor < other.minor;
  return letter < other.letter;
}

bool Version::operator<=(const Version& other) const { return *this == other || *this < other; }

bool Version::operator>(const Version& other) const { return *this != other && !(*this < other); }

bool Version::operator>=(const Version& other) const { return !(*this < other); }

}  // namespace Mintu
