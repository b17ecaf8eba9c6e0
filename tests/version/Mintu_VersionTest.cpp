// Version: parsing of both notations, the two text forms, the order, and
// input that is in neither notation (long, binary, out of range).

#include "mintu/Mintu_Version.h"

#include <gtest/gtest.h>

#include <algorithm>
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

struct ParseCase {
  std::string input;
  bool parsed;
  std::string text;        // normalised text (the input itself when unparsed)
  std::string underscore;  // VersionString()
};

const std::vector<ParseCase>& ParseCases() {
  static const std::vector<ParseCase> cases = {
      // Mintaro notation: prefix optional, either separator, minor without leading zeros.
      {"v3_1", true, "3.1", "_v3_1"},
      {"V3.1", true, "3.1", "_v3_1"},
      {"3.1", true, "3.1", "_v3_1"},
      {"3_01", true, "3.1", "_v3_1"},
      {"V12.04", true, "12.4", "_v12_4"},
      {"007.08", true, "7.8", "_v7_8"},
      {"1.05", true, "1.5", "_v1_5"},
      {"0.0", true, "0.0", "_v0_0"},
      // PSF notation: two minor digits kept, letter lower-cased, separators mixed.
      {"1.00.a", true, "1.00.a", "_v1_00_a"},
      {"v1_00_a", true, "1.00.a", "_v1_00_a"},
      {"V1.00.A", true, "1.00.a", "_v1_00_a"},
      {"1_00.a", true, "1.00.a", "_v1_00_a"},
      {"2_03.B", true, "2.03.b", "_v2_03_b"},
      {"1.05.b", true, "1.05.b", "_v1_05_b"},
      {"v10_99_z", true, "10.99.z", "_v10_99_z"},
      // Numbers above 2^31 - 1 print unsigned; the largest 32-bit value still parses.
      {"2147483648.1", true, "2147483648.1", "_v2147483648_1"},
      {"4294967295.4294967295", true, "4294967295.4294967295", "_v4294967295_4294967295"},
      {"v4294967295_00_a", true, "4294967295.00.a", "_v4294967295_00_a"},
      // Neither notation: kept unchanged.
      {"1.0.a", false, "1.0.a", "_1.0.a"},
      {"1.000.a", false, "1.000.a", "_1.000.a"},
      {"1.2.3", false, "1.2.3", "_1.2.3"},
      {"x3.1", false, "x3.1", "_x3.1"},
      {" 3.1", false, " 3.1", "_ 3.1"},
      {"3.1 ", false, "3.1 ", "_3.1 "},
      {"3.", false, "3.", "_3."},
      {".1", false, ".1", "_.1"},
      {"3..1", false, "3..1", "_3..1"},
      {"vv3.1", false, "vv3.1", "_vv3.1"},
      {"v", false, "v", "_v"},
      {"3", false, "3", "_3"},
      {"1.00.ab", false, "1.00.ab", "_1.00.ab"},
      {"1.00._", false, "1.00._", "_1.00._"},
      {"abc", false, "abc", "_abc"},
      {"", false, "", "_"},
      {"3.1\n", false, "3.1\n", "_3.1\n"},
      {"\n3.1", false, "\n3.1", "_\n3.1"},
      {"1.00.a\n", false, "1.00.a\n", "_1.00.a\n"},
      {"%s%n.%d", false, "%s%n.%d", "_%s%n.%d"},
      {"\xff" + std::string("3.1"), false, "\xff" + std::string("3.1"),
       "_\xff" + std::string("3.1")},
      {"3.1\xc3\xa9", false, "3.1\xc3\xa9", "_3.1\xc3\xa9"},
      {std::string("3.1\0x", 5), false, std::string("3.1\0x", 5), std::string("_3.1\0x", 6)},
      {std::string("3\0.1", 4), false, std::string("3\0.1", 4), std::string("_3\0.1", 5)},
      // Numbers that do not fit in 32 bits leave the version unparsed.
      {"4294967296.1", false, "4294967296.1", "_4294967296.1"},
      {"1.4294967296", false, "1.4294967296", "_1.4294967296"},
      {"v99999999999_00_a", false, "v99999999999_00_a", "_v99999999999_00_a"},
  };
  return cases;
}

