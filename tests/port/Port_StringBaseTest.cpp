#include "port/Port_StringBase.h"

#include <gtest/gtest.h>
#include <zlib.h>

using Text = Port::StringBase<char>;
using Pieces = std::vector<Text>;

TEST(Port_StringBaseTest, SplitKeepsOrDropsEmptyPieces) {
  EXPECT_EQ(Text::Split("a,,b,", ",", true, "", ""), (Pieces{"a", "", "b", ""}));
  EXPECT_EQ(Text::Split("a,,b,", ",", false, "", ""), (Pieces{"a", "b"}));
  // Separators inside a quoted stretch do not cut.
  EXPECT_EQ(Text::Split("a \"b\tc\"\t[d e]", " \t", false, "\"[", "\"]"),
            (Pieces{"a", "\"b\tc\"", "[d e]"}));
}

TEST(Port_StringBaseTest, Crc32IsZlibsAndContinuesOverPieces) {
  std::string bytes(200000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 % 251);
  EXPECT_EQ(Text(bytes).CRC32(),
            crc32_z(0L, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
  EXPECT_EQ(Text::CRC32(Text("1234").CRC32(), "56789", 5), 0xCBF43926u);  // the check value
  EXPECT_EQ(Text::CRC32(0, nullptr, 0), 0u);
}

TEST(Port_StringBaseTest, FormatFollowsPrintf) {
  EXPECT_EQ(Text::doFormat("%05.1f|%-3s|%x|%d%%", 2.25, "a", 255u, -3), Text("002.2|a  |ff|-3%"));
  for (std::size_t size : {253u, 254u, 5000u}) {  // 256 bytes and more take a second pass
    const std::string big(size, 'b');
    EXPECT_EQ(Text::doFormat("<%s>", big.c_str()), Text("<" + big + ">")) << size;
  }
  EXPECT_EQ(Text("old").Format("%d-%s", 7, "new"), Text("7-new"));
}

// The exact and the case-blind order of `a` against `b`.
std::string Order(const char* a, const char* b) {
  const auto sign = [](int v) { return v < 0 ? '<' : v > 0 ? '>' : '='; };
  return {sign(Text(a).Compare(b)), sign(Text(a).Compare(b, Port::COMPARE_NOCASE)), ' '};
}

TEST(Port_StringBaseTest, ComparesEditsAndSearches) {
  EXPECT_EQ(Order("abc", "ABC") + Order("ab", "abc") + Order("\x80", "a") + Order("B", "a") +
                Order("[", "a"),
            ">= << >> <> << ");
  Text text("a-b-A-b");
  EXPECT_EQ(text.Replace("-", "--", Port::COMPARE_EXACT, false), 1u);
  EXPECT_EQ(text.Replace("B", "y", Port::COMPARE_NOCASE), 2u);
  EXPECT_EQ(text.Replace("", "z") + text.Replace("q", "z"), 0u);
  EXPECT_EQ(text, Text("a--y-A-y"));
  Text grow("aa");
  EXPECT_EQ(grow.Replace("a", "aa") + grow.ReplaceChars('a', 'b'), 6u);  // not searched again
  EXPECT_EQ(grow, Text("bbbb"));
  EXPECT_EQ(Text(" \tx \t").Trim(" \t", Port::TRIM_LEFT) +
                Text(" \tx \t").Trim(" \t", Port::TRIM_RIGHT) + Text(" \t ").Trim(),
            Text("x \t \tx"));  // blanks by default, both ends
  text.Assign(Text("Path/To"), true);
  EXPECT_EQ(text + Text("aBz\xC4").MakeUpper(), Text("path/toABZ\xC4"));  // ASCII letters only
  EXPECT_EQ(Text("a\0b", 3).str() + Text(nullptr, 2).str(), std::string("a\0b", 3));
  EXPECT_EQ(text.Extract(Port_Range(1, 3)) + text.Extract(Port_Range(5, 100)), Text("athto"));
  EXPECT_EQ(text.Extract(Port_Range(7, 9)), Text());
  EXPECT_EQ(text.Extract(Port_Range(3, 2)), Text());
  EXPECT_EQ(text.GetIndexOfString("T", Port::COMPARE_NOCASE, 3), 5u);
  EXPECT_EQ(text.GetIndexOfString("x", Port::COMPARE_NOCASE), Text::NOT_FOUND);
  EXPECT_EQ(text.GetIndexOfString("t", Port::COMPARE_EXACT, 99), Text::NOT_FOUND);
}

// The text as GetINT32 and GetUINT32 read it (a range past the end is clipped); "-" where
// refused with the value untouched.
std::string Read(const std::string& text) {
  std::int32_t i = 77;
  std::uint32_t u = 77;
  const bool intOk = Text(text).GetINT32(Port_Range(0, 99), i);
  const bool uintOk = Text(text).GetUINT32(Port_Range(0, 99), u);
  const std::string si = intOk ? std::to_string(i) : i == 77 ? "-" : "?";
  const std::string su = uintOk ? std::to_string(u) : u == 77 ? "-" : "?";
  return si + " " + su;
}

TEST(Port_StringBaseTest, NumbersMustFillTheRange) {
  // The text, ">", and what the two read.
  for (const std::string c :
       {"0>0 0", "-42>-42 -", "+7>7 -", "2147483647>2147483647 2147483647",
        "-2147483648>-2147483648 -", "2147483648>- 2147483648", "4294967295>- 4294967295",
        "4294967296>- -", "99999999999999999999>- -", "12a>- -", " 12>- -", "1-2>- -", "->- -",
        ">- -"}) {
    EXPECT_EQ(Read(c.substr(0, c.find('>'))), c.substr(c.find('>') + 1)) << c;
  }
  // Only the range is read.
  std::int32_t value = 0;
  EXPECT_TRUE(Text("v=123;").GetINT32(Port_Range(2, 4), value));
  EXPECT_EQ(value, 123);
  EXPECT_FALSE(Text("123").GetINT32(Port_Range(), value));
}
