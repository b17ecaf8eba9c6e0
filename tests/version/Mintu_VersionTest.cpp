// Version: both notations and their two text forms, text in neither kept as it is, the order.
#include "mintu/Mintu_Version.h"

#include <gtest/gtest.h>

#include <string>

using Mintu::Version;
using namespace std::string_literals;

// `input` parses to `text` and `underscore`; or, both empty, stays as it is.
static void Check(const std::string& input, const std::string& text,
                  const std::string& underscore) {
  SCOPED_TRACE("input \"" + input.substr(0, 40) + "\"");
  const bool parsed = !text.empty();
  const Version constructed(input);
  EXPECT_EQ(constructed.IsValid(), parsed);
  EXPECT_EQ(constructed.GetText().str(), parsed ? text : input);
  EXPECT_EQ(constructed.VersionString().str(), parsed ? underscore : "_" + input);
  // Assign gives the state of construction, whatever was held (here a letter); so do copies.
  Version assigned("1.00.a"), copied(assigned);
  EXPECT_EQ(assigned.Assign(input), parsed);
  copied = Version(constructed);
  EXPECT_EQ(assigned.VersionString(), constructed.VersionString());
  EXPECT_TRUE(copied == constructed);
  EXPECT_EQ(copied.VersionString(), constructed.VersionString());
  if (!parsed) return;
  EXPECT_TRUE(Version(underscore.substr(1)) == constructed);  // reads back
}

TEST(Version, ParsesBothNotationsAndKeepsOtherTextAsItIs) {
  // Mintaro: prefix optional, either separator, minor without leading zeros. PSF: two minor
  // digits kept, letter lower-cased, separators mixed. Numbers above 2^31 - 1 print unsigned.
  const char* const cases[][3] = {
      {"v3_1", "3.1", "_v3_1"},         {"V12.04", "12.4", "_v12_4"},
      {"007.08", "7.8", "_v7_8"},       {"0.0", "0.0", "_v0_0"},
      {"1.00.a", "1.00.a", "_v1_00_a"}, {"V1.00.A", "1.00.a", "_v1_00_a"},
      {"2_03.B", "2.03.b", "_v2_03_b"}};
  for (const auto& c : cases) Check(c[0], c[1], c[2]);
  Check("4294967295.4294967295", "4294967295.4294967295", "_v4294967295_4294967295");
  Check("v4294967295_00_a", "4294967295.00.a", "_v4294967295_00_a");
  Check("1." + std::string(4u << 20, '0') + "1", "1.1", "_v1_1");
  // Text in neither notation is kept as it is.
  const std::size_t big = 4u << 20;
  const std::string inputs[] = {
      "1.0.a", "1.000.a", "1.2.3", "x3.1", " 3.1", "3.1 ", "3.", ".1", "3..1", "vv3.1", "v", "3",
      "1.00.ab", "", "3.1\n", "\n3.1", "1.00.a\n", "%s%n.%d", "\xff\x33.1", "3.1\0x"s, "3\0.1"s,
      // Numbers beyond 32 bits, and megabytes.
      "4294967296.1", "1.4294967296", "v99999999999_00_a", "v" + std::string(big, '9') + ".9",
      std::string(big, '1') + ".00.a", std::string(big / 2, '1') + std::string(big / 2, '.') + "1"};
  for (const std::string& input : inputs) Check(input, "", "");
}

TEST(Version, OrderIsAStrictOrderAgreeingWithTheTable) {
  // Ascending: unparsed texts in byte order (bytes unsigned, prefix first), then
  // versions by major, minor and letter (none first), then the empty version.
  const char* const ascending[] = {" 3.1",   "1.0.a", "ab",     "abc",    "abd",          "\xff",
                                   "0.0",    "1.0",   "1.00.a", "1.00.b", "1.01.a",       "1.5",
                                   "1.05.b", "2.0",   "9.99.z", "10.1",   "2147483648.0", ""};
  const int n = sizeof ascending / sizeof ascending[0];
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      SCOPED_TRACE("\""s + ascending[i] + "\" vs \"" + ascending[j] + "\"");
      const Version a(ascending[i]), b(ascending[j]);
      EXPECT_EQ(a == b, i == j);
      EXPECT_EQ(a != b, i != j);
      EXPECT_EQ(a < b, i < j);
      EXPECT_EQ(a <= b, i <= j);
      EXPECT_EQ(a > b, i > j);
      EXPECT_EQ(a >= b, i >= j);
    }
  }
}
