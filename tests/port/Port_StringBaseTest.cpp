#include "port/Port_StringBase.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Port::StringBase;
using Text = StringBase<char>;
using Pieces = std::vector<Text>;

TEST(Port_StringBaseTest, SplitKeepsOrDropsEmptyPieces) {
  const struct {
    const char *text, *separators;
    bool keepEmpty;
    Pieces pieces;
  } cases[] = {{"a,,b,", ",", true, {"a", "", "b", ""}},
               {"a,,b,", ",", false, {"a", "b"}},
               {",", ",", true, {"", ""}},
               {"", ",", true, {}},
               {"a b\tc", " \t", false, {"a", "b", "c"}},
               {"abc", ",", false, {"abc"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Text::Split(c.text, c.separators, c.keepEmpty, "", ""), c.pieces);
  }
  // Separators inside a quoted stretch do not cut.
  EXPECT_EQ(Text::Split("a \"b c\" [d e]", " ", false, "\"[", "\"]"),
            (Pieces{"a", "\"b c\"", "[d e]"}));
}

TEST(Port_StringBaseTest, Crc32IsZlibs) {
  const std::string inputs[] = {"", "a", "123456789", std::string("\0\x80\xff", 3),
                                std::string(100000, 'z')};
  for (const std::string& input : inputs) {
    const uLong expected = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(input.data()),
                                 static_cast<uInt>(input.size()));
    EXPECT_EQ(Text(input).CRC32(), static_cast<std::uint32_t>(expected));
  }
  EXPECT_EQ(Text("123456789").CRC32(), 0xCBF43926u);  // the standard check value
}

TEST(Port_StringBaseTest, Crc32ContinuesOverPieces) {
  std::string bytes(200000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 % 251);
  const auto whole = static_cast<std::uint32_t>(
      crc32_z(0L, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
  for (std::size_t piece : {1u, 7u, 64u, 4096u, 65537u}) {
    std::uint32_t crc = 0;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
      crc = Text::CRC32(crc, bytes.data() + at, std::min(piece, bytes.size() - at));
    }
    EXPECT_EQ(whole, crc) << "pieces of " << piece;
  }
  // Continuing a CRC is not starting afresh: "123456789" from "1234".
  EXPECT_EQ(0xCBF43926u, Text::CRC32(Text("1234").CRC32(), "56789", 5));
  EXPECT_EQ(0u, Text::CRC32(0, nullptr, 0));
}

TEST(Port_StringBaseTest, FormatFollowsPrintf) {
  EXPECT_EQ(Text::doFormat("%s=%d%%", "x", -3), Text("x=-3%"));
  EXPECT_EQ(Text::doFormat("%05.1f|%-3s|%x", 2.25, "a", 255u), Text("002.2|a  |ff"));
  const std::string outside = "%s%n%d";  // outside text goes only through "%s"
  EXPECT_EQ(Text::doFormat("%s", outside.c_str()), Text(outside));
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
    const char* a;
    const char* b;
    int exact;
    int nocase;
  } cases[] = {
      {"abc", "abc", 0, 0}, {"abc", "ABC", 1, 0}, {"ab", "abc", -1, -1},
      {"abd", "abc", 1, 1}, {"", "", 0, 0},       {"", "a", -1, -1},
      {"\x80", "a", 1, 1},  {"B", "a", -1, 1},    {"[", "a", -1, -1},
  };
  auto sign = [](int v) { return (v > 0) - (v < 0); };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
    EXPECT_EQ(sign(Text(c.a).Compare(c.b)), c.exact);
    EXPECT_EQ(sign(Text(c.a).Compare(c.b, Port::COMPARE_NOCASE)), c.nocase);
    EXPECT_EQ(sign(Text(c.b).Compare(c.a, Port::COMPARE_NOCASE)), -c.nocase);
    EXPECT_EQ(Text(c.a) < Text(c.b), c.exact < 0);
  }
  EXPECT_LT(Text("a", 1), Text("a\0", 2));  // a proper prefix sorts first
}

TEST(Port_StringBaseTest, ReplaceFirstOrAll) {
  Text text("a-b-A-b");
  EXPECT_EQ(text.Replace("-", "--", Port::COMPARE_EXACT, false), 1u);
  EXPECT_EQ(text, Text("a--b-A-b"));
  EXPECT_EQ(text.Replace("a", "x"), 1u);
  EXPECT_EQ(text, Text("x--b-A-b"));
  EXPECT_EQ(text.Replace("B", "y", Port::COMPARE_NOCASE), 2u);
  EXPECT_EQ(text, Text("x--y-A-y"));
  EXPECT_EQ(text.Replace("", "z"), 0u);
  EXPECT_EQ(text.Replace("q", "z"), 0u);
  EXPECT_EQ(text, Text("x--y-A-y"));
  Text grow("aa");
  EXPECT_EQ(grow.Replace("a", "aa"), 2u);  // replacements are not searched again
  EXPECT_EQ(grow, Text("aaaa"));
  EXPECT_EQ(grow.ReplaceChars('a', 'b'), 4u);
  EXPECT_EQ(grow, Text("bbbb"));
}

