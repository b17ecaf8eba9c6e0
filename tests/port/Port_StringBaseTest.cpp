#include "port/Port_StringBase.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>

using Text = Port::StringBase<char>;
using Pieces = std::vector<Text>;

TEST(Port_StringBaseTest, SplitKeepsOrDropsEmptyPieces) {
  EXPECT_EQ(Text::Split("a,,b,", ",", true, "", ""), (Pieces{"a", "", "b", ""}));
  EXPECT_EQ(Text::Split("a,,b,", ",", false, "", ""), (Pieces{"a", "b"}));
  EXPECT_EQ(Text::Split(",", ",", true, "", ""), (Pieces{"", ""}));
  EXPECT_EQ(Text::Split("", ",", true, "", ""), Pieces{});
  // Separators inside a quoted stretch do not cut.
  EXPECT_EQ(Text::Split("a \"b\tc\"\t[d e]", " \t", false, "\"[", "\"]"),
            (Pieces{"a", "\"b\tc\"", "[d e]"}));
}

TEST(Port_StringBaseTest, Crc32IsZlibsAndContinuesOverPieces) {
  std::string bytes(200000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 % 251);
  const auto whole = static_cast<std::uint32_t>(
      crc32_z(0L, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
  EXPECT_EQ(Text(bytes).CRC32(), whole);
  for (std::size_t piece : {1u, 65537u}) {
    std::uint32_t crc = 0;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
      crc = Text::CRC32(crc, bytes.data() + at, std::min(piece, bytes.size() - at));
    }
    EXPECT_EQ(whole, crc) << "pieces of " << piece;
  }
  EXPECT_EQ(0xCBF43926u, Text::CRC32(Text("1234").CRC32(), "56789", 5));  // the check value
  EXPECT_EQ(0u, Text::CRC32(0, nullptr, 0));
}

TEST(Port_StringBaseTest, FormatFollowsPrintf) {
  EXPECT_EQ(Text::doFormat("%05.1f|%-3s|%x|%d%%", 2.25, "a", 255u, -3), Text("002.2|a  |ff|-3%"));
  EXPECT_EQ(Text::doFormat("%s", "%s%n%d"), Text("%s%n%d"));  // outside text only through "%s"
  for (std::size_t size : {253u, 254u, 5000u}) {  // 256 bytes and more take a second pass
    const std::string big(size, 'b');
    EXPECT_EQ(Text::doFormat("<%s>", big.c_str()), Text("<" + big + ">")) << size;
  }
  Text text("old");
  EXPECT_EQ(text.Format("%d-%s", 7, "new"), Text("7-new"));
  EXPECT_EQ(text, Text("7-new"));
}

TEST(Port_StringBaseTest, CompareModes) {
  const struct {
    const char *a, *b;
    int exact, nocase;
  } cases[] = {{"abc", "ABC", 1, 0}, {"ab", "abc", -1, -1}, {"abd", "abc", 1, 1}, {"", "", 0, 0},
               {"\x80", "a", 1, 1},  {"B", "a", -1, 1},     {"[", "a", -1, -1}};
  const auto sign = [](int v) { return (v > 0) - (v < 0); };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
    EXPECT_EQ(sign(Text(c.a).Compare(c.b)), c.exact);
    EXPECT_EQ(sign(Text(c.a).Compare(c.b, Port::COMPARE_NOCASE)), c.nocase);
    EXPECT_EQ(sign(Text(c.b).Compare(c.a, Port::COMPARE_NOCASE)), -c.nocase);
    EXPECT_EQ(Text(c.a) < Text(c.b), c.exact < 0);
  }
  EXPECT_LT(Text("a", 1), Text("a\0", 2));  // a proper prefix sorts first
}

