#ifndef MINTU_VERSION_H
#define MINTU_VERSION_H
// Version: the version of an IP core, in Mintaro notation (3.1, v3_1) or PSF
// notation (1.00.a, v1_00_a). Text in neither notation is kept as it is and
// still compares and orders by its text.

#include <cstdint>

#include "mintu/Mintu_Types.h"

namespace Mintu {

class MINTU_API Version {
 public:
  /// Parses `text`; text in neither notation gives an unparsed version (no
  /// sign is given: use Assign to learn the outcome). Never throws on bad text.
  Version(
      const StringBase& text);  // NOLINT(google-explicit-constructor): versions convert from text
  Version(const Version& other);
  ~Version();
  /// Copies all fields; self-assignment changes nothing.
  Version& operator=(const Version& other);

  /// Parses `text` anew into this object; true when it is in one of the two notations.
  bool Assign(const StringBase& text);

  /// Whether the text was in one of the two notations.
  bool IsValid() const;
  /// The normalised text (3.1, 1.00.a); for an unparsed version the text as given.
  const StringBase GetText() const;
  /// The underscore form used in core names: _v3_1, _v1_00_a; "_" and the text when unparsed.
  const StringBase VersionString() const;

  /// Equal when the normalised texts are equal: v3_1, 3.1 and 3.01 are equal.
  bool operator==(const Version& other) const;
  bool operator!=(const Version& other) const;
  /// Unparsed texts first (in string order), then parsed versions by major,
  /// minor and letter, then the empty version last.
  bool operator<(const Version& other) const;
  bool operator<=(const Version& other) const;
  bool operator>(const Version& other) const;
  bool operator>=(const Version& other) const;

 private:
  struct Patterns;
  /// The patterns of both notations, compiled on first use.
  static const Patterns& CompiledPatterns();

  void Reset(const StringBase& text);
  bool ExtractPsfVersion(const StringBase& text);
  bool ExtractMintaroVersion(const StringBase& text);
  bool Parse(const StringBase& text);

  bool isValid;
  StringBase versionText;
  std::uint32_t major;
  std::uint32_t minor;
  StringBase letter;
};

}  // namespace Mintu

#endif  // MINTU_VERSION_H