TEST(Version, ParsesBothNotationsAndKeepsOtherTextUnchanged) {
  for (const ParseCase& c : ParseCases()) {
    SCOPED_TRACE(testing::Message() << "input \"" << c.input << "\"");
    const Version constructed{StringBase(c.input)};
    EXPECT_EQ(constructed.GetText().str(), c.text);
    EXPECT_EQ(constructed.VersionString().str(), c.underscore);
    EXPECT_EQ(constructed.IsValid(), c.parsed);
    EXPECT_EQ(Parses(c.input), c.parsed);

    // Assign gives the same state as construction, whatever was held before
    // (here a letter, which a Mintaro version must not keep).
    Version assigned("1.00.a");
    EXPECT_EQ(assigned.Assign(c.input), c.parsed);
    EXPECT_EQ(assigned.IsValid(), c.parsed);
    EXPECT_EQ(assigned.GetText().str(), c.text);
    EXPECT_EQ(assigned.VersionString().str(), c.underscore);
    EXPECT_TRUE(assigned == constructed);

    if (c.parsed) {
      // The normal form and the underscore form (without "_") read back as the same version.
      EXPECT_TRUE(Parses(constructed.GetText()));
      EXPECT_TRUE(Version(constructed.GetText()) == constructed);
      const std::string bare = c.underscore.substr(1);
      EXPECT_TRUE(Version(bare) == constructed);
    }
  }
}

TEST(Version, CopyAndAssignmentCopyAllFields) {
  const Version parsed("v1_02_b");
  const Version unparsed("1.2.3");

  Version copy(parsed);
  EXPECT_TRUE(copy == parsed);
  EXPECT_EQ(copy.VersionString(), StringBase("_v1_02_b"));
  EXPECT_FALSE(copy < parsed);

  copy = unparsed;
  EXPECT_EQ(copy.VersionString(), StringBase("_1.2.3"));
  EXPECT_TRUE(copy < parsed);

  copy = parsed;
  Version& self = copy;
  copy = self;
  EXPECT_EQ(copy.VersionString(), StringBase("_v1_02_b"));
  EXPECT_TRUE(copy > unparsed);
}

// Versions in ascending order; equal ranks are equal versions.
struct Ranked {
  std::string text;
  int rank;
};

const std::vector<Ranked>& OrderTable() {
  static const std::vector<Ranked> table = {
      // Non-empty unparsed texts, in byte order (bytes unsigned, prefix first).
      {" 3.1", 0},
      {"1.0.a", 1},
      {"ab", 2},
      {"abc", 3},
      {"abd", 4},
      {"x3.1", 5},
      {"\xff", 6},
      // Parsed versions by major, minor, then letter (none first).
      {"0.0", 10},
      {"1.0", 11},
      {"1.00.a", 12},
      {"v1_00_a", 12},
      {"V1.00.A", 12},
      {"1.00.b", 13},
      {"1.01.a", 14},
      {"1.5", 15},
      {"1.05", 15},
      {"v1_5", 15},
      {"1.05.b", 16},
      {"1.99.z", 17},
      {"2.0", 18},
      {"9.99.z", 19},
      {"10.1", 20},
      {"2147483648.0", 21},
      {"4294967295.4294967295", 22},
      // The empty version last.
      {"", 30},
  };
  return table;
}