TEST(Port_StringBaseTest, EditsInPlace) {
  Text text("a-b-A-b");
  EXPECT_EQ(text.Replace("-", "--", Port::COMPARE_EXACT, false), 1u);
  EXPECT_EQ(text.Replace("B", "y", Port::COMPARE_NOCASE), 2u);
  EXPECT_EQ(text.Replace("", "z") + text.Replace("q", "z"), 0u);
  EXPECT_EQ(text, Text("a--y-A-y"));
  Text grow("aa");
  EXPECT_EQ(grow.Replace("a", "aa") + grow.ReplaceChars('a', 'b'), 6u);  // not searched again
  EXPECT_EQ(grow, Text("bbbb"));
  EXPECT_EQ(Text(" \tx y \t").Trim(" \t", Port::TRIM_LEFT), Text("x y \t"));
  EXPECT_EQ(Text(" \tx y \t").Trim(" \t", Port::TRIM_RIGHT), Text(" \tx y"));
  EXPECT_EQ(Text(" \t ").Trim(), Text(""));  // blanks by default, both ends
  text.Assign(Text("Path/To"), true);
  EXPECT_EQ(text, Text("path/to"));
  EXPECT_EQ(Text("aBz\xC4").MakeUpper(), Text("ABZ\xC4"));  // ASCII letters only
  EXPECT_EQ(Text("a\0b", 3).str(), std::string("a\0b", 3));
  EXPECT_TRUE(Text(static_cast<const char*>(nullptr)).IsEmpty());
}

TEST(Port_StringBaseTest, NumbersMustFillTheRange) {
  // The INT32 and the UINT32 reading of the whole text; "-" where it is refused.
  const struct {
    const char *text, *read;
  } cases[] = {{"0", "0 0"},
               {"-42", "-42 -"},
               {"+7", "7 -"},
               {"2147483647", "2147483647 2147483647"},
               {"-2147483648", "-2147483648 -"},
               {"2147483648", "- 2147483648"},
               {"4294967295", "- 4294967295"},
               {"4294967296", "- -"},
               {"99999999999999999999", "- -"},
               {"12a", "- -"},
               {" 12", "- -"},
               {"1-2", "- -"},
               {"-", "- -"},
               {"", "- -"}};
  // Refused: the value is left as it was.
  const auto shown = [](bool ok, long long v) {
    return ok ? std::to_string(v) : v == 77 ? "-" : "?";
  };
  for (const auto& c : cases) {
    const Text text(c.text);
    const Port_Range whole(0, text.GetLength() == 0 ? 0 : text.GetLength() - 1);
    std::int32_t i = 77;
    std::uint32_t u = 77;
    const bool intOk = text.GetINT32(whole, i), uintOk = text.GetUINT32(whole, u);
    EXPECT_EQ(shown(intOk, i) + " " + shown(uintOk, u), c.read) << c.text;
  }
  // Only the range is read, and a range past the end is clipped.
  std::int32_t value = 0;
  EXPECT_TRUE(Text("v=123;").GetINT32(Port_Range(2, 4), value) && value == 123);
  EXPECT_TRUE(Text("v=456").GetINT32(Port_Range(2, 99), value) && value == 456);
  EXPECT_FALSE(Text("123").GetINT32(Port_Range(), value));
}

TEST(Port_StringBaseTest, ExtractAndSearchClipToTheString) {
  const Text text("Path/To/path");
  EXPECT_EQ(text.Extract(Port_Range(1, 3)) + text.Extract(Port_Range(10, 100)), Text("athth"));
  EXPECT_TRUE(text.Extract(Port_Range(12, 14)).IsEmpty() &&
              text.Extract(Port_Range(3, 2)).IsEmpty());
  EXPECT_EQ(text.GetIndexOfString("path"), 8u);
  EXPECT_EQ(text.GetIndexOfString("path", Port::COMPARE_NOCASE), 0u);
  EXPECT_EQ(text.GetIndexOfString("path", Port::COMPARE_NOCASE, 1), 8u);
  EXPECT_EQ(text.GetIndexOfString("none", Port::COMPARE_NOCASE), Text::NOT_FOUND);
  EXPECT_EQ(text.GetIndexOfString("P", Port::COMPARE_EXACT, 99), Text::NOT_FOUND);
  EXPECT_EQ(text.GetIndexOfFirstChar('/', 5), 7u);
  EXPECT_EQ(text.GetIndexOfLastChar('/'), 7u);
}