TEST(Port_StringBaseTest, TrimTypes) {
  const struct {
    const char *text, *chars;
    Port::TrimType type;
    const char* result;
  } cases[] = {{" \tx y \t", " \t", Port::TRIM_LEFT, "x y \t"},
               {" \tx y \t", " \t", Port::TRIM_RIGHT, " \tx y"},
               {" \tx y \t", " \t", Port::TRIM_BOTH, "x y"},
               {"..a..", ".", Port::TRIM_BOTH, "a"}};
  for (const auto& c : cases) {
    Text text(c.text);
    EXPECT_EQ(text.Trim(c.chars, c.type), Text(c.result));
  }
  Text blank(" \t ");
  EXPECT_EQ(blank.Trim(), Text(""));  // blanks by default, both ends
}

TEST(Port_StringBaseTest, NumbersMustFillTheRange) {
  const struct {
    const char* text;
    bool intOk = false;
    std::int32_t intValue = 0;
    bool uintOk = false;
    std::uint32_t uintValue = 0;
  } cases[] = {{"0", true, 0, true, 0},
               {"42", true, 42, true, 42},
               {"-42", true, -42, false, 0},
               {"2147483647", true, 2147483647, true, 2147483647u},
               {"-2147483648", true, INT32_MIN, false, 0},
               {"2147483648", false, 0, true, 2147483648u},
               {"4294967295", false, 0, true, 4294967295u},
               // Neither: too large, or not a number over the whole range.
               {"4294967296"},
               {"99999999999999999999"},
               {"12a"},
               {"a12"},
               {" 12"},
               {"12 "},
               {"1-2"},
               {"--1"},
               {"-"},
               {""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const Text text(c.text);
    const Port_Range whole(0, text.GetLength() == 0 ? 0 : text.GetLength() - 1);
    std::int32_t i = 77;
    std::uint32_t u = 77;
    EXPECT_EQ(text.GetINT32(whole, i), c.intOk);
    EXPECT_EQ(i, c.intOk ? c.intValue : 77);
    EXPECT_EQ(text.GetUINT32(whole, u), c.uintOk);
    EXPECT_EQ(u, c.uintOk ? c.uintValue : 77u);
  }
  // Only the range is read, and a range past the end is clipped.
  std::int32_t value = 0;
  EXPECT_TRUE(Text("v=123;").GetINT32(Port_Range(2, 4), value));
  EXPECT_EQ(value, 123);
  EXPECT_TRUE(Text("v=456").GetINT32(Port_Range(2, 99), value));
  EXPECT_EQ(value, 456);
  EXPECT_FALSE(Text("123").GetINT32(Port_Range(), value));
  std::uint32_t unsignedValue = 0;
  EXPECT_FALSE(Text("123").GetUINT32(Port_Range(4, 5), unsignedValue));
}

TEST(Port_StringBaseTest, ExtractClipsToTheString) {
  const Text text("abcdef");
  EXPECT_EQ(text.Extract(Port_Range(1, 3)), Text("bcd"));
  EXPECT_EQ(text.Extract(Port_Range(4, 100)), Text("ef"));
  EXPECT_EQ(text.Extract(Port_Range(6, 8)), Text(""));
  EXPECT_EQ(text.Extract(Port_Range(7, 9)), Text(""));
  EXPECT_EQ(text.Extract(Port_Range(3, 2)), Text(""));
  EXPECT_EQ(text.Extract(Port_Range()), Text(""));
  EXPECT_EQ(text.Extract(Port_Range(0, Text::NOT_FOUND)), text);
}

TEST(Port_StringBaseTest, SearchesAndCase) {
  const Text text("Path/To/path");
  EXPECT_EQ(text.GetIndexOfString("path"), 8u);
  EXPECT_EQ(text.GetIndexOfString("path", Port::COMPARE_NOCASE), 0u);
  EXPECT_EQ(text.GetIndexOfString("path", Port::COMPARE_NOCASE, 1), 8u);
  EXPECT_EQ(text.GetIndexOfString("none"), Text::NOT_FOUND);
  EXPECT_EQ(text.GetIndexOfString("P", Port::COMPARE_EXACT, 99), Text::NOT_FOUND);
  EXPECT_EQ(text.GetIndexOfFirstChar('/'), 4u);
  EXPECT_EQ(text.GetIndexOfFirstChar('/', 5), 7u);
  EXPECT_EQ(text.GetIndexOfLastChar('/'), 7u);
  EXPECT_EQ(text.GetIndexOfLastChar('#'), Text::NOT_FOUND);

  Text copy;
  copy.Assign(text, true);
  EXPECT_EQ(copy, Text("path/to/path"));
  EXPECT_EQ(Text("aB\xC4").MakeUpper(), Text("AB\xC4"));  // ASCII letters only
  EXPECT_TRUE(Text(static_cast<const char*>(nullptr)).IsEmpty());
  EXPECT_EQ(Text("a\0b", 3).GetLength(), 3u);
}

}  // namespace