TEST(Version, OrderIsAStrictWeakOrderAgreeingWithTheTable) {
  const std::vector<Ranked>& table = OrderTable();
  for (const Ranked& a : table) {
    for (const Ranked& b : table) {
      SCOPED_TRACE(testing::Message() << "\"" << a.text << "\" vs \"" << b.text << "\"");
      const Version va(a.text);
      const Version vb(b.text);
      EXPECT_EQ(va == vb, a.rank == b.rank);
      EXPECT_EQ(va < vb, a.rank < b.rank);
      // The derived operators follow from == and < alone.
      EXPECT_EQ(va != vb, !(va == vb));
      EXPECT_EQ(va <= vb, (va == vb) || (va < vb));
      EXPECT_EQ(va >= vb, !(va < vb));
      EXPECT_EQ(va > vb, (va != vb) && !(va < vb));
      // Asymmetry, and == coincides with the equivalence of <.
      EXPECT_FALSE((va < vb) && (vb < va));
      EXPECT_EQ(va == vb, !(va < vb) && !(vb < va));
    }
  }
}

TEST(Version, SortingAShuffledTableGivesTheTableOrder) {
  std::vector<Ranked> shuffled = OrderTable();
  std::mt19937 random(12345);
  for (int round = 0; round < 5; ++round) {
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    std::vector<Version> versions;
    for (const Ranked& r : shuffled) versions.emplace_back(r.text);
    std::stable_sort(versions.begin(), versions.end());
    for (std::size_t i = 0; i + 1 < versions.size(); ++i) {
      EXPECT_TRUE(versions[i] <= versions[i + 1])
          << versions[i].GetText() << " then " << versions[i + 1].GetText();
    }
    EXPECT_TRUE(versions.back().GetText().IsEmpty());
  }
}

TEST(Version, LongAndBinaryTextIsKeptUnparsedWithoutFailing) {
  const std::size_t big = 4u << 20;
  std::vector<std::string> inputs = {
      std::string(big, '1'),
      "v" + std::string(big, '9') + "." + std::string(big, '9'),
      "1." + std::string(big, '0') + "1",  // minor 1 behind four million zeros
      std::string(big, '1') + ".00.a",
      std::string(big, '.'),
      std::string(big, '\0'),
      std::string(big / 2, '1') + std::string(big / 2, '.') + "1",
  };
  std::string bytes(big, '\0');
  std::mt19937 random(7);
  for (char& c : bytes) c = static_cast<char>(random() & 0xff);
  inputs.push_back(bytes);

  for (const std::string& input : inputs) {
    SCOPED_TRACE(testing::Message()
                 << "input of " << input.size() << " bytes starting " << input.substr(0, 8));
    Version v("");
    bool parsed = true;
    EXPECT_NO_THROW(parsed = v.Assign(input));
    if (input.compare(0, 2, "1.") == 0 && input.size() == big + 3) {
      // Leading zeros do not matter however many there are.
      EXPECT_TRUE(parsed);
      EXPECT_EQ(v.GetText(), StringBase("1.1"));
      continue;
    }
    EXPECT_FALSE(parsed);
    EXPECT_EQ(v.GetText().str(), input);
    EXPECT_EQ(v.VersionString().GetLength(), input.size() + 1);
    EXPECT_TRUE(v < Version("0.0"));
  }
}

TEST(Version, RandomShortTextsKeepTheInvariants) {
  // Short texts over the bytes that matter to the notations, plus NUL and a high byte.
  const std::string alphabet("vV019_.aZ \n\0\xff", 14);
  std::mt19937 random(2024);
  for (int i = 0; i < 3000; ++i) {
    std::string input;
    const std::size_t length = random() % 9;
    for (std::size_t k = 0; k < length; ++k) input += alphabet[random() % alphabet.size()];
    Version v("");
    const bool parsed = v.Assign(input);
    const std::string text = v.GetText().str();
    if (!parsed) {
      ASSERT_EQ(text, input);
      continue;
    }
    // A parsed version's normal form is digits and dots, optionally a lower-case letter, and
    // parses back to itself.
    ASSERT_FALSE(text.empty());
    ASSERT_EQ(text.find_first_not_of("0123456789.abcdefghijklmnopqrstuvwxyz"), std::string::npos)
        << input;
    ASSERT_TRUE(Version(text) == v) << input;
    ASSERT_TRUE(Parses(text)) << input;
  }
}

}  // namespace
