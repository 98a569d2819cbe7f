#include "platform/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace albumora {
namespace {

using namespace std::string_literals;

struct SplitCase {
  const char* name;
  std::string data;
  std::vector<std::string> lines;
};

class SplitTextLinesTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextLinesTest, SplitsAtEveryTerminator) {
  EXPECT_EQ(SplitTextLines(GetParam().data), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitTextLinesTest,
    testing::Values(SplitCase{"Empty", "", {}},
                    SplitCase{"LastLineWithoutTerminator", "a\r\nb", {"a", "b"}},
                    SplitCase{"CrLfIsOneTerminator", "a\r\n", {"a"}},
                    SplitCase{"EmptyLineAfterCrLf", "a\r\n\r\n", {"a", ""}},
                    SplitCase{"LoneLf", "a\nb\n", {"a", "b"}},
                    SplitCase{"LoneCr", "a\rb\r", {"a", "b"}},
                    SplitCase{"LfCrIsTwoTerminators", "a\n\rb", {"a", "", "b"}},
                    SplitCase{"CrCrLf", "a\r\r\nb", {"a", "", "b"}},
                    SplitCase{"NulEndsALine", "a\0b"s, {"a", "b"}},
                    SplitCase{"NulAsLastTerminator", "a\0"s, {"a"}},
                    SplitCase{"NulThenLf", "a\0\nb"s, {"a", "", "b"}},
                    SplitCase{"OnlyTerminators", "\r\n\n\r", {"", "", ""}},
                    SplitCase{"HighBytesKept", "\xC4\x80\xFF\r\n", {"\xC4\x80\xFF"}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

TEST(LowerCaseTest, MovesAsciiAndLatinCapitalsOnly) {
  EXPECT_EQ(LowerCase("Foto_01.JPG"), "foto_01.jpg");
  EXPECT_EQ(LowerCase("\xC4\xD6\xDC"), "\xE4\xF6\xFC");  // ÄÖÜ
  EXPECT_EQ(LowerCase("\xC0\xDE"), "\xE0\xFE");          // the ends of the range
  EXPECT_EQ(LowerCase("\xD7"), "\xF7");                  // the rule moves × too
  EXPECT_EQ(LowerCase("\xDF\xBF\xE4\xFF"), "\xDF\xBF\xE4\xFF");
  EXPECT_EQ(LowerCase("\x8A\x8C\x8E\x9F"), "\x8A\x8C\x8E\x9F");  // Š Œ Ž Ÿ stay
  EXPECT_EQ(LowerCase("@[`{"), "@[`{");
  EXPECT_EQ(LowerCase("a\0B"s), "a\0b"s);
}

TEST(SortKeyTest, OrdersAsAnUpperCasedOrdinalComparison) {
  std::vector<std::string> names = {"b.jpg", "_x.jpg", "\xE4.jpg", "A.jpg", "z.jpg", "1.jpg"};
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return SortKey(a) < SortKey(b); });
  // Upper-casing puts letters before '_' (0x5F); a byte-wise or lower-cased order would not,
  // and ä (0xE4 -> 0xC4) sorts after every ASCII letter and '_'.
  EXPECT_EQ(names,
            (std::vector<std::string>{"1.jpg", "A.jpg", "b.jpg", "z.jpg", "_x.jpg", "\xE4.jpg"}));
}

TEST(SortKeyTest, PairsOutsideTheLatinRange) {
  EXPECT_EQ(SortKey("\x9A\x9C\x9E\xFF"), "\x8A\x8C\x8E\x9F");
  EXPECT_EQ(SortKey("\xF7\xDF\xE0\xFE"), "\xF7\xDF\xC0\xDE");  // ÷ and ß stay
  EXPECT_LT(SortKey("\xFF"), SortKey("\xA0"));                 // compared as unsigned bytes
}

TEST(DecimalTest, NoLeadingZerosAndMinusSign) {
  EXPECT_EQ(Decimal(0), "0");
  EXPECT_EQ(Decimal(150), "150");
  EXPECT_EQ(Decimal(-7), "-7");
  EXPECT_EQ(Decimal(-2147483648LL), "-2147483648");
}

TEST(Utf8Test, EveryByteRoundTrips) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
  const std::string utf8 = ToUtf8(all);
  EXPECT_EQ(FromUtf8(utf8), all);
  EXPECT_EQ(Cp1252(utf8), all);
}

TEST(Utf8Test, KnownForms) {
  EXPECT_EQ(ToUtf8("L\xF6sche"), "Lösche");
  EXPECT_EQ(ToUtf8("\x80"), "€");
  EXPECT_EQ(ToUtf8("\x9F\x8A"), "ŸŠ");
  EXPECT_EQ(ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
  EXPECT_EQ(ToUtf8("\xA0\xFF"), "\u00A0ÿ");
  EXPECT_EQ(FromUtf8("zurück.gif"),
            "zur\xFC"
            "ck.gif");
  EXPECT_EQ(FromUtf8("„Grüße“ – ™"),
            "\x84Gr\xFC\xDF"
            "e\x93 \x96 \x99");
}

struct RejectCase {
  const char* name;
  std::string utf8;
};

class FromUtf8RejectTest : public testing::TestWithParam<RejectCase> {};

TEST_P(FromUtf8RejectTest, HasNoWindows1252Form) {
  EXPECT_EQ(FromUtf8("ok" + GetParam().utf8 + "ok"), std::nullopt);
  EXPECT_EQ(Cp1252(GetParam().utf8).find_first_not_of('?'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FromUtf8RejectTest,
    testing::Values(RejectCase{"LoneContinuation", "\x80"}, RejectCase{"TruncatedPair", "\xC3"},
                    RejectCase{"TruncatedTriple", "\xE2\x82"},
                    RejectCase{"OverlongSlash", "\xC0\xAF"}, RejectCase{"OverlongNul", "\xC0\x80"},
                    RejectCase{"OverlongThreeBytes", "\xE0\x80\xAF"},
                    RejectCase{"OverlongFourBytes", "\xF0\x80\x80\xAF"},
                    RejectCase{"Surrogate", "\xED\xA0\x80"},
                    RejectCase{"AboveUnicode", "\xF4\x90\x80\x80"},
                    RejectCase{"InvalidLead", "\xFF"},
                    RejectCase{"C1ThatIsAssigned", "\u0080"},  // 0x80 is the euro sign
                    RejectCase{"LatinExtended", "\u0100"}, RejectCase{"Emoji", "\U0001F600"},
                    RejectCase{"ReplacementCharacter", "\uFFFD"}),
    [](const testing::TestParamInfo<RejectCase>& info) { return info.param.name; });

TEST(Cp1252Test, ReplacesWhatHasNoFormAndKeepsTheRest) {
  EXPECT_EQ(Cp1252("Lösche den Inhalt"), "L\xF6sche den Inhalt");
  EXPECT_EQ(Cp1252("a→b"), "a?b");
  EXPECT_EQ(Cp1252("a\xC3(b"), "a?(b");  // a broken sequence costs one byte, not the next
  EXPECT_EQ(Cp1252(""), "");
}

}  // namespace
}  // namespace albumora
