// Version: parsing of both notations, the two text forms, the order, and
// input that is in neither notation (long, binary, out of range).

#include "mintu/Mintu_Version.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using Mintu::StringBase;
using Mintu::Version;

namespace {

// Parses `text` and tells whether it was recognised.
bool Parses(const StringBase& text) {
  Version v("");
  return v.Assign(text);
}

// Constructs and assigns `input`; `text` and `underscore` are the normal and
// underscore forms, empty when `input` is in neither notation.
void CheckParse(const std::string& input, const std::string& text, const std::string& underscore) {
  SCOPED_TRACE(testing::Message() << "input \"" << input << "\"");
  const bool parsed = !text.empty();
  const Version constructed{StringBase(input)};
  EXPECT_EQ(constructed.IsValid(), parsed);
  EXPECT_EQ(constructed.GetText().str(), parsed ? text : input);
  EXPECT_EQ(constructed.VersionString().str(), parsed ? underscore : "_" + input);
  // Assign gives the same state as construction, whatever was held before
  // (here a letter, which a Mintaro version must not keep).
  Version assigned("1.00.a");
  EXPECT_EQ(assigned.Assign(input), parsed);
  EXPECT_EQ(assigned.VersionString(), constructed.VersionString());
  EXPECT_TRUE(assigned == constructed);
  if (parsed) {
    // Both forms (the underscore one without "_") read back as the same version.
    EXPECT_TRUE(Parses(constructed.GetText()));
    EXPECT_TRUE(Version(underscore.substr(1)) == constructed);
  }
}

TEST(Version, ParsesBothNotations) {
  const char* const cases[][3] = {
      // Mintaro notation: prefix optional, either separator, minor without leading zeros.
      {"v3_1", "3.1", "_v3_1"},
      {"V3.1", "3.1", "_v3_1"},
      {"3_01", "3.1", "_v3_1"},
      {"V12.04", "12.4", "_v12_4"},
      {"007.08", "7.8", "_v7_8"},
      {"0.0", "0.0", "_v0_0"},
      // PSF notation: two minor digits kept, letter lower-cased, separators mixed.
      {"1.00.a", "1.00.a", "_v1_00_a"},
      {"v1_00_a", "1.00.a", "_v1_00_a"},
      {"V1.00.A", "1.00.a", "_v1_00_a"},
      {"2_03.B", "2.03.b", "_v2_03_b"},
      {"v10_99_z", "10.99.z", "_v10_99_z"},
      // Numbers above 2^31 - 1 print unsigned; the largest 32-bit value still parses.
      {"2147483648.1", "2147483648.1", "_v2147483648_1"},
      {"4294967295.4294967295", "4294967295.4294967295", "_v4294967295_4294967295"},
      {"v4294967295_00_a", "4294967295.00.a", "_v4294967295_00_a"}};
  for (const auto& c : cases) CheckParse(c[0], c[1], c[2]);
}

TEST(Version, KeepsTextInNeitherNotationUnchanged) {
  const std::string inputs[] = {"1.0.a", "1.000.a", "1.2.3", "x3.1", " 3.1", "3.1 ", "3.", ".1",
                                "3..1", "vv3.1", "v", "3", "1.00.ab", "1.00._", "", "3.1\n",
                                "\n3.1", "1.00.a\n", "%s%n.%d", std::string(1, '\xff') + "3.1",
                                "3.1\xc3\xa9", std::string("3.1\0x", 5), std::string("3\0.1", 4),
                                // Numbers that do not fit in 32 bits.
                                "4294967296.1", "1.4294967296", "v99999999999_00_a"};
  for (const std::string& input : inputs) CheckParse(input, "", "");
}

TEST(Version, CopyAndAssignmentCopyAllFields) {
  const Version parsed("v1_02_b");
  const Version unparsed("1.2.3");
  Version copy(parsed);
  EXPECT_EQ(copy.VersionString(), StringBase("_v1_02_b"));
  copy = unparsed;
  EXPECT_EQ(copy.VersionString(), StringBase("_1.2.3"));
  EXPECT_TRUE(copy < parsed);
  copy = parsed;
  Version& self = copy;
  copy = self;
  EXPECT_EQ(copy.VersionString(), StringBase("_v1_02_b"));
}

TEST(Version, OrderIsAStrictOrderAgreeingWithTheTable) {
  // Ascending: non-empty unparsed texts in byte order (bytes unsigned, prefix
  // first), then parsed versions by major, minor and letter (none first),
  // then the empty version. Equal spellings are covered by the parsing tests.
  const char* const ascending[] = {" 3.1",   "1.0.a", "ab",     "abc",    "abd",          "\xff",
                                   "0.0",    "1.0",   "1.00.a", "1.00.b", "1.01.a",       "1.5",
                                   "1.05.b", "2.0",   "9.99.z", "10.1",   "2147483648.0", ""};
  const int n = sizeof ascending / sizeof ascending[0];
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      SCOPED_TRACE(testing::Message()
                   << "\"" << ascending[i] << "\" vs \"" << ascending[j] << "\"");
      const Version a(ascending[i]);
      const Version b(ascending[j]);
      EXPECT_EQ(a == b, i == j);
      EXPECT_EQ(a != b, i != j);
      EXPECT_EQ(a < b, i < j);
      EXPECT_EQ(a <= b, i <= j);
      EXPECT_EQ(a > b, i > j);
      EXPECT_EQ(a >= b, i >= j);
    }
  }
}

TEST(Version, LongAndBinaryTextIsKeptUnparsedWithoutFailing) {
  const std::size_t big = 4u << 20;
  std::string bytes(big, '\0');
  std::mt19937 random(7);
  for (char& c : bytes) c = static_cast<char>(random() & 0xff);
  const std::string inputs[] = {
      "v" + std::string(big, '9') + "." + std::string(big, '9'),
      std::string(big, '1') + ".00.a",
      std::string(big / 2, '1') + std::string(big / 2, '.') + "1",
      bytes,
  };
  for (const std::string& input : inputs) {
    SCOPED_TRACE(testing::Message() << input.size() << " bytes starting " << input.substr(0, 8));
    Version v("");
    bool parsed = true;
    EXPECT_NO_THROW(parsed = v.Assign(input));
    EXPECT_FALSE(parsed);
    EXPECT_EQ(v.GetText().str(), input);
    EXPECT_TRUE(v < Version("0.0"));
  }
  // Leading zeros do not matter however many there are.
  EXPECT_EQ(Version("1." + std::string(big, '0') + "1").GetText(), StringBase("1.1"));
}

TEST(Version, RandomShortTextsKeepTheInvariants) {
  // Short texts over the bytes that matter to the notations, plus NUL and a high byte.
  const std::string alphabet("vV019_.aZ \n\0\xff", 14);
  std::mt19937 random(2024);
  for (int i = 0; i < 3000; ++i) {
    std::string input;
    for (std::size_t k = random() % 9; k > 0; --k) input += alphabet[random() % alphabet.size()];
    Version v("");
    const bool parsed = v.Assign(input);
    const std::string text = v.GetText().str();
    if (!parsed) {
      ASSERT_EQ(text, input);
      continue;
    }
    // A normal form is digits, dots and perhaps a lower-case letter, and parses to itself.
    ASSERT_EQ(text.find_first_not_of("0123456789.abcdefghijklmnopqrstuvwxyz"), std::string::npos)
        << input;
    ASSERT_TRUE(Parses(text) && Version(text) == v) << input;
  }
}

}  // namespace
